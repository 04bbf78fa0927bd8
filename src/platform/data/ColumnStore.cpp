#include "platform/data/ColumnStore.h"

TColumnStore::TColumnStore(Kind kind)
    : m_kind(kind)
{
}

void TColumnStore::Resize(int count)
{
    m_null.resize(size_t(count), 1);
    switch (m_kind) {
    case Kind::Int32: m_i32.resize(size_t(count), 0); break;
    case Kind::Int64: m_i64.resize(size_t(count), 0); break;
    case Kind::Double: m_dbl.resize(size_t(count), 0.0); break;
    case Kind::String: m_str.resize(size_t(count)); break;
    case Kind::Bytes: m_bytes.resize(size_t(count)); break;
    }
}

void TColumnStore::Reserve(int count)
{
    m_null.reserve(size_t(count));
    switch (m_kind) {
    case Kind::Int32: m_i32.reserve(size_t(count)); break;
    case Kind::Int64: m_i64.reserve(size_t(count)); break;
    case Kind::Double: m_dbl.reserve(size_t(count)); break;
    case Kind::String: m_str.reserve(size_t(count)); break;
    case Kind::Bytes: m_bytes.reserve(size_t(count)); break;
    }
}

void TColumnStore::Clear()
{
    m_null.clear();
    m_i32.clear();
    m_i64.clear();
    m_dbl.clear();
    m_str.clear();
    m_bytes.clear();
}

void TColumnStore::SetNull(int slot)
{
    m_null[size_t(slot)] = 1;
    switch (m_kind) {
    case Kind::Int32: m_i32[size_t(slot)] = 0; break;
    case Kind::Int64: m_i64[size_t(slot)] = 0; break;
    case Kind::Double: m_dbl[size_t(slot)] = 0.0; break;
    case Kind::String: m_str[size_t(slot)] = QString(); break;
    case Kind::Bytes: m_bytes[size_t(slot)] = QByteArray(); break;
    }
}

void TColumnStore::SetInt32(int slot, qint32 v)
{
    m_null[size_t(slot)] = 0;
    m_i32[size_t(slot)] = v;
}

void TColumnStore::SetInt64(int slot, qint64 v)
{
    m_null[size_t(slot)] = 0;
    m_i64[size_t(slot)] = v;
}

void TColumnStore::SetDouble(int slot, double v)
{
    m_null[size_t(slot)] = 0;
    m_dbl[size_t(slot)] = v;
}

void TColumnStore::SetString(int slot, const QString& v)
{
    m_null[size_t(slot)] = 0;
    m_str[size_t(slot)] = v;
}

void TColumnStore::SetBytes(int slot, const QByteArray& v)
{
    m_null[size_t(slot)] = 0;
    m_bytes[size_t(slot)] = v;
}

int TColumnStore::Compare(int a, int b, bool caseInsensitive) const
{
    const bool na = m_null[size_t(a)] != 0;
    const bool nb = m_null[size_t(b)] != 0;
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
        const int c = QString::compare(m_str[size_t(a)], m_str[size_t(b)],
                                       caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case Kind::Bytes: {
        const int c = m_bytes[size_t(a)].compare(m_bytes[size_t(b)]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
    return 0;
}
