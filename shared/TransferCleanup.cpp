#include "TransferCleanup.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The canonical form when the path exists, else the cleaned absolute one, with a trailing
// separator so that prefix tests compare whole names ("/a/Files/" is not a prefix of
// "/a/FilesOld/").
QString folderKey(const QString& path) {
    const QFileInfo fi(path);
    QString p = fi.canonicalFilePath();
    if (p.isEmpty())
        p = QDir::cleanPath(fi.absoluteFilePath());
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p;
}

bool isInside(const QString& key, const QString& rootKey) {
    return key.startsWith(rootKey);
}

// Removes a real folder and everything in it; links are deleted, never entered. Records
// each entry that stays; returns true when the folder itself is gone.
bool removeTree(const QString& folder, QStringList* failed) {
    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    bool allGone = true;
    for (const QFileInfo& e : entries) {
        if (e.isDir() && !e.isSymLink()) {
            if (!removeTree(e.filePath(), failed))
                allGone = false;
        } else if (!QFile::remove(e.filePath())) {
            failed->append(e.filePath());
            allGone = false;
        }
    }
    if (!allGone)
        return false;
    if (!QDir().rmdir(folder)) {
        failed->append(folder);
        return false;
    }
    return true;
}

} // namespace

TransferCleanup ClearTransferFolders(const QStringList& folders, const QString& allowedRoot,
                                     const QStringList& keep) {
    TransferCleanup out;
    const QString rootKey = folderKey(allowedRoot);
    QStringList keepKeys;
    for (const QString& k : keep)
        keepKeys << folderKey(k);
    QStringList done;
    for (const QString& folder : folders) {
        const QFileInfo fi(folder);
        if (!fi.isDir())
            continue; // nothing was left there
        const QString key = folderKey(folder);
        if (done.contains(key))
            continue;
        done << key;
        if (!isInside(key, rootKey)) {
            out.outside << folder;
            continue;
        }
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        for (const QFileInfo& e : entries) {
            out.listed << e.filePath();
            if (!e.isDir() || e.isSymLink())
                continue; // loose files, and links to folders elsewhere, stay
            const QString subKey = folderKey(e.filePath());
            bool holdsKept = false;
            for (const QString& k : keepKeys)
                holdsKept = holdsKept || isInside(k, subKey);
            if (holdsKept) {
                out.kept << e.filePath();
                continue;
            }
            if (removeTree(e.filePath(), &out.failed))
                out.removed << e.filePath();
        }
    }
    return out;
}
