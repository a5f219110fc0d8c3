#include "Codec.h"
#include "TetherFixture.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageAuthenticationCode>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <functional>

using namespace tether;

namespace {

// Zeros without end, as fast as they are asked for.
class Endless : public QIODevice {
public:
    Endless() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        std::memset(data, 0, size_t(max));
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

void sendBytes(Node& from, const Node& to, const QString& hint, const QByteArray& bytes) {
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    from.profile.sendStream(from.remoteProfile(to), hint, &b);
}

QProcessEnvironment peerEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TETHER_DISCOVERY_PORT", QString::number(freeDiscoveryPort()));
    env.insert("TETHER_BROADCAST", "127.255.255.255");
    env.insert("TETHER_BIND_ADDRESS", "127.0.0.1");
    // A small quarantine, so that the child's peak memory shows what it keeps, not what the
    // sanitizer holds back.
    env.insert("ASAN_OPTIONS", "detect_leaks=0:quarantine_size_mb=4:malloc_context_size=2");
    return env;
}

// A peer written from the wire-format document alone: it greets, proves the password and
// then sends whatever the test tells it to, right or wrong.
class RawPeer {
public:
    explicit RawPeer(quint16 port, const QString& password = QStringLiteral("4711"))
        : m_password(password) {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        // The manager runs in this thread too: wait by turning the event loop, never blocking.
        spin([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 2000);
    }
    bool handshake() {
        m_socket.write(encodeHello(m_id, m_nonce, QStringLiteral("Raw")));
        const Frame hello = next();
        if (hello.type != FrameType::Hello)
            return false;
        m_remote = hello.id;
        m_socket.write(encodeProof(mac("I", hello.nonce)));
        const Frame proof = next();
        if (proof.type != FrameType::Proof || proof.mac != mac("A", hello.nonce))
            return false;
        const Frame profiles = next();
        if (profiles.type != FrameType::Profiles || profiles.profiles.isEmpty())
            return false;
        m_target = profiles.profiles.first().id;
        m_socket.write(encodeProfiles({{m_profile, QStringLiteral("Raw:peer 1"), QString()}}));
        return spin([this] { return m_socket.bytesToWrite() == 0; }, 2000);
    }
    void write(const QByteArray& b) {
        m_socket.write(b);
        spin([this] { return m_socket.bytesToWrite() == 0; }, 2000);
    }
    static bool spin(const std::function<bool()>& done, int ms) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QTest::qWait(5);
        return done();
    }
    // Waits for the other side to close, reading (and dropping) what it sends meanwhile.
    bool closedWithin(int ms) {
        QElapsedTimer t;
        t.start();
        while (m_socket.state() == QAbstractSocket::ConnectedState && t.elapsed() < ms) {
            QTest::qWait(5);
            m_socket.readAll();
        }
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }
    QUuid id() const { return m_id; }
    QUuid profile() const { return m_profile; }
    QUuid target() const { return m_target; }

private:
    Frame next() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 3000) {
            const Decoded d = decodeFrame(m_buffer);
            if (d.status == Status::Ok) {
                Frame f = d.frame;
                m_buffer.remove(0, qsizetype(d.consumed));
                return f;
            }
            if (d.status != Status::NeedMore)
                break;
            QTest::qWait(5);
            m_buffer += m_socket.readAll();
        }
        Frame none;
        none.type = FrameType::Bye;
        return none;
    }
    QByteArray mac(const char* role, const QByteArray& acceptorNonce) const {
        QMessageAuthenticationCode code(QCryptographicHash::Sha256, m_password.toUtf8());
        code.addData("tether-v1 proof ", 16);
        code.addData(role, 1);
        code.addData(m_nonce);
        code.addData(acceptorNonce);
        code.addData(m_id.toRfc4122());
        code.addData(m_remote.toRfc4122());
        return code.result();
    }
    QTcpSocket m_socket;
    QString m_password;
    QUuid m_id = QUuid::createUuid(), m_profile = QUuid::createUuid(), m_remote, m_target;
    QByteArray m_nonce = QByteArray(32, 'r');
    QByteArray m_buffer;
};

} // namespace

