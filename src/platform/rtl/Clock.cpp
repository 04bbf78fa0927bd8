#include "platform/rtl/Clock.h"

#include <QDateTime>

std::optional<DateTime>& Clock::Fixed()
{
    static std::optional<DateTime> fixed;
    return fixed;
}

DateTime Clock::Now()
{
    if (const auto& f = Fixed())
        return *f;
    return DateTime::FromQDateTime(QDateTime::currentDateTime());
}

DateTime Clock::Date()
{
    return Now().DateOf();
}

DateTime Clock::Time()
{
    return Now().TimeOf();
}

void Clock::SetFixed(DateTime now)
{
    Fixed() = now;
}

void Clock::Reset()
{
    Fixed().reset();
}

bool Clock::IsFixed()
{
    return Fixed().has_value();
}
