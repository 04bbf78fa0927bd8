#include "grids/CustomDBSfmGrid.h"

#include "grids/TEdBookmarkList.h"

#include "controls/KelpSkinManager.h"
#include "controls/KpGraphics.h"
#include "controls/KpImageList.h"
#include "controls/KpPainter.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EInvalidFieldNr.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/TfrmSFMSearch.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/InplaceEdit.h"
#include "platform/ui/UiServices.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

TCustomDBSfmGrid::TSearchHook TCustomDBSfmGrid::ShowIncrementalSearchHook;
TCustomDBSfmGrid::TSearchHook TCustomDBSfmGrid::ShowFindHook;
TCustomDBSfmGrid::TGridHook TCustomDBSfmGrid::ShowNextValueHook;

namespace {

std::unique_ptr<TKpImageList>& sortImages()
{
    static std::unique_ptr<TKpImageList> l;
    return l;
}

int& gridCount()
{
    static int n = 0;
    return n;
}

// Shows the hourglass until it goes out of scope.
class WaitCursor {
public:
    WaitCursor() { UiServices::WaitCursor(true); }
    ~WaitCursor() { UiServices::WaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The dataset's controls stay still and its filter is off until the scope ends.
struct ControlsOff {
    ControlsOff(TDataSet* ds) : keep(ds, TDataSetGuard::Controls | TDataSetGuard::Filter) { ds->SetFiltered(false); }
    TDataSetGuard keep;
};

bool isDateType(TFieldType t)
{
    return t == TFieldType::ftDate || t == TFieldType::ftTime || t == TFieldType::ftDateTime;
}

struct MenuEntry {
    const char* name;
    const char* caption;
};

// The header menu in its order; entries without a name are separators.
const MenuEntry kMenu[] = {
    {"mnuSearch", "&Dinamiska Meklēšana"},
    {"mnuFind", "&Meklēšana"},
    {"mnuNextPrev", "&Nākošā vērtība"},
    {nullptr, nullptr},
    {"mnuAddFlt", "&Pievienot filtru"},
    {"mnuCreFlt", "Izveidot &filtru"},
    {"mnuDelFlt", "Be&z filtra"},
    {"mnuAddFltN", "&Pievienot filtru (<>)"},
    {"mnuCreFltN", "Izveidot &filtru (<>)"},
    {"mnuDelFltFld", "Noņem&t filtru pēc kolonnas"},
    {nullptr, nullptr},
    {"mnuSAsc", "&Augošā secībā"},
    {"mnuSDesc", "Dil&stošā secībā"},
    {"mnuNosort", "&Bez sakārtojuma"},
    {nullptr, nullptr},
    {"mnuFields", "&Izskats"},
    {nullptr, nullptr},
    {"mnuExcel", "Eksportēt uz E&xcel (OLE)..."},
    {"mnuOOXMLSpread", "Eksportēt uz Excel 2007 (OpenXML)..."},
    {nullptr, nullptr},
    {"mnuOOCalc", "Eksportēt uz Open Document Spreadsheet..."},
};

} // namespace

// ---- construction ---------------------------------------------------------------------------

TCustomDBSfmGrid::TCustomDBSfmGrid(QWidget* parent)
    : TCustomDBEdGrid(parent)
{
    if (!sortImages()) {
        auto l = std::make_unique<TKpImageList>(9, 9);
        for (int i = 1; i <= 5; ++i) {
            l->AddImageName(QStringLiteral("ASC%1").arg(i));
            l->AddImageName(QStringLiteral("DESC%1").arg(i));
        }
        sortImages() = std::move(l);
    }
    ++gridCount();
    FWarningColumns = CreateWarningColumns();
    ResetSortState();
    BuildHeaderPopup();
    FNoDataMessage = QStringLiteral("Notiek datu sagatavošana");
}

TCustomDBSfmGrid::~TCustomDBSfmGrid()
{
    if (auto* w = qobject_cast<TfrmSFMSearch*>(FSearchForm.data()))
        w->GridDestroying();
    delete FSearchForm.data();
    FWarningColumns.reset();
    FFilter.reset();
    if (--gridCount() == 0)
        sortImages().reset();
}

std::unique_ptr<TSFMWarningColumns> TCustomDBSfmGrid::CreateWarningColumns()
{
    return std::make_unique<TSFMWarningColumns>(this);
}

TKpImageList* TCustomDBSfmGrid::SortIndicatorImages() { return sortImages().get(); }
int TCustomDBSfmGrid::SortGridCount() { return gridCount(); }

int TCustomDBSfmGrid::SortIndicatorImageIndex(int K, bool Descending)
{
    const int count = sortImages() ? sortImages()->ImageNames().Count() : 10;
    const int pairs = std::max(1, count / 2);
    return 2 * std::min(K, pairs - 1) + (Descending ? 1 : 0);
}

void TCustomDBSfmGrid::BuildHeaderPopup()
{
    FHeaderPopup = new QMenu(this);
    for (const MenuEntry& e : kMenu) {
        if (!e.name) {
            FHeaderPopup->addSeparator();
            continue;
        }
        QAction* a = FHeaderPopup->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        a->setCheckable(false);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, [this, a] {
            try {
                HeaderPopupClick(a);
            } catch (const std::exception& ex) {
                UiServices::MessageBox(this, QString::fromUtf8(ex.what()), QApplication::applicationName(),
                                       QMessageBox::Critical, QMessageBox::Ok);
            }
        });
    }
}

void TCustomDBSfmGrid::SetSearchForm(QWidget* AForm)
{
    if (FSearchForm == AForm)
        return;
    delete FSearchForm.data();
    FSearchForm = AForm;
    if (AForm && !AForm->parent())
        AForm->setParent(this, AForm->windowFlags() | Qt::Window);
}

// ---- field helpers --------------------------------------------------------------------------

TField* TCustomDBSfmGrid::FieldOfGridCol(int GridCol) const
{
    const int i = GridCol - ((Options() & dgIndicator) ? 1 : 0);
    return (i >= 0 && i < FieldCount()) ? GetFields(i) : nullptr;
}

bool TCustomDBSfmGrid::IsSortableField(TField* F) const
{
    if (!F)
        return false;
    switch (F->DataType()) {
    case TFieldType::ftUnknown:
    case TFieldType::ftBCD:
    case TFieldType::ftBytes:
    case TFieldType::ftBlob: return false;
    default: break;
    }
    // Calculated and lookup values are not kept in the records an order is built on.
    return F->FieldKind() != TFieldKind::fkCalculated && F->FieldKind() != TFieldKind::fkLookup;
}

int TCustomDBSfmGrid::FieldIndexOfFieldNo(int FieldNo) const
{
    for (int i = 0; i < FieldCount(); ++i)
        if (TField* f = GetFields(i); f && f->FieldNo() == FieldNo)
            return i;
    return -1;
}

QString TCustomDBSfmGrid::FieldNameOfFieldNo(int FieldNo) const
{
    const int i = FieldIndexOfFieldNo(FieldNo);
    if (i >= 0)
        return GetFields(i)->FieldName();
    if (TDataSet* ds = LinkDataSet())
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->FieldNo() == FieldNo)
                return ds->Fields(i)->FieldName();
    return {};
}

QString TCustomDBSfmGrid::OrderFieldName(int FieldNo)
{
    for (int i = 0; i < Columns()->Count(); ++i) {
        TEkColumn* c = Columns()->Items(i);
        TField* f = c->Field();
        if (f && f->FieldNo() == FieldNo) {
            if (!c->IndexFields().isEmpty())
                return c->IndexFields();
            break;
        }
    }
    const QString name = FieldNameOfFieldNo(FieldNo);
    if (OnGetFieldDescProp) {
        ::Value v{QString()};
        OnGetFieldDescProp(this, name, QStringLiteral("IndexingField"), v);
        const QString s = v.AsString();
        if (!s.isEmpty())
            return s;
    }
    return name;
}

