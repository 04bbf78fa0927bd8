#include "grids/TDBEditGridInplaceEdit.h"

#include "base/KpDaTi.h"
#include "base/TEnumStrings.h"
#include "controls/TEkCalendar.h"
#include "controls/TtbtnKp.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/CustomDBSfmGrid.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/TDateList.h"
#include "grids/TPopupDataList.h"
#include "grids/TPopupListbox.h"
#include "grids/TPopupMemo.h"
#include "grids/TPopupTree.h"
#include "grids/TUpDown.h"
#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/DateTimeField.h"
#include "platform/data/Field.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

bool IsStringField(const TField* f)
{
    const TFieldType t = f->DataType();
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar || t == TFieldType::ftWideString;
}

bool IsMemoField(const TField* f)
{
    return f->DataType() == TFieldType::ftMemo || f->DataType() == TFieldType::ftWideMemo;
}

bool IsDateField(const TField* f)
{
    return f->DataType() == TFieldType::ftDate || f->DataType() == TFieldType::ftDateTime;
}

constexpr qint64 kLookupSearchPause = 2000;
constexpr int kLookupSearchMax = 32;

constexpr TEkColumnDateOptions kInterimKinds = cdoInterimNo | cdoInterimBeforeFirst | cdoInterimAfterLast;

TInterimType InterimTypeOf(TEkColumnDateOptions o)
{
    if (o & cdoInterimBeforeFirst)
        return TInterimType::InterimBeforeFirst;
    if (o & cdoInterimAfterLast)
        return TInterimType::InterimAfterLast;
    return TInterimType::InterimNo;
}

// The program's error box for a failure of a key or a pop-up; nothing was written.
void ShowError(QWidget* AWidget, const std::exception& e)
{
    UiServices::MessageBox(AWidget, QString::fromUtf8(e.what()), QApplication::applicationName(),
                           QMessageBox::Critical, QMessageBox::Ok);
}

} // namespace

TDBEditGridInplaceEdit::TDBEditGridInplaceEdit(TCustomDBEdGrid* AGrid)
    : TInplaceEdit(AGrid), FDBGrid(AGrid), FLookupSource(std::make_unique<TDataSource>())
{
    setMouseTracking(true);
    BoundsChanged();
}

TDBEditGridInplaceEdit::~TDBEditGridInplaceEdit()
{
    // The tree goes before the source it may still be bound to.
    FListVisible = false;
    delete FTreeList;
}

qint64& TDBEditGridInplaceEdit::LastKeyTime()
{
    static qint64 time = 0;
    return time;
}

TEkColumn* TDBEditGridInplaceEdit::Column() const { return FDBGrid->SelectedColumn(); }

TField* TDBEditGridInplaceEdit::Field() const
{
    TEkColumn* c = Column();
    return c ? c->Field() : nullptr;
}

bool TDBEditGridInplaceEdit::ColumnReadOnly() const
{
    TEkColumn* c = Column();
    return !c || c->ReadOnly();
}

bool TDBEditGridInplaceEdit::PrepareField(TField* AField) const
{
    if (!AField || FDBGrid->ReadOnly() || ColumnReadOnly() || AField->ReadOnly() || AField->Calculated())
        return false;
    TDataSet* ds = AField->DataSet();
    if (!ds || !ds->Active())
        return false;
    if (ds->State() != TDataSetState::dsEdit && ds->State() != TDataSetState::dsInsert)
        ds->Edit();
    return ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
}

TField* TDBEditGridInplaceEdit::LookupKeyField() const
{
    TField* f = Field();
    return f ? f->KeyField() : nullptr;
}

bool TDBEditGridInplaceEdit::LookupTest() const
{
    const TField* key = LookupKeyField();
    return key && !key->ReadOnly() && !key->Calculated() && key->DataSet()->Active() && !ColumnReadOnly() &&
           !FDBGrid->ReadOnly() && FDBGrid->LinkActive();
}

void TDBEditGridInplaceEdit::LookupStep(bool Down)
{
    TField* f = Field();
    TField* key = LookupKeyField();
    TDataSet* lookup = f ? f->LookupDataSet() : nullptr;
    if (!key || !lookup || !lookup->Active() || !PrepareField(key))
        return;
    // A key the lookup dataset lacks starts again at its first record.
    if (key->IsNull() || !lookup->Locate(f->LookupKeyFields(), key->Value()))
        lookup->First();
    else if (Down)
        lookup->Next();
    else
        lookup->Prior();
    if (!lookup->IsEmpty())
        key->SetValue(lookup->FieldByName(f->LookupKeyFields())->Value());
}

