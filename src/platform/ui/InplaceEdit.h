#pragma once

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
    // Reloads the text from the grid.
    virtual void UpdateContents();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCustomGrid* FGrid;
};
