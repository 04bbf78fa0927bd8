#pragma once

#include "platform/data/FloatField.h"

// Money amounts: a float field shown with two decimals.
class TCurrencyField : public TFloatField {
public:
    TCurrencyField()
        : TFloatField(TFieldType::ftCurrency)
    {
    }
};