bool TDBEditGridInplaceEdit::LookupSearch(QChar Char)
{
    TField* f = Field();
    if (!LookupStyle() || !f || !f->Lookup())
        return false;
    TField* key = LookupKeyField();
    TDataSet* lookup = f->LookupDataSet();
    TField* result = lookup ? lookup->FindField(f->LookupResultField()) : nullptr;
    if (!key || !result || result->FieldKind() != TFieldKind::fkData || !IsStringField(result) ||
        f->LookupKeyFields().isEmpty())
        return false;
    if (Char == QChar(u'\b') || Char == QChar(27)) {
        FSearchText.clear();
        return true;
    }
    if (Char < QChar(u' ') || !PrepareField(key))
        return true;
    const qint64 now = UiServices::TickCount();
    if (now - LastKeyTime() > kLookupSearchPause)
        FSearchText.clear();
    LastKeyTime() = now;
    if (FSearchText.size() < kLookupSearchMax && lookup->Active()) {
        const QString wanted = FSearchText + Char;
        if (lookup->Locate(result->FieldName(), ::Value(wanted), loCaseInsensitive | loPartialKey)) {
            key->SetValue(lookup->FieldByName(f->LookupKeyFields())->Value());
            FSearchText = wanted;
        }
    }
    return true;
}

bool TDBEditGridInplaceEdit::ShowsButton() const
{
    return FEditStyle != TEditStyle::esSimple && FEditStyle != TEditStyle::esURL;
}

bool TDBEditGridInplaceEdit::HasPopupStyle() const
{
    switch (FEditStyle) {
    case TEditStyle::esPickList:
    case TEditStyle::esDataList:
    case TEditStyle::esDropList:
    case TEditStyle::esDate:
    case TEditStyle::esMemo:
    case TEditStyle::esTree:
        return true;
    default:
        return false;
    }
}

QRect TDBEditGridInplaceEdit::ButtonRect() const
{
    if (!ShowsButton())
        return {};
    return QRect(width() - FButtonWidth, 0, FButtonWidth, height());
}

// ---- style -------------------------------------------------------------------------------

void TDBEditGridInplaceEdit::UpdateContents()
{
    TEditStyle style = TEditStyle::esSimple;
    TEkColumn* c = Column();
    TField* f = c ? c->Field() : nullptr;
    const bool ro = ColumnReadOnly();
    if (c) {
        switch (c->ButtonStyle()) {
        case TEkColumnButtonStyle::cbsAuto:
            if (!f)
                style = TEditStyle::esSimple;
            else if (f->Lookup())
                style = LookupTest() ? TEditStyle::esDataList : TEditStyle::esSimple;
            else if (c->IsURL())
                style = TEditStyle::esURL;
            else if (ro)
                style = f->DataType() == TFieldType::ftMemo && FDBGrid->LinkActive() ? TEditStyle::esMemo
                                                                                      : TEditStyle::esSimple;
            else if (c->PickList()->Count() > 0)
                style = TEditStyle::esPickList;
            else if (IsDateField(f))
                style = TEditStyle::esDate;
            break;
        case TEkColumnButtonStyle::cbsEllipsis:
        case TEkColumnButtonStyle::cbsLinkable:
            style = ro ? TEditStyle::esSimple : TEditStyle::esEllipsis;
            break;
        case TEkColumnButtonStyle::cbsNone: style = TEditStyle::esSimple; break;
        case TEkColumnButtonStyle::cbsDropDown:
            style = ro ? TEditStyle::esSimple : TEditStyle::esDropList;
            break;
        case TEkColumnButtonStyle::cbsCheck: style = TEditStyle::esCheck; break;
        case TEkColumnButtonStyle::cbsOwnerDraw: style = TEditStyle::esOwnerDraw; break;
        case TEkColumnButtonStyle::cbsMemo: style = TEditStyle::esMemo; break;
        case TEkColumnButtonStyle::cbsTree: style = LookupTest() ? TEditStyle::esTree : TEditStyle::esSimple; break;
        case TEkColumnButtonStyle::cbsDate: style = ro ? TEditStyle::esSimple : TEditStyle::esDate; break;
        case TEkColumnButtonStyle::cbsURL: style = TEditStyle::esURL; break;
        }
    }
    SetEditStyle(style);
    TInplaceEdit::UpdateContents();
}

