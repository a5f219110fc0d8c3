#include "Codec.h"
#include "FuzzCodec.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

using namespace tether;

namespace {

const QUuid kA("{11111111-2222-3333-4444-555555555555}");
const QUuid kB("{66666666-7777-8888-9999-aaaaaaaaaaaa}");

QByteArray header(FrameType t, quint32 length) {
    QByteArray h(5, Qt::Uninitialized);
    h[0] = char(t);
    qToBigEndian<quint32>(length, h.data() + 1);
    return h;
}

QByteArray be32(quint32 v) {
    QByteArray b(4, Qt::Uninitialized);
    qToBigEndian<quint32>(v, b.data());
    return b;
}

QByteArray be64(quint64 v) {
    QByteArray b(8, Qt::Uninitialized);
    qToBigEndian<quint64>(v, b.data());
    return b;
}

QByteArray frame(FrameType t, const QByteArray& body) {
    return header(t, quint32(body.size())) + body;
}

QByteArray beginBody(quint64 total, quint32 hintLength, const QByteArray& hint) {
    return be32(9) + kA.toRfc4122() + kB.toRfc4122() + be64(total) + be32(hintLength) + hint;
}

} // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void everyPrefixNeedsMore();
    void roundTrip();
    void datagrams_data();
    void datagrams();
    void fuzzHarnessOnNoise();
};

void TestCodec::frames_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("handshake");
    QTest::addColumn<int>("status");

    const int ok = int(Status::Ok), more = int(Status::NeedMore), bad = int(Status::Malformed),
              big = int(Status::Oversized);
    const QByteArray hello = encodeHello(kA, QByteArray(32, 'n'), QStringLiteral("FerroxManager1"));

    QTest::addRow("hello") << hello << true << ok;
    QTest::addRow("empty input") << QByteArray() << false << more;
    QTest::addRow("unknown type, judged at once") << QByteArray(1, '\x7f') << false << bad;
    QTest::addRow("type zero") << QByteArray(5, '\0') << false << bad;
    // Lengths are refused from the header alone, before a body byte arrives.
    QTest::addRow("control frame over its limit")
        << header(FrameType::Profiles, quint32(kMaxControlFrame + 1)) << false << big;
    QTest::addRow("length 4 GiB") << header(FrameType::Begin, 0xFFFFFFFFu) << false << big;
    QTest::addRow("data frame over a chunk")
        << header(FrameType::Data, quint32(kMaxChunk + 5)) << false << big;
    QTest::addRow("data frame of a full chunk waits for its body")
        << header(FrameType::Data, quint32(kMaxChunk + 4)) << false << more;
    QTest::addRow("big frame before the proof")
        << header(FrameType::Hello, quint32(kMaxHandshakeFrame + 1)) << true << big;
    QTest::addRow("hello with trailing byte")
        << frame(FrameType::Hello, hello.mid(5) + 'x') << true << bad;
    QTest::addRow("hello with short nonce")
        << frame(FrameType::Hello, QByteArray(1, 1) + kA.toRfc4122() + QByteArray(10, 'n')) << true
        << bad;
    QTest::addRow("hello text not UTF-8")
        << frame(FrameType::Hello, QByteArray(1, 1) + kA.toRfc4122() + QByteArray(32, 'n') +
                                       QByteArray("\x00\x02\xc3\x28", 4))
        << true << bad;
    QTest::addRow("hello text longer than the frame")
        << frame(FrameType::Hello, QByteArray(1, 1) + kA.toRfc4122() + QByteArray(32, 'n') +
                                       QByteArray("\x00\x10"
                                                  "ab",
                                                  4))
        << true << bad;
    QTest::addRow("hello text over its limit")
        << frame(FrameType::Hello, QByteArray(1, 1) + kA.toRfc4122() + QByteArray(32, 'n') +
                                       QByteArray("\x02\x01", 2) + QByteArray(513, 'a'))
        << false << big;
    QTest::addRow("proof too short") << frame(FrameType::Proof, QByteArray(31, 'm')) << true << bad;
    QTest::addRow("profiles: count over its limit")
        << frame(FrameType::Profiles, QByteArray("\x00\x41", 2)) << false << big;
    QTest::addRow("profiles: count larger than the body")
        << frame(FrameType::Profiles,
                 QByteArray("\x00\x02", 2) + kA.toRfc4122() + QByteArray(4, '\0'))
        << false << bad;
    QTest::addRow("profiles: group over its limit")
        << frame(FrameType::Profiles, QByteArray("\x00\x01", 2) + kA.toRfc4122() +
                                          QByteArray("\x00\x00\x00\x41", 4) + QByteArray(65, 'g'))
        << false << big;
    QTest::addRow("begin") << frame(FrameType::Begin, beginBody(10, 4, "Text")) << false << ok;
    QTest::addRow("begin of 2^62 bytes")
        << frame(FrameType::Begin, beginBody(kMaxPayload, 0, {})) << false << ok;
    QTest::addRow("begin over 2^62 bytes")
        << frame(FrameType::Begin, beginBody(kMaxPayload + 1, 0, {})) << false << big;
    QTest::addRow("begin of unknown length")
        << frame(FrameType::Begin, beginBody(kUnknownLength, 0, {})) << false << ok;
    QTest::addRow("begin hint over its limit")
        << frame(FrameType::Begin,
                 beginBody(1, quint32(kMaxHint + 1), QByteArray(int(kMaxHint + 1), 'h')))
        << false << big;
    QTest::addRow("begin hint length 4 GiB")
        << frame(FrameType::Begin, beginBody(1, 0xFFFFFFFFu, "x")) << false << big;
    QTest::addRow("begin before the proof is still decoded (the link refuses it)")
        << frame(FrameType::Begin, beginBody(1, 0, {})) << true << ok;
    QTest::addRow("data without stream id") << frame(FrameType::Data, "ab") << false << bad;
    QTest::addRow("data empty") << frame(FrameType::Data, be32(3)) << false << ok;
    QTest::addRow("end over 2^62")
        << frame(FrameType::End, be32(1) + be64(kMaxPayload + 1) + be64(0)) << false << big;
    QTest::addRow("end short") << frame(FrameType::End, be32(1) + be64(1)) << false << bad;
    QTest::addRow("abort with extra byte")
        << frame(FrameType::Abort, be32(1) + 'x') << false << bad;
    QTest::addRow("bye closing") << frame(FrameType::Bye, QByteArray(1, 1)) << false << ok;
    QTest::addRow("bye unknown reason") << frame(FrameType::Bye, QByteArray(1, 9)) << false << bad;
}

