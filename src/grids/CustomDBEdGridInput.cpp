// The data grid's input: keys, mouse, wheel and scroll bars, the multi-row selection, writing
// the editor's text into the field, deleting records, leaving the grid and link cells.

#include "grids/CustomDBEdGrid.h"

#include "base/KpDaTi.h"
#include "base/TEnumStrings.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/TDBEditGridInplaceEdit.h"
#include "grids/TEdBookmarkList.h"
#include "platform/data/DataSet.h"
#include "platform/data/DateTimeField.h"
#include "platform/data/Field.h"
#include "platform/rtl/EAbort.h"
#include "platform/rtl/EConvertError.h"
#include "platform/ui/InplaceEdit.h"
#include "platform/ui/UiServices.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>

namespace {

bool isStringType(TFieldType t)
{
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar || t == TFieldType::ftWideString;
}

bool isBlobType(TFieldType t)
{
    return t == TFieldType::ftBlob || t == TFieldType::ftMemo || t == TFieldType::ftWideMemo ||
           t == TFieldType::ftBytes;
}

// Our in-memory datasets take changes whenever they are open.
bool dataSetCanModify(const TDataSet* ds) { return ds && ds->Active(); }

bool fieldCanModify(const TField* f)
{
    if (f && f->Lookup())
        return !f->ReadOnly() && fieldCanModify(f->KeyField());
    return f && !f->ReadOnly() && !f->Calculated() && dataSetCanModify(f->DataSet());
}

// Whether a character can be part of the field's text.
bool fieldAcceptsChar(const TField* f, QChar c)
{
    switch (f->DataType()) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftLargeint:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-');
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return c.isDigit() || QStringLiteral("+-.,eE").contains(c);
    default:
        return true;
    }
}

// The text before the first ";" of a check column's value list.
QString firstPiece(const QString& s)
{
    const int i = s.indexOf(QLatin1Char(';'));
    return i < 0 ? s : s.left(i);
}

const QString kDeleteOne = QStringLiteral("Vai dzēst?");
const QString kDeleteSelected = QStringLiteral("Vai dzēst iezīmētos ierakstus?");
const QString kWrongDate = QStringLiteral("Nepareizs datums!");
constexpr int kLinkMenuCaptionLength = 128;
constexpr int kSelectScrollInterval = 60;

} // namespace

// ---- selection -------------------------------------------------------------------------------

bool TCustomDBEdGrid::HasSelectedRows() const { return FBookmarks && FBookmarks->Count() > 0; }

bool TCustomDBEdGrid::IsCurrentRowSelected()
{
    if (!(FOptions & dgMultiSelect) || !FDataLink->Active() || !FBookmarks)
        return false;
    return FBookmarks->CurrentRowSelected();
}

void TCustomDBEdGrid::SelectedRowsLinkActive(bool Value)
{
    if (FBookmarks)
        FBookmarks->LinkActive(Value);
}

void TCustomDBEdGrid::SetSelectedRowsList(bool Keep)
{
    if (!Keep) {
        FBookmarks.reset();
    } else if (!FBookmarks) {
        FBookmarks = std::make_unique<TEdBookmarkList>(this);
        FBookmarks->LinkActive(LinkActive());
    }
}

void TCustomDBEdGrid::ClearSelection()
{
    if ((FOptions & dgMultiSelect) && FBookmarks)
        FBookmarks->Clear();
    FSelecting = false;
}

void TCustomDBEdGrid::DoSelection(bool Select, int Direction)
{
    BeginUpdate();
    const auto unlock = qScopeGuard([this] { EndUpdate(); });
    if ((FOptions & dgMultiSelect) && FBookmarks && FDataLink->Active() && Select &&
        (FKeyShift & Qt::ShiftModifier)) {
        if (FSelecting) {
            if (Direction == FSelectionDir)
                FBookmarks->SetCurrentRowSelected(!FBookmarks->CurrentRowSelected());
        } else {
            FSelectionAnchor = LinkDataSet()->GetBookmark();
            FBookmarks->SetCurrentRowSelected(!FBookmarks->CurrentRowSelected());
            FSelecting = true;
        }
    }
    MoveByRecords(Direction);
    FSelectionDir = Direction;
}

// ---- moving ----------------------------------------------------------------------------------

bool TCustomDBEdGrid::InsertingUntouched() const
{
    TDataSet* ds = LinkDataSet();
    return ds && ds->State() == TDataSetState::dsInsert && !ds->Modified() && !FDataLink->Modified();
}

bool TCustomDBEdGrid::AtDataSetEnd() const
{
    TDataSet* ds = LinkDataSet();
    if (!ds)
        return true;
    if (ds->Eof())
        return true;
    // A record being appended is the last one, whatever the cursor flags say.
    return ds->State() == TDataSetState::dsInsert && FDataLink->ActiveRecord() == FDataLink->RecordCount() - 1 &&
           FDataLink->FirstRecord() + FDataLink->RecordCount() > ds->RecordCount();
}

