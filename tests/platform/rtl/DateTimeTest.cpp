#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/EConvertError.h"

#include <gtest/gtest.h>

namespace {

TEST(DateTimeTest, DayCountsFromTheBaseDay)
{
    const struct
    {
        int y, m, d;
        double days;
    } cases[] = {
        {1899, 12, 30, 0}, {1900, 1, 1, 2}, {1899, 12, 29, -1}, {2000, 1, 1, 36526},
        {3000, 1, 1, 401769}, {1, 1, 1, -693593},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateTime::EncodeDate(c.y, c.m, c.d).Days(), c.days);
        int y, m, d;
        DateTime(c.days).DecodeDate(y, m, d);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
    EXPECT_THROW(DateTime::EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(DateTime::EncodeTime(24, 0, 0), EConvertError);
}

TEST(DateTimeTest, NegativeValuesKeepTheTimeOfDayPositive)
{
    const DateTime dt(-1.25);
    EXPECT_EQ(dt.DateOf().Days(), -1.0);
    EXPECT_EQ(dt.TimeOf().Days(), 0.25);
    EXPECT_EQ(DateTime::EncodeDateTime(1899, 12, 29, 6, 0, 0).Days(), -1.25);
    int h, n, s, ms;
    dt.DecodeTime(h, n, s, ms);
    EXPECT_EQ(h, 6);
}

TEST(DateTimeTest, TimeOfDayAndMillisecondRounding)
{
    const DateTime dt = DateTime::EncodeDateTime(2024, 3, 1, 23, 59, 59, 999);
    int h, n, s, ms;
    dt.DecodeTime(h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 23 * 10000000 + 59 * 100000 + 59999);
    // A hair below midnight is the next day, not 23:59:59.999...
    EXPECT_EQ(DateTime(45000.0 - 1e-12).DateOf().Days(), 45000.0);
    EXPECT_EQ(dt.DayOfWeek(), 6); // a Friday
    EXPECT_EQ(DateTime::EncodeDate(2024, 1, 31).IncMonth(1), DateTime::EncodeDate(2024, 2, 29));
    EXPECT_THROW(DateTime(1e12).DecodeDate(h, n, s), EConvertError);
}

TEST(DateTimeTest, ClockCanBeFixed)
{
    Clock::SetFixed(DateTime::EncodeDateTime(2021, 6, 15, 10, 30, 0));
    EXPECT_EQ(Clock::Date(), DateTime::EncodeDate(2021, 6, 15));
    EXPECT_EQ(Clock::Time(), DateTime::EncodeTime(10, 30, 0));
    Clock::Reset();
    EXPECT_FALSE(Clock::IsFixed());
}

} // namespace
