#include "grids/TfrmFldDlg.h"

#include "controls/TKpBitBtn.h"
#include "controls/TKpBtnPnl.h"
#include "controls/TtbtnKp.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/IGridColumns.h"
#include "platform/ui/UiServices.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

TFldDlgClass FieldsDialogClass = [](QWidget* AOwner) -> TFldDlg* { return new TfrmFldDlg(AOwner); };

namespace {

void MoveColumn(TEkColumn* Column, TDBEdGridColumns* To, int Pos)
{
    if (Column->Collection() != To) {
        if (Column->Collection())
            Column->Collection()->RemoveItem(Column);
        To->InsertItem(Column);
    }
    Column->SetIndex(std::min(Pos, To->Count() - 1));
}

QWidget* Panel(QWidget* Parent, const char* Name)
{
    auto* p = new QWidget(Parent);
    p->setObjectName(QString::fromLatin1(Name));
    return p;
}

TKpBitBtn* ArrowButton(QWidget* Parent, const char* Name, const char* Image, const QString& Hint)
{
    auto* b = new TKpBitBtn(Parent);
    b->setObjectName(QString::fromLatin1(Name));
    b->SetImageName(QString::fromLatin1(Image));
    b->setToolTip(Hint);
    b->setFixedSize(33, 25);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

// A half of the form: a caption line 25 high above what the caller adds.
QVBoxLayout* Half(QWidget* Panel, int Left, int Right, QLabel*& Caption, const char* Name, const QString& Text)
{
    auto* layout = new QVBoxLayout(Panel);
    layout->setContentsMargins(Left, 0, Right, 0);
    layout->setSpacing(0);
    Caption = new QLabel(Text, Panel);
    Caption->setObjectName(QString::fromLatin1(Name));
    Caption->setFixedHeight(25);
    layout->addWidget(Caption);
    return layout;
}

QListWidget* ColumnList(QWidget* Parent, const char* Name)
{
    auto* l = new QListWidget(Parent);
    l->setObjectName(QString::fromLatin1(Name));
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setUniformItemSizes(true);
    return l;
}

} // namespace

TfrmFldDlg::TfrmFldDlg(QWidget* AOwner) : TFldDlg(AOwner)
{
    setObjectName(QStringLiteral("frmFldDlg"));
    setWindowTitle(QStringLiteral("Kolonnu iestatīšana"));
    resize(510, 319);
    setMinimumSize(489, 293);

    AllDescs = std::make_unique<TDBEdGridColumns>(OwnerGrid());
    SelDescs = std::make_unique<TDBEdGridColumns>(OwnerGrid());

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    spl = new QSplitter(Qt::Horizontal, this);
    spl->setObjectName(QStringLiteral("spl"));
    spl->setHandleWidth(6);
    spl->setChildrenCollapsible(false);
    root->addWidget(spl, 1);

    // Left half: what can still be shown.
    pnlLeft = Panel(spl, "pnlLeft");
    QVBoxLayout* left = Half(pnlLeft, 4, 0, Label1, "Label1", QStringLiteral("Iespējamās kolonnas:"));
    lstAll = ColumnList(pnlLeft, "lstAll");
    left->addWidget(lstAll, 1);

    // Right half: what is shown, in order.
    pnlRight = Panel(spl, "pnlRight");
    QVBoxLayout* right = Half(pnlRight, 0, 4, lblRedzKol, "lblRedzKol", QStringLiteral("&Redzamās kolonnas:"));
    lblRedzKol->setIndent(47);

    QWidget* pnlVisButtons = Panel(pnlRight, "pnlVisButtons");
    pnlVisButtons->setFixedHeight(34);
    auto* vis = new QHBoxLayout(pnlVisButtons);
    vis->setContentsMargins(47, 0, 0, 0);
    vis->setSpacing(4);
    lblPlatums = new QLabel(QStringLiteral("&Platums:"), pnlVisButtons);
    lblPlatums->setObjectName(QStringLiteral("lblPlatums"));
    lblPlatums->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edtWidth = new QLineEdit(pnlVisButtons);
    edtWidth->setObjectName(QStringLiteral("edtWidth"));
    edtWidth->setFixedWidth(45);
    edtWidth->setMaxLength(4);
    lblPlatums->setBuddy(edtWidth);
    btnDefault = new TtbtnKp(pnlVisButtons);
    btnDefault->setObjectName(QStringLiteral("btnDefault"));
    btnDefault->SetImageName(QStringLiteral("NOMEST"));
    btnDefault->SetHint(QStringLiteral("Sākotnējais izskats"));
    btnDefault->setFixedSize(25, 25);
    vis->addWidget(lblPlatums);
    vis->addWidget(edtWidth);
    vis->addStretch(1);
    vis->addWidget(btnDefault);
    right->addWidget(pnlVisButtons);

    auto* body = new QHBoxLayout();
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    QWidget* pnlMiddle = Panel(pnlRight, "pnlMiddle");
    pnlMiddle->setFixedWidth(47);
    auto* middle = new QVBoxLayout(pnlMiddle);
    middle->setContentsMargins(7, 0, 7, 0);
    middle->setSpacing(6);
    KpBitBtn1 = ArrowButton(pnlMiddle, "KpBitBtn1", "RIGHT", QStringLiteral("Pievienot lauku izskatam"));
    KpBitBtn2 = ArrowButton(pnlMiddle, "KpBitBtn2", "LEFT", QStringLiteral("Izņemt lauku no izskata"));
    KpBitBtn3 = ArrowButton(pnlMiddle, "KpBitBtn3", "UP", QStringLiteral("Pārbīdīt lauku augstāk"));
    KpBitBtn4 = ArrowButton(pnlMiddle, "KpBitBtn4", "DOWN", QStringLiteral("Pārbīdīt lauku zemāk"));
    middle->addStretch(1);
    middle->addWidget(KpBitBtn1);
    middle->addWidget(KpBitBtn2);
    middle->addSpacing(18);
    middle->addWidget(KpBitBtn3);
    middle->addWidget(KpBitBtn4);
    middle->addStretch(1);
    body->addWidget(pnlMiddle);
    lstSel = ColumnList(pnlRight, "lstSel");
    lblRedzKol->setBuddy(lstSel);
    body->addWidget(lstSel, 1);
    right->addLayout(body, 1);

    spl->addWidget(pnlLeft);
    spl->addWidget(pnlRight);
    spl->setStretchFactor(0, 1);
    spl->setStretchFactor(1, 0);
    spl->setSizes({510 - 268 - 6, 268});

    pnlBtnPanel = new TKpBtnPnl(this);
    pnlBtnPanel->setObjectName(QStringLiteral("pnlBtnPanel"));
    pnlBtnPanel->SetAlign(TAlign::alBottom);
    pnlBtnPanel->SetControlStep(20);
    btnOK = new TKpBitBtn(pnlBtnPanel);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->SetCaption(QStringLiteral("Labi"));
    btnOK->setGeometry(160, 5, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new TKpBitBtn(pnlBtnPanel);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->SetCaption(QStringLiteral("Atcelt"));
    btnCancel->setGeometry(260, 5, 75, 25);
    btnCancel->setAutoDefault(false);
    pnlBtnPanel->ArrangeControls(false);
    root->addWidget(pnlBtnPanel);

    connect(KpBitBtn1, &QAbstractButton::clicked, this, [this] { AddClick(); });
    connect(KpBitBtn2, &QAbstractButton::clicked, this, [this] { RemoveClick(); });
    connect(KpBitBtn3, &QAbstractButton::clicked, this, [this] { UpClick(); });
    connect(KpBitBtn4, &QAbstractButton::clicked, this, [this] { DownClick(); });
    connect(btnDefault, &QAbstractButton::clicked, this, [this] { DefaultClick(); });
    connect(btnOK, &QAbstractButton::clicked, this, [this] { OkClick(); });
    connect(btnCancel, &QAbstractButton::clicked, this, [this] { reject(); });
    connect(lstAll, &QListWidget::itemDoubleClicked, this, [this] { AddClick(); });
    connect(lstSel, &QListWidget::itemDoubleClicked, this, [this] { RemoveClick(); });
    // The width edit shows the width of what OK will change, however the selection changed
    // (click, arrow keys, Shift or Ctrl+A).
    connect(lstSel, &QListWidget::itemSelectionChanged, this, [this] { ShowWidth(lstSel); });
    connect(lstSel, &QListWidget::itemClicked, this, [this] { ShowWidth(lstSel); });
    connect(edtWidth, &QLineEdit::editingFinished, this, [this] {
        if (!edtWidth->text().trimmed().isEmpty())
            ApplyWidth(lstSel);
    });
    lstAll->installEventFilter(this);
    lstSel->installEventFilter(this);
    edtWidth->installEventFilter(this);
}

TfrmFldDlg::~TfrmFldDlg()
{
    // The items point at columns of the collections, which go first.
    lstAll->clear();
    lstSel->clear();
}

TCustomDBEdGrid* TfrmFldDlg::OwnerGrid() const { return qobject_cast<TCustomDBEdGrid*>(parentWidget()); }

void TfrmFldDlg::SetOkCaption(const QString& ACaption) { btnOK->SetCaption(ACaption); }

// The default columns are read from the owning grid when asked for.
void TfrmFldDlg::SetGrid(TCustomDBEdGrid*) {}
void TfrmFldDlg::SetDefaultColumns(TDBEdGridColumns*) {}

void TfrmFldDlg::SetCurrentColumns(TDBEdGridColumns* AColumns) { FillListBoxes(AColumns); }

void TfrmFldDlg::EnumerateAllColumns(const TColumnCallback& ACallb)
{
    for (int i = 0; i < AllDescs->Count(); ++i)
        ACallb(AllDescs->Items(i));
}

void TfrmFldDlg::EnumerateVisibleColumns(const TColumnCallback& ACallb)
{
    for (int i = 0; i < SelDescs->Count(); ++i)
        ACallb(SelDescs->Items(i));
}

void TfrmFldDlg::FillListBoxes(TDBEdGridColumns* SrcDescs)
{
    LoadColumns(SrcDescs);
    FillListBoxesDef();
}

void TfrmFldDlg::FillListBoxes(IGridColumns* Src)
{
    LoadColumns(Src);
    FillListBoxesDef();
}

void TfrmFldDlg::LoadColumns(TDBEdGridColumns* SrcDescs)
{
    lstAll->clear();
    lstSel->clear();
    AllDescs->Clear();
    SelDescs->Clear();
    for (int i = 0; i < SrcDescs->Count(); ++i) {
        TEkColumn* c = SrcDescs->Items(i);
        if (c->ShowState() == TEkColumnVisibleState::cvsNotAvailable)
            continue;
        (c->Visible() ? SelDescs : AllDescs)->Add()->Assign(*c);
    }
}

void TfrmFldDlg::LoadColumns(IGridColumns* Src)
{
    lstAll->clear();
    lstSel->clear();
    AllDescs->Clear();
    SelDescs->Clear();
    for (int i = 0; i < Src->GetCount(); ++i) {
        if (Src->GetState(i) != 1)
            continue;
        TEkColumn* c = SelDescs->Add();
        c->SetField(Src->GetField(i));
        c->Title()->SetCaption(Src->GetCaption(i));
        c->SetDropDownRows(0);
        c->SetPopupMenu(nullptr);
        c->SetDirectInput(false);
        c->SetShowState(TEkColumnVisibleState::cvsVisible);
    }
}

QString TfrmFldDlg::GetItemText(TEkColumn* Column) { return Column->Title()->Caption(); }

TEkColumn* TfrmFldDlg::ItemColumn(const QListWidgetItem* Item)
{
    return Item ? reinterpret_cast<TEkColumn*>(Item->data(Qt::UserRole).value<quintptr>()) : nullptr;
}

QListWidgetItem* TfrmFldDlg::NewItem(TEkColumn* Column)
{
    auto* item = new QListWidgetItem(GetItemText(Column));
    item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(Column)));
    // Required columns cannot leave the shown list: their text is greyed.
    if (Column->ShowState() == TEkColumnVisibleState::cvsRequired)
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    return item;
}