void TCustomDBEdGrid::NextRow(bool Select)
{
    TDataSet* ds = LinkDataSet();
    if (!ds)
        return;
    if (InsertingUntouched()) {
        if (AtDataSetEnd())
            return;
        ds->Cancel();
    } else {
        DoSelection(Select, 1);
    }
    if (ds->Eof() && !FReadOnly && dataSetCanModify(ds) && !(FOptions & dgRowSelect) && !FNoAppend) {
        ds->Append();
        SelectFirstTabColumn();
        if (AfterScroll)
            AfterScroll(this);
    }
}

void TCustomDBEdGrid::PriorRow(bool Select)
{
    TDataSet* ds = LinkDataSet();
    if (!ds)
        return;
    if (InsertingUntouched() && AtDataSetEnd()) {
        ds->Cancel();
        if (AfterScroll)
            AfterScroll(this);
    } else {
        DoSelection(Select, -1);
    }
}

void TCustomDBEdGrid::Tab(bool GoForward, bool ToEnd)
{
    const int first = FIndicatorOffset, last = ColCount() - 1;
    if (last < first)
        return;
    BeginUpdate();
    const auto unlock = qScopeGuard([this] { EndUpdate(); });
    FDataLink->UpdateRecord();
    const int start = Col();
    int col = start;
    int target = start;
    for (;;) {
        col += GoForward ? 1 : -1;
        if (col > last) {
            if (ToEnd)
                break;
            NextRow(false);
            col = first;
        } else if (col < first) {
            if (ToEnd)
                break;
            PriorRow(false);
            col = last;
        }
        TEkColumn* c = FColumns->Items(col - first);
        if (col != start && c->ReadOnly())
            continue;
        target = col;
        if (!ToEnd || col == start)
            break;
    }
    if (target != start && !FColumns->Items(target - first)->ReadOnly())
        MoveCol(target);
}

void TCustomDBEdGrid::MoveCol(int RawCol)
{
    FDataLink->UpdateRecord();
    if (ColCount() <= FIndicatorOffset)
        return;
    RawCol = std::clamp(RawCol, static_cast<int>(FIndicatorOffset), ColCount() - 1);
    if (RawCol == Col())
        return;
    if (!FInColExit) {
        FInColExit = true;
        const auto done = qScopeGuard([this] { FInColExit = false; });
        const int before = Col();
        ColExit();
        if (Col() != before)
            return;
    }
    if (!(FOptions & dgAlwaysShowEditor))
        HideEditor();
    MoveCurrent(RawCol, Row(), true);
    TDBEditGridInplaceEdit::LastKeyTime() = 0; // a new column starts a new incremental search
    ColEnter();
}

void TCustomDBEdGrid::SelectFirstTabColumn()
{
    if (ColCount() <= FIndicatorOffset)
        return;
    BeginUpdate();
    const auto unlock = qScopeGuard([this] { EndUpdate(); });
    int target = FIndicatorOffset;
    for (int c = FIndicatorOffset; c < ColCount(); ++c)
        if (TabStops(c)) {
            target = c;
            break;
        }
    MoveCol(target);
}

// ---- events ----------------------------------------------------------------------------------

void TCustomDBEdGrid::CellClick(TEkColumn* Column)
{
    if (OnCellClick)
        OnCellClick(Column);
}

void TCustomDBEdGrid::TitleClick(TEkColumn* Column)
{
    if (OnTitleClick)
        OnTitleClick(Column);
}

void TCustomDBEdGrid::ColEnter()
{
    if (OnColEnter)
        OnColEnter(this);
}

void TCustomDBEdGrid::ColExit()
{
    if (OnColExit)
        OnColExit(this);
}

void TCustomDBEdGrid::ShowInputError(const std::exception& Error)
{
    if (dynamic_cast<const EAbort*>(&Error))
        return;
    const auto* own = dynamic_cast<const Exception*>(&Error);
    UiServices::MessageBox(this, own ? own->Message() : QString::fromUtf8(Error.what()),
                           QApplication::applicationName(), QMessageBox::Critical, QMessageBox::Ok);
}

bool TCustomDBEdGrid::IsFormActiveControl() const
{
    const QWidget* focus = window()->focusWidget();
    return focus && (focus == this || (InplaceEditor() && focus == InplaceEditor()));
}

bool TCustomDBEdGrid::AcquireFocus()
{
    if (!FAcquireFocus || !isEnabled() || !isVisible() || focusPolicy() == Qt::NoFocus)
        return true;
    if (!IsFormActiveControl())
        setFocus(Qt::MouseFocusReason);
    return IsFormActiveControl();
}

// ---- keyboard --------------------------------------------------------------------------------

