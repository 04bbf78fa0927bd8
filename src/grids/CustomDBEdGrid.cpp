#include "grids/CustomDBEdGrid.h"

#include "base/TWeakRef.h"
#include "controls/KpGraphics.h"
#include "controls/KpPainter.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EInvalidGridOperation.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/GridIndicatorImages.h"
#include "grids/PassthroughColumn.h"
#include "grids/TDBEditGridInplaceEdit.h"
#include "grids/TEdBookmarkList.h"
#include "grids/TrimHintText.h"
#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/StringField.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/EIntOverflow.h"
#include "platform/ui/InplaceEdit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int roundChecked(double v)
{
    const double r = std::nearbyint(v); // the default rounding mode rounds halves to even
    if (!(r >= INT_MIN && r <= INT_MAX))
        throw EIntOverflow(QStringLiteral("Integer overflow"));
    return static_cast<int>(r);
}

// A font with its height multiplied by num/den, rounded.
QFont scaledFont(QFont f, double num, double den)
{
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, roundChecked(f.pixelSize() * num / den)));
    else if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * num / den);
    return f;
}

const DateTime& minDate()
{
    static const DateTime d = DateTime::EncodeDate(1900, 1, 1);
    return d;
}

const DateTime& maxDate()
{
    static const DateTime d = DateTime::EncodeDate(3000, 1, 1);
    return d;
}

bool isDateField(const TField* f)
{
    return f->DataType() == TFieldType::ftDate || f->DataType() == TFieldType::ftDateTime;
}

bool isMemoField(const TField* f)
{
    return f->DataType() == TFieldType::ftMemo || f->DataType() == TFieldType::ftWideMemo;
}

// Dates at the open ends of a period, and no date at all, show as nothing.
QString dateText(TField* f)
{
    if (f->IsNull())
        return {};
    const double days = f->AsDateTime().Days();
    if (days == minDate().Days() || days == maxDate().Days())
        return {};
    return f->DisplayText();
}

QString memoFirstLine(TField* f)
{
    QString s = f->OnGetText ? f->Text() : f->AsString();
    const int cr = s.indexOf(QLatin1Char('\r'));
    if (cr >= 0)
        s.truncate(cr);
    const int lf = s.indexOf(QLatin1Char('\n'));
    if (lf >= 0)
        s.truncate(lf);
    return s;
}

TGridOptions gridOptionsOf(TDBGridOptions o)
{
    TGridOptions g;
    if (o & dgColLines)
        g |= goFixedVertLine | goVertLine;
    if (o & dgRowLines)
        g |= goFixedHorzLine | goHorzLine;
    if (o & dgColumnResize)
        g |= goColSizing | goColMoving;
    if (o & dgTabs)
        g |= goTabs;
    if (o & dgRowSelect)
        g |= goRowSelect;
    if (o & dgEditing)
        g |= goEditing;
    if (o & dgAlwaysShowEditor)
        g |= goAlwaysShowEditor;
    return g;
}

constexpr TDBGridOptions kLayoutOptions =
    dgEditing | dgAlwaysShowEditor | dgTitles | dgIndicator | dgColLines | dgRowLines | dgRowSelect | dgAlwaysShowSelection;

} // namespace

// ---- construction ----------------------------------------------------------------------------

TCustomDBEdGrid::TCustomDBEdGrid(QWidget* parent) : TCustomGrid(parent)
{
    GridIndicatorImages::Acquire();
    SetVertBarFollowsRows(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TCustomGrid::SetOptions(gridOptionsOf(FOptions));
    FColumns = CreateColumns();
    FInvisibleColumns = CreateColumns();
    FOriginalColumns = CreateColumns();
    SetRowCount(2);
    SetColCount(2);
    FDataLink = std::make_unique<TEdGridDataLink>(this);
    SetColor(QColor(Qt::white));
    FTitleFont = font();
    FBookmarks = std::make_unique<TEdBookmarkList>(this);
    HideEditor();
    connect(qApp, &QApplication::focusChanged, this, &TCustomDBEdGrid::FocusChanged);
}

TCustomDBEdGrid::~TCustomDBEdGrid()
{
    FDestroying = true;
    // Focus changes during the widget's own destruction must not reach this class any more.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    HideEditor();
    if (FDataSourceNotice >= 0 && FDataLink->DataSource())
        FDataLink->DataSource()->RemoveFreeNotification(FDataSourceNotice);
    FDataSourceNotice = -1;
    FDataLink->SetDataSource(nullptr);
    FDataLink.reset();
    FBookmarks.reset();
    FColumns.reset();
    FOriginalColumns.reset();
    FInvisibleColumns.reset();
    GridIndicatorImages::Release();
}

std::unique_ptr<TDBEdGridColumns> TCustomDBEdGrid::CreateColumns()
{
    return std::make_unique<TDBEdGridColumns>(this);
}

// ---- data ------------------------------------------------------------------------------------

TDataSource* TCustomDBEdGrid::DataSource() const { return FDataLink->DataSource(); }

void TCustomDBEdGrid::SetDataSource(TDataSource* Value)
{
    TDataSource* old = FDataLink->DataSource();
    if (Value == old)
        return;
    SelectedRowsLinkActive(false);
    if (old && FDataSourceNotice >= 0)
        old->RemoveFreeNotification(FDataSourceNotice);
    FDataSourceNotice = -1;
    FDataLink->SetDataSource(Value);
    if (Value)
        FDataSourceNotice = Value->AddFreeNotification([this](TDataSource*) { DataSourceRemoved(); });
    LinkActive(FDataLink->Active());
}

void TCustomDBEdGrid::DataSourceRemoved()
{
    FDataSourceNotice = -1;
    if (FDestroying)
        return;
    FDataLink->SetDataSource(nullptr);
    LinkActive(false);
}

TDataSet* TCustomDBEdGrid::LinkDataSet() const { return FDataLink ? FDataLink->DataSet() : nullptr; }

bool TCustomDBEdGrid::LinkActive() const { return FDataLink && FDataLink->Active(); }

int TCustomDBEdGrid::FieldCount() const { return FDataLink->FieldCount(); }

bool TCustomDBEdGrid::ValidFieldIndex(int FieldIndex) const { return FDataLink->GetMappedIndex(FieldIndex) >= 0; }

TField* TCustomDBEdGrid::GetFields(int FieldIndex) const { return FDataLink->GetFields(FieldIndex); }

TField* TCustomDBEdGrid::FieldByName(const QString& FName) const
{
    for (int i = 0; i < FDataLink->FieldCount(); ++i)
        if (TField* f = FDataLink->GetFields(i); f && f->FieldName().compare(FName, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

TField* TCustomDBEdGrid::FindDataSetField(const QString& Name, bool* Open) const
{
    TDataSet* ds = LinkDataSet();
    if (Open)
        *Open = ds && ds->Active();
    return ds ? ds->FindField(Name) : nullptr;
}

QStringList TCustomDBEdGrid::DataSetFieldNames() const
{
    TDataSet* ds = LinkDataSet();
    return ds ? ds->GetFieldNames() : QStringList();
}

bool TCustomDBEdGrid::IsUrlField(TField* Field) const
{
    auto* s = dynamic_cast<TStringField*>(Field);
    return s && s->FieldContents() == TStringFieldContents::sfcURL;
}

void TCustomDBEdGrid::MoveDataSetField(TField* Field, TField* Target)
{
    // Default columns follow the dataset's field order: without the field moving, a moved
    // column would snap back at the next layout.
    if (Field && Target && Field->DataSet() && Field->DataSet() == Target->DataSet())
        Field->DataSet()->MoveField(Field, Target->Index());
}

bool TCustomDBEdGrid::DataSetControlsDisabled() const
{
    TDataSet* ds = LinkDataSet();
    return ds && (ds->ControlsDisabled() || ds->State() == TDataSetState::dsBlockRead);
}

bool TCustomDBEdGrid::DataSetIsSequenced(TDataSet* DataSet) const { return DataSet->IsSequenced(); }

int TCustomDBEdGrid::CachedUpdateState() { return 0; }

// ---- columns ---------------------------------------------------------------------------------

bool TCustomDBEdGrid::HasDefaultColumns() const { return FOriginalColumns->Count() > 0; }

TEkColumn* TCustomDBEdGrid::ColumnByFieldName(const QString& FName) const
{
    for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()}) {
        for (int i = 0; i < cols->Count(); ++i) {
            TEkColumn* c = cols->Items(i);
            TField* f = c->BoundField();
            const QString name = f ? f->FieldName() : c->FieldName();
            if (name.compare(FName, Qt::CaseInsensitive) == 0)
                return c;
        }
    }
    return nullptr;
}

TEkColumn* TCustomDBEdGrid::FindFocusColumn(const QString& FName) const
{
    for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()}) {
        for (int i = 0; i < cols->Count(); ++i) {
            TEkColumn* c = cols->Items(i);
            TField* f = c->BoundField();
            if ((f && f->FieldName().compare(FName, Qt::CaseInsensitive) == 0) ||
                c->FieldName().compare(FName, Qt::CaseInsensitive) == 0)
                return c;
            const QStringList tokens = c->FocusFieldNames().split(QRegularExpression(QStringLiteral("[,;]")));
            for (const QString& t : tokens)
                if (t.trimmed().compare(FName, Qt::CaseInsensitive) == 0 && !FName.isEmpty())
                    return c;
        }
    }
    return nullptr;
}

