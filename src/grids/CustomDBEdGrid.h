#pragma once

#include "base/IScalableComponent.h"
#include "grids/DBEdGridTypes.h"
#include "platform/data/Bookmark.h"
#include "platform/data/DBTypes.h"
#include "platform/rtl/Value.h"
#include "platform/ui/CustomGrid.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

class QMenu;
class TDBEdGridColumns;
class TDataSet;
class TDataSource;
class TEdGridDataLink;
class TEnumStrings;
class TColumnDragObject;
class QLabel;
class QTimer;
class TEkColumn;
class TField;
class TKpImageList;
class TEdBookmarkList;
class QTimer;

// The data-aware grid: each data row shows one record of its data link's buffer window,
// each data column one column of its column collection; an optional indicator column and
// title row. Cells other than the indicator are painted by derived grids, which use
// DefaultDrawColumnCell, GetEditText and HighlightCell.
class TCustomDBEdGrid : public TCustomGrid, public IScalableComponent {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCustomDBEdGrid* Sender)>;
    using TMovedEvent = std::function<void(TCustomDBEdGrid* Sender, int FromIndex, int ToIndex)>;
    using TDBEdGridClickEvent = std::function<void(TEkColumn* Column)>;
    using TDrawDataCellEvent =
        std::function<void(TCustomDBEdGrid* Sender, const QRect& Rect, TField* Field, TGridDrawState State)>;
    using TEdDrawColumnCellEvent = std::function<void(TCustomDBEdGrid* Sender, const QRect& Rect,
                                                      int DataCol, TEkColumn* Column, TGridDrawState State)>;
    using TGetColumnButtonStyleEvent = std::function<void(TEkColumn* Column, TEkColumnButtonStyle& ButtonStyle)>;

    static constexpr TDBGridOptions DefaultOptions = dgEditing | dgAlwaysShowEditor | dgTitles | dgIndicator |
                                                     dgColumnResize | dgColLines | dgRowLines | dgTabs |
                                                     dgConfirmDelete;

    explicit TCustomDBEdGrid(QWidget* parent = nullptr);
    ~TCustomDBEdGrid() override;

    // ---- data ----------------------------------------------------------------------------
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    TEdGridDataLink* DataLink() const { return FDataLink.get(); }
    // The link's dataset, nullptr without one.
    TDataSet* LinkDataSet() const;
    bool LinkActive() const;
    int FieldCount() const;
    bool ValidFieldIndex(int FieldIndex) const;
    TField* GetFields(int FieldIndex) const;
    TField* FieldByName(const QString& FName) const;
    // A field of the link's dataset by name, nullptr when none (or no dataset); open tells
    // whether the dataset is open.
    TField* FindDataSetField(const QString& Name, bool* Open = nullptr) const;
    bool DataSetControlsDisabled() const;
    // Field names of the link's dataset in field order (hidden fields included).
    QStringList DataSetFieldNames() const;
    // A string field that holds links.
    virtual bool IsUrlField(TField* Field) const;
    // Moves a field to another field's place in the dataset's field order.
    void MoveDataSetField(TField* Field, TField* Target);
    // Takes the focus when the grid may; answers whether the grid (or its editor) has it.
    bool AcquireFocus();
    // Writes the editor's text (as last handed to the grid) into the selected field.
    virtual void WriteEditText();

    // ---- columns -------------------------------------------------------------------------
    TDBEdGridColumns* Columns() const { return FColumns.get(); }
    TDBEdGridColumns* InvisibleColumns() const { return FInvisibleColumns.get(); }
    TDBEdGridColumns* OriginalColumns() const { return FOriginalColumns.get(); }
    bool HasDefaultColumns() const;
    TEkColumn* ColumnByFieldName(const QString& FName) const;
    TEkColumn* FindFocusColumn(const QString& FName) const;
    TEkColumn* SelectedColumn() const;
    TField* SelectedField() const;
    void SetSelectedField(TField* Value);
    int SelectedIndex() const;
    void SetSelectedIndex(int Value);
    // Copies all columns (shown, then hidden) into the design-time copy.
    void FixDefaultColumns();
    void ClearDefaultColumns();
    // Makes an empty collection of plain columns for this grid.
    virtual std::unique_ptr<TDBEdGridColumns> CreateColumns();
    // Whether a column shows "..." instead of values; derived grids answer.
    virtual bool IsDottedColumn(TEkColumn* Column);
    // Whether the grid has selected rows.
    virtual bool HasSelectedRows() const;
    // Whether the link's active record is among the selected rows.
    virtual bool IsCurrentRowSelected();
    // The multi-row selection; nullptr while a derived grid keeps its own.
    TEdBookmarkList* SelectedRows() const { return FBookmarks.get(); }

    // ---- input ---------------------------------------------------------------------------
    // Key handling in the order the keyboard delivers it: a key goes down (Key 0 = consumed),
    // then its character is typed, then the key goes up.
    virtual void KeyDown(int& Key, Qt::KeyboardModifiers Shift);
    virtual void KeyPress(QChar& Key);
    virtual void KeyUp(int& Key, Qt::KeyboardModifiers Shift);
    virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos, bool Double);
    virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos);
    // Makes a grid column current, with the column exit and entry events.
    void MoveCol(int RawCol);
    void SelectFirstTabColumn();
    // Steps to the next (previous) column that takes input, wrapping to the next (previous)
    // record; ToEnd walks to the last such column instead.
    void Tab(bool GoForward, bool ToEnd);
    void NextRow(bool Select);
    void PriorRow(bool Select);
    void DoSelection(bool Select, int Direction);
    void ClearSelection();
    void ToggleCheckValue(TEkColumn* Column);
    // Deletes the selected records (or the current one) after asking; answers whether it did.
    bool DeleteRows();
    bool DeletePrompt();
    // Offers the texts of the current record's link columns; AutoClick opens a lone one.
    void ShowLinkMenu(bool AutoClick);
    QMenu* LinkPopup() const { return FLinkPopup; }
    // Opens a web or mail address; any other text is left alone.
    void OpenLinkTarget(const QString& S);
    // Editing queries of the in-place editor.
    bool CanEditAcceptKey(QChar Key);
    bool CanEditModify();
    int GetEditLimit() override;
    QString GetEditMask() override;
    // Scrolls the records while a mouse selection is held beyond the top (-1) or bottom (1).
    void TimedScroll(int Direction);
    bool SelectionScrolling() const;

    // ---- properties ----------------------------------------------------------------------
    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions Value);
    TGridExtOptions ExtOptions() const { return FExtOptions; }
    void SetExtOptions(TGridExtOptions Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    QFont TitleFont() const { return FTitleFont; }
    void SetTitleFont(const QFont& Value);
    QFont GridFont() const { return font(); }
    // Writing the grid's font switches ParentFont off.
    void SetGridFont(const QFont& Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TEdGridFirstOnExit GoFirstOnExit() const { return FGoFirstOnExit; }
    void SetGoFirstOnExit(TEdGridFirstOnExit Value) { FGoFirstOnExit = Value; }
    bool GreyedROColumns() const { return FGreyedROColumns; }
    void SetGreyedROColumns(bool Value);
    bool NoAppend() const { return FNoAppend; }
    void SetNoAppend(bool Value) { FNoAppend = Value; }
    bool NoDelete() const { return FNoDelete; }
    void SetNoDelete(bool Value) { FNoDelete = Value; }
    bool UseEOFLine() const { return FUseEOFLine; }
    void SetUseEOFLine(bool Value) { FUseEOFLine = Value; }
    bool CellAutoHint() const { return FCellAutoHint; }
    void SetCellAutoHint(bool Value) { FCellAutoHint = Value; }
    bool UseColumnsDesc() const { return FUseColumnsDesc; }
    void SetUseColumnsDesc(bool Value);
    bool InsertF2atEnd() const { return FInsertF2atEnd; }
    void SetInsertF2atEnd(bool Value) { FInsertF2atEnd = Value; }
    TScrollStyle ScrollBarsOn() const { return FScrollBarsOn; }
    void SetScrollBarsOn(TScrollStyle Value);
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value) { FImeMode = Value; }
    QString ImeName() const { return FImeName; }
    void SetImeName(const QString& Value) { FImeName = Value; }
    QString Hint() const { return FHint; }
    TGridCoord HoverCell() const { return FHoverCell; }
    TGridCoord HintCell() const { return FHintCell; }
    int TitleOffset() const { return FTitleOffset; }
    int IndicatorOffset() const { return FIndicatorOffset; }
    bool LayoutFromDataset() const { return FLayoutFromDataset; }
    void SetLayoutFromDataset(bool Value) { FLayoutFromDataset = Value; }
    bool IsLoading() const { return FLoading; }
    bool IsDestroying() const { return FDestroying; }
    int SelRow() const { return FSelRow; }
    QString InplaceEditText() const;
    void SetInplaceEditText(const QString& Value);

    // ---- scaling -------------------------------------------------------------------------
    double GetScale() const override { return FScale; }
    double Scale() const { return FScale; }
    // Raises for zero, negative or not-a-number scales.
    void SetScale(double Value) override;
    // Value x Scale x pixels per inch / 96, rounded half to even.
    int ScaleValue(int V) const;
    // The monitor's resolution changed from D to M pixels per inch.
    void ChangeScale(int M, int D);
    void RescaleColumns(bool ScaleFonts, double Old, double New);
    bool AutoFitColumns() const { return FAutoFitColumns; }
    void SetAutoFitColumns(bool Value);
    void AutoFitWidths();
    // Hides the editor now, or shows it on a later turn of the event loop; answers whether
    // it was shown before.
    bool ShowHideEditorAsync(bool Show);

    // ---- layout --------------------------------------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    int UpdateLock() const { return FUpdateLock; }
    void BeginLayout();
    void EndLayout();
    void CancelLayout();
    bool AcquireLayoutLock();
    void DeferLayout();
    virtual void LayoutChanged();
    // Number of layout passes run, for tests of batching.
    int LayoutCount() const { return FLayoutCount; }
    int LayoutLock() const { return FLayoutLock; }
    // A shown column changed: its width, its cell texts, the editor over it.
    void ColumnUpdated(TEkColumn* Column);
    // Shows every hidden column.
    virtual void ShowAllColumns();

    // ---- column chooser and columns description --------------------------------------------
    using TColumnsDescEvent = std::function<void(TCustomDBEdGrid* Sender, TEnumStrings& dsc)>;
    using TColumnRemoveEvent = std::function<void(TCustomDBEdGrid* Sender, const QString& FieldName, bool& DoRemove)>;
    // The chooser over the shown and hidden columns; its OK rebuilds both.
    virtual void FieldsDialog();
    // Dest becomes a copy of the shown columns followed by the hidden ones.
    void CopyAllColumns(TDBEdGridColumns* Dest);
    void RestoreDefaultColumnsToColumns(TDBEdGridColumns* descTo);
    // Field name and width at 96 dpi and scale 1 per column (OnlyVisible skips hidden ones).
    std::unique_ptr<TEnumStrings> BuildColumnsDesc(TDBEdGridColumns* Collection, bool OnlyVisible);
    virtual void SaveColumnsDesc();
    virtual void RestoreColumnsDesc();
    virtual void RestoreColumnsWidth();
    TColumnsDescEvent OnSaveColumnsDesc;
    TColumnsDescEvent OnRestoreColumnsDesc;
    TColumnRemoveEvent OnColumnRemove;

    // ---- column drag and column fit ----------------------------------------------------------
    // The grid column of this grid's column drag, else the platform's column being moved.
    int DragColumnIndex() const;
    // The grid column before which a drop at (X, Y) puts the dragged column (the column count:
    // after the last), -1 where it cannot go.
    int DropColumnAt(int X, int Y);
    void DrawDragMark(int Col, bool Show);
    void DragOver(TColumnDragObject* Source, int X, int Y, bool& Accept);
    void DragDrop(TColumnDragObject* Source, int X, int Y);
    // The drag ends, over this grid (OverTarget) or elsewhere.
    void DoEndDrag(bool OverTarget, int X, int Y);
    // Mouse release (Drop) or Esc during a column drag.
    void EndColumnDrag(bool Drop, const QPoint& Pos);
    void DragScrollTick();
    QTimer* DragScrollTimer();
    // Fits a column to its title (Ctrl or no Shift) and its cell texts (Shift or no Ctrl).
    void AutoFitColumn(int ACol, Qt::KeyboardModifiers Shift);
    QLabel* DragMarkLabel() const { return FDragMark; }

private:
    void StartColumnDrag(const QPoint& Pos);
    // Tracks the drag start and moves a drag under way; true when the move was the drag's.
    bool ColumnDragMouseMove(QMouseEvent* event);
    void ColumnDragMove(const QPoint& Pos);
    TColumnDragObject* FColumnDrag = nullptr;
    QTimer* FDragTimer = nullptr;
    QLabel* FDragMark = nullptr;
    QPoint FDragStartPos{-1, -1};
    QPoint FDragMousePos;
    bool FDragLeftAlone = false;

public:
    // Streaming end: takes the design-time copy and lays out.
    void BeginLoading() { FLoading = true; }
    void Loaded();

    // ---- data link reactions -------------------------------------------------------------
    virtual void LinkActive(bool Value);
    virtual void Scroll(int Distance);
    void DataChanged();
    void RecordChanged(TField* Field);
    void EditingChanged();
    void UpdateRowCount();
    void UpdateActive();
    void UpdateScrollBar();
    void MoveByRecords(int Distance);
    // A field, data source or menu is going away.
    void FieldRemoved(TField* Field, bool Destroying);
    void DataSourceRemoved();
    void PopupMenuRemoved(QMenu* Menu);

    // ---- drawing and texts ---------------------------------------------------------------
    void DefaultDrawColumnCell(const QRect& Rect, int DataCol, TEkColumn* Column, TGridDrawState State,
                               const QString& AText = QString());
    void DefaultDrawDataCell(const QRect& Rect, TField* Field, TGridDrawState State);
    void TextDraw(const QRect& ARect, int DX, int DY, const QString& Text, TAlignment Alignment);
    virtual bool HighlightCell(int DataCol, int DataRow, const QString& Value, TGridDrawState State);
    QString GetEditText(int ACol, int ARow) override;
    QString GetCellHintText(int Index);
    TField* ColumnField(int Index) const;
    static int CheckStateOfValue(const ::Value& Value, TEkColumn* Column);
    static void SplitCheckValues(const QString& S, QStringList& List);
    void DrawCheckBoxCell(QPainter& Canvas, const QRect& Rect, TGridDrawState State, TEkColumn* Column,
                          const ::Value& Value);
    void SetHoverCell(int ACol, int ARow);
    // Indicator glyph of a data row (-1: none), as drawn.
    int IndicatorState(int DataRow);
    // Runs fn with record DataRow of the buffer as the link's active record; nothing (false)
    // when the row lies outside the buffer. The previous active record comes back always.
    bool WithBufferRecord(int DataRow, const std::function<void()>& fn);

    // Measuring on the grid's device (pixel sizes).
    int TextWidth(const QFont& Font, const QString& Text) const;
    int TextHeight(const QFont& Font, const QString& Text) const;
    int AverageCharWidth(const QFont& Font) const;

    // ---- events --------------------------------------------------------------------------
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TMovedEvent OnColumnMoved;
    TNotifyEvent OnValidateColumnsDesc;
    TDBEdGridClickEvent OnCellClick;
    TDBEdGridClickEvent OnTitleClick;
    TEdDrawColumnCellEvent OnDrawColumnCell;
    TDrawDataCellEvent OnDrawDataCell;
    TNotifyEvent AfterScroll;
    TNotifyEvent OnTopLeftChanged;
    TGetColumnButtonStyleEvent OnGetColumnButtonStyle;

    // ---- in-place editor's button and drop-down list ---------------------------------------
    using TDBEdGridBeforeButtonClick = std::function<void(TCustomDBEdGrid* Sender, TEkColumn* Column, bool& Handled)>;
    using TDBEdGridDropDownEvent = std::function<void(TCustomDBEdGrid* Sender, TEkColumn* Column, TEnumStrings* List)>;
    using TDBEdGridDropDownAcceptEvent = std::function<void(TCustomDBEdGrid* Sender, TEkColumn* Column,
                                                            const QString& ItemText, qintptr ItemObject, bool& Accept)>;
    // The editor's button: OnLinkableColumnClick first on a linkable column (or any column
    // with dgAutoLinkable), then OnEditButtonClick unless that handled it.
    virtual void EditButtonClick();
    // Fills the list of a drop-down column before it opens.
    virtual void DropDownCombo(TEkColumn* Column, TEnumStrings* List);
    // The sort grid keeps a Ctrl release from acting once the editor has opened a link with it.
    virtual void SetClearCtrl(bool Value) { (void)Value; }
    TNotifyEvent OnEditButtonClick;
    TDBEdGridBeforeButtonClick OnLinkableColumnClick;
    TDBEdGridDropDownEvent OnDropDownCombo;
    TDBEdGridDropDownAcceptEvent OnDropDownAccept;
    TNotifyEvent OnSelectionChanged;
    TNotifyEvent BeforeDelete;
    TNotifyEvent AfterDelete;
    std::function<void(TCustomDBEdGrid* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyDown;

protected:
    void DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState) override;
    virtual void DrawColumnCell(const QRect& Rect, int DataCol, TEkColumn* Column, TGridDrawState State);
    virtual void DrawDataCell(const QRect& Rect, TField* Field, TGridDrawState State);
    virtual void DefineFieldMap();
    virtual void SetColumnAttributes();
    void InternalLayout();
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void TopLeftChanged() override;
    bool BeginColumnDrag(int& Origin, const QPoint& Pos) override;
    bool CheckColumnDrag(int& Origin, int& Destination, const QPoint& Pos) override;
    TGridState CalcSizingState(int X, int Y, int& Index) override;
    bool CanEditShow() override;
    // The editor with its styles and pop-ups.
    TInplaceEdit* CreateEditor() override;
    void UpdateScrollRange() override;
    void VertScrollAction(int Action) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void SetEditText(int ACol, int ARow, const QString& Value) override;
    // Every key the editor hands on goes through the grid's own key handling, Esc included.
    void EditorKeyPress(QKeyEvent* event) override;
    virtual void CellClick(TEkColumn* Column);
    virtual void TitleClick(TEkColumn* Column);
    virtual void ColEnter();
    virtual void ColExit();
    // The focus came into the grid from another control, or left it for one.
    virtual void FocusEntered();
    virtual void FocusExited();
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Title row and data row heights from the fonts.
    void UpdateRowHeights();
    // Draws a cell text; every text the grid draws passes here.
    virtual void CellText(QPainter& Canvas, const QRect& Rect, int DX, int DY, const QString& Text,
                          TAlignment Alignment, uint8_t Flags);
    // Pending cached change of the link's active record: 0 none, 1 inserted, 2 modified, 3 deleted.
    virtual int CachedUpdateState();
    virtual bool DataSetIsSequenced(TDataSet* DataSet) const;
    // The link opened or closed: the multi-row selection follows it.
    virtual void SelectedRowsLinkActive(bool Value);
    // A derived grid that keeps its own selection drops the list, and makes a new one.
    void SetSelectedRowsList(bool Keep);
    // Client point of the last mouse press as a derived grid records it.
    QPoint FLastMouseDownCoor{0, 0};

private:
    void FontChanged();
    void UpdateHint(const QPoint& Pos, Qt::KeyboardModifiers Modifiers);

    std::unique_ptr<TEdGridDataLink> FDataLink;
    std::unique_ptr<TDBEdGridColumns> FColumns;
    std::unique_ptr<TDBEdGridColumns> FInvisibleColumns;
    std::unique_ptr<TDBEdGridColumns> FOriginalColumns;
    QFont FTitleFont;
    bool FParentFont = true;
    bool FReadOnly = false;
    TImeMode FImeMode = TImeMode::imDontCare;
    QString FImeName;
    bool FLayoutFromDataset = false;
    TDBGridOptions FOptions = DefaultOptions;
    uint8_t FUpdateLock = 0;
    uint8_t FLayoutLock = 0;
    bool FDefaultDrawing = true;
    bool FSelfChangingTitleFont = false;
    bool FChangingScale = false;
    int FSelRow = 0;
    QString FEditText;
    bool FNoAppend = false;
    bool FNoDelete = false;
    TEdGridFirstOnExit FGoFirstOnExit = TEdGridFirstOnExit::foeAlways;
    bool FUseEOFLine = false;
    bool FGreyedROColumns = true;
    bool FCellAutoHint = true;
    TGridCoord FHintCell;
    QString FHint;
    bool FUseColumnsDesc = false;
    double FScale = 1.0;
    bool FAutoFitColumns = false;
    bool FAutoFitting = false;
    TScrollStyle FScrollBarsOn = TScrollStyle::ssNone;
    bool FInsertF2atEnd = false;
    TGridExtOptions FExtOptions = geoFocusRect;
    TGridCoord FHoverCell{0, 0};
    int FTitleOffset = 1;
    int FIndicatorOffset = 1;
    bool FLoading = false;
    bool FDestroying = false;
    bool FDeferredLayoutPending = false;
    int FLayoutCount = 0;
    // Vertical scroll bar values last written (minimum, maximum, page, position).
    int FBarMin = 0, FBarMax = 0, FBarPage = 0, FBarPos = 0;
    bool FBarSet = false;
    int FDataSourceNotice = -1;
    bool FHandCursor = false;
    // Input state.
    std::unique_ptr<TEdBookmarkList> FBookmarks;
    int FSelectionDir = 0;
    bool FShiftDown = false;
    bool FSelecting = false;
    TBookmark FSelectionAnchor;
    bool FInColExit = false;
    bool FAcquireFocus = true;
    bool FFocusInside = false;
    QMenu* FLinkPopup = nullptr;
    QTimer* FSelectTimer = nullptr;
    int FSelectScrollDir = 0;
    bool FMouseSelecting = false;
    Qt::KeyboardModifiers FKeyShift;
    void FocusChanged(QWidget* Old, QWidget* Now);
    bool InsertingUntouched() const;
    bool AtDataSetEnd() const;
    void SelectionScrollStep();
    void MouseSelectionMoved(QMouseEvent* event);
    void ShowInputError(const std::exception& Error);
    bool IsFormActiveControl() const;

public:
    // Vertical scroll bar values as last written.
    int VertBarMin() const { return FBarMin; }
    int VertBarMax() const { return FBarMax; }
    int VertBarPage() const { return FBarPage; }
    int VertBarPos() const { return FBarPos; }
};
