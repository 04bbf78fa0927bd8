#include "platform/data/ColumnStore.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <functional>
#include <limits>
#include <unordered_map>

namespace {

bool IsLatin1(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

} // namespace

TColumnStore::TColumnStore(Kind kind)
    : m_kind(kind)
{
}

void TColumnStore::Resize(int count)
{
    // New slots are null: whole words at once, the bits of a partly used word one by one.
    const size_t oldWords = m_null.size();
    m_null.resize((size_t(count) + 63) / 64, ~quint64(0));
    for (int i = m_count; i < count && size_t(i) < oldWords * 64; ++i)
        MarkNull(i);
    m_count = count;
    switch (m_kind) {
    case Kind::Int32: m_i32.resize(size_t(count), 0); break;
    case Kind::Int64: m_i64.resize(size_t(count), 0); break;
    case Kind::Double: m_dbl.resize(size_t(count), 0.0); break;
    case Kind::String:
        for (size_t i = size_t(count); i < m_textLength.size(); ++i)
            m_garbage += m_textLength[i];
        m_textBegin.resize(size_t(count), 0);
        m_textLength.resize(size_t(count), 0);
        break;
    case Kind::Bytes: m_bytes.resize(size_t(count)); break;
    }
}

void TColumnStore::Reserve(int count)
{
    m_null.reserve((size_t(count) + 63) / 64);
    switch (m_kind) {
    case Kind::Int32: m_i32.reserve(size_t(count)); break;
    case Kind::Int64: m_i64.reserve(size_t(count)); break;
    case Kind::Double: m_dbl.reserve(size_t(count)); break;
    case Kind::String:
        m_textBegin.reserve(size_t(count));
        m_textLength.reserve(size_t(count));
        break;
    case Kind::Bytes: m_bytes.reserve(size_t(count)); break;
    }
}

void TColumnStore::Clear()
{
    m_null.clear();
    m_count = 0;
    m_i32.clear();
    m_i64.clear();
    m_dbl.clear();
    m_textBegin.clear();
    m_textLength.clear();
    m_latin1.clear();
    m_utf16.clear();
    m_wide = false;
    m_garbage = 0;
    m_recent.fill(Recent());
    m_bytes.clear();
}

void TColumnStore::SetNull(int slot)
{
    MarkNull(slot);
    switch (m_kind) {
    case Kind::Int32: m_i32[size_t(slot)] = 0; break;
    case Kind::Int64: m_i64[size_t(slot)] = 0; break;
    case Kind::Double: m_dbl[size_t(slot)] = 0.0; break;
    case Kind::String: DropText(slot); break;
    case Kind::Bytes: m_bytes[size_t(slot)] = QByteArray(); break;
    }
}

void TColumnStore::SetInt32(int slot, qint32 v)
{
    MarkSet(slot);
    m_i32[size_t(slot)] = v;
}

void TColumnStore::SetInt64(int slot, qint64 v)
{
    MarkSet(slot);
    m_i64[size_t(slot)] = v;
}

void TColumnStore::SetDouble(int slot, double v)
{
    MarkSet(slot);
    m_dbl[size_t(slot)] = v;
}

void TColumnStore::SetString(int slot, const QString& v)
{
    DropText(slot);
    MarkSet(slot);
    if (v.isEmpty()) {
        m_textBegin[size_t(slot)] = v.isNull() ? 0 : kEmptyText;
        return;
    }
    Recent& r = m_recent[(std::hash<const void*>()(v.constData()) >> 4) % m_recent.size()];
    quint64 begin;
    // Characters the string owns (not raw or static data) cannot change while it is held.
    const bool owned = v.data_ptr().isMutable();
    if (r.Text.constData() == v.constData() && r.Text.size() == v.size() && (owned || TextEquals(r.Begin, v))) {
        begin = r.Begin;
    } else {
        begin = AppendText(v);
        if (v.size() <= 256) // long texts are seldom shared, and not worth holding
            r = {v, begin};
    }
    m_textBegin[size_t(slot)] = begin;
    m_textLength[size_t(slot)] = quint32(v.size());
}

QString TColumnStore::StringAt(int slot) const
{
    const quint64 begin = m_textBegin[size_t(slot)];
    const quint32 length = m_textLength[size_t(slot)];
    if (length == 0)
        return begin == kEmptyText ? QString::fromLatin1("", qsizetype(0)) : QString();
    if (m_wide)
        return QString(reinterpret_cast<const QChar*>(m_utf16.data() + begin), qsizetype(length));
    return QString::fromLatin1(m_latin1.data() + begin, qsizetype(length));
}

QStringView TColumnStore::TextView(int slot, TextBuffer& buf) const
{
    const quint64 begin = m_textBegin[size_t(slot)];
    const quint32 length = m_textLength[size_t(slot)];
    if (length == 0)
        return QStringView();
    if (m_wide)
        return QStringView(m_utf16.data() + begin, qsizetype(length));
    buf.resize(qsizetype(length));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_latin1.data() + begin);
    std::copy(p, p + length, buf.begin());
    return QStringView(buf.data(), qsizetype(length));
}

