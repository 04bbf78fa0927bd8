#include "grids/TEdBookmarkList.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/EInvalidGridOperation.h"
#include "platform/data/DataSet.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/EListError.h"

#include <QScopeGuard>

TEdBookmarkList::TEdBookmarkList(TCustomDBEdGrid* AGrid) : FGrid(AGrid) {}

TEdBookmarkList::~TEdBookmarkList() { FList.clear(); }

TBookmark TEdBookmarkList::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(QStringLiteral("Argument out of range"));
    return FList[static_cast<size_t>(Index)];
}

TBookmark TEdBookmarkList::CurrentBookmark() const
{
    if (!FLinkActive)
        throw EInvalidGridOperation(QStringLiteral("Cannot perform this operation on a closed dataset"));
    TDataSet* ds = FGrid->LinkDataSet();
    return ds ? ds->GetBookmark() : TBookmark{};
}

bool TEdBookmarkList::CurrentRowSelected()
{
    const TBookmark current = CurrentBookmark();
    int index = 0;
    return !current.IsEmpty() && Find(current, index);
}

void TEdBookmarkList::SetCurrentRowSelected(bool Value)
{
    const TBookmark current = CurrentBookmark();
    if (current.IsEmpty())
        return;
    int index = 0;
    if (Find(current, index) == Value)
        return;
    if (Value)
        FList.insert(FList.begin() + index, current);
    else
        FList.erase(FList.begin() + index);
    ListChanged();
    FGrid->InvalidateRow(FGrid->Row());
    if (FGrid->OnSelectionChanged)
        FGrid->OnSelectionChanged(FGrid);
}

bool TEdBookmarkList::Find(const TBookmark& Item, int& Index)
{
    if (FCacheIndex >= 0 && Item == FCache) {
        Index = FCacheIndex;
        return FCacheFind;
    }
    TDataSet* ds = FGrid->LinkDataSet();
    int L = 0, H = Count() - 1;
    bool found = false;
    while (L <= H) {
        const int I = (L + H) / 2;
        const TBookmark& b = FList[static_cast<size_t>(I)];
        const int C = ds ? ds->CompareBookmarks(b, Item) : (b < Item ? -1 : (Item < b ? 1 : 0));
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0) {
                found = true;
                L = I;
            }
        }
    }
    Index = L;
    FCache = Item;
    FCacheIndex = L;
    FCacheFind = found;
    return found;
}

int TEdBookmarkList::IndexOf(const TBookmark& Item)
{
    int index = -1;
    return Find(Item, index) ? index : -1;
}

void TEdBookmarkList::ListChanged()
{
    FCache = TBookmark{};
    FCacheIndex = -1;
}

void TEdBookmarkList::RemoveAt(int Index)
{
    FList.erase(FList.begin() + Index);
    ListChanged();
}

void TEdBookmarkList::Clear()
{
    if (FList.empty())
        return;
    FList.clear();
    ListChanged();
    FGrid->InvalidateGrid();
}

void TEdBookmarkList::Delete()
{
    TDataSet* ds = FGrid->LinkDataSet();
    if (!ds)
        return;
    const TDataSetGuard still(ds, TDataSetGuard::Controls);
    for (int i = Count() - 1; i >= 0; --i) {
        ds->GotoBookmark(FList[static_cast<size_t>(i)]);
        ds->Delete();
        RemoveAt(i);
    }
}

bool TEdBookmarkList::Refresh()
{
    TDataSet* ds = FGrid->LinkDataSet();
    if (!ds)
        return false;
    bool removed = false;
    // The in-memory dataset's cursor needs no resync; only the painted rows may be stale.
    const auto finish = qScopeGuard([&] {
        if (removed)
            FGrid->InvalidateGrid();
    });
    ds->CheckBrowseMode();
    for (int i = Count() - 1; i >= 0; --i)
        if (!ds->BookmarkValid(FList[static_cast<size_t>(i)])) {
            RemoveAt(i);
            removed = true;
        }
    return removed;
}

void TEdBookmarkList::LinkActive(bool Value)
{
    Clear();
    FLinkActive = Value;
}
