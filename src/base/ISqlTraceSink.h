#pragma once

#include <QString>

// Receives SQL trace lines for a monitoring tool. Calls are serialised by the monitor's write lock.
class ISqlTraceSink
{
public:
    virtual ~ISqlTraceSink() = default;
    virtual void Trace(int Kind, const QString& Line) = 0;
};
