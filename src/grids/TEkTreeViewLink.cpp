#include "grids/TEkTreeViewLink.h"

#include "grids/TCustomDBEkTreeView.h"

TEkTreeViewLink::TEkTreeViewLink(TCustomDBEkTreeView* ATreeView)
    : FTreeView(ATreeView)
{
}

void TEkTreeViewLink::ActiveChanged()
{
    FTreeView->LinkActiveChanged(Active());
}

void TEkTreeViewLink::DataSetScrolled(int distance)
{
    (void)distance;
    FTreeView->DataSetScrolled();
}

void TEkTreeViewLink::RecordChanged(TField* Field)
{
    FTreeView->RecordChanged(Field);
}

void TEkTreeViewLink::DataSetChanged()
{
    FTreeView->DataSetChanged();
}
