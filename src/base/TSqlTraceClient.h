#pragma once

#include "base/TSqlTraceMonitor.h"

#include <memory>

// The connection to a monitoring tool; it traces only while it holds a monitor.
class TSqlTraceClient
{
public:
    TSqlTraceClient() = default;
    explicit TSqlTraceClient(std::shared_ptr<ISqlTraceSink> sink);

    TSqlTraceMonitor* Monitor() const { return FMonitor.get(); }
    void SetMonitor(std::unique_ptr<TSqlTraceMonitor> monitor);

private:
    std::unique_ptr<TSqlTraceMonitor> FMonitor;
};
