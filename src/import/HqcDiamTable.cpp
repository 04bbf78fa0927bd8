#include "import/HqcDiamTable.h"

#include <algorithm>

uint64_t THqcDiamTable::Key(int32_t koksNr, int32_t balkisNr)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(koksNr)) << 32) | static_cast<uint32_t>(balkisNr);
}

void THqcDiamTable::Append(THqcDiamRow row)
{
    // Rows always carry their tree and log numbers; the reader sets both.
    const uint64_t key = Key(row.KOKS_NR.value_or(0), row.BALKIS_NR.value_or(0));
    const size_t i = FRows.size();
    if (!FLastRuns || key != FLastKey) {
        FLastRuns = &FByLog[key];
        FLastKey = key;
    }
    if (!FLastRuns->empty() && FLastRuns->back().second == i)
        ++FLastRuns->back().second;
    else
        FLastRuns->emplace_back(i, i + 1);
    FRows.push_back(std::move(row));
}

void THqcDiamTable::Clear()
{
    FRows.clear();
    FByLog.clear();
    FLastRuns = nullptr;
    FLastKey = 0;
}

std::vector<const THqcDiamRow*> THqcDiamTable::LogRows(int32_t koksNr, int32_t balkisNr, const QString& sCat) const
{
    std::vector<const THqcDiamRow*> result;
    const auto it = FByLog.find(Key(koksNr, balkisNr));
    if (it == FByLog.end())
        return result;
    for (const auto& [first, last] : it->second)
        for (size_t i = first; i < last; ++i)
            if (FRows[i].MERIJ_CAT == sCat)
                result.push_back(&FRows[i]);
    std::stable_sort(result.begin(), result.end(), [](const THqcDiamRow* a, const THqcDiamRow* b) {
        // An empty position sorts before every number, as in an index.
        if (!a->DIAM_POSITION || !b->DIAM_POSITION)
            return !a->DIAM_POSITION && b->DIAM_POSITION;
        return *a->DIAM_POSITION < *b->DIAM_POSITION;
    });
    return result;
}
