#pragma once

#include <QString>
#include <vector>

class TField;

// The column filters of a grid: one condition per item, "NAME=value" or "NAME=NULL", each
// either kept (the record must equal) or negated (it must not).
class TDynFilterList {
public:
    struct Item {
        QString Text;
        int Object = 0; // 0: equal, 1: not equal
        friend bool operator==(const Item&, const Item&) = default;
    };

    // A condition from the field's current value; replaces the list unless bAppend.
    void AddFilterFromField(TField* Field, bool bEqual, bool bAppend);
    // Removes every condition on the field.
    void DeleteForField(TField* Field);
    // The conditions joined for a dataset filter.
    QString FilterText() const;

    int Count() const { return static_cast<int>(Items.size()); }
    void Clear() { Items.clear(); }

    std::vector<Item> Items;
};
