// A small stand-alone peer for tests and benchmarks: it answers searches and receives
// streams ("listen"), or finds a listener, pairs and sends ("send"). It reports on stdout one
// line per event, so a test or a script can follow it from another process or namespace.
//
//   tether_peer listen [--text T] [--profile P] [--password W] [--save DIR] [--quit-after N]
//   tether_peer send FILE [--text T] [--match T] [--password W] [--count N] [--endless]
//
// Ports and addresses come from the TETHER_* environment variables.
#include "Manager.h"
#include "PeakMemory.h"
#include "Profile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Endless zeros, handed out slowly: a sender that is still busy when it is killed.
class Trickle : public QIODevice {
public:
    Trickle() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        QThread::msleep(10);
        const qint64 n = std::min<qint64>(max, 16 * 1024);
        std::memset(data, 0, size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    cli.addPositionalArgument("mode", "listen or send");
    cli.addOptions({
        {"text", "manager text", "text", "TetherPeer"},
        {"match", "send: pair with managers of this text", "text", "TetherPeer"},
        {"profile", "profile text", "text", "peer"},
        {"password", "pairing password", "password", "1234"},
        {"save", "listen: keep received payloads in this folder", "dir"},
        {"quit-after", "listen: end after this many resources", "n", "0"},
        {"count", "send: how many times", "n", "1"},
        {"endless", "send: a slow endless stream instead of the file"},
    });
    cli.process(app);
    const QStringList args = cli.positionalArguments();
    if (args.isEmpty() || (args[0] != "listen" && args[0] != "send") ||
        (args[0] == "send" && args.size() < 2 && !cli.isSet("endless"))) {
        std::fputs("usage: tether_peer listen|send FILE [options]\n", stderr);
        return 2;
    }
    const bool listen = args[0] == "listen";

    tether::Manager manager;
    manager.setText(cli.value("text"));
    tether::Profile profile(&manager);
    profile.setText(cli.value("profile"));
    profile.setEnabled(true);
    const QString password = cli.value("password");
    QObject::connect(&manager, &tether::Manager::requestManagerPassword,
                     [&password](const QString&, QString& pw) { pw = password; });
    QObject::connect(&manager, &tether::Manager::remoteManagerShutdown,
                     [](const QString& id) { say("SHUTDOWN " + id); });
    QObject::connect(&profile, &tether::Profile::resourceAbandoned,
                     [](const tether::ProfileInfo&, const QString& hint, const QString& why) {
                         say("ABANDONED " + hint + ": " + why);
                     });
    try {
        manager.setEnabled(true);
    } catch (const tether::Error& e) {
        say("ERROR " + e.message());
        return 1;
    }
    say("READY " + manager.identifier());

    int received = 0;
    const int quitAfter = cli.value("quit-after").toInt();
    const QString saveDir = cli.value("save");
    QObject::connect(&profile, &tether::Profile::resourceReceived, [&](const tether::Resource& r) {
        if (!saveDir.isEmpty()) {
            const QString target =
                QDir(saveDir).filePath(QStringLiteral("received-%1").arg(received));
            QFile::remove(target);
            r.saveAs(target);
        }
        say(QStringLiteral("DONE_AT %1").arg(QDateTime::currentMSecsSinceEpoch()));
        say(QStringLiteral("RECEIVED %1 %2").arg(r.size()).arg(r.hint()));
        if (quitAfter > 0 && ++received >= quitAfter)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    QObject::connect(
        &manager, &tether::Manager::endProfilesDiscovery,
        [&](const QList<tether::ProfileInfo>& profiles) {
            say("PAIRED " + QString::number(profiles.size()));
            if (listen || profiles.isEmpty())
                return;
            const tether::ProfileInfo to = profiles.first();
            if (!profile.connectTo(to)) {
                say("ERROR cannot connect");
                app.exit(1);
                return;
            }
            try {
                const int count = cli.value("count").toInt();
                for (int i = 0; i < count; ++i) {
                    QElapsedTimer t;
                    t.start();
                    if (cli.isSet("endless")) {
                        Trickle trickle;
                        profile.sendStream(to, "endless", &trickle);
                    } else {
                        QFile f(args[1]);
                        if (!f.open(QIODevice::ReadOnly))
                            throw tether::Error("cannot open " + args[1]);
                        say(QStringLiteral("SENDING_AT %1")
                                .arg(QDateTime::currentMSecsSinceEpoch()));
                        profile.sendStream(to, QFileInfo(f).fileName(), &f);
                        say(QStringLiteral("SENT %1 %2").arg(f.size()).arg(t.elapsed()));
                    }
                }
            } catch (const tether::Error& e) {
                say("ERROR " + e.message());
                app.exit(1);
                return;
            }
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        });
    if (!listen) {
        QObject::connect(&manager, &tether::Manager::endManagersDiscovery,
                         [&](const QList<tether::ManagerInfo>& found) {
                             for (const tether::ManagerInfo& m : found) {
                                 if (m.text == cli.value("match")) {
                                     manager.pairManager(m);
                                     return;
                                 }
                             }
                             // Nobody yet: search again.
                             QTimer::singleShot(200, &manager, &tether::Manager::discoverManagers);
                         });
        manager.discoverManagers();
    }
    const int rc = app.exec();
    manager.setEnabled(false);
    say(QStringLiteral("PEAK_RSS_KB %1").arg(PeakMemoryKb()));
    return rc;
}
