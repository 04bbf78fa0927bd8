#pragma once

#include "platform/data/BlobField.h"

// Text of any length.
class TMemoField : public TBlobField {
public:
    explicit TMemoField(TFieldType dataType = TFieldType::ftMemo)
        : TBlobField(dataType, 0)
    {
    }
};
