#pragma once

class TKpImageList;

// The 11 x 11 row-state glyphs shared by all data grids: 0 current record, 1 editing,
// 2 inserting, 3 selected, 4 selected current, 5 to 7 pending cached insert, update, delete.
// Each grid acquires the list when it is made and releases it when it dies; the list lives
// while any grid does.
class GridIndicatorImages {
public:
    static void Acquire();
    static void Release();
    // The list; nullptr while no grid holds it.
    static TKpImageList* List();
    static int HolderCount();
};
