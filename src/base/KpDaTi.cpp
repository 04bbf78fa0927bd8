#include "base/KpDaTi.h"

#include "base/EDatePeriodError.h"
#include "platform/data/DateTimeField.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/FormatSettings.h"

#include <QDateTime>
#include <QTimeZone>
#include <array>
#include <cmath>
#include <vector>

namespace {

enum class Elem { Day, Month, Year };

const QString& MsgMustBeFormat()
{
    static const QString s = QStringLiteral("Nepareizs datums! Jābūt formātā: ");
    return s;
}

[[noreturn]] void ThrowMustBe(const QString& format, const QString& input = QString(),
                              bool withInput = false)
{
    QString m = MsgMustBeFormat() + format;
    if (withInput)
        m += QStringLiteral(" - ") + input;
    throw EConvertError(m);
}

// The order of day, month and year in a format: each run of d, m or y is one element.
std::vector<Elem> ElementOrder(const QString& format, QChar sep)
{
    std::vector<Elem> order;
    QChar run;
    for (const QChar ch : format) {
        const QChar c = ch.toLower();
        if (c == QLatin1Char('d') || c == QLatin1Char('m') || c == QLatin1Char('y')) {
            if (c != run) {
                const Elem e = c == QLatin1Char('d') ? Elem::Day
                                                     : (c == QLatin1Char('m') ? Elem::Month : Elem::Year);
                bool seen = false;
                for (Elem x : order)
                    seen = seen || x == e;
                if (!seen && order.size() < 3)
                    order.push_back(e);
            }
            run = c;
        } else {
            run = QChar();
        }
    }
    (void)sep;
    for (Elem e : {Elem::Day, Elem::Month, Elem::Year}) {
        bool seen = false;
        for (Elem x : order)
            seen = seen || x == e;
        if (!seen)
            order.push_back(e);
    }
    return order;
}

int IndexOf(const std::vector<Elem>& order, Elem e)
{
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == e)
            return int(i);
    return 0;
}

QString LowerFormat(const QString& format, const FormatSettings& fs)
{
    QString f = (format.isEmpty() ? fs.ShortDateFormat : format).toLower();
    f.replace(QLatin1Char('/'), fs.DateSeparator);
    return f;
}

// Inserts `part` as element number `pos` of a text whose elements are joined by `sep`.
QString InsertElement(const QString& text, int pos, const QString& part, QChar sep, bool joined,
                      int firstWidth)
{
    if (joined) {
        QStringList parts = text.split(sep);
        parts.insert(std::min<qsizetype>(pos, parts.size()), part);
        return parts.join(sep);
    }
    if (pos == 0)
        return part + text;
    if (pos >= 2)
        return text + part;
    return text.left(firstWidth) + part + text.mid(firstWidth);
}

