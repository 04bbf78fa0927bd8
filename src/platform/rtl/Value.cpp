#include "platform/rtl/Value.h"

#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/EVariantError.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

namespace {

// Rounds half to even, as the variant's float-to-integer conversion does, and checks the range.
bool RoundToInt64(double v, qint64& out)
{
    if (!std::isfinite(v))
        return false;
    const double r = std::nearbyint(v); // default rounding mode: ties to even
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        return false;
    out = static_cast<qint64>(r);
    return true;
}

} // namespace

Value::Value(const ValueArray& items) : FData(std::make_shared<const ValueArray>(items)) {}

Value::Value(ValueArray&& items) : FData(std::make_shared<const ValueArray>(std::move(items))) {}

Value Value::LargeInt(qint64 v)
{
    Value r;
    r.FData = Large{v};
    return r;
}

void Value::ThrowUnsignedRange()
{
    throw ERangeError(QStringLiteral("Range check error"));
}

QString Value::KindName(Kind kind)
{
    switch (kind) {
    case Kind::Null: return QStringLiteral("Null");
    case Kind::Boolean: return QStringLiteral("Boolean");
    case Kind::Integer: return QStringLiteral("Integer");
    case Kind::LargeInt: return QStringLiteral("Int64");
    case Kind::Float: return QStringLiteral("Double");
    case Kind::DateTime: return QStringLiteral("Date");
    case Kind::String: return QStringLiteral("String");
    case Kind::Array: return QStringLiteral("Array");
    }
    return QString();
}

QString Value::KindName() const
{
    return KindName(GetKind());
}

void Value::ThrowConvert(Kind to) const
{
    throw EVariantError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                            .arg(KindName(), KindName(to)));
}

bool Value::IsNumeric() const
{
    const Kind k = GetKind();
    return k == Kind::Integer || k == Kind::LargeInt || k == Kind::Float;
}

bool Value::IsOrdinal() const
{
    const Kind k = GetKind();
    return k == Kind::Boolean || k == Kind::Integer || k == Kind::LargeInt;
}

QString Value::AsString() const
{
    switch (GetKind()) {
    case Kind::Null: return QString();
    case Kind::Boolean: return std::get<bool>(FData) ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Integer: return QString::number(std::get<qint32>(FData));
    case Kind::LargeInt: return QString::number(std::get<Large>(FData).v);
    case Kind::Float: return FloatToStr(std::get<double>(FData));
    case Kind::DateTime: return DateTimeToStr(std::get<::DateTime>(FData));
    case Kind::String: return std::get<QString>(FData);
    case Kind::Array: ThrowConvert(Kind::String);
    }
    return QString();
}

qint64 Value::AsInt64() const
{
    switch (GetKind()) {
    case Kind::Null: return 0;
    case Kind::Boolean: return std::get<bool>(FData) ? 1 : 0;
    case Kind::Integer: return std::get<qint32>(FData);
    case Kind::LargeInt: return std::get<Large>(FData).v;
    case Kind::Float:
    case Kind::DateTime: {
        qint64 r;
        if (!RoundToInt64(AsFloat(), r))
            throw EVariantError(
                QStringLiteral("Overflow while converting variant of type (%1) into type (Int64)")
                    .arg(KindName()));
        return r;
    }
    case Kind::String: {
        const QString& s = std::get<QString>(FData);
        qint64 r;
        if (TryStrToInt64(s, r))
            return r;
        double d;
        if (TryStrToFloat(s, d)) {
            if (!RoundToInt64(d, r))
                throw EVariantError(QStringLiteral(
                    "Overflow while converting variant of type (String) into type (Int64)"));
            return r;
        }
        ThrowConvert(Kind::LargeInt);
    }
    case Kind::Array: ThrowConvert(Kind::LargeInt);
    }
    return 0;
}

qint32 Value::AsInteger() const
{
    if (GetKind() == Kind::Integer)
        return std::get<qint32>(FData);
    const qint64 v = AsInt64();
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        throw EVariantError(
            QStringLiteral("Overflow while converting variant of type (%1) into type (Integer)")
                .arg(KindName()));
    return static_cast<qint32>(v);
}

double Value::AsFloat() const
{
    switch (GetKind()) {
    case Kind::Null: return 0.0;
    case Kind::Boolean: return std::get<bool>(FData) ? 1.0 : 0.0;
    case Kind::Integer: return std::get<qint32>(FData);
    case Kind::LargeInt: return double(std::get<Large>(FData).v);
    case Kind::Float: return std::get<double>(FData);
    case Kind::DateTime: return std::get<::DateTime>(FData).Days();
    case Kind::String: {
        double d;
        if (TryStrToFloat(std::get<QString>(FData), d))
            return d;
        ThrowConvert(Kind::Float);
    }
    case Kind::Array: ThrowConvert(Kind::Float);
    }
    return 0.0;
}

bool Value::AsBoolean() const
{
    switch (GetKind()) {
    case Kind::Null: return false;
    case Kind::Boolean: return std::get<bool>(FData);
    case Kind::Integer: return std::get<qint32>(FData) != 0;
    case Kind::LargeInt: return std::get<Large>(FData).v != 0;
    case Kind::Float: return std::get<double>(FData) != 0.0;
    case Kind::DateTime: return std::get<::DateTime>(FData).Days() != 0.0;
    case Kind::String: {
        const QString s = std::get<QString>(FData).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        double d;
        if (TryStrToFloat(s, d))
            return d != 0.0;
        ThrowConvert(Kind::Boolean);
    }
    case Kind::Array: ThrowConvert(Kind::Boolean);
    }
    return false;
}

