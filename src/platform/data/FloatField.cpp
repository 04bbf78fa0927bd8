#include "platform/data/FloatField.h"

#include "platform/data/EDatabaseError.h"
#include "platform/rtl/DelphiFormat.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {
double ColumnMin(TFieldType t)
{
    return t == TFieldType::ftSmallint ? -32768.0 : -2147483648.0;
}
double ColumnMax(TFieldType t)
{
    return t == TFieldType::ftSmallint ? 32767.0 : 2147483647.0;
}
} // namespace

TFloatField::TFloatField(TFieldType dataType)
    : TField(dataType, 0)
{
    SetAlignment(TAlignment::taRightJustify);
}

bool TFloatField::OverIntegerColumn() const
{
    return DataType() == TFieldType::ftSmallint || DataType() == TFieldType::ftInteger;
}

void TFloatField::ClampRangeToColumn()
{
    if (!OverIntegerColumn())
        return;
    const double lo = ColumnMin(DataType()), hi = ColumnMax(DataType());
    FMinValue = std::clamp(FMinValue, lo, hi);
    FMaxValue = std::clamp(FMaxValue, lo, hi);
}

void TFloatField::SetMinValue(double value)
{
    FMinValue = value;
    ClampRangeToColumn();
}

void TFloatField::SetMaxValue(double value)
{
    FMaxValue = value;
    ClampRangeToColumn();
}

void TFloatField::Assign(const TField& source)
{
    SetValue(source.Value());
    if (auto* f = dynamic_cast<const TFloatField*>(&source))
        FCurrencyValueType = f->FCurrencyValueType;
}

void TFloatField::BindToColumn(TFieldType columnType, int columnSize)
{
    if (columnType == TFieldType::ftSmallint || columnType == TFieldType::ftInteger) {
        SetDataType(columnType);
        SetStorageType(TFieldType::ftInteger);
        FNewDataSize = columnType == TFieldType::ftSmallint ? 2 : 4;
        if (FMinValue == 0)
            FMinValue = ColumnMin(columnType);
        if (FMaxValue == 0)
            FMaxValue = ColumnMax(columnType);
        ClampRangeToColumn();
        return;
    }
    if (OverIntegerColumn()) {
        SetDataType(TFieldType::ftFloat);
        SetStorageType(TFieldType::ftFloat);
        FNewDataSize = 8;
        FMinValue = 0;
        FMaxValue = 0;
    }
    if (columnType != TFieldType::ftFloat && columnType != TFieldType::ftCurrency && columnType != TFieldType::ftBCD)
        throw EDatabaseError(QStringLiteral("Type mismatch for field '%1'").arg(FieldName()));
    (void)columnSize;
}

::Value TFloatField::FromStorage(const ::Value& stored) const
{
    return ::Value(stored.AsFloat());
}

::Value TFloatField::ToStorage(const ::Value& value) const
{
    const double v = value.AsFloat();
    if (std::isnan(v))
        throw EDatabaseError(QStringLiteral("Invalid floating point value for field '%1'").arg(FieldName()));
    if (FMinValue != 0 || FMaxValue != 0) {
        if (v < FMinValue || v > FMaxValue)
            throw EDatabaseError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                                     .arg(FloatToStr(v), FieldName(), FloatToStr(FMinValue), FloatToStr(FMaxValue)));
    }
    if (OverIntegerColumn()) {
        // Halves go to the even neighbour, as the column's integer conversion does.
        const int oldMode = std::fegetround();
        std::fesetround(FE_TONEAREST);
        const double r = std::nearbyint(v);
        std::fesetround(oldMode);
        if (r < ColumnMin(DataType()) || r > ColumnMax(DataType()))
            throw EDatabaseError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                                     .arg(FloatToStr(v), FieldName(), FloatToStr(ColumnMin(DataType())),
                                          FloatToStr(ColumnMax(DataType()))));
        return ::Value(qint32(r));
    }
    if (std::isinf(v))
        throw EDatabaseError(QStringLiteral("Invalid floating point value for field '%1'").arg(FieldName()));
    return ::Value(v);
}

QString TFloatField::GetText(bool displayText) const
{
    const double v = ReadStored().AsFloat();
    const QString& format = displayText ? DisplayFormat() : EditFormat();
    if (!format.isEmpty())
        return FormatFloat(format, v);
    if (displayText && DataType() == TFieldType::ftCurrency)
        return FormatFloat(QStringLiteral("#,##0.00"), v);
    return FloatToStr(v);
}

void TFloatField::SetTextValue(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        Clear();
        return;
    }
    double v = 0;
    if (!TryStrToFloat(text.trimmed(), v))
        RaiseConvertError(text, QStringLiteral("floating point"));
    SetValue(::Value(v));
}
