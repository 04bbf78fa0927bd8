#pragma once

#include "grids/TCustomDBEkTreeView.h"

// The data-aware tree view as forms and the grid's tree pop-up use it.
class TDBEkTreeView : public TCustomDBEkTreeView {
public:
    using TCustomDBEkTreeView::TCustomDBEkTreeView;
};
