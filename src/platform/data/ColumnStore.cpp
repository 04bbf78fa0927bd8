#include "platform/data/ColumnStore.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <functional>
#include <limits>
#include <unordered_map>

TColumnStore::TColumnStore(Kind kind)
    : FKind(kind)
{
}

void TColumnStore::Resize(int count)
{
    // New slots are null: whole words at once, the bits of a partly used word one by one.
    const size_t oldWords = FNull.size();
    FNull.resize((size_t(count) + 63) / 64, ~quint64(0));
    for (int i = FCount; i < count && size_t(i) < oldWords * 64; ++i)
        MarkNull(i);
    FCount = count;
    switch (FKind) {
    case Kind::Int32: FI32.resize(size_t(count)); break;
    case Kind::Int64: FI64.resize(size_t(count)); break;
    case Kind::Double: FDbl.resize(size_t(count)); break;
    case Kind::String:
        for (size_t i = size_t(count); i < FTextLength.size(); ++i) {
            FGarbage += TextLength(i);
            if (FTextLength[i] == kLongText)
                FLongTextLength.erase(quint32(i));
        }
        FTextBegin.resize(size_t(count), 0);
        FTextLength.resize(size_t(count), 0);
        break;
    case Kind::Bytes: FBytes.resize(size_t(count)); break;
    }
}

void TColumnStore::Reserve(int count)
{
    FNull.reserve((size_t(count) + 63) / 64);
    switch (FKind) {
    case Kind::Int32: FI32.reserve(size_t(count)); break;
    case Kind::Int64: FI64.reserve(size_t(count)); break;
    case Kind::Double: FDbl.reserve(size_t(count)); break;
    case Kind::String:
        FTextBegin.reserve(size_t(count));
        FTextLength.reserve(size_t(count));
        break;
    case Kind::Bytes: FBytes.reserve(size_t(count)); break;
    }
}

void TColumnStore::Clear()
{
    FNull.clear();
    FCount = 0;
    FI32.clear();
    FI64.clear();
    FDbl.clear();
    FTextBegin.clear();
    FTextLength.clear();
    FLongTextLength.clear();
    FLatin1.clear();
    FUtf16.clear();
    FWide = false;
    FGarbage = 0;
    FRecent.fill(Recent());
    FBytes.clear();
}

void TColumnStore::SetNull(int slot)
{
    MarkNull(slot);
    switch (FKind) {
    case Kind::Int32: FI32[size_t(slot)] = 0; break;
    case Kind::Int64: FI64[size_t(slot)] = 0; break;
    case Kind::Double: FDbl[size_t(slot)] = 0.0; break;
    case Kind::String: DropText(slot); break;
    case Kind::Bytes: FBytes[size_t(slot)] = QByteArray(); break;
    }
}

void TColumnStore::SetString(int slot, const QString& v)
{
    // A slot without a text (a new one, above all) has nothing to give up.
    if (FTextLength[size_t(slot)] != 0)
        DropText(slot);
    MarkSet(slot);
    if (v.isEmpty()) {
        FTextBegin[size_t(slot)] = v.isNull() ? 0 : kEmptyText;
        return;
    }
    Recent& r = FRecent[(std::hash<const void*>()(v.constData()) >> 4) % FRecent.size()];
    quint32 begin;
    // Characters the string owns (not raw or static data) cannot change while it is held.
    const bool owned = v.data_ptr().isMutable();
    if (r.Text.constData() == v.constData() && r.Text.size() == v.size() && (owned || TextEquals(r.Begin, v))) {
        begin = r.Begin;
    } else {
        begin = AppendText(v);
        if (v.size() <= 256) // long texts are seldom shared, and not worth holding
            r = {v, begin};
    }
    FTextBegin[size_t(slot)] = begin;
    // The slot's length is 0 here (given up above, or never set): no long length to forget.
    if (v.size() < kLongText) {
        FTextLength[size_t(slot)] = quint8(v.size());
    } else {
        FTextLength[size_t(slot)] = kLongText;
        FLongTextLength[quint32(slot)] = quint32(v.size());
    }
}

void TColumnStore::SetTextLength(size_t slot, quint32 length)
{
    if (FTextLength[slot] == kLongText)
        FLongTextLength.erase(quint32(slot));
    if (length < kLongText) {
        FTextLength[slot] = quint8(length);
        return;
    }
    FTextLength[slot] = kLongText;
    FLongTextLength[quint32(slot)] = length;
}

QString TColumnStore::StringAt(int slot) const
{
    const quint32 begin = FTextBegin[size_t(slot)];
    const quint32 length = TextLength(size_t(slot));
    if (length == 0)
        return begin == kEmptyText ? QString::fromLatin1("", qsizetype(0)) : QString();
    if (FWide)
        return QString(reinterpret_cast<const QChar*>(FUtf16.data() + begin), qsizetype(length));
    return QString::fromLatin1(FLatin1.data() + begin, qsizetype(length));
}

QStringView TColumnStore::TextView(int slot, TextBuffer& buf) const
{
    const quint32 begin = FTextBegin[size_t(slot)];
    const quint32 length = TextLength(size_t(slot));
    if (length == 0)
        return QStringView();
    if (FWide)
        return QStringView(FUtf16.data() + begin, qsizetype(length));
    buf.resize(qsizetype(length));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(FLatin1.data() + begin);
    std::copy(p, p + length, buf.begin());
    return QStringView(buf.data(), qsizetype(length));
}

