#include "import/HqcDiamTable.h"

#include <algorithm>

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

void THqcDiamTable::SortedRows(size_t first, size_t last, const QString& sCat,
                               std::vector<const THqcDiamRow*>& rows) const
{
    rows.clear();
    last = std::min(last, FRows.size());
    for (size_t i = first; i < last; ++i)
        if (FRows[i].MERIJ_CAT == sCat)
            rows.push_back(&FRows[i]);
    // Machines write the positions in order: most logs need no sorting at all.
    if (!std::is_sorted(rows.begin(), rows.end(), PositionLess))
        std::stable_sort(rows.begin(), rows.end(), PositionLess);
}