// Rearranges the digits of t (typed in the order of f) into day, month and year, completing
// what is missing from today's date.
QString Rearrange(const QString& t, const QString& f, QChar sep)
{
    const std::vector<Elem> order = ElementOrder(f, sep);
    const bool hasSep = t.contains(sep);
    std::array<QString, 3> el;
    int idx = 0;
    int yearStart = -1;
    const int n = int(t.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = t.at(i);
        if (!c.isDigit() || c.unicode() > '9') {
            if (c != sep)
                ThrowMustBe(f);
            ++idx;
            continue;
        }
        if (hasSep) {
            if (idx >= 3)
                ThrowMustBe(f);
            if (order[size_t(idx)] == Elem::Year && el[size_t(idx)].isEmpty())
                yearStart = i;
            el[size_t(idx)] += c;
            continue;
        }
        for (;;) {
            if (idx >= 3)
                ThrowMustBe(f);
            const Elem kind = order[size_t(idx)];
            QString& cur = el[size_t(idx)];
            const QString e = cur + c;
            const int v = e.toInt();
            if (kind == Elem::Day || kind == Elem::Month) {
                const int maxTwo = kind == Elem::Day ? 31 : 12;
                const int openBelow = kind == Elem::Day ? 4 : 2;
                if (e.size() >= 3 || (e.size() == 2 && v > maxTwo)) {
                    ++idx; // the digit starts the next element
                    continue;
                }
                cur = e;
                if (!(e.size() == 1 && v < openBelow))
                    ++idx;
                break;
            }
            // year
            if (cur.isEmpty())
                yearStart = i;
            if (idx == 2) {
                cur = e;
                break;
            }
            if (e.size() == 1) {
                cur = e;
            } else if (e.size() == 2) {
                if (n - yearStart <= 2) {
                    cur = e;
                    ++idx;
                } else if (v > 28) {
                    cur = QStringLiteral("19") + e;
                    ++idx;
                } else if (v >= 21) {
                    cur = QStringLiteral("20") + e;
                    ++idx;
                } else {
                    cur = e;
                }
            } else if (e.size() == 3) {
                if (v >= 190 && v <= 203) {
                    cur = e;
                } else {
                    ++idx;
                    continue;
                }
            } else {
                cur = e;
                ++idx;
            }
            break;
        }
    }
    const DateTime today = Clock::Date();
    const int c = today.Year();
    QString day = el[size_t(IndexOf(order, Elem::Day))];
    QString month = el[size_t(IndexOf(order, Elem::Month))];
    QString year = el[size_t(IndexOf(order, Elem::Year))];
    const QString cy = QString::number(c);
    if (year.isEmpty()) {
        year = cy;
    } else if (year.size() == 1) {
        year = cy.left(3) + year;
    } else if (year.size() == 2) {
        const int yy = year.toInt();
        const int century = c / 100 * 100;
        year = QString::number(yy <= c % 100 + 20 ? century + yy : century - 100 + yy);
    } else if (year.size() == 3) {
        year = (year.startsWith(QLatin1Char('9')) ? QStringLiteral("1") : QStringLiteral("2")) + year;
    }
    if (day.isEmpty())
        day = QString::number(today.Day());
    if (month.isEmpty())
        month = QString::number(today.Month());
    if (day.size() == 1)
        day.prepend(QLatin1Char('0'));
    if (month.size() == 1)
        month.prepend(QLatin1Char('0'));
    return hasSep ? day + sep + month + sep + year : day + month + year;
}

bool SameDay(DateTime a, DateTime b)
{
    return a.DateOf() == b.DateOf();
}

QString PeriodText(DateTime d, bool withTime, const QString& suffix)
{
    QString r = FormatDateTime(QStringLiteral("yyyymmdd"), d, FormatSettings::Invariant());
    if (withTime)
        r += FormatDateTime(QStringLiteral("hhnn"), d, FormatSettings::Invariant());
    return r + suffix;
}

bool AllDigits(const QString& s)
{
    for (const QChar c : s)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

} // namespace

const QString& KpDaTi::StartMarker()
{
    static const QString s = QStringLiteral("SP");
    return s;
}

const QString& KpDaTi::EndMarker()
{
    static const QString s = QStringLiteral("BP");
    return s;
}

DateTime KpDaTi::FirstdayofMonth(DateTime myDate)
{
    int y, m, d;
    myDate.DecodeDate(y, m, d);
    return DateTime::EncodeDate(y, m, 1);
}

DateTime KpDaTi::LastdayofMonth(DateTime myDate)
{
    return FirstdayofMonth(myDate).IncMonth(1) - 1.0;
}

DateTime KpDaTi::FirstdayofYear(DateTime myDate)
{
    return DateTime::EncodeDate(myDate.Year(), 1, 1);
}

DateTime KpDaTi::LastdayofYear(DateTime myDate)
{
    return FirstdayofYear(myDate).IncMonth(12) - 1.0;
}

DateTime KpDaTi::FileTime2DateTime(qint64 fileTime)
{
    // 100 ns steps between 1601-01-01 and 1970-01-01.
    constexpr qint64 epochDiff = 116444736000000000LL;
    const qint64 ms = (fileTime - epochDiff) / 10000;
    return DateTime::FromQDateTime(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()).toLocalTime());
}