TEkColumn* TCustomDBEdGrid::SelectedColumn() const
{
    const int i = Col() - FIndicatorOffset;
    return (i >= 0 && i < FColumns->Count()) ? FColumns->Items(i) : nullptr;
}

TField* TCustomDBEdGrid::SelectedField() const
{
    TEkColumn* c = SelectedColumn();
    return c ? c->Field() : nullptr;
}

void TCustomDBEdGrid::SetSelectedField(TField* Value)
{
    if (!Value)
        return;
    for (int i = FColumns->Count() - 1; i >= 0; --i)
        if (FColumns->Items(i)->Field() == Value) {
            SetSelectedIndex(i);
            return;
        }
}

int TCustomDBEdGrid::SelectedIndex() const
{
    const int i = Col() - FIndicatorOffset;
    return (i >= 0 && i < FColumns->Count()) ? i : -1;
}

void TCustomDBEdGrid::SetSelectedIndex(int Value)
{
    const int col = Value + FIndicatorOffset;
    if (col >= FIndicatorOffset && col < ColCount())
        MoveCurrent(col, Row(), true);
}

void TCustomDBEdGrid::FixDefaultColumns()
{
    FOriginalColumns->Clear();
    for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()})
        for (int i = 0; i < cols->Count(); ++i)
            FOriginalColumns->Add()->Assign(*cols->Items(i));
}

void TCustomDBEdGrid::ClearDefaultColumns() { FOriginalColumns->Clear(); }

bool TCustomDBEdGrid::IsDottedColumn(TEkColumn*) { return false; }

void TCustomDBEdGrid::ShowAllColumns()
{
    BeginLayout();
    try {
        while (FInvisibleColumns->Count() > 0) {
            TEkColumn* c = FInvisibleColumns->Items(0);
            FInvisibleColumns->RemoveItem(c);
            FColumns->InsertItem(c);
            if (c->ShowState() == TEkColumnVisibleState::cvsHidden ||
                c->ShowState() == TEkColumnVisibleState::cvsNotAvailable)
                c->SetShowState(TEkColumnVisibleState::cvsVisible);
        }
    } catch (...) {
        EndLayout();
        throw;
    }
    // Everything shown is the plain layout again, nothing to hand on.
    FColumns->SetDescsModified(false);
    EndLayout();
}

void TCustomDBEdGrid::ColumnUpdated(TEkColumn* Column)
{
    const int col = Column->Index() + FIndicatorOffset;
    if (col < 0 || col >= ColCount())
        return;
    InvalidateEditor();
    InvalidateCol(col);
    if (!FAutoFitColumns)
        SetColWidths(col, Column->Width());
    SetTabStops(col, !Column->ReadOnly());
}

// ---- properties ------------------------------------------------------------------------------

void TCustomDBEdGrid::SetOptions(TDBGridOptions Value)
{
    if (Value == FOptions)
        return;
    if (Value & dgRowSelect)
        Value &= static_cast<TDBGridOptions>(~(dgEditing | dgAlwaysShowEditor));
    TCustomGrid::SetOptions(gridOptionsOf(Value));
    if ((FOptions & dgMultiSelect) && !(Value & dgMultiSelect))
        SelectedRowsLinkActive(LinkActive());
    const TDBGridOptions old = FOptions;
    FOptions = Value;
    if ((old ^ Value) & kLayoutOptions)
        LayoutChanged();
    if ((FOptions & dgEditing) && (FOptions & dgAlwaysShowEditor))
        ShowEditor();
}

