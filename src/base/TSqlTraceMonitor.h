#pragma once

#include "base/ISqlTraceSink.h"

#include <memory>
#include <shared_mutex>

// Hands trace lines to one sink under a multi-reader single-writer lock, so several threads may
// trace at once while the sink itself need not be thread-safe.
class TSqlTraceMonitor
{
public:
    explicit TSqlTraceMonitor(std::shared_ptr<ISqlTraceSink> sink);

    std::shared_ptr<ISqlTraceSink> Sink() const;
    void SetSink(std::shared_ptr<ISqlTraceSink> sink);

    void Write(int kind, const QString& line);

private:
    mutable std::shared_mutex FLock;
    std::shared_ptr<ISqlTraceSink> FSink;
};
