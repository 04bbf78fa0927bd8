#pragma once

#include "platform/data/BlobField.h"

// Binary data of a fixed size.
class TBytesField : public TBlobField {
public:
    explicit TBytesField(int size = 16)
        : TBlobField(TFieldType::ftBytes, size)
    {
    }
};
