#pragma once
// The wire format of the LAN facility, as pure functions: bytes in, {status, frame, consumed}
// out. No sockets here, so the fuzz target and the table tests exercise exactly what the
// links run. docs/protocol.md is the prose version of this grammar; keep both in step.
//
// All integers are big-endian. Texts are UTF-8 with a length prefix, never NUL-terminated.
// Identifiers (managers, profiles) are 16 raw bytes (an RFC 4122 UUID).
//
// Discovery datagram (UDP):
//   datagram  := magic "TTHR" | version u8 | kind u8 | body
//   QUERY     (kind 1) body := asker-id 16 | serial u32
//   ANNOUNCE  (kind 2) body := manager-id 16 | serial u32 | tcp-port u16 | text-len u16 | text
//
// Link frame (TCP, after connect, in both directions):
//   frame     := type u8 | length u32 | body[length]
//   HELLO     (0x01) := version u8 | manager-id 16 | nonce 32 | text-len u16 | text
//   PROOF     (0x02) := mac 32                       HMAC-SHA-256, see Link.cpp
//   PROFILES  (0x03) := count u16 | count * (profile-id 16 | text-len u16 | text
//                                             | group-len u16 | group)
//   BEGIN     (0x10) := stream-id u32 | from-profile 16 | to-profile 16 | total u64
//                       | hint-len u32 | hint      total = kUnknownLength when not known ahead
//   DATA      (0x11) := stream-id u32 | bytes[length - 4]
//   END       (0x12) := stream-id u32 | total u64 | xxh3-64 u64
//   ABORT     (0x13) := stream-id u32
//   BYE       (0x20) := reason u8                    1 closing, 2 unpaired
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUuid>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace tether {

inline constexpr quint8 kProtocolVersion = 1;

// ---- limits, each checked where a length is read, before it is used ----
inline constexpr std::size_t kMaxDatagram = 1024;          // whole discovery datagram
inline constexpr std::size_t kMaxText = 512;               // manager and profile texts, bytes
inline constexpr std::size_t kMaxGroup = 64;               // profile group, bytes
inline constexpr std::size_t kMaxProfiles = 64;            // profiles in one PROFILES frame
inline constexpr std::size_t kMaxHint = 16 * 1024;         // stream description, bytes
inline constexpr std::size_t kMaxChunk = 1024 * 1024;      // payload bytes in one DATA frame
inline constexpr std::size_t kMaxControlFrame = 64 * 1024; // any frame other than DATA
inline constexpr std::size_t kMaxHandshakeFrame = 1024;    // any frame before the proof
inline constexpr quint64 kMaxPayload = quint64(1) << 62;   // one stream
inline constexpr quint64 kUnknownLength = ~quint64(0);     // BEGIN: length told only by END
inline constexpr std::size_t kNonceSize = 32;
inline constexpr std::size_t kMacSize = 32;
inline constexpr std::size_t kFrameHeader = 5;

enum class DatagramKind : quint8 { Query = 1, Announce = 2 };

struct Datagram {
    DatagramKind kind = DatagramKind::Query;
    QUuid id;
    quint32 serial = 0;
    quint16 tcpPort = 0; // ANNOUNCE
    QString text;        // ANNOUNCE
};

enum class FrameType : quint8 {
    Hello = 0x01,
    Proof = 0x02,
    Profiles = 0x03,
    Begin = 0x10,
    Data = 0x11,
    End = 0x12,
    Abort = 0x13,
    Bye = 0x20,
};

enum class ByeReason : quint8 { Closing = 1, Unpaired = 2 };

struct ProfileRecord {
    QUuid id;
    QString text;
    QString group;
    bool operator==(const ProfileRecord&) const = default;
};

struct Frame {
    FrameType type = FrameType::Hello;
    quint8 version = 0;            // HELLO
    QUuid id;                      // HELLO: manager
    QByteArray nonce;              // HELLO
    QString text;                  // HELLO
    QByteArray mac;                // PROOF
    QList<ProfileRecord> profiles; // PROFILES
    quint32 streamId = 0;          // BEGIN, DATA, END, ABORT
    QUuid fromProfile, toProfile;  // BEGIN
    quint64 total = 0;             // BEGIN, END
    QString hint;                  // BEGIN
    QByteArrayView data;           // DATA: points into the decoded input, valid while it is
    quint64 digest = 0;            // END
    quint8 reason = 0;             // BYE
};

enum class Status {
    Ok,        // one frame decoded, `consumed` bytes used
    NeedMore,  // the input holds only a prefix of a valid frame
    Malformed, // not a valid frame: the connection must be closed
    Oversized, // a length beyond its limit: the connection must be closed
};

struct Decoded {
    Status status = Status::NeedMore;
    Frame frame;
    std::size_t consumed = 0;
};

// Bodies are bounded per type (kMaxControlFrame, DATA kMaxChunk + 4) and in addition by
// maxFrame: kMaxHandshakeFrame before the peer has proved the password.
Decoded decodeFrame(QByteArrayView input, std::size_t maxFrame = SIZE_MAX);

struct DecodedDatagram {
    bool ok = false;
    Datagram datagram;
};
DecodedDatagram decodeDatagram(QByteArrayView input);

QByteArray encodeDatagram(const Datagram& d);
QByteArray encodeHello(const QUuid& manager, const QByteArray& nonce, const QString& text,
                       quint8 version = kProtocolVersion);
QByteArray encodeProof(const QByteArray& mac);
QByteArray encodeProfiles(const QList<ProfileRecord>& profiles);
QByteArray encodeBegin(quint32 stream, const QUuid& from, const QUuid& to, quint64 total,
                       const QString& hint);
// The header of a DATA frame carrying `size` bytes; the bytes follow it on the wire, so a
// sender need not copy them into one buffer.
QByteArray encodeDataHeader(quint32 stream, std::size_t size);
QByteArray encodeData(quint32 stream, QByteArrayView bytes);
QByteArray encodeEnd(quint32 stream, quint64 total, quint64 digest);
QByteArray encodeAbort(quint32 stream);
QByteArray encodeBye(ByeReason reason);

const char* statusName(Status s);

} // namespace tether
