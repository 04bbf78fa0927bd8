#pragma once

#include "platform/data/FloatField.h"

// Decimal numbers; kept as floats of 15 significant digits.
class TBCDField : public TFloatField {
public:
    TBCDField()
        : TFloatField(TFieldType::ftBCD)
    {
    }
};
