#pragma once

#include <source_location>

// One open measurement of a measuring tool. Releasing the last reference ends it.
class IPerf
{
public:
    virtual ~IPerf() = default;
    // Marks a point inside the measured code.
    virtual void Mark(const std::source_location& where) = 0;
    // Ends the measurement at the given place.
    virtual void Stop(const std::source_location& where) = 0;
};