class TestTether : public QObject {
    Q_OBJECT
private slots:
    void discoveryFindsEveryOtherCopyOnce();
    void pairing_data();
    void pairing();
    void shutdownAndUnpairAreReported();
    void streamsArriveInOrderWhileHandlerWaits();
    void slowReceiverPacesTheSenderAndGetsEverything();
    void answersFromAHandlerFlowWhileTheQueueIsFull();
    void receivedPayloadIsTakenOverOrRemoved();
    void cancelEndsTheStreamCleanly();
    void bigStreamArrivesVerifiedWithBoundedMemory();
    void killedPeerIsReported();
    void hostileBeforeProof_data();
    void hostileBeforeProof();
    void silentConnectionIsClosed();
    void unpairedConnectionsPerAddressAreBounded();
    void hostileAfterProof_data();
    void hostileAfterProof();
};

void TestTether::discoveryFindsEveryOtherCopyOnce() {
    Node a("Mgr"), b("Mgr"), c("Other"), off("Mgr");
    off.manager.setEnabled(false);
    QSignalSpy ended(&a.manager, &Manager::endManagersDiscovery);
    QElapsedTimer t;
    t.start();
    a.manager.discoverManagers();
    QVERIFY(ended.wait(3000));
    QVERIFY(t.elapsed() < 1500);
    const auto found = ended.first().first().value<QList<ManagerInfo>>();
    QStringList ids;
    for (const ManagerInfo& m : found)
        ids << m.identifier;
    ids.sort();
    QStringList expected{b.manager.identifier(), c.manager.identifier()};
    expected.sort();
    QCOMPARE(ids, expected); // each once, never itself, not the disabled one
    QTest::qWait(300);
    QCOMPARE(ended.size(), 1);

    // A changed text shows in the next search.
    b.manager.setText("Mgr*");
    QCOMPARE(a.findOne(b.manager.identifier()).text, QStringLiteral("Mgr*"));
    // Identifiers are new for every manager.
    QVERIFY(Node("Mgr").manager.identifier() != a.manager.identifier());
}

void TestTether::pairing_data() {
    QTest::addColumn<QString>("passwordA");
    QTest::addColumn<QString>("passwordB");
    QTest::addColumn<bool>("paired");
    QTest::addRow("same password") << "4711"
                                   << "4711" << true;
    QTest::addRow("wrong password") << "4711"
                                    << "4712" << false;
    QTest::addRow("one side without password") << ""
                                               << "4711" << false;
}

