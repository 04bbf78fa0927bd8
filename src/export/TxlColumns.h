#pragma once

#include "export/TxlColumn.h"

#include <memory>
#include <vector>

class TDocumentExportBase;

// The exported columns of one exporter, which owns them.
class TxlColumns
{
public:
    explicit TxlColumns(TDocumentExportBase* owner);
    TxlColumns(const TxlColumns&) = delete;
    TxlColumns& operator=(const TxlColumns&) = delete;

    TDocumentExportBase* Owner() const { return FOwner; }
    int Count() const { return int(FItems.size()); }
    // A new column at the end, bound to the owner's dataset.
    TxlColumn& Add();
    // Throws EListError outside the collection.
    TxlColumn& Items(int index) const;
    TxlColumn& GetItem(int index) const { return Items(index); }
    void SetItem(int index, const TxlColumn& value) { Items(index).Assign(value); }
    void Clear() { FItems.clear(); }
    void Assign(const TxlColumns& source);
    int IndexOf(const TxlColumn* column) const;

    bool HasAggregateFields() const;
    int DisplayFormatedCount() const;

private:
    TDocumentExportBase* FOwner;
    std::vector<std::unique_ptr<TxlColumn>> FItems;
};
