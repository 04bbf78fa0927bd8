#include "grids/TfrmSFMSearch.h"

#include "controls/TKpBtnPnl.h"
#include "controls/TtbtnKp.h"
#include "grids/IGridSearch.h"
#include "grids/TSearchCondition.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/UiServices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSignalBlocker>

namespace {

const QString kCaption = QStringLiteral("Meklēšana");
const QString kFromStart = QStringLiteral("Meklēt no sākuma");
const QString kForward = QStringLiteral("Meklēt uz priekšu");
const QString kBackward = QStringLiteral("Meklēt atpakaļ");
const QString kNextValue = QStringLiteral("Nākošā vērtība");
const QString kPriorValue = QStringLiteral("Iepriekšējā vērtība");
constexpr int kWidth = 290;
constexpr int kTextWidth = 202;
constexpr QPoint kNoPos{-1000, -1000};

// A slot never lets an exception into Qt: it is shown as the default handler would.
template <class F>
void guarded(QWidget* Parent, F&& Body)
{
    try {
        Body();
    } catch (const std::exception& e) {
        UiServices::MessageBox(Parent, QString::fromUtf8(e.what()), QApplication::applicationName(),
                               QMessageBox::Critical, QMessageBox::Ok);
    }
}

TtbtnKp* makeButton(QWidget* Parent, const char* Name, const char* Image, const QString& Hint, const QRect& Place)
{
    auto* b = new TtbtnKp(Parent);
    b->setObjectName(QString::fromLatin1(Name));
    b->SetImageName(QString::fromLatin1(Image));
    b->SetHint(Hint);
    b->SetLayout(TButtonLayout::blGlyphBottom);
    b->setGeometry(Place);
    return b;
}

bool isEnter(const QKeySequence& Shortcut)
{
    return Shortcut == QKeySequence(Qt::Key_Return) || Shortcut == QKeySequence(Qt::Key_Enter);
}

} // namespace