void TCustomDBEdGrid::keyPressEvent(QKeyEvent* event)
{
    if (DataSetControlsDisabled())
        return;
    int key = event->key();
    Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        mods |= Qt::ShiftModifier;
    }
    // A key the editor hands on was not for its text: it must not go back there.
    const bool fromEditor = InplaceEditor() && window()->focusWidget() == InplaceEditor();
    try {
        KeyDown(key, mods);
        if (key == 0) {
            event->accept();
            return;
        }
        const QString text = event->text();
        if (text.isEmpty() || key == Qt::Key_Escape || key == Qt::Key_Tab) {
            event->ignore();
            return;
        }
        QChar ch = (key == Qt::Key_Return || key == Qt::Key_Enter) ? QChar(u'\r') : text.at(0);
        KeyPress(ch);
        if (ch.isNull() || InplaceEditor() == nullptr || !EditorMode())
            return;
        // A typed character starts the editor; the editor takes the character itself, unless
        // the key came from the editor, which hands the grid what it does not take.
        static bool forwarding = false;
        if ((ch.unicode() >= 32 || ch == u'\b') && !forwarding && !fromEditor) {
            const QScopedValueRollback guard(forwarding, true);
            InplaceEditor()->setFocus();
            InplaceEditor()->selectAll(); // the typed character replaces the cell's text
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), text, event->isAutoRepeat());
            QApplication::sendEvent(InplaceEditor(), &copy);
        }
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
}

void TCustomDBEdGrid::EditorKeyPress(QKeyEvent* event) { keyPressEvent(event); }

void TCustomDBEdGrid::keyReleaseEvent(QKeyEvent* event)
{
    int key = event->key();
    if (event->isAutoRepeat())
        return;
    try {
        KeyUp(key, event->modifiers());
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
    TCustomGrid::keyReleaseEvent(event);
}

void TCustomDBEdGrid::KeyUp(int& Key, Qt::KeyboardModifiers)
{
    if (DataSetControlsDisabled())
        return;
    if (Key == Qt::Key_Shift) {
        FSelectionDir = 0;
        FSelecting = false;
        FShiftDown = false;
    }
}

void TCustomDBEdGrid::KeyDown(int& Key, Qt::KeyboardModifiers Shift)
{
    if (DataSetControlsDisabled())
        return;
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    TDataSet* ds = LinkDataSet();
    if (Key == 0 || !FDataLink->Active() || !ds)
        return;
    FKeyShift = Shift;
    FShiftDown = Key == Qt::Key_Shift && !(Shift & Qt::ControlModifier) && !FShiftDown;
    const bool rowSelect = FOptions & dgRowSelect;
    const int handled = Key;
    Key = 0;
    if (Shift & Qt::ControlModifier) {
        switch (handled) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Up:
        case Qt::Key_Down: ClearSelection(); break;
        default: break;
        }
        switch (handled) {
        case Qt::Key_Tab: QWidget::focusNextPrevChild(!(Shift & Qt::ShiftModifier)); break;
        case Qt::Key_PageUp:
        case Qt::Key_Up: MoveByRecords(-FDataLink->ActiveRecord()); break;
        case Qt::Key_PageDown:
        case Qt::Key_Down: MoveByRecords(FDataLink->BufferCount() - FDataLink->ActiveRecord() - 1); break;
        case Qt::Key_End: ds->Last(); break;
        case Qt::Key_Home: ds->First(); break;
        case Qt::Key_Left: Tab(false, true); break;
        case Qt::Key_Right: Tab(true, true); break;
        case Qt::Key_F11:
            if (rowSelect)
                ShowLinkMenu(false);
            break;
        default: Key = handled; break;
        }
        return;
    }
    const bool byRecord = rowSelect || FColumns->Count() == 1;
    switch (handled) {
    case Qt::Key_Tab:
        if (!(Shift & Qt::AltModifier))
            Tab(!(Shift & Qt::ShiftModifier), false);
        break;
    case Qt::Key_Escape:
        FDataLink->Reset();
        InvalidateEditor(); // the editor shows the field's text again
        ClearSelection();
        if (AfterScroll)
            AfterScroll(this);
        if (!(FOptions & dgAlwaysShowEditor))
            HideEditor();
        break;
    case Qt::Key_Space:
        // Without a multi-row selection there is nothing to toggle: the blank is typed.
        if ((Shift & Qt::ShiftModifier) && (FOptions & dgMultiSelect) && FBookmarks)
            FBookmarks->SetCurrentRowSelected(!FBookmarks->CurrentRowSelected());
        else
            Key = handled;
        break;
    case Qt::Key_PageUp: MoveByRecords(-std::max(1, VisibleRowCount())); break;
    case Qt::Key_PageDown: MoveByRecords(std::max(1, VisibleRowCount())); break;
    case Qt::Key_End:
        if (byRecord)
            ds->Last();
        else
            Tab(true, true);
        break;
    case Qt::Key_Home:
        if (byRecord)
            ds->First();
        else
            Tab(false, true);
        break;
    case Qt::Key_Left:
        if (rowSelect)
            PriorRow(false);
        else if (Shift & Qt::AltModifier)
            MoveCol(Col() - 1);
        else
            Tab(false, false);
        break;
    case Qt::Key_Right:
        if (rowSelect)
            NextRow(false);
        else if (Shift & Qt::AltModifier)
            MoveCol(Col() + 1);
        else
            Tab(true, false);
        break;
    case Qt::Key_Up: PriorRow(true); break;
    case Qt::Key_Down: NextRow(true); break;
    case Qt::Key_F2:
        if (dataSetCanModify(ds) && !FReadOnly && !rowSelect && !FNoAppend) {
            ClearSelection();
            if (FInsertF2atEnd)
                ds->Append();
            else
                ds->Insert();
            SelectFirstTabColumn();
        }
        break;
    case Qt::Key_F3:
        if (!FReadOnly && !ds->IsEmpty() && dataSetCanModify(ds)) {
            ds->Edit();
            if (EditorMode()) {
                InplaceEditor()->deselect();
                InplaceEditor()->end(false);
            }
        }
        break;
    case Qt::Key_F8:
        if (!(Shift & Qt::ShiftModifier))
            DeleteRows();
        break;
    case Qt::Key_F11:
        if (rowSelect)
            ShowLinkMenu(true);
        break;
    default: Key = handled; break;
    }
}

