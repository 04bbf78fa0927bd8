#pragma once

#include "platform/data/Field.h"

// Date and time values. With a NullValue mode other than dnvNull, the stand-in dates 0..2
// (up to 1900-01-01) and/or 3000-01-01 count as "no date": IsNullValue reports them and the
// texts are empty for exactly those values.
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TFieldType dataType = TFieldType::ftDateTime);

    TDateNullValue NullValue() const { return FNullValue; }
    void SetNullValue(TDateNullValue value) { FNullValue = value; }
    TDateFieldContents FieldContents() const { return FFieldContents; }
    void SetFieldContents(TDateFieldContents contents) { FFieldContents = contents; }
    bool Timestamp() const { return FTimestamp; }
    void SetTimestamp(bool value) { FTimestamp = value; }
    bool IsNullValue() const { return GetIsNullValue(); }

    // The latest stand-in date, 3000-01-01.
    static double MaxDate();
    // The earliest stand-in date, 1900-01-01 (day 2).
    static constexpr double MinDate = 2.0;

    // Copies the value of another field and, from a date-time field, its null mode and kind.
    virtual void Assign(const TField& source);

protected:
    virtual bool GetIsNullValue() const;
    QString GetText(bool displayText) const override;
    ::Value FromStorage(const ::Value& stored) const override;
    ::Value ToStorage(const ::Value& value) const override;
    void SetTextValue(const QString& text) override;
    int DefaultDisplayWidth() const override;
    void BindToColumn(TFieldType columnType, int columnSize) override;

private:
    TDateNullValue FNullValue = TDateNullValue::dnvNull;
    TDateFieldContents FFieldContents = TDateFieldContents::dfcDate;
    bool FTimestamp = false;
};
