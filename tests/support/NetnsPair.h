#pragma once
// Two hosts for tests that must cross a real network segment: two network namespaces joined by
// a veth pair, each end with an address of its own subnet and a broadcast address. Only
// addresses inside the namespaces are used. Making them needs root and the ip tool; without
// them a test skips with the reason create() gives.
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <unistd.h>

// Runs ip with the arguments; false (and the tool's message) when it fails.
inline bool RunIp(const QStringList& args, QString* error = nullptr) {
    QProcess p;
    p.start(QStringLiteral("ip"), args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return false;
    }
    return true;
}

class NetnsPair {
public:
    NetnsPair() = default;
    NetnsPair(const NetnsPair&) = delete;
    NetnsPair& operator=(const NetnsPair&) = delete;
    ~NetnsPair() { remove(); } // also when a check failed half-way

    // Makes both hosts; names start with prefix and carry the process id, so runs never
    // collide. The subnet is 10.<subnetByte>.<pid-derived>.0/24. Returns false with skip set
    // when this machine cannot make namespaces at all, or with error set when a later step
    // failed (the hosts made so far are removed).
    bool create(const QString& prefix, int subnetByte, QString* skip, QString* error) {
        if (geteuid() != 0) {
            *skip = QStringLiteral("the two-host test needs root to create network namespaces; "
                                   "skipped");
            return false;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty()) {
            *skip = QStringLiteral("the two-host test needs the ip tool (iproute2); skipped");
            return false;
        }
        const QString tag = QString::number(getpid());
        a = prefix + tag + QLatin1Char('a');
        b = prefix + tag + QLatin1Char('b');
        vethA = prefix.left(2) + QLatin1Char('v') + tag + QLatin1Char('a');
        vethB = prefix.left(2) + QLatin1Char('v') + tag + QLatin1Char('b');
        subnet = QStringLiteral("10.%1.%2.").arg(subnetByte).arg(getpid() % 250 + 1);
        QString why;
        if (!RunIp({QStringLiteral("netns"), QStringLiteral("add"), a}, &why)) {
            *skip = QStringLiteral("cannot create network namespaces here (%1); skipped").arg(why);
            return false;
        }
        m_made = true;
        const QList<QStringList> steps = {
            {"netns", "add", b},
            {"link", "add", vethA, "type", "veth", "peer", "name", vethB},
            {"link", "set", vethA, "netns", a},
            {"link", "set", vethB, "netns", b},
            {"-n", a, "addr", "add", subnet + "1/24", "broadcast", "+", "dev", vethA},
            {"-n", b, "addr", "add", subnet + "2/24", "broadcast", "+", "dev", vethB},
            {"-n", a, "link", "set", "lo", "up"},
            {"-n", a, "link", "set", vethA, "up"},
            {"-n", b, "link", "set", "lo", "up"},
            {"-n", b, "link", "set", vethB, "up"},
        };
        for (const QStringList& step : steps) {
            if (!RunIp(step, &why)) {
                *error = QStringLiteral("ip %1: %2").arg(step.join(QLatin1Char(' ')), why);
                remove();
                return false;
            }
        }
        return true;
    }

    void remove() {
        if (!m_made)
            return;
        m_made = false;
        RunIp({QStringLiteral("netns"), QStringLiteral("del"), a});
        RunIp({QStringLiteral("netns"), QStringLiteral("del"), b}); // takes the veth pair along
    }

    // Arguments for QProcess::start("ip", ...) that run program inside host ns.
    static QStringList Exec(const QString& ns, const QString& program) {
        return {QStringLiteral("netns"), QStringLiteral("exec"), ns, program};
    }

    QString a, b;         // the two hosts (namespace names)
    QString vethA, vethB; // their ends of the cable
    QString subnet;       // "10.x.y." : a is .1, b is .2

private:
    bool m_made = false;
};
