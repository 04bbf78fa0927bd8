#include "base/TSqlTraceClient.h"

TSqlTraceClient::TSqlTraceClient(std::shared_ptr<ISqlTraceSink> sink)
    : m_monitor(std::make_unique<TSqlTraceMonitor>(std::move(sink)))
{
}

void TSqlTraceClient::SetMonitor(std::unique_ptr<TSqlTraceMonitor> monitor)
{
    m_monitor = std::move(monitor);
}
