#pragma once

#include "platform/rtl/DateTime.h"

#include <optional>

// The current local date and time. Tests fix it with SetFixed so nothing depends on today.
class Clock
{
public:
    static DateTime Now();
    // Today, without time of day.
    static DateTime Date();
    static DateTime Time();

    static void SetFixed(DateTime now);
    static void Reset();
    static bool IsFixed();

private:
    static std::optional<DateTime>& Fixed();
};