QString KpDaTi::DateToStrISO(DateTime value)
{
    return FormatDateTime(QStringLiteral("yyyymmdd"), value, FormatSettings::Invariant());
}

DateTime KpDaTi::StrToDateISO(const QString& value)
{
    return DateTime::EncodeDate(StrToInt(value.mid(0, 4)), StrToInt(value.mid(4, 2)),
                                StrToInt(value.mid(6, 2)));
}

QString KpDaTi::NoAccent(const QString& source)
{
    const QString decomposed = source.normalized(QString::NormalizationForm_KD);
    QString r;
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        r += c.unicode() < 128 ? c : QLatin1Char('?');
    }
    return r;
}

QString KpDaTi::ActualShortDateFormat(bool monthOnly, bool withTime,
                                      const QString& baseShortDateFormat)
{
    const FormatSettings& fs = FormatSettings::Default();
    QString f = baseShortDateFormat.isEmpty() ? fs.ShortDateFormat : baseShortDateFormat;
    if (monthOnly) {
        auto isSep = [&](QChar c) { return c == QLatin1Char('.') || c == fs.DateSeparator; };
        qsizetype p = f.indexOf(QLatin1String("dd"), 0, Qt::CaseInsensitive);
        qsizetype len = 2;
        if (p < 0) {
            p = f.indexOf(QLatin1Char('d'), 0, Qt::CaseInsensitive);
            len = 1;
        }
        if (p >= 0) {
            if (p > 0 && isSep(f.at(p - 1)))
                f.remove(p - 1, len + 1);
            else if (p + len < f.size() && isSep(f.at(p + len)))
                f.remove(p, len + 1);
            else
                f.remove(p, len);
        }
    }
    if (withTime)
        f += QLatin1Char(' ') + fs.ShortTimeFormat;
    return f;
}

bool KpDaTi::IsFormatMonthOnly(const QString& displayFormat)
{
    const QString f = displayFormat.isEmpty() ? FormatSettings::Default().ShortDateFormat
                                              : displayFormat;
    return !f.toLower().contains(QLatin1String("dd"));
}

QString KpDaTi::SmartDateToStrEx(DateTime value, bool monthOnly, bool showTime)
{
    return FormatDateTime(ActualShortDateFormat(monthOnly, showTime), value);
}

QString KpDaTi::DefaultInterimValue(TInterimType type, bool interimOnly)
{
    return type != TInterimType::InterimNo && interimOnly ? QStringLiteral("01")
                                                          : QStringLiteral("00");
}

QString KpDaTi::GetInterimValueDef(const QString& dateWithInterim, TInterimType type,
                                   bool interimOnly)
{
    if (dateWithInterim.size() == 10 && AllDigits(dateWithInterim))
        return dateWithInterim.mid(8, 2);
    return DefaultInterimValue(type, interimOnly);
}

QString KpDaTi::GetDateValueInStringWithInterim(DateTime date, TInterimType type,
                                                const QString& interimValue, bool monthOnly,
                                                bool withTime)
{
    const QString suffix = interimValue.left(2).leftJustified(2, QLatin1Char(' '));
    const QString plain = QStringLiteral("00");
    switch (type) {
    case TInterimType::InterimNo:
        return PeriodText(date, withTime, plain);
    case TInterimType::InterimBeforeFirst:
        // The suffix "00" marks a plain day: storing it on the previous month's last day
        // would make it read back as that day.
        if ((!SameDay(date, FirstdayofMonth(date)) && !monthOnly) || suffix == plain)
            return PeriodText(date, withTime, plain);
        return PeriodText(FirstdayofMonth(date) - 1.0 + date.TimeOf().Days(), withTime, suffix);
    case TInterimType::InterimAfterLast:
        if (!SameDay(date, LastdayofMonth(date)) && !monthOnly)
            return PeriodText(date, withTime, plain);
        return PeriodText(date, withTime, suffix);
    }
    return QString();
}