QString TCustomDBSfmGrid::OrderFieldFromIndexingField(const QString& Name)
{
    QString result = Name;
    if (OnGetOrderFldFromIndexingFld)
        OnGetOrderFldFromIndexingFld(this, Name, result);
    return result;
}

// ---- sorting --------------------------------------------------------------------------------

void TCustomDBSfmGrid::ResetSortState()
{
    FSortButtonDown = false;
    FSortButtonClick = false;
    FSortBtnCoord = {0, 0};
    FOrder.Clear();
    FReOrderOnError = false;
}

void TCustomDBSfmGrid::SortGrid(int FieldNr, bool SortAscending, bool SortAdditional)
{
    bool perform = FieldNr >= 0 && FieldNr < FieldCount();
    if (perform && BeforeSortGrid)
        BeforeSortGrid(this, FieldNr, perform, SortAscending, SortAdditional);
    if (!perform) {
        UiServices::Beep();
        return;
    }
    ClearSelectedRows();
    const bool sorted = DoSortGrid(FieldNr, SortAscending, SortAdditional);
    if (AfterSortGrid)
        AfterSortGrid(this, FieldNr, SortAscending, SortAdditional, sorted);
}

bool TCustomDBSfmGrid::DoSortGrid(int I, bool Asc, bool Additional)
{
    if (!FDoSort || I >= FieldCount())
        return false;
    bool sorted = false;
    TField* F = GetFields(I);
    const int N = F ? F->FieldNo() : -1;
    TDataSet* ds = LinkDataSet();
    const bool refuse = !DataSource() || !ds || !ds->Active() || !IsSortableField(F) ||
                        (Additional && FOrder.Count() >= TOrderInfoList::MaxCount && FOrder.IndexOfFieldNo(N) < 0);
    if (refuse) {
        UiServices::Beep();
    } else {
        struct Cleanup {
            bool& flag;
            ~Cleanup() { flag = false; }
        } cleanup{FReOrderOnError};
        WaitCursor wait;
        if (auto* cds = dynamic_cast<TClientDataSet*>(ds)) {
            (void)cds;
            const QString old = OrderBy();
            const TSortOrder d = Asc ? TSortOrder::soAscending : TSortOrder::soDescending;
            if (Additional) {
                const int p = FOrder.IndexOfFieldNo(N);
                if (p >= 0)
                    FOrder.Items[p].SortOrder = d;
                else
                    FOrder.Add(N, d);
            } else {
                FOrder.Clear();
                FOrder.Add(N, d);
            }
            if (OnSort) {
                OnSort(this);
                sorted = true;
            } else {
                try {
                    ClientSort();
                    sorted = true;
                } catch (...) {
                    if (!FReOrderOnError) {
                        FReOrderOnError = true;
                        try {
                            SetOrderBy(old);
                        } catch (...) {
                        }
                    }
                }
            }
        }
    }
    InvalidateGrid();
    return sorted;
}

void TCustomDBSfmGrid::ClientSort()
{
    auto* D = dynamic_cast<TClientDataSet*>(LinkDataSet());
    if (!D)
        return;
    const ControlsOff off(D);
    D->IndexDefs().Update();
    if (D->IndexDefs().IndexOf(SortIndexName) >= 0)
        D->DeleteIndex(SortIndexName);
    QString fields, desc;
    for (const TOrderInfo& k : FOrder.Items) {
        QString name = OrderFieldName(k.FieldNo);
        name.replace(QLatin1Char(','), QLatin1Char(';'));
        fields += name + QLatin1Char(';');
        if (k.SortOrder == TSortOrder::soDescending)
            desc += name + QLatin1Char(';');
    }
    fields.chop(1);
    if (!desc.isEmpty())
        desc.chop(1);
    D->AddIndex(SortIndexName, fields, 0, desc);
    D->IndexDefs().Update();
    D->SetIndexName(SortIndexName);
}

QString TCustomDBSfmGrid::OrderBy() const
{
    auto* self = const_cast<TCustomDBSfmGrid*>(this);
    QStringList keys;
    for (const TOrderInfo& k : FOrder.Items) {
        QString name = self->OrderFieldName(k.FieldNo);
        name.replace(QLatin1Char(';'), QLatin1Char(','));
        keys << name + (k.SortOrder == TSortOrder::soDescending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    }
    return keys.join(QStringLiteral(", "));
}

void TCustomDBSfmGrid::SetOrderBy(const QString& Value)
{
    TDataSet* ds = LinkDataSet();
    if (IsLoading() || !ds || !ds->Active())
        return;
    FOrder.Clear();
    if (!Value.isEmpty()) {
        const QStringList pieces = Value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& piece : pieces) {
            if (FOrder.Count() >= TOrderInfoList::MaxCount)
                break;
            // The direction is a word of its own after the name: a name may well end in "DESC".
            const QStringList words = piece.trimmed().toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty())
                continue;
            const bool descending = words.size() > 1 &&
                                    (words[1] == QStringLiteral("DESC") || words[1] == QStringLiteral("DESCENDING"));
            const QString& word = words[0];
            const QString name = OrderFieldFromIndexingField(word);
            TField* f = ds->FindField(name);
            if (!f)
                continue;
            FOrder.Add(f->FieldNo(), descending ? TSortOrder::soDescending : TSortOrder::soAscending);
        }
    }
    if (FDontReorder)
        return;
    if (FOrder.Count() > 0) {
        const TOrderInfo last = FOrder.Items.back();
        SortGrid(FieldIndexOfFieldNo(last.FieldNo), last.SortOrder == TSortOrder::soAscending, true);
    } else {
        ClearSort();
    }
}

void TCustomDBSfmGrid::SetOriginalOrderBy(const QString& Value)
{
    FOriginalOrderBy = Value;
    if (IsLoading())
        return;
    FDontReorder = true;
    try {
        SetOrderBy(Value);
    } catch (...) {
        FDontReorder = false;
        throw;
    }
    FDontReorder = false;
    if (TDataSet* ds = LinkDataSet(); ds && ds->Active())
        InvalidateGrid();
}

void TCustomDBSfmGrid::ClearSort()
{
    bool perform = true;
    if (BeforeUnsort)
        BeforeUnsort(this, perform);
    if (!perform) {
        UiServices::Beep();
        return;
    }
    ClearSelectedRows();
    ResetSortState();
    if (FDoSort && DataSource()) {
        if (OnSort)
            OnSort(this);
        else if (auto* cds = dynamic_cast<TClientDataSet*>(LinkDataSet()))
            cds->SetIndexFieldNames(QString());
    }
    if (AfterSortGrid)
        AfterSortGrid(this, -1, false, false, true);
}

void TCustomDBSfmGrid::RestoreOriginalOrder()
{
    WaitCursor wait;
    if (OnCaptionClick) {
        OnCaptionClick(this);
        return;
    }
    auto* cds = dynamic_cast<TClientDataSet*>(LinkDataSet());
    if (!cds)
        return;
    cds->CheckBrowseMode();
    const ControlsOff off(cds);
    SetOriginalOrderBy(FOriginalOrderBy);
    cds->SetIndexName(QStringLiteral("DEFAULT_ORDER"));
}

TSortOrder TCustomDBSfmGrid::ColumnSortOrder(int)
{
    const int i = PopupCol - ((Options() & dgIndicator) ? 1 : 0);
    if (i < 0 || i >= FieldCount())
        return TSortOrder::soAscending;
    TField* f = GetFields(i);
    if (!f || f->FieldNo() == -1)
        return TSortOrder::soAscending;
    const int p = FOrder.IndexOfFieldNo(f->FieldNo());
    return p >= 0 ? FOrder.Items[p].SortOrder : TSortOrder::soAscending;
}

