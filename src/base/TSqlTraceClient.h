#pragma once

#include "base/TSharedSlot.h"
#include "base/TSqlTraceMonitor.h"

#include <memory>

// The connection to a monitoring tool; it traces only while it holds a monitor. The monitor may be
// replaced while other threads trace: each of them keeps the monitor it read alive until its
// trace is written, and writes outside the lock that guards the replacement.
class TSqlTraceClient
{
public:
    TSqlTraceClient() = default;
    explicit TSqlTraceClient(std::shared_ptr<ISqlTraceSink> sink);

    std::shared_ptr<TSqlTraceMonitor> Monitor() const { return FMonitor.Load(); }
    void SetMonitor(std::shared_ptr<TSqlTraceMonitor> monitor);

private:
    TSharedSlot<TSqlTraceMonitor> FMonitor;
};
