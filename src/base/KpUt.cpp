#include "base/KpUt.h"

#include "base/KelpUtils.h"

#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EInvalidOp.h"
#include "platform/rtl/EOverflowError.h"
#include "platform/rtl/ERangeError.h"
#include "platform/ui/IUserInterface.h"

#include <QLocale>
#include <array>
#include <cmath>
#include <limits>

TWaitCursorProc WaitCursorProc = nullptr;

namespace {

bool IsDelimiter(QChar c, const TFieldChars& delim)
{
    return c == QLatin1Char(' ') || (c.unicode() <= 255 && delim.test(c.unicode()));
}

// 10^n in extended precision; throws when it leaves the range.
long double PowerOfTen(int n)
{
    // Every rounding asks for one: the powers up to 10^27 are exact in extended precision, so a
    // table of them gives what pow gives, without its cost.
    static constexpr auto kExact = [] {
        std::array<long double, 28> powers{};
        long double p = 1;
        for (long double& v : powers) {
            v = p;
            p *= 10;
        }
        return powers;
    }();
    if (n >= 0 && n < static_cast<int>(kExact.size()))
        return kExact[static_cast<size_t>(n)];
    const long double p = std::pow(10.0L, static_cast<long double>(n));
    if (!std::isfinite(p))
        throw EOverflowError(QStringLiteral("Floating point overflow"));
    return p;
}

// Nearest integer, ties to the even neighbour, kept in extended precision so no value can wrap.
long double RoundEven(long double v)
{
    long double r = std::floor(v);
    const long double diff = v - r;
    if (diff > 0.5L || (diff == 0.5L && std::fmod(r, 2.0L) != 0.0L))
        r += 1.0L;
    return r;
}

bool IsSeparatorForInitials(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('.') || c == QLatin1Char('/')
        || c == QLatin1Char('\\');
}

int FirstSeparator(const QString& s)
{
    for (int i = 0; i < s.size(); ++i)
        if (IsSeparatorForInitials(s.at(i)))
            return i + 1;
    return int(s.size()) + 1;
}

int RoundToInt32(long double x)
{
    if (!std::isfinite(x))
        throw ERangeError(QStringLiteral("Range check error"));
    const long double r = RoundEven(x);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        throw ERangeError(QStringLiteral("Range check error"));
    return static_cast<int>(r);
}

int CheckedInt(long double x)
{
    if (!std::isfinite(x) || x < std::numeric_limits<int>::min()
        || x > std::numeric_limits<int>::max())
        throw ERangeError(QStringLiteral("Range check error"));
    return static_cast<int>(x);
}

} // namespace

TFieldChars KpUt::FieldChars(const QString& chars)
{
    TFieldChars set;
    for (const QChar c : chars)
        if (c.unicode() <= 255)
            set.set(c.unicode());
    return set;
}

void KpUt::StrToken(QString& sSrc, QString& sDest, const QString& aDelimiter, bool aTrim)
{
    const qsizetype p = aDelimiter.isEmpty() ? -1 : sSrc.indexOf(aDelimiter);
    if (p >= 0) {
        sDest = sSrc.left(p);
        sSrc = sSrc.mid(p + aDelimiter.size());
    } else {
        sDest = sSrc;
        sSrc.clear();
    }
    if (aTrim) {
        sDest = sDest.trimmed();
        qsizetype i = 0;
        while (i < sSrc.size() && sSrc.at(i).isSpace())
            ++i;
        sSrc.remove(0, i);
    }
}

QString KpUt::TokenFromString(const QString& sSrc, int aTokenNr, const QString& aDelimiter)
{
    if (sSrc.isEmpty() || aTokenNr <= 0)
        return QString();
    if (aDelimiter.isEmpty())
        return aTokenNr == 1 ? sSrc : QString();
    qsizetype pos = 0;
    for (int count = 1;; ++count) {
        const qsizetype p = sSrc.indexOf(aDelimiter, pos);
        if (count == aTokenNr)
            return p < 0 ? sSrc.mid(pos) : sSrc.mid(pos, p - pos);
        // A delimiter at the last character opens no further token.
        if (p < 0 || p >= sSrc.size() - 1)
            return QString();
        pos = p + aDelimiter.size();
    }
}

QString KpUt::TokensUntil(const QString& sSrc, int aDelimNr, const QString& aDelimiter)
{
    if (sSrc.isEmpty() || aDelimNr <= 0)
        return QString();
    if (aDelimiter.isEmpty())
        return sSrc;
    qsizetype pos = 0;
    for (int k = 1; k <= aDelimNr; ++k) {
        if (pos >= sSrc.size())
            return sSrc;
        const qsizetype p = sSrc.indexOf(aDelimiter, pos);
        if (p < 0)
            return sSrc;
        if (k == aDelimNr) {
            QString r = sSrc.left(p);
            while (!r.isEmpty() && r.back().isSpace())
                r.chop(1);
            return r;
        }
        pos = p + aDelimiter.size();
    }
    return sSrc;
}

