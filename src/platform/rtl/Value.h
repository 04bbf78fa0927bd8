#pragma once

#include "platform/rtl/DateTime.h"

#include <QString>
#include <QVariant>
#include <concepts>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

class Value;
// Several values at once, as a key of more than one field.
using ValueArray = std::vector<Value>;

// The program's variant. Its rules: a null converts to 0, false or an empty text instead of
// failing; an ordering comparison (<, >, <=, >=) with a null on either side is false; an integer
// put in is a 32-bit Integer (a 64-bit one only when it does not fit in 32 bits). Conversions
// that cannot be done throw EVariantError (or EConvertError for a text that is no number/date).
class Value
{
public:
    enum class Kind { Null, Boolean, Integer, LargeInt, Float, DateTime, String, Array };

    Value() = default;
    Value(bool v) : FData(v) {}
    Value(double v) : FData(v) {}
    Value(float v) : FData(double(v)) {}
    Value(long double v) : FData(double(v)) {}
    Value(::DateTime v) : FData(v) {}
    Value(const QString& v) : FData(v) {}
    Value(QString&& v) : FData(std::move(v)) {}
    Value(const char* utf8) : FData(QString::fromUtf8(utf8)) {}
    Value(QLatin1String v) : FData(QString(v)) {}
    Value(QStringView v) : FData(v.toString()) {}
    Value(const ValueArray& items);
    Value(ValueArray&& items);

    // Every integer type: 32-bit Integer when it fits, else LargeInt; an unsigned 64-bit value
    // beyond the signed range throws ERangeError.
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char16_t>
                 && !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>)
    Value(T v)
    {
        if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(qint64)) {
            if (v > static_cast<T>(INT64_MAX))
                ThrowUnsignedRange();
        }
        const qint64 w = static_cast<qint64>(v);
        if (w >= INT32_MIN && w <= INT32_MAX)
            FData = static_cast<qint32>(w);
        else
            FData = Large{w};
    }

    static Value Null() { return Value(); }
    // A LargeInt even when the number would fit in 32 bits (a 64-bit field's value).
    static Value LargeInt(qint64 v);

    Kind GetKind() const { return static_cast<Kind>(FData.index()); }
    bool IsNull() const { return GetKind() == Kind::Null; }
    bool IsArray() const { return GetKind() == Kind::Array; }
    bool IsNumeric() const;  // Integer, LargeInt, Float
    bool IsOrdinal() const;  // Boolean, Integer, LargeInt
    bool IsString() const { return GetKind() == Kind::String; }
    bool IsDateTime() const { return GetKind() == Kind::DateTime; }

    // Text of the value: Null gives "", booleans "True"/"False", numbers and dates as the
    // default format settings write them.
    QString AsString() const;
    qint32 AsInteger() const;
    qint64 AsInt64() const;
    double AsFloat() const;
    bool AsBoolean() const;
    ::DateTime AsDateTime() const;
    // The items of an array; throws EVariantError for any other kind.
    const ValueArray& AsArray() const;
    // Number of items of an array, else 0 for Null and 1 for any single value.
    int Count() const;
    const Value& operator[](int index) const;

    QString KindName() const;
    static QString KindName(Kind kind);

    // Qt boundary.
    QVariant ToQVariant() const;
    static Value FromQVariant(const QVariant& v);

    // Three-way comparison for sorting: null before everything; numbers by value; texts
    // case-sensitive unless caseInsensitive; mixed kinds compared as numbers when both can be
    // read as numbers, otherwise as texts.
    static int Compare(const Value& a, const Value& b, bool caseInsensitive = false);

    friend bool operator==(const Value& a, const Value& b);
    friend bool operator<(const Value& a, const Value& b);
    friend bool operator>(const Value& a, const Value& b);
    friend bool operator<=(const Value& a, const Value& b);
    friend bool operator>=(const Value& a, const Value& b);

private:
    [[noreturn]] static void ThrowUnsignedRange();
    [[noreturn]] void ThrowConvert(Kind to) const;

    struct Large
    {
        qint64 v;
    };

    std::variant<std::monostate, bool, qint32, Large, double, ::DateTime, QString,
                 std::shared_ptr<const ValueArray>>
        FData;
};
