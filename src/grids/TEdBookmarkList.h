#pragma once

#include "platform/data/Bookmark.h"

#include <vector>

class TCustomDBEdGrid;

// The grid's multi-row selection: bookmarks of the selected records, kept sorted in the
// dataset's bookmark order so that the question asked for every painted row ("is this record
// selected?") is a binary search, and usually one comparison thanks to a one-entry cache.
class TEdBookmarkList {
public:
    explicit TEdBookmarkList(TCustomDBEdGrid* AGrid);
    ~TEdBookmarkList();
    TEdBookmarkList(const TEdBookmarkList&) = delete;
    TEdBookmarkList& operator=(const TEdBookmarkList&) = delete;

    int Count() const { return static_cast<int>(FList.size()); }
    // Raises EListError for a position outside the list.
    TBookmark GetItem(int Index) const;
    TBookmark operator[](int Index) const { return GetItem(Index); }

    // Whether the current record is selected; raises on a closed link.
    bool CurrentRowSelected();
    // Adds or removes the current record, repaints its row and tells the grid.
    void SetCurrentRowSelected(bool Value);

    // Position of Item, or where it would go; answers whether it is there.
    bool Find(const TBookmark& Item, int& Index);
    int IndexOf(const TBookmark& Item);
    void Clear();
    // Deletes every selected record from the dataset, from the last to the first.
    void Delete();
    // Drops bookmarks of records that are gone; answers whether any was dropped.
    bool Refresh();
    // Empties the list; bookmarks can be taken only while the link is active.
    void LinkActive(bool Value);
    bool IsLinkActive() const { return FLinkActive; }

private:
    TBookmark CurrentBookmark() const;
    void ListChanged();
    void RemoveAt(int Index);

    std::vector<TBookmark> FList;
    TCustomDBEdGrid* FGrid;
    TBookmark FCache;
    int FCacheIndex = -1;
    bool FCacheFind = false;
    bool FLinkActive = false;
};