void TestTether::pairing() {
    QFETCH(QString, passwordA);
    QFETCH(QString, passwordB);
    QFETCH(bool, paired);
    Node a("Mgr", "App:Ann 1", passwordA), b("Mgr", "App:Bob 2", passwordB);
    b.profile.setGroup("a");
    QSignalSpy aListed(&a.manager, &Manager::endProfilesDiscovery);
    QSignalSpy bListed(&b.manager, &Manager::endProfilesDiscovery);
    QSignalSpy aShut(&a.manager, &Manager::remoteManagerShutdown);
    QSignalSpy bShut(&b.manager, &Manager::remoteManagerShutdown);
    const ManagerInfo info = a.findOne(b.manager.identifier());
    QCOMPARE(info.text, QStringLiteral("Mgr"));
    a.manager.pairManager(info);
    if (!paired) {
        QVERIFY(!aListed.wait(1500));
        QVERIFY(bListed.isEmpty());
        QVERIFY(a.manager.pairedManagers().isEmpty());
        QVERIFY(b.manager.pairedManagers().isEmpty());
        QVERIFY(a.manager.remoteProfiles().isEmpty());
        QVERIFY(b.manager.remoteProfiles().isEmpty());
        QVERIFY(aShut.isEmpty() && bShut.isEmpty());
        QVERIFY(a.passwordRequests > 0 && b.passwordRequests > 0);
        return;
    }
    QVERIFY(aListed.wait(3000));
    QTRY_COMPARE(bListed.size(), 1);
    QCOMPARE(aListed.size(), 1);
    // Mutual: each holds the other's profile.
    const auto aSees = a.manager.remoteProfiles();
    QCOMPARE(aSees.size(), 1);
    QCOMPARE(aSees[0].text, QStringLiteral("App:Bob 2"));
    QCOMPARE(aSees[0].group, QStringLiteral("a"));
    QCOMPARE(aSees[0].managerIdentifier, b.manager.identifier());
    const auto bSees = b.manager.remoteProfiles();
    QCOMPARE(bSees.size(), 1);
    QCOMPARE(bSees[0].text, QStringLiteral("App:Ann 1"));
    QCOMPARE(a.manager.pairedManagers().size(), 1);
    QCOMPARE(b.manager.pairedManagers().size(), 1);
    QCOMPARE(b.manager.pairedManagers()[0].identifier, a.manager.identifier());

    // Pairing again with a paired manager changes nothing.
    a.manager.pairManager(info);
    QTest::qWait(200);
    QCOMPARE(a.manager.remoteProfiles().size(), 1);

    // Sending needs a connection; the paired side can answer.
    QVERIFY_THROWS_EXCEPTION(tether::Error, sendBytes(b, a, "TextBob", "x"));
    QVERIFY(b.profile.connectTo(bSees[0]));
    QSignalSpy got(&a.profile, &Profile::resourceReceived);
    sendBytes(b, a, "TextBob", "DRIVES");
    QVERIFY(got.wait(3000));
}

void TestTether::shutdownAndUnpairAreReported() {
    Node a("Mgr");
    auto b = std::make_unique<Node>("Mgr", "App:Bob 2");
    Node c("Mgr", "App:Cid 3");
    QVERIFY(pairNodes(a, *b));
    QVERIFY(pairNodes(a, c));
    QCOMPARE(a.manager.remoteProfiles().size(), 2);
    const ProfileInfo toB = a.remoteProfile(*b);

    QSignalSpy shut(&a.manager, &Manager::remoteManagerShutdown);
    const QString bId = b->manager.identifier();
    b.reset(); // its program closes
    QVERIFY(shut.wait(2000));
    QCOMPARE(shut.first().first().toString(), bId);
    QCOMPARE(a.manager.remoteProfiles().size(), 1);
    QVERIFY(!a.profile.isConnectedTo(toB));
    QVERIFY_THROWS_EXCEPTION(tether::Error, a.profile.sendStream(toB, "x", nullptr));

    QSignalSpy unpaired(&c.manager, &Manager::remoteManagerUnpaired);
    QSignalSpy cShut(&c.manager, &Manager::remoteManagerShutdown);
    a.manager.unpairManager(a.manager.pairedManagers().first());
    QVERIFY(a.manager.remoteProfiles().isEmpty());
    QVERIFY(unpaired.wait(2000));
    QCOMPARE(unpaired.first().first().toString(), a.manager.identifier());
    QVERIFY(c.manager.remoteProfiles().isEmpty());
    QVERIFY(cShut.isEmpty());
    QCOMPARE(shut.size(), 1); // our own unpairing raises nothing here
}

