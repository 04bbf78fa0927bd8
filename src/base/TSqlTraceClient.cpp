#include "base/TSqlTraceClient.h"

TSqlTraceClient::TSqlTraceClient(std::shared_ptr<ISqlTraceSink> sink)
    : FMonitor(std::make_unique<TSqlTraceMonitor>(std::move(sink)))
{
}

void TSqlTraceClient::SetMonitor(std::unique_ptr<TSqlTraceMonitor> monitor)
{
    FMonitor = std::move(monitor);
}
