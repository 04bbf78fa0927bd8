#include "platform/data/StringField.h"

#include "platform/data/EDatabaseError.h"

TStringField::TStringField(int size, TFieldType dataType)
    : TField(dataType, size)
{
}

void TStringField::Assign(const TField& source)
{
    SetValue(source.Value());
    if (auto* text = dynamic_cast<const TStringField*>(&source))
        FFieldContents = text->FFieldContents;
}

QString TStringField::GetText(bool /*displayText*/) const
{
    return ReadStored().AsString();
}

::Value TStringField::ToStorage(const ::Value& value) const
{
    QString text = value.AsString();
    if (Size() > 0 && text.size() > Size())
        text.truncate(Size());
    return ::Value(std::move(text));
}

void TStringField::SetTextValue(const QString& text)
{
    SetValue(::Value(text));
}

void TStringField::BindToColumn(TFieldType columnType, int columnSize)
{
    if (!IsStringFieldType(columnType) || columnType == TFieldType::ftMemo || columnType == TFieldType::ftWideMemo)
        throw EDatabaseError(QStringLiteral("Type mismatch for field '%1'").arg(FieldName()));
    if (columnSize != Size())
        throw EDatabaseError(QStringLiteral("Size mismatch for field '%1'").arg(FieldName()));
}
