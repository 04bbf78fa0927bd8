#include "grids/DBEditGrid.h"

TDBEditGrid::TDBEditGrid(QWidget* parent)
    : TCustomDBSfmGrid(parent)
{
    SetDoSort(false);
    SetDoFilter(false);
    FUseDisplayTextForFinds = true;
    SetExtOptions(geoFocusRect);
}

TDBEditGrid::~TDBEditGrid() = default;

void TDBEditGrid::InvalidateEditors() { InvalidateEditor(); }

void TDBEditGrid::scrollContentsBy(int dx, int dy)
{
    TCustomDBSfmGrid::scrollContentsBy(dx, dy);
    if (dx != 0)
        UpdatePending();
}