QString TCustomDBSfmGrid::GetSortFilter(const QString& FieldNames)
{
    QString s = FieldNames;
    s.replace(QLatin1Char(','), QLatin1Char(';'));
    if (!s.contains(QLatin1Char(';')))
        return s;
    // A key over several fields is searched by its first field: a filter cannot compare a
    // value against several fields joined together.
    return s.section(QLatin1Char(';'), 0, 0).trimmed();
}

// ---- data link ------------------------------------------------------------------------------

void TCustomDBSfmGrid::LinkActive(bool Value)
{
    ResetSortState();
    if (Value) {
        if (auto* cds = dynamic_cast<TClientDataSet*>(LinkDataSet())) {
            // The order list is empty here; writing it empty would drop the index the
            // dataset came with. The grid keeps that order until the user sorts.
            if (!FOriginalOrderBy.isEmpty())
                SetOriginalOrderBy(FOriginalOrderBy);
            FOriginalFilter = cds->Filter();
            FOriginalFiltered = cds->Filtered();
        }
    }
    TCustomDBEdGrid::LinkActive(Value);
}

bool TCustomDBSfmGrid::IsDottedColumn(TEkColumn* Column)
{
    if (!TCustomDBEdGrid::LinkActive() || !Column || !Column->Field())
        return false;
    if (!OnGetFieldDescProp)
        return false;
    const QString name = Column->Field()->FieldName();
    ::Value canShow{true};
    OnGetFieldDescProp(this, name, QStringLiteral("CanShow"), canShow);
    ::Value canSort{false};
    OnGetFieldDescProp(this, name, QStringLiteral("CanSort"), canSort);
    return !canShow.AsBoolean() && canSort.AsBoolean();
}

// ---- header menu ----------------------------------------------------------------------------

bool TCustomDBSfmGrid::CanShowSearch(const QString& FName, int OrderInd)
{
    bool result = OrderInd == 0;
    if (result) {
        TField* f = LinkDataSet() ? LinkDataSet()->FindField(FName) : nullptr;
        result = !(f && isDateType(f->DataType()));
    }
    if (result && OnShowSearch)
        OnShowSearch(FName, OrderInd, result, FUseDisplayTextForFinds);
    return result;
}

bool TCustomDBSfmGrid::CanShowFind(const QString& FName, int OrderInd)
{
    bool result = OrderInd == 0 || FFindNotSorted;
    if (OnShowFind)
        OnShowFind(FName, OrderInd, result, FUseDisplayTextForFinds);
    return result;
}

bool TCustomDBSfmGrid::CanShowNextPrev(const QString& FName, int OrderInd)
{
    bool result = OrderInd == 0;
    if (OnShowNextPrev)
        OnShowNextPrev(FName, OrderInd, result, FUseDisplayTextForFinds);
    return result;
}

void TCustomDBSfmGrid::PrepareHeaderPopup(int, int)
{
    if (OnHeaderPopup) {
        OnHeaderPopup(this);
        return;
    }
    const bool indicator = Options() & dgIndicator;
    const int I = PopupCol - (indicator ? 1 : 0);
    if (I < 0 || I >= FieldCount())
        return;
    TField* F = GetFields(I);
    const QString FName = F ? F->FieldName() : QString();
    const int N = F ? F->FieldNo() : -1;
    const int P = FOrder.IndexOfFieldNo(N);
    const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    auto item = [this](const char* name) { return FHeaderPopup->findChild<QAction*>(QString::fromLatin1(name)); };
    auto show = [&](const char* name, bool v) { item(name)->setVisible(v); };

    if (P == 0) {
        show("mnuSAsc", FDoSort && FOrder.Items[0].SortOrder == TSortOrder::soDescending);
        show("mnuSDesc", FDoSort && !item("mnuSAsc")->isVisible());
    } else if (P < 0) {
        show("mnuSAsc", FDoSort && N != -1);
        show("mnuSDesc", FDoSort && N != -1);
    } else {
        show("mnuSAsc", FDoSort);
        show("mnuSDesc", FDoSort);
    }
    show("mnuSearch", CanShowSearch(FName, P));
    show("mnuFind", CanShowFind(FName, P));
    show("mnuNextPrev", CanShowNextPrev(FName, P));
    show("mnuNosort", FDoSort && N != -1);
    const bool canFilter = FDoFilter && CanShowFilter(FName);
    const bool hasFilters = FFilter && FFilter->Count() > 0;
    show("mnuCreFlt", canFilter && !shift);
    show("mnuAddFlt", canFilter && hasFilters && !shift);
    show("mnuDelFlt", canFilter && hasFilters && !shift);
    show("mnuCreFltN", canFilter && shift);
    show("mnuAddFltN", canFilter && hasFilters && shift);
    show("mnuDelFltFld", canFilter && hasFilters && shift);
    show("mnuExcel", FDoExcelExport);
    show("mnuFields", AllowColumnsDialog() && Columns()->State() == TDBEdGridColumnsState::csCustomized);

    const QList<QAction*> acts = FHeaderPopup->actions();
    auto anyVisible = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            if (!acts[i]->isSeparator() && acts[i]->isVisible())
                return true;
        return false;
    };
    acts[3]->setVisible(anyVisible(0, 2) && anyVisible(4, 9));
    acts[10]->setVisible(anyVisible(0, 9) && anyVisible(11, 13));
    acts[14]->setVisible(anyVisible(0, 13) && acts[15]->isVisible());
    acts[16]->setVisible(acts[17]->isVisible() && anyVisible(0, 15));
    acts[18]->setVisible(true);
    acts[19]->setVisible(true);
    acts[20]->setVisible(true);

    const int line = (Options() & dgColLines) ? GridLineWidth() : 0;
    int x = indicator ? ColWidths(0) + line : 0;
    for (int c = LeftCol(); c < PopupCol; ++c)
        x += ColWidths(c) + line;
    x += ColWidths(PopupCol) / 2;
    FHeaderPopup->popup(viewport()->mapToGlobal(QPoint(x, 0)));
}

void TCustomDBSfmGrid::HeaderPopupClick(QAction* Item)
{
    TDataSet* ds = LinkDataSet();
    if (!DataSource() || !ds || !ds->Active())
        return;
    const int FieldNr = PopupCol - ((Options() & dgIndicator) ? 1 : 0);
    const QString n = Item->objectName();
    if (n == QLatin1String("mnuSAsc")) SortGrid(FieldNr, true, false);
    else if (n == QLatin1String("mnuSDesc")) SortGrid(FieldNr, false, false);
    else if (n == QLatin1String("mnuSearch")) ShowIncrementalSearch(QString());
    else if (n == QLatin1String("mnuFind")) ShowFind(QString());
    else if (n == QLatin1String("mnuNextPrev")) ShowNextValue();
    else if (n == QLatin1String("mnuNosort")) RestoreOriginalOrder();
    else if (n == QLatin1String("mnuFields")) FieldsDialog();
    else if (n == QLatin1String("mnuCreFlt")) FilterGrid(FieldNr, true, false, false);
    else if (n == QLatin1String("mnuAddFlt")) FilterGrid(FieldNr, true, true, false);
    else if (n == QLatin1String("mnuDelFlt")) UnfilterAll();
    else if (n == QLatin1String("mnuCreFltN")) FilterGrid(FieldNr, false, false, false);
    else if (n == QLatin1String("mnuAddFltN")) FilterGrid(FieldNr, false, true, false);
    else if (n == QLatin1String("mnuDelFltFld")) FilterGrid(FieldNr, true, true, true);
    else if (n == QLatin1String("mnuExcel")) ExportToExcel(true, 2);
    else if (n == QLatin1String("mnuOOXMLSpread")) ExportToOOXMLSheet(true);
    else if (n == QLatin1String("mnuOOCalc")) ExportToOpenDocumentSpreadSheet(true);
}

// ---- commands of other windows --------------------------------------------------------------

