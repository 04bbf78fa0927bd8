#pragma once

#include "grids/CustomDBSfmGrid.h"

// The sort grid as screens place it: sorting and filtering off, finds on display texts,
// the current row framed.
class TDBEditGrid : public TCustomDBSfmGrid {
    Q_OBJECT
public:
    explicit TDBEditGrid(QWidget* parent = nullptr);
    ~TDBEditGrid() override;

    // Column layout kept between sessions; each hands over to the grid's own operation.
    QString SaveColumnsDesc();
    void RestoreColumnsDesc(const QString& Desc);
    void RestoreColumnsWidth(const QString& Desc);
    // Reloads the text of a shown in-place editor.
    void InvalidateEditors();

protected:
    void scrollContentsBy(int dx, int dy) override;
};