void TCustomDBEdGrid::SetExtOptions(TGridExtOptions Value)
{
    FExtOptions = Value;
    InvalidateGrid();
}

void TCustomDBEdGrid::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    InvalidateEditor();
    if (InplaceEditor())
        InplaceEditor()->selectAll();
}

void TCustomDBEdGrid::SetTitleFont(const QFont& Value)
{
    FTitleFont = Value;
    if (!FSelfChangingTitleFont && !FLoading)
        FParentFont = false;
    if (FOptions & dgTitles)
        LayoutChanged();
}

void TCustomDBEdGrid::SetGridFont(const QFont& Value)
{
    FParentFont = false;
    setFont(Value);
}

void TCustomDBEdGrid::SetParentFont(bool Value)
{
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    if (Value) {
        setFont(QFont());
        FSelfChangingTitleFont = true;
        FTitleFont = font();
        FSelfChangingTitleFont = false;
        LayoutChanged();
    }
}

void TCustomDBEdGrid::changeEvent(QEvent* event)
{
    TCustomGrid::changeEvent(event);
    if (event->type() == QEvent::FontChange && FColumns)
        FontChanged();
}

void TCustomDBEdGrid::FontChanged()
{
    if (FParentFont && !FSelfChangingTitleFont) {
        FSelfChangingTitleFont = true;
        FTitleFont = font();
        FSelfChangingTitleFont = false;
    }
    // Columns without a font of their own follow the grid's at their next read.
    BeginLayout();
    EndLayout();
}

void TCustomDBEdGrid::SetGreyedROColumns(bool Value)
{
    FGreyedROColumns = Value;
    if (isVisible())
        InvalidateGrid();
}

void TCustomDBEdGrid::SetUseColumnsDesc(bool Value)
{
    if (Value == FUseColumnsDesc)
        return;
    FUseColumnsDesc = Value;
    if (!Value)
        ShowAllColumns();
}

void TCustomDBEdGrid::SetScrollBarsOn(TScrollStyle Value)
{
    FScrollBarsOn = Value;
    FBarSet = false;
    UpdateScrollBar();
}

QString TCustomDBEdGrid::InplaceEditText() const { return InplaceEditor() ? InplaceEditor()->text() : QString(); }

void TCustomDBEdGrid::SetInplaceEditText(const QString& Value)
{
    if (InplaceEditor())
        InplaceEditor()->setText(Value);
}

// ---- layout ----------------------------------------------------------------------------------

void TCustomDBEdGrid::BeginUpdate()
{
    if (FUpdateLock == UINT8_MAX)
        throw EIntOverflow(QStringLiteral("Integer overflow"));
    ++FUpdateLock;
}

void TCustomDBEdGrid::EndUpdate()
{
    if (FUpdateLock > 0)
        --FUpdateLock;
}

void TCustomDBEdGrid::BeginLayout()
{
    if (FLayoutLock == UINT8_MAX)
        throw EIntOverflow(QStringLiteral("Integer overflow"));
    BeginUpdate();
    if (FLayoutLock == 0)
        FColumns->BeginUpdate();
    ++FLayoutLock;
}

void TCustomDBEdGrid::EndLayout()
{
    if (FLayoutLock == 0)
        return;
    auto finish = [this] {
        if (FLayoutLock == 1)
            FColumns->EndUpdate();
        --FLayoutLock;
        EndUpdate();
    };
    try {
        if (FLayoutLock == 1)
            InternalLayout();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TCustomDBEdGrid::CancelLayout()
{
    if (FLayoutLock == 0)
        return;
    if (FLayoutLock == 1)
        FColumns->EndUpdate();
    --FLayoutLock;
    EndUpdate();
}

bool TCustomDBEdGrid::AcquireLayoutLock()
{
    if (FUpdateLock != 0 || FLayoutLock != 0)
        return false;
    BeginLayout();
    return true;
}

void TCustomDBEdGrid::LayoutChanged()
{
    if (AcquireLayoutLock())
        EndLayout();
}

void TCustomDBEdGrid::DeferLayout()
{
    if (!FDeferredLayoutPending) {
        FDeferredLayoutPending = true;
        // Runs on a later turn of the event loop; a layout in between makes it void.
        QTimer::singleShot(0, this, [this] {
            if (!FDeferredLayoutPending)
                return;
            FDeferredLayoutPending = false;
            if (AcquireLayoutLock())
                EndLayout();
            else
                DeferLayout();
        });
    }
    CancelLayout();
}

void TCustomDBEdGrid::Loaded()
{
    FLoading = false;
    if (FUseColumnsDesc)
        FixDefaultColumns();
    LayoutChanged();
}

void TCustomDBEdGrid::DefineFieldMap()
{
    TDataSet* ds = LinkDataSet();
    if (FColumns->State() == TDBEdGridColumnsState::csCustomized) {
        FDataLink->SetSparseMap(true);
        for (int i = 0; i < FColumns->Count(); ++i)
            FDataLink->AddMapping(FColumns->Items(i)->FieldName());
    } else {
        FDataLink->SetSparseMap(false);
        for (int i = 0; ds && i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->Visible())
                FDataLink->AddMapping(ds->Fields(i)->FieldName());
    }
}

void TCustomDBEdGrid::InternalLayout()
{
    if (FLoading || FDestroying)
        return;
    FDeferredLayoutPending = false;
    ++FLayoutCount;

    // Default columns followed by one of the grid's own: the default ones go.
    bool sawDefault = false, mixed = false;
    for (int i = 0; i < FColumns->Count(); ++i) {
        const bool isDefault = dynamic_cast<TPassthroughColumn*>(FColumns->Items(i)) != nullptr;
        if (isDefault)
            sawDefault = true;
        else if (sawDefault)
            mixed = true;
    }
    if (mixed)
        for (int i = FColumns->Count() - 1; i >= 0; --i)
            if (dynamic_cast<TPassthroughColumn*>(FColumns->Items(i)))
                delete FColumns->Items(i);

    FIndicatorOffset = (FOptions & dgIndicator) ? 1 : 0;
    FDataLink->ClearMapping();
    if (FDataLink->Active())
        DefineFieldMap();

    if (FColumns->State() == TDBEdGridColumnsState::csCustomized) {
        for (int i = 0; i < FColumns->Count(); ++i)
            FColumns->Items(i)->ClearField();
    } else {
        if (!FDataLink->Active() && FDataLink->DefaultFields()) {
            FColumns->Clear();
        } else {
            for (int i = FColumns->Count() - 1; i >= 0; --i) {
                TField* f = FColumns->Items(i)->BoundField();
                bool mapped = false;
                for (int j = 0; f && j < FDataLink->FieldCount() && !mapped; ++j)
                    mapped = FDataLink->GetFields(j) == f;
                if (!mapped)
                    delete FColumns->Items(i);
            }
        }
        int entries = FDataLink->FieldCount();
        if (entries == 0 && FColumns->Count() == 0)
            entries = 1;
        for (int j = 0; j < entries; ++j) {
            TField* f = FDataLink->GetFields(j);
            TEkColumn* c = nullptr;
            if (f) {
                for (int k = j; k < FColumns->Count() && !c; ++k)
                    if (FColumns->Items(k)->BoundField() == f)
                        c = FColumns->Items(k);
                if (!c) {
                    c = new TPassthroughColumn(FColumns.get());
                    c->SetField(f);
                }
            } else {
                c = new TPassthroughColumn(FColumns.get());
            }
            c->SetIndex(j);
        }
    }

    if (FDataLink->Active()) {
        for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()}) {
            cols->BeginUpdate();
            try {
                for (int i = cols->Count() - 1; i >= 0; --i) {
                    TEkColumn* c = cols->Items(i);
                    TField* f = c->Field();
                    if (!f)
                        continue;
                    if (f->Restricted() == TFieldRestrictType::frtView)
                        delete c;
                    else if (f->Restricted() == TFieldRestrictType::frtEdit)
                        c->SetReadOnly(true);
                }
            } catch (...) {
                cols->EndUpdate();
                throw;
            }
            cols->EndUpdate();
        }
    }

    SetDonotScroll(true);
    try {
        SetColCount(FColumns->Count() + FIndicatorOffset);
        SetFixedCols(FIndicatorOffset);
        FTitleOffset = (FOptions & dgTitles) ? 1 : 0;
        UpdateRowHeights();
        UpdateRowCount();
    } catch (...) {
        SetDonotScroll(false);
        throw;
    }
    SetDonotScroll(false);
    SetColumnAttributes();
    TCustomGrid::UpdateScrollRange();
    UpdateScrollBar();
    UpdateActive();
    InvalidateGrid();
}

