#pragma once

#include "platform/ui/EditMask.h"

#include <QLineEdit>

class TCustomGrid;

// The one editor a grid hosts over its current cell. Grids that need a richer editor
// derive from it; the grid creates it through its editor factory.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(TCustomGrid* grid);

    TCustomGrid* Grid() const { return FGrid; }
    // Places the editor over a cell rectangle (viewport coordinates) and shows it.
    virtual void Move(const QRect& rect);
    // Reloads the mask, the text and the length limit from the grid.
    virtual void UpdateContents();
    // The text as the grid stores it: without the mask's literals when it does not save them.
    QString EditText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCustomGrid* FGrid;
    TEditMask FMask{QString()};
};
