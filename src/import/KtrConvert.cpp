#include "import/KtrConvert.h"

#include "import/KtrErrors.h"

#include <QDate>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

inline bool IsWhite(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Parses [sign]digits of exactly [b, e); false on anything else or on overflow.
template <typename Ch>
bool ParseInt(const Ch* b, const Ch* e, int32_t& out)
{
    while (b < e && IsWhite(static_cast<char16_t>(*b)))
        ++b;
    while (e > b && IsWhite(static_cast<char16_t>(e[-1])))
        --e;
    if (b == e)
        return false;
    bool negative = false;
    if (*b == Ch('+') || *b == Ch('-')) {
        negative = *b == Ch('-');
        ++b;
        if (b == e)
            return false;
    }
    int64_t value = 0;
    for (; b < e; ++b) {
        const char16_t c = static_cast<char16_t>(*b);
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

} // namespace

int32_t KtrConvert::ToInt(std::string_view text)
{
    int32_t v = 0;
    if (!ParseInt(text.data(), text.data() + text.size(), v))
        KtrErrors::RaiseInvalidInteger(QString::fromLatin1(text.data(), qsizetype(text.size())));
    return v;
}

int32_t KtrConvert::ToInt(const QString& text)
{
    int32_t v = 0;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    if (!ParseInt(p, p + text.size(), v))
        KtrErrors::RaiseInvalidInteger(text);
    return v;
}

bool KtrConvert::IsNonZeroNumber(const QString& text)
{
    int32_t i = 0;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    if (ParseInt(p, p + text.size(), i))
        return i != 0;
    // A decimal fraction; only plain ASCII forms with a point are taken.
    const QString t = text.trimmed();
    std::string s;
    s.reserve(std::size_t(t.size()));
    for (QChar c : t) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'+' || u == u'-' || u == u'e' || u == u'E'))
            KtrErrors::RaiseInvalidNumber(text);
        s.push_back(static_cast<char>(u));
    }
    const char* b = s.data();
    const char* e = s.data() + s.size();
    if (b != e && *b == '+')
        ++b;
    double d = 0;
    const auto r = std::from_chars(b, e, d);
    if (b == e || r.ec != std::errc() || r.ptr != e || !std::isfinite(d))
        KtrErrors::RaiseInvalidNumber(text);
    return d != 0.0;
}

void KtrConvert::ToWords(const QString& text, std::vector<int32_t>& words)
{
    words.clear();
    if (text.isEmpty())
        return;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* end = p + text.size();
    const char16_t* b = p;
    for (const char16_t* q = p;; ++q) {
        if (q == end || *q == u' ') {
            int32_t v = 0;
            if (b == q || !ParseInt(b, q, v))
                KtrErrors::RaiseInvalidInteger(QString(reinterpret_cast<const QChar*>(b), q - b));
            words.push_back(v);
            if (q == end)
                break;
            b = q + 1;
        }
    }
}

double KtrConvert::ToDay(const QString& text)
{
    if (text.size() < 14)
        KtrErrors::RaiseInvalidDate(text);
    int32_t part[6] = {};
    static constexpr int kStart[6] = {0, 4, 6, 8, 10, 12};
    static constexpr int kLen[6] = {4, 2, 2, 2, 2, 2};
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    for (int i = 0; i < 6; ++i) {
        if (!ParseInt(p + kStart[i], p + kStart[i] + kLen[i], part[i]))
            KtrErrors::RaiseInvalidDate(text);
    }
    const int32_t y = part[0], m = part[1], d = part[2];
    if (y < 1 || y > 9999 || !QDate::isValid(y, m, d) || part[3] < 0 || part[3] > 23 || part[4] < 0
        || part[4] > 59 || part[5] < 0 || part[5] > 59)
        KtrErrors::RaiseInvalidDate(text);
    // Days since 1899-12-30, the zero of the program's date-times.
    static const qint64 kZero = QDate(1899, 12, 30).toJulianDay();
    return double(QDate(y, m, d).toJulianDay() - kZero);
}
