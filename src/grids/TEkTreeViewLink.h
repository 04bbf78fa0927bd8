#pragma once

#include "platform/data/DataLink.h"

class TCustomDBEkTreeView;

// The tree view's link to its data source: passes the dataset's notices on to the tree.
class TEkTreeViewLink : public TDataLink {
public:
    explicit TEkTreeViewLink(TCustomDBEkTreeView* ATreeView);

protected:
    void ActiveChanged() override;
    void DataSetScrolled(int distance) override;
    void RecordChanged(TField* Field) override;
    void DataSetChanged() override;

private:
    TCustomDBEkTreeView* FTreeView;
};
