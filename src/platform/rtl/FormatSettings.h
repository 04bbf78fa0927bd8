#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

// How dates, times and numbers are written and read. One process-wide instance is filled from
// the user's locale at first use; tests replace it with SetDefault so they never depend on the
// machine. Patterns use the program's notation: d dd mmm yyyy / hh nn ss zzz ampm, with "/" and
// ":" standing for DateSeparator and TimeSeparator.
struct FormatSettings
{
    QString ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    QString LongDateFormat = QStringLiteral("dddd, d. mmmm yyyy");
    QChar DateSeparator = QLatin1Char('.');
    QChar TimeSeparator = QLatin1Char(':');
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    QChar DecimalSeparator = QLatin1Char('.');
    QChar ThousandSeparator = QLatin1Char(',');
    // Index 0 is January / Sunday.
    QStringList ShortMonthNames;
    QStringList LongMonthNames;
    QStringList ShortDayNames;
    QStringList LongDayNames;
    // A two-digit year is put in the century that makes it lie within this many years
    // before now (the rest after).
    int TwoDigitYearCenturyWindow = 50;

    FormatSettings();

    // Fixed, machine-independent settings: "dd.mm.yyyy", "hh:nn:ss", '.' decimals, English names.
    static FormatSettings Invariant();
    static FormatSettings FromLocale(const QLocale& locale);

    static const FormatSettings& Default();
    static void SetDefault(const FormatSettings& settings);

    // Converts Qt's date/time pattern (dd.MM.yyyy HH:mm) into the program's notation.
    static QString FromQtPattern(const QString& qtPattern);
};
