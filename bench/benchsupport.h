#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

#include <QByteArray>
#include <QFile>

// The process's peak resident memory in kB, from /proc; -1 where there is none.
inline long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

#endif
