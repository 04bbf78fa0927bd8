#include "import/KtrTokenizer.h"

#include <cstring>

namespace {

constexpr unsigned char kMark = '~';
constexpr unsigned char kBlank = ' ';
constexpr unsigned char kLF = '\n';
constexpr unsigned char kCR = '\r';

// Blanks and control characters, the characters a trim removes.
inline bool IsTrimmed(unsigned char c)
{
    return c <= kBlank;
}

} // namespace

KtrTokenizer::KtrTokenizer(const char* data, std::size_t size, std::deque<QString>* pool)
    : FPos(reinterpret_cast<const unsigned char*>(data))
    , FEnd(reinterpret_cast<const unsigned char*>(data) + size)
    , FPool(pool ? pool : &FOwnPool)
{
    if (!data)
        FPos = FEnd = nullptr;
}

int KtrTokenizer::NextSkippingCR()
{
    if (FPos == FEnd)
        return -1;
    unsigned char c = *FPos++;
    if (c == kCR) {
        if (FPos == FEnd)
            return -1;
        c = *FPos++;
    }
    return c;
}

bool KtrTokenizer::Next(KtrRawVariable& out)
{
    out.Number.clear();
    out.Type.clear();
    out.Value.clear();
    out.Pooled = nullptr;
    out.CutInType = false;

    // Number: up to the first blank. Most numbers hold no carriage return: those are taken in
    // one piece, the rest byte by byte from the first CR on.
    const unsigned char* numberStart = FPos;
    while (FPos != FEnd && *FPos != kBlank && *FPos != kCR)
        ++FPos;
    out.Number.assign(reinterpret_cast<const char*>(numberStart), std::size_t(FPos - numberStart));
    if (FPos != FEnd && *FPos == kBlank) {
        ++FPos;
    } else for (;;) {
        const int c = NextSkippingCR();
        if (c < 0)
            return false;
        if (c == kBlank)
            break;
        out.Number.push_back(static_cast<char>(c));
    }

    // Type: up to the first "~", blank, LF or CR; in one piece unless a CR comes first.
    bool typeEndedAtMark = false;
    const unsigned char* typeStart = FPos;
    while (FPos != FEnd && *FPos != kMark && *FPos != kBlank && *FPos != kLF && *FPos != kCR)
        ++FPos;
    out.Type.assign(reinterpret_cast<const char*>(typeStart), std::size_t(FPos - typeStart));
    if (FPos == FEnd) {
        out.CutInType = true;
    } else if (*FPos != kCR) {
        typeEndedAtMark = *FPos == kMark;
        ++FPos;
    } else for (;;) {
        const int c = NextSkippingCR();
        if (c < 0) {
            out.CutInType = true;
            break;
        }
        if (c == kMark) {
            typeEndedAtMark = true;
            break;
        }
        if (c == kBlank || c == kLF || c == kCR)
            break;
        out.Type.push_back(static_cast<char>(c));
    }
    {
        std::size_t b = 0;
        std::size_t e = out.Type.size();
        while (b < e && IsTrimmed(static_cast<unsigned char>(out.Type[b])))
            ++b;
        while (e > b && IsTrimmed(static_cast<unsigned char>(out.Type[e - 1])))
            --e;
        if (b != 0 || e != out.Type.size())
            out.Type = out.Type.substr(b, e - b);
    }
    if (out.CutInType || typeEndedAtMark)
        return true;

    // Value: up to the first "~" or the end of the file. A line break right after the type
    // only starts the value on the next line; line breaks inside it become blanks, and since
    // the value is trimmed afterwards, both come to the same as treating every CR and LF as a
    // blank.
    const unsigned char* start = FPos;
    const unsigned char* stop = FEnd;
    if (const void* mark = std::memchr(start, kMark, static_cast<std::size_t>(FEnd - start))) {
        stop = static_cast<const unsigned char*>(mark);
        FPos = stop + 1;
    } else {
        FPos = FEnd;
    }
    while (start < stop && IsTrimmed(*start))
        ++start;
    while (stop > start && IsTrimmed(stop[-1]))
        --stop;
    if (start == stop)
        return true;
    const QByteArrayView bytes(start, stop - start);
    if (const auto seen = FValues.constFind(bytes); seen != FValues.constEnd()) {
        out.Pooled = *seen;
        out.Value = **seen;
        return true;
    }
    out.Value = QString::fromLatin1(bytes);
    if (std::memchr(start, kLF, static_cast<std::size_t>(stop - start))
        || std::memchr(start, kCR, static_cast<std::size_t>(stop - start))) {
        QChar* p = out.Value.data();
        for (qsizetype i = 0, n = out.Value.size(); i < n; ++i) {
            if (p[i] == QLatin1Char('\n') || p[i] == QLatin1Char('\r'))
                p[i] = QLatin1Char(' ');
        }
    }
    out.Pooled = &FPool->emplace_back(out.Value);
    FValues.insert(bytes, out.Pooled);
    return true;
}
