#pragma once

#include "platform/ui/GridTypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRegion>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;
class TInplaceEdit;

// A generic grid of cells on a scroll area: fixed and scrolling rows and columns with their
// own widths and heights, a current cell, cell rectangles and hit testing, column sizing and
// moving by mouse, a paint loop that asks DrawCell for every cell that needs painting, grid
// lines, scrolling that moves the pixels already painted, and one in-place editor.
// Grids that show data derive from it and paint their cells in DrawCell.
class TCustomGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    // Dimensions.
    int ColCount() const { return static_cast<int>(FColWidths.size()); }
    void SetColCount(int value);
    int RowCount() const { return static_cast<int>(FRowHeights.size()); }
    void SetRowCount(int value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    // Gives every row this height.
    void SetDefaultRowHeight(int value);
    int ColWidths(int col) const;
    void SetColWidths(int col, int value);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int value);
    // Whether Tab stops in a column.
    bool TabStops(int col) const;
    void SetTabStops(int col, bool value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int value);

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions value);

    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    QColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(const QColor& value);

    // Scrolling position: first scrolling column and row shown.
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int value);
    // Scrolling columns and rows that are wholly visible from LeftCol and TopRow (at least 1
    // when any exists).
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // Largest LeftCol/TopRow that still fills the client area.
    int MaxLeftCol() const;
    int MaxTopRow() const;

    // Current cell.
    int Col() const { return FCurrent.X; }
    void SetCol(int value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int value);
    // Moves the current cell; with show the cell is scrolled into view.
    void MoveCurrent(int col, int row, bool show);

    // Rectangle of a cell in viewport coordinates, without its grid lines; empty when the
    // cell is not on screen.
    QRect CellRect(int col, int row) const;
    // Cell under a viewport point; (-1, -1) outside every cell.
    TGridCoord MouseCoord(int x, int y) const;

    // Repainting.
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();
    void InvalidateRect(const QRect& rect);
    void ValidateRect(const QRect& rect);
    // Paints what is pending now instead of on the next turn of the event loop.
    void UpdatePending();
    // Moves the painted scrolling rows from firstRow on by distance rows (up for a positive
    // distance) and repaints only the uncovered strip. Row heights are taken as
    // rowHeight each.
    void ScrollRows(int firstRow, int distance, int rowHeight);

    // While set, scroll-range updates still clamp the position but leave the scroll bars alone.
    bool DonotScroll() const { return FDonotScroll; }
    void SetDonotScroll(bool value) { FDonotScroll = value; }

    // In-place editor.
    bool EditorMode() const;
    void SetEditorMode(bool value);
    void ShowEditor();
    void HideEditor();
    // Reloads the editor's text (and place) when it is shown.
    void InvalidateEditor();
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    // Used by the editor.
    QString EditorText();
    void EditorTextEdited(const QString& text);
    // Most characters the editor takes for the current cell, 0 for no limit.
    virtual int GetEditLimit();
    // The edit mask of the current cell in the data layer's notation, empty for none.
    virtual QString GetEditMask();
    // Keys the editor hands to the grid (moves, Esc, Enter, Tab).
    virtual void EditorKeyPress(QKeyEvent* event);

    // The painter of the paint pass under way; nullptr outside painting.
    QPainter* Canvas() const { return FCanvas; }
    TGridState GridState() const { return FGridState; }
    // The column being moved by the mouse, -1 when none.
    int DragColumnIndex() const { return FGridState == TGridState::gsColMoving ? FMoveFrom : -1; }
    // Pixels per inch of the monitor the grid is on (replaceable for tests).
    int PixelsPerInch() const;

    // Moves a column with its width (platform coordinates) and reports it through ColumnMoved.
    void MoveColumn(int fromIndex, int toIndex);

    // Number of DrawCell calls since creation, for benchmarks and tests of partial repaints.
    qint64 DrawCellCount() const { return FDrawCellCount; }

signals:
    // A cell could not be drawn. Sent once per grid, after the paint pass; without a
    // receiver the grid shows the message itself. The other cells are painted all the same.
    void DrawingFailed(const QString& message);

protected:
    // Paints one cell; state tells fixed, selected and focused. The base fills it.
    virtual void DrawCell(int col, int row, const QRect& rect, TGridDrawState state);
    virtual void ColumnMoved(int fromIndex, int toIndex);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    virtual void SizeChanged(int oldColCount, int oldRowCount);
    // May the cell become current?
    virtual bool SelectCell(int col, int row);
    virtual QString GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const QString& value);
    virtual bool CanEditShow();
    virtual TInplaceEdit* CreateEditor();
    // Hands the scroll ranges to the scroll bars (unless DonotScroll).
    virtual void UpdateScrollRange();
    // Whether a press at a viewport point grabs a column edge; index gets the column.
    virtual TGridState CalcSizingState(int x, int y, int& index);
    // Whether a column drag may start on a column; may change origin.
    virtual bool BeginColumnDrag(int& origin, const QPoint& pos);
    virtual bool CheckColumnDrag(int& origin, int& destination, const QPoint& pos);
    // Called when the user acts on the vertical scroll bar while the grid does not scroll
    // its rows with it (see SetVertBarFollowsRows).
    virtual void VertScrollAction(int action);

    // When false the vertical scroll bar is left to the derived grid: the base neither sets
    // its range nor scrolls rows when it moves, and reports actions through VertScrollAction.
    void SetVertBarFollowsRows(bool value);
    // Sets the vertical scroll bar of a grid that manages it itself, without feedback.
    void SetVertBar(int minimum, int maximum, int pageStep, int value);
    // Column whose right edge lies within margin pixels of x, -1 for none.
    int ColumnEdgeAt(int x, int margin) const;
    bool VertBarFollowsRows() const { return FVertBarFollowsRows; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

    // Data rows area: everything below the fixed rows.
    QRect ScrollingRowsRect() const;
    int FixedWidth() const;
    int FixedHeight() const;

private:
    void ClampCurrentAndTopLeft();
    void SetTopLeft(int leftCol, int topRow);
    void DrawGridLines(QPainter& painter, const QRect& cell, bool fixed);
    void PaintCells(QPainter& painter, const QRegion& region);
    void ApplyScrollBars();
    // Moves the painted pixels of an area by dy and repaints only what is uncovered.
    void ScrollArea(const QRect& area, int dy);
    // Draws one cell; a fault paints the cell plain and is reported (once) later.
    void DrawCellGuarded(QPainter& painter, int col, int row, const QRect& cell, TGridDrawState state);
    void NoteDrawingFault(const QString& message);

    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    std::vector<bool> FTabStops;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    TGridOptions FOptions;
    QColor FColor;
    QColor FFixedColor;
    int FLeftCol = 1;
    int FTopRow = 1;
    TGridCoord FCurrent{1, 1};
    bool FDonotScroll = false;
    bool FVertBarFollowsRows = true;
    bool FSettingBars = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    QPainter* FCanvas = nullptr;
    TGridState FGridState = TGridState::gsNormal;
    int FSizingIndex = -1;
    int FSizingStartX = 0;
    int FSizingStartWidth = 0;
    int FMoveFrom = -1;
    int FMoveTo = -1;
    QPoint FPressPos;
    bool FMoveArmed = false;
    qint64 FDrawCellCount = 0;
    bool FDrawFaultNoted = false;
    // What has been painted, kept so that scrolling moves pixels instead of repainting
    // cells, and so that Qt's own repaints (a child hidden, an expose) cost only a copy.
    QPixmap FBuffer;
    QRegion FValid;
};
