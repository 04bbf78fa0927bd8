#pragma once

#include "platform/data/DateTimeField.h"

// Times of day without a date.
class TTimeField : public TDateTimeField {
public:
    TTimeField()
        : TDateTimeField(TFieldType::ftTime)
    {
    }
};
