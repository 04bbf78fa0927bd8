#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// One column of a dataset's records, kept as a typed array indexed by record slot with a null
// flag per slot. Record slots are never moved; orders are kept as arrays of slots elsewhere.
class TColumnStore {
public:
    enum class Kind { Int32, Int64, Double, String, Bytes };

    explicit TColumnStore(Kind kind = Kind::Int32);

    Kind StorageKind() const { return m_kind; }
    int Count() const { return int(m_null.size()); }

    void Resize(int count);
    void Reserve(int count);
    void Clear();

    bool IsNull(int slot) const { return m_null[size_t(slot)] != 0; }
    void SetNull(int slot);

    qint32 Int32At(int slot) const { return m_i32[size_t(slot)]; }
    qint64 Int64At(int slot) const { return m_i64[size_t(slot)]; }
    double DoubleAt(int slot) const { return m_dbl[size_t(slot)]; }
    const QString& StringAt(int slot) const { return m_str[size_t(slot)]; }
    const QByteArray& BytesAt(int slot) const { return m_bytes[size_t(slot)]; }

    void SetInt32(int slot, qint32 v);
    void SetInt64(int slot, qint64 v);
    void SetDouble(int slot, double v);
    void SetString(int slot, const QString& v);
    void SetBytes(int slot, const QByteArray& v);

    // Ordering of two slots: null first, then by value (text case-sensitive, or not).
    int Compare(int a, int b, bool caseInsensitive = false) const;

    // Releases the memory a deleted record's value holds.
    void Release(int slot) { SetNull(slot); }

private:
    Kind m_kind;
    std::vector<std::uint8_t> m_null;
    std::vector<qint32> m_i32;
    std::vector<qint64> m_i64;
    std::vector<double> m_dbl;
    std::vector<QString> m_str;
    std::vector<QByteArray> m_bytes;
};