void TCustomDBEdGrid::UpdateRowHeights()
{
    int rowHeight = TextHeight(font(), QStringLiteral("Wg")) + 3;
    if (FOptions & dgRowLines)
        rowHeight += GridLineWidth();
    SetDefaultRowHeight(rowHeight);
    if ((FOptions & dgTitles) && RowCount() > 0) {
        int title = 0;
        if (FColumns->Count() == 0)
            title = TextHeight(FTitleFont, QStringLiteral("Wg"));
        for (int i = 0; i < FColumns->Count(); ++i)
            title = std::max(title, TextHeight(FColumns->Items(i)->Title()->Font(), QStringLiteral("Wg")));
        SetRowHeights(0, title + ScaleValue(10));
    }
}

void TCustomDBEdGrid::SetColumnAttributes()
{
    for (int i = 0; i < FColumns->Count(); ++i) {
        TEkColumn* c = FColumns->Items(i);
        TField* f = FDataLink->Active() ? c->Field() : nullptr;
        const bool readOnlyLookup = f && f->Lookup() && (!f->KeyField() || f->KeyField()->ReadOnly());
        SetTabStops(i + FIndicatorOffset, !c->ReadOnly() && f && !f->Calculated() && !f->ReadOnly() && !readOnlyLookup);
        if (!FAutoFitColumns)
            SetColWidths(i + FIndicatorOffset, c->Width());
    }
    if (FOptions & dgIndicator)
        SetColWidths(0, ScaleValue(11));
}

void TCustomDBEdGrid::UpdateRowCount()
{
    if (RowCount() <= FTitleOffset)
        SetRowCount(FTitleOffset + 1);
    SetFixedRows(FTitleOffset);
    if (!FDataLink->Active() || FDataLink->RecordCount() == 0) {
        SetRowCount(FTitleOffset + 1);
        return;
    }
    SetRowCount(1000);
    FDataLink->SetBufferCount(std::max(1, VisibleRowCount()));
    SetRowCount(std::max(FDataLink->RecordCount() + FTitleOffset, FTitleOffset + 1));
    if (FOptions & dgRowSelect)
        SetTopRow(FTitleOffset);
    UpdateActive();
}

void TCustomDBEdGrid::UpdateActive()
{
    if (!FDataLink->Active() || FLoading)
        return;
    const int want = FDataLink->ActiveRecord() + FTitleOffset;
    if (want != Row() && want < RowCount() && Col() >= 0) {
        if (!(FOptions & dgAlwaysShowEditor))
            HideEditor();
        MoveCurrent(Col(), want, false);
        InvalidateEditor();
    }
    if (TField* f = SelectedField(); f && f->DataSet() && f->DataSet()->Active() && f->Text() != FEditText)
        InvalidateEditor();
}

void TCustomDBEdGrid::UpdateScrollRange()
{
    TCustomGrid::UpdateScrollRange();
}