void TCustomDBSfmGrid::ShowIncrementalSearch(const QString& Text)
{
    if (ShowIncrementalSearchHook) ShowIncrementalSearchHook(this, Text);
    else TfrmSFMSearch::ShowIncrementalSearch(*this, Text);
}

void TCustomDBSfmGrid::ShowFind(const QString& Text)
{
    if (ShowFindHook) ShowFindHook(this, Text);
    else TfrmSFMSearch::ShowFind(*this, Text);
}

void TCustomDBSfmGrid::ShowNextValue()
{
    if (ShowNextValueHook) ShowNextValueHook(this);
    else TfrmSFMSearch::ShowNextValue(*this);
}

// ---- IGridSearch ----------------------------------------------------------------------------

QString TCustomDBSfmGrid::GetPopupFieldName()
{
    const int i = PopupCol - ((Options() & dgIndicator) ? 1 : 0);
    if (i < 0 || i >= Columns()->Count())
        return {};
    return Columns()->Items(i)->FieldName();
}

QString TCustomDBSfmGrid::GetCaption()
{
    const int i = PopupCol - ((Options() & dgIndicator) ? 1 : 0);
    if (i < 0 || i >= Columns()->Count())
        return {};
    return Columns()->Items(i)->Title()->Caption();
}

QString TCustomDBSfmGrid::GetPopupIdxFields()
{
    const int i = PopupCol - ((Options() & dgIndicator) ? 1 : 0);
    if (i < 0 || i >= Columns()->Count())
        return {};
    return Columns()->Items(i)->IndexFields();
}

void TCustomDBSfmGrid::SetShowIndicators(bool Value)
{
    FShowIndicators = Value;
    InvalidateGrid();
}

// ---- filters --------------------------------------------------------------------------------

TDynFilterList& TCustomDBSfmGrid::FilterList()
{
    if (!FFilter)
        FFilter = std::make_unique<TDynFilterList>();
    return *FFilter;
}

bool TCustomDBSfmGrid::CanShowFilter(const QString& FName)
{
    TField* f = LinkDataSet() ? LinkDataSet()->FindField(FName) : nullptr;
    bool result = !(f && isDateType(f->DataType())) || static_cast<bool>(OnFilter);
    if (OnShowFilter)
        OnShowFilter(FName, result);
    return result;
}

bool TCustomDBSfmGrid::FilterGrid(int FieldNr, bool FilterEqual, bool FilterAdditional, bool Unfilter)
{
    if (FieldNr < 0 || FieldNr >= FieldCount())
        throw EInvalidFieldNr(QStringLiteral("Invalid field number"));
    bool perform = true;
    if (BeforeFilterGrid)
        BeforeFilterGrid(this, FieldNr, perform, FilterEqual, FilterAdditional);
    if (!perform) {
        UiServices::Beep();
        return false;
    }
    ClearSelectedRows();
    const bool r = DoFilterGrid(FieldNr, FilterEqual, FilterAdditional, Unfilter);
    if (AfterFilterGrid)
        AfterFilterGrid(this, FieldNr, FilterEqual, FilterAdditional, r);
    return r;
}

bool TCustomDBSfmGrid::DoFilterGrid(int I, bool Equal, bool Additional, bool Unfilter)
{
    if (!FDoFilter || I >= FieldCount())
        return false;
    TField* F = GetFields(I);
    TDataSet* ds = LinkDataSet();
    bool applied = false;
    if (!DataSource() || !ds || !ds->Active() || !dynamic_cast<TClientDataSet*>(ds) || !IsSortableField(F)) {
        UiServices::Beep();
    } else {
        const QString oldFilter = ds->Filter();
        const bool oldFiltered = ds->Filtered();
        const std::vector<TDynFilterList::Item> oldItems = FilterList().Items;
        WaitCursor wait;
        if (Unfilter)
            FilterList().DeleteForField(F);
        else
            FilterList().AddFilterFromField(F, Equal, Additional);
        if ((!Unfilter && !OnFilter) || (Unfilter && !OnUnfilter)) {
            try {
                QString base;
                if (FOriginalFiltered && !FOriginalFilter.trimmed().isEmpty())
                    base = QLatin1Char('(') + FOriginalFilter + QLatin1Char(')');
                if (!base.trimmed().isEmpty() && FilterList().Count() > 0)
                    base += QStringLiteral(" AND ");
                ds->SetFilter(base + FilterList().FilterText());
                if (!ds->Filtered())
                    ds->SetFiltered(true);
                applied = true;
            } catch (...) {
                try {
                    ds->SetFiltered(false);
                    ds->SetFilter(oldFilter);
                    ds->SetFiltered(oldFiltered);
                } catch (...) {
                }
                FilterList().Items = oldItems;
            }
        } else if (Unfilter) {
            OnUnfilter(this, F);
            applied = true;
        } else {
            OnFilter(this, I, F, Equal, Additional);
            applied = true;
        }
    }
    InvalidateGrid();
    return applied;
}

void TCustomDBSfmGrid::UnfilterAll()
{
    bool perform = true;
    if (BeforeUnfilter)
        BeforeUnfilter(this, perform, false);
    if (!perform) {
        UiServices::Beep();
        return;
    }
    ClearSelectedRows();
    FilterList().Clear();
    if (FDoFilter) {
        if (OnUnfilter) {
            OnUnfilter(this, nullptr);
        } else if (TDataSet* ds = LinkDataSet(); DataSource() && ds) {
            ds->SetFilter(FOriginalFilter);
            ds->SetFiltered(FOriginalFiltered);
        }
    }
    if (AfterFilterGrid)
        AfterFilterGrid(this, -1, false, false, true);
}

// ---- virtual selection ----------------------------------------------------------------------

bool TCustomDBSfmGrid::IsVirtualSelected()
{
    bool selected = false;
    if (FVirtualMultiSelect && OnGetVirtualSelected)
        OnGetVirtualSelected(this, selected);
    return selected;
}

bool TCustomDBSfmGrid::IsCurrentRowSelected()
{
    return TCustomDBEdGrid::IsCurrentRowSelected() || IsVirtualSelected();
}

bool TCustomDBSfmGrid::ToggleVirtualSelection()
{
    if (FInToggleVirtualSelection)
        return false;
    FInToggleVirtualSelection = true;
    struct Guard {
        bool& f;
        ~Guard() { f = false; }
    } guard{FInToggleVirtualSelection};
    TDataSet* ds = LinkDataSet();
    if (OnToggleVirtualSelection && DataSource() && ds && ds->Active())
        OnToggleVirtualSelection(this);
    InvalidateGrid();
    return true;
}

void TCustomDBSfmGrid::SetVirtualMultiSelect(bool Value)
{
    if (Value == FVirtualMultiSelect)
        return;
    FVirtualMultiSelect = Value;
    if (Value) {
        TDBGridOptions options = Options() & ~dgMultiSelect;
        // Only the bare sort grid selects whole rows for its virtual selection.
        if (qstrcmp(metaObject()->className(), "TCustomDBSfmGrid") == 0)
            options |= dgRowSelect;
        SetOptions(options);
    }
    // The owner keeps the virtual selection; the grid's own list goes meanwhile.
    SetSelectedRowsList(!Value);
    InvalidateGrid();
}

void TCustomDBSfmGrid::ClearSelectedRows()
{
    if (SelectedRows())
        SelectedRows()->Clear();
}

void TCustomDBSfmGrid::VirtualSelectRun(int Count, bool Up)
{
    TDataSet* ds = LinkDataSet();
    BeginUpdate();
    struct Unlock {
        TCustomDBSfmGrid* g;
        ~Unlock() { g->EndUpdate(); }
    } unlock{this};
    if (!ds || !ds->Active())
        return;
    for (int passed = 0; (Count < 0 || passed < Count) && !(Up ? ds->Bof() : ds->Eof()); ++passed) {
        if (FVirtualSelecting && FVirtualSelectingUp != Up) {
            FVirtualSelecting = false;
        } else {
            if (!ToggleVirtualSelection())
                break;
            if (!FVirtualSelecting) {
                FVirtualSelecting = true;
                FVirtualSelectingUp = Up;
            }
        }
        if (Up)
            ds->Prior();
        else
            ds->Next();
    }
}