TfrmSFMSearch::TfrmSFMSearch(QWidget* AOwner)
    : QWidget(AOwner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSFMSearch"));
    setWindowTitle(kCaption);
    setFixedSize(kWidth, FindHeight);

    chkCase = new QCheckBox(QStringLiteral("Reģistrjutīgs"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkCase->setGeometry(5, 36, 283, 17);

    pnlTop = new TKpBtnPnl(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->SetAlign(TAlign::alTop);
    pnlTop->SetCenterControls(false);
    pnlTop->SetBevelWidth(0);
    pnlTop->setGeometry(0, 0, kWidth, 34);

    edtWhat = new QLineEdit(pnlTop);
    edtWhat->setObjectName(QStringLiteral("edtWhat"));
    edtWhat->setGeometry(4, 6, kTextWidth, 23);
    btnSearchFromStart =
        makeButton(pnlTop, "btnSearchFromStart", "SRCHFROMSTART", kFromStart, QRect(209, 6, 25, 23));
    btnSearchToEnd = makeButton(pnlTop, "btnSearchToEnd", "SRCHTOEND", kForward, QRect(237, 6, 24, 23));
    btnSearchToStart = makeButton(pnlTop, "btnSearchToStart", "SRCHTOSTART", kPriorValue, QRect(264, 6, 24, 23));

    connect(edtWhat, &QLineEdit::textChanged, this, [this] { guarded(this, [this] { edtWhatChange(); }); });
    connect(btnSearchToEnd, &QAbstractButton::clicked, this,
            [this] { guarded(this, [this] { ArrowClick(btnSearchToEnd); }); });
    connect(btnSearchToStart, &QAbstractButton::clicked, this,
            [this] { guarded(this, [this] { ArrowClick(btnSearchToStart); }); });
    connect(btnSearchFromStart, &QAbstractButton::clicked, this,
            [this] { guarded(this, [this] { btnFromTop1Click(); }); });
    // The window sees keys before its controls.
    edtWhat->installEventFilter(this);
    chkCase->installEventFilter(this);
}

TfrmSFMSearch::~TfrmSFMSearch()
{
    FGridDestroying = true;
    GiveBackEnterShortcut();
}

// ---- showing ---------------------------------------------------------------------------------

TfrmSFMSearch* TfrmSFMSearch::PrepareSearchForm(IGridSearch& Grid)
{
    auto* W = qobject_cast<TfrmSFMSearch*>(Grid.GetSearchForm());
    if (!W) {
        W = new TfrmSFMSearch(Grid.GetSelf());
        Grid.SetSearchForm(W);
    }
    W->FArrowAction = TArrowAction::NextValue;
    W->edtWhat->resize(kTextWidth, W->edtWhat->height());
    W->btnSearchFromStart->setVisible(true);
    W->btnSearchToStart->setVisible(true);
    W->btnSearchToEnd->setVisible(true);

    W->FGrid = &Grid;
    W->FControl = Grid.GetControl();
    W->FStartRecBkMk = TBookmark{};
    if (TDataSet* ds = Grid.GetDataSet(); ds && ds->Active()) {
        ds->CheckBrowseMode();
        W->FStartRecBkMk = ds->GetBookmark();
    }
    W->FFieldName = Grid.GetPopupFieldName();
    W->FSOrder = Grid.GetPopupSortOrder();
    W->FComplexFilter = false;

    const QString caption = Grid.GetCaption();
    W->setWindowTitle(caption.isEmpty() ? kCaption : caption);
    W->FbFromTop = false;
    W->btnSearchFromStart->SetHint(kFromStart);
    W->ClearEnterShortcut();
    return W;
}

void TfrmSFMSearch::ShowIncrementalSearch(IGridSearch& Grid, const QString& AText)
{
    TfrmSFMSearch* W = PrepareSearchForm(Grid);
    W->btnSearchFromStart->hide();
    W->btnSearchToEnd->hide();
    W->btnSearchToStart->hide();
    W->chkCase->hide();
    W->edtWhat->setEnabled(true);
    // Without the buttons the text takes the whole line.
    W->edtWhat->resize(kWidth - 8, W->edtWhat->height());
    const QString idxFields = Grid.GetPopupIdxFields();
    if (!idxFields.isEmpty()) {
        W->FFieldName = Grid.GetSortFilter(idxFields);
        W->FComplexFilter = true;
        W->SetTextQuietly(QString(), false);
    } else if (!AText.isEmpty() && AText != QString(QChar(0))) {
        W->SetTextQuietly(AText, false);
    } else {
        TField* f = W->SearchField();
        W->SetTextQuietly(f ? f->AsString() : QString(), true);
    }
    W->edtWhatChange();
    W->ShowWindow(ShortHeight, true);
}

void TfrmSFMSearch::ShowFind(IGridSearch& Grid, const QString& AText)
{
    TfrmSFMSearch* W = PrepareSearchForm(Grid);
    W->btnSearchToEnd->SetHint(kForward);
    W->btnSearchToStart->SetHint(kBackward);
    W->FArrowAction = TArrowAction::Find;
    W->edtWhat->setEnabled(true);
    W->chkCase->show();
    if (AText.isEmpty()) {
        TField* f = W->SearchField();
        W->SetTextQuietly(f ? W->FieldText(f) : QString(), true);
    } else {
        // A lone control character only opened the window.
        W->SetTextQuietly(AText == QString(QChar(0)) ? QString() : AText, false);
    }
    W->ShowWindow(FindHeight, true);
}

void TfrmSFMSearch::ShowNextValue(IGridSearch& Grid)
{
    TfrmSFMSearch* W = PrepareSearchForm(Grid);
    W->btnSearchToEnd->SetHint(kNextValue);
    W->btnSearchToStart->SetHint(kPriorValue);
    W->edtWhat->setEnabled(false);
    W->chkCase->hide();
    TField* f = W->SearchField();
    W->SetTextQuietly(f ? W->FieldText(f) : QString(), false);
    W->ShowWindow(ShortHeight, false);
}

void TfrmSFMSearch::ShowWindow(int ClientHeight, bool FocusText)
{
    setFixedSize(kWidth, ClientHeight);
    // The frame is known once the window exists; the first placement needs its height.
    if (!testAttribute(Qt::WA_WState_Created))
        create();
    // Where the user left it, measured from the grid's lower left corner and kept inside the
    // screen's right and bottom edges; the first time inside that corner of the grid.
    const QPoint P = FGrid->GetSearchFormPos();
    const QSize outer = frameGeometry().size();
    QPoint Q;
    if (P.x() != kNoPos.x() && P.y() != kNoPos.y()) {
        Q = GridCorner() + P;
        const QScreen* screen = FControl ? FControl->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect(QPoint(0, 0), QSize(1920, 1080));
        Q.setX(std::min(Q.x(), area.x() + area.width() - outer.width()));
        Q.setY(std::min(Q.y(), area.y() + area.height() - outer.height()));
    } else if (FControl) {
        Q = FControl->mapToGlobal(QPoint(11, FControl->height() - outer.height()));
    }
    move(Q);
    show();
    raise();
    activateWindow();
    if (FocusText && edtWhat->isEnabled())
        edtWhat->setFocus();
}

void TfrmSFMSearch::SetTextQuietly(const QString& Text, bool SelectAll)
{
    const QSignalBlocker block(edtWhat);
    edtWhat->setText(Text);
    if (SelectAll)
        edtWhat->selectAll();
    else
        edtWhat->setCursorPosition(int(Text.size()));
    edtWhat->update();
}

// An Enter shortcut of the grid's window would take the key the window needs.
void TfrmSFMSearch::ClearEnterShortcut()
{
    GiveBackEnterShortcut();
    QWidget* host = FControl ? FControl->window() : nullptr;
    if (!host)
        return;
    for (QAction* a : host->findChildren<QAction*>()) {
        if (isEnter(a->shortcut())) {
            FmniCleared = a;
            FClearedShortcut = a->shortcut();
            a->setShortcut(QKeySequence());
            return;
        }
    }
}

void TfrmSFMSearch::GiveBackEnterShortcut()
{
    if (FmniCleared)
        FmniCleared->setShortcut(FClearedShortcut);
    FmniCleared = nullptr;
}

// ---- helpers ---------------------------------------------------------------------------------

TDataSet* TfrmSFMSearch::DataSet() const
{
    return FGrid ? FGrid->GetDataSet() : nullptr;
}

TField* TfrmSFMSearch::SearchField() const
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->FindField(FFieldName) : nullptr;
}

QString TfrmSFMSearch::FieldText(const TField* Field) const
{
    return FGrid->IsUseDisplayTextForFinds() ? Field->DisplayText() : Field->AsString();
}

QPoint TfrmSFMSearch::GridCorner() const
{
    return FControl ? FControl->mapToGlobal(QPoint(0, FControl->height())) : QPoint();
}

// ---- searching -------------------------------------------------------------------------------

void TfrmSFMSearch::edtWhatChange()
{
    edtWhat->update();
    // Only the incremental search follows the typing.
    if (!btnSearchToEnd->isHidden() || !FGrid)
        return;
    const QString text = edtWhat->text();
    if (!FComplexFilter) {
        bool handled = false;
        FGrid->DoIncrementalSearch(FFieldName, text, handled);
        if (handled)
            return;
    }
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active())
        return;
    if (text.isEmpty()) {
        if (ds->BookmarkValid(FStartRecBkMk))
            ds->GotoBookmark(FStartRecBkMk);
        return;
    }
    TField* f = ds->FindField(FFieldName);
    if (!f) {
        UiServices::Beep();
        return;
    }
    try {
        if (FComplexFilter || !TSearchCondition::IsStringField(f)) {
            ::Value key;
            if (!TSearchCondition::TypedValue(f, text, key)) {
                UiServices::Beep();
                return;
            }
            const bool asc = FSOrder == TSortOrder::soAscending;
            TSearchCondition cond(ds, [f, key] {
                int c = 0;
                return TSearchCondition::CompareField(f, key, true, c) && c >= 0;
            });
            // Past the end of the order: the nearest record there is.
            if (asc ? !ds->FindFirst() : !ds->FindLast()) {
                if (asc)
                    ds->Last();
                else
                    ds->First();
            }
        } else if (!ds->Locate(FFieldName, ::Value(text), loCaseInsensitive | loPartialKey)) {
            UiServices::Beep();
        }
    } catch (const std::exception&) {
        UiServices::Beep();
    }
}

void TfrmSFMSearch::ArrowClick(TtbtnKp* Sender)
{
    if (FArrowAction == TArrowAction::Find)
        btnFindPrev1Click(Sender);
    else
        btnPrev1Click(Sender);
}

void TfrmSFMSearch::btnPrev1Click(TtbtnKp* Sender)
{
    const bool fromTop = std::exchange(FbFromTop, false);
    TDataSet* ds = DataSet();
    TField* f = SearchField();
    if (!f || ds->IsEmpty()) {
        UiServices::Beep();
        return;
    }
    const bool toEnd = Sender == btnSearchToEnd;
    const bool greater = (FSOrder == TSortOrder::soAscending) == toEnd;
    ::Value key = f->Value();
    if (key.IsNull() && TSearchCondition::IsStringField(f))
        key = ::Value(QString());
    const bool ci = (ds->FilterOptions() & foCaseInsensitive) != 0;
    bool found = false;
    try {
        TSearchCondition cond(ds, [f, key, ci, greater] {
            int c = 0;
            return TSearchCondition::CompareField(f, key, ci, c) && (greater ? c > 0 : c < 0);
        });
        if (ds->Filtered())
            found = toEnd ? ds->FindFirst() : ds->FindLast();
        else if (!toEnd)
            found = ds->FindPrior();
        else
            found = fromTop ? ds->FindFirst() : ds->FindNext();
    } catch (const Exception&) {
        found = false;
    }
    if (!found)
        UiServices::Beep();
    SetTextQuietly(FieldText(f), false);
}

void TfrmSFMSearch::btnFindPrev1Click(TtbtnKp* Sender)
{
    const bool forward = Sender == btnSearchToEnd;
    const bool fromTop = std::exchange(FbFromTop, false);
    const bool ci = !chkCase->isChecked();
    const QString text = edtWhat->text();
    bool handled = false;
    if (forward)
        FGrid->DoSearchForward(FFieldName, text, ci, handled);
    else
        FGrid->DoSearchBackward(FFieldName, text, ci, handled);
    if (handled)
        return;
    TDataSet* ds = DataSet();
    TField* f = SearchField();
    // An empty text is found nowhere.
    if (!f || text.isEmpty()) {
        UiServices::Beep();
        return;
    }
    const Qt::CaseSensitivity cs = ci ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const auto meets = [this, f, text, cs] { return FieldText(f).contains(text, cs); };
    bool found = false;
    try {
        // From the start the record reached there counts too.
        if (forward && fromTop && !ds->IsEmpty())
            found = meets();
        if (!found) {
            TSearchCondition cond(ds, meets);
            found = forward ? ds->FindNext() : ds->FindPrior();
        }
    } catch (const Exception&) {
        found = false;
    }
    if (!found)
        UiServices::Beep();
}

void TfrmSFMSearch::btnFromTop1Click()
{
    FbFromTop = true;
    bool handled = false;
    FGrid->JumpToStart(handled);
    if (!handled)
        if (TDataSet* ds = DataSet())
            ds->First();
    ArrowClick(btnSearchToEnd);
}

// ---- keys, activation, hiding ----------------------------------------------------------------

bool TfrmSFMSearch::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        bool consumed = false;
        guarded(this, [&] { consumed = FormKeyPress(key) || (Watched == edtWhat && edtWhatKeyPress(key)); });
        if (consumed)
            return true;
    }
    return QWidget::eventFilter(Watched, Event);
}

