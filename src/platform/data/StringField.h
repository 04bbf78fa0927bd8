#pragma once

#include "platform/data/Field.h"

// Text of at most Size characters; a longer text is cut when stored.
class TStringField : public TField {
public:
    using TGetFieldContentsEvent
        = std::function<void(TField* Sender, const QString& Text, TStringFieldContents& FieldContents)>;

    explicit TStringField(int size = 20, TFieldType dataType = TFieldType::ftString);

    TStringFieldContents FieldContents() const { return FFieldContents; }
    void SetFieldContents(TStringFieldContents contents) { FFieldContents = contents; }
    // Lets an export decide the kind of one value.
    TGetFieldContentsEvent OnGetFieldContents;

    // Copies the value of another field and, from a text field, its content kind.
    virtual void Assign(const TField& source);

protected:
    QString GetText(bool displayText) const override;
    ::Value ToStorage(const ::Value& value) const override;
    void SetTextValue(const QString& text) override;
    int DefaultDisplayWidth() const override { return Size(); }
    void BindToColumn(TFieldType columnType, int columnSize) override;

private:
    TStringFieldContents FFieldContents = TStringFieldContents::sfcGeneral;
};
