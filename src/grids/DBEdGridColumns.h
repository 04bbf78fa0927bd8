#pragma once

#include "grids/DBEdGridTypes.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <vector>

class TCustomDBEdGrid;
class TEkColumn;

// An ordered collection of grid columns. It owns its columns; a column removes itself from
// the collection when it is destroyed. A grid owns three: the shown columns, the hidden
// ones and the design-time copy.
class TDBEdGridColumns {
public:
    using TColumnFactory = std::function<TEkColumn*(TDBEdGridColumns*)>;

    // ColumnClass makes one column of the collection's item class (a plain TEkColumn by default).
    explicit TDBEdGridColumns(TCustomDBEdGrid* Grid, TColumnFactory ColumnClass = {});
    virtual ~TDBEdGridColumns();
    TDBEdGridColumns(const TDBEdGridColumns&) = delete;
    TDBEdGridColumns& operator=(const TDBEdGridColumns&) = delete;

    TCustomDBEdGrid* Grid() const { return FGrid; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TEkColumn* Items(int Index) const;
    TEkColumn* operator[](int Index) const { return Items(Index); }
    // Copies the given column into the one at Index.
    void SetItems(int Index, const TEkColumn& Value);
    int IndexOf(const TEkColumn* Column) const;

    TEkColumn* Add();
    void Clear();
    void Delete(int Index);
    // Copies another collection: this one is emptied and one column added per source column.
    void Assign(const TDBEdGridColumns& Source);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Exact (case-sensitive) search by field name.
    TEkColumn* FindField(const QString& fname) const;
    void RestoreDefaults();
    void RebuildColumns();

    TDBEdGridColumnsState State() const;
    void SetState(TDBEdGridColumnsState Value);

    bool DescsModified() const { return FDescsModified; }
    void SetDescsModified(bool Value) { FDescsModified = Value; }

    // Saved layout: a UTF-8 JSON text holding the class name and each column's stored
    // properties. Loading reads and checks the whole text before the collection changes.
    void SaveToStream(QIODevice& S) const;
    void LoadFromStream(QIODevice& S);
    void SaveToFile(const QString& Filename) const;
    void LoadFromFile(const QString& Filename);

    // Change notice of a column (nullptr: all columns). Reaches the grid for its shown columns.
    virtual void Update(TEkColumn* Item);

    // Used by the columns themselves.
    void InsertItem(TEkColumn* Column);
    void RemoveItem(TEkColumn* Column);
    void MoveItem(int CurIndex, int NewIndex);
    void ItemChanged(TEkColumn* Item);

private:
    TCustomDBEdGrid* FGrid;
    TColumnFactory FColumnClass;
    std::vector<TEkColumn*> FItems;
    int FUpdateCount = 0;
    bool FDescsModified = false;
    bool FClearing = false;
};
