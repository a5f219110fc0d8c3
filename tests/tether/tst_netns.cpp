// Two hosts in network namespaces joined by a veth pair: discovery by real broadcast on the
// segment, pairing, a stream, a goodbye, and a dropped network. Needs root and `ip`; skipped
// with a message otherwise. Only addresses inside the namespaces are used.
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "NetnsPair.h"
#include <unistd.h>

namespace {

// Output of a helper, line by line, as it comes.
struct Helper {
    QProcess process;
    QString seen;
    bool waitFor(const QString& prefix, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            seen += QString::fromUtf8(process.readAllStandardOutput());
            if (seen.contains(QLatin1Char('\n') + prefix) || seen.startsWith(prefix))
                return true;
            process.waitForReadyRead(100);
        }
        return false;
    }
};

} // namespace

class TestNetns : public QObject {
    Q_OBJECT
public:
    ~TestNetns() override { cleanupTestCase(); } // also when a check failed half-way

private slots:
    void initTestCase();
    void cleanupTestCase();
    void discoveryPairingStreamAndGoodbye();
    void droppedNetworkEndsThePairing();

private:
    void start(Helper& h, const QString& ns, const QStringList& args);
    NetnsPair m_hosts;
    QTemporaryDir m_dir;
};

void TestNetns::initTestCase() {
    QString skip, error;
    if (!m_hosts.create(QStringLiteral("tth"), 77, &skip, &error)) {
        if (!skip.isEmpty())
            QSKIP(qPrintable(skip));
        QFAIL(qPrintable(error));
    }
}

void TestNetns::cleanupTestCase() {
    m_hosts.remove();
}

void TestNetns::start(Helper& h, const QString& ns, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No broadcast override: the helpers ask every interface, as a real copy does.
    env.remove("TETHER_BROADCAST");
    env.remove("TETHER_BIND_ADDRESS");
    env.insert("TETHER_DISCOVERY_PORT", "47321");
    env.insert("TETHER_SPOOL_DIR", m_dir.path());
    h.process.setProcessEnvironment(env);
    h.process.start(QStringLiteral("ip"), NetnsPair::Exec(ns, TETHER_PEER) + args);
    QVERIFY(h.process.waitForStarted(5000));
}

void TestNetns::discoveryPairingStreamAndGoodbye() {
    const QString source = m_dir.filePath("source.bin");
    QByteArray bytes(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131) ^ (i >> 9));
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    Helper listener, sender;
    start(listener, m_hosts.a, {"listen", "--text", "NetnsListener", "--save", m_dir.path()});
    QVERIFY(listener.waitFor("READY", 10000));
    start(sender, m_hosts.b, {"send", source, "--match", "NetnsListener"});
    QVERIFY2(listener.waitFor("PAIRED", 15000), qPrintable(listener.seen));
    QVERIFY2(listener.waitFor("RECEIVED", 15000), qPrintable(listener.seen));
    QVERIFY(listener.seen.contains(QStringLiteral("RECEIVED %1 source.bin").arg(bytes.size())));
    QFile got(m_dir.filePath("received-0"));
    QVERIFY(got.open(QIODevice::ReadOnly));
    QVERIFY(got.readAll() == bytes);
    // The sender's program ends: the listener hears its goodbye at once.
    QVERIFY(sender.process.waitForFinished(10000));
    QCOMPARE(sender.process.exitCode(), 0);
    QVERIFY2(listener.waitFor("SHUTDOWN", 3000), qPrintable(listener.seen));
    listener.process.terminate();
    listener.process.waitForFinished(5000);
}

void TestNetns::droppedNetworkEndsThePairing() {
    Helper listener, sender;
    start(listener, m_hosts.a, {"listen", "--text", "NetnsListener2"});
    QVERIFY(listener.waitFor("READY", 10000));
    start(sender, m_hosts.b, {"send", "--endless", "--match", "NetnsListener2"});
    QVERIFY2(listener.waitFor("PAIRED", 15000), qPrintable(listener.seen));
    QTest::qWait(500);
    QElapsedTimer t;
    t.start();
    QVERIFY(RunIp({"-n", m_hosts.b, "link", "set", m_hosts.vethB, "down"}));
    // Nobody says goodbye; keep-alive notices within its documented bound (about 6 s).
    QVERIFY2(listener.waitFor("SHUTDOWN", 9000), qPrintable(listener.seen));
    qInfo() << "dropped network noticed after" << t.elapsed() << "ms";
    QVERIFY(listener.seen.contains("ABANDONED endless"));
    sender.process.kill();
    sender.process.waitForFinished(5000);
    listener.process.terminate();
    listener.process.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestNetns)
#include "tst_netns.moc"