void TestCodec::frames() {
    QFETCH(QByteArray, input);
    QFETCH(bool, handshake);
    QFETCH(int, status);
    const Decoded d = decodeFrame(input, handshake ? kMaxHandshakeFrame : SIZE_MAX);
    QCOMPARE(statusName(d.status), statusName(Status(status)));
    if (d.status == Status::Ok)
        QCOMPARE(d.consumed, std::size_t(input.size()));
    else
        QCOMPARE(d.consumed, std::size_t(0));
}

void TestCodec::everyPrefixNeedsMore() {
    // A frame that trickles in byte by byte is never misread before it is whole.
    const QByteArray f = encodeBegin(3, kA, kB, 99, QStringLiteral("Filé - Ann"));
    for (qsizetype n = 0; n < f.size(); ++n)
        QCOMPARE(decodeFrame(f.left(n)).status, Status::NeedMore);
    const Decoded d = decodeFrame(f + encodeAbort(3));
    QCOMPARE(d.status, Status::Ok);
    QCOMPARE(d.consumed, std::size_t(f.size()));
}

void TestCodec::roundTrip() {
    const QList<ProfileRecord> profiles = {{kA, QStringLiteral("FerroxApp1:Ann 7"), QString()},
                                           {kB, QStringLiteral("Parlova 1:Bö 3"), "a"}};
    const QByteArray stream = encodeHello(kA, QByteArray(32, '\x01'), QStringLiteral("M*")) +
                              encodeProof(QByteArray(32, '\x02')) + encodeProfiles(profiles) +
                              encodeBegin(5, kA, kB, 3, QStringLiteral("TextAnn")) +
                              encodeData(5, "abc") + encodeEnd(5, 3, 0x1234567890abcdefULL) +
                              encodeBye(ByeReason::Closing);
    QList<Frame> frames;
    std::size_t offset = 0;
    while (offset < std::size_t(stream.size())) {
        const Decoded d = decodeFrame(QByteArrayView(stream).sliced(qsizetype(offset)));
        QCOMPARE(d.status, Status::Ok);
        frames.append(d.frame);
        offset += d.consumed;
    }
    QCOMPARE(frames.size(), 7);
    QCOMPARE(frames[0].text, QStringLiteral("M*"));
    QCOMPARE(frames[0].id, kA);
    QCOMPARE(frames[1].mac, QByteArray(32, '\x02'));
    QCOMPARE(frames[2].profiles, profiles);
    QCOMPARE(frames[3].hint, QStringLiteral("TextAnn"));
    QCOMPARE(frames[3].toProfile, kB);
    QCOMPARE(frames[4].data.toByteArray(), QByteArray("abc"));
    QCOMPARE(frames[5].digest, 0x1234567890abcdefULL);
    QCOMPARE(frames[6].reason, quint8(ByeReason::Closing));

    // Over-long texts are cut on a character boundary by the sender, never refused later.
    const QString longText = QString(600, QChar(0x00e9));
    const Decoded h = decodeFrame(encodeHello(kA, QByteArray(32, 'n'), longText));
    QCOMPARE(h.status, Status::Ok);
    QCOMPARE(h.frame.text, QString(256, QChar(0x00e9)));
}

