#pragma once

#include "base/TInterimType.h"
#include "platform/rtl/DateTime.h"

#include <QString>

class TField;

// Date rules of the program: the open-period bounds, period dates (a day that may also mean
// before the first or after the last day of its month, stored as "yyyymmdd[hhnn]" plus a
// two-character suffix), month-only dates and tolerant date entry. Format settings and today's
// date come from FormatSettings::Default() and Clock.
class KpDaTi
{
public:
    KpDaTi() = delete;

    // Open ends of a period: shown as empty texts.
    static constexpr DateTime MinDate{2.0};        // 1900-01-01
    static constexpr DateTime MaxDate{401769.0};   // 3000-01-01
    static constexpr DateTime EmptyDate{-693593.0}; // 0001-01-01

    static const QString& StartMarker(); // "SP"
    static const QString& EndMarker();   // "BP"

    static DateTime FirstdayofMonth(DateTime myDate);
    static DateTime LastdayofMonth(DateTime myDate);
    static DateTime FirstdayofYear(DateTime myDate);
    static DateTime LastdayofYear(DateTime myDate);
    // A file time (100 ns steps since 1601-01-01 UTC) as local date and time.
    static DateTime FileTime2DateTime(qint64 fileTime);
    static QString DateToStrISO(DateTime value);
    static DateTime StrToDateISO(const QString& value);
    // Plain ASCII: accents dropped, other characters outside ASCII become "?".
    static QString NoAccent(const QString& source);

    static QString ActualShortDateFormat(bool monthOnly, bool withTime,
                                         const QString& baseShortDateFormat = QString());
    // A display format without "dd" (lower-cased; empty means the short date format) shows
    // months only.
    static bool IsFormatMonthOnly(const QString& displayFormat);
    static bool IsFieldMonthOnly(const TField* field);
    static QString SmartDateToStrEx(DateTime value, bool monthOnly, bool showTime);

    static QString DefaultInterimValue(TInterimType type, bool interimOnly);
    static QString GetInterimValueDef(const QString& dateWithInterim, TInterimType type,
                                      bool interimOnly);
    static QString GetDateValueInStringWithInterim(DateTime date, TInterimType type,
                                                   const QString& interimValue, bool monthOnly,
                                                   bool withTime);
    // The date a period-date text stands for; 0 for a text of any other length than 10 or 14.
    static DateTime GetDateValueInDateTimeWithInterim(const QString& text, TInterimType type);
    static QString GetInterimDisplayText(DateTime date, TInterimType type,
                                         const QString& interimValue, bool monthOnly,
                                         bool showTime);
    // From what the user typed to a period-date text; throws EDatePeriodError beyond MaxDate.
    static QString ValidateInterimDateInput(const QString& userInput, TInterimType type,
                                            bool interimOnly, bool monthOnly);

    static DateTime SmartStrToDateEx(const QString& value, bool monthOnly, bool showTime,
                                     bool smartEdit, const QString& format = QString());
    // Tolerant date entry: completes a missing day, month or year and reads digits typed
    // without separators. Throws EConvertError with a Latvian message.
    static DateTime StrToDateEx(const QString& s, bool noDays, bool withTime, bool useSmartEdit,
                                const QString& format = QString());
    static QString EKSmartDate(const QString& s, const QString& format = QString());
    // 1 day, 2 month, 3 year as a text without leading zeros; else empty.
    static QString EKGetDateElementS(DateTime date, int index);
};
