#pragma once

#include <QtGlobal>
#include <vector>

// An ordered set of pointer-sized values without duplicates; the order comes from Compare.
class TCustomLargeSet
{
public:
    TCustomLargeSet() = default;
    virtual ~TCustomLargeSet();
    TCustomLargeSet(const TCustomLargeSet&) = default;
    TCustomLargeSet& operator=(const TCustomLargeSet&) = default;

    void Clear();
    void Assign(const TCustomLargeSet& aSet);
    bool Intersects(const TCustomLargeSet& withSet) const;
    int IndexOfItem(qintptr value) const;
    // The position the value was put at, or -1 when it was there already.
    int AddItem(qintptr value);
    void DeleteItem(qintptr value);
    bool ItemExists(qintptr value) const;
    int ItemCount() const { return int(FItems.size()); }

protected:
    // Negative when a orders before b, 0 when equal, positive after.
    virtual int Compare(qintptr a, qintptr b) const = 0;
    // Throws EListError for an index outside the items.
    qintptr ItemAt(int index) const;

private:
    // Binary search: true and the position when found, else false and the insertion position.
    bool Find(qintptr value, int& index) const;

    std::vector<qintptr> FItems;
};
