#include "grids/TColumnDragObject.h"

#include "controls/KpGraphics.h"
#include "grids/CustomDBEdGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <algorithm>

TColumnDragObject* TColumnDragObject::FCurrent = nullptr;
QRect TColumnDragObject::LastDragMarkRect{-1, 0, 0, 0};

TColumnDragObject::TColumnDragObject(TCustomDBEdGrid* Control, int X, int Y)
    : QObject(Control), FControl(Control), FX(X), FY(Y)
{
    FDragColumn = Control->MouseCoord(X, Y).X;
    FCurrent = this;
    // Esc ends the drag wherever the keyboard focus is.
    qApp->installEventFilter(this);
}

TColumnDragObject::~TColumnDragObject()
{
    if (FCurrent == this)
        FCurrent = nullptr;
    delete FDragImages;
}

QCursor TColumnDragObject::GetDragCursor(bool Accepted, const QPoint& ScreenPos)
{
    if (Accepted) {
        FLastAction = TColumnDragAction::cdaMove;
        return QCursor(Qt::DragMoveCursor);
    }
    if (FControl && (FControl->ExtOptions() & geoDragRemoveColumn)) {
        const QPoint p = FControl->mapFromGlobal(ScreenPos);
        const QRect keep(QPoint(-15, -15), QPoint(FControl->width() + 15, FControl->height()));
        if (!keep.contains(p)) {
            FLastAction = TColumnDragAction::cdaRemove;
            return DragRemoveCursor();
        }
    }
    FLastAction = TColumnDragAction::cdaNone;
    return QCursor(Qt::ForbiddenCursor);
}

QPixmap TColumnDragObject::GetDragImage(QPoint& HotSpot)
{
    if (!FControl)
        return {};
    const TGridCoord cell = FControl->MouseCoord(FX, FY);
    QRect r = FControl->CellRect(cell.X, cell.Y).translated(2, 2).adjusted(-1, -1, 1, 1);
    r.setWidth(std::min(r.width(), 350));
    const QRect inGrid(FControl->viewport()->mapTo(FControl, r.topLeft()), r.size());
    const QPixmap image = FControl->grab(inGrid);
    HotSpot = QPoint(image.width() / 2 - 6, image.height() / 2);
    return image;
}

void TColumnDragObject::MoveImage(const QPoint& ScreenPos)
{
    if (!FDragImages) {
        FDragImages = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
        FDragImages->setObjectName(QStringLiteral("lblColumnDragImage"));
        FDragImages->setAttribute(Qt::WA_TransparentForMouseEvents);
        FDragImages->setAttribute(Qt::WA_ShowWithoutActivating);
        FDragImages->setWindowOpacity(0.7);
        const QPixmap image = GetDragImage(FHotSpot);
        FDragImages->setPixmap(image);
        FDragImages->resize(image.size());
    }
    FDragImages->move(ScreenPos - FHotSpot);
    if (!FDragImages->isVisible())
        FDragImages->show();
}

void TColumnDragObject::Finish()
{
    qApp->removeEventFilter(this);
    if (FDragImages)
        FDragImages->hide();
    if (FCurrent == this)
        FCurrent = nullptr;
}

bool TColumnDragObject::eventFilter(QObject* Watched, QEvent* Event)
{
    // The release ends the drag; the grid must not take it for a click on a title.
    if (Event->type() == QEvent::MouseButtonRelease && FControl && Watched == FControl->viewport() &&
        static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        FControl->EndColumnDrag(true, static_cast<QMouseEvent*>(Event)->position().toPoint());
        return true;
    }
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Escape) {
        FCancelled = true;
        if (FControl)
            FControl->EndColumnDrag(false, QPoint(-1, -1));
        return true;
    }
    return false;
}
