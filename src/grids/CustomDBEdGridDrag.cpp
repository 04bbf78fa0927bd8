// Column drag by the title, the drop mark, scrolling while dragging, and fitting a column.
#include "grids/CustomDBEdGrid.h"

#include "controls/KpGraphics.h"
#include "controls/KpImageList.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/TColumnDragObject.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <climits>

int TCustomDBEdGrid::DragColumnIndex() const
{
    if (FColumnDrag)
        return FColumnDrag->DragColumn();
    return TCustomGrid::DragColumnIndex();
}

bool TCustomDBEdGrid::ColumnDragMouseMove(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (FColumnDrag) {
        FDragStartPos = QPoint(-1, -1);
        ColumnDragMove(pos);
        return true;
    }
    const bool leftAlone = event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier;
    FDragLeftAlone = leftAlone;
    if (!leftAlone)
        FDragStartPos = QPoint(-1, -1);
    else if (FDragStartPos == QPoint(-1, -1))
        FDragStartPos = pos;
    return false;
}

void TCustomDBEdGrid::StartColumnDrag(const QPoint& Pos)
{
    if (!(FOptions & dgTitles) || !(FOptions & dgColumnResize) || TColumnDragObject::Current() ||
        !FDragLeftAlone || GridState() != TGridState::gsNormal)
        return;
    const QPoint start = FDragStartPos == QPoint(-1, -1) ? Pos : FDragStartPos;
    const TGridCoord cell = MouseCoord(start.x(), start.y());
    if (cell.Y < 0 || cell.Y >= FTitleOffset || cell.X < FIndicatorOffset || cell.X >= ColCount())
        return;
    FColumnDrag = new TColumnDragObject(this, start.x(), start.y());
    FDragStartPos = QPoint(-1, -1);
    SetHoverCell(-1, -1);
    QGuiApplication::setOverrideCursor(Qt::ForbiddenCursor);
    ColumnDragMove(Pos);
}

void TCustomDBEdGrid::ColumnDragMove(const QPoint& Pos)
{
    FDragMousePos = Pos;
    bool accept = false;
    DragOver(FColumnDrag, Pos.x(), Pos.y(), accept);
    const QPoint screen = viewport()->mapToGlobal(Pos);
    QGuiApplication::changeOverrideCursor(FColumnDrag->GetDragCursor(accept, screen));
    FColumnDrag->MoveImage(screen);
}

void TCustomDBEdGrid::EndColumnDrag(bool Drop, const QPoint& Pos)
{
    TColumnDragObject* source = FColumnDrag;
    if (!source)
        return;
    bool overTarget = false;
    const auto end = qScopeGuard([&] { DoEndDrag(overTarget, Pos.x(), Pos.y()); });
    if (Drop && !source->Cancelled()) {
        bool accept = false;
        DragOver(source, Pos.x(), Pos.y(), accept);
        source->GetDragCursor(accept, viewport()->mapToGlobal(Pos));
        if (accept) {
            overTarget = true;
            DragDrop(source, Pos.x(), Pos.y());
        }
    }
}

int TCustomDBEdGrid::DropColumnAt(int X, int Y)
{
    if (!viewport()->rect().contains(X, Y) || !FColumnDrag)
        return -1;
    int C = MouseCoord(X, 1).X;
    if (C < 0 && FColumns->Count() > 0) {
        if (X <= FIndicatorOffset * 11 + 1)
            return -1;
        C = ColCount() - 1;
    }
    const int D = FColumnDrag->DragColumn();
    if (C < 0 || C == D)
        return -1;
    if (C < FIndicatorOffset)
        return D == FIndicatorOffset ? -1 : FIndicatorOffset;
    if (D == C + 1)
        return C;
    if (C == D + 1)
        return C + 1;
    const QRect r = CellRect(C, 0);
    return X <= r.left() + r.width() / 2 ? C : C + 1;
}

void TCustomDBEdGrid::DrawDragMark(int Col, bool Show)
{
    QRect& last = TColumnDragObject::LastDragMarkRect;
    if (Show && Col > 0 && Col <= LeftCol() + VisibleColCount() && ColCount() > 0) {
        const int anchor = Col >= ColCount() ? ColCount() - 1 : Col;
        const QRect R = CellRect(anchor, 0);
        if (R.isEmpty())
            return;
        const QImage& mark = DragMarkImages().Image(0);
        const int x = Col >= ColCount() ? R.left() + R.width() - mark.width() / 2
                                        : R.left() - mark.width() / 2 - 1;
        const QRect rect(x, R.top(), mark.width(), mark.height());
        if (rect == last && FDragMark && FDragMark->isVisible())
            return;
        if (!FDragMark) {
            FDragMark = new QLabel(viewport());
            FDragMark->setObjectName(QStringLiteral("lblDragMark"));
            FDragMark->setAttribute(Qt::WA_TransparentForMouseEvents);
            FDragMark->setPixmap(QPixmap::fromImage(mark));
        }
        last = rect;
        FDragMark->setGeometry(rect);
        FDragMark->show();
        FDragMark->raise();
        return;
    }
    if (last.left() >= 0)
        last = QRect(-1, 0, 0, 0);
    if (FDragMark)
        FDragMark->hide();
}