void TCustomDBEdGrid::UpdateScrollBar()
{
    TDataSet* ds = LinkDataSet();
    if (!FDataLink || !FDataLink->Active() || !ds || DataSetControlsDisabled())
        return;
    const bool keepShown = FScrollBarsOn == TScrollStyle::ssVertical || FScrollBarsOn == TScrollStyle::ssBoth;
    int mn, mx, page, pos;
    if (DataSetIsSequenced(ds)) {
        mn = 1;
        page = std::max(0, VisibleRowCount());
        mx = ds->RecordCount() + page - 1;
        const TDataSetState st = ds->State();
        if (st == TDataSetState::dsInactive || st == TDataSetState::dsBrowse || st == TDataSetState::dsEdit)
            pos = ds->RecNo();
        else
            pos = FBarPos;
    } else {
        mn = 0;
        mx = 4;
        page = 0;
        pos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
    }
    setVerticalScrollBarPolicy(keepShown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    if (FBarSet && mn == FBarMin && mx == FBarMax && page == FBarPage && pos == FBarPos)
        return;
    FBarSet = true;
    FBarMin = mn;
    FBarMax = mx;
    FBarPage = page;
    FBarPos = pos;
    // The bar's range includes the page; the slider's values end where the last page starts.
    const int last = page > 0 ? std::max(mn, mx - page + 1) : mx;
    SetVertBar(mn, last, page > 0 ? page : 1, std::clamp(pos, mn, last));
    verticalScrollBar()->setEnabled(last > mn);
}

// ---- data link reactions ---------------------------------------------------------------------

void TCustomDBEdGrid::LinkActive(bool Value)
{
    if (!Value)
        HideEditor();
    SelectedRowsLinkActive(Value);
    LayoutChanged();
    FBarSet = false;
    UpdateScrollBar();
    if (Value) {
        if (AfterScroll)
            AfterScroll(this);
        if (FOptions & dgAlwaysShowEditor)
            ShowEditor();
    }
}

void TCustomDBEdGrid::Scroll(int Distance)
{
    const int oldRow = Row();
    const int oldSelRow = FSelRow;
    if (FDataLink->ActiveRecord() >= RowCount() - FTitleOffset)
        UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    bool all = false;
    if (Distance != 0) {
        HideEditor();
        if (std::abs(Distance) > VisibleRowCount()) {
            InvalidateGrid();
            all = true;
        } else {
            ScrollRows(FTitleOffset, Distance, DefaultRowHeight() + GridLineWidth());
            if (FOptions & dgIndicator) {
                InvalidateCell(0, oldSelRow - Distance);
                InvalidateCell(0, Row());
            }
        }
        if (FOptions & dgAlwaysShowEditor)
            ShowEditor();
    }
    if (!all) {
        // The rows that were and are current, where their pixels now are.
        InvalidateRow(oldRow - Distance);
        InvalidateRow(Row());
    }
    if (FUpdateLock == 0 && !all)
        UpdatePending();
}

void TCustomDBEdGrid::DataChanged()
{
    // Typing into a lookup cell starts a new search after any change of the data.
    TDBEditGridInplaceEdit::LastKeyTime() = 0;
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    InvalidateEditor();
    InvalidateGrid();
}

void TCustomDBEdGrid::RecordChanged(TField* Field)
{
    if (Field) {
        for (int i = 0; i < FColumns->Count(); ++i)
            if (FColumns->Items(i)->BoundField() == Field)
                InvalidateCol(i + FIndicatorOffset);
    } else {
        InvalidateGrid();
    }
    TField* selected = SelectedField();
    if (Field && Field == selected && Field->Text() != FEditText) {
        InvalidateEditor();
        if (InplaceEditor())
            InplaceEditor()->deselect();
    }
}

void TCustomDBEdGrid::EditingChanged()
{
    if (FOptions & dgIndicator)
        InvalidateCell(0, FSelRow);
}

void TCustomDBEdGrid::MoveByRecords(int Distance)
{
    if (TDataSet* ds = LinkDataSet()) {
        ds->MoveBy(Distance);
        if (AfterScroll)
            AfterScroll(this);
    }
}

void TCustomDBEdGrid::FieldRemoved(TField* Field, bool Destroying)
{
    BeginLayout();
    bool bound = false;
    try {
        for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()})
            for (int i = 0; i < cols->Count(); ++i)
                if (cols->Items(i)->BoundField() == Field) {
                    cols->Items(i)->ClearField();
                    bound = true;
                }
    } catch (...) {
        DeferLayout();
        throw;
    }
    TDataSet* ds = LinkDataSet();
    if (bound && !Destroying && ds && !ds->ControlsDisabled() && !FDestroying)
        EndLayout();
    else
        DeferLayout();
}

void TCustomDBEdGrid::PopupMenuRemoved(QMenu* Menu)
{
    for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()})
        for (int i = 0; i < cols->Count(); ++i)
            if (cols->Items(i)->PopupMenu() == Menu)
                cols->Items(i)->SetPopupMenu(nullptr);
}

// ---- platform grid hooks ---------------------------------------------------------------------

void TCustomDBEdGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    const int from = FromIndex - FIndicatorOffset, to = ToIndex - FIndicatorOffset;
    if (from >= 0 && from < FColumns->Count())
        FColumns->Items(from)->SetIndex(to);
    if (OnColumnMoved)
        OnColumnMoved(this, from, to);
    if (OnValidateColumnsDesc)
        OnValidateColumnsDesc(this);
}

void TCustomDBEdGrid::ColWidthsChanged()
{
    TCustomGrid::ColWidthsChanged();
    if (!FColumns || !FDataLink)
        return;
    if ((FDataLink->Active() || FColumns->State() == TDBEdGridColumnsState::csCustomized) && AcquireLayoutLock()) {
        try {
            for (int i = 0; i < FColumns->Count() && i + FIndicatorOffset < ColCount(); ++i)
                FColumns->Items(i)->SetWidth(ColWidths(i + FIndicatorOffset));
        } catch (...) {
            EndLayout();
            throw;
        }
        EndLayout();
    }
}

void TCustomDBEdGrid::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

// The platform never moves columns itself: its drag start begins the grid's own column drag.
bool TCustomDBEdGrid::BeginColumnDrag(int&, const QPoint& Pos)
{
    StartColumnDrag(Pos);
    return false;
}
bool TCustomDBEdGrid::CheckColumnDrag(int&, int&, const QPoint&) { return false; }

TGridState TCustomDBEdGrid::CalcSizingState(int X, int Y, int& Index)
{
    if ((FOptions & dgColumnResize) && !(FOptions & dgTitles) && GridState() == TGridState::gsNormal) {
        // Without a title row a column edge can be grabbed in any row.
        Index = ColumnEdgeAt(X, 5);
        return Index < 0 ? TGridState::gsNormal : TGridState::gsColSizing;
    }
    return TCustomGrid::CalcSizingState(X, Y, Index);
}

TInplaceEdit* TCustomDBEdGrid::CreateEditor() { return new TDBEditGridInplaceEdit(this); }

void TCustomDBEdGrid::EditButtonClick()
{
    TEkColumn* column = SelectedColumn();
    if (column && OnLinkableColumnClick &&
        (column->ButtonStyle() == TEkColumnButtonStyle::cbsLinkable || (FOptions & dgAutoLinkable))) {
        bool handled = false;
        OnLinkableColumnClick(this, column, handled);
        if (handled)
            return;
    }
    if (OnEditButtonClick)
        OnEditButtonClick(this);
}