void TDBEditGridInplaceEdit::SetEditStyle(TEditStyle Style)
{
    if (Style != FEditStyle) {
        FEditStyle = Style;
        switch (Style) {
        case TEditStyle::esPickList:
        case TEditStyle::esDropList:
            if (!FPickList)
                FPickList = new TPopupListbox(this);
            FActiveList = FPickList;
            break;
        case TEditStyle::esDataList:
            if (!FDataList)
                FDataList = new TPopupDataList(this);
            FActiveList = FDataList;
            break;
        case TEditStyle::esTree:
            if (!FTreeList)
                FTreeList = new TPopupTree(this);
            FActiveList = FTreeList;
            break;
        case TEditStyle::esDate:
            if (!FDateList)
                FDateList = new TDateList(this);
            FActiveList = FDateList;
            break;
        case TEditStyle::esMemo:
            if (!FMemoList)
                FMemoList = new TPopupMemo(this);
            FActiveList = FMemoList;
            break;
        default:
            FActiveList = nullptr;
        }
        BoundsChanged();
    }
    TEkColumn* c = Column();
    // A read-only grid shows its values in the editor for viewing and copying only.
    setReadOnly(ColumnReadOnly() || FDBGrid->ReadOnly() || (c && !c->DirectInput()));
    if (FEditStyle == TEditStyle::esDate && c) {
        const TEkColumnDateOptions o = c->DateOptions();
        FDateList->SetMonthOnly((o & cdoMonthOnly) || (c->Field() && KpDaTi::IsFieldMonthOnly(c->Field())));
        FDateList->SetInterimType(InterimTypeOf(o));
        FDateList->SetInterimOnly(o & cdoInterimOnly);
    }
    if (FPickList)
        FPickList->ResetSearchTime();
    if (FDataList)
        FDataList->ResetSearchTime();
    update();
    if (FEditStyle == TEditStyle::esMemo && c && c->Field()) {
        const TField* f = c->Field();
        FMemoList->SetMaxLength(IsStringField(f) || f->DataType() == TFieldType::ftMemo ? c->MaxLength() : 0);
    }
}

// ---- geometry and painting ---------------------------------------------------------------

void TDBEditGridInplaceEdit::Move(const QRect& rect)
{
    TInplaceEdit::Move(rect);
    BoundsChanged();
}

void TDBEditGridInplaceEdit::BoundsChanged()
{
    FButtonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setTextMargins(2, 0, ShowsButton() ? FButtonWidth : 0, 0);
}

void TDBEditGridInplaceEdit::resizeEvent(QResizeEvent* event)
{
    TInplaceEdit::resizeEvent(event);
    BoundsChanged();
}

void TDBEditGridInplaceEdit::changeEvent(QEvent* event)
{
    TInplaceEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        BoundsChanged();
}

void TDBEditGridInplaceEdit::paintEvent(QPaintEvent* event)
{
    TInplaceEdit::paintEvent(event);
    if (!ShowsButton())
        return;
    QPainter p(this);
    const QRect r = ButtonRect();
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.state &= ~QStyle::State_HasFocus;
    const bool combo = FEditStyle == TEditStyle::esPickList || FEditStyle == TEditStyle::esDataList ||
                       FEditStyle == TEditStyle::esDropList || FEditStyle == TEditStyle::esTree;
    if (FPressed)
        opt.state |= QStyle::State_Sunken;
    else
        opt.state |= QStyle::State_Raised;
    if (FButtonHot)
        opt.state |= QStyle::State_MouseOver;
    if (combo && !FActiveList)
        opt.state &= ~QStyle::State_Enabled;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
    if (combo) {
        QStyleOption arrow = opt;
        const int side = std::max(5, std::min(r.width(), r.height()) / 2);
        arrow.rect = QRect(r.center().x() - side / 2 + (FPressed ? 1 : 0),
                           r.center().y() - side / 2 + (FPressed ? 1 : 0), side, side);
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
        return;
    }
    // Three square dots of an ellipsis button.
    const int h = height() <= 7 ? 1 : height() / 8;
    const int c = r.width() / 2 - 1 + (FPressed ? 1 : 0);
    const int top = r.top() + std::min(c, r.height() / 2 - h / 2 + (FPressed ? 1 : 0));
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? palette().color(QPalette::ButtonText) : palette().color(QPalette::Disabled, QPalette::ButtonText));
    for (int dx : {-2 * h, 0, 2 * h})
        p.drawRect(r.left() + c + dx - h / 2, top, h, h);
}

