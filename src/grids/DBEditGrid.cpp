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

// The column layout texts are kept by the grid's column description support; until that is
// there, nothing is saved and a given description leaves the columns as they are.
QString TDBEditGrid::SaveColumnsDesc() { return {}; }
void TDBEditGrid::RestoreColumnsDesc(const QString&) {}
void TDBEditGrid::RestoreColumnsWidth(const QString&) {}

void TDBEditGrid::InvalidateEditors() { InvalidateEditor(); }

void TDBEditGrid::scrollContentsBy(int dx, int dy)
{
    TCustomDBSfmGrid::scrollContentsBy(dx, dy);
    if (dx != 0)
        UpdatePending();
}