void TfrmFldDlg::FillList(QListWidget* List, TDBEdGridColumns* Descs)
{
    List->clear();
    for (int i = 0; i < Descs->Count(); ++i)
        List->addItem(NewItem(Descs->Items(i)));
}

void TfrmFldDlg::FillSelectedList() { FillList(lstSel, SelDescs.get()); }

void TfrmFldDlg::FillListBoxesDef()
{
    FillList(lstAll, AllDescs.get());
    FillSelectedList();
    if (lstAll->count() > 0)
        lstAll->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    if (lstSel->count() > 0)
        lstSel->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    ShowWidth(lstSel);
}

// A column follows its list: the grid keeps hidden only what is not visible, so a column
// taken off the shown list must not stay visible or it would be lost.
void TfrmFldDlg::ItemMoved(TEkColumn* Column, QListWidget* ListBox) { Column->SetVisible(ListBox == lstSel); }

void TfrmFldDlg::ShowWidth(QListWidget* ListBox)
{
    const QList<QListWidgetItem*> sel = ListBox->selectedItems();
    TEkColumn* c = sel.size() == 1 ? ItemColumn(sel.first()) : nullptr;
    edtWidth->setText(c ? QString::number(c->DisplayWidth()) : QString());
}

void TfrmFldDlg::ApplyWidth(QListWidget* ListBox)
{
    bool ok = false;
    const int w = edtWidth->text().trimmed().toInt(&ok);
    if (!ok)
        return;
    for (QListWidgetItem* item : ListBox->selectedItems())
        if (TEkColumn* c = ItemColumn(item))
            c->SetDisplayWidth(w);
}