// ---- links -------------------------------------------------------------------------------

void TDBEditGridInplaceEdit::HoverLink(bool On, const QPoint& Pos)
{
    if (On) {
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette pal = palette();
        pal.setColor(QPalette::Text, TCustomDBSfmGrid::GridLinkColor);
        setPalette(pal);
        const int w = fontMetrics().horizontalAdvance(text()) + 4;
        setCursor(Pos.x() >= 0 && Pos.x() < w ? Qt::PointingHandCursor : Qt::IBeamCursor);
    } else {
        setFont(FDBGrid->GridFont());
        setPalette(QPalette());
        unsetCursor();
    }
    FLinkLook = On;
}

void TDBEditGridInplaceEdit::OpenLink()
{
    FDBGrid->OpenLinkTarget(text());
}

void TDBEditGridInplaceEdit::EditButtonClick() { FDBGrid->EditButtonClick(); }

// ---- keys --------------------------------------------------------------------------------

void TDBEditGridInplaceEdit::DoDropDownKeys(int& Key, Qt::KeyboardModifiers Shift)
{
    const bool alt = Shift & Qt::AltModifier;
    const bool ctrl = Shift & Qt::ControlModifier;
    auto toggle = [this] {
        if (FListVisible)
            CloseUp(true);
        else
            DropDown();
    };
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (FListVisible && !alt) {
            const bool accept = Key != Qt::Key_Escape;
            Key = 0;
            CloseUp(accept);
        } else if (Key != Qt::Key_Escape && FEditStyle == TEditStyle::esMemo && ctrl) {
            Key = 0;
            toggle();
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt) {
            Key = 0;
            toggle();
        }
        break;
    case Qt::Key_F4:
        if (!alt && !ctrl) {
            Key = 0;
            toggle();
        }
        break;
    default:
        break;
    }
}

void TDBEditGridInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (HasPopupStyle()) {
        DoDropDownKeys(key, mods);
        if (key == 0)
            return;
        if (FListVisible && FActiveList) {
            QCoreApplication::sendEvent(FActiveList, event);
            return;
        }
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((FEditStyle == TEditStyle::esEllipsis || FEditStyle == TEditStyle::esURL) &&
        ((enter && mods == Qt::ControlModifier) ||
         (key == Qt::Key_F4 && !(mods & (Qt::AltModifier | Qt::ControlModifier))))) {
        if (FEditStyle == TEditStyle::esURL)
            OpenLink();
        else if (!FDBGrid->ReadOnly() && !ColumnReadOnly())
            EditButtonClick();
        return;
    }
    // Ctrl together with Alt is AltGr on many keyboards (the Latvian letters are typed so):
    // such a key is a character for the text, only Ctrl without Alt is the grid's.
    const bool gridCtrl = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_F2 || key == Qt::Key_F3 ||
        key == Qt::Key_F8 || (key == Qt::Key_Space && mods == Qt::ShiftModifier) || gridCtrl) {
        QCoreApplication::sendEvent(FDBGrid, event);
        // The edit's own clipboard and undo keys still act on its text.
        if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste) ||
            event->matches(QKeySequence::Cut) || event->matches(QKeySequence::SelectAll) ||
            event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
            QLineEdit::keyPressEvent(event);
        if (FEditStyle == TEditStyle::esURL && mods == Qt::ControlModifier)
            HoverLink(true, mapFromGlobal(QCursor::pos()));
        return;
    }
    if (key == Qt::Key_Delete && LookupStyle()) {
        try {
            TField* keyField = LookupKeyField();
            if (PrepareField(keyField))
                keyField->Clear();
        } catch (const std::exception& e) {
            ShowError(this, e);
        }
        return;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && !FListVisible && LookupStyle() &&
        !(FDBGrid->Options() & dgAlwaysShowEditor)) {
        try {
            LookupStep(key == Qt::Key_Down);
        } catch (const std::exception& e) {
            ShowError(this, e);
        }
        return;
    }
    const QString typed = event->text();
    if (LookupStyle() &&
        (key == Qt::Key_Backspace || key == Qt::Key_Escape || (typed.size() == 1 && typed[0] >= QChar(u' ')))) {
        bool searched = false;
        try {
            searched = LookupSearch(key == Qt::Key_Backspace ? QChar(u'\b')
                                    : key == Qt::Key_Escape  ? QChar(27)
                                                             : typed[0]);
        } catch (const std::exception& e) {
            ShowError(this, e);
            searched = true;
        }
        // The text of a lookup cell is the lookup's result: typing searches instead of editing it.
        if (searched && key != Qt::Key_Escape)
            return;
    }
    if (key == Qt::Key_Delete && HasPopupStyle() && FEditStyle != TEditStyle::esMemo) {
        TField* f = Field();
        if (f && !ColumnReadOnly() && !f->ReadOnly()) {
            // Date, time and date-time fields alike: Delete takes one character of the text.
            if (dynamic_cast<TDateTimeField*>(f))
                TInplaceEdit::keyPressEvent(event);
            else if (PrepareField(f))
                f->Clear();
        }
        return;
    }
    TInplaceEdit::keyPressEvent(event);
}

