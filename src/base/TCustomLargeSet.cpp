#include "base/TCustomLargeSet.h"

#include "platform/rtl/EListError.h"

#include <QString>

TCustomLargeSet::~TCustomLargeSet() = default;

void TCustomLargeSet::Clear()
{
    m_items.clear();
}

void TCustomLargeSet::Assign(const TCustomLargeSet& aSet)
{
    if (&aSet != this)
        m_items = aSet.m_items;
}

bool TCustomLargeSet::Intersects(const TCustomLargeSet& withSet) const
{
    if (m_items.empty() || withSet.m_items.empty())
        return false;
    const bool walkOther = withSet.m_items.size() <= m_items.size();
    const TCustomLargeSet& small = walkOther ? withSet : *this;
    const TCustomLargeSet& large = walkOther ? *this : withSet;
    for (qintptr v : small.m_items)
        if (large.ItemExists(v))
            return true;
    return false;
}

bool TCustomLargeSet::Find(qintptr value, int& index) const
{
    int lo = 0;
    int hi = int(m_items.size()) - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = Compare(m_items[size_t(mid)], value);
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
    m_items.insert(m_items.begin() + i, value);
    return i;
}

void TCustomLargeSet::DeleteItem(qintptr value)
{
    int i;
    if (Find(value, i))
        m_items.erase(m_items.begin() + i);
}

bool TCustomLargeSet::ItemExists(qintptr value) const
{
    return IndexOfItem(value) != -1;
}

qintptr TCustomLargeSet::ItemAt(int index) const
{
    if (index < 0 || index >= ItemCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_items[size_t(index)];
}