void TCustomDBEdGrid::KeyPress(QChar& Key)
{
    if (DataSetControlsDisabled())
        return;
    if ((FOptions & dgMultiSelect) && FShiftDown && Key == u' ') {
        Key = QChar();
        return;
    }
    if (!(FOptions & dgAlwaysShowEditor) && Key == u'\r')
        FDataLink->UpdateRecord();
    TEkColumn* column = SelectedColumn();
    if (column && column->ButtonStyle() == TEkColumnButtonStyle::cbsCheck) {
        if (Key == u' ' && !FReadOnly)
            ToggleCheckValue(column);
        Key = QChar();
        return;
    }
    // What the platform grid does with a typed key: Enter opens or closes the editor, other
    // characters open it (the editor then takes the character).
    if (Key == u'\r') {
        if (!(FOptions & dgAlwaysShowEditor))
            SetEditorMode(!EditorMode());
        Key = QChar();
    } else if ((FOptions & dgEditing) && (Key.unicode() >= 32 || Key == u'\b') && CanEditAcceptKey(Key)) {
        ShowEditor();
    }
}

void TCustomDBEdGrid::ToggleCheckValue(TEkColumn* Column)
{
    if (!Column || Column->ReadOnly())
        return;
    TField* f = Column->Field();
    if (!f)
        return;
    const QString text = firstPiece(CheckStateOfValue(f->Value(), Column) == 1 ? Column->ValueUnchecked()
                                                                                 : Column->ValueChecked());
    if (!fieldCanModify(f))
        return;
    if (f->DataSet()->State() == TDataSetState::dsBrowse)
        f->DataSet()->Edit();
    f->SetAsString(text);
}

// ---- mouse -----------------------------------------------------------------------------------