void TestTether::streamsArriveInOrderWhileHandlerWaits() {
    Node a("Mgr"), b("Mgr", "App:Bob 2");
    QVERIFY(pairNodes(a, b));
    constexpr int kStreams = 1000;
    QStringList hints;
    int depth = 0, deepest = 0;
    bool payloadsRight = true;
    QSignalSpy answered(&a.profile, &Profile::resourceReceived);
    QObject::connect(&b.profile, &Profile::resourceReceived, [&](const Resource& r) {
        ++depth;
        deepest = std::max(deepest, depth);
        const QString hint = r.hint();
        payloadsRight = payloadsRight && r.stream()->readAll() == hint.toUtf8().repeated(3);
        hints << hint;
        if (hints.size() == 1) {
            // A modal question: its own event loop runs while the rest keeps arriving.
            QEventLoop modal;
            QTimer::singleShot(300, &modal, &QEventLoop::quit);
            modal.exec();
            QCOMPARE(hints.size(), 1);
            // ...and the handler answers before it returns, as the programs do.
            sendBytes(b, a, "answer", "ok");
        }
        --depth;
    });
    for (int i = 0; i < kStreams; ++i) {
        const QString hint = QString::number(i);
        sendBytes(a, b, hint, hint.toUtf8().repeated(3));
    }
    QTRY_COMPARE_WITH_TIMEOUT(hints.size(), kStreams, 60000);
    QCOMPARE(deepest, 1);
    QVERIFY(payloadsRight);
    for (int i = 0; i < kStreams; ++i)
        QCOMPARE(hints[i], QString::number(i));
    QTRY_COMPARE(answered.size(), 1);
}

