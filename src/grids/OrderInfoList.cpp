#include "grids/OrderInfoList.h"

int TOrderInfoList::Add(int AFieldNo, TSortOrder ASortOrder)
{
    if (Count() >= MaxCount) {
        Items[MaxCount - 1] = {AFieldNo, ASortOrder};
        return MaxCount - 1;
    }
    Items.push_back({AFieldNo, ASortOrder});
    return Count() - 1;
}

int TOrderInfoList::IndexOfFieldNo(int AFieldNo) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items[i].FieldNo == AFieldNo)
            return i;
    return -1;
}
