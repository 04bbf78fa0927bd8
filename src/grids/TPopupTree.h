#pragma once

#include "grids/TDBEkTreeView.h"

class TDBEditGridInplaceEdit;

// The drop-down tree of a lookup cell: the lookup dataset as a tree that follows its current
// record. A second left press within the double-click time closes it, taking the record when
// the press lies inside; a press outside closes it without a value.
class TPopupTree : public TDBEkTreeView {
public:
    explicit TPopupTree(TDBEditGridInplaceEdit* AEditor);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void LeftPress(QMouseEvent* event);

    TDBEditGridInplaceEdit* FEditor;
    qint64 FPrevDown = 0;
    bool FHavePrevDown = false;
};