void TCustomDBEdGrid::mousePressEvent(QMouseEvent* event)
{
    try {
        MouseDown(event->button(), event->modifiers(), event->position().toPoint(), false);
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
}

void TCustomDBEdGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    try {
        MouseDown(event->button(), event->modifiers(), event->position().toPoint(), true);
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
}

void TCustomDBEdGrid::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, const QPoint& Pos, bool Double)
{
    if (!AcquireFocus() || DataSetControlsDisabled())
        return;
    auto platformPress = [&] {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(Pos), QPointF(viewport()->mapToGlobal(Pos)), Button,
                      QGuiApplication::mouseButtons() | Button, Shift);
        TCustomGrid::mousePressEvent(&e);
    };
    if (Double && Button == Qt::LeftButton) {
        QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(Pos), QPointF(viewport()->mapToGlobal(Pos)), Button,
                      Button, Shift);
        TCustomGrid::mouseDoubleClickEvent(&e);
        int edge = -1;
        if ((FExtOptions & geoAutoFitOnDblClick) && CalcSizingState(Pos.x(), Pos.y(), edge) != TGridState::gsNormal)
            AutoFitColumn(MouseCoord(Pos.x() - 5, Pos.y()).X, Shift);
        return;
    }
    const TGridCoord cell = MouseCoord(Pos.x(), Pos.y());
    int edge = -1;
    if (CalcSizingState(Pos.x(), Pos.y(), edge) != TGridState::gsNormal) {
        FDataLink->UpdateRecord();
        platformPress();
        return;
    }
    if (cell.Y >= 0 && cell.Y < FTitleOffset && (FOptions & dgColumnResize)) {
        FDataLink->UpdateRecord();
        platformPress();
        return;
    }
    const int dataCol = cell.X - FIndicatorOffset;
    const bool dataCell = cell.X >= FIndicatorOffset && cell.Y >= FTitleOffset && dataCol < FColumns->Count();
    if (Button == Qt::LeftButton && Shift == Qt::ControlModifier && dataCell && FColumns->Items(dataCol)->IsURL())
        return;
    if (FDataLink->Active())
        FDataLink->UpdateRecord();
    BeginUpdate();
    const auto unlock = qScopeGuard([this] { EndUpdate(); });
    HideEditor();
    const TGridCoord old{Col(), Row()};
    if (cell.Y >= FTitleOffset && cell.Y != Row() && FDataLink->Active()) {
        MoveByRecords(cell.Y - Row());
        if (cell.Y != Row())
            MoveByRecords(cell.Y - Row());
    }
    if (dataCell)
        MoveCol(cell.X);
    if ((FOptions & dgMultiSelect) && FDataLink->Active() && FBookmarks) {
        FSelecting = false;
        if (Button == Qt::LeftButton && (Shift & Qt::ShiftModifier))
            FBookmarks->SetCurrentRowSelected(!FBookmarks->CurrentRowSelected());
    }
    const bool onCurrent = cell == old;
    if (Button == Qt::LeftButton && onCurrent && dataCell &&
        FColumns->Items(dataCol)->ButtonStyle() == TEkColumnButtonStyle::cbsCheck && !FReadOnly)
        ToggleCheckValue(FColumns->Items(dataCol));
    if (Button == Qt::LeftButton && dataCell)
        FMouseSelecting = true;
    if (Button == Qt::LeftButton && (onCurrent || (FOptions & dgAlwaysShowEditor)))
        ShowEditor();
    else
        InvalidateEditor();
}

void TCustomDBEdGrid::mouseReleaseEvent(QMouseEvent* event)
{
    FMouseSelecting = false;
    TimedScroll(0);
    if (DataSetControlsDisabled())
        return;
    const TGridState state = GridState();
    TCustomGrid::mouseReleaseEvent(event);
    if (state != TGridState::gsNormal)
        return;
    try {
        MouseUp(event->button(), event->modifiers(), event->position().toPoint());
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
}

void TCustomDBEdGrid::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, const QPoint& Pos)
{
    if (!IsFormActiveControl() || Button != Qt::LeftButton)
        return;
    if (InplaceEditor() && InplaceEditor()->isVisible() && InplaceEditor()->geometry().contains(Pos))
        return;
    const TGridCoord cell = MouseCoord(Pos.x(), Pos.y());
    const int dataCol = cell.X - FIndicatorOffset;
    if (dataCol < 0 || dataCol >= FColumns->Count() || cell.Y < 0)
        return;
    TEkColumn* column = FColumns->Items(dataCol);
    if (cell.Y < FTitleOffset) {
        TitleClick(column);
        return;
    }
    const TGridCoord pressed = MouseCoord(FLastMouseDownCoor.x(), FLastMouseDownCoor.y());
    if (pressed == cell && column->IsURL() && FDataLink->Active()) {
        QString target;
        WithBufferRecord(cell.Y - FTitleOffset, [&] {
            TField* f = column->Field();
            const QString text = f ? f->DisplayText() : QString();
            const QRect cr = CellRect(cell.X, cell.Y);
            const QRect textRect(cr.topLeft() + QPoint(2, 2),
                                 QSize(TextWidth(column->Font(), text), TextHeight(column->Font(), text)));
            if (textRect.contains(Pos))
                target = text;
        });
        if (!target.isEmpty())
            OpenLinkTarget(target);
        return;
    }
    CellClick(SelectedColumn());
}

// While a mouse selection is held beyond the data rows, the records scroll by themselves.
void TCustomDBEdGrid::MouseSelectionMoved(QMouseEvent* event)
{
    if (!FMouseSelecting || !(event->buttons() & Qt::LeftButton) || GridState() != TGridState::gsNormal) {
        TimedScroll(0);
        return;
    }
    const int y = event->position().toPoint().y();
    const int top = FTitleOffset > 0 ? RowHeights(0) : 0;
    TimedScroll(y < top ? -1 : (y >= viewport()->height() ? 1 : 0));
}

