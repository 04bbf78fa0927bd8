#pragma once

#include "base/TCustomLargeSet.h"

#include <initializer_list>
#include <memory>

class TField;

// A sorted set of signed 32-bit integers.
class TLargeIntSet : public TCustomLargeSet
{
public:
    TLargeIntSet() = default;

    static std::unique_ptr<TLargeIntSet> CreateSet(std::initializer_list<int> aIntSet);

    int Add(int item) { return AddItem(item); }
    void Include(int item) { AddItem(item); }
    void Include(std::initializer_list<int> aIntSet);
    void Delete(int item) { DeleteItem(item); }
    void Exclude(int item) { DeleteItem(item); }
    void Exclude(std::initializer_list<int> aIntSet);
    bool Exists(int item) const { return ItemExists(item); }
    using TCustomLargeSet::Intersects;
    bool Intersects(std::initializer_list<int> aIntSet) const;
    // The value at that position in ascending order; throws EListError outside 0..count-1.
    int GetItem(int index) const;
    // Replaces the contents with the field's integer value of every record of its dataset;
    // the dataset's controls stay disabled meanwhile and its cursor comes back afterwards.
    void LoadFromDataSetField(TField* field);

protected:
    int Compare(qintptr a, qintptr b) const override;
};
