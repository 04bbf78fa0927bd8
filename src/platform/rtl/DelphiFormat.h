#pragma once

// Writing and reading dates, times and numbers with the program's patterns:
//   dates/times: d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t tt c
//                am/pm a/p ampm, "/" and ":" for the separators, "..." or '...' for literal text;
//                an m right after an h (separators between them allowed) is minutes.
//   numbers:     0 # . , E+ E- with up to three sections "positive;negative;zero".
// Every function takes the settings to use; the default is FormatSettings::Default().

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Value.h"

#include <QString>

QString FormatDateTime(const QString& pattern, DateTime value,
                       const FormatSettings& fs = FormatSettings::Default());
QString DateToStr(DateTime value, const FormatSettings& fs = FormatSettings::Default());
QString TimeToStr(DateTime value, const FormatSettings& fs = FormatSettings::Default());
// The date, followed by the long time unless the time of day is 0.
QString DateTimeToStr(DateTime value, const FormatSettings& fs = FormatSettings::Default());

// Half-way digits round away from zero, on the value's 15 significant digits.
QString FormatFloat(const QString& pattern, double value,
                    const FormatSettings& fs = FormatSettings::Default());
// Up to 15 significant digits, no trailing zeros; scientific ("1.5E20", "1E-7") for large or
// tiny values.
QString FloatToStr(double value, const FormatSettings& fs = FormatSettings::Default());
// Fixed notation with exactly `decimals` decimals.
QString FloatToStrFixed(double value, int decimals,
                        const FormatSettings& fs = FormatSettings::Default());
QString IntToStr(qint64 value);

// Integers: optional blanks around, an optional sign, decimal digits or hex with $ or 0x.
// Throws EConvertError "'x' is not a valid integer value".
int StrToInt(const QString& text);
qint64 StrToInt64(const QString& text);
bool TryStrToInt(const QString& text, int& result);
bool TryStrToInt64(const QString& text, qint64& result);
int StrToIntDef(const QString& text, int defaultValue);

// Numbers with the settings' decimal separator and an optional exponent; no grouping.
// Throws EConvertError "'x' is not a valid floating point value".
double StrToFloat(const QString& text, const FormatSettings& fs = FormatSettings::Default());
bool TryStrToFloat(const QString& text, double& result,
                   const FormatSettings& fs = FormatSettings::Default());
double StrToFloatDef(const QString& text, double defaultValue,
                     const FormatSettings& fs = FormatSettings::Default());

// Dates in the order of ShortDateFormat (day-month-year, month-day-year or year-month-day)
// separated by DateSeparator; a missing year is the current year (Clock), a two-digit year is
// placed by TwoDigitYearCenturyWindow. Throws EConvertError "'x' is not a valid date".
DateTime StrToDate(const QString& text, const FormatSettings& fs = FormatSettings::Default());
bool TryStrToDate(const QString& text, DateTime& result,
                  const FormatSettings& fs = FormatSettings::Default());
// h:n[:s[.zzz]] with an optional AM/PM marker.
DateTime StrToTime(const QString& text, const FormatSettings& fs = FormatSettings::Default());
bool TryStrToTime(const QString& text, DateTime& result,
                  const FormatSettings& fs = FormatSettings::Default());
// A date, a time, or a date followed by blanks and a time.
DateTime StrToDateTime(const QString& text, const FormatSettings& fs = FormatSettings::Default());
bool TryStrToDateTime(const QString& text, DateTime& result,
                      const FormatSettings& fs = FormatSettings::Default());

// "%s", "%d", "%5.2f", "%-10s", "%0:s", "%x", "%%" ... as in "Fails \"%s\" nav atrasts!".
// Throws EConvertError for a placeholder without argument or of an incompatible kind.
QString Format(const QString& pattern, const ValueArray& args,
               const FormatSettings& fs = FormatSettings::Default());