void TCustomDBEdGrid::TimedScroll(int Direction)
{
    FSelectScrollDir = Direction;
    if (Direction == 0) {
        if (FSelectTimer)
            FSelectTimer->stop();
        return;
    }
    if (!FSelectTimer) {
        FSelectTimer = new QTimer(this);
        FSelectTimer->setObjectName(QStringLiteral("SelectScrollTimer"));
        FSelectTimer->setInterval(kSelectScrollInterval);
        connect(FSelectTimer, &QTimer::timeout, this, [this] {
            try {
                SelectionScrollStep();
            } catch (const std::exception& e) {
                TimedScroll(0);
                ShowInputError(e);
            }
        });
    }
    if (!FSelectTimer->isActive())
        FSelectTimer->start();
}

bool TCustomDBEdGrid::SelectionScrolling() const { return FSelectTimer && FSelectTimer->isActive(); }

void TCustomDBEdGrid::SelectionScrollStep()
{
    if (!FDataLink->Active() || DataSetControlsDisabled())
        return;
    if (FSelectScrollDir < 0)
        MoveByRecords(-FDataLink->ActiveRecord() - 1);
    else if (FSelectScrollDir > 0)
        MoveByRecords(FDataLink->RecordCount() - FDataLink->ActiveRecord());
}

// ---- wheel and scroll bars -------------------------------------------------------------------

void TCustomDBEdGrid::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (DataSetControlsDisabled())
        return;
    if (auto* editor = dynamic_cast<TDBEditGridInplaceEdit*>(InplaceEditor()); editor && editor->ListVisible())
        return;
    const QPoint delta = event->angleDelta();
    const int d = delta.y() != 0 ? delta.y() : delta.x();
    if (d == 0)
        return;
    const bool page = event->modifiers() & Qt::AltModifier;
    try {
        if (event->modifiers() & Qt::ShiftModifier) {
            horizontalScrollBar()->triggerAction(d > 0 ? (page ? QAbstractSlider::SliderPageStepSub
                                                               : QAbstractSlider::SliderSingleStepSub)
                                                       : (page ? QAbstractSlider::SliderPageStepAdd
                                                               : QAbstractSlider::SliderSingleStepAdd));
        } else {
            VertScrollAction(d > 0 ? (page ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderSingleStepSub)
                                   : (page ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderSingleStepAdd));
        }
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
}

void TCustomDBEdGrid::VertScrollAction(int Action)
{
    TDataSet* ds = LinkDataSet();
    if (!ds || !FDataLink->Active() || DataSetControlsDisabled() || !AcquireFocus())
        return;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepSub: MoveByRecords(-FDataLink->ActiveRecord() - 1); break;
    case QAbstractSlider::SliderSingleStepAdd:
        MoveByRecords(FDataLink->RecordCount() - FDataLink->ActiveRecord());
        break;
    case QAbstractSlider::SliderPageStepSub: MoveByRecords(-std::max(1, VisibleRowCount())); break;
    case QAbstractSlider::SliderPageStepAdd: MoveByRecords(std::max(1, VisibleRowCount())); break;
    case QAbstractSlider::SliderToMinimum: ds->First(); break;
    case QAbstractSlider::SliderToMaximum: ds->Last(); break;
    case QAbstractSlider::SliderMove: {
        const int pos = verticalScrollBar()->sliderPosition();
        if (DataSetIsSequenced(ds)) {
            if (pos <= 1)
                ds->First();
            else if (pos >= ds->RecordCount())
                ds->Last();
            else
                ds->SetRecNo(pos);
        } else {
            switch (pos) {
            case 0: ds->First(); break;
            case 1: MoveByRecords(-std::max(1, VisibleRowCount())); break;
            case 3: MoveByRecords(std::max(1, VisibleRowCount())); break;
            case 4: ds->Last(); break;
            default: break;
            }
        }
        break;
    }
    default: break;
    }
    FBarSet = false;
    UpdateScrollBar();
}

// ---- editing ---------------------------------------------------------------------------------

bool TCustomDBEdGrid::CanEditAcceptKey(QChar Key)
{
    TEkColumn* column = SelectedColumn();
    TField* f = column ? column->Field() : nullptr;
    return FDataLink->Active() && f &&
           (fieldAcceptsChar(f, Key) || column->ButtonStyle() == TEkColumnButtonStyle::cbsDropDown);
}

bool TCustomDBEdGrid::CanEditModify()
{
    if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly())
        return false;
    TEkColumn* column = SelectedColumn();
    if (!column || column->ReadOnly())
        return false;
    TField* f = column->Field();
    if (!f)
        return false;
    const bool modifiable =
        fieldCanModify(f) || (column->ButtonStyle() == TEkColumnButtonStyle::cbsTree && f->OnSetText);
    if (!modifiable || (isBlobType(f->DataType()) && !f->OnSetText) || !column->DirectInput())
        return false;
    FDataLink->Edit();
    const bool editing = FDataLink->Editing();
    if (editing)
        FDataLink->SetModified();
    return editing;
}

