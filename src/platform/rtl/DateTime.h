#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// A point in time as days since 1899-12-30 00:00 (the fraction is the time of day), the way
// the stored data and the date arithmetic of the program count. Negative values count back
// from that day, their fraction still being the time of day (-1.25 is 1899-12-29 06:00).
class DateTime
{
public:
    constexpr DateTime() = default;
    constexpr explicit DateTime(double days) : FDays(days) {}

    constexpr double Days() const { return FDays; }

    // Throws EConvertError for an impossible date or time.
    static DateTime EncodeDate(int year, int month, int day);
    static DateTime EncodeTime(int hour, int minute, int second, int msec = 0);
    static DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                   int msec = 0);
    static bool TryEncodeDate(int year, int month, int day, DateTime& result);
    static bool TryEncodeTime(int hour, int minute, int second, int msec, DateTime& result);

    // Throws EConvertError when the value lies outside years 1 to 9999.
    void DecodeDate(int& year, int& month, int& day) const;
    void DecodeTime(int& hour, int& minute, int& second, int& msec) const;
    int Year() const;
    int Month() const;
    int Day() const;
    // 1 = Sunday ... 7 = Saturday.
    int DayOfWeek() const;

    DateTime DateOf() const;
    DateTime TimeOf() const;

    static bool IsLeapYear(int year);
    static int DaysInMonth(int year, int month);
    static bool IsValidDate(int year, int month, int day);
    // Days from 1899-12-30 to a valid date (see IsValidDate), in the proleptic Gregorian
    // calendar. Worked out without the calendar classes: the readers call it for every stem.
    static qint64 DaysOf(int year, int month, int day);

    // The same day number, month count moved, day clipped to the new month's length.
    DateTime IncMonth(int months) const;

    static DateTime FromQDate(const QDate& date);
    static DateTime FromQTime(const QTime& time);
    // Local wall time of the QDateTime; no time zone conversion is done.
    static DateTime FromQDateTime(const QDateTime& dateTime);
    QDate ToQDate() const;
    QTime ToQTime() const;
    QDateTime ToQDateTime() const;

    friend constexpr bool operator==(DateTime a, DateTime b) { return a.FDays == b.FDays; }
    friend constexpr bool operator<(DateTime a, DateTime b) { return a.FDays < b.FDays; }
    friend constexpr bool operator>(DateTime a, DateTime b) { return a.FDays > b.FDays; }
    friend constexpr bool operator<=(DateTime a, DateTime b) { return a.FDays <= b.FDays; }
    friend constexpr bool operator>=(DateTime a, DateTime b) { return a.FDays >= b.FDays; }
    friend constexpr DateTime operator+(DateTime a, double days) { return DateTime(a.FDays + days); }
    friend constexpr DateTime operator-(DateTime a, double days) { return DateTime(a.FDays - days); }
    friend constexpr double operator-(DateTime a, DateTime b) { return a.FDays - b.FDays; }

    static constexpr double MSecsPerDay = 86400000.0;

private:
    // Whole days of the value: its date part, counted from the base day.
    qint64 DayNumber() const;
    // Milliseconds into the day, 0 .. 86399999.
    qint64 MSecOfDay() const;

    double FDays = 0.0;
};
