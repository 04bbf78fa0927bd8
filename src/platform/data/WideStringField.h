#pragma once

#include "platform/data/StringField.h"

// Text field of wide characters; behaves as a text field.
class TWideStringField : public TStringField {
public:
    explicit TWideStringField(int size = 20)
        : TStringField(size, TFieldType::ftWideString)
    {
    }

    TStringField* MultiLangParentField() const { return FMultiLangParentField; }
    void SetMultiLangParentField(TStringField* field) { FMultiLangParentField = field; }

private:
    TStringField* FMultiLangParentField = nullptr;
};