void TfrmFldDlg::SyncSelOrder()
{
    for (int i = 0; i < lstSel->count(); ++i)
        if (TEkColumn* c = ItemColumn(lstSel->item(i)))
            MoveColumn(c, SelDescs.get(), i);
}

void TfrmFldDlg::AddClick()
{
    QListWidgetItem* topItem = lstAll->itemAt(QPoint(1, 1));
    const int top = topItem ? lstAll->row(topItem) : 0;
    const int p = lstSel->count();
    int first = -1;
    for (int i = lstAll->count() - 1; i >= 0; --i) {
        QListWidgetItem* item = lstAll->item(i);
        TEkColumn* c = ItemColumn(item);
        if (!item->isSelected() || !c)
            continue;
        ItemMoved(c, lstSel);
        MoveColumn(c, SelDescs.get(), p);
        lstSel->insertItem(p, NewItem(c));
        first = i;
    }
    const int current = first >= 0 ? first : lstAll->currentRow();
    FillList(lstAll, AllDescs.get());
    if (lstAll->count() > 0)
        lstAll->setCurrentRow(std::clamp(current, 0, lstAll->count() - 1), QItemSelectionModel::ClearAndSelect);
    if (lstSel->count() == 1) {
        lstSel->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        ShowWidth(lstSel);
    }
    if (top < lstAll->count())
        lstAll->scrollToItem(lstAll->item(top), QAbstractItemView::PositionAtTop);
    else
        lstAll->scrollToBottom();
}

