#pragma once
#include <QString>
#include <QStringList>

// The "logical drives" of this computer as root path texts. With drive letters these are the
// drives ("C:\", "D:\"); without them the file-system root "/" first and then every mounted
// real volume (no pseudo file systems, no single-file mounts), in the order the system
// reports them.
QStringList LogicalDrives();

// Free bytes for this user on the volume that holds path; 0 when it cannot be told.
qint64 DriveFreeBytes(const QString& path);

// The root (from LogicalDrives) of the drive that holds folder: the longest drive root that
// is a prefix of it; "/" (or the folder's own root) when none is.
QString DriveRootOf(const QString& folder, const QStringList& drives);
