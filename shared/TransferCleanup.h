#pragma once
#include <QString>
#include <QStringList>

// "Clear Files": the folders that earlier transfers left below the receive folder and the
// send-list folder. Each first-level sub-folder goes with everything in it; files lying
// directly in the two folders stay. One entry that cannot be removed does not stop the rest.
struct TransferCleanup {
    QStringList listed;  // first-level entries of the folders looked at, in order
    QStringList removed; // sub-folders removed completely
    QStringList failed;  // entries that could not be removed (the folders holding them stay)
    QStringList kept;    // sub-folders that are or hold one of the program's own folders
    QStringList outside; // folders not cleared because they lie outside the allowed root
    bool complete() const { return failed.isEmpty(); }
};

// Clears the first-level sub-folders of each folder in turn. Only folders inside
// allowedRoot are cleared, and a sub-folder that is or holds one of keep (the program's own
// folders) stays: a send-list folder pointed at a personal folder must not cost its
// sub-folders. Symbolic links are removed as links and never followed.
TransferCleanup ClearTransferFolders(const QStringList& folders, const QString& allowedRoot,
                                     const QStringList& keep);
