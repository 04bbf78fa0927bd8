#pragma once

#include "platform/data/IndexDef.h"

#include <vector>

// The named orders defined for a dataset.
class TIndexDefs {
public:
    TIndexDef& Add(const QString& name, const QString& fields, TIndexOptions options = 0,
                   const QString& descFields = QString(), const QString& caseInsFields = QString());
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    const TIndexDef& Items(int index) const { return FItems.at(size_t(index)); }
    TIndexDef& Items(int index) { return FItems.at(size_t(index)); }
    // Position of the index of that name (letter case ignored), -1 when none.
    int IndexOf(const QString& name) const;
    // Raises EDatabaseError when there is no index of that name.
    const TIndexDef& Find(const QString& name) const;
    void Delete(int index) { FItems.erase(FItems.begin() + index); }
    // The definitions are always current; kept for callers that refresh them.
    void Update() { }

private:
    std::vector<TIndexDef> FItems;
};