void TDBEditGridInplaceEdit::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        QCoreApplication::sendEvent(FDBGrid, event);
        return;
    }
    if (FEditStyle == TEditStyle::esURL && FLinkLook &&
        (event->key() == Qt::Key_Control || !(event->modifiers() & Qt::ControlModifier)))
        HoverLink(false);
    TInplaceEdit::keyReleaseEvent(event);
}

// ---- mouse -------------------------------------------------------------------------------

void TDBEditGridInplaceEdit::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && ShowsButton() && FEditStyle != TEditStyle::esCheck &&
        FEditStyle != TEditStyle::esOwnerDraw && ButtonRect().contains(pos)) {
        if (FListVisible) {
            CloseUp(false);
        } else {
            FTracking = true;
            FPressed = true;
            update();
            if (FActiveList && FEditStyle != TEditStyle::esMemo) {
                DropDown();
                // A modal form has had its own mouse: the press is over.
                if (FEditStyle == TEditStyle::esDate) {
                    FTracking = false;
                    FPressed = false;
                    update();
                }
            }
        }
        return;
    }
    TInplaceEdit::mousePressEvent(event);
}

void TDBEditGridInplaceEdit::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (FEditStyle == TEditStyle::esURL) {
        if ((mods == Qt::ControlModifier) != FLinkLook || FLinkLook)
            HoverLink(mods == Qt::ControlModifier, pos);
    } else if (ShowsButton() && FEditStyle != TEditStyle::esCheck && FEditStyle != TEditStyle::esOwnerDraw) {
        const bool over = ButtonRect().contains(pos);
        if (over != FButtonHot) {
            FButtonHot = over;
            update(ButtonRect());
        }
        if (FTracking && over != FPressed) {
            FPressed = over;
            update(ButtonRect());
        }
        if (over)
            setCursor(Qt::ArrowCursor);
        else
            unsetCursor();
    }
    TInplaceEdit::mouseMoveEvent(event);
}

void TDBEditGridInplaceEdit::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = FPressed;
    FTracking = false;
    if (FPressed) {
        FPressed = false;
        update(ButtonRect());
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (event->button() == Qt::LeftButton) {
        if (FEditStyle == TEditStyle::esURL) {
            if (mods == Qt::ControlModifier) {
                OpenLink();
                FDBGrid->SetClearCtrl(true);
            }
            HoverLink(false);
        } else if (wasPressed && !FDBGrid->ReadOnly() && !ColumnReadOnly() &&
                   ButtonRect().contains(event->position().toPoint())) {
            if (FEditStyle == TEditStyle::esMemo) {
                DropDown();
                return;
            }
            if (FEditStyle == TEditStyle::esEllipsis) {
                EditButtonClick();
                return;
            }
        }
    }
    TInplaceEdit::mouseReleaseEvent(event);
}

void TDBEditGridInplaceEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (ShowsButton() && ButtonRect().contains(event->position().toPoint()))
        return;
    if (!isReadOnly() && FActiveList && FActiveList == FPickList) {
        FillPickList();
        const int n = FPickList->count();
        if (n > 0) {
            int row = FPickList->currentRow();
            const bool selected = row >= 0 && FPickList->item(row)->isSelected();
            if (!selected) {
                row = -1;
                for (int i = 0; i < n; ++i)
                    if (FPickList->item(i)->text() == text()) {
                        row = i;
                        break;
                    }
            }
            row = row < 0 || row >= n - 1 ? 0 : row + 1;
            FPickList->setCurrentRow(row);
            FListVisible = true;
            CloseUp(true);
        }
    }
    TInplaceEdit::mouseDoubleClickEvent(event);
}

void TDBEditGridInplaceEdit::leaveEvent(QEvent* event)
{
    if (FButtonHot) {
        FButtonHot = false;
        update(ButtonRect());
    }
    TInplaceEdit::leaveEvent(event);
}

void TDBEditGridInplaceEdit::focusOutEvent(QFocusEvent* event)
{
    TInplaceEdit::focusOutEvent(event);
    // Opening the list's own pop-up window moves the focus to it for a while.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    if (FListVisible)
        CloseUp(false);
    if (FLinkLook)
        HoverLink(false);
}

// ---- drop-down and close-up --------------------------------------------------------------

void TDBEditGridInplaceEdit::FillPickList()
{
    TEkColumn* c = Column();
    TEnumStrings* items = FPickList->MyItems();
    if (c->ButtonStyle() == TEkColumnButtonStyle::cbsDropDown) {
        items->Clear();
        FDBGrid->DropDownCombo(c, items);
    } else {
        items->Assign(*c->PickList());
    }
    FPickList->setFont(font());
    FPickList->setPalette(palette());
    FPickList->LoadItems(c->DropDownSorted());
    const int n = FPickList->count();
    FitList(FPickList, c->DropDownRows());
    FPickList->clearSelection();
    FPickList->setCurrentRow(-1);
    TField* f = Field();
    if (f && !f->IsNull()) {
        const QString shown = f->DisplayText();
        for (int i = 0; i < n; ++i)
            if (FPickList->item(i)->text() == shown) {
                FPickList->setCurrentRow(i);
                break;
            }
    }
}

void TDBEditGridInplaceEdit::FitList(TPopupListbox* List, unsigned Rows)
{
    const int n = List->count();
    const int rows = n < static_cast<int>(Rows) ? n : static_cast<int>(Rows);
    const int itemHeight = List->ItemHeight();
    List->setFixedHeight((rows > 0 ? rows * itemHeight : itemHeight) + 4);
    int w = width();
    const QFontMetrics fm(List->font());
    for (int i = 0; i < n; ++i)
        w = std::max(w, fm.horizontalAdvance(List->item(i)->text()) + 8 +
                            (n > rows ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0));
    List->setFixedWidth(w);
}

void TDBEditGridInplaceEdit::DropDownLookup()
{
    TEkColumn* c = Column();
    TField* f = Field();
    TField* key = LookupKeyField();
    TDataSet* lookup = f ? f->LookupDataSet() : nullptr;
    if (!key || !lookup || !lookup->Active())
        return;
    FLookupSource->SetDataSet(lookup);
    if (FActiveList == FDataList) {
        FDataList->setFont(font());
        FDataList->setPalette(palette());
        FDataList->Load(lookup, f->LookupKeyFields(), f->LookupResultField(), key->Value());
        FitList(FDataList, c->DropDownRows());
    } else {
        FTreeList->setFont(font());
        FTreeList->setPalette(palette());
        FTreeList->SetKeyField(f->LookupKeyFields());
        FTreeList->SetCaptionFields(c->TreeCaptionFields().isEmpty() ? f->LookupResultField() : c->TreeCaptionFields());
        FTreeList->SetLevelFields(c->TreeLevelFields());
        FTreeList->SetParentField(c->TreeParentField());
        FTreeList->SetMinParentVal(c->TreeMinParentVal());
        FTreeList->SetDBTreeType(c->TreeDBTreeType());
        FTreeList->SetCaptionSeparator(c->TreeCaptionSeparator());
        FTreeList->SetDataSource(FLookupSource.get());
        if (!key->IsNull())
            lookup->Locate(f->LookupKeyFields(), key->Value());
        FTreeList->resize(c->TreeWidth() != -1 ? c->TreeWidth() : width(),
                          c->TreeHeight() != -1 ? c->TreeHeight()
                                                : int(c->DropDownRows()) * (fontMetrics().height() + 4) + 4);
    }
    ShowList();
}

