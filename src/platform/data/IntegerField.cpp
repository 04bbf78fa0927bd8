#include "platform/data/IntegerField.h"

#include "platform/data/EDatabaseError.h"
#include "platform/rtl/DelphiFormat.h"

#include <limits>

TIntegerField::TIntegerField(TFieldType dataType)
    : TField(dataType, 0)
{
    SetAlignment(TAlignment::taRightJustify);
}

qint64 TIntegerField::TypeMin() const
{
    switch (DataType()) {
    case TFieldType::ftSmallint: return std::numeric_limits<qint16>::min();
    case TFieldType::ftWord: return 0;
    default: return std::numeric_limits<qint32>::min();
    }
}

qint64 TIntegerField::TypeMax() const
{
    switch (DataType()) {
    case TFieldType::ftSmallint: return std::numeric_limits<qint16>::max();
    case TFieldType::ftWord: return std::numeric_limits<quint16>::max();
    default: return std::numeric_limits<qint32>::max();
    }
}

int TIntegerField::DefaultDisplayWidth() const
{
    switch (DataType()) {
    case TFieldType::ftSmallint: return 6;
    case TFieldType::ftWord: return 5;
    default: return 11;
    }
}

void TIntegerField::CheckRange(qint64 value) const
{
    qint64 lo = TypeMin(), hi = TypeMax();
    if (FMinValue != 0 || FMaxValue != 0) {
        lo = std::max(lo, FMinValue);
        hi = std::min(hi, FMaxValue);
    }
    if (value < lo || value > hi)
        throw EDatabaseError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                                 .arg(value)
                                 .arg(FieldName())
                                 .arg(lo)
                                 .arg(hi));
}

::Value TIntegerField::ToStorage(const ::Value& value) const
{
    const qint64 v = value.AsInt64();
    CheckRange(v);
    return ::Value(qint32(v));
}

QString TIntegerField::GetText(bool displayText) const
{
    const qint32 v = ReadStored().AsInteger();
    const QString& format = displayText ? DisplayFormat() : EditFormat();
    if (!format.isEmpty())
        return FormatFloat(format, double(v));
    return QString::number(v);
}

void TIntegerField::SetTextValue(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        Clear();
        return;
    }
    qint64 v = 0;
    if (!TryStrToInt64(text, v))
        RaiseConvertError(text, QStringLiteral("integer"));
    SetValue(::Value(v));
}
