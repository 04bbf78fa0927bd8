#include "platform/rtl/DelphiFormat.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/EConvertError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// A finite double as decimal digits: value = 0.d1d2d3... x 10^exponent. No trailing zeros;
// zero has no digits.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool IsZero() const { return digits.empty(); }
};

Decimal ToDecimal(double v, int precision = 15)
{
    Decimal d;
    d.negative = std::signbit(v);
    v = std::fabs(v);
    if (v == 0.0)
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific,
                                   precision - 1);
    const std::string s(buf, res.ptr);
    const auto e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] >= '0' && s[i] <= '9')
            d.digits += s[i];
    d.exponent = std::stoi(s.substr(e + 1)) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
    return d;
}

// Keeps `significant` digits, rounding half away from zero.
void RoundSignificant(Decimal& d, int significant)
{
    if (d.IsZero())
        return;
    if (significant < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (significant >= int(d.digits.size()))
        return;
    const bool up = d.digits[size_t(significant)] >= '5';
    d.digits.resize(size_t(significant));
    if (up) {
        int i = significant - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') {
            d.digits[size_t(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[size_t(i)];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

void RoundDecimals(Decimal& d, int decimals)
{
    RoundSignificant(d, d.exponent + decimals);
}

// Integer digits of a (rounded) decimal, "0" for none.
std::string IntegerDigits(const Decimal& d)
{
    if (d.exponent <= 0)
        return "0";
    std::string r;
    for (int i = 0; i < d.exponent; ++i)
        r += i < int(d.digits.size()) ? d.digits[size_t(i)] : '0';
    return r;
}

std::string FractionDigits(const Decimal& d)
{
    std::string r;
    // Leading zeros for a negative exponent, then the digits past the integer part.
    for (int i = d.exponent; i < 0; ++i)
        r += '0';
    for (int i = std::max(d.exponent, 0); i < int(d.digits.size()); ++i)
        r += d.digits[size_t(i)];
    return r;
}

QString NonFinite(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString GroupDigits(const std::string& digits, QChar sep)
{
    QString r;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        r += QLatin1Char(digits[size_t(i)]);
        if (i < n - 1 && (n - 1 - i) % 3 == 0)
            r += sep;
    }
    return r;
}

QString FixedText(double value, int decimals, bool grouped, const FormatSettings& fs)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    Decimal d = ToDecimal(value);
    RoundDecimals(d, decimals);
    const std::string in = IntegerDigits(d);
    QString r = grouped ? GroupDigits(in, fs.ThousandSeparator) : QString::fromLatin1(in);
    if (decimals > 0) {
        std::string f = FractionDigits(d);
        f.resize(size_t(decimals), '0');
        r += fs.DecimalSeparator + QString::fromLatin1(f);
    }
    if (d.negative && !d.IsZero())
        r.prepend(QLatin1Char('-'));
    return r;
}

QString GeneralText(double value, int precision, const FormatSettings& fs)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    if (precision < 1 || precision > 15)
        precision = 15;
    Decimal d = ToDecimal(value, precision);
    if (d.IsZero())
        return QStringLiteral("0");
    QString r;
    if (d.exponent > precision || d.exponent < -4) {
        r += QLatin1Char(d.digits[0]);
        if (d.digits.size() > 1)
            r += fs.DecimalSeparator + QString::fromLatin1(d.digits.substr(1));
        r += QLatin1Char('E') + QString::number(d.exponent - 1);
    } else {
        r = QString::fromLatin1(IntegerDigits(d));
        const std::string f = FractionDigits(d);
        if (!f.empty())
            r += fs.DecimalSeparator + QString::fromLatin1(f);
    }
    if (d.negative)
        r.prepend(QLatin1Char('-'));
    return r;
}

// ---- number patterns ---------------------------------------------------------------------

QStringList SplitSections(const QString& pattern)
{
    QStringList sections;
    QString cur;
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    sections << cur;
    return sections;
}

struct NumberSection
{
    int intPlaceholders = 0;
    int minIntDigits = 0;
    int maxDecimals = 0;
    int minDecimals = 0;
    bool thousands = false;
    bool hasDecimalPoint = false;
    bool scientific = false;
    bool sciAlwaysSign = false;
    int sciDigits = 0;
};

NumberSection AnalyseSection(const QString& s)
{
    NumberSection ns;
    QChar quote;
    bool afterPoint = false;
    int firstZero = -1;
    int intIndex = 0;
    const int n = int(s.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (ns.scientific) {
            continue;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (afterPoint) {
                ++ns.maxDecimals;
                if (c == QLatin1Char('0'))
                    ns.minDecimals = ns.maxDecimals;
            } else {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = intIndex;
                ++intIndex;
            }
        } else if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
            ns.hasDecimalPoint = true;
        } else if (c == QLatin1Char(',') && !afterPoint) {
            ns.thousands = true;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < n
                   && (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'))) {
            ns.scientific = true;
            ns.sciAlwaysSign = s.at(i + 1) == QLatin1Char('+');
            int j = i + 2;
            while (j < n && s.at(j) == QLatin1Char('0')) {
                ++ns.sciDigits;
                ++j;
            }
        }
    }
    ns.intPlaceholders = intIndex;
    ns.minIntDigits = firstZero < 0 ? 0 : intIndex - firstZero;
    return ns;
}

QString ApplySection(const QString& s, const NumberSection& ns, const Decimal& rounded, bool minus,
                     int sciExponent, const FormatSettings& fs)
{
    std::string in = rounded.exponent > 0 ? IntegerDigits(rounded) : std::string();
    if (int(in.size()) < ns.minIntDigits)
        in.insert(0, size_t(ns.minIntDigits - int(in.size())), '0');
    std::string frac = FractionDigits(rounded);
    if (int(frac.size()) > ns.maxDecimals)
        frac.resize(size_t(ns.maxDecimals));
    if (int(frac.size()) < ns.minDecimals)
        frac.resize(size_t(ns.minDecimals), '0');

    QString out;
    if (minus)
        out += QLatin1Char('-');
    const int nIn = int(in.size());
    const int extra = nIn - ns.intPlaceholders;
    auto emitDigit = [&](int k) {
        out += QLatin1Char(in[size_t(k)]);
        if (ns.thousands && k < nIn - 1 && (nIn - 1 - k) % 3 == 0)
            out += fs.ThousandSeparator;
    };
    QChar quote;
    bool afterPoint = false;
    bool pointDone = false;
    int intPos = 0;
    int fracPos = 0;
    const int n = int(s.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !afterPoint) {
            if (intPos == 0)
                for (int k = 0; k < extra; ++k)
                    emitDigit(k);
            const int k = extra + intPos;
            if (k >= 0 && k < nIn)
                emitDigit(k);
            ++intPos;
        } else if (c == QLatin1Char('.') && !pointDone) {
            pointDone = true;
            afterPoint = true;
            if (intPos == 0 && ns.intPlaceholders == 0)
                for (int k = 0; k < nIn; ++k)
                    emitDigit(k);
            if (!frac.empty())
                out += fs.DecimalSeparator;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && afterPoint) {
            if (fracPos < int(frac.size()))
                out += QLatin1Char(frac[size_t(fracPos)]);
            ++fracPos;
        } else if (c == QLatin1Char(',')) {
            // grouping flag only
        } else if (ns.scientific && (c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < n
                   && (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'))) {
            out += c;
            if (sciExponent < 0)
                out += QLatin1Char('-');
            else if (ns.sciAlwaysSign)
                out += QLatin1Char('+');
            QString e = QString::number(std::abs(sciExponent));
            if (e.size() < ns.sciDigits)
                e.prepend(QString(ns.sciDigits - e.size(), QLatin1Char('0')));
            out += e;
            i += 1;
            while (i + 1 < n && s.at(i + 1) == QLatin1Char('0'))
                ++i;
            afterPoint = true; // placeholders after the exponent are not digits
            pointDone = true;
        } else {
            out += c;
        }
    }
    return out;
}

// ---- dates -------------------------------------------------------------------------------

QString Pad(int v, int width)
{
    return QString::number(v).rightJustified(width, QLatin1Char('0'));
}

bool HasAmPm(const QString& pattern)
{
    QChar quote;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        const QStringView rest = QStringView(pattern).mid(i);
        if (rest.startsWith(QLatin1String("am/pm"), Qt::CaseInsensitive)
            || rest.startsWith(QLatin1String("a/p"), Qt::CaseInsensitive)
            || rest.startsWith(QLatin1String("ampm"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void AppendFormatted(QString& out, const QString& pattern, DateTime value, const FormatSettings& fs,
                     int depth)
{
    if (depth > 2)
        return;
    const QString pat = pattern.isEmpty() ? QStringLiteral("c") : pattern;
    const bool twelve = HasAmPm(pat);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    bool dateDecoded = false;
    auto date = [&]() {
        if (!dateDecoded) {
            value.DecodeDate(year, month, day);
            dateDecoded = true;
        }
    };
    value.DecodeTime(hour, minute, second, msec);
    QChar lastToken;
    const int n = int(pat.size());
    int i = 0;
    while (i < n) {
        const QChar c = pat.at(i);
        const QChar u = c.toUpper();
        int run = 1;
        while (i + run < n && pat.at(i + run).toUpper() == u)
            ++run;
        switch (u.unicode()) {
        case '"':
        case '\'': {
            int j = i + 1;
            while (j < n && pat.at(j) != c)
                out += pat.at(j++);
            i = j + 1;
            continue;
        }
        case 'A': {
            const QStringView rest = QStringView(pat).mid(i);
            const bool pm = hour >= 12;
            if (rest.startsWith(QLatin1String("am/pm"), Qt::CaseInsensitive)) {
                QString t = pm ? QStringLiteral("pm") : QStringLiteral("am");
                if (rest.at(0).isUpper())
                    t = t.toUpper();
                out += t;
                i += 5;
            } else if (rest.startsWith(QLatin1String("a/p"), Qt::CaseInsensitive)) {
                QString t = pm ? QStringLiteral("p") : QStringLiteral("a");
                if (rest.at(0).isUpper())
                    t = t.toUpper();
                out += t;
                i += 3;
            } else if (rest.startsWith(QLatin1String("ampm"), Qt::CaseInsensitive)) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += c;
                i += 1;
            }
            continue;
        }
        case 'C':
            AppendFormatted(out, fs.ShortDateFormat, value, fs, depth + 1);
            if (hour != 0 || minute != 0 || second != 0 || msec != 0) {
                out += QLatin1Char(' ');
                AppendFormatted(out, fs.LongTimeFormat, value, fs, depth + 1);
            }
            i += 1;
            continue;
        case 'D':
            date();
            switch (std::min(run, 6)) {
            case 1: out += QString::number(day); break;
            case 2: out += Pad(day, 2); break;
            case 3: out += fs.ShortDayNames.value(value.DayOfWeek() - 1); break;
            case 4: out += fs.LongDayNames.value(value.DayOfWeek() - 1); break;
            case 5: AppendFormatted(out, fs.ShortDateFormat, value, fs, depth + 1); break;
            default: AppendFormatted(out, fs.LongDateFormat, value, fs, depth + 1); break;
            }
            i += std::min(run, 6);
            lastToken = u;
            continue;
        case 'M':
            if (lastToken == QLatin1Char('H')) {
                out += run >= 2 ? Pad(minute, 2) : QString::number(minute);
                i += std::min(run, 2);
            } else {
                date();
                switch (std::min(run, 4)) {
                case 1: out += QString::number(month); break;
                case 2: out += Pad(month, 2); break;
                case 3: out += fs.ShortMonthNames.value(month - 1); break;
                default: out += fs.LongMonthNames.value(month - 1); break;
                }
                i += std::min(run, 4);
            }
            lastToken = u;
            continue;
        case 'Y':
            date();
            out += run <= 2 ? Pad(year % 100, 2) : Pad(year, 4);
            i += run;
            lastToken = u;
            continue;
        case 'H': {
            int h = hour;
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += run >= 2 ? Pad(h, 2) : QString::number(h);
            i += std::min(run, 2);
            lastToken = u;
            continue;
        }
        case 'N':
            out += run >= 2 ? Pad(minute, 2) : QString::number(minute);
            i += std::min(run, 2);
            lastToken = u;
            continue;
        case 'S':
            out += run >= 2 ? Pad(second, 2) : QString::number(second);
            i += std::min(run, 2);
            lastToken = u;
            continue;
        case 'Z':
            out += run >= 3 ? Pad(msec, 3) : QString::number(msec);
            i += run >= 3 ? 3 : 1;
            lastToken = u;
            continue;
        case 'T':
            AppendFormatted(out, run >= 2 ? fs.LongTimeFormat : fs.ShortTimeFormat, value, fs,
                            depth + 1);
            i += std::min(run, 2);
            continue;
        case '/':
            out += fs.DateSeparator;
            i += 1;
            continue;
        case ':':
            out += fs.TimeSeparator;
            i += 1;
            continue;
        default:
            out += c;
            i += 1;
            continue;
        }
    }
}

// ---- parsing -----------------------------------------------------------------------------

void SkipBlanks(const QString& s, int& pos)
{
    while (pos < s.size() && s.at(pos).isSpace())
        ++pos;
}

bool ScanNumber(const QString& s, int& pos, int& value, int& length)
{
    SkipBlanks(s, pos);
    int v = 0;
    int len = 0;
    while (pos < s.size() && s.at(pos) >= QLatin1Char('0') && s.at(pos) <= QLatin1Char('9')) {
        if (len >= 4 && v > 0)
            return false; // no part of a date or time has more than four digits
        v = v * 10 + (s.at(pos).unicode() - '0');
        ++len;
        ++pos;
    }
    value = v;
    length = len;
    return len > 0 && len <= 9;
}

bool ScanChar(const QString& s, int& pos, QChar c)
{
    SkipBlanks(s, pos);
    if (pos < s.size() && s.at(pos) == c) {
        ++pos;
        return true;
    }
    return false;
}

enum class DateOrder { DMY, MDY, YMD };

DateOrder OrderOf(const QString& format)
{
    for (const QChar c : format) {
        const QChar u = c.toUpper();
        if (u == QLatin1Char('D'))
            return DateOrder::DMY;
        if (u == QLatin1Char('M'))
            return DateOrder::MDY;
        if (u == QLatin1Char('Y'))
            return DateOrder::YMD;
    }
    return DateOrder::DMY;
}

bool ScanDate(const QString& s, int& pos, DateTime& result, const FormatSettings& fs)
{
    int n1, l1, n2, l2, n3 = 0, l3 = 0;
    if (!ScanNumber(s, pos, n1, l1) || !ScanChar(s, pos, fs.DateSeparator)
        || !ScanNumber(s, pos, n2, l2))
        return false;
    bool three = false;
    {
        int save = pos;
        if (ScanChar(s, pos, fs.DateSeparator)) {
            if (ScanNumber(s, pos, n3, l3))
                three = true;
            else
                return false;
        } else {
            pos = save;
        }
    }
    int y, m, d, yLen;
    const DateOrder order = OrderOf(fs.ShortDateFormat);
    if (!three) {
        y = Clock::Date().Year();
        yLen = 4;
        if (order == DateOrder::MDY || order == DateOrder::YMD) {
            m = n1;
            d = n2;
        } else {
            d = n1;
            m = n2;
        }
    } else {
        switch (order) {
        case DateOrder::MDY: m = n1; d = n2; y = n3; yLen = l3; break;
        case DateOrder::YMD: y = n1; yLen = l1; m = n2; d = n3; break;
        default: d = n1; m = n2; y = n3; yLen = l3; break;
        }
        if (yLen <= 2 && y <= 99) {
            const int current = Clock::Date().Year();
            const int century = current - fs.TwoDigitYearCenturyWindow;
            y += century / 100 * 100;
            if (fs.TwoDigitYearCenturyWindow > 0 && y < century)
                y += 100;
        }
    }
    return DateTime::TryEncodeDate(y, m, d, result);
}

bool ScanAmPm(const QString& s, int& pos, int& which, const FormatSettings& fs)
{
    SkipBlanks(s, pos);
    const QStringView rest = QStringView(s).mid(pos);
    const QString cand[] = {fs.TimeAMString, fs.TimePMString, QStringLiteral("AM"),
                            QStringLiteral("PM"), QStringLiteral("A"), QStringLiteral("P")};
    for (int k = 0; k < 6; ++k) {
        if (!cand[k].isEmpty() && rest.startsWith(cand[k], Qt::CaseInsensitive)) {
            which = k % 2; // 0 am, 1 pm
            pos += int(cand[k].size());
            return true;
        }
    }
    return false;
}

bool ScanTime(const QString& s, int& pos, DateTime& result, const FormatSettings& fs)
{
    int h, l, n = 0, sec = 0, ms = 0;
    if (!ScanNumber(s, pos, h, l))
        return false;
    bool hasMinutes = false;
    if (ScanChar(s, pos, fs.TimeSeparator)) {
        if (!ScanNumber(s, pos, n, l))
            return false;
        hasMinutes = true;
        if (ScanChar(s, pos, fs.TimeSeparator)) {
            if (!ScanNumber(s, pos, sec, l))
                return false;
            if (ScanChar(s, pos, fs.DecimalSeparator)
                || (fs.DecimalSeparator != QLatin1Char('.') && ScanChar(s, pos, QLatin1Char('.')))) {
                if (!ScanNumber(s, pos, ms, l))
                    return false;
            }
        }
    }
    int which = -1;
    const int save = pos;
    if (!ScanAmPm(s, pos, which, fs))
        pos = save;
    if (which >= 0) {
        if (h < 1 || h > 12)
            return false;
        if (h == 12)
            h = 0;
        if (which == 1)
            h += 12;
    } else if (!hasMinutes) {
        return false;
    }
    return DateTime::TryEncodeTime(h, n, sec, ms, result);
}

bool AtEnd(const QString& s, int pos)
{
    SkipBlanks(s, pos);
    return pos >= s.size();
}

[[noreturn]] void FormatError(const QString& pattern)
{
    throw EConvertError(
        QStringLiteral("Format '%1' invalid or incompatible with argument").arg(pattern));
}

QString ScientificText(double value, int precision, const FormatSettings& fs)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    if (precision < 1 || precision > 15)
        precision = 15;
    Decimal d = ToDecimal(value, precision);
    std::string digits = d.digits;
    digits.resize(size_t(precision), '0');
    const int exp = d.IsZero() ? 0 : d.exponent - 1;
    QString r{QLatin1Char(digits[0])};
    if (precision > 1)
        r += fs.DecimalSeparator + QString::fromLatin1(digits.substr(1));
    r += QLatin1Char('E');
    r += QLatin1Char(exp < 0 ? '-' : '+');
    r += QString::number(std::abs(exp)).rightJustified(3, QLatin1Char('0'));
    if (d.negative && !d.IsZero())
        r.prepend(QLatin1Char('-'));
    return r;
}

} // namespace

QString FormatDateTime(const QString& pattern, DateTime value, const FormatSettings& fs)
{
    QString out;
    AppendFormatted(out, pattern, value, fs, 0);
    return out;
}

QString DateToStr(DateTime value, const FormatSettings& fs)
{
    return FormatDateTime(fs.ShortDateFormat, value, fs);
}

QString TimeToStr(DateTime value, const FormatSettings& fs)
{
    return FormatDateTime(fs.LongTimeFormat, value, fs);
}

QString DateTimeToStr(DateTime value, const FormatSettings& fs)
{
    return FormatDateTime(QStringLiteral("c"), value, fs);
}

QString FormatFloat(const QString& pattern, double value, const FormatSettings& fs)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    if (pattern.isEmpty())
        return FloatToStr(value, fs);
    const QStringList sections = SplitSections(pattern);
    auto render = [&](const QString& section, bool withMinus, Decimal& rounded) {
        const NumberSection ns = AnalyseSection(section);
        rounded = ToDecimal(value);
        int sciExp = 0;
        if (ns.scientific) {
            const int intDigits = std::max(ns.intPlaceholders, 1);
            RoundSignificant(rounded, intDigits + ns.maxDecimals);
            if (!rounded.IsZero()) {
                sciExp = rounded.exponent - intDigits;
                rounded.exponent = intDigits;
            }
        } else {
            RoundDecimals(rounded, ns.maxDecimals);
        }
        return ApplySection(section, ns, rounded, withMinus && rounded.negative && !rounded.IsZero(),
                            sciExp, fs);
    };
    Decimal rounded;
    QString text = render(sections.at(0), true, rounded);
    if (rounded.IsZero() && sections.size() >= 3 && !sections.at(2).isEmpty()) {
        Decimal z;
        return render(sections.at(2), false, z);
    }
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        Decimal neg;
        return render(sections.at(1), false, neg);
    }
    return text;
}

QString FloatToStr(double value, const FormatSettings& fs)
{
    return GeneralText(value, 15, fs);
}

QString FloatToStrFixed(double value, int decimals, const FormatSettings& fs)
{
    return FixedText(value, std::clamp(decimals, 0, 18), false, fs);
}

QString IntToStr(qint64 value)
{
    return QString::number(value);
}

bool TryStrToInt64(const QString& text, qint64& result)
{
    const QString t = text.trimmed();
    int pos = 0;
    bool negative = false;
    if (pos < t.size() && (t.at(pos) == QLatin1Char('-') || t.at(pos) == QLatin1Char('+'))) {
        negative = t.at(pos) == QLatin1Char('-');
        ++pos;
    }
    int base = 10;
    if (pos < t.size() && t.at(pos) == QLatin1Char('$')) {
        base = 16;
        ++pos;
    } else if (pos + 1 < t.size() && t.at(pos) == QLatin1Char('0')
               && (t.at(pos + 1) == QLatin1Char('x') || t.at(pos + 1) == QLatin1Char('X'))) {
        base = 16;
        pos += 2;
    }
    if (pos >= t.size())
        return false;
    // Accumulated as a negative number so the smallest value fits.
    qint64 acc = 0;
    for (; pos < t.size(); ++pos) {
        const QChar c = t.at(pos);
        int dv;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            dv = c.unicode() - '0';
        else if (base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))
            dv = c.toLower().unicode() - 'a' + 10;
        else
            return false;
        if (acc < (std::numeric_limits<qint64>::min() + dv) / base)
            return false;
        acc = acc * base - dv;
    }
    if (!negative) {
        if (acc == std::numeric_limits<qint64>::min())
            return false;
        acc = -acc;
    }
    result = acc;
    return true;
}

bool TryStrToInt(const QString& text, int& result)
{
    qint64 v;
    if (!TryStrToInt64(text, v) || v < std::numeric_limits<int>::min()
        || v > std::numeric_limits<int>::max())
        return false;
    result = int(v);
    return true;
}

int StrToInt(const QString& text)
{
    int r;
    if (!TryStrToInt(text, r))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return r;
}

qint64 StrToInt64(const QString& text)
{
    qint64 r;
    if (!TryStrToInt64(text, r))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return r;
}

int StrToIntDef(const QString& text, int defaultValue)
{
    int r;
    return TryStrToInt(text, r) ? r : defaultValue;
}

namespace {
// Decimal order of the first nonzero digit of a normalised number ("123" is 2, "0.05" is -2,
// "5e3" is 3); 0 for a number that has no such digit.
qint64 DecimalOrder(const QByteArray& norm)
{
    qint64 order = 0;
    qint64 exponent = 0;
    bool found = false;
    bool fraction = false;
    qint64 intDigits = 0;
    qint64 zerosAfterPoint = 0;
    int i = 0;
    const int n = int(norm.size());
    if (i < n && (norm[i] == '-' || norm[i] == '+'))
        ++i;
    for (; i < n && norm[i] != 'e'; ++i) {
        const char c = norm[i];
        if (c == '.') {
            fraction = true;
            continue;
        }
        if (!found && c == '0') {
            if (fraction)
                ++zerosAfterPoint;
            continue;
        }
        if (!found) {
            found = true;
            if (fraction)
                order = -(zerosAfterPoint + 1);
        }
        if (!fraction)
            ++intDigits;
    }
    if (!found)
        return 0;
    if (intDigits > 0)
        order = intDigits - 1;
    if (i < n && norm[i] == 'e') {
        bool negative = false;
        ++i;
        if (i < n && (norm[i] == '-' || norm[i] == '+'))
            negative = norm[i++] == '-';
        for (; i < n; ++i)
            exponent = std::min<qint64>(exponent * 10 + (norm[i] - '0'), qint64(1) << 40);
        if (negative)
            exponent = -exponent;
    }
    return order + exponent;
}
} // namespace

bool TryStrToFloat(const QString& text, double& result, const FormatSettings& fs)
{
    const QString t = text.trimmed();
    QByteArray norm;
    int i = 0;
    const int n = int(t.size());
    if (i < n && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        norm += char(t.at(i++).unicode());
    int mantissaDigits = 0;
    while (i < n && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9') {
        norm += char(t.at(i++).unicode());
        ++mantissaDigits;
    }
    if (i < n && t.at(i) == fs.DecimalSeparator) {
        norm += '.';
        ++i;
        while (i < n && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9') {
            norm += char(t.at(i++).unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E'))) {
        norm += 'e';
        ++i;
        if (i < n && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
            norm += char(t.at(i++).unicode());
        int expDigits = 0;
        while (i < n && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9') {
            norm += char(t.at(i++).unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const char* b = norm.constData();
    if (*b == '+')
        ++b;
    double v = 0;
    const auto res = std::from_chars(b, norm.constData() + norm.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // An underflow reads as zero; an overflow is no valid number. Which one it is
        // follows from the decimal order of the first significant digit, since digits
        // alone ("1" and 309 zeros) overflow as surely as a large exponent.
        if (DecimalOrder(norm) > 0)
            return false;
        v = 0.0;
    } else if (res.ec != std::errc() || res.ptr != norm.constData() + norm.size()) {
        return false;
    }
    if (!std::isfinite(v))
        return false;
    result = v;
    return true;
}

double StrToFloat(const QString& text, const FormatSettings& fs)
{
    double r;
    if (!TryStrToFloat(text, r, fs))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return r;
}

double StrToFloatDef(const QString& text, double defaultValue, const FormatSettings& fs)
{
    double r;
    return TryStrToFloat(text, r, fs) ? r : defaultValue;
}

bool TryStrToDate(const QString& text, DateTime& result, const FormatSettings& fs)
{
    int pos = 0;
    DateTime d;
    if (!ScanDate(text, pos, d, fs) || !AtEnd(text, pos))
        return false;
    result = d;
    return true;
}

DateTime StrToDate(const QString& text, const FormatSettings& fs)
{
    DateTime r;
    if (!TryStrToDate(text, r, fs))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return r;
}

bool TryStrToTime(const QString& text, DateTime& result, const FormatSettings& fs)
{
    int pos = 0;
    DateTime t;
    if (!ScanTime(text, pos, t, fs) || !AtEnd(text, pos))
        return false;
    result = t;
    return true;
}

DateTime StrToTime(const QString& text, const FormatSettings& fs)
{
    DateTime r;
    if (!TryStrToTime(text, r, fs))
        throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
    return r;
}

bool TryStrToDateTime(const QString& text, DateTime& result, const FormatSettings& fs)
{
    int pos = 0;
    DateTime d;
    if (ScanDate(text, pos, d, fs)) {
        if (AtEnd(text, pos)) {
            result = d;
            return true;
        }
        DateTime t;
        if (ScanTime(text, pos, t, fs) && AtEnd(text, pos)) {
            result = DateTime(d.Days() >= 0 ? d.Days() + t.Days() : d.Days() - t.Days());
            return true;
        }
    }
    return TryStrToTime(text, result, fs);
}

DateTime StrToDateTime(const QString& text, const FormatSettings& fs)
{
    DateTime r;
    if (!TryStrToDateTime(text, r, fs))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return r;
}

QString Format(const QString& pattern, const ValueArray& args, const FormatSettings& fs)
{
    QString out;
    size_t argIndex = 0;
    const int n = int(pattern.size());
    int i = 0;
    auto nextArg = [&]() -> const Value& {
        if (argIndex >= args.size())
            FormatError(pattern);
        return args[argIndex++];
    };
    auto readNum = [&](int& v) -> bool {
        if (i < n && pattern.at(i) == QLatin1Char('*')) {
            const Value& a = nextArg();
            if (!a.IsOrdinal())
                FormatError(pattern);
            v = a.AsInteger();
            ++i;
            return true;
        }
        int start = i;
        qint64 acc = 0;
        while (i < n && pattern.at(i).unicode() >= '0' && pattern.at(i).unicode() <= '9') {
            acc = acc * 10 + (pattern.at(i).unicode() - '0');
            if (acc > 100000)
                FormatError(pattern);
            ++i;
        }
        v = int(acc);
        return i > start;
    };
    while (i < n) {
        const QChar c = pattern.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < n && pattern.at(i) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        int width = -1, prec = -1, num = 0;
        bool left = false;
        bool has = readNum(num);
        if (has && i < n && pattern.at(i) == QLatin1Char(':')) {
            argIndex = size_t(std::max(num, 0));
            ++i;
            has = false;
        }
        if (!has) {
            if (i < n && pattern.at(i) == QLatin1Char('-')) {
                left = true;
                ++i;
            }
            has = readNum(num);
        }
        if (has)
            width = num;
        if (i < n && pattern.at(i) == QLatin1Char('.')) {
            ++i;
            if (!readNum(prec))
                prec = 0;
        }
        if (i >= n)
            FormatError(pattern);
        const QChar type = pattern.at(i).toLower();
        ++i;
        const Value& a = nextArg();
        QString s;
        switch (type.unicode()) {
        case 'd':
        case 'u': {
            if (!a.IsOrdinal() || a.GetKind() == Value::Kind::Boolean)
                FormatError(pattern);
            qint64 v = a.AsInt64();
            if (type == QLatin1Char('u') && v < 0 && a.GetKind() == Value::Kind::Integer)
                v += qint64(1) << 32;
            s = QString::number(v < 0 ? -(v + 1) + 1ULL : quint64(v));
            if (prec > s.size())
                s = s.rightJustified(prec, QLatin1Char('0'));
            if (v < 0)
                s.prepend(QLatin1Char('-'));
            break;
        }
        case 'x': {
            if (!a.IsOrdinal() || a.GetKind() == Value::Kind::Boolean)
                FormatError(pattern);
            const qint64 v = a.AsInt64();
            const quint64 bits = a.GetKind() == Value::Kind::Integer ? quint64(quint32(qint32(v)))
                                                                     : quint64(v);
            s = QString::number(bits, 16).toUpper();
            if (prec > s.size())
                s = s.rightJustified(prec, QLatin1Char('0'));
            break;
        }
        case 'f':
        case 'n':
        case 'm':
        case 'e':
        case 'g': {
            if (!a.IsNumeric())
                FormatError(pattern);
            const double v = a.AsFloat();
            if (type == QLatin1Char('f'))
                s = FixedText(v, prec < 0 ? 2 : std::min(prec, 18), false, fs);
            else if (type == QLatin1Char('n') || type == QLatin1Char('m'))
                s = FixedText(v, prec < 0 ? 2 : std::min(prec, 18), true, fs);
            else if (type == QLatin1Char('e'))
                s = ScientificText(v, prec < 0 ? 15 : prec, fs);
            else
                s = GeneralText(v, prec < 0 ? 15 : prec, fs);
            break;
        }
        case 's':
            if (a.IsArray())
                FormatError(pattern);
            s = a.AsString();
            if (prec >= 0 && prec < s.size())
                s.truncate(prec);
            break;
        default:
            FormatError(pattern);
        }
        if (width > s.size())
            s = left ? s.leftJustified(width, QLatin1Char(' ')) : s.rightJustified(width, QLatin1Char(' '));
        out += s;
    }
    return out;
}