int TCustomDBEdGrid::GetEditLimit()
{
    TEkColumn* column = SelectedColumn();
    TField* f = SelectedField();
    if (f && isStringType(f->DataType()) && column->ButtonStyle() != TEkColumnButtonStyle::cbsDate)
        return f->Size();
    return 0;
}

QString TCustomDBEdGrid::GetEditMask()
{
    TField* f = FDataLink->Active() ? SelectedField() : nullptr;
    return f ? f->EditMask() : QString();
}

void TCustomDBEdGrid::SetEditText(int, int, const QString& Value)
{
    FEditText = Value;
    // The editor may change its text without asking first; the change counts only where
    // the cell may be edited.
    if (!FDataLink->Modified())
        CanEditModify();
}

void TCustomDBEdGrid::WriteEditText()
{
    TField* f = SelectedField();
    if (!f)
        return;
    TEkColumn* column = SelectedColumn();
    const TEkColumnButtonStyle style = column->ButtonStyle();
    const TEkColumnDateOptions dateOptions = column->DateOptions();
    const QString trimmed = FEditText.trimmed();
    if (style == TEkColumnButtonStyle::cbsDate && isStringType(f->DataType()) &&
        (dateOptions & (cdoInterimNo | cdoInterimBeforeFirst | cdoInterimAfterLast))) {
        if (trimmed.isEmpty()) {
            f->SetText(QString());
        } else {
            const TInterimType type = (dateOptions & cdoInterimBeforeFirst) ? TInterimType::InterimBeforeFirst
                                      : (dateOptions & cdoInterimAfterLast) ? TInterimType::InterimAfterLast
                                                                             : TInterimType::InterimNo;
            f->SetAsString(KpDaTi::ValidateInterimDateInput(FEditText, type, dateOptions & cdoInterimOnly,
                                                            dateOptions & cdoMonthOnly));
        }
        return;
    }
    if (auto* dt = dynamic_cast<TDateTimeField*>(f); dt && column->SmartEdit()) {
        if (trimmed.isEmpty()) {
            f->SetText(QString());
            return;
        }
        DateTime value;
        try {
            if ((dateOptions & cdoMonthOnly) || KpDaTi::IsFieldMonthOnly(f))
                value = KpDaTi::StrToDateEx(trimmed, true, false, true);
            else
                value = KpDaTi::StrToDateEx(trimmed, false, dt->FieldContents() == TDateFieldContents::dfcDateTime,
                                            true);
        } catch (const EConvertError&) {
            UiServices::MessageBox(this, kWrongDate, QApplication::applicationName(), QMessageBox::NoIcon,
                                   QMessageBox::Ok);
            throw EAbort();
        }
        f->SetAsDateTime(value);
        return;
    }
    TEnumStrings* pickList = column->PickList();
    if (style == TEkColumnButtonStyle::cbsDropDown)
        DropDownCombo(column, pickList);
    const bool coded = f->DataType() == TFieldType::ftSmallint || f->DataType() == TFieldType::ftInteger;
    if (!pickList || pickList->Count() == 0 || !coded) {
        f->SetText(FEditText);
        return;
    }
    int index = -1;
    for (int i = 0; i < pickList->Count() && index < 0; ++i)
        if (pickList->Get(i) == FEditText)
            index = i;
    for (int i = 0; i < pickList->Count() && index < 0 && !FEditText.isEmpty(); ++i)
        if (pickList->Get(i).left(FEditText.size()).compare(FEditText, Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0) {
        f->Clear();
        return;
    }
    const qint32 code = static_cast<qint32>(pickList->GetObject(index));
    if (f->IsNull() || f->AsInteger() != code)
        f->SetAsInteger(code);
}

// ---- deleting --------------------------------------------------------------------------------

bool TCustomDBEdGrid::DeletePrompt()
{
    const QString text = FBookmarks && FBookmarks->Count() > 1 ? kDeleteSelected : kDeleteOne;
    if (!(FOptions & dgConfirmDelete))
        return true;
    return UiServices::MessageBox(this, text, QApplication::applicationName(), QMessageBox::Question,
                                  QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Cancel;
}

bool TCustomDBEdGrid::DeleteRows()
{
    TDataSet* ds = LinkDataSet();
    if (FReadOnly || !ds || !ds->Active() || ds->IsEmpty() || !dataSetCanModify(ds) || FNoDelete || !DeletePrompt())
        return false;
    bool deleted = false;
    try {
        if (BeforeDelete)
            BeforeDelete(this);
        if (HasSelectedRows())
            FBookmarks->Delete();
        else
            ds->Delete();
        deleted = true;
        if (AfterDelete)
            AfterDelete(this);
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
    return deleted;
}

// ---- focus -----------------------------------------------------------------------------------

void TCustomDBEdGrid::FocusChanged(QWidget*, QWidget* Now)
{
    // Focus that goes to another window (a pop-up, a dialog) or leaves the application keeps
    // the grid's place in its own window: neither leaving nor entering the grid.
    if (FDestroying || !Now || Now->window() != window())
        return;
    // The editor's pop-up windows (list, calendar, memo) are still the grid's.
    auto inside = [this](QWidget* w) {
        for (; w; w = w->parentWidget())
            if (w == this)
                return true;
        return false;
    };
    const bool nowInside = inside(Now);
    try {
        if (nowInside && !FFocusInside) {
            FFocusInside = true;
            FocusEntered();
        } else if (!nowInside && FFocusInside) {
            FFocusInside = false;
            FocusExited();
        }
    } catch (const std::exception& e) {
        ShowInputError(e);
    }
}

void TCustomDBEdGrid::FocusEntered() { ColEnter(); }

void TCustomDBEdGrid::FocusExited()
{
    if (!FDataLink->Active())
        return;
    try {
        TDataSet* ds = LinkDataSet();
        if ((FOptions & dgCancelOnExit) && InsertingUntouched())
            ds->Cancel();
        else
            FDataLink->UpdateRecord();
        BeginUpdate();
        const auto unlock = qScopeGuard([this] { EndUpdate(); });
        if (FGoFirstOnExit == TEdGridFirstOnExit::foeAlways ||
            (FGoFirstOnExit == TEdGridFirstOnExit::foeWhenBrowsing && ds->State() == TDataSetState::dsBrowse))
            ds->First();
        SelectFirstTabColumn();
    } catch (...) {
        if (isEnabled() && isVisible()) {
            FFocusInside = true;
            setFocus(Qt::OtherFocusReason);
        }
        throw;
    }
}

// ---- links and column menus ------------------------------------------------------------------

void TCustomDBEdGrid::OpenLinkTarget(const QString& S)
{
    const QString trimmed = S.trimmed();
    if (trimmed.isEmpty())
        return;
    // A text from a data file must never start a program: only web and mail addresses open.
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                           scheme != QLatin1String("mailto")))
        return;
    if (scheme != QLatin1String("mailto") && url.host().isEmpty())
        return;
    UiServices::OpenUrl(url);
}

void TCustomDBEdGrid::ShowLinkMenu(bool AutoClick)
{
    if (!FLinkPopup) {
        FLinkPopup = new QMenu(this);
        FLinkPopup->setObjectName(QStringLiteral("LinkPopup"));
    }
    FLinkPopup->clear();
    const int n = FColumns->Count();
    if (n == 0 || !FDataLink->Active())
        return;
    const int leftmost = std::clamp(LeftCol() - FIndicatorOffset, 0, n - 1);
    int anchorColumn = -1;
    const int visibleRight = viewport()->width();
    for (int k = 0; k < n; ++k) {
        const int i = (leftmost + k) % n;
        TEkColumn* column = FColumns->Items(i);
        if (!column->IsURL())
            continue;
        TField* f = column->Field();
        const QString text = f ? f->DisplayText() : QString();
        QString caption = text;
        if (caption.size() > kLinkMenuCaptionLength)
            caption = caption.left(kLinkMenuCaptionLength) + QStringLiteral("...");
        // An address's "&" is shown as it is, not taken as a shortcut mark.
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = FLinkPopup->addAction(caption);
        a->setData(text);
        a->setToolTip(text);
        connect(a, &QAction::triggered, this, [this, text] { OpenLinkTarget(text); });
        if (anchorColumn < 0 && i >= leftmost) {
            const QRect r = CellRect(i + FIndicatorOffset, Row());
            if (r.isValid() && r.left() < visibleRight)
                anchorColumn = i;
        }
    }
    const QList<QAction*> items = FLinkPopup->actions();
    if (items.isEmpty())
        return;
    if (AutoClick && items.size() == 1) {
        items.front()->trigger();
        return;
    }
    if (anchorColumn < 0)
        anchorColumn = leftmost;
    const QRect r = CellRect(anchorColumn + FIndicatorOffset, Row());
    const QPoint at = r.isValid() ? r.bottomLeft() : QPoint(0, 0);
    FLinkPopup->popup(viewport()->mapToGlobal(at));
}

void TCustomDBEdGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // A column's own menu opens over that column, titles included.
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QPoint p = event->pos();
        const TGridCoord cell = MouseCoord(p.x(), p.y());
        const int dataCol = cell.X - FIndicatorOffset;
        if (cell.Y >= 0 && dataCol >= 0 && dataCol < FColumns->Count())
            if (TPopupMenu* menu = FColumns->Items(dataCol)->PopupMenu(); menu && menu->AutoPopup()) {
                TimedScroll(0);
                // The menu's handlers learn which grid it was opened over.
                menu->SetPopupComponent(this);
                menu->popup(event->globalPos());
                event->accept();
                return;
            }
    }
    TCustomGrid::contextMenuEvent(event);
}
