#pragma once

#include "base/TSortOrder.h"

#include <vector>

// One key of a grid's sort order: the field's number in its dataset and the direction.
struct TOrderInfo {
    int FieldNo = -1;
    TSortOrder SortOrder = TSortOrder::soAscending;
    friend bool operator==(const TOrderInfo&, const TOrderInfo&) = default;
};

// The sort keys of a grid, first key first; never more than MaxCount keys.
class TOrderInfoList {
public:
    static constexpr int MaxCount = 1000;

    // Appends a key; on a full list the last key is overwritten instead. Answers its index.
    int Add(int AFieldNo, TSortOrder ASortOrder);
    void Clear() { Items.clear(); }
    int Count() const { return static_cast<int>(Items.size()); }
    // First index with that field number, -1 when none.
    int IndexOfFieldNo(int AFieldNo) const;
    friend bool operator==(const TOrderInfoList&, const TOrderInfoList&) = default;

    std::vector<TOrderInfo> Items;
};