void TCustomDBEdGrid::DragOver(TColumnDragObject* Source, int X, int Y, bool& Accept)
{
    Accept = Source && Source->Control() == this;
    if (!Accept)
        return;
    const int C = DropColumnAt(X, Y);
    Accept = C >= 0;
    DrawDragMark(C, C >= 0);
    if (FAutoFitColumns)
        return;
    const bool hiddenLeft = LeftCol() > FIndicatorOffset && X < 20;
    const bool hiddenRight = LeftCol() + VisibleColCount() < ColCount() && X > viewport()->width() - 20;
    if ((hiddenLeft || hiddenRight) && !DragScrollTimer()->isActive())
        DragScrollTimer()->start();
}

void TCustomDBEdGrid::DragDrop(TColumnDragObject* Source, int X, int Y)
{
    if (!Source || Source->LastAction() != TColumnDragAction::cdaMove)
        return;
    const int C = DropColumnAt(X, Y);
    if (C < 0)
        return;
    const int D = Source->DragColumn();
    if ((C != ColCount() && D >= C) || C <= FIndicatorOffset)
        MoveColumn(D, C);
    else
        MoveColumn(D, C - 1);
}

void TCustomDBEdGrid::DoEndDrag(bool OverTarget, int, int)
{
    TColumnDragObject* source = FColumnDrag;
    const auto release = qScopeGuard([this, source] {
        FColumnDrag = nullptr;
        if (source) {
            source->SetDragColumn(-1);
            source->Finish();
            source->deleteLater();
        }
        DrawDragMark(-1, false);
        delete FDragTimer;
        FDragTimer = nullptr;
        if (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    });
    if (!source || OverTarget || source->Cancelled() || source->LastAction() != TColumnDragAction::cdaRemove ||
        !(FExtOptions & geoDragRemoveColumn))
        return;
    const int index = source->DragColumn() - FIndicatorOffset;
    if (index < 0 || index >= FColumns->Count())
        return;
    TEkColumn* column = FColumns->Items(index);
    bool doRemove = true;
    if (OnColumnRemove)
        OnColumnRemove(this, column->FieldName(), doRemove);
    if (!doRemove)
        return;
    if (FUseColumnsDesc) {
        column->SetVisible(false);
    } else if (FColumns->State() == TDBEdGridColumnsState::csCustomized) {
        delete column;
    } else if (TField* f = column->Field()) {
        f->SetVisible(false);
        LayoutChanged();
    } else {
        delete column;
    }
    HideEditor();
}

QTimer* TCustomDBEdGrid::DragScrollTimer()
{
    if (!FDragTimer) {
        FDragTimer = new QTimer(this);
        FDragTimer->setInterval(320);
        connect(FDragTimer, &QTimer::timeout, this, [this] { DragScrollTick(); });
    }
    return FDragTimer;
}

void TCustomDBEdGrid::DragScrollTick()
{
    if (FDragTimer)
        FDragTimer->stop();
    if (!FColumnDrag)
        return;
    const QPoint P = FDragMousePos;
    if (LeftCol() > FIndicatorOffset && P.x() < FIndicatorOffset * 11 + 15) {
        DrawDragMark(-1, false);
        SetLeftCol(LeftCol() - 1);
    } else if (LeftCol() + VisibleColCount() < ColCount() && P.x() > viewport()->width() - 15) {
        DrawDragMark(-1, false);
        SetLeftCol(LeftCol() + 1);
    }
    if (!viewport()->rect().contains(P))
        DragScrollTimer()->start();
    // The drop position under the unmoved mouse is worked out again.
    ColumnDragMove(P);
}

void TCustomDBEdGrid::AutoFitColumn(int ACol, Qt::KeyboardModifiers Shift)
{
    const int index = ACol - FIndicatorOffset;
    TDataSet* ds = LinkDataSet();
    if (index < 0 || index >= FColumns->Count() || !FDataLink->Active() || !ds)
        return;
    TEkColumn* column = FColumns->Items(index);
    const bool ctrl = Shift & Qt::ControlModifier, shift = Shift & Qt::ShiftModifier;
    int W = ScaleValue(5);
    if (ctrl || !shift)
        W = std::max(W, TextWidth(column->Title()->Font(), column->Title()->Caption()));
    if (shift || !ctrl) {
        ds->CheckBrowseMode();
        const TDataSetGuard keep(ds, TDataSetGuard::Controls | TDataSetGuard::Position);
        const auto blockRead = qScopeGuard([ds] { ds->SetBlockReadSize(0); });
        // The current row is drawn in bold: a value must fit in that too.
        QFont font = column->Font();
        font.setBold(true);
        const int most = ScaleValue(600);
        ds->First();
        ds->SetBlockReadSize(64);
        int limit = INT_MAX;
        QString previous;
        bool first = true;
        while (!ds->Eof() && limit >= 0) {
            const QString text = GetEditText(ACol, -1);
            if (first || text != previous) {
                W = std::max(W, TextWidth(font, text));
                if (W >= most) {
                    W = most;
                    break;
                }
            }
            previous = text;
            first = false;
            ds->Next();
            --limit;
        }
    }
    column->SetWidth(W + ScaleValue(10));
}
