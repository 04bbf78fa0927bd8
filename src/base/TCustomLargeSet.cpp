#include "base/TCustomLargeSet.h"

#include "platform/rtl/EListError.h"

#include <QString>

TCustomLargeSet::~TCustomLargeSet() = default;

void TCustomLargeSet::Clear()
{
    FItems.clear();
}

void TCustomLargeSet::Assign(const TCustomLargeSet& aSet)
{
    if (&aSet != this)
        FItems = aSet.FItems;
}

bool TCustomLargeSet::Intersects(const TCustomLargeSet& withSet) const
{
    if (FItems.empty() || withSet.FItems.empty())
        return false;
    const bool walkOther = withSet.FItems.size() <= FItems.size();
    const TCustomLargeSet& small = walkOther ? withSet : *this;
    const TCustomLargeSet& large = walkOther ? *this : withSet;
    for (qintptr v : small.FItems)
        if (large.ItemExists(v))
            return true;
    return false;
}

bool TCustomLargeSet::Find(qintptr value, int& index) const
{
    int lo = 0;
    int hi = int(FItems.size()) - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = Compare(FItems[size_t(mid)], value);
        if (c < 0) {
            lo = mid + 1;
        } else if (c > 0) {
            hi = mid - 1;
        } else {
            index = mid;
            return true;
        }
    }
    index = lo;
    return false;
}

int TCustomLargeSet::IndexOfItem(qintptr value) const
{
    int i;
    return Find(value, i) ? i : -1;
}

int TCustomLargeSet::AddItem(qintptr value)
{
    int i;
    if (Find(value, i))
        return -1;
    FItems.insert(FItems.begin() + i, value);
    return i;
}

void TCustomLargeSet::DeleteItem(qintptr value)
{
    int i;
    if (Find(value, i))
        FItems.erase(FItems.begin() + i);
}

bool TCustomLargeSet::ItemExists(qintptr value) const
{
    return IndexOfItem(value) != -1;
}

qintptr TCustomLargeSet::ItemAt(int index) const
{
    if (index < 0 || index >= ItemCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return FItems[size_t(index)];
}
