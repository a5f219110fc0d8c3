#include "Codec.h"

#include <QtEndian>
#include <cstring>

namespace tether {
namespace {

constexpr char kMagic[4] = {'T', 'T', 'H', 'R'};

// Reads fields from a body whose length is already checked; every read is bounds-checked and
// a short body only sets `bad`, so callers test once at the end.
class Reader {
public:
    explicit Reader(QByteArrayView b) : m_b(b) {}
    bool bad() const { return m_bad; }
    bool atEnd() const { return m_pos == std::size_t(m_b.size()); }
    std::size_t left() const { return std::size_t(m_b.size()) - m_pos; }

    const char* take(std::size_t n) {
        if (m_bad || left() < n) {
            m_bad = true;
            return nullptr;
        }
        const char* p = m_b.data() + m_pos;
        m_pos += n;
        return p;
    }
    template <class T> T num() {
        const char* p = take(sizeof(T));
        return p ? qFromBigEndian<T>(p) : T(0);
    }
    QUuid uuid() {
        const char* p = take(16);
        return p ? QUuid::fromRfc4122(QByteArrayView(p, 16)) : QUuid();
    }
    QByteArray bytes(std::size_t n) {
        const char* p = take(n);
        return p ? QByteArray(p, qsizetype(n)) : QByteArray();
    }
    // A text whose length field has `LenT` width, refused beyond `limit` bytes or when it is
    // not valid UTF-8.
    template <class LenT> QString text(std::size_t limit) {
        const std::size_t n = num<LenT>();
        if (n > limit) {
            m_bad = true;
            m_oversized = true;
            return {};
        }
        const char* p = take(n);
        if (!p)
            return {};
        QByteArrayView raw(p, qsizetype(n));
        if (!raw.isValidUtf8()) {
            m_bad = true;
            return {};
        }
        return QString::fromUtf8(raw);
    }
    bool oversized() const { return m_oversized; }
    void fail() { m_bad = true; }

private:
    QByteArrayView m_b;
    std::size_t m_pos = 0;
    bool m_bad = false;
    bool m_oversized = false;
};

class Writer {
public:
    template <class T> Writer& num(T v) {
        char b[sizeof(T)];
        qToBigEndian<T>(v, b);
        m_out.append(b, sizeof(T));
        return *this;
    }
    Writer& uuid(const QUuid& u) {
        m_out.append(u.toRfc4122());
        return *this;
    }
    Writer& raw(QByteArrayView b) {
        m_out.append(b);
        return *this;
    }
    // Senders cut texts to their limit rather than send what the peer must refuse; the cut
    // never splits a UTF-8 sequence.
    template <class LenT> Writer& text(const QString& s, std::size_t limit) {
        QByteArray u = s.toUtf8();
        if (std::size_t(u.size()) > limit) {
            qsizetype n = qsizetype(limit);
            while (n > 0 && (quint8(u[n]) & 0xC0) == 0x80)
                --n;
            u.truncate(n);
        }
        num<LenT>(LenT(u.size()));
        m_out.append(u);
        return *this;
    }
    QByteArray frame(FrameType t) const {
        QByteArray f;
        f.reserve(m_out.size() + qsizetype(kFrameHeader));
        f.append(char(t));
        char len[4];
        qToBigEndian<quint32>(quint32(m_out.size()), len);
        f.append(len, 4);
        f.append(m_out);
        return f;
    }
    const QByteArray& bytes() const { return m_out; }

private:
    QByteArray m_out;
};

std::size_t limitFor(FrameType t, std::size_t maxFrame) {
    const std::size_t own = t == FrameType::Data ? kMaxChunk + 4 : kMaxControlFrame;
    return std::min(own, maxFrame);
}

bool knownType(quint8 t) {
    switch (FrameType(t)) {
    case FrameType::Hello:
    case FrameType::Proof:
    case FrameType::Profiles:
    case FrameType::Begin:
    case FrameType::Data:
    case FrameType::End:
    case FrameType::Abort:
    case FrameType::Bye:
        return true;
    }
    return false;
}

} // namespace

Decoded decodeFrame(QByteArrayView input, std::size_t maxFrame) {
    Decoded out;
    if (input.size() < 1)
        return out;
    const quint8 type = quint8(input[0]);
    if (!knownType(type)) {
        out.status = Status::Malformed;
        return out;
    }
    if (std::size_t(input.size()) < kFrameHeader)
        return out;
    const std::size_t length = qFromBigEndian<quint32>(input.data() + 1);
    // The length is judged before any body byte is awaited, so a peer cannot make us buffer
    // up to 4 GiB by announcing it.
    if (length > limitFor(FrameType(type), maxFrame)) {
        out.status = Status::Oversized;
        return out;
    }
    if (std::size_t(input.size()) - kFrameHeader < length)
        return out;

    Frame& f = out.frame;
    f.type = FrameType(type);
    Reader r(input.sliced(qsizetype(kFrameHeader), qsizetype(length)));
    switch (f.type) {
    case FrameType::Hello:
        f.version = r.num<quint8>();
        f.id = r.uuid();
        f.nonce = r.bytes(kNonceSize);
        f.text = r.text<quint16>(kMaxText);
        break;
    case FrameType::Proof:
        f.mac = r.bytes(kMacSize);
        break;
    case FrameType::Profiles: {
        const std::size_t count = r.num<quint16>();
        if (count > kMaxProfiles) {
            out.status = Status::Oversized;
            return out;
        }
        for (std::size_t i = 0; i < count && !r.bad(); ++i) {
            ProfileRecord p;
            p.id = r.uuid();
            p.text = r.text<quint16>(kMaxText);
            p.group = r.text<quint16>(kMaxGroup);
            f.profiles.append(p);
        }
        break;
    }
    case FrameType::Begin:
        f.streamId = r.num<quint32>();
        f.fromProfile = r.uuid();
        f.toProfile = r.uuid();
        f.total = r.num<quint64>();
        if (f.total > kMaxPayload && f.total != kUnknownLength) {
            out.status = Status::Oversized;
            return out;
        }
        f.hint = r.text<quint32>(kMaxHint);
        break;
    case FrameType::Data:
        f.streamId = r.num<quint32>();
        if (!r.bad()) {
            const std::size_t n = r.left();
            const char* p = r.take(n);
            f.data = QByteArrayView(p, qsizetype(n));
        }
        break;
    case FrameType::End:
        f.streamId = r.num<quint32>();
        f.total = r.num<quint64>();
        f.digest = r.num<quint64>();
        if (f.total > kMaxPayload) {
            out.status = Status::Oversized;
            return out;
        }
        break;
    case FrameType::Abort:
        f.streamId = r.num<quint32>();
        break;
    case FrameType::Bye:
        f.reason = r.num<quint8>();
        if (f.reason != quint8(ByeReason::Closing) && f.reason != quint8(ByeReason::Unpaired))
            r.fail();
        break;
    }
    if (r.oversized()) {
        out.status = Status::Oversized;
        return out;
    }
    // Trailing bytes inside a frame are as wrong as missing ones: a peer that disagrees about
    // the layout must not be half-understood.
    if (r.bad() || !r.atEnd()) {
        out.status = Status::Malformed;
        return out;
    }
    out.status = Status::Ok;
    out.consumed = kFrameHeader + length;
    return out;
}

DecodedDatagram decodeDatagram(QByteArrayView input) {
    DecodedDatagram out;
    if (std::size_t(input.size()) > kMaxDatagram || input.size() < 6)
        return out;
    if (std::memcmp(input.data(), kMagic, 4) != 0 || quint8(input[4]) != kProtocolVersion)
        return out;
    Reader r(input.sliced(6));
    Datagram& d = out.datagram;
    switch (quint8(input[5])) {
    case quint8(DatagramKind::Query):
        d.kind = DatagramKind::Query;
        d.id = r.uuid();
        d.serial = r.num<quint32>();
        break;
    case quint8(DatagramKind::Announce):
        d.kind = DatagramKind::Announce;
        d.id = r.uuid();
        d.serial = r.num<quint32>();
        d.tcpPort = r.num<quint16>();
        d.text = r.text<quint16>(kMaxText);
        if (d.tcpPort == 0)
            r.fail();
        break;
    default:
        return out;
    }
    out.ok = !r.bad() && r.atEnd() && !d.id.isNull();
    return out;
}

QByteArray encodeDatagram(const Datagram& d) {
    Writer w;
    w.raw(QByteArrayView(kMagic, 4)).num<quint8>(kProtocolVersion).num<quint8>(quint8(d.kind));
    w.uuid(d.id).num<quint32>(d.serial);
    if (d.kind == DatagramKind::Announce)
        w.num<quint16>(d.tcpPort).text<quint16>(d.text, kMaxText);
    return w.bytes();
}

QByteArray encodeHello(const QUuid& manager, const QByteArray& nonce, const QString& text,
                       quint8 version) {
    Writer w;
    w.num<quint8>(version).uuid(manager).raw(nonce).text<quint16>(text, kMaxText);
    return w.frame(FrameType::Hello);
}

QByteArray encodeProof(const QByteArray& mac) {
    Writer w;
    w.raw(mac);
    return w.frame(FrameType::Proof);
}

QByteArray encodeProfiles(const QList<ProfileRecord>& profiles) {
    Writer w;
    const qsizetype n = std::min<qsizetype>(profiles.size(), kMaxProfiles);
    w.num<quint16>(quint16(n));
    for (qsizetype i = 0; i < n; ++i) {
        w.uuid(profiles[i].id)
            .text<quint16>(profiles[i].text, kMaxText)
            .text<quint16>(profiles[i].group, kMaxGroup);
    }
    return w.frame(FrameType::Profiles);
}

QByteArray encodeBegin(quint32 stream, const QUuid& from, const QUuid& to, quint64 total,
                       const QString& hint) {
    Writer w;
    w.num<quint32>(stream).uuid(from).uuid(to).num<quint64>(total).text<quint32>(hint, kMaxHint);
    return w.frame(FrameType::Begin);
}

QByteArray encodeDataHeader(quint32 stream, std::size_t size) {
    QByteArray h(qsizetype(kFrameHeader + 4), Qt::Uninitialized);
    h[0] = char(FrameType::Data);
    qToBigEndian<quint32>(quint32(size + 4), h.data() + 1);
    qToBigEndian<quint32>(stream, h.data() + 5);
    return h;
}

QByteArray encodeData(quint32 stream, QByteArrayView bytes) {
    QByteArray f = encodeDataHeader(stream, std::size_t(bytes.size()));
    f.append(bytes);
    return f;
}

QByteArray encodeEnd(quint32 stream, quint64 total, quint64 digest) {
    Writer w;
    w.num<quint32>(stream).num<quint64>(total).num<quint64>(digest);
    return w.frame(FrameType::End);
}

QByteArray encodeAbort(quint32 stream) {
    Writer w;
    w.num<quint32>(stream);
    return w.frame(FrameType::Abort);
}

QByteArray encodeBye(ByeReason reason) {
    Writer w;
    w.num<quint8>(quint8(reason));
    return w.frame(FrameType::Bye);
}

const char* statusName(Status s) {
    switch (s) {
    case Status::Ok:
        return "ok";
    case Status::NeedMore:
        return "need more";
    case Status::Malformed:
        return "malformed";
    case Status::Oversized:
        return "oversized";
    }
    return "?";
}

} // namespace tether
