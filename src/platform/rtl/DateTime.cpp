#include "platform/rtl/DateTime.h"

#include "platform/rtl/EConvertError.h"

#include <cmath>

namespace {

// Julian day of 1899-12-30.
constexpr qint64 BaseJulianDay = 2415019;

// The range in which a day count fits the calendar: years 1 to 9999.
constexpr double MinDays = -693593.0;     // 0001-01-01
constexpr double MaxDays = 2958465.99999; // 9999-12-31 23:59:59.99

} // namespace

bool DateTime::IsLeapYear(int year)
{
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

int DateTime::DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return days[month - 1] + ((month == 2 && IsLeapYear(year)) ? 1 : 0);
}

bool DateTime::IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1
        && day <= DaysInMonth(year, month);
}

qint64 DateTime::DaysOf(int year, int month, int day)
{
    // Years counted from March, so that the leap day ends a year: 400-year eras of 146,097
    // days, counted from 0000-03-01 (years from 1 on never reach a negative era).
    const qint64 y = qint64(year) - (month <= 2 ? 1 : 0);
    const qint64 era = y / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // 0000-03-01 is 693,899 days before 1899-12-30.
    return era * 146097 + doe - 693899;
}

bool DateTime::TryEncodeDate(int year, int month, int day, DateTime& result)
{
    if (!IsValidDate(year, month, day))
        return false;
    result = DateTime(double(DaysOf(year, month, day)));
    return true;
}

DateTime DateTime::EncodeDate(int year, int month, int day)
{
    DateTime r;
    if (!TryEncodeDate(year, month, day, r))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return r;
}

bool DateTime::TryEncodeTime(int hour, int minute, int second, int msec, DateTime& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59
        || msec < 0 || msec > 999)
        return false;
    result = DateTime((hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / MSecsPerDay);
    return true;
}

DateTime DateTime::EncodeTime(int hour, int minute, int second, int msec)
{
    DateTime r;
    if (!TryEncodeTime(hour, minute, second, msec, r))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return r;
}

DateTime DateTime::EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                  int msec)
{
    const double d = EncodeDate(year, month, day).Days();
    const double t = EncodeTime(hour, minute, second, msec).Days();
    return DateTime(d >= 0 ? d + t : d - t);
}

qint64 DateTime::DayNumber() const
{
    if (!std::isfinite(FDays) || FDays < MinDays - 1 || FDays > MaxDays + 1)
        throw EConvertError(QStringLiteral("Invalid date value %1").arg(FDays));
    // Rounding to milliseconds first, so 0.99999999999 is the next day and not 23:59:59.999...
    const double ms = std::round(std::fabs(FDays) * MSecsPerDay);
    qint64 whole = qint64(ms / MSecsPerDay);
    if (double(whole) * MSecsPerDay > ms)
        --whole;
    return FDays < 0 ? -whole : whole;
}

qint64 DateTime::MSecOfDay() const
{
    DayNumber(); // range check
    const qint64 ms = qint64(std::round(std::fabs(FDays) * MSecsPerDay));
    return ms % qint64(MSecsPerDay);
}

void DateTime::DecodeDate(int& year, int& month, int& day) const
{
    const QDate d = QDate::fromJulianDay(DayNumber() + BaseJulianDay);
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        throw EConvertError(QStringLiteral("Invalid date value %1").arg(FDays));
    year = d.year();
    month = d.month();
    day = d.day();
}

void DateTime::DecodeTime(int& hour, int& minute, int& second, int& msec) const
{
    qint64 ms = MSecOfDay();
    hour = int(ms / 3600000);
    ms %= 3600000;
    minute = int(ms / 60000);
    ms %= 60000;
    second = int(ms / 1000);
    msec = int(ms % 1000);
}

int DateTime::Year() const
{
    int y, m, d;
    DecodeDate(y, m, d);
    return y;
}

int DateTime::Month() const
{
    int y, m, d;
    DecodeDate(y, m, d);
    return m;
}

int DateTime::Day() const
{
    int y, m, d;
    DecodeDate(y, m, d);
    return d;
}

int DateTime::DayOfWeek() const
{
    // The base day, 1899-12-30, was a Saturday (7).
    const qint64 n = DayNumber();
    qint64 r = ((n + 6) % 7 + 7) % 7; // 0 = Sunday
    return int(r) + 1;
}

DateTime DateTime::DateOf() const
{
    return DateTime(double(DayNumber()));
}

DateTime DateTime::TimeOf() const
{
    return DateTime(double(MSecOfDay()) / MSecsPerDay);
}

DateTime DateTime::IncMonth(int months) const
{
    int y, m, d;
    DecodeDate(y, m, d);
    qint64 total = qint64(y) * 12 + (m - 1) + months;
    const int ny = int(total / 12);
    const int nm = int(total % 12) + 1;
    if (ny < 1 || ny > 9999)
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    const int nd = std::min(d, DaysInMonth(ny, nm));
    const DateTime date = EncodeDate(ny, nm, nd);
    const double t = TimeOf().Days();
    return DateTime(date.Days() >= 0 ? date.Days() + t : date.Days() - t);
}

DateTime DateTime::FromQDate(const QDate& date)
{
    if (!date.isValid())
        throw EConvertError(QStringLiteral("Invalid date"));
    return EncodeDate(date.year(), date.month(), date.day());
}

DateTime DateTime::FromQTime(const QTime& time)
{
    if (!time.isValid())
        throw EConvertError(QStringLiteral("Invalid time"));
    return EncodeTime(time.hour(), time.minute(), time.second(), time.msec());
}

DateTime DateTime::FromQDateTime(const QDateTime& dateTime)
{
    const double d = FromQDate(dateTime.date()).Days();
    const double t = FromQTime(dateTime.time()).Days();
    return DateTime(d >= 0 ? d + t : d - t);
}

QDate DateTime::ToQDate() const
{
    int y, m, d;
    DecodeDate(y, m, d);
    return QDate(y, m, d);
}

QTime DateTime::ToQTime() const
{
    int h, n, s, ms;
    DecodeTime(h, n, s, ms);
    return QTime(h, n, s, ms);
}

QDateTime DateTime::ToQDateTime() const
{
    return QDateTime(ToQDate(), ToQTime());
}
