#include "import/KtrConvert.h"

#include "import/KtrErrors.h"
#include "platform/rtl/DateTime.h"

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
    if (KtrConvert::BareDigits(b, e, out))
        return true;
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

namespace {

// A decimal fraction with a point (or an integer beyond 32 bits), white space around it
// ignored; false for anything else.
template <typename Ch>
bool ParseNumber(const Ch* b, const Ch* e, double& out)
{
    while (b < e && IsWhite(static_cast<char16_t>(*b)))
        ++b;
    while (e > b && IsWhite(static_cast<char16_t>(e[-1])))
        --e;
    std::string s;
    s.reserve(std::size_t(e - b));
    for (; b < e; ++b) {
        const char16_t u = static_cast<char16_t>(*b);
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'+' || u == u'-' || u == u'e' || u == u'E'))
            return false;
        s.push_back(static_cast<char>(u));
    }
    const char* p = s.data();
    const char* end = s.data() + s.size();
    if (p != end && *p == '+')
        ++p;
    const auto r = std::from_chars(p, end, out);
    return p != end && r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

template <typename Ch>
int32_t VariantInt(const Ch* b, const Ch* e)
{
    int32_t v = 0;
    if (ParseInt(b, e, v))
        return v;
    double d = 0;
    if (!ParseNumber(b, e, d))
        KtrErrors::RaiseVariantConvert("Integer");
    const double r = std::nearbyint(d); // the default rounding: halves to even
    if (r < double(std::numeric_limits<int32_t>::min()) || r > double(std::numeric_limits<int32_t>::max()))
        KtrErrors::RaiseVariantOverflow("Integer");
    return int32_t(r);
}

} // namespace

int32_t KtrConvert::VariantToIntInFull(std::string_view text)
{
    return VariantInt(text.data(), text.data() + text.size());
}

int32_t KtrConvert::VariantToInt(const QString& text)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    return VariantInt(p, p + text.size());
}

double KtrConvert::VariantToNumber(const QString& text)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    int32_t i = 0;
    if (ParseInt(p, p + text.size(), i))
        return i;
    double d = 0;
    if (!ParseNumber(p, p + text.size(), d))
        KtrErrors::RaiseVariantConvert("Double");
    return d;
}

namespace {

// The usual value, bare numbers with one blank between each two, read in one pass; false for
// anything else (the words then hold what was read so far).
bool PlainWords(const char16_t* p, const char16_t* end, std::vector<int32_t>& words)
{
    while (p < end) {
        // Digits read as they are found: a value holds many of them, and one pass is enough.
        const char16_t* b = p;
        uint32_t v = 0;
        for (uint32_t digit; p < end && (digit = uint32_t(*p) - uint32_t(u'0')) <= 9; ++p)
            v = v * 10 + digit;
        if (p == b || p - b > 9) // none, or so many that they might not fit
            return false;
        words.push_back(static_cast<int32_t>(v));
        if (p == end)
            break;
        if (*p != u' ' || ++p == end)
            return false;
    }
    return true;
}

} // namespace

void KtrConvert::ToWords(const QString& text, std::vector<int32_t>& words)
{
    words.clear();
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* end = p + text.size();
    if (PlainWords(p, end, words))
        return;
    words.clear();
    // The text ends at a NUL character, as a character pointer reads it.
    for (const char16_t* q = p; q < end; ++q)
        if (*q == 0) {
            end = q;
            break;
        }
    // Control characters (not the blank: it separates words) are skipped around words and
    // separators.
    auto skip = [&] {
        while (p < end && *p < u' ')
            ++p;
    };
    auto add = [&](const char16_t* b, const char16_t* e) {
        int32_t v = 0;
        if (!BareDigits(b, e, v) && !ParseInt(b, e, v))
            KtrErrors::RaiseInvalidInteger(QString(reinterpret_cast<const QChar*>(b), e - b));
        words.push_back(v);
    };
    std::u16string quoted;
    skip();
    while (p < end) {
        if (*p == u'"') {
            // Up to the closing quote (a doubled one is a quote of the word), or to the end.
            quoted.clear();
            for (++p; p < end; ++p) {
                if (*p == u'"') {
                    if (p + 1 < end && p[1] == u'"') {
                        quoted.push_back(u'"');
                        ++p;
                        continue;
                    }
                    ++p;
                    break;
                }
                quoted.push_back(*p);
            }
            add(quoted.data(), quoted.data() + quoted.size());
        } else {
            const char16_t* b = p;
            while (p < end && *p > u' ' && *p != u',')
                ++p;
            add(b, p);
        }
        skip();
        if (p < end && (*p == u' ' || *p == u',')) {
            if (p + 1 == end)
                add(end, end); // a separator at the very end leaves an empty last word
            ++p;
            skip();
        }
    }
}

double KtrConvert::ToDay(const QString& text)
{
    // Each part as far as the text reaches: a short text leaves the last parts empty.
    static constexpr int kStart[6] = {0, 4, 6, 8, 10, 12};
    static constexpr int kLen[6] = {4, 2, 2, 2, 2, 2};
    int32_t part[6] = {};
    for (int i = 0; i < 6; ++i) {
        // Read in place: a date is read for every stem.
        const QStringView piece = QStringView(text).mid(kStart[i], kLen[i]);
        const char16_t* p = piece.utf16();
        if (!BareDigits(p, p + piece.size(), part[i]) && !ParseInt(p, p + piece.size(), part[i]))
            KtrErrors::RaiseInvalidInteger(piece.toString());
    }
    const int32_t y = part[0], m = part[1], d = part[2];
    if (!DateTime::IsValidDate(y, m, d) || part[3] < 0 || part[3] > 23 || part[4] < 0 || part[4] > 59 || part[5] < 0
        || part[5] > 59)
        KtrErrors::RaiseInvalidDate(text);
    return double(DateTime::DaysOf(y, m, d));
}
