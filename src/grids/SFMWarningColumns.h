#pragma once

#include "grids/SFMWarningColumn.h"

#include <memory>
#include <vector>

class TCustomDBSfmGrid;
class TField;

// The warning columns of a grid.
class TSFMWarningColumns {
public:
    explicit TSFMWarningColumns(TCustomDBSfmGrid* AGrid = nullptr) : Grid(AGrid) {}

    TSFMWarningColumn* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside the columns.
    TSFMWarningColumn* Column(int Index) const;
    void Clear() { FItems.clear(); }
    // Copies the columns of another collection.
    void Assign(const TSFMWarningColumns& Source);
    // The first warning column whose FieldName is the field's name.
    bool FindColumn(TField* Field, TSFMWarningColumn*& WarningColumn) const;

    TCustomDBSfmGrid* Grid;

private:
    std::vector<std::unique_ptr<TSFMWarningColumn>> FItems;
};
