#include "platform/data/LargeintField.h"

#include "platform/rtl/DelphiFormat.h"

TLargeintField::TLargeintField()
    : TField(TFieldType::ftLargeint, 0)
{
    SetAlignment(TAlignment::taRightJustify);
}

QString TLargeintField::GetText(bool displayText) const
{
    const qint64 v = ReadStored().AsInt64();
    const QString& format = displayText ? DisplayFormat() : EditFormat();
    if (!format.isEmpty())
        return FormatFloat(format, double(v));
    return QString::number(v);
}

void TLargeintField::SetTextValue(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        Clear();
        return;
    }
    qint64 v = 0;
    if (!TryStrToInt64(text, v))
        RaiseConvertError(text, QStringLiteral("integer"));
    SetValue(::Value::LargeInt(v));
}
