#include "platform/ui/CustomGrid.h"

#include "platform/ui/InplaceEdit.h"
#include "platform/ui/UiServices.h"
#include "platform/rtl/Exception.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QMetaMethod>
#include <QScrollBar>
#include <QTimer>
#include <QStyleHints>
#include <algorithm>
#include "platform/rtl/EListError.h"

namespace {
// Column edges can be grabbed this many pixels either side.
constexpr int kSizingMargin = 3;
// Positions are summed in 64 bits and clamped so that huge widths cannot overflow.
int clampToInt(qint64 v)
{
    return static_cast<int>(std::clamp<qint64>(v, -1000000000, 1000000000));
}
}

TCustomGrid::TCustomGrid(QWidget* parent)
    : QAbstractScrollArea(parent),
      FColWidths(5, 64),
      FRowHeights(5, 24),
      FOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect),
      FColor(Qt::white),
      FFixedColor(QColor(0xF0, 0xF0, 0xF0))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        if (!FVertBarFollowsRows && !FSettingBars)
            VertScrollAction(action);
    });
    UpdateScrollRange();
}

TCustomGrid::~TCustomGrid() = default;

// ---- dimensions -------------------------------------------------------------------------

void TCustomGrid::SetColCount(int value)
{
    if (value < 0)
        throw EListError(QStringLiteral("column count below zero"));
    const int oldCols = ColCount();
    if (value == oldCols)
        return;
    FColWidths.resize(static_cast<size_t>(value), FDefaultColWidth);
    FTabStops.resize(static_cast<size_t>(value), true);
    if (FFixedCols > value)
        FFixedCols = value;
    ClampCurrentAndTopLeft();
    SizeChanged(oldCols, RowCount());
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetRowCount(int value)
{
    if (value < 0)
        throw EListError(QStringLiteral("row count below zero"));
    const int oldRows = RowCount();
    if (value == oldRows)
        return;
    FRowHeights.resize(static_cast<size_t>(value), FDefaultRowHeight);
    if (FFixedRows > value)
        FFixedRows = value;
    ClampCurrentAndTopLeft();
    SizeChanged(ColCount(), oldRows);
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetFixedCols(int value)
{
    if (value < 0 || value > ColCount())
        throw EListError(QStringLiteral("fixed column count out of range"));
    FFixedCols = value;
    ClampCurrentAndTopLeft();
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int value)
{
    if (value < 0 || value > RowCount())
        throw EListError(QStringLiteral("fixed row count out of range"));
    FFixedRows = value;
    ClampCurrentAndTopLeft();
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultColWidth(int value)
{
    FDefaultColWidth = std::max(0, value);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int value)
{
    FDefaultRowHeight = std::max(0, value);
    std::fill(FRowHeights.begin(), FRowHeights.end(), FDefaultRowHeight);
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int col) const
{
    if (col < 0 || col >= ColCount())
        return FDefaultColWidth;
    return FColWidths[static_cast<size_t>(col)];
}

void TCustomGrid::SetColWidths(int col, int value)
{
    if (col < 0 || col >= ColCount())
        throw EListError(QStringLiteral("column index out of range"));
    value = std::max(0, value);
    if (FColWidths[static_cast<size_t>(col)] == value)
        return;
    FColWidths[static_cast<size_t>(col)] = value;
    ColWidthsChanged();
}

bool TCustomGrid::TabStops(int col) const
{
    if (col < 0 || col >= static_cast<int>(FTabStops.size()))
        return true;
    return FTabStops[static_cast<size_t>(col)];
}

void TCustomGrid::SetTabStops(int col, bool value)
{
    if (col < 0 || col >= ColCount())
        throw EListError(QStringLiteral("column index out of range"));
    if (FTabStops.size() < FColWidths.size())
        FTabStops.resize(FColWidths.size(), true);
    FTabStops[static_cast<size_t>(col)] = value;
}

int TCustomGrid::RowHeights(int row) const
{
    if (row < 0 || row >= RowCount())
        return FDefaultRowHeight;
    return FRowHeights[static_cast<size_t>(row)];
}

void TCustomGrid::SetRowHeights(int row, int value)
{
    if (row < 0 || row >= RowCount())
        throw EListError(QStringLiteral("row index out of range"));
    value = std::max(0, value);
    if (FRowHeights[static_cast<size_t>(row)] == value)
        return;
    FRowHeights[static_cast<size_t>(row)] = value;
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int value)
{
    FGridLineWidth = std::max(0, value);
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetOptions(TGridOptions value)
{
    if (FOptions == value)
        return;
    FOptions = value;
    if (!(value & goEditing) || (value & goRowSelect))
        HideEditor();
    InvalidateGrid();
}

void TCustomGrid::SetColor(const QColor& value)
{
    FColor = value;
    InvalidateGrid();
}

void TCustomGrid::SetFixedColor(const QColor& value)
{
    FFixedColor = value;
    InvalidateGrid();
}

// ---- geometry ---------------------------------------------------------------------------

int TCustomGrid::FixedWidth() const
{
    qint64 w = 0;
    for (int c = 0; c < FFixedCols && c < ColCount(); ++c)
        w += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
    return clampToInt(w);
}

int TCustomGrid::FixedHeight() const
{
    qint64 h = 0;
    for (int r = 0; r < FFixedRows && r < RowCount(); ++r)
        h += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
    return clampToInt(h);
}

QRect TCustomGrid::ScrollingRowsRect() const
{
    const int top = FixedHeight();
    return QRect(0, top, viewport()->width(), std::max(0, viewport()->height() - top));
}

int TCustomGrid::VisibleColCount() const
{
    const int limit = viewport()->width();
    qint64 x = FixedWidth();
    int n = 0;
    for (int c = FLeftCol; c < ColCount(); ++c) {
        x += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
        if (x > limit)
            break;
        ++n;
    }
    return n;
}

int TCustomGrid::VisibleRowCount() const
{
    const int limit = viewport()->height();
    qint64 y = FixedHeight();
    int n = 0;
    for (int r = FTopRow; r < RowCount(); ++r) {
        y += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
        if (y > limit)
            break;
        ++n;
    }
    return n;
}

int TCustomGrid::MaxLeftCol() const
{
    const qint64 avail = viewport()->width() - FixedWidth();
    qint64 used = 0;
    int c = ColCount() - 1;
    for (; c >= FFixedCols; --c) {
        used += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
        if (used > avail)
            break;
    }
    return std::max(FFixedCols, std::min(c + 1, ColCount() - 1));
}

int TCustomGrid::MaxTopRow() const
{
    const qint64 avail = viewport()->height() - FixedHeight();
    qint64 used = 0;
    int r = RowCount() - 1;
    for (; r >= FFixedRows; --r) {
        used += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
        if (used > avail)
            break;
    }
    return std::max(FFixedRows, std::min(r + 1, RowCount() - 1));
}

QRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        return {};
    if ((col >= FFixedCols && col < FLeftCol) || (row >= FFixedRows && row < FTopRow))
        return {};
    qint64 x = 0;
    if (col < FFixedCols) {
        for (int c = 0; c < col; ++c)
            x += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
    } else {
        x = FixedWidth();
        for (int c = FLeftCol; c < col; ++c) {
            x += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
            if (x > viewport()->width())
                return {};
        }
    }
    qint64 y = 0;
    if (row < FFixedRows) {
        for (int r = 0; r < row; ++r)
            y += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
    } else {
        y = FixedHeight();
        for (int r = FTopRow; r < row; ++r) {
            y += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
            if (y > viewport()->height())
                return {};
        }
    }
    if (x >= viewport()->width() || y >= viewport()->height())
        return {};
    return QRect(clampToInt(x), clampToInt(y), FColWidths[static_cast<size_t>(col)],
                 FRowHeights[static_cast<size_t>(row)]);
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    TGridCoord result;
    if (x < 0 || y < 0)
        return result;
    auto findCol = [&]() {
        qint64 pos = 0;
        for (int c = 0; c < FFixedCols && c < ColCount(); ++c) {
            pos += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
            if (x < pos)
                return c;
        }
        for (int c = FLeftCol; c < ColCount(); ++c) {
            pos += FColWidths[static_cast<size_t>(c)] + FGridLineWidth;
            if (x < pos)
                return c;
        }
        return -1;
    };
    auto findRow = [&]() {
        qint64 pos = 0;
        for (int r = 0; r < FFixedRows && r < RowCount(); ++r) {
            pos += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
            if (y < pos)
                return r;
        }
        for (int r = FTopRow; r < RowCount(); ++r) {
            pos += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
            if (y < pos)
                return r;
            if (pos > viewport()->height())
                break;
        }
        return -1;
    };
    result.X = findCol();
    result.Y = findRow();
    if (result.X < 0 || result.Y < 0)
        return TGridCoord{};
    return result;
}

// ---- scrolling and the current cell -----------------------------------------------------

void TCustomGrid::ClampCurrentAndTopLeft()
{
    const int firstCol = std::min(FFixedCols, std::max(0, ColCount() - 1));
    const int firstRow = std::min(FFixedRows, std::max(0, RowCount() - 1));
    FLeftCol = std::clamp(FLeftCol, firstCol, std::max(firstCol, ColCount() - 1));
    FTopRow = std::clamp(FTopRow, firstRow, std::max(firstRow, RowCount() - 1));
    FCurrent.X = std::clamp(FCurrent.X, firstCol, std::max(firstCol, ColCount() - 1));
    FCurrent.Y = std::clamp(FCurrent.Y, firstRow, std::max(firstRow, RowCount() - 1));
}

void TCustomGrid::SetTopLeft(int leftCol, int topRow)
{
    leftCol = std::clamp(leftCol, std::min(FFixedCols, ColCount()), std::max(FFixedCols, MaxLeftCol()));
    topRow = std::clamp(topRow, std::min(FFixedRows, RowCount()), std::max(FFixedRows, MaxTopRow()));
    if (leftCol == FLeftCol && topRow == FTopRow)
        return;
    const int dRows = topRow - FTopRow;
    const bool onlyRows = leftCol == FLeftCol;
    // Row heights of the rows scrolled past, to move the painted pixels by that much.
    qint64 dy = 0;
    if (onlyRows && std::abs(dRows) < VisibleRowCount()) {
        const int from = std::min(topRow, FTopRow), to = std::max(topRow, FTopRow);
        for (int r = from; r < to; ++r)
            dy += FRowHeights[static_cast<size_t>(r)] + FGridLineWidth;
    }
    FLeftCol = leftCol;
    FTopRow = topRow;
    if (dy != 0) {
        ScrollArea(ScrollingRowsRect(), clampToInt(dRows > 0 ? -dy : dy));
    } else {
        InvalidateGrid();
    }
    ApplyScrollBars();
    if (FEditorMode)
        InvalidateEditor();
    TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int value) { SetTopLeft(value, FTopRow); }
void TCustomGrid::SetTopRow(int value) { SetTopLeft(FLeftCol, value); }

void TCustomGrid::SetCol(int value) { MoveCurrent(value, FCurrent.Y, true); }
void TCustomGrid::SetRow(int value) { MoveCurrent(FCurrent.X, value, true); }

void TCustomGrid::MoveCurrent(int col, int row, bool show)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        throw EListError(QStringLiteral("grid index out of range"));
    if (col == FCurrent.X && row == FCurrent.Y) {
        return;
    }
    if (!SelectCell(col, row))
        return;
    const TGridCoord old = FCurrent;
    FCurrent = TGridCoord{col, row};
    if (FOptions & goRowSelect) {
        if (old.Y != row) {
            InvalidateRow(old.Y);
            InvalidateRow(row);
        }
    } else {
        InvalidateCell(old.X, old.Y);
        InvalidateCell(col, row);
    }
    if (show) {
        int left = FLeftCol, top = FTopRow;
        if (col >= FFixedCols) {
            if (col < left)
                left = col;
            else if (VisibleColCount() > 0 && col >= left + VisibleColCount()) {
                // Scroll right just enough to show the whole column.
                left = col;
                qint64 used = FColWidths[static_cast<size_t>(col)] + FGridLineWidth;
                const qint64 avail = viewport()->width() - FixedWidth();
                while (left - 1 >= FFixedCols && used + FColWidths[static_cast<size_t>(left - 1)] + FGridLineWidth <= avail) {
                    --left;
                    used += FColWidths[static_cast<size_t>(left)] + FGridLineWidth;
                }
            }
        }
        if (row >= FFixedRows) {
            if (row < top)
                top = row;
            else if (row >= top + std::max(1, VisibleRowCount()))
                top = row - std::max(1, VisibleRowCount()) + 1;
        }
        SetTopLeft(left, top);
    }
    if (FEditorMode)
        InvalidateEditor();
}

void TCustomGrid::ScrollRows(int firstRow, int distance, int rowHeight)
{
    if (distance == 0)
        return;
    QRect first = CellRect(FFixedCols, firstRow);
    int top = first.isValid() ? first.top() : FixedHeight();
    QRect area(0, top, viewport()->width(), std::max(0, viewport()->height() - top));
    const qint64 dy = -static_cast<qint64>(distance) * rowHeight;
    if (std::abs(dy) >= area.height())
        InvalidateRect(area);
    else
        ScrollArea(area, clampToInt(dy));
}

void TCustomGrid::ScrollArea(const QRect& area, int dy)
{
    // Pixels are moved only where buffer and screen pixels match one to one.
    if (FBuffer.isNull() || FBuffer.devicePixelRatio() != 1.0 || FBuffer.size() != viewport()->size()) {
        InvalidateRect(area);
        return;
    }
    QRegion exposed;
    FBuffer.scroll(0, dy, area, &exposed);
    const QRegion inside = FValid & area;
    FValid = (FValid - area) + ((inside.translated(0, dy) & area) - exposed);
    viewport()->update(area);
}

void TCustomGrid::UpdateScrollRange()
{
    ClampCurrentAndTopLeft();
    if (!FDonotScroll)
        ApplyScrollBars();
}

void TCustomGrid::ApplyScrollBars()
{
    if (FDonotScroll)
        return;
    FSettingBars = true;
    QScrollBar* h = horizontalScrollBar();
    const int maxLeft = MaxLeftCol();
    h->setRange(std::min(FFixedCols, maxLeft), maxLeft);
    h->setPageStep(std::max(1, VisibleColCount()));
    h->setSingleStep(1);
    h->setValue(FLeftCol);
    if (FVertBarFollowsRows) {
        QScrollBar* v = verticalScrollBar();
        const int maxTop = MaxTopRow();
        v->setRange(std::min(FFixedRows, maxTop), maxTop);
        v->setPageStep(std::max(1, VisibleRowCount()));
        v->setSingleStep(1);
        v->setValue(FTopRow);
    }
    FSettingBars = false;
}

void TCustomGrid::SetVertBarFollowsRows(bool value)
{
    FVertBarFollowsRows = value;
    UpdateScrollRange();
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (FSettingBars)
        return;
    int left = horizontalScrollBar()->value();
    int top = FVertBarFollowsRows ? verticalScrollBar()->value() : FTopRow;
    SetTopLeft(left, top);
}

void TCustomGrid::VertScrollAction(int) {}

// ---- repainting -------------------------------------------------------------------------

void TCustomGrid::InvalidateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (r.isValid())
        InvalidateRect(r.adjusted(0, 0, FGridLineWidth, FGridLineWidth));
}

void TCustomGrid::InvalidateRow(int row)
{
    const QRect r = CellRect(FFixedCols < ColCount() ? std::max(FLeftCol, FFixedCols) : 0, row);
    QRect any = r;
    if (!any.isValid())
        any = CellRect(0, row);
    if (any.isValid())
        InvalidateRect(QRect(0, any.top(), viewport()->width(), any.height() + FGridLineWidth));
}

void TCustomGrid::InvalidateCol(int col)
{
    QRect r;
    for (int row = 0; row < RowCount() && !r.isValid(); ++row)
        r = CellRect(col, row);
    if (r.isValid())
        InvalidateRect(QRect(r.left(), 0, r.width() + FGridLineWidth, viewport()->height()));
}

void TCustomGrid::InvalidateGrid()
{
    FValid = QRegion();
    viewport()->update();
}

void TCustomGrid::InvalidateRect(const QRect& rect)
{
    FValid -= rect;
    viewport()->update(rect);
}

void TCustomGrid::ValidateRect(const QRect&)
{
    // Qt keeps no per-widget update region that could be shrunk; the following
    // invalidation covers the same area, so nothing is lost.
}

void TCustomGrid::UpdatePending()
{
    if (QWidget* w = viewport()->window())
        QCoreApplication::sendPostedEvents(w, QEvent::UpdateRequest);
}

int TCustomGrid::PixelsPerInch() const { return UiServices::PixelsPerInch(this); }

void TCustomGrid::DrawCell(int, int, const QRect& rect, TGridDrawState state)
{
    if (!FCanvas)
        return;
    FCanvas->fillRect(rect, (state & gdFixed) ? FFixedColor : FColor);
}

void TCustomGrid::DrawGridLines(QPainter& painter, const QRect& cell, bool fixed)
{
    if (FGridLineWidth <= 0)
        return;
    const bool vert = fixed ? bool(FOptions & goFixedVertLine) : bool(FOptions & goVertLine);
    const bool horz = fixed ? bool(FOptions & goFixedHorzLine) : bool(FOptions & goHorzLine);
    const QColor line = fixed ? QColor(0xA0, 0xA0, 0xA0) : QColor(0xC0, 0xC0, 0xC0);
    const QColor bg = fixed ? FFixedColor : FColor;
    painter.fillRect(QRect(cell.right() + 1, cell.top(), FGridLineWidth, cell.height() + FGridLineWidth),
                     vert ? line : bg);
    painter.fillRect(QRect(cell.left(), cell.bottom() + 1, cell.width() + FGridLineWidth, FGridLineWidth),
                     horz ? line : bg);
}

void TCustomGrid::paintEvent(QPaintEvent* event)
{
    const int width = viewport()->width(), height = viewport()->height();
    const qreal dpr = viewport()->devicePixelRatioF();
    if (FBuffer.deviceIndependentSize().toSize() != viewport()->size() || FBuffer.devicePixelRatio() != dpr) {
        FBuffer = QPixmap(viewport()->size() * dpr);
        FBuffer.setDevicePixelRatio(dpr);
        FValid = QRegion();
    }
    const QRegion region = (event->region() - FValid) & QRect(0, 0, width, height);
    if (!region.isEmpty()) {
        QPainter painter(&FBuffer);
        painter.setClipRegion(region);
        FCanvas = &painter;
        struct Reset { QPainter*& p; ~Reset() { p = nullptr; } } reset{FCanvas};
        PaintCells(painter, region);
        FValid += region;
    }
    QPainter screen(viewport());
    for (const QRect& r : event->region())
        screen.drawPixmap(QRectF(r), FBuffer, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
}

void TCustomGrid::PaintCells(QPainter& painter, const QRegion& region)
{
    const int width = viewport()->width(), height = viewport()->height();
    const bool focused = hasFocus() || (FInplaceEdit && FInplaceEdit->hasFocus());

    auto rowsInOrder = [&](auto&& fn) {
        for (int r = 0; r < FFixedRows && r < RowCount(); ++r)
            fn(r);
        for (int r = FTopRow; r < RowCount(); ++r)
            if (!fn(r))
                break;
    };
    qint64 y = 0;
    qint64 maxX = 0;
    rowsInOrder([&](int row) -> bool {
        if (y >= height)
            return false;
        const int rh = FRowHeights[static_cast<size_t>(row)];
        qint64 x = 0;
        auto paintCol = [&](int col) -> bool {
            if (x >= width)
                return false;
            const int cw = FColWidths[static_cast<size_t>(col)];
            const QRect cell(clampToInt(x), clampToInt(y), cw, rh);
            const QRect withLines = cell.adjusted(0, 0, FGridLineWidth, FGridLineWidth);
            if (region.intersects(withLines)) {
                const bool fixed = col < FFixedCols || row < FFixedRows;
                TGridDrawState state;
                if (fixed) {
                    state |= gdFixed;
                } else {
                    const bool current = col == FCurrent.X && row == FCurrent.Y;
                    const bool selected = current || ((FOptions & goRowSelect) && row == FCurrent.Y);
                    if (selected)
                        state |= gdSelected;
                    if (current && focused)
                        state |= gdFocused;
                }
                DrawCellGuarded(painter, col, row, cell, state);
                DrawGridLines(painter, cell, fixed);
            }
            x += cw + FGridLineWidth;
            return true;
        };
        for (int c = 0; c < FFixedCols && c < ColCount(); ++c)
            paintCol(c);
        for (int c = FLeftCol; c < ColCount(); ++c)
            if (!paintCol(c))
                break;
        maxX = std::max(maxX, x);
        y += rh + FGridLineWidth;
        return true;
    });
    // The area beyond the last column and row.
    (void)width;
    if (maxX < width)
        painter.fillRect(QRect(clampToInt(maxX), 0, width - clampToInt(maxX), height), FColor);
    if (y < height)
        painter.fillRect(QRect(0, clampToInt(y), width, height - clampToInt(y)), FColor);
}

void TCustomGrid::DrawCellGuarded(QPainter& painter, int col, int row, const QRect& cell, TGridDrawState state)
{
    painter.save();
    painter.setClipRect(cell);
    ++FDrawCellCount;
    QString fault;
    try {
        DrawCell(col, row, cell, state);
    } catch (const Exception& e) {
        fault = e.Message();
    } catch (const std::exception& e) {
        fault = QString::fromUtf8(e.what());
    } catch (...) {
        fault = QStringLiteral("Unknown error");
    }
    painter.restore();
    if (!fault.isNull()) {
        // Whatever the cell had drawn before failing is covered.
        painter.fillRect(cell, (state & gdFixed) ? FFixedColor : FColor);
        NoteDrawingFault(fault);
    }
}

void TCustomGrid::NoteDrawingFault(const QString& message)
{
    // A fault in drawing repeats on every repaint: it is told once, and never from inside a
    // paint pass, where a message box would itself cause repaints.
    if (FDrawFaultNoted)
        return;
    FDrawFaultNoted = true;
    QTimer::singleShot(0, this, [this, message] {
        if (isSignalConnected(QMetaMethod::fromSignal(&TCustomGrid::DrawingFailed)))
            emit DrawingFailed(message);
        else
            UiServices::MessageBox(this, message, QGuiApplication::applicationDisplayName(), QMessageBox::Critical,
                                   QMessageBox::Ok);
    });
}

// ---- hooks ------------------------------------------------------------------------------

void TCustomGrid::ColumnMoved(int, int) {}

void TCustomGrid::ColWidthsChanged()
{
    UpdateScrollRange();
    InvalidateGrid();
    if (FEditorMode)
        InvalidateEditor();
}

void TCustomGrid::RowHeightsChanged()
{
    UpdateScrollRange();
    InvalidateGrid();
    if (FEditorMode)
        InvalidateEditor();
}

void TCustomGrid::TopLeftChanged() {}
void TCustomGrid::SizeChanged(int, int) {}
bool TCustomGrid::SelectCell(int, int) { return true; }
QString TCustomGrid::GetEditText(int, int) { return {}; }

int TCustomGrid::GetEditLimit() { return 0; }

QString TCustomGrid::GetEditMask() { return {}; }
void TCustomGrid::SetEditText(int, int, const QString&) {}

bool TCustomGrid::CanEditShow()
{
    return (FOptions & goEditing) && !(FOptions & goRowSelect) && FCurrent.X >= FFixedCols &&
           FCurrent.Y >= FFixedRows;
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

int TCustomGrid::ColumnEdgeAt(int x, int margin) const
{
    qint64 pos = 0;
    auto test = [&](int c) {
        pos += FColWidths[static_cast<size_t>(c)];
        const bool hit = x >= pos - margin && x <= pos + FGridLineWidth + margin;
        pos += FGridLineWidth;
        return hit;
    };
    int found = -1;
    for (int c = 0; c < FFixedCols && c < ColCount(); ++c)
        if (test(c))
            found = c;
    for (int c = FLeftCol; c < ColCount() && pos <= viewport()->width(); ++c)
        if (test(c))
            found = c;
    return found;
}

TGridState TCustomGrid::CalcSizingState(int x, int y, int& index)
{
    index = -1;
    if (!(FOptions & goColSizing) || y >= FixedHeight())
        return TGridState::gsNormal;
    index = ColumnEdgeAt(x, kSizingMargin);
    return index < 0 ? TGridState::gsNormal : TGridState::gsColSizing;
}

void TCustomGrid::SetVertBar(int minimum, int maximum, int pageStep, int value)
{
    FSettingBars = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(minimum, std::max(minimum, maximum));
    v->setPageStep(std::max(1, pageStep));
    v->setSingleStep(1);
    v->setValue(value);
    FSettingBars = false;
}

bool TCustomGrid::BeginColumnDrag(int&, const QPoint&) { return true; }
bool TCustomGrid::CheckColumnDrag(int&, int&, const QPoint&) { return true; }

void TCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= ColCount() || toIndex >= ColCount())
        throw EListError(QStringLiteral("column index out of range"));
    if (fromIndex == toIndex)
        return;
    const int w = FColWidths[static_cast<size_t>(fromIndex)];
    FColWidths.erase(FColWidths.begin() + fromIndex);
    FColWidths.insert(FColWidths.begin() + toIndex, w);
    if (FTabStops.size() == FColWidths.size()) {
        const bool t = FTabStops[static_cast<size_t>(fromIndex)];
        FTabStops.erase(FTabStops.begin() + fromIndex);
        FTabStops.insert(FTabStops.begin() + toIndex, t);
    }
    if (FCurrent.X == fromIndex)
        FCurrent.X = toIndex;
    else if (fromIndex < FCurrent.X && toIndex >= FCurrent.X)
        --FCurrent.X;
    else if (fromIndex > FCurrent.X && toIndex <= FCurrent.X)
        ++FCurrent.X;
    ColumnMoved(fromIndex, toIndex);
    InvalidateGrid();
}

// ---- editor -----------------------------------------------------------------------------

bool TCustomGrid::EditorMode() const { return FEditorMode && FInplaceEdit && FInplaceEdit->isVisible(); }

void TCustomGrid::SetEditorMode(bool value)
{
    if (value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (!CanEditShow())
        return;
    if (!FInplaceEdit)
        FInplaceEdit = CreateEditor();
    FEditorMode = true;
    InvalidateEditor();
}

void TCustomGrid::HideEditor()
{
    FEditorMode = false;
    if (FInplaceEdit && FInplaceEdit->isVisible()) {
        const bool hadFocus = FInplaceEdit->hasFocus();
        FInplaceEdit->hide();
        if (hadFocus)
            setFocus();
    }
}

void TCustomGrid::InvalidateEditor()
{
    if (!FEditorMode || !FInplaceEdit)
        return;
    const QRect r = CellRect(FCurrent.X, FCurrent.Y);
    if (!r.isValid() || !CanEditShow()) {
        FInplaceEdit->hide();
        return;
    }
    FInplaceEdit->UpdateContents();
    FInplaceEdit->Move(r);
    if (hasFocus())
        FInplaceEdit->setFocus();
}

QString TCustomGrid::EditorText() { return GetEditText(FCurrent.X, FCurrent.Y); }

void TCustomGrid::EditorTextEdited(const QString& text) { SetEditText(FCurrent.X, FCurrent.Y, text); }

void TCustomGrid::EditorKeyPress(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (FInplaceEdit)
            FInplaceEdit->UpdateContents();
        if (!(FOptions & goAlwaysShowEditor))
            HideEditor();
        return;
    }
    keyPressEvent(event);
}

// ---- input ------------------------------------------------------------------------------

void TCustomGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

bool TCustomGrid::focusNextPrevChild(bool next)
{
    // With tab moves between cells, Tab stays in the grid.
    if (FOptions & goTabs)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TCustomGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    int index = -1;
    if (CalcSizingState(p.x(), p.y(), index) == TGridState::gsColSizing) {
        FGridState = TGridState::gsColSizing;
        FSizingIndex = index;
        FSizingStartX = p.x();
        FSizingStartWidth = ColWidths(index);
        return;
    }
    const TGridCoord cell = MouseCoord(p.x(), p.y());
    if (cell.X < 0)
        return;
    if (cell.Y < FFixedRows && cell.X >= FFixedCols && (FOptions & goColMoving)) {
        FMoveArmed = true;
        FMoveFrom = cell.X;
        FPressPos = p;
        return;
    }
    if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
        const bool wasCurrent = cell.X == FCurrent.X && cell.Y == FCurrent.Y;
        MoveCurrent(cell.X, cell.Y, true);
        if (wasCurrent && (FOptions & goEditing))
            ShowEditor();
    }
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (FGridState == TGridState::gsColSizing) {
        SetColWidths(FSizingIndex, FSizingStartWidth + p.x() - FSizingStartX);
        return;
    }
    if (FMoveArmed && FGridState == TGridState::gsNormal &&
        (p - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
        int origin = FMoveFrom;
        if (BeginColumnDrag(origin, p)) {
            FMoveFrom = origin;
            FGridState = TGridState::gsColMoving;
        } else {
            FMoveArmed = false;
        }
    }
    if (FGridState == TGridState::gsColMoving) {
        const TGridCoord cell = MouseCoord(p.x(), std::min(p.y(), std::max(0, FixedHeight() - 1)));
        FMoveTo = cell.X >= FFixedCols ? cell.X : FMoveTo;
        return;
    }
    int index = -1;
    const bool edge = event->buttons() == Qt::NoButton &&
                      CalcSizingState(p.x(), p.y(), index) == TGridState::gsColSizing;
    viewport()->setCursor(edge ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const TGridState state = FGridState;
    FGridState = TGridState::gsNormal;
    FMoveArmed = false;
    if (state == TGridState::gsColMoving) {
        int from = FMoveFrom, to = FMoveTo;
        FMoveFrom = FMoveTo = -1;
        if (from >= 0 && to >= 0 && from != to && CheckColumnDrag(from, to, event->position().toPoint()))
            MoveColumn(from, to);
    }
    FSizingIndex = -1;
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void TCustomGrid::keyPressEvent(QKeyEvent* event)
{
    int col = FCurrent.X, row = FCurrent.Y;
    const int page = std::max(1, VisibleRowCount());
    const int firstCol = FFixedCols, lastCol = ColCount() - 1;
    const int firstRow = FFixedRows, lastRow = RowCount() - 1;
    switch (event->key()) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_Home: col = firstCol; if (event->modifiers() & Qt::ControlModifier) row = firstRow; break;
    case Qt::Key_End: col = lastCol; if (event->modifiers() & Qt::ControlModifier) row = lastRow; break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(FOptions & goTabs)) {
            event->ignore();
            return;
        }
        {
            const bool forward = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
            // Columns without a tab stop are passed over; one round at most.
            for (int n = 0; n <= lastCol - firstCol; ++n) {
                if (forward) {
                    if (++col > lastCol) { col = firstCol; ++row; }
                } else if (--col < firstCol) {
                    col = lastCol;
                    --row;
                }
                if (TabStops(col))
                    break;
            }
        }
        break;
    case Qt::Key_F2:
        SetEditorMode(!EditorMode());
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (lastCol < firstCol || lastRow < firstRow)
        return;
    col = std::clamp(col, firstCol, lastCol);
    row = std::clamp(row, firstRow, lastRow);
    MoveCurrent(col, row, true);
}

void TCustomGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
    if (FEditorMode)
        InvalidateEditor();
}
