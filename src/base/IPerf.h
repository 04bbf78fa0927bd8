#pragma once

#include "base/TCodeLocation.h"

// One open measurement of a measuring tool. Releasing the last reference ends it.
class IPerf
{
public:
    virtual ~IPerf() = default;
    // Marks a point inside the measured code.
    virtual void Mark(const TCodeLocation& where) = 0;
    // Ends the measurement at the given place.
    virtual void Stop(const TCodeLocation& where) = 0;
};
