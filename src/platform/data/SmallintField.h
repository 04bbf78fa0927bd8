#pragma once

#include "platform/data/IntegerField.h"

// 16-bit signed whole numbers.
class TSmallintField : public TIntegerField {
public:
    TSmallintField()
        : TIntegerField(TFieldType::ftSmallint)
    {
    }
};
