// Two copies of the transfer program on two hosts: network namespaces joined by a veth pair.
// They find each other by broadcast on that segment, the sender checks a folder's files and
// presses Send, the receiver puts them into a chosen folder; the placed files must be the
// sent bytes. Needs root and `ip`; skipped with a message otherwise. Only addresses inside the
// namespaces are used.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

bool ip(const QStringList& args, QString* error = nullptr) {
    QProcess p;
    p.start(QStringLiteral("ip"), args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return false;
    }
    return true;
}

QByteArray Pattern(qsizetype size, int seed) {
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = char((i * 131 + seed) ^ (i >> 9));
    return b;
}

} // namespace

class TestTransferNetns : public QObject {
    Q_OBJECT
public:
    ~TestTransferNetns() override { cleanupTestCase(); } // also when a check failed half-way

private slots:
    void initTestCase();
    void cleanupTestCase();
    void folderSentBetweenTwoHosts();

private:
    void start(QProcess& p, const QString& ns, const QStringList& args);
    QString m_a, m_b;
    bool m_made = false;
    QTemporaryDir m_dir;
};

void TestTransferNetns::initTestCase() {
    if (geteuid() != 0)
        QSKIP("the two-host test needs root to create network namespaces; skipped");
    if (QStandardPaths::findExecutable("ip").isEmpty())
        QSKIP("the two-host test needs the ip tool (iproute2); skipped");
    const QString tag = QString::number(getpid());
    m_a = "ftx" + tag + "a";
    m_b = "ftx" + tag + "b";
    const QString subnet = QStringLiteral("10.78.%1.").arg(getpid() % 250 + 1);
    const QString va = "fv" + tag + "a", vb = "fv" + tag + "b";
    QString error;
    if (!ip({"netns", "add", m_a}, &error))
        QSKIP(qPrintable("cannot create network namespaces here (" + error + "); skipped"));
    m_made = true;
    QVERIFY(ip({"netns", "add", m_b}, &error));
    QVERIFY2(ip({"link", "add", va, "type", "veth", "peer", "name", vb}, &error),
             qPrintable(error));
    QVERIFY(ip({"link", "set", va, "netns", m_a}));
    QVERIFY(ip({"link", "set", vb, "netns", m_b}));
    QVERIFY(ip({"-n", m_a, "addr", "add", subnet + "1/24", "broadcast", "+", "dev", va}));
    QVERIFY(ip({"-n", m_b, "addr", "add", subnet + "2/24", "broadcast", "+", "dev", vb}));
    for (const QString& ns : {m_a, m_b}) {
        QVERIFY(ip({"-n", ns, "link", "set", "lo", "up"}));
        QVERIFY(ip({"-n", ns, "link", "set", ns == m_a ? va : vb, "up"}));
    }
}

void TestTransferNetns::cleanupTestCase() {
    if (!m_made)
        return;
    m_made = false;
    ip({"netns", "del", m_a});
    ip({"netns", "del", m_b}); // takes the veth pair with it
}

void TestTransferNetns::start(QProcess& p, const QString& ns, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No loopback overrides: the copies search every interface, as a real copy does.
    env.remove("TETHER_BROADCAST");
    env.remove("TETHER_BIND_ADDRESS");
    env.remove("TETHER_SPOOL_DIR");
    env.insert("TETHER_DISCOVERY_PORT", "47321");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("ip"),
            QStringList{"netns", "exec", ns, QStringLiteral(FERROX_DRIVER)} + args);
    QVERIFY(p.waitForStarted(5000));
}

void TestTransferNetns::folderSentBetweenTwoHosts() {
    const QString src = m_dir.filePath("src");
    QVERIFY(QDir().mkpath(src));
    // Small ones travel in memory, the big one through the receiver's temporary file.
    const QList<QPair<QString, QByteArray>> files = {{"one.txt", "first\r\n"},
                                                     {"empty", QByteArray()},
                                                     {"big.bin", Pattern(5 * 1024 * 1024 + 3, 7)}};
    for (const auto& [name, bytes] : files) {
        QFile f(src + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    const QString placed = m_dir.filePath("placed");
    QProcess receiver, sender;
    start(receiver, m_a,
          {"--root", m_dir.filePath("b"), "--user", "Bob", "--number", "2", "--place", placed,
           "--timeout-ms", "60000"});
    QVERIFY(receiver.waitForReadyRead(20000));
    start(sender, m_b,
          {"--root", m_dir.filePath("a"), "--user", "Ann", "--number", "1", "--send", src,
           "--timeout-ms", "60000"});
    QVERIFY(sender.waitForFinished(90000));
    const QString sent = QString::fromLocal8Bit(sender.readAll());
    QCOMPARE(sender.exitCode(), 0);
    QVERIFY2(receiver.waitForFinished(30000), qPrintable(sent));
    const QString got = QString::fromLocal8Bit(receiver.readAll());
    QVERIFY2(receiver.exitCode() == 0 && got.contains("PLACED_AT"), qPrintable(got + sent));
    for (const auto& [name, bytes] : files) {
        QFile f(placed + "/" + name);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
        QVERIFY2(f.readAll() == bytes, qPrintable(name));
    }
}

QTEST_GUILESS_MAIN(TestTransferNetns)
#include "tst_transfer_netns.moc"