bool TColumnStore::TextEquals(quint64 begin, QStringView text) const
{
    if (m_wide)
        return std::equal(text.begin(), text.end(), m_utf16.begin() + qsizetype(begin),
                          [](QChar a, char16_t b) { return a.unicode() == b; });
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_latin1.data() + begin);
    return std::equal(text.begin(), text.end(), p, [](QChar a, unsigned char b) { return a.unicode() == b; });
}

quint64 TColumnStore::AppendText(QStringView text)
{
    if (quint64(text.size()) > std::numeric_limits<quint32>::max())
        throw std::length_error("text too long for a column");
    if (!m_wide && !IsLatin1(text)) {
        // The first text beyond Latin-1 turns the store to UTF-16; positions stay as they were.
        m_utf16.assign(m_latin1.begin(), m_latin1.end());
        std::transform(m_latin1.begin(), m_latin1.end(), m_utf16.begin(),
                       [](char c) { return char16_t(static_cast<unsigned char>(c)); });
        std::vector<char>().swap(m_latin1);
        m_wide = true;
    }
    const quint64 begin = m_wide ? m_utf16.size() : m_latin1.size();
    if (m_wide) {
        const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
        m_utf16.insert(m_utf16.end(), p, p + text.size());
    } else {
        m_latin1.resize(size_t(begin) + size_t(text.size()));
        std::transform(text.begin(), text.end(), m_latin1.begin() + qsizetype(begin),
                       [](QChar c) { return char(c.unicode()); });
    }
    return begin;
}

void TColumnStore::DropText(int slot)
{
    quint32& length = m_textLength[size_t(slot)];
    m_garbage += length;
    length = 0;
    m_textBegin[size_t(slot)] = 0;
    const quint64 stored = m_wide ? m_utf16.size() : m_latin1.size();
    // Texts given up (edited or deleted records) are squeezed out once they are most of the
    // store, so that editing never grows it without end.
    if (m_garbage > 4096 && m_garbage * 2 > stored)
        Compact();
}

void TColumnStore::Compact()
{
    std::vector<char> latin1;
    std::vector<char16_t> utf16;
    std::unordered_map<quint64, quint64> moved; // texts shared by several slots stay shared
    for (size_t i = 0; i < m_textLength.size(); ++i) {
        const quint32 length = m_textLength[i];
        if (length == 0)
            continue;
        const quint64 begin = m_textBegin[i];
        const auto [it, added] = moved.try_emplace(begin, m_wide ? utf16.size() : latin1.size());
        if (added) {
            if (m_wide)
                utf16.insert(utf16.end(), m_utf16.begin() + qsizetype(begin),
                             m_utf16.begin() + qsizetype(begin + length));
            else
                latin1.insert(latin1.end(), m_latin1.begin() + qsizetype(begin),
                              m_latin1.begin() + qsizetype(begin + length));
        }
        m_textBegin[i] = it->second;
    }
    m_latin1.swap(latin1);
    m_utf16.swap(utf16);
    m_garbage = 0;
    m_recent.fill(Recent());
}

void TColumnStore::SetBytes(int slot, const QByteArray& v)
{
    MarkSet(slot);
    m_bytes[size_t(slot)] = v;
}

int TColumnStore::Compare(int a, int b, bool caseInsensitive) const
{
    const bool na = IsNull(a);
    const bool nb = IsNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (m_kind) {
    case Kind::Int32: {
        const qint32 x = m_i32[size_t(a)], y = m_i32[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::Int64: {
        const qint64 x = m_i64[size_t(a)], y = m_i64[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::Double: {
        const double x = m_dbl[size_t(a)], y = m_dbl[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::String: {
        if (!m_wide && !caseInsensitive) {
            // Latin-1 bytes order as their UTF-16 units do.
            const quint32 la = m_textLength[size_t(a)], lb = m_textLength[size_t(b)];
            const int c = la == 0 || lb == 0 ? 0
                : std::memcmp(m_latin1.data() + m_textBegin[size_t(a)], m_latin1.data() + m_textBegin[size_t(b)],
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
        const int c = m_bytes[size_t(a)].compare(m_bytes[size_t(b)]);
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
