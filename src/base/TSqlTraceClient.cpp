#include "base/TSqlTraceClient.h"

TSqlTraceClient::TSqlTraceClient(std::shared_ptr<ISqlTraceSink> sink)
{
    FMonitor.Store(std::make_shared<TSqlTraceMonitor>(std::move(sink)));
}

void TSqlTraceClient::SetMonitor(std::shared_ptr<TSqlTraceMonitor> monitor)
{
    FMonitor.Store(std::move(monitor));
}
