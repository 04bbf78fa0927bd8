#include "import/HqcDiamTable.h"

#include <algorithm>

void THqcDiamTable::Append(THqcDiamRow row)
{
    FRows.push_back(std::move(row));
}

void THqcDiamTable::Clear()
{
    FRows.clear();
}

bool THqcDiamTable::PositionLess(const THqcDiamRow* a, const THqcDiamRow* b)
{
    if (!a->DIAM_POSITION || !b->DIAM_POSITION)
        return !a->DIAM_POSITION && b->DIAM_POSITION;
    return *a->DIAM_POSITION < *b->DIAM_POSITION;
}

std::vector<const THqcDiamRow*> THqcDiamTable::SortedRows(size_t first, size_t last, const QString& sCat) const
{
    std::vector<const THqcDiamRow*> result;
    last = std::min(last, FRows.size());
    for (size_t i = first; i < last; ++i)
        if (FRows[i].MERIJ_CAT == sCat)
            result.push_back(&FRows[i]);
    std::stable_sort(result.begin(), result.end(), PositionLess);
    return result;
}