DateTime KpDaTi::GetDateValueInDateTimeWithInterim(const QString& text, TInterimType type)
{
    if (text.size() != 10 && text.size() != 14)
        return DateTime(0.0);
    DateTime d = StrToDateISO(text);
    if (text.size() == 14)
        d = d + DateTime::EncodeTime(StrToInt(text.mid(8, 2)), StrToInt(text.mid(10, 2)), 0).Days();
    // Only a start entry with a suffix was moved to the previous month's last day.
    if (type == TInterimType::InterimBeforeFirst && text.right(2) != QLatin1String("00"))
        d = d + 1.0;
    return d;
}

QString KpDaTi::GetInterimDisplayText(DateTime date, TInterimType type,
                                      const QString& interimValue, bool monthOnly, bool showTime)
{
    if (date.Days() == 0.0 || date == MinDate || date == MaxDate)
        return QString();
    QString r = FormatDateTime(ActualShortDateFormat(monthOnly, showTime), date);
    if (interimValue != QLatin1String("00")) {
        if (type == TInterimType::InterimAfterLast)
            r += EndMarker() + interimValue;
        else if (type == TInterimType::InterimBeforeFirst && !monthOnly)
            r += StartMarker() + interimValue;
    }
    return r;
}

QString KpDaTi::ValidateInterimDateInput(const QString& userInput, TInterimType type,
                                         bool interimOnly, bool monthOnly)
{
    if (userInput.trimmed().isEmpty())
        return QString();
    QString u = userInput.toUpper();
    QString suffix;
    const qsizetype ps = u.indexOf(StartMarker());
    const qsizetype pb = u.indexOf(EndMarker());
    if ((ps >= 0) != (pb >= 0)) {
        const qsizetype p = ps >= 0 ? ps : pb;
        suffix = u.mid(p + 2, 2);
        u = u.left(p);
        if (!suffix.isEmpty()) {
            int v;
            if (TryStrToInt(suffix, v) && v >= 0 && v <= 99)
                suffix = QString::number(v + 100).mid(1, 2);
            else
                suffix = DefaultInterimValue(type, interimOnly);
        }
    }
    DateTime d = SmartStrToDateEx(u, monthOnly, false, true);
    if (std::fabs(d.Days()) <= (monthOnly ? 30.0 : 0.00001))
        d = DateTime(0.0);
    if (interimOnly && d.Days() != 0.0) {
        if (type == TInterimType::InterimAfterLast && !SameDay(d, LastdayofMonth(d)))
            d = FirstdayofMonth(d) - 1.0;
        else if (type == TInterimType::InterimBeforeFirst && !SameDay(d, FirstdayofMonth(d)))
            d = FirstdayofMonth(d);
    }
    if (d.Days() < 0 || d > MaxDate)
        throw EDatePeriodError(QStringLiteral("Datums %1 ir ārpus pieļaujamā perioda!")
                                   .arg(DateToStr(d)));
    if (suffix.isEmpty())
        suffix = QStringLiteral("00");
    return GetDateValueInStringWithInterim(d, type, suffix, monthOnly, false);
}

DateTime KpDaTi::SmartStrToDateEx(const QString& value, bool monthOnly, bool showTime,
                                  bool smartEdit, const QString& format)
{
    if (value.trimmed().isEmpty())
        return DateTime(0.0);
    return StrToDateEx(value, monthOnly, showTime, smartEdit, format);
}

