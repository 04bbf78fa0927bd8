#include "base/TSqlTraceMonitor.h"

#include <mutex>

TSqlTraceMonitor::TSqlTraceMonitor(std::shared_ptr<ISqlTraceSink> sink)
    : FSink(std::move(sink))
{
}

std::shared_ptr<ISqlTraceSink> TSqlTraceMonitor::Sink() const
{
    std::shared_lock lock(FLock);
    return FSink;
}

void TSqlTraceMonitor::SetSink(std::shared_ptr<ISqlTraceSink> sink)
{
    std::unique_lock lock(FLock);
    FSink = std::move(sink);
}

void TSqlTraceMonitor::Write(int kind, const QString& line)
{
    std::unique_lock lock(FLock);
    if (FSink)
        FSink->Trace(kind, line);
}
