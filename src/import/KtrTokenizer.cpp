#include "import/KtrTokenizer.h"

#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <limits>

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

// A hash of a value's bytes, eight at a time. Seeded per run, so that no file can be made to
// collide on purpose.
inline uint64_t Load8(const unsigned char* p)
{
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

inline uint32_t Load4(const unsigned char* p)
{
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

// The bytes of a value shorter than eight (most are: codes, flags, single numbers) as one
// word, read with loads of a fixed size (two overlapping ones from four bytes on) rather than
// a copy of a varying length.
inline uint64_t ShortWord(const unsigned char* p, std::size_t n)
{
    if (n >= 4)
        return uint64_t(Load4(p)) << 32 | Load4(p + n - 4);
    if (n == 0)
        return 0;
    return uint64_t(p[0]) << 16 | uint64_t(p[n / 2]) << 8 | p[n - 1];
}

inline uint64_t Mix(uint64_t h, uint64_t w)
{
    h = (h ^ w) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
}

uint32_t HashOf(const unsigned char* p, std::size_t n, std::size_t seed)
{
    uint64_t h = Mix(seed, n);
    if (n >= 8) {
        const unsigned char* last = p + n - 8;
        for (; p < last; p += 8)
            h = Mix(h, Load8(p));
        h = Mix(h, Load8(last));
    } else {
        h = Mix(h, ShortWord(p, n));
    }
    return uint32_t(h ^ (h >> 29));
}

// Whether two values of the same length hold the same bytes; a short one (the word above
// tells it whole) without a call.
inline bool SameBytes(const unsigned char* a, const unsigned char* b, std::size_t n)
{
    return n < 8 ? ShortWord(a, n) == ShortWord(b, n) : std::memcmp(a, b, n) == 0;
}

} // namespace

KtrTokenizer::KtrTokenizer(const char* data, std::size_t size, std::deque<QString>* pool)
    : FData(reinterpret_cast<const unsigned char*>(data))
    , FPos(reinterpret_cast<const unsigned char*>(data))
    , FEnd(reinterpret_cast<const unsigned char*>(data) + size)
    , FPool(pool ? pool : &FOwnPool)
    , FSeed(QHashSeed::globalSeed())
{
    if (!data)
        FData = FPos = FEnd = nullptr;
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
    out.Number = {};
    out.Type = {};
    out.Pooled = nullptr;
    out.CutInType = false;

    // Number: up to the first blank. Most numbers hold no carriage return: those are left where
    // they are in the file, the rest copied byte by byte from the first CR on.
    const unsigned char* numberStart = FPos;
    while (FPos != FEnd && *FPos != kBlank && *FPos != kCR)
        ++FPos;
    if (FPos != FEnd && *FPos == kBlank) {
        out.Number = View(numberStart, FPos);
        ++FPos;
    } else {
        FNumber.assign(reinterpret_cast<const char*>(numberStart), std::size_t(FPos - numberStart));
        for (;;) {
            const int c = NextSkippingCR();
            if (c < 0)
                return false;
            if (c == kBlank)
                break;
            FNumber.push_back(static_cast<char>(c));
        }
        out.Number = FNumber;
    }

    // Type: up to the first "~", blank, LF or CR; in place unless a CR comes first.
    bool typeEndedAtMark = false;
    const unsigned char* typeStart = FPos;
    while (FPos != FEnd && *FPos != kMark && *FPos != kBlank && *FPos != kLF && *FPos != kCR)
        ++FPos;
    std::string_view type = View(typeStart, FPos);
    if (FPos == FEnd) {
        out.CutInType = true;
    } else if (*FPos != kCR) {
        typeEndedAtMark = *FPos == kMark;
        ++FPos;
    } else {
        FType.assign(type);
        for (;;) {
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
            FType.push_back(static_cast<char>(c));
        }
        type = FType;
    }
    while (!type.empty() && IsTrimmed(static_cast<unsigned char>(type.front())))
        type.remove_prefix(1);
    while (!type.empty() && IsTrimmed(static_cast<unsigned char>(type.back())))
        type.remove_suffix(1);
    out.Type = type;
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
    out.Pooled = Pooled(start, std::size_t(stop - start));
    return true;
}

QString* KtrTokenizer::NewText(const unsigned char* bytes, std::size_t size)
{
    QString value = QString::fromLatin1(reinterpret_cast<const char*>(bytes), qsizetype(size));
    if (std::memchr(bytes, kLF, size) || std::memchr(bytes, kCR, size)) {
        QChar* p = value.data();
        for (qsizetype k = 0, n = value.size(); k < n; ++k) {
            if (p[k] == QLatin1Char('\n') || p[k] == QLatin1Char('\r'))
                p[k] = QLatin1Char(' ');
        }
    }
    return &FPool->emplace_back(std::move(value));
}

const QString* KtrTokenizer::Pooled(const unsigned char* bytes, std::size_t size)
{
    // Beyond what the table's places can tell (files of gigabytes), values are not shared.
    if (std::size_t(bytes - FData) > std::numeric_limits<uint32_t>::max())
        return NewText(bytes, size);
    if (FSeen.empty())
        GrowSeen();
    const uint32_t hash = HashOf(bytes, size, FSeed);
    std::size_t mask = FSeen.size() - 1;
    std::size_t i = hash & mask;
    for (; FSeen[i].Text; i = (i + 1) & mask) {
        const Seen& seen = FSeen[i];
        if (seen.Hash == hash && std::size_t(seen.Text->size()) == size && SameBytes(FData + seen.Begin, bytes, size))
            return seen.Text;
    }
    // The table holds at most half its places, so that a search ends soon at a free one. It
    // remembers a bounded number of values: a file of many stems holds hundreds of thousands met
    // only once, and a table of them all would cost more in memory touched than sharing them
    // saves. Past the bound it starts afresh; the values repeated stem after stem are back in it
    // at once.
    if (2 * (FSeenCount + 1) > FSeen.size()) {
        if (FSeen.size() < kMaxSeen) {
            GrowSeen();
        } else {
            std::fill(FSeen.begin(), FSeen.end(), Seen());
            FSeenCount = 0;
        }
        mask = FSeen.size() - 1;
        for (i = hash & mask; FSeen[i].Text; i = (i + 1) & mask) {
        }
    }
    FSeen[i] = {NewText(bytes, size), hash, uint32_t(bytes - FData)};
    ++FSeenCount;
    return FSeen[i].Text;
}

void KtrTokenizer::GrowSeen()
{
    std::vector<Seen> old(std::max<std::size_t>(2 * FSeen.size(), kMinSeen));
    old.swap(FSeen);
    const std::size_t mask = FSeen.size() - 1;
    for (const Seen& seen : old) {
        if (!seen.Text)
            continue;
        std::size_t i = seen.Hash & mask;
        while (FSeen[i].Text)
            i = (i + 1) & mask;
        FSeen[i] = seen;
    }
}