DateTime KpDaTi::StrToDateEx(const QString& s, bool noDays, bool withTime, bool useSmartEdit,
                             const QString& format)
{
    const FormatSettings& fs = FormatSettings::Default();
    const QChar sep = fs.DateSeparator;
    QString f = LowerFormat(format, fs);
    QString t = s.trimmed().toUpper();
    QString timePart;
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        timePart = t.mid(blank + 1).trimmed();
        t = t.left(blank);
    }
    if (noDays) {
        DateTime full;
        if (TryStrToDate(t, full, fs)) {
            t = DateToStr(FirstdayofMonth(full), fs);
            f = LowerFormat(QString(), fs);
        } else {
            const QString shortLower = fs.ShortDateFormat.toLower();
            const QString dayText = shortLower.contains(QLatin1String("dd")) ? QStringLiteral("01")
                                                                             : QStringLiteral("1");
            const int pos = IndexOf(ElementOrder(shortLower, sep), Elem::Day);
            t = InsertElement(t, pos, dayText, sep, s.contains(sep), 2);
            if (!f.contains(QLatin1Char('d')))
                f = InsertElement(f, pos, QStringLiteral("dd"), sep, true, 2);
        }
    }
    t = Rearrange(t, f, sep);
    f = QStringLiteral("dd") + sep + QStringLiteral("mm") + sep + QStringLiteral("yyyy");
    DateTime result;
    if (useSmartEdit) {
        const QString completed = EKSmartDate(t, f);
        if (!TryStrToDate(completed, result, fs))
            throw EConvertError(QStringLiteral("Nepareizs datums! Pamēģiniet formātā: %1 - %2")
                                    .arg(f, s));
    } else {
        FormatSettings ordered = fs;
        ordered.ShortDateFormat = f;
        result = StrToDate(t, ordered);
    }
    if (withTime && !timePart.isEmpty())
        result = result + StrToTime(timePart, fs).Days();
    return result;
}

QString KpDaTi::EKSmartDate(const QString& s, const QString& format)
{
    const FormatSettings& fs = FormatSettings::Default();
    const QChar sep = fs.DateSeparator;
    const QString f = format.isEmpty() ? LowerFormat(QString(), fs) : format;
    const qsizetype first = f.indexOf(sep);
    const qsizetype second = first >= 0 ? f.indexOf(sep, first + 1) : -1;
    const int max1 = first >= 0 ? int(first) : 2;
    const int max2 = second >= 0 ? int(second - first - 1) : 2;

    FormatSettings withF = fs;
    withF.ShortDateFormat = f;
    DateTime direct;
    if (TryStrToDate(s, direct, withF))
        return DateToStr(direct, fs);

    std::array<QString, 3> el;
    const int maxLen[2] = {max1, max2};
    int idx = 0;
    for (const QChar c : s) {
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            if (idx < 2 && el[size_t(idx)].size() >= maxLen[idx])
                ++idx;
            if (idx >= 3)
                ThrowMustBe(f, s, true);
            el[size_t(idx)] += c;
        } else if (QStringLiteral(",-./\\").contains(c)) {
            ++idx;
        }
    }
    const std::vector<Elem> order = ElementOrder(f, sep);
    const DateTime today = Clock::Date();
    int parts[3] = {0, 0, 0}; // day, month, year
    for (int k = 0; k < 3; ++k) {
        const Elem kind = order[size_t(k)];
        const int slot = kind == Elem::Day ? 0 : (kind == Elem::Month ? 1 : 2);
        QString text = el[size_t(k)];
        if (text.isEmpty())
            text = EKGetDateElementS(today, slot + 1);
        bool ok = false;
        int v = text.toInt(&ok);
        if (kind == Elem::Year) {
            if (text.size() > 4)
                ThrowMustBe(f, s, true);
            if (ok && text.size() < 4)
                v += v < 51 ? 2000 : 1900;
        }
        if (!ok || v == 0)
            throw EConvertError(QStringLiteral("Nepareizs datums! - ") + s);
        parts[slot] = v;
    }
    DateTime date;
    if (!DateTime::TryEncodeDate(parts[2], parts[1], parts[0], date))
        ThrowMustBe(f, s, true);
    return DateToStr(date, fs);
}

QString KpDaTi::EKGetDateElementS(DateTime date, int index)
{
    int y, m, d;
    date.DecodeDate(y, m, d);
    switch (index) {
    case 1: return QString::number(d);
    case 2: return QString::number(m);
    case 3: return QString::number(y);
    default: return QString();
    }
}

bool KpDaTi::IsFieldMonthOnly(const TField* field)
{
    const auto* dateField = dynamic_cast<const TDateTimeField*>(field);
    return dateField && IsFormatMonthOnly(dateField->DisplayFormat());
}