QString KpUt::TokensAfter(const QString& sSrc, int aDelimNr, const QString& aDelimiter)
{
    if (sSrc.isEmpty() || aDelimNr <= 0)
        return sSrc;
    if (aDelimiter.isEmpty())
        return QString();
    qsizetype pos = 0;
    for (int k = 1; k <= aDelimNr; ++k) {
        const qsizetype p = sSrc.indexOf(aDelimiter, pos);
        if (p < 0)
            return QString();
        pos = p + aDelimiter.size();
        if (k == aDelimNr) {
            QString r = sSrc.mid(pos);
            qsizetype i = 0;
            while (i < r.size() && r.at(i).isSpace())
                ++i;
            return r.mid(i);
        }
        if (pos >= sSrc.size())
            return QString();
    }
    return QString();
}

int KpUt::TokenCnt(const QString& sSrc, const QString& aDelimiter)
{
    if (sSrc.isEmpty())
        return 0;
    if (aDelimiter.isEmpty())
        return 1;
    int count = 1;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype p = sSrc.indexOf(aDelimiter, pos);
        if (p < 0 || p + aDelimiter.size() >= sSrc.size())
            break;
        ++count;
        pos = p + aDelimiter.size();
    }
    return count;
}

bool KpUt::StrContainsToken(const QString& sStr, const QString& sToken, const TFieldChars& delim)
{
    if (sToken.isEmpty())
        return false;
    QString s = sStr;
    const qsizetype tlen = sToken.size();
    while (!s.isEmpty()) {
        const qsizetype p = s.indexOf(sToken);
        if (p < 0)
            return false;
        const qsizetype end = p + tlen;
        const qsizetype len = s.size();
        const bool follows = end < len;
        if (p == 0 && end == len)
            return true;
        if (p == 0 && follows && IsDelimiter(s.at(end), delim))
            return true;
        if (p >= 1 && !follows && IsDelimiter(s.at(p - 1), delim))
            return true;
        if (p >= 1 && follows && IsDelimiter(s.at(end), delim) && IsDelimiter(s.at(p - 1), delim))
            return true;
        if (!follows)
            return false;
        if (IsDelimiter(s.at(end), delim)) {
            s = s.mid(end + 1);
        } else {
            // Skip the rest of the word the occurrence was part of.
            qsizetype i = end;
            while (i < len && !IsDelimiter(s.at(i), delim))
                ++i;
            s = s.mid(i);
        }
    }
    return false;
}

bool KpUt::IsTokenInString(const QString& aToken, const QString& aStr, const QString& aSeparator)
{
    QString rest = aStr;
    QString token;
    while (!rest.isEmpty()) {
        StrToken(rest, token, aSeparator, true);
        if (token == aToken)
            return true;
    }
    return false;
}

QString KpUt::AddSeparated(const QString& aStr, const QString& separator, const QString& aNewStr,
                           bool aUnique)
{
    if (aUnique && IsTokenInString(aNewStr, aStr, separator))
        return aStr;
    if (aStr.isEmpty())
        return aNewStr;
    if (aNewStr.isEmpty())
        return aStr;
    return aStr + separator + aNewStr;
}

QString KpUt::ExtractQuotedStr(const QString& aStr)
{
    const QChar quote = QLatin1Char('"');
    if (aStr.isEmpty() || aStr.at(0) != quote)
        return aStr;
    QString r;
    qsizetype i = 1;
    while (i < aStr.size()) {
        if (aStr.at(i) == quote) {
            if (i + 1 < aStr.size() && aStr.at(i + 1) == quote) {
                r += quote;
                i += 2;
                continue;
            }
            break;
        }
        r += aStr.at(i++);
    }
    return r;
}

QString KpUt::AizvietoLVBurtus(const QString& s)
{
    static const QString from = QStringLiteral("ĀČĒĢĪĶĻŅŌŖŠŪŽāčēģīķļņōŗšūž");
    static const QString to = QStringLiteral("ACEGIKLNORSUZacegiklnorsuz");
    QString r = s;
    for (qsizetype i = 0; i < r.size(); ++i) {
        const qsizetype k = from.indexOf(r.at(i));
        if (k >= 0)
            r[i] = to.at(k);
    }
    return r;
}

QString KpUt::GetInitials(const QString& aStr, int aCharsToLeave)
{
    QString s = aStr.trimmed();
    qsizetype lead = 0;
    while (lead < s.size() && IsSeparatorForInitials(s.at(lead)))
        ++lead;
    s.remove(0, lead);
    int i = FirstSeparator(s);
    QString result = (aCharsToLeave < i ? s.left(std::max(aCharsToLeave, 0)) : s.left(i)).toUpper();
    while (i < s.size()) {
        result += s.at(i).toUpper();
        s.remove(0, i);
        i = FirstSeparator(s);
    }
    return result;
}

