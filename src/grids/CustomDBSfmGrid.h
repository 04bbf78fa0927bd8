#pragma once

#include "base/TSortOrder.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/DynFilterList.h"
#include "grids/IGridSearch.h"
#include "grids/OrderInfoList.h"
#include "grids/SFMWarningColumns.h"
#include "grids/TExportType.h"
#include "platform/rtl/Value.h"

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QPainter;
class TDataSet;
class TEkColumn;
class TField;
class TKpImageList;
class TToExcel;
class TDocumentExportBase;
class TFldDlg;

// The grid every screen shows: the data grid plus a header menu (search, filters, sorting,
// columns, exports), a multi-column sort order applied as an index of a client dataset,
// sort marks in the titles, column filters, warning colours, a notice while there is no
// data, and title cells that act as sort buttons.
class TCustomDBSfmGrid : public TCustomDBEdGrid, public IGridSearch {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCustomDBSfmGrid* Sender)>;
    using TBeforeSortSFMGridEvent = std::function<void(TCustomDBSfmGrid* Sender, int FieldNr, bool& PerformSort,
                                                       bool& SortAscending, bool& SortAdditional)>;
    using TAfterSortSFMGridEvent = std::function<void(TCustomDBSfmGrid* Sender, int FieldNr, bool SortAscending,
                                                      bool SortAdditional, bool Success)>;
    using TBeforeUnsortSFMGridEvent = std::function<void(TCustomDBSfmGrid* Sender, bool& PerformUnsort)>;
    using TShowFinds = std::function<void(const QString& FName, int OrderInd, bool& doShow, bool& UseDisplayText)>;
    using TOnGetFieldDescProp = std::function<void(TCustomDBSfmGrid* Sender, const QString& FieldName,
                                                   const QString& PropName, ::Value& Value)>;
    using TOnGetOrderFldFromIndexingFld =
        std::function<void(TCustomDBSfmGrid* Sender, const QString& IndexFldName, QString& OrderFldName)>;
    using TGetVirtualSelectedEvent = std::function<void(TCustomDBSfmGrid* Sender, bool& IsSelected)>;
    using TGetCellColorEvent =
        std::function<void(TCustomDBSfmGrid* Sender, TEkColumn* Column, TGridDrawState State, QPainter& Canvas)>;
    using TBeforeFilterGridEvent = std::function<void(TCustomDBSfmGrid* Sender, int FieldNr, bool& PerformFilter,
                                                      bool& FilterEqual, bool& FilterAdditional)>;
    using TAfterFilterGridEvent = std::function<void(TCustomDBSfmGrid* Sender, int FieldNr, bool FilterEqual,
                                                     bool FilterAdditional, bool Success)>;
    using TBeforeUnfilterGridEvent =
        std::function<void(TCustomDBSfmGrid* Sender, bool& PerformUnfilter, bool CurrentField)>;
    using TOnFilterEvent =
        std::function<void(TCustomDBSfmGrid* Sender, int FieldNr, TField* Field, bool Equal, bool Additional)>;
    using TOnUnfilterEvent = std::function<void(TCustomDBSfmGrid* Sender, TField* Field)>;
    using TShowFilter = std::function<void(const QString& FName, bool& doShow)>;

    // Commands whose windows and writers live elsewhere; a grid asks these when set.
    using TSearchHook = std::function<void(TCustomDBSfmGrid* Grid, const QString& Text)>;
    using TGridHook = std::function<void(TCustomDBSfmGrid* Grid)>;
    static TSearchHook ShowIncrementalSearchHook;
    static TSearchHook ShowFindHook;
    static TGridHook ShowNextValueHook;

    static constexpr int NoFocusField = -300;
    static inline const QString SortIndexName = QStringLiteral("SFMGridSort");
    static inline const QColor GridLinkColor = QColor(0x00, 0x00, 0xEE);

    explicit TCustomDBSfmGrid(QWidget* parent = nullptr);
    ~TCustomDBSfmGrid() override;

    // ---- sorting ---------------------------------------------------------------------------
    void SortGrid(int FieldNr, bool SortAscending, bool SortAdditional);
    QString OrderBy() const;
    void SetOrderBy(const QString& Value);
    QString OriginalOrderBy() const { return FOriginalOrderBy; }
    void SetOriginalOrderBy(const QString& Value);
    const TOrderInfoList& Order() const { return FOrder; }
    TSortOrder ColumnSortOrder(int aCol);
    QString GetSortFilter(const QString& FieldNames) override;
    void ClearSort();
    virtual void RestoreOriginalOrder();
    virtual bool CanShowNextPrev(const QString& FName, int OrderInd);
    virtual bool CanShowFind(const QString& FName, int OrderInd);
    virtual bool CanShowSearch(const QString& FName, int OrderInd);
    // Opens the header menu of PopupCol (X and Y are not used).
    virtual void PrepareHeaderPopup(int X, int Y);
    QMenu* HeaderPopup() const { return FHeaderPopup; }
    // The grid field index of a dataset field number, -1 when no grid field has it.
    int FieldIndexOfFieldNo(int FieldNo) const;
    QString FieldNameOfFieldNo(int FieldNo) const;
    QString OrderFieldName(int FieldNo);

    // ---- filters, warnings, selection -------------------------------------------------------
    bool FilterGrid(int FieldNr, bool FilterEqual, bool FilterAdditional, bool Unfilter);
    void UnfilterAll();
    virtual bool CanShowFilter(const QString& FName);
    TDynFilterList& FilterList();
    bool HasFilterList() const { return FFilter != nullptr; }
    virtual bool ToggleVirtualSelection();
    bool IsVirtualSelected();
    bool IsCurrentRowSelected() override;
    void SetClearCtrl(bool Value) override { FClearCtrl = Value; }
    void VirtualSelectRun(int Count, bool Up);
    TSFMWarningColumns* WarningColumns() const { return FWarningColumns.get(); }
    void SetWarningColumns(const TSFMWarningColumns& Value) { FWarningColumns->Assign(Value); }
    bool NeedsNoDataMessage() const;
    QString NoDataMessage() const { return FNoDataMessage; }
    void SetNoDataMessage(const QString& Value);
    bool ShowingNoDataMessage() const { return FShowingNoDataMessage; }

    // ---- commands carried out by other windows ------------------------------------------------
    virtual void ShowIncrementalSearch(const QString& Text);
    virtual void ShowFind(const QString& Text);
    virtual void ShowNextValue();

    // ---- exports ---------------------------------------------------------------------------
    using TExportToExcelEvent = std::function<void(TCustomDBSfmGrid* Sender, TToExcel& ToExcel)>;
    using TExportEvent =
        std::function<void(TCustomDBSfmGrid* Sender, TExportType ExportType, TDBEdGridColumns& Columns)>;
    // The grid's records with the columns chosen in the column chooser (the shown ones when it
    // is skipped) into a new workbook in the temporary folder, which is then opened.
    // XLSFormat: 2 a binary workbook, 9 Office Open XML.
    virtual void ExportToExcel(bool AShowColumnsDialog, int XLSFormat);
    virtual void ExportToOOXMLSheet(bool AShowColumnsDialog);
    virtual void ExportToOpenDocumentSpreadSheet(bool AShowColumnsDialog);
    // Raised after the columns are set and before the workbook is written.
    TExportToExcelEvent OnExportToExcel;
    TExportEvent OnExport;

    // ---- properties ------------------------------------------------------------------------
    TSortOrder DefaultSortOrder() const { return FDefaultSortOrder; }
    void SetDefaultSortOrder(TSortOrder Value) { FDefaultSortOrder = Value; }
    bool DoSort() const { return FDoSort; }
    void SetDoSort(bool Value) { FDoSort = Value; }
    bool DoFilter() const { return FDoFilter; }
    void SetDoFilter(bool Value) { FDoFilter = Value; }
    bool DoExcelExport() const { return FDoExcelExport; }
    void SetDoExcelExport(bool Value) { FDoExcelExport = Value; }
    bool FindNotSorted() const { return FFindNotSorted; }
    void SetFindNotSorted(bool Value) { FFindNotSorted = Value; }
    bool ShowIndicators() const { return FShowIndicators; }
    void SetShowIndicators(bool Value);
    bool VirtualMultiSelect() const { return FVirtualMultiSelect; }
    void SetVirtualMultiSelect(bool Value);
    QColor VirtualSelectedColor() const { return FVirtualSelectedColor; }
    void SetVirtualSelectedColor(const QColor& Value) { FVirtualSelectedColor = Value; }
    // True only while UseColumnsDesc is on as well.
    bool AllowColumnsDialog() const { return FAllowColumnsDialog && UseColumnsDesc(); }
    void SetAllowColumnsDialog(bool Value) { FAllowColumnsDialog = Value; }
    bool UseDisplayTextForFinds() const { return FUseDisplayTextForFinds; }
    QWidget* SearchForm() const { return FSearchForm; }
    QString ServerSortFunc;
    QPoint SearchFormPos{-1000, -1000};
    int PopupCol = 0;
    TField* DblClickedField = nullptr;

    // Sort-mode state, readable for drawing and tests.
    bool SortButtonDown() const { return FSortButtonDown; }
    bool SortButtonClick() const { return FSortButtonClick; }
    TGridCoord SortBtnCoord() const { return FSortBtnCoord; }
    int FocusFieldNo() const { return FFocusFieldNo; }
    TGridCoord SortFocusCell();
    // Image index of key K (0 = first key) of the sort marks.
    static int SortIndicatorImageIndex(int K, bool Descending);
    static TKpImageList* SortIndicatorImages();
    static int SortGridCount();

    // ---- IGridSearch -----------------------------------------------------------------------
    QWidget* GetSearchForm() override { return FSearchForm; }
    void SetSearchForm(QWidget* AForm) override;
    QWidget* GetSelf() override { return this; }
    QWidget* GetControl() override { return this; }
    TDataSet* GetDataSet() override { return LinkDataSet(); }
    QString GetPopupFieldName() override;
    TSortOrder GetPopupSortOrder() override { return ColumnSortOrder(PopupCol); }
    QPoint GetSearchFormPos() override { return SearchFormPos; }
    void SetSearchFormPos(const QPoint& Point) override { SearchFormPos = Point; }
    QString GetCaption() override;
    QString GetPopupIdxFields() override;
    bool IsUseDisplayTextForFinds() override { return FUseDisplayTextForFinds; }
    void Invalidate() override { InvalidateGrid(); }
    void DoIncrementalSearch(const QString&, const QString&, bool& Handled) override { Handled = false; }
    void DoSearchForward(const QString&, const QString&, bool, bool& Handled) override { Handled = false; }
    void DoSearchBackward(const QString&, const QString&, bool, bool& Handled) override { Handled = false; }
    void JumpToStart(bool& Handled) override { Handled = false; }

    // ---- data link -------------------------------------------------------------------------
    void LinkActive(bool Value) override;
    bool IsDottedColumn(TEkColumn* Column) override;

    // ---- events ----------------------------------------------------------------------------
    TBeforeSortSFMGridEvent BeforeSortGrid;
    TAfterSortSFMGridEvent AfterSortGrid;
    TBeforeUnsortSFMGridEvent BeforeUnsort;
    TNotifyEvent OnSort;
    TNotifyEvent OnCaptionClick;
    TNotifyEvent OnHeaderPopup;
    TShowFinds OnShowFind;
    TShowFinds OnShowNextPrev;
    TShowFinds OnShowSearch;
    TOnGetFieldDescProp OnGetFieldDescProp;
    TOnGetOrderFldFromIndexingFld OnGetOrderFldFromIndexingFld;
    TGetVirtualSelectedEvent OnGetVirtualSelected;
    TNotifyEvent OnToggleVirtualSelection;
    TGetCellColorEvent OnGetCellColor;
    TBeforeFilterGridEvent BeforeFilterGrid;
    TAfterFilterGridEvent AfterFilterGrid;
    TBeforeUnfilterGridEvent BeforeUnfilter;
    TOnFilterEvent OnFilter;
    TOnUnfilterEvent OnUnfilter;
    TShowFilter OnShowFilter;
    // Fired by a double click on a data cell, after DblClickedField is set.
    TNotifyEvent OnDblClick;

