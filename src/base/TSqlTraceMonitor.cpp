#include "base/TSqlTraceMonitor.h"

#include <mutex>

TSqlTraceMonitor::TSqlTraceMonitor(std::shared_ptr<ISqlTraceSink> sink)
    : m_sink(std::move(sink))
{
}

std::shared_ptr<ISqlTraceSink> TSqlTraceMonitor::Sink() const
{
    std::shared_lock lock(m_lock);
    return m_sink;
}

void TSqlTraceMonitor::SetSink(std::shared_ptr<ISqlTraceSink> sink)
{
    std::unique_lock lock(m_lock);
    m_sink = std::move(sink);
}

void TSqlTraceMonitor::Write(int kind, const QString& line)
{
    std::unique_lock lock(m_lock);
    if (m_sink)
        m_sink->Trace(kind, line);
}