void TDBEditGridInplaceEdit::ShowList()
{
    QPoint at = mapToGlobal(QPoint(0, height()));
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = this->screen();
    const int screenBottom = screen ? screen->geometry().bottom() + 1 : at.y() + FActiveList->height();
    if (at.y() + FActiveList->height() > screenBottom)
        at = mapToGlobal(QPoint(0, -FActiveList->height()));
    FActiveList->move(at);
    FListVisible = true;
    FActiveList->show();
    update();
}

void TDBEditGridInplaceEdit::DropDown()
{
    if (FListVisible || !FActiveList)
        return;
    TEkColumn* c = Column();
    TField* f = Field();
    if (!c)
        return;
    if (ColumnReadOnly() && !(c->ButtonStyle() == TEkColumnButtonStyle::cbsMemo ||
                              (c->ButtonStyle() == TEkColumnButtonStyle::cbsAuto && f && IsMemoField(f))))
        return;
    try {
        if (FActiveList == FPickList) {
            FillPickList();
            ShowList();
        } else if (FActiveList == FDataList || FActiveList == FTreeList) {
            DropDownLookup();
        } else if (FActiveList == FDateList) {
            DropDownCalendar();
        } else if (FActiveList == FMemoList) {
            DropDownMemo();
        }
    } catch (const std::exception& e) {
        FListVisible = false;
        if (FActiveList && FActiveList != FDateList && FActiveList != FMemoList)
            FActiveList->hide();
        ShowError(this, e);
    }
}

void TDBEditGridInplaceEdit::DropDownCalendar()
{
    TEkColumn* c = Column();
    TField* f = Field();
    DateTime date = Clock::Date();
    QString interim;
    if (f && !f->IsNull()) {
        const bool stringField = IsStringField(f);
        if (stringField && (c->DateOptions() & kInterimKinds)) {
            const QString s = f->AsString();
            if (!s.isEmpty()) {
                interim = KpDaTi::GetInterimValueDef(s, FDateList->InterimType(), FDateList->MonthOnly());
                const DateTime d = KpDaTi::GetDateValueInDateTimeWithInterim(s, FDateList->InterimType());
                if (d.Days() != 0)
                    date = d;
            }
        } else if (!(stringField && f->AsString().isEmpty())) {
            // A text that is no date opens at today rather than failing.
            try {
                const DateTime d = f->AsDateTime();
                if (d.Days() != 0 && d.Days() != KpDaTi::MinDate.Days() && d.Days() != KpDaTi::MaxDate.Days())
                    date = d;
            } catch (const Exception&) {
            }
        }
    }
    // The date first: moving the calendar resets the interim value of a day that ends no month.
    FDateList->Calendar()->SetCalendarDate(date);
    if (!interim.isEmpty())
        FDateList->SetInterimValue(interim);
    FDateList->spnYear()->SetRange(1900, 2100);
    PositionPopupForm(FDateList, this);
    const int result = FDateList->exec();
    if (result == QDialog::Accepted) {
        FListVisible = true;
        CloseUp(true);
    }
    FListVisible = false;
    setFocus();
}

void TDBEditGridInplaceEdit::DropDownMemo()
{
    TEkColumn* c = Column();
    TField* f = Field();
    QPlainTextEdit* memo = FMemoList->Memo();
    memo->setFont(font());
    QPalette pal = palette();
    // A read-only grid's memo is a viewer as well, whatever its column says.
    const bool ro = ColumnReadOnly() || FDBGrid->ReadOnly();
    if (ro)
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    memo->setPalette(pal);
    memo->setPlainText(f && IsMemoField(f) ? f->AsString() : text());
    memo->setReadOnly(ro);
    FMemoList->btnOk()->setVisible(!ro);
    const int oldWidth = FMemoList->width();
    if (FMemoList->width() < c->Width())
        FMemoList->resize(c->Width(), FMemoList->height());
    PositionPopupForm(FMemoList, this);
    const int result = FMemoList->exec();
    if (result == QDialog::Accepted && !ro) {
        FListVisible = true;
        CloseUp(true);
    }
    FListVisible = false;
    if (!FMemoList->UserResized())
        FMemoList->resize(oldWidth, FMemoList->height());
}

