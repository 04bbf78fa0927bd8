#pragma once

#include "platform/data/IntegerField.h"

// 16-bit unsigned whole numbers.
class TWordField : public TIntegerField {
public:
    TWordField()
        : TIntegerField(TFieldType::ftWord)
    {
    }
};
