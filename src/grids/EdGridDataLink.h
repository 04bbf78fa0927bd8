#pragma once

#include "platform/data/DataLink.h"

#include <QString>
#include <utility>
#include <vector>

class TCustomDBEdGrid;
class TField;

// The grid's link to its data source, with the field map: for each mapped column the index of
// its field in the dataset's field list, -1 for a missing field.
class TEdGridDataLink : public TDataLink {
public:
    explicit TEdGridDataLink(TCustomDBEdGrid* Grid);
    ~TEdGridDataLink() override;

    TCustomDBEdGrid* Grid() const { return FGrid; }
    int FieldCount() const { return FFieldCount; }
    bool SparseMap() const { return FSparseMap; }
    void SetSparseMap(bool Value) { FSparseMap = Value; }
    bool Modified() const { return FModified; }
    // No dataset, or fields made automatically (and, for a sparse map, no missing entry).
    bool DefaultFields() const;

    // Adds a column's field to the map; raises for too many entries.
    bool AddMapping(const QString& FieldName);
    void ClearMapping();
    int GetMappedIndex(int ColIndex) const;
    TField* GetFields(int I) const;

    // The editor's text was changed.
    void SetModified() { FModified = true; }
    void Reset();

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void FocusControl(TField** Field) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TCustomDBEdGrid* FGrid;
    int FFieldCount = 0;
    std::vector<int> FFieldMap;
    bool FModified = false;
    bool FInUpdateData = false;
    bool FSparseMap = false;
    // Free notices asked of the mapped fields; the id is -1 once the field is gone.
    std::vector<std::pair<TField*, int>> FNotices;
};