void TCustomDBEdGrid::DropDownCombo(TEkColumn* Column, TEnumStrings* List)
{
    if (OnDropDownCombo)
        OnDropDownCombo(this, Column, List);
}

bool TCustomDBEdGrid::CanEditShow()
{
    // Check boxes and cells their owner draws are edited in place, never by a text editor.
    if (TEkColumn* column = SelectedColumn()) {
        const TEkColumnButtonStyle style = column->ButtonStyle();
        if (style == TEkColumnButtonStyle::cbsCheck || style == TEkColumnButtonStyle::cbsOwnerDraw)
            return false;
    }
    // A read-only grid still shows the editor (the memo viewer, the link cell); the editor
    // then refuses changes.
    return FLayoutLock == 0 && TCustomGrid::CanEditShow() && FDataLink && FDataLink->Active() &&
           !DataSetControlsDisabled();
}

// Keys, mouse, wheel, scroll bars, selection and editing: CustomDBEdGridInput.cpp.

void TCustomDBEdGrid::resizeEvent(QResizeEvent* event)
{
    const int oldWidth = event->oldSize().width();
    TCustomGrid::resizeEvent(event);
    if (FAutoFitColumns && FColumns->Count() > 0) {
        if (oldWidth <= 0) {
            AutoFitWidths();
        } else if (!FAutoFitting) {
            const int client = viewport()->width();
            qint64 total = 1;
            for (int c = 0; c < ColCount(); ++c)
                total += ColWidths(c);
            if (total != client) {
                qint64 sum = 0;
                for (int c = FIndicatorOffset; c < ColCount(); ++c) {
                    const int w = std::max(0, roundChecked(static_cast<double>(client) / total * ColWidths(c)));
                    SetColWidths(c, w);
                    sum += w;
                }
                if (sum >= client && ColCount() > 0) {
                    const int last = ColCount() - 1;
                    SetColWidths(last, std::max<qint64>(0, ColWidths(last) + client - sum - 1));
                }
            }
        }
    }
    if (FUpdateLock == 0) {
        UpdateRowCount();
        UpdateScrollBar();
    }
}

bool TCustomDBEdGrid::event(QEvent* event) { return TCustomGrid::event(event); }

// ---- drawing ---------------------------------------------------------------------------------

bool TCustomDBEdGrid::WithBufferRecord(int DataRow, const std::function<void()>& fn)
{
    if (!FDataLink->Active() || DataRow < 0 || DataRow >= FDataLink->RecordCount())
        return false;
    const int old = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(DataRow);
    try {
        fn();
    } catch (...) {
        FDataLink->SetActiveRecord(old);
        throw;
    }
    FDataLink->SetActiveRecord(old);
    return true;
}

int TCustomDBEdGrid::IndicatorState(int R)
{
    TDataSet* ds = LinkDataSet();
    if (!FDataLink->Active() || !ds || !ds->Active())
        return -1;
    bool multi = false;
    int cached = 0;
    if (R >= 0 && !DataSetControlsDisabled())
        WithBufferRecord(R, [&] {
            multi = IsCurrentRowSelected();
            cached = CachedUpdateState();
        });
    const bool isActive = R == FDataLink->ActiveRecord();
    int state = -1;
    if (isActive || multi || cached != 0) {
        state = 0;
        if (!multi && !isActive)
            state = cached + 4;
        else if (ds->State() == TDataSetState::dsEdit)
            state = 1;
        else if (ds->State() == TDataSetState::dsInsert)
            state = 2;
        else if (ds->State() == TDataSetState::dsBrowse && multi)
            state = isActive ? 4 : 3;
    }
    if (isActive)
        FSelRow = R + FTitleOffset;
    return state;
}

void TCustomDBEdGrid::DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState)
{
    QPainter* canvas = Canvas();
    if (!canvas)
        return;
    if (FLoading) {
        canvas->fillRect(ARect, Color());
        return;
    }
    if (!(AState & gdFixed) || ACol >= FIndicatorOffset)
        return;
    const int R = ARow - FTitleOffset;
    const int state = IndicatorState(R);
    TBackgroundPainter background;
    if (FDataLink->Active() && R == FDataLink->ActiveRecord() && R >= 0)
        background = [](QPainter& c, const QRect& r) { GridPainter().Grid_IndicatorSelected(c, r); };
    else if (R == -1)
        background = [](QPainter& c, const QRect& r) { GridPainter().Grid_Title(c, r); };
    else
        background = [](QPainter& c, const QRect& r) { GridPainter().Grid_Indicator(c, r); };
    if (state < 0 || !GridIndicatorImages::List())
        background(*canvas, ARect);
    else
        DrawCellImage(*canvas, *GridIndicatorImages::List(), ARect, state, true, 2, background, this);
}

