#pragma once

#include "grids/TPopupListbox.h"
#include "platform/rtl/Value.h"

#include <vector>

class TDataSet;

// The drop-down list of a lookup cell: the records of the lookup dataset, each shown by its
// list field and standing for its key. It looks, searches and closes like the pick list.
class TPopupDataList : public TPopupListbox {
    Q_OBJECT
public:
    explicit TPopupDataList(TDBEditGridInplaceEdit* AEditor);

    // Reads every record of the dataset (its cursor comes back) and selects the row of the key.
    void Load(TDataSet* ADataSet, const QString& AKeyFields, const QString& AListField, const Value& AKeyValue);
    // The key of the selected row; the key the list was opened with while none is selected.
    Value KeyValue() const;
    const Value& RowKey(int ARow) const { return FKeys.at(static_cast<size_t>(ARow)); }

private:
    std::vector<Value> FKeys;
    Value FKeyValue;
};
