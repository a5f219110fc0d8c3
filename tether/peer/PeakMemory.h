#pragma once
// The high-water mark of this program's memory, in KiB, or -1 when it cannot be read. Not
// getrusage(): its maximum survives exec, so a child started from a big process would report
// the parent's size.
#include <QByteArray>
#include <QFile>

inline long PeakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
