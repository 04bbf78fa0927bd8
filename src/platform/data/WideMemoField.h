#pragma once

#include "platform/data/MemoField.h"

// Text of any length in wide characters.
class TWideMemoField : public TMemoField {
public:
    TWideMemoField()
        : TMemoField(TFieldType::ftWideMemo)
    {
    }
};
