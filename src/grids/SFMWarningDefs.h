#pragma once

#include "grids/SFMWarningDef.h"

#include <memory>
#include <vector>

// The levels of one warning column, tried in order.
class TSFMWarningDefs {
public:
    TSFMWarningDef* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside the levels.
    TSFMWarningDef* WarningDef(int Index) const;
    void SetWarningDef(int Index, const TSFMWarningDef& Value);
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    void Assign(const TSFMWarningDefs& Source);

private:
    std::vector<std::unique_ptr<TSFMWarningDef>> FItems;
};