// A handler that answers with many streams while the peer's queue is full must not wait
// forever: a program inside a send keeps reading whatever its queue holds.
void TestTether::answersFromAHandlerFlowWhileTheQueueIsFull() {
    Node a("Mgr"), b("Mgr", "App:Bob 2");
    QVERIFY(pairNodes(a, b));
    constexpr int kStreams = 300;
    const QByteArray payload(64 * 1024, 'q');
    int atB = 0, atA = 0;
    QObject::connect(&b.profile, &Profile::resourceReceived, [&](const Resource&) {
        if (atB++ == 0)
            for (int i = 0; i < kStreams; ++i)
                sendBytes(b, a, QString::number(i), payload);
    });
    QStringList order;
    QObject::connect(&a.profile, &Profile::resourceReceived,
                     [&](const Resource& r) { order << r.hint(), ++atA; });
    for (int i = 0; i < kStreams; ++i)
        sendBytes(a, b, QString::number(i), payload);
    QTRY_COMPARE_WITH_TIMEOUT(atB, kStreams, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(atA, kStreams, 30000);
    for (int i = 0; i < kStreams; ++i)
        QCOMPARE(order[i], QString::number(i));
}

// A receiver that handles streams more slowly than they come does not read them all into
// memory: once enough wait, the rest stays in the sockets and the sender waits. Whatever the
// peer sent before it left is still delivered, every stream of it.
void TestTether::slowReceiverPacesTheSenderAndGetsEverything() {
    constexpr int kStreams = 1000;
    QTemporaryDir dir;
    QFile file(dir.filePath("piece.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(64 * 1024, 'z'));
    file.close();
    Node a("Listener");
    int received = 0, receivedWhenSenderLeft = -1;
    QSignalSpy abandoned(&a.profile, &Profile::resourceAbandoned);
    QSignalSpy shut(&a.manager, &Manager::remoteManagerShutdown);
    QObject::connect(&a.profile, &Profile::resourceReceived, [&](const Resource& r) {
        received += r.size() == 64 * 1024 && r.hint() == QLatin1String("piece.bin");
        QThread::msleep(2);
    });
    QProcess peer;
    peer.setProcessEnvironment(peerEnvironment());
    QObject::connect(&peer, &QProcess::finished, [&] { receivedWhenSenderLeft = received; });
    peer.start(TETHER_PEER, {"send", file.fileName(), "--match", "Listener", "--password", "4711",
                             "--count", QString::number(kStreams)});
    QVERIFY(peer.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(receivedWhenSenderLeft >= 0, 60000);
    QCOMPARE(peer.exitCode(), 0);
    // Still on the way when the sender was done: the waiting events and what the sockets
    // hold (some MiB on loopback), far fewer than the 64 MiB sent.
    QVERIFY2(receivedWhenSenderLeft >= kStreams - 350,
             qPrintable(QString::number(receivedWhenSenderLeft)));
    QTRY_COMPARE_WITH_TIMEOUT(received, kStreams, 30000);
    QTRY_COMPARE(shut.size(), 1);
    QCOMPARE(abandoned.size(), 0);
}

void TestTether::receivedPayloadIsTakenOverOrRemoved() {
    QTemporaryDir spool, target;
    Node a("Mgr"), b("Mgr", "App:Bob 2");
    b.manager.setSpoolDirectory(spool.path());
    b.manager.setSpoolThreshold(1000);
    QVERIFY(pairNodes(a, b));
    QStringList spooled;
    QObject::connect(&b.profile, &Profile::resourceReceived, [&](const Resource& r) {
        spooled << r.filePath();
        if (r.hint().startsWith("keep"))
            r.saveAs(target.filePath(r.hint()));
        else
            QCOMPARE(r.stream()->readAll().size(), r.size());
    });
    const QByteArray big(5000, 'b'), small(10, 's');
    sendBytes(a, b, "keep-big", big);
    sendBytes(a, b, "keep-small", small);
    sendBytes(a, b, "drop-big", big);
    QTRY_COMPARE(spooled.size(), 3);
    QVERIFY(!spooled[0].isEmpty()); // above the threshold: a file
    QVERIFY(spooled[1].isEmpty());  // below: memory
    QFile kept(target.filePath("keep-big"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), big);
    QFile keptSmall(target.filePath("keep-small"));
    QVERIFY(keptSmall.open(QIODevice::ReadOnly));
    QCOMPARE(keptSmall.readAll(), small);
    QTRY_VERIFY(QDir(spool.path()).isEmpty()); // the one not taken is gone after its handler
}

void TestTether::cancelEndsTheStreamCleanly() {
    Node a("Mgr"), b("Mgr", "App:Bob 2");
    QVERIFY(pairNodes(a, b));
    QSignalSpy abandoned(&b.profile, &Profile::resourceAbandoned);
    QSignalSpy received(&b.profile, &Profile::resourceReceived);
    QSignalSpy finished(&a.profile, &Profile::sendFinished);
    QObject::connect(&a.profile, &Profile::sendProgress, &a.profile, &Profile::cancelSend);
    Endless endless;
    QVERIFY_THROWS_EXCEPTION(tether::Cancelled,
                             a.profile.sendStream(a.remoteProfile(b), "FileBig - Ann", &endless));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(abandoned.wait(3000));
    QCOMPARE(abandoned.first().at(1).toString(), QStringLiteral("FileBig - Ann"));
    QVERIFY(abandoned.first().at(2).toString().contains("cancel"));
    QObject::disconnect(&a.profile, &Profile::sendProgress, &a.profile, &Profile::cancelSend);
    // The link carries on.
    sendBytes(a, b, "after", "x");
    QVERIFY(received.wait(3000));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().value<Resource>().hint(), QStringLiteral("after"));
}

void TestTether::bigStreamArrivesVerifiedWithBoundedMemory() {
    constexpr qint64 kSize = 300LL * 1024 * 1024;
    QTemporaryDir dir;
    const QString source = dir.filePath("source.bin");
    QCryptographicHash sent(QCryptographicHash::Sha1);
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray piece(1024 * 1024, Qt::Uninitialized);
        quint32 x = 12345;
        for (qint64 done = 0; done < kSize; done += piece.size()) {
            for (qsizetype i = 0; i < piece.size(); i += 4) {
                x = x * 1664525u + 1013904223u;
                std::memcpy(piece.data() + i, &x, 4);
            }
            sent.addData(piece);
            QCOMPARE(f.write(piece), piece.size());
        }
    }
    QDir(dir.path()).mkdir("save");
    QProcess peer;
    peer.setProcessEnvironment(peerEnvironment());
    peer.start(TETHER_PEER, {"listen", "--text", "BigReceiver", "--password", "4711", "--save",
                             dir.filePath("save"), "--quit-after", "1"});
    QVERIFY(peer.waitForReadyRead(10000));
    const QString id = QString::fromUtf8(peer.readLine()).trimmed().section(' ', 1);

    Node a("Mgr");
    QSignalSpy listed(&a.manager, &Manager::endProfilesDiscovery);
    a.manager.pairManager(a.findOne(id));
    QVERIFY(listed.wait(5000));
    const ProfileInfo to = a.manager.remoteProfiles().first();
    QVERIFY(a.profile.connectTo(to));
    QFile f(source);
    QVERIFY(f.open(QIODevice::ReadOnly));
    a.profile.sendStream(to, "FileBig", &f);
    QVERIFY(peer.waitForFinished(120000));
    const QString out = QString::fromUtf8(peer.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("RECEIVED %1 FileBig").arg(kSize)), qPrintable(out));

    QFile got(dir.filePath("save/received-0"));
    QVERIFY(got.open(QIODevice::ReadOnly));
    QCryptographicHash check(QCryptographicHash::Sha1);
    QVERIFY(check.addData(&got));
    QCOMPARE(check.result(), sent.result());
    const long peakKb = out.section("PEAK_RSS_KB ", 1).trimmed().toLong();
    qInfo() << "receiver peak memory" << peakKb / 1024 << "MiB for a" << kSize / 1048576
            << "MiB stream";
    QVERIFY2(peakKb > 0 && peakKb < 200 * 1024, qPrintable(out));
}

void TestTether::killedPeerIsReported() {
    Node a("KillMe");
    QSignalSpy listed(&a.manager, &Manager::endProfilesDiscovery);
    QSignalSpy shut(&a.manager, &Manager::remoteManagerShutdown);
    QSignalSpy abandoned(&a.profile, &Profile::resourceAbandoned);
    QProcess peer;
    peer.setProcessEnvironment(peerEnvironment());
    peer.start(TETHER_PEER, {"send", "--endless", "--text", "Sender", "--match", "KillMe",
                             "--password", "4711"});
    QVERIFY(listed.wait(10000)); // it found us, paired, and starts its endless stream
    QTest::qWait(500);
    QElapsedTimer t;
    t.start();
    peer.kill();
    peer.waitForFinished(5000);
    QVERIFY(shut.wait(7000));
    QVERIFY(t.elapsed() < 7000);
    QTRY_COMPARE(abandoned.size(), 1);
    QCOMPARE(abandoned.first().at(1).toString(), QStringLiteral("endless"));
    QVERIFY(a.manager.remoteProfiles().isEmpty());
}

void TestTether::hostileBeforeProof_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray nonce(32, 'n');
    QTest::addRow("unknown frame type") << QByteArray("\x7fhello", 6);
    QTest::addRow("length of 4 GiB") << QByteArray("\x01\xff\xff\xff\xff", 5);
    QTest::addRow("handshake frame over its limit") << QByteArray("\x01\x00\x00\x08\x00", 5);
    QTest::addRow("stream before the proof")
        << encodeBegin(1, QUuid::createUuid(), QUuid::createUuid(), 1, "Text") + encodeData(1, "x");
    QTest::addRow("greeting of another version")
        << encodeHello(QUuid::createUuid(), nonce, "Raw", kProtocolVersion + 1);
    QTest::addRow("wrong proof") << encodeHello(QUuid::createUuid(), nonce, "Raw") +
                                        encodeProof(QByteArray(32, 'x'));
}

