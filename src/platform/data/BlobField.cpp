#include "platform/data/BlobField.h"

#include "platform/data/EDatabaseError.h"

TBlobField::TBlobField(TFieldType dataType, int size)
    : TField(dataType, size)
{
}

QByteArray TBlobField::AsBytes() const
{
    return ReadStored().AsString().toLatin1();
}

void TBlobField::SetAsBytes(const QByteArray& bytes)
{
    WriteStored(::Value(QString::fromLatin1(bytes)));
}

QString TBlobField::GetText(bool displayText) const
{
    if (displayText) {
        switch (DataType()) {
        case TFieldType::ftMemo: return QStringLiteral("(MEMO)");
        case TFieldType::ftWideMemo: return QStringLiteral("(WIDEMEMO)");
        case TFieldType::ftBytes: return QStringLiteral("(BYTES)");
        default: return QStringLiteral("(BLOB)");
        }
    }
    return ReadStored().AsString();
}

void TBlobField::SetTextValue(const QString& text)
{
    SetValue(::Value(text));
}

void TBlobField::BindToColumn(TFieldType columnType, int /*columnSize*/)
{
    if (columnType != DataType())
        throw EDatabaseError(QStringLiteral("Type mismatch for field '%1'").arg(FieldName()));
}
