#pragma once

#include "platform/data/Field.h"

// Floating-point numbers. Bound to a 16-bit or 32-bit integer column it keeps whole numbers:
// a value is rounded to the nearest integer (halves to even) and must lie within the column's
// range. MinValue/MaxValue check the range when either is not 0.
class TFloatField : public TField {
public:
    explicit TFloatField(TFieldType dataType = TFieldType::ftFloat);

    double MinValue() const { return FMinValue; }
    void SetMinValue(double value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int precision) { FPrecision = precision; }
    TCurrencyValueType CurrencyValueType() const { return FCurrencyValueType; }
    void SetCurrencyValueType(TCurrencyValueType type) { FCurrencyValueType = type; }
    // Bytes a value takes in the record: 8, or 2 / 4 over an integer column.
    int DataSize() const { return FNewDataSize; }

    // Copies the value of another field and, from a float field, its currency value type.
    virtual void Assign(const TField& source);

protected:
    QString GetText(bool displayText) const override;
    ::Value FromStorage(const ::Value& stored) const override;
    ::Value ToStorage(const ::Value& value) const override;
    void SetTextValue(const QString& text) override;
    int DefaultDisplayWidth() const override { return 10; }
    TAlignment DefaultAlignment() const override { return TAlignment::taRightJustify; }
    void BindToColumn(TFieldType columnType, int columnSize) override;

private:
    bool OverIntegerColumn() const;
    // Keeps MinValue/MaxValue within the integer column's range.
    void ClampRangeToColumn();

    double FMinValue = 0;
    double FMaxValue = 0;
    int FPrecision = 15;
    TCurrencyValueType FCurrencyValueType = TCurrencyValueType::cvtNone;
    int FNewDataSize = 8;
};
