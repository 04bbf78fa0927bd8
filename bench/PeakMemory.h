#pragma once

// Peak memory of one piece of work: the growth of the process's resident set at its highest
// while the work ran, over what was resident before. Linux only (the peak is reset through
// /proc/self/clear_refs); elsewhere it reads 0.

#include <QByteArray>
#include <QFile>

#include <functional>

#include <malloc.h>

namespace PeakMemory {

inline qint64 StatusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Bytes by which the resident set rose at its peak while work() ran.
inline double GrowthOf(const std::function<void()>& work)
{
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5");
    reset.close();
    malloc_trim(0); // what earlier work freed is not part of this work's memory
    const qint64 before = StatusKb("VmRSS:");
    work();
    return double(StatusKb("VmHWM:") - before) * 1024.0;
}

} // namespace PeakMemory
