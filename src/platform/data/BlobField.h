#pragma once

#include "platform/data/Field.h"

#include <QByteArray>

// Binary data of any length. Grids show the kind's name in brackets, never the bytes.
class TBlobField : public TField {
public:
    explicit TBlobField(TFieldType dataType = TFieldType::ftBlob, int size = 0);

    TBlobCompressionType Compression() const { return FCompression; }
    void SetCompression(TBlobCompressionType compression) { FCompression = compression; }

    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray& bytes);

protected:
    QString GetText(bool displayText) const override;
    void SetTextValue(const QString& text) override;
    void BindToColumn(TFieldType columnType, int columnSize) override;

private:
    TBlobCompressionType FCompression = TBlobCompressionType::bcNone;
};