::DateTime Value::AsDateTime() const
{
    switch (GetKind()) {
    case Kind::Null: return ::DateTime(0.0);
    case Kind::DateTime: return std::get<::DateTime>(FData);
    case Kind::Integer:
    case Kind::LargeInt:
    case Kind::Float: return ::DateTime(AsFloat());
    case Kind::String: {
        ::DateTime r;
        if (TryStrToDateTime(std::get<QString>(FData), r))
            return r;
        ThrowConvert(Kind::DateTime);
    }
    case Kind::Boolean:
    case Kind::Array: ThrowConvert(Kind::DateTime);
    }
    return ::DateTime();
}

const ValueArray& Value::AsArray() const
{
    if (!IsArray())
        ThrowConvert(Kind::Array);
    return *std::get<std::shared_ptr<const ValueArray>>(FData);
}

int Value::Count() const
{
    if (IsNull())
        return 0;
    if (IsArray())
        return int(AsArray().size());
    return 1;
}

const Value& Value::operator[](int index) const
{
    const ValueArray& a = AsArray();
    if (index < 0 || size_t(index) >= a.size())
        throw ERangeError(QStringLiteral("Variant array index out of bounds"));
    return a[size_t(index)];
}

QVariant Value::ToQVariant() const
{
    switch (GetKind()) {
    case Kind::Null: return QVariant();
    case Kind::Boolean: return QVariant(std::get<bool>(FData));
    case Kind::Integer: return QVariant(int(std::get<qint32>(FData)));
    case Kind::LargeInt: return QVariant(qlonglong(std::get<Large>(FData).v));
    case Kind::Float: return QVariant(std::get<double>(FData));
    case Kind::DateTime: return QVariant(std::get<::DateTime>(FData).ToQDateTime());
    case Kind::String: return QVariant(std::get<QString>(FData));
    case Kind::Array: {
        QVariantList list;
        for (const Value& v : AsArray())
            list << v.ToQVariant();
        return list;
    }
    }
    return QVariant();
}

Value Value::FromQVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return Value();
    switch (v.typeId()) {
    case QMetaType::Bool: return Value(v.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::UShort:
    case QMetaType::UChar: return Value(v.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: return Value(qint64(v.toLongLong()));
    case QMetaType::ULong:
    case QMetaType::ULongLong: return Value(quint64(v.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float: return Value(v.toDouble());
    case QMetaType::QDate: return Value(::DateTime::FromQDate(v.toDate()));
    case QMetaType::QTime: return Value(::DateTime::FromQTime(v.toTime()));
    case QMetaType::QDateTime: return Value(::DateTime::FromQDateTime(v.toDateTime()));
    case QMetaType::QVariantList: {
        ValueArray items;
        for (const QVariant& item : v.toList())
            items.push_back(FromQVariant(item));
        return Value(std::move(items));
    }
    default: return Value(v.toString());
    }
}

namespace {

// Numbers (and booleans and dates) as a double for mixed comparisons.
bool NumberOf(const Value& v, double& out)
{
    switch (v.GetKind()) {
    case Value::Kind::Boolean:
    case Value::Kind::Integer:
    case Value::Kind::LargeInt:
    case Value::Kind::Float:
    case Value::Kind::DateTime: out = v.AsFloat(); return true;
    case Value::Kind::String: return TryStrToFloat(v.AsString(), out);
    default: return false;
    }
}


} // namespace

int Value::Compare(const Value& a, const Value& b, bool caseInsensitive)
{
    if (a.IsNull() || b.IsNull())
        return (a.IsNull() ? 0 : 1) - (b.IsNull() ? 0 : 1);
    if (a.IsArray() || b.IsArray()) {
        if (!a.IsArray() || !b.IsArray())
            return a.IsArray() ? 1 : -1;
        const ValueArray& x = a.AsArray();
        const ValueArray& y = b.AsArray();
        for (size_t i = 0; i < std::min(x.size(), y.size()); ++i)
            if (int c = Compare(x[i], y[i], caseInsensitive))
                return c;
        return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
    }
    if (a.IsString() && b.IsString()) {
        const int c = QString::compare(a.AsString(), b.AsString(),
                                       caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.IsOrdinal() && b.IsOrdinal()) {
        const qint64 x = a.AsInt64(), y = b.AsInt64();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    double x, y;
    if (NumberOf(a, x) && NumberOf(b, y)) {
        // NaN sorts before every number and equals only NaN, so sorting stays consistent.
        if (std::isnan(x) || std::isnan(y))
            return (std::isnan(x) ? 0 : 1) - (std::isnan(y) ? 0 : 1);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int c = QString::compare(a.AsString(), b.AsString(),
                                   caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool operator==(const Value& a, const Value& b)
{
    if (a.IsNull() || b.IsNull())
        return a.IsNull() && b.IsNull();
    return Value::Compare(a, b) == 0;
}

bool operator<(const Value& a, const Value& b)
{
    return !a.IsNull() && !b.IsNull() && Value::Compare(a, b) < 0;
}

bool operator>(const Value& a, const Value& b)
{
    return !a.IsNull() && !b.IsNull() && Value::Compare(a, b) > 0;
}

bool operator<=(const Value& a, const Value& b)
{
    return !a.IsNull() && !b.IsNull() && Value::Compare(a, b) <= 0;
}

bool operator>=(const Value& a, const Value& b)
{
    return !a.IsNull() && !b.IsNull() && Value::Compare(a, b) >= 0;
}