void TestTether::hostileBeforeProof() {
    QFETCH(QByteArray, bytes);
    Node a("Mgr");
    QSignalSpy listed(&a.manager, &Manager::endProfilesDiscovery);
    QSignalSpy received(&a.profile, &Profile::resourceReceived);
    RawPeer raw(a.manager.pairingPort());
    raw.write(bytes);
    QVERIFY(raw.closedWithin(2000));
    QVERIFY(listed.isEmpty());
    QVERIFY(received.isEmpty());
    QVERIFY(a.manager.pairedManagers().isEmpty());
}

void TestTether::silentConnectionIsClosed() {
    Node a("Mgr");
    RawPeer silent(a.manager.pairingPort());
    QElapsedTimer t;
    t.start();
    QVERIFY(silent.closedWithin(8000));
    QVERIFY(t.elapsed() >= 4000);
}

void TestTether::unpairedConnectionsPerAddressAreBounded() {
    Node a("Mgr");
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 5; ++i) {
        held.push_back(std::make_unique<QTcpSocket>());
        held.back()->connectToHost(QHostAddress::LocalHost, a.manager.pairingPort());
        QVERIFY(held.back()->waitForConnected(2000));
        QTest::qWait(50);
    }
    QTRY_COMPARE(held[4]->state(), QAbstractSocket::UnconnectedState);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(held[size_t(i)]->state(), QAbstractSocket::ConnectedState);
    // A real peer still gets in once the strangers are gone.
    held.clear();
    Node b("Mgr", "App:Bob 2");
    QVERIFY(pairNodes(b, a));
}