long double KpUt::KpRound(long double rInput, int rPrecision)
{
    if (std::isnan(rInput))
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    if (std::isinf(rInput))
        throw EOverflowError(QStringLiteral("Floating point overflow"));
    if (rPrecision == std::numeric_limits<int>::min())
        throw EOverflowError(QStringLiteral("Floating point overflow"));
    if (rPrecision >= 0) {
        const long double p = PowerOfTen(rPrecision);
        const long double whole = std::trunc(rInput);
        const long double fracPart = rInput - whole;
        const long double scaled = fracPart * p;
        const long double d = std::fabs(scaled - std::trunc(scaled));
        long double x = rInput;
        // Values whose dropped part is near one half are nudged off the tie, so binary
        // neighbours of x.xx5 round away from zero.
        if (d > 0.4L && d < 0.6L)
            x = rInput >= 0 ? rInput + 0.0000000001L : rInput - 0.0000000001L;
        const long double fx = x - std::trunc(x);
        return whole + RoundEven(fx * p) / p;
    }
    // Tens, hundreds...: the whole value counts, fraction included; exact halves go to the
    // even neighbour.
    const long double p = PowerOfTen(-rPrecision);
    const long double r = RoundEven(rInput / p) * p;
    if (!std::isfinite(r))
        throw EOverflowError(QStringLiteral("Floating point overflow"));
    return r;
}

int KpUt::KpCeil(long double x, long double e)
{
    const int r = RoundToInt32(x);
    if (std::fabs(x - r) < e)
        return r;
    return CheckedInt(std::ceil(x));
}

int KpUt::KpFloor(long double x, long double e)
{
    const int r = RoundToInt32(x);
    if (std::fabs(x - r) < e)
        return r;
    return CheckedInt(std::floor(x));
}

QString KpUt::KelpFormatString(const QString& sFormat, const Value& value)
{
    QString text;
    bool negative = false;
    switch (value.GetKind()) {
    case Value::Kind::Integer:
        text = QString::number(value.AsInteger());
        negative = value.AsInteger() < 0;
        break;
    case Value::Kind::DateTime:
        return FormatDateTime(sFormat, value.AsDateTime());
    case Value::Kind::String:
        text = value.AsString();
        break;
    default:
        return QString();
    }
    if (sFormat.isEmpty())
        return text;
    const qsizetype width = sFormat.size();
    if (text.size() < width) {
        const QString fill = sFormat.left(width - text.size());
        // The sign stays in front of the padding: -7 in "000" is "-07".
        if (negative)
            return QLatin1Char('-') + fill + text.mid(1);
        return fill + text;
    }
    return text.right(width);
}

Value KpUt::iif(bool fExpr, const Value& fTrue, const Value& fFalse)
{
    return fExpr ? fTrue : fFalse;
}

int KpUt::VarToIntDef(const Value& aValue, int aDefault)
{
    if (aValue.IsNull() || aValue.IsArray())
        return aDefault;
    int r;
    return TryStrToInt(aValue.AsString(), r) ? r : aDefault;
}

bool KpUt::IsNum(const QString& aNumber)
{
    if (aNumber.isEmpty())
        return false;
    bool anyDigit = false;
    for (qsizetype i = 0; i < aNumber.size(); ++i) {
        const QChar c = aNumber.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            anyDigit = true;
        else if (!(i == 0 && c == QLatin1Char('-')))
            return false;
    }
    // A sign alone is no number.
    return anyDigit;
}

QString KpUt::GetLocaleString(int lid)
{
    if (lid < 0)
        throw ERangeError(QStringLiteral("Range check error"));
    const QLocale loc = QLocale::system();
    switch (lid) {
    case 0x0003: return loc.nativeLanguageName().left(3);
    case 0x0004: return loc.nativeLanguageName();
    case 0x0006: return loc.nativeTerritoryName();
    case 0x000E: return loc.decimalPoint();
    case 0x000F: return loc.groupSeparator();
    case 0x0014: return loc.currencySymbol();
    case 0x001D: return FormatSettings::FromLocale(loc).DateSeparator;
    case 0x001E: return FormatSettings::FromLocale(loc).TimeSeparator;
    case 0x001F: return FormatSettings::FromLocale(loc).ShortDateFormat;
    case 0x0020: return FormatSettings::FromLocale(loc).LongDateFormat;
    case 0x0028: return loc.amText();
    case 0x0029: return loc.pmText();
    case 0x1001: return QLocale::languageToString(loc.language());
    case 0x1002: return QLocale::territoryToString(loc.territory());
    case 0x1003: return FormatSettings::FromLocale(loc).LongTimeFormat;
    default: return QString();
    }
}

void KpUt::WaitCursor(bool onFlag)
{
    if (WaitCursorProc) {
        WaitCursorProc(onFlag);
        return;
    }
    KelpUtils::DefaultWaitCursor(onFlag);
}

void KpUt::ShowUserError(const QString& s)
{
    IUserInterface::Current().ShowError(s);
}

int KpUt::ConfirmYesNo(const QString& s, bool)
{
    return IUserInterface::Current().ConfirmYesNo(s) ? mrYes : mrNo;
}