// ---- no-data notice -------------------------------------------------------------------------

bool TCustomDBSfmGrid::NeedsNoDataMessage() const
{
    return DataLink() && (!TCustomDBEdGrid::LinkActive() || DataSetControlsDisabled());
}

void TCustomDBSfmGrid::SetNoDataMessage(const QString& Value)
{
    if (Value == FNoDataMessage)
        return;
    FNoDataMessage = Value;
    if (NeedsNoDataMessage())
        viewport()->update();
}

void TCustomDBSfmGrid::resizeEvent(QResizeEvent* event)
{
    TCustomDBEdGrid::resizeEvent(event);
    if (NeedsNoDataMessage())
        viewport()->update();
}

void TCustomDBSfmGrid::paintEvent(QPaintEvent* event)
{
    const bool needs = NeedsNoDataMessage();
    if (needs != FShowingNoDataMessage) {
        FShowingNoDataMessage = needs;
        if (!needs) {
            SetEditorMode(FPrevEditorMode);
            // Everything under the notice has to be painted afresh.
            InvalidateGrid();
        } else {
            FPrevEditorMode = EditorMode();
            SetEditorMode(false);
        }
        viewport()->update();
    }
    if (FShowingNoDataMessage) {
        QPainter p(viewport());
        const QRect all = viewport()->rect();
        p.fillRect(all, Qt::white);
        QFont f = font();
        const int h = QFontMetrics(font()).height();
        f.setPixelSize(std::max(1, 2 * h));
        p.setFont(f);
        const int half = std::abs(f.pixelSize()) / 2;
        QRect r = p.boundingRect(QRect(0, 0, all.width(), 0), Qt::TextWordWrap | Qt::AlignHCenter, FNoDataMessage);
        r.moveLeft((all.width() - r.width()) / 2);
        r.translate(0, half);
        p.fillRect(QRect(0, 0, all.width(), r.bottom() + 1 + half), SkinManager().ColorHeaderBeginGradient());
        p.setPen(SkinManager().ColorNordicCool());
        p.drawText(r, Qt::TextWordWrap | Qt::AlignHCenter, FNoDataMessage);
        FFocusFrameRect = QRect();
        return;
    }
    TCustomDBEdGrid::paintEvent(event);
    // The current row framed. The frame lies over the painted cells (it reaches into the
    // grid lines around the row) and is not kept with them: where it was drawn last is
    // painted again from the cells whenever it moves, so no row keeps a frame it lost.
    QRect frame;
    TDataSet* ds = LinkDataSet();
    if ((ExtOptions() & geoFocusRect) && (hasFocus() || isAncestorOf(QApplication::focusWidget())) && ds &&
        !DataSetControlsDisabled() && TCustomDBEdGrid::LinkActive() && !ds->IsEmpty()) {
        const int first = (Options() & dgIndicator) ? 1 : 0;
        const QRect a = CellRect(std::max(first, LeftCol()), Row());
        const QRect b = CellRect(std::max(first, LeftCol() + VisibleColCount() - 1), Row());
        if (!a.isEmpty())
            frame = a.united(b.isEmpty() ? a : b).adjusted(-1, -1, 1, 1);
    }
    if (!frame.isNull()) {
        QPainter p(viewport());
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame.adjusted(0, 0, -1, -1));
    }
    if (frame != FFocusFrameRect) {
        if (!FFocusFrameRect.isNull())
            viewport()->update(FFocusFrameRect);
        if (!frame.isNull() && !(QRegion(frame) - event->region()).isEmpty())
            viewport()->update(frame);
        FFocusFrameRect = frame;
    }
}

// ---- drawing --------------------------------------------------------------------------------

void TCustomDBSfmGrid::DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState)
{
    QPainter* canvas = Canvas();
    if (!canvas)
        return;
    const int indicator = (Options() & dgIndicator) ? 1 : 0;
    if (IsLoading() || ACol < indicator) {
        TCustomDBEdGrid::DrawCell(ACol, ARow, ARect, AState);
        return;
    }
    if ((Options() & dgTitles) && ARow == 0)
        DrawTitleCell(ACol, ARect);
    else
        DrawDataCell(ACol, ARow, ARect, AState);
}

void TCustomDBSfmGrid::DrawTitleCell(int ACol, const QRect& ARect)
{
    QPainter& canvas = *Canvas();
    const int indicator = (Options() & dgIndicator) ? 1 : 0;
    const int ci = ACol - indicator;
    if (ci < 0 || ci >= Columns()->Count()) {
        GridPainter().Grid_Title(canvas, ARect);
        return;
    }
    TEkColumn* column = Columns()->Items(ci);
    QPainter& bmp = BeginCellBitmap(ARect);
    struct End {
        QPainter& c;
        const QRect& r;
        ~End() { EndCellBitmap(c, r); }
    } end{canvas, ARect};
    bmp.setFont(column->Title()->Font());
    bmp.setBrush(SkinManager().ColorMainMenuBackground());
    bmp.setPen(Qt::black);
    const QRect R = CellBitmapRect(ARect);
    const bool pressed = FSortButtonDown && FSortButtonClick && ACol == FSortBtnCoord.X;
    const bool dragged = DragColumnIndex() == ACol;
    if (pressed && !dragged)
        GridPainter().Grid_TitleDown(bmp, R);
    else if (HoverCell() == TGridCoord{ACol, 0} || dragged)
        GridPainter().Grid_TitleHover(bmp, R);
    else
        GridPainter().Grid_Title(bmp, R);

    QRect textRect = R.adjusted(ScaleValue(3), 0, 0, 0);
    TField* f = column->Field();
    const int K = f ? FOrder.IndexOfFieldNo(f->FieldNo()) : -1;
    const bool marked = f && FShowIndicators && (K >= 0 || FFocusFieldNo == f->FieldNo());
    TKpImageList* images = sortImages().get();
    if (marked && images)
        textRect.setRight(std::max(textRect.left(), R.right() - images->Width() - ScaleValue(2)));
    const int offset = pressed ? 3 : 2;
    // A fault while drawing goes to the grid's paint loop, which reports it once, outside
    // the painting, and goes on with the other cells.
    TDrawCellFlags flags = dcfSingleLine | dcfTransparent | dcfEndEllipsis;
    if (GreyedROColumns() && column->ReadOnly())
        flags |= dcfEtched;
    CellText(bmp, textRect, offset, offset - 1, column->Title()->Caption(), column->Title()->Alignment(), flags);
    if (FDoSort && marked && images) {
        int index;
        if (FFocusFieldNo == f->FieldNo())
            index = FFocusSortOrder == TSortOrder::soDescending ? 9 : 8;
        else
            index = SortIndicatorImageIndex(K, FOrder.Items[K].SortOrder == TSortOrder::soDescending);
        QRect IR = CalcCellImageRect(this, *images, R);
        if (ScaleValue(2) + IR.width() < R.width())
            IR.moveLeft(R.right() + 1 - IR.width() - ScaleValue(2));
        else
            IR.moveLeft(R.left());
        images->DrawByIdx(bmp, IR, index, true);
    }
}

