#pragma once

#include "platform/data/FieldDef.h"

#include <vector>

// The column definitions of a dataset, in column order.
class TFieldDefs {
public:
    TFieldDef& Add(const QString& name, TFieldType dataType, int size = 0, bool required = false);
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    TFieldDef& Items(int index) { return FItems.at(size_t(index)); }
    const TFieldDef& Items(int index) const { return FItems.at(size_t(index)); }
    // Position of the definition of that name (letter case ignored), -1 when none.
    int IndexOf(const QString& name) const;
    // Raises EDatabaseError when there is no definition of that name.
    const TFieldDef& Find(const QString& name) const;

private:
    std::vector<TFieldDef> FItems;
};
