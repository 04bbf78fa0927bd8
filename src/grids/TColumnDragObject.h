#pragma once

#include <QCursor>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QLabel;
class TCustomDBEdGrid;

enum class TColumnDragAction { cdaNone, cdaMove, cdaRemove };

// One column drag by its title, from its start to its end: the dragged grid column, the
// last cursor choice, the image of the dragged title that follows the mouse. The left
// button's release ends it, Esc cancels it.
// Only one can be under way in the process.
class TColumnDragObject : public QObject {
    Q_OBJECT
public:
    // Starts a drag of the grid column under the client point (X, Y) of Control.
    TColumnDragObject(TCustomDBEdGrid* Control, int X, int Y);
    ~TColumnDragObject() override;

    TCustomDBEdGrid* Control() const { return FControl; }
    int DragColumn() const { return FDragColumn; }
    void SetDragColumn(int Value) { FDragColumn = Value; }
    TColumnDragAction LastAction() const { return FLastAction; }
    bool Cancelled() const { return FCancelled; }
    int X() const { return FX; }
    int Y() const { return FY; }

    // The cursor for the mouse at a screen point, remembering the action it stands for.
    QCursor GetDragCursor(bool Accepted, const QPoint& ScreenPos);
    // The dragged title as painted, and the point of it the mouse holds.
    QPixmap GetDragImage(QPoint& HotSpot);
    // Shows the image at the mouse's screen point.
    void MoveImage(const QPoint& ScreenPos);
    // The drag is over: no image, no Esc handling, no longer the drag under way.
    void Finish();

    // The drag under way, nullptr when none.
    static TColumnDragObject* Current() { return FCurrent; }
    // The column of the drag under way, -1 when none.
    static int DragColumnIndex() { return FCurrent ? FCurrent->FDragColumn : -1; }
    // Where a grid last painted a drop mark; Left -1 when none is shown.
    static QRect LastDragMarkRect;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    static TColumnDragObject* FCurrent;

    QPointer<TCustomDBEdGrid> FControl;
    QLabel* FDragImages = nullptr;
    QPoint FHotSpot;
    int FX, FY;
    TColumnDragAction FLastAction = TColumnDragAction::cdaNone;
    int FDragColumn = -1;
    bool FCancelled = false;
};