void TCustomDBSfmGrid::DrawDataCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState)
{
    QPainter& canvas = *Canvas();
    const int indicator = (Options() & dgIndicator) ? 1 : 0;
    const int ci = ACol - indicator;
    TEkColumn* column = (ci >= 0 && ci < Columns()->Count()) ? Columns()->Items(ci) : nullptr;
    if (!column) {
        canvas.fillRect(ARect, Color());
        return;
    }
    if (!TCustomDBEdGrid::LinkActive() || DataSetControlsDisabled()) {
        canvas.fillRect(ARect, column->Color());
        return;
    }
    const bool drawn = WithBufferRecord(ARow - TitleOffset(), [&] {
        const QString text = TCustomDBEdGrid::GetEditText(ACol, ARow);
        QFont font = column->Font();
        QColor fore = Qt::black;
        QColor back = column->Color();
        if (column->IsURL()) {
            fore = GridLinkColor;
            font.setUnderline(true);
        }
        const bool virtSel = FVirtualMultiSelect && IsVirtualSelected();
        if (virtSel) {
            back = SkinManager().ColorSelectedGridRow();
            fore = SkinManager().ColorSelectedGridRowText();
        }
        if (HighlightCell(ACol, ARow, text, AState)) {
            if (hasFocus() || (InplaceEditor() && InplaceEditor()->hasFocus())) {
                back = virtSel ? SkinManager().ColorSelectedGridRow() : SkinManager().ColorFocused();
                font.setBold(true);
                fore = SkinManager().ColorFocusedText();
            } else {
                back = FixedColor();
                fore = Qt::black;
            }
        } else {
            for (int w = 0; w < FWarningColumns->Count(); ++w) {
                TSFMWarningColumn* wc = FWarningColumns->Column(w);
                int gi = -1;
                for (int c = 0; c < Columns()->Count(); ++c)
                    if (Columns()->Items(c)->Field() && Columns()->Items(c)->Field()->FieldName() == wc->FieldName) {
                        gi = c;
                        break;
                    }
                if (gi < 0)
                    continue;
                QColor wf, wb;
                if (wc->DetermineWarning(TCustomDBEdGrid::GetEditText(gi + indicator, ARow), wf, wb)) {
                    fore = wf;
                    back = wb;
                    break;
                }
            }
        }
        canvas.setFont(font);
        canvas.setPen(fore);
        canvas.setBrush(back);
        if (OnGetCellColor) {
            column->SetDrawState(AState, virtSel);
            OnGetCellColor(this, column, AState, canvas);
        }
        canvas.fillRect(ARect, canvas.brush());
        if (DefaultDrawing())
            DefaultDrawColumnCell(ARect, ci, column, AState, text);
        if (Columns()->State() == TDBEdGridColumnsState::csDefault)
            TCustomDBEdGrid::DrawDataCell(ARect, column->Field(), AState);
        DrawColumnCell(ARect, ci, column, AState);
    });
    if (!drawn)
        canvas.fillRect(ARect, Color());
}

void TCustomDBSfmGrid::InvalidateTitleCell(TGridCoord Coord)
{
    if (!(Options() & dgTitles) || Coord.X < 0)
        return;
    const int V = VisibleColCount();
    const int L = LeftCol();
    if (Coord.X >= L + V)
        SetLeftCol(Coord.X - V + 1);
    else if (Coord.X < L)
        SetLeftCol((Coord.X == 0 && (Options() & dgIndicator)) ? 1 : Coord.X);
    InvalidateCell(Coord.X, 0);
}

// ---- sort mode and input --------------------------------------------------------------------

TGridCoord TCustomDBSfmGrid::SortFocusCell()
{
    const int indicator = (Options() & dgIndicator) ? 1 : 0;
    int N = FFocusFieldNo;
    if (N == NoFocusField && FOrder.Count() > 0)
        N = FOrder.Items[0].FieldNo;
    if (N == NoFocusField && !(Options() & dgRowSelect) && SelectedField())
        N = SelectedField()->FieldNo();
    if (N != NoFocusField && FieldIndexOfFieldNo(N) >= 0) {
        for (int c = Columns()->Count() - 1; c >= 0; --c)
            if (TField* f = Columns()->Items(c)->Field(); f && f->FieldNo() == N)
                return {c + indicator, 0};
    }
    for (int c = 0; c < Columns()->Count(); ++c) {
        TField* f = Columns()->Items(c)->Field();
        if (!f || IsSortableField(f))
            return {c + indicator, 0};
    }
    return {NoFocusField, 0};
}

void TCustomDBSfmGrid::EndSortMode()
{
    if (FFocusFieldNo == NoFocusField && !FSortButtonDown && !FSortButtonClick)
        return;
    const TGridCoord C = SortFocusCell();
    // Only the keyboard mode changes directions for show; a pending title press leaves the
    // list as it is, and an older copy would no longer match the dataset's order.
    if (FKeySortMode)
        FOrder = FPrevOrder;
    FKeySortMode = false;
    FFocusFieldNo = NoFocusField;
    FSortButtonDown = false;
    FSortButtonClick = false;
    FFocusSortOrder = FPrevSortOrder;
    if (C.X != NoFocusField)
        InvalidateTitleCell(C);
    const int indicator = (Options() & dgIndicator) ? 1 : 0;
    for (const TOrderInfo& k : FOrder.Items)
        for (int c = Columns()->Count() - 1; c >= 0; --c)
            if (TField* f = Columns()->Items(c)->Field(); f && f->FieldNo() == k.FieldNo) {
                InvalidateTitleCell({c + indicator, 0});
                break;
            }
}

bool TCustomDBSfmGrid::TakeFocus()
{
    if (focusPolicy() == Qt::NoFocus || !isEnabled())
        return false;
    return AcquireFocus();
}

void TCustomDBSfmGrid::mousePressEvent(QMouseEvent* event)
{
    if (DataSetControlsDisabled() || NeedsNoDataMessage())
        return;
    if (FieldCount() == 0) {
        TCustomDBEdGrid::mousePressEvent(event);
        return;
    }
    HandleMouseDown(event->button(), event->modifiers(), event->position().toPoint(), false, event);
}

void TCustomDBSfmGrid::HandleMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& P,
                                       bool Double, QMouseEvent* Original)
{
    auto toCore = [&] {
        if (Original) {
            TCustomDBEdGrid::mousePressEvent(Original);
        } else {
            QMouseEvent e(QEvent::MouseButtonPress, QPointF(P), QPointF(viewport()->mapToGlobal(P)), Button,
                          Button, Shift);
            TCustomDBEdGrid::mousePressEvent(&e);
        }
    };
    if (!TakeFocus())
        return;
    FLastMouseDownCoor = P;
    if (P == FMouseDownCoor) {
        toCore();
        return;
    }
    FMouseDownCoor = {-1, -1};
    if (Shift & Qt::ControlModifier) {
        FClearCtrl = true;
        const TGridCoord C = SortFocusCell();
        FFocusFieldNo = NoFocusField;
        FSortButtonDown = false;
        FSortButtonClick = false;
        InvalidateTitleCell(C);
        toCore();
        return;
    }
    const TGridCoord cell = MouseCoord(P.x(), P.y());
    const bool indicator = Options() & dgIndicator;
    int edge = -1;
    const bool sizing = CalcSizingState(P.x(), P.y(), edge) != TGridState::gsNormal;
    if (Button == Qt::LeftButton && !Double && cell.Y == 0 && cell.X >= 0 && !(indicator && cell.X == 0) &&
        TCustomDBEdGrid::LinkActive() && !sizing && (Options() & dgTitles)) {
        FSortButtonDown = true;
        FSortButtonClick = true;
        FSortBtnCoord = cell;
        FMouseDownCoor = P;
        InvalidateTitleCell(cell);
        return;
    }
    if (indicator && cell.X == 0 && cell.Y == 0) {
        if (Options() & dgTitles)
            RestoreOriginalOrder();
        else
            toCore();
        return;
    }
    if (Button == Qt::LeftButton && (Shift & Qt::ShiftModifier) && FShiftDown && FVirtualMultiSelect) {
        toCore();
        if (cell.Y >= TitleOffset())
            ToggleVirtualSelection();
        return;
    }
    toCore();
}

void TCustomDBSfmGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (DataSetControlsDisabled() || NeedsNoDataMessage())
        return;
    if (FieldCount() > 0) {
        const QPoint p = event->position().toPoint();
        const TGridCoord cell = MouseCoord(p.x(), p.y());
        PopupCol = cell.X;
        if (FSortButtonClick && !(event->modifiers() & Qt::ControlModifier)) {
            if (cell == FSortBtnCoord && p.y() >= 0) {
                if (!FSortButtonDown) {
                    FSortButtonDown = true;
                    InvalidateTitleCell(FSortBtnCoord);
                }
            } else if (FSortButtonDown) {
                FSortButtonDown = false;
                FSortButtonClick = false;
                InvalidateTitleCell(FSortBtnCoord);
                // The press becomes the start of a column drag.
                HandleMouseDown(Qt::LeftButton, event->modifiers(), FMouseDownCoor, false, nullptr);
            }
        }
    }
    TCustomDBEdGrid::mouseMoveEvent(event);
}

void TCustomDBSfmGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (DataSetControlsDisabled())
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool pending = FSortButtonClick;
    if (FieldCount() > 0 && DragColumnIndex() == -1 && FSortButtonClick && !ctrl) {
        const int I = FSortBtnCoord.X - ((Options() & dgIndicator) ? 1 : 0);
        bool ascending = FDefaultSortOrder == TSortOrder::soAscending;
        bool sort = false;
        if (FSortButtonDown && I >= 0 && I < FieldCount()) {
            if (TField* f = GetFields(I)) {
                const int p = FOrder.IndexOfFieldNo(f->FieldNo());
                if (p >= 0)
                    ascending = FOrder.Items[p].SortOrder == TSortOrder::soDescending;
            }
            sort = true;
        }
        FSortButtonDown = false;
        FSortButtonClick = false;
        InvalidateTitleCell(FSortBtnCoord);
        FSortBtnCoord = {0, 0};
        FMouseDownCoor = {-1, -1};
        if (sort)
            SortGrid(I, ascending, event->modifiers() & Qt::ShiftModifier);
    }
    FSortButtonDown = false;
    FSortButtonClick = false;
    TCustomDBEdGrid::mouseReleaseEvent(event);
    if (FMouseDownCoor != QPoint(-1, -1))
        InvalidateTitleCell(FSortBtnCoord);
    FMouseDownCoor = {-1, -1};

    if (event->button() == Qt::RightButton && FieldCount() > 0 && !pending) {
        const QPoint p = event->position().toPoint();
        const TGridCoord cell = MouseCoord(p.x(), p.y());
        if (cell.Y == 0 && cell.X >= 0 && (Options() & dgTitles)) {
            PopupCol = cell.X;
            PrepareHeaderPopup(p.x(), p.y());
            FSuppressContextMenu = true;
        }
    }
}

bool TCustomDBSfmGrid::IsMenuShortCut(QKeyEvent* event) const
{
    const QKeySequence seq(event->keyCombination());
    auto matches = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions)
            if (a->isEnabled() && a->shortcuts().contains(seq))
                return true;
        return false;
    };
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (matches(w->actions()))
            return true;
    // Menus and menu bars of the window, and actions kept by the window's objects.
    return matches(window()->findChildren<QAction*>());
}

bool TCustomDBSfmGrid::event(QEvent* event)
{
    // A shortcut typed with Ctrl is taken by its menu before the grid sees the key, so its
    // Ctrl must not count as a tap.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->modifiers() & Qt::ControlModifier) && k->key() != Qt::Key_Control && IsMenuShortCut(k))
            FClearCtrl = true;
    }
    return TCustomDBEdGrid::event(event);
}

void TCustomDBSfmGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // A right click on a title opened the header menu instead.
    if (FSuppressContextMenu || (event->reason() == QContextMenuEvent::Mouse &&
                                 MouseCoord(event->pos().x(), event->pos().y()).Y == 0 && FieldCount() > 0)) {
        FSuppressContextMenu = false;
        event->accept();
        return;
    }
    TCustomDBEdGrid::contextMenuEvent(event);
}

void TCustomDBSfmGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (DataSetControlsDisabled() || NeedsNoDataMessage())
        return;
    if (FieldCount() == 0) {
        TCustomDBEdGrid::mouseDoubleClickEvent(event);
        return;
    }
    // The double click carries its own point, the same as the press before it.
    FLastMouseDownCoor = event->position().toPoint();
    const TGridCoord C = MouseCoord(FLastMouseDownCoor.x(), FLastMouseDownCoor.y());
    if (C.Y == 0 && (Options() & dgTitles))
        return;
    const int i = C.X - ((Options() & dgIndicator) ? 1 : 0);
    if (i < FieldCount())
        DblClickedField = i >= 0 ? GetFields(i) : nullptr;
    TCustomDBEdGrid::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick(this);
}

void TCustomDBSfmGrid::MoveSortFocus(TGridCoord& C, bool Right)
{
    const bool indicator = Options() & dgIndicator;
    const int first = indicator ? 1 : 0;
    const int last = Columns()->Count() - (indicator ? 0 : 1);
    if (last < first)
        return;
    int x = C.X;
    do {
        x += Right ? 1 : -1;
        if (x > last)
            x = first;
        if (x < first)
            x = last;
        TField* f = Columns()->Items(x - first)->Field();
        if (f && IsSortableField(f))
            break;
    } while (x != C.X);
    const TGridCoord old = C;
    C.X = x;
    if (x - first < FieldCount())
        if (TField* f = Columns()->Items(x - first)->Field())
            FFocusFieldNo = f->FieldNo();
    FSortBtnCoord = C;
    InvalidateTitleCell(old);
    InvalidateTitleCell(C);
}

