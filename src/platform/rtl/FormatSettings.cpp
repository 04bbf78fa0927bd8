#include "platform/rtl/FormatSettings.h"

#include <memory>

namespace {

std::unique_ptr<FormatSettings>& DefaultSlot()
{
    static std::unique_ptr<FormatSettings> slot;
    return slot;
}

QStringList EnglishNames(bool months, bool shortNames)
{
    static const char* const longMonths[12] = {"January", "February", "March",     "April",
                                               "May",     "June",     "July",      "August",
                                               "September", "October", "November", "December"};
    static const char* const longDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    QStringList r;
    const int n = months ? 12 : 7;
    for (int i = 0; i < n; ++i) {
        QString s = QString::fromLatin1(months ? longMonths[i] : longDays[i]);
        r << (shortNames ? s.left(3) : s);
    }
    return r;
}

} // namespace

FormatSettings::FormatSettings()
    : ShortMonthNames(EnglishNames(true, true))
    , LongMonthNames(EnglishNames(true, false))
    , ShortDayNames(EnglishNames(false, true))
    , LongDayNames(EnglishNames(false, false))
{
}

FormatSettings FormatSettings::Invariant()
{
    return FormatSettings();
}

QString FormatSettings::FromQtPattern(const QString& qtPattern)
{
    QString out;
    const int n = int(qtPattern.size());
    for (int i = 0; i < n;) {
        const QChar c = qtPattern.at(i);
        int run = 1;
        while (i + run < n && qtPattern.at(i + run) == c)
            ++run;
        if (c == QLatin1Char('\'')) {
            // Qt quotes literals with '...'; keep them quoted.
            int j = i + 1;
            QString lit;
            while (j < n) {
                if (qtPattern.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && qtPattern.at(j + 1) == QLatin1Char('\'')) {
                        lit += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                lit += qtPattern.at(j++);
            }
            out += QLatin1Char('"') + lit + QLatin1Char('"');
            i = j + 1;
            continue;
        }
        switch (c.unicode()) {
        case 'd':
            out += QString(std::min(run, 4), QLatin1Char('d'));
            break;
        case 'M':
        case 'L':
            out += QString(std::min(run, 4), QLatin1Char('m'));
            break;
        case 'y':
            out += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case 'h':
        case 'H':
            out += run >= 2 ? QStringLiteral("hh") : QStringLiteral("h");
            break;
        case 'm':
            out += run >= 2 ? QStringLiteral("nn") : QStringLiteral("n");
            break;
        case 's':
            out += run >= 2 ? QStringLiteral("ss") : QStringLiteral("s");
            break;
        case 'z':
            out += QStringLiteral("zzz");
            break;
        case 'a':
        case 'A':
        case 'p':
        case 'P':
            out += QStringLiteral("ampm");
            // "AP" is one marker in Qt.
            if (i + run < n && (qtPattern.at(i + run) == QLatin1Char('P')
                                || qtPattern.at(i + run) == QLatin1Char('p')))
                ++run;
            break;
        case 't':
            break; // time zone: not shown
        default:
            if (c.isLetter())
                out += QLatin1Char('"') + QString(run, c) + QLatin1Char('"');
            else
                out += QString(run, c);
        }
        i += run;
    }
    return out.trimmed();
}

FormatSettings FormatSettings::FromLocale(const QLocale& locale)
{
    FormatSettings fs;
    const QString qtDate = locale.dateFormat(QLocale::ShortFormat);
    // The separator is the first character between the date's fields.
    for (const QChar c : qtDate) {
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) {
            fs.DateSeparator = c;
            break;
        }
    }
    fs.ShortDateFormat = FromQtPattern(qtDate);
    if (fs.ShortDateFormat.isEmpty())
        fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    fs.LongDateFormat = FromQtPattern(locale.dateFormat(QLocale::LongFormat));
    const QString qtTime = locale.timeFormat(QLocale::LongFormat);
    for (const QChar c : qtTime) {
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) {
            fs.TimeSeparator = c;
            break;
        }
    }
    fs.ShortTimeFormat = FromQtPattern(locale.timeFormat(QLocale::ShortFormat));
    // The long form without a time zone, which Qt's long format may carry.
    QString lt = FromQtPattern(qtTime);
    fs.LongTimeFormat = lt.isEmpty() ? QStringLiteral("hh:nn:ss") : lt;
    if (fs.ShortTimeFormat.isEmpty())
        fs.ShortTimeFormat = QStringLiteral("hh:nn");
    fs.TimeAMString = locale.amText();
    fs.TimePMString = locale.pmText();
    const QString dec = locale.decimalPoint();
    if (dec.size() == 1)
        fs.DecimalSeparator = dec.at(0);
    const QString grp = locale.groupSeparator();
    if (grp.size() == 1)
        fs.ThousandSeparator = grp.at(0);
    fs.ShortMonthNames.clear();
    fs.LongMonthNames.clear();
    for (int m = 1; m <= 12; ++m) {
        fs.ShortMonthNames << locale.monthName(m, QLocale::ShortFormat);
        fs.LongMonthNames << locale.monthName(m, QLocale::LongFormat);
    }
    fs.ShortDayNames.clear();
    fs.LongDayNames.clear();
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d; // Qt counts Monday = 1 ... Sunday = 7
        fs.ShortDayNames << locale.dayName(qtDay, QLocale::ShortFormat);
        fs.LongDayNames << locale.dayName(qtDay, QLocale::LongFormat);
    }
    return fs;
}

const FormatSettings& FormatSettings::Default()
{
    auto& slot = DefaultSlot();
    if (!slot)
        slot = std::make_unique<FormatSettings>(FromLocale(QLocale::system()));
    return *slot;
}

void FormatSettings::SetDefault(const FormatSettings& settings)
{
    // Assigned in place: callers may hold a reference to the default.
    auto& slot = DefaultSlot();
    if (slot)
        *slot = settings;
    else
        slot = std::make_unique<FormatSettings>(settings);
}
