#pragma once

#include "platform/data/Field.h"

// Whole numbers within the range of the field's type (32-bit unless a subclass narrows it);
// MinValue/MaxValue narrow it further when either is not 0.
class TIntegerField : public TField {
public:
    explicit TIntegerField(TFieldType dataType = TFieldType::ftInteger);

    qint64 MinValue() const { return FMinValue; }
    void SetMinValue(qint64 value) { FMinValue = value; }
    qint64 MaxValue() const { return FMaxValue; }
    void SetMaxValue(qint64 value) { FMaxValue = value; }

    // The range the type itself allows.
    qint64 TypeMin() const;
    qint64 TypeMax() const;

protected:
    QString GetText(bool displayText) const override;
    ::Value ToStorage(const ::Value& value) const override;
    void SetTextValue(const QString& text) override;
    int DefaultDisplayWidth() const override;
    TAlignment DefaultAlignment() const override { return TAlignment::taRightJustify; }
    void CheckRange(qint64 value) const;

private:
    qint64 FMinValue = 0;
    qint64 FMaxValue = 0;
};