void TCustomDBSfmGrid::keyPressEvent(QKeyEvent* event)
{
    if (DataSetControlsDisabled() || NeedsNoDataMessage())
        return;
    if (FieldCount() == 0) {
        TCustomDBEdGrid::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const int key = event->key();
    TGridCoord C = SortFocusCell();
    if (!(mods & Qt::ShiftModifier)) {
        FVirtualSelecting = false;
        FShiftDown = false;
    }
    const bool pressedTitle = FSortButtonDown;
    const bool titles = Options() & dgTitles;
    if (key != Qt::Key_Control && key != Qt::Key_Shift && key != Qt::Key_Left && key != Qt::Key_Right &&
        !((key == Qt::Key_Up || key == Qt::Key_Down) && FDoSort && pressedTitle)) {
        if (ctrl)
            FClearCtrl = true;
        EndSortMode();
    }
    bool consumed = false;
    TDataSet* ds = LinkDataSet();
    switch (key) {
    case Qt::Key_Tab:
        if (ctrl)
            FClearCtrl = false;
        break;
    case Qt::Key_Shift:
        if (!ctrl)
            FShiftDown = true;
        break;
    case Qt::Key_Control:
        if (FShiftDown || QGuiApplication::mouseButtons() != Qt::NoButton)
            FClearCtrl = true;
        if (titles && C.X != NoFocusField && !FClearCtrl && FKeySortMode) {
            // A held Ctrl repeats: the mode keeps the list and focus it began with, or a
            // direction chosen meanwhile would count as the starting one.
            FSortButtonDown = true;
            FSortButtonClick = true;
            InvalidateTitleCell(FSortBtnCoord);
        } else if (titles && C.X != NoFocusField && !FClearCtrl) {
            if (FOrder.Count() > 0) {
                FPrevSortFieldNo = FOrder.Items[0].FieldNo;
                FPrevSortOrder = FOrder.Items[0].SortOrder;
            } else {
                FPrevSortFieldNo = NoFocusField;
                FPrevSortOrder = TSortOrder::soAscending;
            }
            FPrevOrder = FOrder;
            FKeySortMode = true;
            FSortButtonDown = true;
            FSortButtonClick = true;
            FSortBtnCoord = C;
            FFocusFieldNo = FPrevSortFieldNo;
            FFocusSortOrder = FPrevSortOrder;
            InvalidateTitleCell(C);
        }
        consumed = true;
        break;
    case Qt::Key_Space:
        if (FShiftDown && FVirtualMultiSelect) {
            FSpaceShift = true;
            if (ToggleVirtualSelection()) {
                FVirtualSelecting = false;
                InvalidateGrid();
            }
            consumed = true;
        } else {
            FSpaceShift = false;
            FSpaceCtrl = mods == Qt::ControlModifier;
            if (FSpaceCtrl && ds)
                ds->CheckBrowseMode();
        }
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (FShiftDown && ds && FVirtualMultiSelect) {
            VirtualSelectRun(VisibleRowCount(), key == Qt::Key_PageUp);
            consumed = true;
        }
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (ctrl && FShiftDown && ds && FVirtualMultiSelect) {
            VirtualSelectRun(-1, key == Qt::Key_Home);
            consumed = true;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (titles && C.X != NoFocusField && pressedTitle && !FShiftDown) {
            MoveSortFocus(C, key == Qt::Key_Right);
            consumed = true;
        } else if (Options() & dgRowSelect) {
            const bool indicator = Options() & dgIndicator;
            const int n = Columns()->Count();
            if (key == Qt::Key_Left) {
                if (LeftCol() > (indicator ? 1 : 0))
                    SetLeftCol(LeftCol() - 1);
            } else if (LeftCol() < (indicator ? n : n - 1) && LeftCol() + VisibleColCount() - 1 < n) {
                SetLeftCol(LeftCol() + 1);
            }
            consumed = true;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (titles && FDoSort && C.X != NoFocusField && pressedTitle && !FShiftDown) {
            if (TField* f = FieldOfGridCol(C.X)) {
                FFocusFieldNo = f->FieldNo();
                const TSortOrder o = key == Qt::Key_Up ? TSortOrder::soAscending : TSortOrder::soDescending;
                FFocusSortOrder = o;
                const int p = FOrder.IndexOfFieldNo(f->FieldNo());
                if (p >= 0)
                    FOrder.Items[p].SortOrder = o;
            }
            InvalidateTitleCell(C);
            consumed = true;
        } else if (FVirtualMultiSelect && FShiftDown) {
            const bool up = key == Qt::Key_Up;
            if (FVirtualSelecting && FVirtualSelectingUp != up) {
                FVirtualSelecting = false;
            } else if (!ToggleVirtualSelection()) {
                consumed = true;
            } else if (!FVirtualSelecting) {
                FVirtualSelecting = true;
                FVirtualSelectingUp = up;
            }
        }
        break;
    default:
        FClearCtrl = true;
        break;
    }
    if (consumed)
        return;
    if (!event->text().isEmpty() && HandleKeyPress(event))
        return;
    TCustomDBEdGrid::keyPressEvent(event);
}

bool TCustomDBSfmGrid::HandleKeyPress(QKeyEvent* event)
{
    const QString text = event->text();
    ushort code = text.isEmpty() ? 0 : text.at(0).unicode();
    // Ctrl with a letter is its control character (Ctrl+F 6, Ctrl+V 22), whatever text the
    // platform put into the event.
    const int key = event->key();
    if ((event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::AltModifier) && key >= Qt::Key_A
        && key <= Qt::Key_Z)
        code = ushort(key - Qt::Key_A + 1);
    const bool ctrlV = code == 22 || (event->matches(QKeySequence::Paste));
    const bool clipText = ctrlV && !QApplication::clipboard()->text().isEmpty();
    if (ctrlV && !clipText)
        return false;
    TEkColumn* sel = SelectedColumn();
    const bool editing = Options() & dgEditing;
    if (!(!editing || (sel && !sel->DirectInput()) || (code == ' ' && FSpaceCtrl)))
        return false;
    if (FSortButtonDown || (code == ' ' && FSpaceShift))
        return false;
    if (!(code > 31 || code == 6 || clipText))
        return false;
    TDataSet* ds = LinkDataSet();
    if (!ds || !ds->Active() || ds->State() != TDataSetState::dsBrowse || FOrder.Count() == 0)
        return false;
    const int fi = FieldIndexOfFieldNo(FOrder.Items[0].FieldNo);
    if (fi < 0)
        return false;
    TField* F = GetFields(fi);
    const int gridCol = fi + ((Options() & dgIndicator) ? 1 : 0);
    if (isDateType(F->DataType())) {
        if (CanShowFind(F->FieldName(), 0)) {
            PopupCol = gridCol;
            ShowFind(code < 32 ? QString(QChar(0)) : QString(QChar(code)));
            return true;
        }
        return false;
    }
    if (!CanShowSearch(F->FieldName(), 0))
        return false;
    const TFieldType t = F->DataType();
    if (!FSpaceCtrl && (t == TFieldType::ftSmallint || t == TFieldType::ftInteger || t == TFieldType::ftWord ||
                        t == TFieldType::ftFloat)) {
        const bool ok = (code >= '0' && code <= '9') || code == 8 || code == 9 || ctrlV || code == '-' || code == '.';
        if (!ok) {
            UiServices::Beep();
            return true;
        }
    }
    PopupCol = gridCol;
    QString searchText;
    if (clipText)
        searchText = QApplication::clipboard()->text();
    else if (code < 32)
        searchText = QString(QChar(0));
    else if (code != ' ')
        searchText = QString(QChar(code));
    ShowIncrementalSearch(searchText);
    return true;
}

void TCustomDBSfmGrid::keyReleaseEvent(QKeyEvent* event)
{
    if (DataSetControlsDisabled() || NeedsNoDataMessage() || FieldCount() == 0 || event->isAutoRepeat()) {
        TCustomDBEdGrid::keyReleaseEvent(event);
        return;
    }
    const TGridCoord C = SortFocusCell();
    const int key = event->key();
    if (key == Qt::Key_Shift) {
        FVirtualSelecting = false;
        FShiftDown = false;
    } else if (key == Qt::Key_Control) {
        if (FSortButtonDown && (Options() & dgTitles) && C.X != NoFocusField) {
            FKeySortMode = false;
            FSortButtonDown = false;
            FSortButtonClick = false;
            FSortBtnCoord = C;
            const bool unchanged = !FDoSort || (FFocusFieldNo == FPrevSortFieldNo && FFocusSortOrder == FPrevSortOrder);
            const TSortOrder focusOrder = FFocusSortOrder;
            FFocusFieldNo = NoFocusField;
            InvalidateTitleCell(C);
            if (!FClearCtrl) {
                if (unchanged) {
                    PopupCol = C.X;
                    PrepareHeaderPopup(0, 0);
                } else {
                    SortGrid(C.X - ((Options() & dgIndicator) ? 1 : 0), focusOrder == TSortOrder::soAscending,
                             event->modifiers() & Qt::ShiftModifier);
                }
            }
        }
        FFocusFieldNo = NoFocusField;
        FClearCtrl = false;
        return;
    }
    TCustomDBEdGrid::keyReleaseEvent(event);
}

void TCustomDBSfmGrid::focusInEvent(QFocusEvent* event)
{
    FClearCtrl = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    if (!NeedsNoDataMessage())
        EndSortMode();
    FShiftDown = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    TCustomDBEdGrid::focusInEvent(event);
    InvalidateGrid();
}

void TCustomDBSfmGrid::focusOutEvent(QFocusEvent* event)
{
    TCustomDBEdGrid::focusOutEvent(event);
    if (!NeedsNoDataMessage())
        EndSortMode();
    InvalidateGrid();
}

void TCustomDBSfmGrid::hideEvent(QHideEvent* event)
{
    TCustomDBEdGrid::hideEvent(event);
    if (FSearchForm && FSearchForm->isVisible())
        FSearchForm->hide();
}
