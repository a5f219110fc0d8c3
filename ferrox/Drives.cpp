#include "Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace {

// Kernel and desktop file systems that hold no user files of their own.
bool IsPseudo(const QByteArray& type) {
    static const QSet<QByteArray> pseudo = {
        "proc",        "sysfs",      "devtmpfs",  "devpts",      "tmpfs",
        "ramfs",       "cgroup",     "cgroup2",   "securityfs",  "pstore",
        "debugfs",     "tracefs",    "mqueue",    "hugetlbfs",   "configfs",
        "fusectl",     "bpf",        "autofs",    "binfmt_misc", "efivarfs",
        "rpc_pipefs",  "nsfs",       "squashfs",  "overlay",     "fuse.gvfsd-fuse",
        "fuse.portal", "fuse.lxcfs", "selinuxfs", "nfsd",        "none"};
    return pseudo.contains(type);
}

bool HasDriveLetters() {
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

} // namespace

QStringList LogicalDrives() {
    QStringList out;
    if (HasDriveLetters()) {
        const auto drives = QDir::drives();
        for (const QFileInfo& d : drives)
            out << QDir::toNativeSeparators(d.absoluteFilePath());
        return out;
    }
    out << QStringLiteral("/");
    const auto volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumes) {
        if (!v.isValid() || !v.isReady() || IsPseudo(v.fileSystemType()))
            continue;
        const QString root = v.rootPath();
        // Containers bind single files (/etc/hosts) as mounts; only folders are drives.
        if (!QFileInfo(root).isDir() || out.contains(root))
            continue;
        out << root;
    }
    return out;
}

qint64 DriveFreeBytes(const QString& path) {
    QStorageInfo info(path);
    if (!info.isValid() || !info.isReady())
        return 0;
    return qMax<qint64>(0, info.bytesAvailable());
}

QString DriveRootOf(const QString& folder, const QStringList& drives) {
    QString best;
    const QString f = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    const Qt::CaseSensitivity cs = HasDriveLetters() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (const QString& d : drives) {
        const QString root = QDir::cleanPath(QDir::fromNativeSeparators(d));
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        const bool match = f.compare(root, cs) == 0 || f.startsWith(prefix, cs);
        if (match && d.size() > best.size())
            best = d;
    }
    if (best.isEmpty())
        best = HasDriveLetters() ? QDir::toNativeSeparators(QFileInfo(f).absoluteDir().rootPath())
                                 : QStringLiteral("/");
    return best;
}
