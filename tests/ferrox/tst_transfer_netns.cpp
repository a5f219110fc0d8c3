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

#include "NetnsPair.h"
#include <unistd.h>

namespace {

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
    NetnsPair m_hosts;
    QTemporaryDir m_dir;
};

void TestTransferNetns::initTestCase() {
    QString skip, error;
    if (!m_hosts.create(QStringLiteral("ftx"), 78, &skip, &error)) {
        if (!skip.isEmpty())
            QSKIP(qPrintable(skip));
        QFAIL(qPrintable(error));
    }
}

void TestTransferNetns::cleanupTestCase() {
    m_hosts.remove();
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
    p.start(QStringLiteral("ip"), NetnsPair::Exec(ns, QStringLiteral(FERROX_DRIVER)) + args);
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
    start(receiver, m_hosts.a,
          {"--root", m_dir.filePath("b"), "--user", "Bob", "--number", "2", "--place", placed,
           "--timeout-ms", "60000"});
    QVERIFY(receiver.waitForReadyRead(20000));
    start(sender, m_hosts.b,
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
