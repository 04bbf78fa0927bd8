#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// Leaves the numbers of new slots unset: a new slot is null, and a null slot's number is never
// read, so zero-filling a column that a bulk append is about to fill would be wasted work.
template <class T>
struct TUninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = TUninitialisedAllocator<U>;
    };
    TUninitialisedAllocator() = default;
    template <class U>
    TUninitialisedAllocator(const TUninitialisedAllocator<U>&) noexcept
    {
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// One column of a dataset's records, kept as a typed array indexed by record slot with a null
// flag per slot. Record slots are never moved; orders are kept as arrays of slots elsewhere.
// Texts of a column live in one shared character store (one byte a character while every text
// is Latin-1), each slot holding where its text begins and how long it is: a heap string per
// cell would cost several times the text itself on large loads.
class TColumnStore {
public:
    enum class Kind { Int32, Int64, Double, String, Bytes };

    explicit TColumnStore(Kind kind = Kind::Int32);

    Kind StorageKind() const { return FKind; }
    int Count() const { return FCount; }

    void Resize(int count);
    void Reserve(int count);
    void Clear();

    bool IsNull(int slot) const { return (FNull[size_t(slot) >> 6] >> (size_t(slot) & 63)) & 1; }
    void SetNull(int slot);

    qint32 Int32At(int slot) const { return FI32[size_t(slot)]; }
    qint64 Int64At(int slot) const { return FI64[size_t(slot)]; }
    double DoubleAt(int slot) const { return FDbl[size_t(slot)]; }
    // The arrays behind Int32At and IsNull (a bit per slot, set for null), for walks over
    // every record that cannot afford a call per value.
    const qint32* Int32Data() const { return FI32.data(); }
    const quint64* NullData() const { return FNull.data(); }
    QString StringAt(int slot) const;
    const QByteArray& BytesAt(int slot) const { return FBytes[size_t(slot)]; }

    void SetInt32(int slot, qint32 v)
    {
        MarkSet(slot);
        FI32[size_t(slot)] = v;
    }
    void SetInt64(int slot, qint64 v)
    {
        MarkSet(slot);
        FI64[size_t(slot)] = v;
    }
    void SetDouble(int slot, double v)
    {
        MarkSet(slot);
        FDbl[size_t(slot)] = v;
    }
    void SetString(int slot, const QString& v);
    void SetBytes(int slot, const QByteArray& v);

    // Ordering of two slots: null first, then by value (text case-sensitive, or not).
    int Compare(int a, int b, bool caseInsensitive = false) const;
    // Ordering of a text slot's value against a text, as QString::compare orders them.
    int CompareText(int slot, QStringView text, bool caseInsensitive = false) const;

    // Releases the memory a deleted record's value holds.
    void Release(int slot) { SetNull(slot); }

private:
    // A slot's text as UTF-16, converted into buf when the store holds bytes.
    using TextBuffer = QVarLengthArray<char16_t, 256>;
    QStringView TextView(int slot, TextBuffer& buf) const;
    bool TextEquals(quint64 begin, QStringView text) const;
    quint32 AppendText(QStringView text);
    void DropText(int slot);
    quint32 TextLength(size_t slot) const
    {
        const quint8 length = FTextLength[slot];
        return length != kLongText ? length : FLongTextLength.at(quint32(slot));
    }
    void SetTextLength(size_t slot, quint32 length);
    void Compact();

    static constexpr quint32 kEmptyText = ~quint32(0); // an empty text that is not a null one
    static constexpr quint8 kLongText = 255; // the length is in FLongTextLength

    Kind FKind;
    void MarkNull(int slot) { FNull[size_t(slot) >> 6] |= quint64(1) << (size_t(slot) & 63); }
    void MarkSet(int slot) { FNull[size_t(slot) >> 6] &= ~(quint64(1) << (size_t(slot) & 63)); }

    int FCount = 0;
    std::vector<quint64> FNull; // a bit per slot, set for null
    // Numbers of null slots are unset (see TUninitialisedAllocator).
    std::vector<qint32, TUninitialisedAllocator<qint32>> FI32;
    std::vector<qint64, TUninitialisedAllocator<qint64>> FI64;
    std::vector<double, TUninitialisedAllocator<double>> FDbl;
    // In characters. Four bytes a slot, as there is one for every record: a column's texts
    // are held in up to 4G characters.
    std::vector<quint32> FTextBegin;
    // One byte a slot: nearly every text is short, and the few long ones are looked up by slot.
    std::vector<quint8> FTextLength;
    std::unordered_map<quint32, quint32> FLongTextLength;
    std::vector<char, TUninitialisedAllocator<char>> FLatin1; // the store while every text is Latin-1
    std::vector<char16_t> FUtf16; // the store after the first text that is not
    bool FWide = false;
    quint64 FGarbage = 0; // characters no slot may use any more (an estimate from above)
    // Texts written lately, by where their characters are: a text shared among many records
    // (the same string handed again) is stored once. Holding the string keeps its characters
    // from being freed or changed, so the same characters are the same text.
    struct Recent {
        QString Text;
        quint32 Begin = 0;
    };
    std::array<Recent, 64> FRecent{};
    std::vector<QByteArray> FBytes;
};