void TDBEditGridInplaceEdit::ListMouseUp(bool Inside)
{
    if (FListVisible && FActiveList)
        CloseUp(Inside);
}

void TDBEditGridInplaceEdit::CloseUp(bool Accept)
{
    if (!FListVisible)
        return;
    TEkColumn* c = Column();
    TField* f = Field();
    bool have = false;
    QString valueText;
    bool coded = false;
    qintptr code = 0;
    bool periodDate = false;
    bool dateValue = false;
    ::Value lookupValue;
    bool lookupPath = false;
    FMemoPath = false;
    if (QWidget* grabber = QWidget::mouseGrabber(); grabber && grabber != FActiveList)
        grabber->releaseMouse();
    if (FActiveList == FPickList) {
        const int row = FPickList->currentRow();
        if (row >= 0 && FPickList->item(row)->isSelected()) {
            const QString itemText = FPickList->item(row)->text();
            code = FPickList->ItemCode(row);
            for (int i = 0; i < FPickList->count(); ++i)
                if (FPickList->ItemCode(i) < -2 || FPickList->ItemCode(i) > 0)
                    coded = true;
            valueText = coded ? QString::number(code) : itemText;
            have = true;
            if (FDBGrid->OnDropDownAccept && c)
                FDBGrid->OnDropDownAccept(FDBGrid, c, itemText, code, Accept);
        }
    } else if (FActiveList == FDateList && c) {
        // A date field takes the chosen day, period options or not: only a text field holds a
        // period date.
        dateValue = f && IsDateField(f);
        periodDate = !dateValue && f && IsStringField(f) && (c->DateOptions() & kInterimKinds);
        if (!dateValue && !periodDate) {
            valueText = DateToStr(FDateList->Calendar()->CalendarDate());
            have = true;
        }
    } else if (FActiveList == FDataList) {
        lookupValue = FDataList->KeyValue();
        lookupPath = true;
    } else if (FActiveList == FTreeList) {
        // The tree keeps the lookup dataset on the chosen record; an empty one offers nothing.
        TDataSet* lookup = FLookupSource->DataSet();
        lookupPath = lookup && lookup->Active() && !lookup->IsEmpty();
        if (lookupPath)
            lookupValue = lookup->FieldByName(FTreeList->KeyField())->Value();
    } else if (FActiveList == FMemoList) {
        valueText = FMemoList->Memo()->toPlainText();
        have = true;
        FMemoPath = f && IsMemoField(f);
    }
    FListVisible = false;
    // The release of a press that opened the list may have gone to the list.
    FTracking = false;
    FPressed = false;
    if (FActiveList == FPickList || FActiveList == FDataList || FActiveList == FTreeList)
        FActiveList->hide();
    if (FTreeList)
        FTreeList->SetDataSource(nullptr);
    FLookupSource->SetDataSet(nullptr);
    update();
    if (!Accept || !f)
        return;
    try {
        if (lookupPath) {
            TField* key = LookupKeyField();
            if (PrepareField(key))
                key->SetValue(lookupValue);
        } else if (dateValue) {
            // A date field takes the day itself: its text would depend on the date format.
            if (PrepareField(f))
                f->SetAsDateTime(FDateList->Calendar()->CalendarDate());
        } else {
            WriteValue(f, have, valueText, coded, code, periodDate);
        }
    } catch (const std::exception& e) {
        // The value stays in the pop-up's hands only; the field keeps what it had.
        ShowError(this, e);
    }
}

void TDBEditGridInplaceEdit::WriteValue(TField* f, bool have, const QString& valueText, bool coded, qintptr code,
                                        bool periodDate)
{
    if (periodDate) {
        if (PrepareField(f))
            f->SetAsString(KpDaTi::GetDateValueInStringWithInterim(
                FDateList->Calendar()->CalendarDate(), FDateList->InterimType(), FDateList->InterimValue(),
                FDateList->MonthOnly(), false));
    } else if (coded && have) {
        if (PrepareField(f))
            f->SetAsInteger(static_cast<qint32>(code));
    } else if (FMemoPath) {
        if (PrepareField(f))
            f->SetAsString(valueText);
    } else if (PrepareField(f)) {
        f->SetText(have ? valueText : QString());
        if (FActiveList == FMemoList && text() != valueText)
            setText(valueText);
    }
}
