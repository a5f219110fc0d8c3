#pragma once
// One fuzz input through both decoders, with the invariants every caller relies on. Shared by
// the libFuzzer target and the codec tests, so whatever the fuzzer finds becomes a test row.
#include "Codec.h"
#include <cstdlib>

namespace tether {

inline void fuzzCodecOnce(const char* data, std::size_t size) {
    const QByteArrayView input(data, qsizetype(size));
    // A stream of frames, as a link reads it, once with handshake limits and once without.
    for (const std::size_t limit : {kMaxHandshakeFrame, SIZE_MAX}) {
        std::size_t offset = 0;
        while (offset < size) {
            const Decoded d = decodeFrame(input.sliced(qsizetype(offset)), limit);
            if (d.status != Status::Ok)
                break;
            if (d.consumed < kFrameHeader || d.consumed > size - offset)
                std::abort();
            // What decodes must encode back to the same bytes (texts are the only lossy part,
            // and they decode from valid UTF-8 only).
            QByteArray again;
            const Frame& f = d.frame;
            switch (f.type) {
            case FrameType::Hello:
                again = encodeHello(f.id, f.nonce, f.text, f.version);
                break;
            case FrameType::Proof:
                again = encodeProof(f.mac);
                break;
            case FrameType::Profiles:
                again = encodeProfiles(f.profiles);
                break;
            case FrameType::Begin:
                again = encodeBegin(f.streamId, f.fromProfile, f.toProfile, f.total, f.hint);
                break;
            case FrameType::Data:
                again = encodeData(f.streamId, f.data);
                break;
            case FrameType::End:
                again = encodeEnd(f.streamId, f.total, f.digest);
                break;
            case FrameType::Abort:
                again = encodeAbort(f.streamId);
                break;
            case FrameType::Bye:
                again = encodeBye(ByeReason(f.reason));
                break;
            }
            if (again != input.sliced(qsizetype(offset), qsizetype(d.consumed)))
                std::abort();
            offset += d.consumed;
        }
    }
    const DecodedDatagram g = decodeDatagram(input);
    if (g.ok && encodeDatagram(g.datagram) != input)
        std::abort();
}

} // namespace tether