void TestTether::hostileAfterProof_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("linkSurvives");
    QTest::addRow("data for a stream never begun") << 0 << false;
    QTest::addRow("hint over its limit") << 1 << false;
    QTest::addRow("more data than announced") << 2 << false;
    QTest::addRow("end with another length") << 3 << false;
    QTest::addRow("second greeting") << 4 << false;
    QTest::addRow("too many open streams") << 5 << false;
    QTest::addRow("damaged payload: stream dropped, link kept") << 6 << true;
}

void TestTether::hostileAfterProof() {
    QFETCH(int, kind);
    QFETCH(bool, linkSurvives);
    Node a("Mgr"), c("Mgr", "App:Cid 3");
    QVERIFY(pairNodes(c, a));
    QSignalSpy shut(&a.manager, &Manager::remoteManagerShutdown);
    QSignalSpy abandoned(&a.profile, &Profile::resourceAbandoned);
    QSignalSpy received(&a.profile, &Profile::resourceReceived);
    QSignalSpy listed(&a.manager, &Manager::endProfilesDiscovery);
    RawPeer raw(a.manager.pairingPort());
    QVERIFY(raw.handshake());
    QTRY_COMPARE(listed.size(), 1);
    const QUuid from = raw.profile(), to = raw.target();
    QByteArray bytes;
    switch (kind) {
    case 0:
        bytes = encodeData(7, "x");
        break;
    case 1:
        bytes = QByteArray(1, char(FrameType::Begin)) + QByteArray("\x00\x00\x40\x2d", 4) +
                QByteArray(4, '\0') + from.toRfc4122() + to.toRfc4122() + QByteArray(8, '\0') +
                QByteArray("\x00\x00\x40\x01", 4) + QByteArray(16385, 'h');
        break;
    case 2:
        bytes = encodeBegin(1, from, to, 2, "x") + encodeData(1, "abc");
        break;
    case 3:
        bytes = encodeBegin(1, from, to, 2, "x") + encodeData(1, "ab") + encodeEnd(1, 3, 0);
        break;
    case 4:
        bytes = encodeHello(raw.id(), QByteArray(32, 'n'), "Raw");
        break;
    case 5:
        for (quint32 i = 1; i <= 17; ++i)
            bytes += encodeBegin(i, from, to, 1, "x");
        break;
    case 6:
        bytes =
            encodeBegin(1, from, to, 2, "damaged") + encodeData(1, "ab") + encodeEnd(1, 2, 12345);
        break;
    }
    raw.write(bytes);
    if (linkSurvives) {
        QTRY_COMPARE(abandoned.size(), 1);
        QVERIFY(abandoned.first().at(2).toString().contains("verification"));
        QVERIFY(!raw.closedWithin(300));
        QVERIFY(shut.isEmpty());
    } else {
        QVERIFY(raw.closedWithin(2000));
        QTRY_COMPARE(shut.size(), 1); // the peer is gone for the program
    }
    QVERIFY(received.isEmpty()); // nothing unverified reaches the program
    // Nothing else changed: the other paired manager still reaches us.
    QCOMPARE(a.manager.pairedManagers().size(), linkSurvives ? 2 : 1);
    sendBytes(c, a, "still here", "ok");
    QVERIFY(received.wait(2000));
}

QTEST_GUILESS_MAIN(TestTether)
#include "tst_tether.moc"
