#include "platform/data/DateTimeField.h"

#include "platform/data/EDatabaseError.h"
#include "platform/rtl/DelphiFormat.h"

#include <cmath>

TDateTimeField::TDateTimeField(TFieldType dataType)
    : TField(dataType, 0)
{
}

double TDateTimeField::MaxDate()
{
    static const double value = DateTime::EncodeDate(3000, 1, 1).Days();
    return value;
}

void TDateTimeField::Assign(const TField& source)
{
    SetValue(source.Value());
    if (auto* f = dynamic_cast<const TDateTimeField*>(&source)) {
        FNullValue = f->FNullValue;
        FFieldContents = f->FFieldContents;
    }
}

int TDateTimeField::DefaultDisplayWidth() const
{
    switch (DataType()) {
    case TFieldType::ftDate: return 10;
    case TFieldType::ftTime: return 10;
    default: return 18;
    }
}

void TDateTimeField::BindToColumn(TFieldType columnType, int /*columnSize*/)
{
    if (columnType != TFieldType::ftDate && columnType != TFieldType::ftTime && columnType != TFieldType::ftDateTime)
        throw EDatabaseError(QStringLiteral("Type mismatch for field '%1'").arg(FieldName()));
}

bool TDateTimeField::GetIsNullValue() const
{
    const ::Value stored = ReadStored();
    const bool isNull = stored.IsNull();
    const double v = isNull ? 0.0 : stored.AsFloat();
    const bool minDat = !isNull && v >= 0 && v <= MinDate;
    const bool maxDat = !isNull && v == MaxDate();
    switch (FNullValue) {
    case TDateNullValue::dnvNull: return isNull;
    case TDateNullValue::dnvMinDat: return minDat;
    case TDateNullValue::dnvMaxDat: return maxDat;
    case TDateNullValue::dnvBoth: return minDat || maxDat;
    case TDateNullValue::dnvMinDatNull: return minDat || isNull;
    case TDateNullValue::dnvMaxDatNull: return maxDat || isNull;
    case TDateNullValue::dnvBothNull: return minDat || maxDat || isNull;
    }
    return isNull;
}

::Value TDateTimeField::FromStorage(const ::Value& stored) const
{
    return ::Value(DateTime(stored.AsFloat()));
}

::Value TDateTimeField::ToStorage(const ::Value& value) const
{
    DateTime v = value.AsDateTime();
    if (!std::isfinite(v.Days()))
        throw EDatabaseError(QStringLiteral("Invalid date value for field '%1'").arg(FieldName()));
    if (DataType() == TFieldType::ftDate)
        v = v.DateOf();
    else if (DataType() == TFieldType::ftTime)
        v = v.TimeOf();
    return ::Value(v.Days());
}

QString TDateTimeField::GetText(bool displayText) const
{
    // The text is empty for exactly the values IsNullValue counts as "no date".
    if (FNullValue != TDateNullValue::dnvNull && GetIsNullValue())
        return QString();
    const DateTime v(ReadStored().AsFloat());
    const FormatSettings& fs = FormatSettings::Default();
    if (displayText && !DisplayFormat().isEmpty())
        return FormatDateTime(DisplayFormat(), v, fs);
    switch (DataType()) {
    case TFieldType::ftDate: return FormatDateTime(fs.ShortDateFormat, v, fs);
    case TFieldType::ftTime: return FormatDateTime(fs.LongTimeFormat, v, fs);
    default: return DateTimeToStr(v, fs);
    }
}

void TDateTimeField::SetTextValue(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        Clear();
        return;
    }
    DateTime v;
    bool ok = false;
    switch (DataType()) {
    case TFieldType::ftDate: ok = TryStrToDate(text.trimmed(), v); break;
    case TFieldType::ftTime: ok = TryStrToTime(text.trimmed(), v); break;
    default: ok = TryStrToDateTime(text.trimmed(), v); break;
    }
    if (!ok)
        RaiseConvertError(text, DataType() == TFieldType::ftTime ? QStringLiteral("time") : QStringLiteral("date"));
    SetValue(::Value(v));
}
