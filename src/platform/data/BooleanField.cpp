#include "platform/data/BooleanField.h"

#include "platform/data/EDatabaseError.h"

TBooleanField::TBooleanField()
    : TField(TFieldType::ftBoolean, 0)
{
    SetDisplayValues(QStringLiteral("True;False"));
}

void TBooleanField::SetDisplayValues(const QString& values)
{
    const int sep = values.indexOf(QLatin1Char(';'));
    if (sep < 0 && !values.isEmpty())
        throw EDatabaseError(QStringLiteral("Invalid display values '%1' for field '%2'").arg(values, FieldName()));
    FDisplayValues = values;
    FTrueText = sep < 0 ? QStringLiteral("True") : values.left(sep);
    FFalseText = sep < 0 ? QStringLiteral("False") : values.mid(sep + 1);
    PropertyChanged(false);
}

QString TBooleanField::GetText(bool /*displayText*/) const
{
    return ReadStored().AsInteger() != 0 ? FTrueText : FFalseText;
}

::Value TBooleanField::FromStorage(const ::Value& stored) const
{
    return ::Value(stored.AsInteger() != 0);
}

::Value TBooleanField::ToStorage(const ::Value& value) const
{
    return ::Value(value.AsBoolean() ? 1 : 0);
}

void TBooleanField::SetTextValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        Clear();
        return;
    }
    if (t.compare(FTrueText, Qt::CaseInsensitive) == 0 || (!FTrueText.isEmpty() && FTrueText.startsWith(t, Qt::CaseInsensitive)))
        SetValue(::Value(true));
    else if (t.compare(FFalseText, Qt::CaseInsensitive) == 0 || (!FFalseText.isEmpty() && FFalseText.startsWith(t, Qt::CaseInsensitive)))
        SetValue(::Value(false));
    else
        RaiseConvertError(text, QStringLiteral("boolean"));
}
