#pragma once

#include "grids/CustomDBSfmGrid.h"

// The sort grid as screens place it: sorting and filtering off, finds on display texts,
// the current row framed.
class TDBEditGrid : public TCustomDBSfmGrid {
    Q_OBJECT
public:
    explicit TDBEditGrid(QWidget* parent = nullptr);
    ~TDBEditGrid() override;

    // Reloads the text of a shown in-place editor.
    void InvalidateEditors();

protected:
    void scrollContentsBy(int dx, int dy) override;
};