void TfrmSFMSearch::keyPressEvent(QKeyEvent* Event)
{
    bool consumed = false;
    guarded(this, [&] { consumed = FormKeyPress(Event); });
    if (!consumed)
        QWidget::keyPressEvent(Event);
}

bool TfrmSFMSearch::FormKeyPress(QKeyEvent* Event)
{
    if (Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (Event->key()) {
    case Qt::Key_Escape:
        if (TDataSet* ds = DataSet(); ds && ds->Active() && ds->BookmarkValid(FStartRecBkMk))
            ds->GotoBookmark(FStartRecBkMk);
        hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!btnSearchToEnd->isHidden())
            ArrowClick(btnSearchToEnd);
        else
            hide();
        return true;
    default:
        return false;
    }
}

// A number column takes only what a number is written with.
bool TfrmSFMSearch::edtWhatKeyPress(QKeyEvent* Event)
{
    const QString text = Event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || FComplexFilter || !FGrid || FGrid->IsUseDisplayTextForFinds())
        return false;
    TField* f = SearchField();
    if (!f || !TSearchCondition::IsNumberField(f))
        return false;
    const QChar c = text.at(0);
    const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
        || c == QLatin1Char('.') || c == FormatSettings::Default().DecimalSeparator;
    return !allowed;
}

void TfrmSFMSearch::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() != QEvent::ActivationChange || !FGrid || FGridDestroying)
        return;
    if (isActiveWindow()) {
        FGrid->Invalidate();
    } else if (isVisible()) {
        // Another window took over: it keeps the activation.
        const QScopedValueRollback<bool> lost(FLostActivation, true);
        hide();
    }
}

void TfrmSFMSearch::hideEvent(QHideEvent* Event)
{
    QWidget::hideEvent(Event);
    if (!Event->spontaneous())
        guarded(this, [this] { FormHide(); });
}

void TfrmSFMSearch::FormHide()
{
    if (FGridDestroying || !FGrid)
        return;
    FStartRecBkMk = TBookmark{};
    // The offset from the grid's lower left corner, for the next time.
    FGrid->SetSearchFormPos(pos() - GridCorner());
    FGrid->Invalidate();
    if (FControl) {
        if (QWidget* host = FControl->window(); host && host != this && !FLostActivation)
            host->activateWindow();
        if (FControl->isVisible() && FControl->isEnabled() && FControl->focusPolicy() != Qt::NoFocus)
            FControl->setFocus();
    }
    GiveBackEnterShortcut();
}