void TCustomDBEdGrid::DrawColumnCell(const QRect& Rect, int DataCol, TEkColumn* Column, TGridDrawState State)
{
    if (OnDrawColumnCell)
        OnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TCustomDBEdGrid::DrawDataCell(const QRect& Rect, TField* Field, TGridDrawState State)
{
    if (OnDrawDataCell)
        OnDrawDataCell(this, Rect, Field, State);
}

void TCustomDBEdGrid::CellText(QPainter& Canvas, const QRect& Rect, int DX, int DY, const QString& Text,
                               TAlignment Alignment, uint8_t Flags)
{
    DrawCellText(Canvas, Rect, DX, DY, Text, Alignment, Flags, QColor(0x6D, 0x6D, 0x6D));
}

void TCustomDBEdGrid::DefaultDrawColumnCell(const QRect& Rect, int DataCol, TEkColumn* Column,
                                            TGridDrawState State, const QString& AText)
{
    QPainter* canvas = Canvas();
    if (!canvas || !Column)
        return;
    if (Column->ButtonStyle() == TEkColumnButtonStyle::cbsCheck) {
        TField* f = Column->Field();
        DrawCheckBoxCell(*canvas, Rect, State, Column, f ? f->Value() : ::Value());
        return;
    }
    const QString text = AText.isEmpty() ? GetEditText(DataCol + FixedCols(), Row()) : AText;
    CellText(*canvas, Rect, 2, 2, text, Column->Alignment(), dcfEndEllipsis | dcfSoftBold);
}

void TCustomDBEdGrid::DefaultDrawDataCell(const QRect& Rect, TField* Field, TGridDrawState)
{
    if (QPainter* canvas = Canvas())
        CellText(*canvas, Rect, 2, 2, Field ? Field->DisplayText() : QString(),
                 Field ? Field->Alignment() : TAlignment::taLeftJustify, 0);
}

void TCustomDBEdGrid::TextDraw(const QRect& ARect, int DX, int DY, const QString& Text, TAlignment Alignment)
{
    if (QPainter* canvas = Canvas())
        CellText(*canvas, ARect, DX, DY, Text, Alignment, 0);
}

bool TCustomDBEdGrid::HighlightCell(int, int, const QString&, TGridDrawState State)
{
    if ((FOptions & dgMultiSelect) && FDataLink->Active() && IsCurrentRowSelected())
        return true;
    return (State & gdSelected) && ((FOptions & dgAlwaysShowSelection) || hasFocus()) &&
           (FUpdateLock == 0 || (FOptions & dgRowSelect));
}

QString TCustomDBEdGrid::GetEditText(int ACol, int ARow)
{
    const int idx = ACol - FIndicatorOffset;
    if (idx < 0 || idx >= FColumns->Count() || !FDataLink->Active())
        return {};
    TEkColumn* column = FColumns->Items(idx);
    TField* f = column->Field();
    if (!f)
        return {};
    QString result;
    if (column->Dotted())
        result = QStringLiteral("...");
    else if (isDateField(f))
        result = dateText(f);
    else if (isMemoField(f))
        result = memoFirstLine(f);
    else
        result = f->DisplayText();
    if (!FDestroying && f == SelectedField() && f->DataSet() && f->DataSet()->Active() &&
        f->DataSet()->RecNo() == ARow && FEditText != InplaceEditText())
        FEditText = result;
    return result;
}

TField* TCustomDBEdGrid::ColumnField(int Index) const
{
    if (Index < 0 || Index >= FColumns->Count() || !FDataLink->Active())
        return nullptr;
    return FColumns->Items(Index)->Field();
}

QString TCustomDBEdGrid::GetCellHintText(int Index)
{
    TField* f = ColumnField(Index);
    if (!f)
        return {};
    if (FColumns->Items(Index)->Dotted())
        return QStringLiteral("Neattēlojama vērtība, kas izmantojama secības iegūšanai");
    if (f->OnGetText)
        return f->Text();
    if (isDateField(f))
        return dateText(f);
    if (isMemoField(f))
        return f->AsString();
    return f->DisplayText();
}

void TCustomDBEdGrid::SplitCheckValues(const QString& S, QStringList& List)
{
    List.clear();
    List = S.toUpper().split(QLatin1Char(';'));
    // A trailing ";" (or an empty text) adds no piece.
    if (!List.isEmpty() && List.back().isEmpty())
        List.removeLast();
}

int TCustomDBEdGrid::CheckStateOfValue(const ::Value& Value, TEkColumn* Column)
{
    const QString text = Value.AsString().toUpper();
    QStringList pieces;
    SplitCheckValues(Column->ValueChecked(), pieces);
    if (pieces.contains(text))
        return 1;
    SplitCheckValues(Column->ValueUnchecked(), pieces);
    if (pieces.contains(text))
        return 0;
    return 2;
}

void TCustomDBEdGrid::DrawCheckBoxCell(QPainter& Canvas, const QRect& Rect, TGridDrawState State,
                                       TEkColumn* Column, const ::Value& Value)
{
    if (!Column || Column->ButtonStyle() != TEkColumnButtonStyle::cbsCheck)
        return;
    QPainter& cell = BeginCellBitmap(Rect);
    const QRect r = CellBitmapRect(Rect);
    QBrush brush = Canvas.brush();
    if (State & gdFocused)
        brush = QBrush(Color());
    if (brush.style() == Qt::NoBrush)
        brush = QBrush(Color());
    cell.fillRect(r, brush);
    const int checkState = CheckStateOfValue(Value, Column);
    bool hot;
    if ((State & gdFocused) && Column->Field() == SelectedField())
        hot = true;
    else {
        const QRect hover = CellRect(FHoverCell.X, FHoverCell.Y);
        hot = hover.isValid() && hover.intersects(Rect);
    }
    QStyleOptionButton opt;
    const int w = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int h = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    const QRect box = r.adjusted(1, 1, -1, -1);
    opt.rect = QRect(box.center().x() - w / 2 + 1, box.center().y() - h / 2 + 1, w, h);
    opt.palette = palette();
    opt.state = checkState == 1 ? QStyle::State_On : QStyle::State_Off;
    if (checkState != 2)
        opt.state |= QStyle::State_Enabled;
    if (hot)
        opt.state |= QStyle::State_MouseOver;
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &cell, this);
    EndCellBitmap(Canvas, Rect);
}

void TCustomDBEdGrid::SetHoverCell(int ACol, int ARow)
{
    if (GridState() == TGridState::gsColSizing) {
        ACol = -1;
        ARow = -1;
    }
    if (FHoverCell.X == ACol && FHoverCell.Y == ARow)
        return;
    if (FHoverCell.X >= 0 && FHoverCell.Y >= 0)
        InvalidateCell(FHoverCell.X, FHoverCell.Y);
    FHoverCell = TGridCoord{ACol, ARow};
    if (GridState() == TGridState::gsColSizing || ACol < FIndicatorOffset || ARow < 0)
        return;
    const int idx = ACol - FIndicatorOffset;
    const bool check = idx < FColumns->Count() && FColumns->Items(idx)->ButtonStyle() == TEkColumnButtonStyle::cbsCheck;
    if (ARow != 0 && !check) {
        FHoverCell = TGridCoord{-1, -1};
        return;
    }
    InvalidateCell(ACol, ARow);
}

void TCustomDBEdGrid::leaveEvent(QEvent* event)
{
    TCustomGrid::leaveEvent(event);
    SetHoverCell(-1, -1);
}

void TCustomDBEdGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (ColumnDragMouseMove(event))
        return;
    TCustomGrid::mouseMoveEvent(event);
    if (FieldCount() > 0)
        UpdateHint(event->position().toPoint(), event->modifiers());
    MouseSelectionMoved(event);
}