bool TColumnStore::TextEquals(quint64 begin, QStringView text) const
{
    if (FWide)
        return std::equal(text.begin(), text.end(), FUtf16.begin() + qsizetype(begin),
                          [](QChar a, char16_t b) { return a.unicode() == b; });
    const unsigned char* p = reinterpret_cast<const unsigned char*>(FLatin1.data() + begin);
    return std::equal(text.begin(), text.end(), p, [](QChar a, unsigned char b) { return a.unicode() == b; });
}

quint32 TColumnStore::AppendText(QStringView text)
{
    if (quint64(text.size()) > std::numeric_limits<quint32>::max())
        throw std::length_error("text too long for a column");
    if ((FWide ? FUtf16.size() : FLatin1.size()) >= kEmptyText)
        throw std::length_error("too many texts for a column");
    if (!FWide) {
        // Narrowed as it is copied, in one pass; the first character beyond Latin-1 undoes it.
        const size_t begin = FLatin1.size();
        FLatin1.resize(begin + size_t(text.size()));
        char* out = FLatin1.data() + begin;
        const char16_t* in = reinterpret_cast<const char16_t*>(text.utf16());
        bool latin1 = true;
        for (qsizetype i = 0, n = text.size(); i < n && latin1; ++i) {
            latin1 = in[i] < 0x100;
            out[i] = char(in[i]);
        }
        if (latin1)
            return quint32(begin);
        FLatin1.resize(begin);
        // The first text beyond Latin-1 turns the store to UTF-16; positions stay as they were.
        FUtf16.assign(FLatin1.begin(), FLatin1.end());
        std::transform(FLatin1.begin(), FLatin1.end(), FUtf16.begin(),
                       [](char c) { return char16_t(static_cast<unsigned char>(c)); });
        decltype(FLatin1)().swap(FLatin1);
        FWide = true;
    }
    const size_t begin = FUtf16.size();
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    FUtf16.insert(FUtf16.end(), p, p + text.size());
    return quint32(begin);
}

void TColumnStore::DropText(int slot)
{
    FGarbage += TextLength(size_t(slot));
    SetTextLength(size_t(slot), 0);
    FTextBegin[size_t(slot)] = 0;
    const quint64 stored = FWide ? FUtf16.size() : FLatin1.size();
    // Texts given up (edited or deleted records) are squeezed out once they are most of the
    // store, so that editing never grows it without end.
    if (FGarbage > 4096 && FGarbage * 2 > stored)
        Compact();
}

void TColumnStore::Compact()
{
    decltype(FLatin1) latin1;
    std::vector<char16_t> utf16;
    std::unordered_map<quint32, quint32> moved; // texts shared by several slots stay shared
    for (size_t i = 0; i < FTextLength.size(); ++i) {
        const quint32 length = TextLength(i);
        if (length == 0)
            continue;
        const quint32 begin = FTextBegin[i];
        const auto [it, added] = moved.try_emplace(begin, quint32(FWide ? utf16.size() : latin1.size()));
        if (added) {
            if (FWide)
                utf16.insert(utf16.end(), FUtf16.begin() + qsizetype(begin),
                             FUtf16.begin() + qsizetype(begin + length));
            else
                latin1.insert(latin1.end(), FLatin1.begin() + qsizetype(begin),
                              FLatin1.begin() + qsizetype(begin + length));
        }
        FTextBegin[i] = it->second;
    }
    FLatin1.swap(latin1);
    FUtf16.swap(utf16);
    FGarbage = 0;
    FRecent.fill(Recent());
}

void TColumnStore::SetBytes(int slot, const QByteArray& v)
{
    MarkSet(slot);
    FBytes[size_t(slot)] = v;
}

int TColumnStore::Compare(int a, int b, bool caseInsensitive) const
{
    const bool na = IsNull(a);
    const bool nb = IsNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (FKind) {
    case Kind::Int32: {
        const qint32 x = FI32[size_t(a)], y = FI32[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::Int64: {
        const qint64 x = FI64[size_t(a)], y = FI64[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::Double: {
        const double x = FDbl[size_t(a)], y = FDbl[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::String: {
        if (!FWide && !caseInsensitive) {
            // Latin-1 bytes order as their UTF-16 units do.
            const quint32 la = TextLength(size_t(a)), lb = TextLength(size_t(b));
            const int c = la == 0 || lb == 0 ? 0
                : std::memcmp(FLatin1.data() + FTextBegin[size_t(a)], FLatin1.data() + FTextBegin[size_t(b)],
                              std::min(la, lb));
            if (c != 0)
                return c < 0 ? -1 : 1;
            return la < lb ? -1 : (la > lb ? 1 : 0);
        }
        TextBuffer ba, bb;
        const int c = TextView(a, ba).compare(TextView(b, bb), caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case Kind::Bytes: {
        const int c = FBytes[size_t(a)].compare(FBytes[size_t(b)]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
    return 0;
}

int TColumnStore::CompareText(int slot, QStringView text, bool caseInsensitive) const
{
    TextBuffer buf;
    const int c = TextView(slot, buf).compare(text, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
