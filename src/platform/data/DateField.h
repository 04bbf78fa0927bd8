#pragma once

#include "platform/data/DateTimeField.h"

// Dates without a time of day.
class TDateField : public TDateTimeField {
public:
    TDateField()
        : TDateTimeField(TFieldType::ftDate)
    {
    }
};
