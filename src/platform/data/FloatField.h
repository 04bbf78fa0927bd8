#pragma once

#include "platform/data/Field.h"

// Floating-point numbers. Bound to a 16-bit or 32-bit integer column it keeps whole numbers:
// a value is rounded to the nearest integer (halves to even) and must lie within the column's
// range. MinValue/MaxValue check the range when either is not 0.
class TFloatField : public TField {
public:
    explicit TFloatField(TFieldType dataType = TFieldType::ftFloat);

    double MinValue() const { return m_minValue; }
    void SetMinValue(double value);
    double MaxValue() const { return m_maxValue; }
    void SetMaxValue(double value);
    int Precision() const { return m_precision; }
    void SetPrecision(int precision) { m_precision = precision; }
    TCurrencyValueType CurrencyValueType() const { return m_currencyValueType; }
    void SetCurrencyValueType(TCurrencyValueType type) { m_currencyValueType = type; }
    // Bytes a value takes in the record: 8, or 2 / 4 over an integer column.
    int DataSize() const { return m_newDataSize; }

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

    double m_minValue = 0;
    double m_maxValue = 0;
    int m_precision = 15;
    TCurrencyValueType m_currencyValueType = TCurrencyValueType::cvtNone;
    int m_newDataSize = 8;
};