void TestCodec::datagrams_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("ok");
    const QByteArray query = encodeDatagram({DatagramKind::Query, kA, 1, 0, {}});
    const QByteArray announce =
        encodeDatagram({DatagramKind::Announce, kB, 1, 4242, QStringLiteral("FerroxManager1*")});
    QTest::addRow("query") << query << true;
    QTest::addRow("announce") << announce << true;
    QTest::addRow("wrong magic") << QByteArray("XTHR") + query.mid(4) << false;
    QTest::addRow("other version") << query.left(4) + char(2) + query.mid(5) << false;
    QTest::addRow("unknown kind") << query.left(5) + char(9) + query.mid(6) << false;
    QTest::addRow("trailing byte") << query + 'x' << false;
    QTest::addRow("truncated") << announce.chopped(1) << false;
    QTest::addRow("header only") << query.left(6) << false;
    QTest::addRow("announce port 0")
        << encodeDatagram({DatagramKind::Announce, kB, 1, 0, QStringLiteral("x")}) << false;
    QTest::addRow("null identifier")
        << encodeDatagram({DatagramKind::Query, QUuid(), 1, 0, {}}) << false;
    QTest::addRow("over the datagram limit")
        << announce + QByteArray(int(kMaxDatagram), 'x') << false;
    QTest::addRow("text over its limit")
        << announce.left(6 + 16 + 4 + 2) + QByteArray("\x02\x01", 2) + QByteArray(513, 'a')
        << false;
}

void TestCodec::datagrams() {
    QFETCH(QByteArray, input);
    QFETCH(bool, ok);
    const DecodedDatagram d = decodeDatagram(input);
    QCOMPARE(d.ok, ok);
    if (ok)
        QCOMPARE(encodeDatagram(d.datagram), input);
}

void TestCodec::fuzzHarnessOnNoise() {
    // The fuzz target's invariants over the table's inputs and random mutations of valid
    // frames: it aborts the test on any violation.
    QRandomGenerator rng(20240611);
    const QByteArray valid = encodeHello(kA, QByteArray(32, 'n'), QStringLiteral("M")) +
                             encodeBegin(1, kA, kB, 4, QStringLiteral("x")) +
                             encodeData(1, "abcd") + encodeEnd(1, 4, 7);
    for (int i = 0; i < 20000; ++i) {
        QByteArray m = valid;
        const int flips = 1 + int(rng.bounded(4));
        for (int k = 0; k < flips; ++k)
            m[qsizetype(rng.bounded(quint32(m.size())))] = char(rng.bounded(256));
        m.truncate(qsizetype(rng.bounded(quint32(m.size() + 1))));
        fuzzCodecOnce(m.constData(), std::size_t(m.size()));
    }
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