void TCustomDBEdGrid::UpdateHint(const QPoint& Pos, Qt::KeyboardModifiers Modifiers)
{
    const TGridCoord cell = MouseCoord(Pos.x(), Pos.y());
    SetHoverCell(cell.X, cell.Y);
    if (cell.X < FIndicatorOffset || cell.Y < 0)
        return;
    const int idx = cell.X - FIndicatorOffset;
    if (idx >= FColumns->Count())
        return;
    TEkColumn* column = FColumns->Items(idx);
    QString hint;
    QFont font;
    if (cell.Y < FTitleOffset) {
        hint = column->Title()->Caption();
        font = column->Title()->Font();
    } else {
        font = column->Font();
        BeginUpdate();
        try {
            WithBufferRecord(cell.Y - FTitleOffset, [&] {
                if (column->Field())
                    hint = GetCellHintText(idx).replace(QLatin1Char('|'), QChar(0x00A6));
            });
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    const bool link = column->IsURL();
    bool hand = false;
    if (((FOptions & dgRowSelect) || Modifiers == Qt::ControlModifier) && link && !hint.isEmpty()) {
        const QRect cr = CellRect(cell.X, cell.Y);
        const QRect textRect(cr.topLeft() + QPoint(2, 2), QSize(TextWidth(font, hint), TextHeight(font, hint)));
        if (textRect.contains(Pos)) {
            hand = true;
            if (FOptions & dgRowSelect)
                hint += QStringLiteral(" (F11)");
        } else {
            hint.clear();
        }
    }
    if (hand != FHandCursor) {
        FHandCursor = hand;
        viewport()->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
    // Text that fits its cell needs no hint.
    if (!hint.isEmpty() && column->ButtonStyle() != TEkColumnButtonStyle::cbsOwnerDraw && !link &&
        !hint.contains(QLatin1Char('\r')) && !hint.contains(QLatin1Char('\n')) &&
        TextWidth(font, hint) <= column->Width() - 18)
        hint.clear();
    hint = TrimHintText(hint, 20, 200, 200);
    if (!(cell == FHintCell) || hint != FHint) {
        QToolTip::hideText();
        FHint = hint;
        FHintCell = cell;
        setToolTip(hint);
    }
}

// ---- measuring -------------------------------------------------------------------------------

int TCustomDBEdGrid::TextWidth(const QFont& Font, const QString& Text) const
{
    return QFontMetrics(Font, viewport()).horizontalAdvance(Text);
}

int TCustomDBEdGrid::TextHeight(const QFont& Font, const QString&) const
{
    return QFontMetrics(Font, viewport()).height();
}

int TCustomDBEdGrid::AverageCharWidth(const QFont& Font) const
{
    return QFontMetrics(Font, viewport()).averageCharWidth();
}

// ---- scaling ---------------------------------------------------------------------------------

int TCustomDBEdGrid::ScaleValue(int V) const
{
    return roundChecked(static_cast<double>(V) * FScale * PixelsPerInch() / 96.0);
}

void TCustomDBEdGrid::SetScale(double Value)
{
    if (!(Value > 0) || !std::isfinite(Value))
        throw EInvalidGridOperation(QStringLiteral("Invalid grid scale %1").arg(Value));
    if (Value == FScale)
        return;
    FSelfChangingTitleFont = true;
    try {
        FTitleFont = scaledFont(FTitleFont, Value, FScale);
        if (!FParentFont)
            setFont(scaledFont(font(), Value, FScale));
    } catch (...) {
        FSelfChangingTitleFont = false;
        throw;
    }
    FSelfChangingTitleFont = false;
    RescaleColumns(true, FScale, Value);
    FScale = Value;
    LayoutChanged();
}

void TCustomDBEdGrid::ChangeScale(int M, int D)
{
    if (M <= 0 || D <= 0)
        throw EInvalidGridOperation(QStringLiteral("Invalid scaling %1/%2").arg(M).arg(D));
    FSelfChangingTitleFont = true;
    try {
        FTitleFont = scaledFont(FTitleFont, M, D);
        if (!FParentFont)
            setFont(scaledFont(font(), M, D));
    } catch (...) {
        FSelfChangingTitleFont = false;
        throw;
    }
    FSelfChangingTitleFont = false;
    FChangingScale = true;
    FChangingScale = false;
    RescaleColumns(true, D, M);
    LayoutChanged();
}

void TCustomDBEdGrid::RescaleColumns(bool ScaleFonts, double Old, double New)
{
    if (Old == New)
        return;
    const bool wasShown = ShowHideEditorAsync(false);
    try {
        BeginLayout();
        try {
            for (TDBEdGridColumns* cols : {FColumns.get(), FInvisibleColumns.get()}) {
                for (int i = 0; i < cols->Count(); ++i) {
                    TEkColumn* c = cols->Items(i);
                    if (ScaleFonts) {
                        if (c->IsAssigned(TEkColumnValue::cvTitleFont))
                            c->Title()->SetFont(scaledFont(c->Title()->Font(), New, Old));
                        if (c->IsAssigned(TEkColumnValue::cvFont))
                            c->SetFont(scaledFont(c->Font(), New, Old));
                    }
                    if (!FAutoFitColumns && c->IsAssigned(TEkColumnValue::cvWidth))
                        c->SetWidth(std::max(0, roundChecked(New * c->Width() / Old)));
                }
            }
        } catch (...) {
            EndLayout();
            throw;
        }
        EndLayout();
        if (FAutoFitColumns) {
            UpdateScrollBar();
            AutoFitWidths();
        }
    } catch (...) {
        ShowHideEditorAsync(wasShown);
        throw;
    }
    ShowHideEditorAsync(wasShown);
}

void TCustomDBEdGrid::SetAutoFitColumns(bool Value)
{
    const bool was = FAutoFitColumns;
    FAutoFitColumns = Value;
    if (Value && !was) {
        UpdateScrollBar();
        AutoFitWidths();
    }
}

void TCustomDBEdGrid::AutoFitWidths()
{
    const int n = FColumns->Count();
    if (n == 0)
        return;
    int available = viewport()->width();
    if (FIndicatorOffset > 0)
        available -= ColWidths(0);
    available = std::max(0, available);
    for (int i = 0; i < n && i + FIndicatorOffset < ColCount(); ++i)
        SetColWidths(i + FIndicatorOffset, available / n);
}

bool TCustomDBEdGrid::ShowHideEditorAsync(bool Show)
{
    const bool was = EditorMode();
    if (!Show) {
        HideEditor();
        return was;
    }
    // Later, and only if the grid still exists then.
    TWeakRef<TCustomDBEdGrid> weak(this);
    QMetaObject::invokeMethod(
        qApp, [weak]() mutable {
            if (TCustomDBEdGrid* grid = weak.Value())
                grid->ShowEditor();
        },
        Qt::QueuedConnection);
    return was;
}