void TfrmFldDlg::RemoveClick()
{
    if (lstSel->currentRow() < 0)
        return;
    int last = -1;
    for (int i = 0; i < lstSel->count();) {
        QListWidgetItem* item = lstSel->item(i);
        TEkColumn* c = ItemColumn(item);
        if (!item->isSelected() || !c) {
            ++i;
            continue;
        }
        last = i;
        if (c->ShowState() == TEkColumnVisibleState::cvsRequired) {
            item->setSelected(false);
            ++i;
            continue;
        }
        ItemMoved(c, lstAll);
        MoveColumn(c, AllDescs.get(), AllDescs->Count());
        delete lstSel->takeItem(i);
    }
    const int current = lstAll->currentRow();
    FillList(lstAll, AllDescs.get());
    if (lstAll->count() > 0)
        lstAll->setCurrentRow(std::clamp(current, 0, lstAll->count() - 1), QItemSelectionModel::ClearAndSelect);
    if (lstSel->count() > 0 && last >= 0)
        lstSel->setCurrentRow(std::min(last, lstSel->count() - 1), QItemSelectionModel::ClearAndSelect);
    ShowWidth(lstSel);
}

void TfrmFldDlg::MoveSelected(bool Up)
{
    const QList<QListWidgetItem*> selected = lstSel->selectedItems();
    if (selected.size() < 2) {
        const int r = lstSel->currentRow();
        const int to = Up ? r - 1 : r + 1;
        if (r < 0 || to < 0 || to >= lstSel->count())
            return;
        QListWidgetItem* item = lstSel->takeItem(r);
        lstSel->insertItem(to, item);
        lstSel->setCurrentRow(to, QItemSelectionModel::ClearAndSelect);
        SyncSelOrder();
        ShowWidth(lstSel);
        return;
    }
    // A multiple selection goes, in its order, to the top (or the bottom) of the list.
    std::vector<QListWidgetItem*> moving;
    for (int i = 0; i < lstSel->count(); ++i)
        if (lstSel->item(i)->isSelected())
            moving.push_back(lstSel->item(i));
    for (QListWidgetItem* item : moving)
        lstSel->takeItem(lstSel->row(item));
    int at = Up ? 0 : lstSel->count();
    for (QListWidgetItem* item : moving)
        lstSel->insertItem(at++, item);
    lstSel->clearSelection();
    for (QListWidgetItem* item : moving)
        item->setSelected(true);
    SyncSelOrder();
}