protected:
    virtual std::unique_ptr<TSFMWarningColumns> CreateWarningColumns();
    void DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState) override;
    void DrawTitleCell(int ACol, const QRect& ARect);
    void DrawDataCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    // Whether the key is the shortcut of an action of the grid, its parents or its window.
    bool IsMenuShortCut(QKeyEvent* event) const;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    void ResetSortState();
    // Whether the order was applied (a refused or failed sort answers false).
    bool DoSortGrid(int I, bool Asc, bool Additional);
    void ClientSort();
    bool DoFilterGrid(int I, bool Equal, bool Additional, bool Unfilter);
    void EndSortMode();
    void InvalidateTitleCell(TGridCoord Coord);
    bool TakeFocus();
    // Typed characters: a sorted grid opens its search; answers whether the key was used.
    bool HandleKeyPress(QKeyEvent* event);
    void MoveSortFocus(TGridCoord& C, bool Right);
    // Grid field of a grid column (indicator taken off), nullptr when none.
    TField* FieldOfGridCol(int GridCol) const;
    bool IsSortableField(TField* F) const;

    bool FUseDisplayTextForFinds = false;
    bool FClearCtrl = false;

private:
    // Steps shared by the exports: browse mode, a copy of the columns, the chooser; nullptr
    // when there is nothing to export or the user cancelled.
    std::unique_ptr<TFldDlg> ExportColumnsDialog(bool AShowColumnsDialog, TDBEdGridColumns& Cols);
    void ExportColumnToList(TDocumentExportBase& W, TDBEdGridColumns& Cols, TEkColumn* C, bool CheckField);
    void BuildHeaderPopup();
    void HeaderPopupClick(QAction* Item);
    void HandleMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& P, bool Double,
                         QMouseEvent* Original);
    void ClearSelectedRows();
    QString OrderFieldFromIndexingField(const QString& Name);

    bool FDoExcelExport = true;
    bool FShiftDown = false;
    bool FSpaceShift = false;
    bool FSpaceCtrl = false;
    QPointer<QWidget> FSearchForm;
    TSortOrder FDefaultSortOrder = TSortOrder::soAscending;
    bool FSortButtonDown = false;
    bool FSortButtonClick = false;
    TGridCoord FSortBtnCoord{0, 0};
    bool FShowIndicators = true;
    int FFocusFieldNo = NoFocusField;
    TSortOrder FFocusSortOrder = TSortOrder::soAscending;
    int FPrevSortFieldNo = NoFocusField;
    TSortOrder FPrevSortOrder = TSortOrder::soAscending;
    std::unique_ptr<TSFMWarningColumns> FWarningColumns;
    QPoint FMouseDownCoor{-1, -1};
    QString FOriginalOrderBy;
    QString FOriginalFilter;
    bool FOriginalFiltered = false;
    bool FReOrderOnError = false;
    bool FDontReorder = false;
    TOrderInfoList FOrder;
    TOrderInfoList FPrevOrder;
    std::unique_ptr<TDynFilterList> FFilter;
    QMenu* FHeaderPopup = nullptr;
    bool FFindNotSorted = true;
    bool FDoSort = true;
    bool FDoFilter = true;
    bool FVirtualMultiSelect = false;
    bool FVirtualSelecting = false;
    bool FVirtualSelectingUp = false;
    QColor FVirtualSelectedColor{0x00, 0x00, 0x80};
    bool FInToggleVirtualSelection = false;
    bool FAllowColumnsDialog = false;
    QString FNoDataMessage;
    bool FShowingNoDataMessage = false;
    // Where the current row's frame was drawn last (viewport coordinates), empty for none.
    QRect FFocusFrameRect;
    bool FPrevEditorMode = false;
    bool FSuppressContextMenu = false;
    // The keyboard sort mode took its copy of the order list (FPrevOrder is current).
    bool FKeySortMode = false;
};