void TfrmFldDlg::UpClick() { MoveSelected(true); }
void TfrmFldDlg::DownClick() { MoveSelected(false); }

void TfrmFldDlg::DefaultClick()
{
    TCustomDBEdGrid* grid = OwnerGrid();
    if (!grid)
        return;
    auto defaults = std::make_unique<TDBEdGridColumns>(grid);
    grid->RestoreDefaultColumnsToColumns(defaults.get());
    lstAll->clear();
    lstSel->clear();
    AllDescs->Clear();
    SelDescs->Clear();
    for (int i = defaults->Count() - 1; i >= 0; --i) {
        TEkColumn* c = defaults->Items(i);
        TEkColumn* g = grid->ColumnByFieldName(c->FieldName());
        if (!g || g->ShowState() == TEkColumnVisibleState::cvsNotAvailable) {
            delete c;
            continue;
        }
        c->SetReadOnly(g->ReadOnly());
        c->SetColor(g->Color());
        if (g->ShowState() == TEkColumnVisibleState::cvsRequired)
            c->SetShowState(TEkColumnVisibleState::cvsRequired);
        if (c->Visible())
            MoveColumn(c, SelDescs.get(), 0);
    }
    AllDescs = std::move(defaults);
    FillListBoxesDef();
}

void TfrmFldDlg::OkClick()
{
    ApplyWidth(lstSel);
    if (lstSel->count() > 0)
        accept();
}

void TfrmFldDlg::ApplySelection(TDBEdGridColumns* ToDescs)
{
    auto named = [ToDescs](TEkColumn* c) -> TEkColumn* {
        for (int i = 0; i < ToDescs->Count(); ++i)
            if (ToDescs->Items(i)->FieldName() == c->FieldName())
                return ToDescs->Items(i);
        return nullptr;
    };
    for (int i = 0; i < AllDescs->Count(); ++i)
        if (TEkColumn* t = named(AllDescs->Items(i)))
            t->SetVisible(false);
    for (int i = 0; i < SelDescs->Count(); ++i)
        if (TEkColumn* t = named(SelDescs->Items(i))) {
            t->SetVisible(true);
            t->SetWidth(SelDescs->Items(i)->Width());
            t->SetIndex(i);
        }
}

bool TfrmFldDlg::WidthKey(QKeyEvent* Event)
{
    const QString text = Event->text();
    if (text.size() != 1 || Event->key() == Qt::Key_Backspace || !text[0].isPrint())
        return false;
    const QChar ch = text[0];
    if (ch.isDigit())
        return false;
    if (ch == QLatin1Char('-') && !edtWidth->text().contains(QLatin1Char('-')))
        return false;
    UiServices::Beep();
    return true;
}

bool TfrmFldDlg::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == edtWidth && Event->type() == QEvent::KeyPress)
        return WidthKey(static_cast<QKeyEvent*>(Event));
    if ((Watched == lstAll || Watched == lstSel) && Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if (!(key->modifiers() & Qt::AltModifier))
            return false;
        switch (key->key()) {
        case Qt::Key_Right: AddClick(); return true;
        case Qt::Key_Left: RemoveClick(); return true;
        case Qt::Key_Up: if (Watched == lstSel) UpClick(); return true;
        case Qt::Key_Down: if (Watched == lstSel) DownClick(); return true;
        default: return false;
        }
    }
    if (Watched == lstSel && Event->type() == QEvent::FocusIn && lstSel->currentRow() < 0 && lstSel->count() > 0) {
        lstSel->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        ShowWidth(lstSel);
    }
    return TFldDlg::eventFilter(Watched, Event);
}

void TfrmFldDlg::showEvent(QShowEvent* Event)
{
    TCustomDBEdGrid* grid = OwnerGrid();
    btnDefault->setVisible(grid && grid->HasDefaultColumns());
    TFldDlg::showEvent(Event);
}
