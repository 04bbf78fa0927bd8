#include "GridTestUtil.h"
#include "SortGridTestUtil.h"

#include "base/TEnumStrings.h"
#include "grids/EInvalidGridOperation.h"
#include "grids/TEdBookmarkList.h"
#include "platform/data/StringField.h"
#include "platform/rtl/EAbort.h"
#include "platform/rtl/EListError.h"
#include "platform/ui/InplaceEdit.h"
#include "platform/ui/PopupMenu.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// The data grid as it is, without the drawing helpers of TestGrid (which fakes a selection).
class InputGrid : public TCustomDBEdGrid {
public:
    using TCustomDBEdGrid::TCustomDBEdGrid;
    using TCustomDBEdGrid::WriteEditText;
};

// A window with a grid over the trees and an edit to take the focus elsewhere.
template <class Grid = InputGrid>
struct InputFixture {
    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    QWidget window;
    Grid* grid;
    QLineEdit* other;

    explicit InputFixture(int records, TDBGridOptions options = TCustomDBEdGrid::DefaultOptions)
        : ds(MakeTrees(records))
    {
        ReleaseHeldKeys();
        auto* layout = new QVBoxLayout(&window);
        grid = new Grid(&window);
        other = new QLineEdit(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->SetOptions(options);
        source.SetDataSet(ds.get());
        grid->SetDataSource(&source);
        window.resize(500, 260);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        QApplication::processEvents();
    }
    ~InputFixture()
    {
        UiServices::SetMessageBoxHook({});
        UiServices::SetOpenUrlHook({});
    }

    int RecNo() const { return ds->RecNo(); }
    int Koks() const { return ds->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger(); }
    void Key(int key, Qt::KeyboardModifiers mods = {}, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(grid, static_cast<Qt::Key>(key), mods);
    }
    // Centre of a data cell (data row 0 = first shown record) in viewport coordinates.
    QPoint Cell(int col, int dataRow) const { return grid->CellRect(col, dataRow + grid->TitleOffset()).center(); }
    // A key pressed and released while the modifiers stay held (no modifier key events).
    void Held(int key, Qt::KeyboardModifiers mods, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            QKeyEvent press(QEvent::KeyPress, key, mods);
            QApplication::sendEvent(grid, &press);
            QKeyEvent release(QEvent::KeyRelease, key, mods);
            QApplication::sendEvent(grid, &release);
        }
    }
    // Types into whatever has the focus, as a user does: the first character opens the editor.
    void Type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : grid, QString(c));
    }
    void Click(int col, int dataRow, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, Cell(col, dataRow));
    }
    std::vector<int> Selected()
    {
        std::vector<int> r;
        if (!grid->SelectedRows())
            return r;
        const TBookmark keep = ds->GetBookmark();
        for (int i = 0; i < grid->SelectedRows()->Count(); ++i) {
            ds->GotoBookmark(grid->SelectedRows()->GetItem(i));
            r.push_back(Koks());
        }
        ds->GotoBookmark(keep);
        return r;
    }
    std::vector<int> Records()
    {
        std::vector<int> r;
        for (ds->First(); !ds->Eof(); ds->Next())
            r.push_back(Koks());
        ds->First();
        return r;
    }
};

constexpr TDBGridOptions kEditing = TCustomDBEdGrid::DefaultOptions & ~dgAlwaysShowEditor;
constexpr TDBGridOptions kRowSelect = dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                                      dgRowSelect | dgConfirmDelete;
constexpr TDBGridOptions kMulti = kEditing | dgMultiSelect;

// ---- keys -----------------------------------------------------------------------------------

struct KeyCase {
    const char* name;
    TDBGridOptions options;
    bool readOnly;
    int startRec, startCol; // record number and grid column before the keys
    int key;
    Qt::KeyboardModifiers mods;
    int times;
    int wantRec, wantCol;
    TDataSetState wantState;
};

class GridKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(GridKeys, MoveRecordAndColumn)
{
    const KeyCase& c = GetParam();
    InputFixture<> f(12, c.options);
    f.grid->SetReadOnly(c.readOnly);
    f.ds->SetRecNo(c.startRec);
    f.grid->MoveCol(c.startCol);
    f.Key(c.key, c.mods, c.times);
    EXPECT_EQ(f.ds->State(), c.wantState);
    if (c.wantState == TDataSetState::dsBrowse)
        EXPECT_EQ(f.RecNo(), c.wantRec);
    EXPECT_EQ(f.grid->Col(), c.wantCol);
    // The highlighted row is always the current record.
    EXPECT_EQ(f.grid->Row(), f.grid->DataLink()->ActiveRecord() + f.grid->TitleOffset());
}

const Qt::KeyboardModifiers kNone{};
INSTANTIATE_TEST_SUITE_P(
    Table, GridKeys,
    ::testing::Values(
        KeyCase{"DownUp", kEditing, false, 3, 1, Qt::Key_Down, kNone, 2, 5, 1, TDataSetState::dsBrowse},
        KeyCase{"UpAtFirstStays", kEditing, false, 1, 1, Qt::Key_Up, kNone, 1, 1, 1, TDataSetState::dsBrowse},
        KeyCase{"TabNextColumn", kEditing, false, 2, 1, Qt::Key_Tab, kNone, 1, 2, 2, TDataSetState::dsBrowse},
        KeyCase{"TabPastLastColumnNextRecord", kEditing, false, 2, 4, Qt::Key_Tab, kNone, 1, 3, 1,
                TDataSetState::dsBrowse},
        KeyCase{"BacktabBeforeFirstPriorRecord", kEditing, false, 2, 1, Qt::Key_Backtab, Qt::ShiftModifier, 1, 1,
                4, TDataSetState::dsBrowse},
        KeyCase{"RowSelectTabWalksColumnsThenRecord", kRowSelect, false, 2, 1, Qt::Key_Tab, kNone, 4, 3, 1,
                TDataSetState::dsBrowse},
        KeyCase{"ReadOnlyTabSkipsReadOnlyColumnsToTheNextRecord", kRowSelect, true, 2, 1, Qt::Key_Tab, kNone, 2, 4,
                1, TDataSetState::dsBrowse},
        KeyCase{"RowSelectHomeFirstRecord", kRowSelect, true, 7, 2, Qt::Key_Home, kNone, 1, 1, 2,
                TDataSetState::dsBrowse},
        KeyCase{"RowSelectEndLastRecord", kRowSelect, true, 2, 2, Qt::Key_End, kNone, 1, 12, 2,
                TDataSetState::dsBrowse},
        KeyCase{"RowSelectRightNextRecord", kRowSelect, true, 2, 1, Qt::Key_Right, kNone, 2, 4, 1,
                TDataSetState::dsBrowse},
        KeyCase{"RowSelectLeftPriorRecord", kRowSelect, true, 5, 1, Qt::Key_Left, kNone, 1, 4, 1,
                TDataSetState::dsBrowse},
        KeyCase{"HomeEndWalkColumnsWhenEditing", kEditing, false, 5, 2, Qt::Key_End, kNone, 1, 5, 4,
                TDataSetState::dsBrowse},
        KeyCase{"CtrlEndLastRecord", kEditing, false, 5, 2, Qt::Key_End, Qt::ControlModifier, 1, 12, 2,
                TDataSetState::dsBrowse},
        KeyCase{"CtrlHomeFirstRecord", kEditing, false, 5, 2, Qt::Key_Home, Qt::ControlModifier, 1, 1, 2,
                TDataSetState::dsBrowse},
        KeyCase{"CtrlRightLastColumn", kEditing, false, 5, 1, Qt::Key_Right, Qt::ControlModifier, 1, 5, 4,
                TDataSetState::dsBrowse},
        KeyCase{"DownOnLastAppends", kEditing, false, 12, 2, Qt::Key_Down, kNone, 1, 0, 1, TDataSetState::dsInsert},
        KeyCase{"DownOnLastReadOnlyStays", kEditing, true, 12, 2, Qt::Key_Down, kNone, 1, 12, 2,
                TDataSetState::dsBrowse},
        KeyCase{"DownOnLastRowSelectStays", kRowSelect, false, 12, 1, Qt::Key_Down, kNone, 1, 12, 1,
                TDataSetState::dsBrowse},
        KeyCase{"F2Inserts", kEditing, false, 4, 3, Qt::Key_F2, kNone, 1, 0, 1, TDataSetState::dsInsert},
        KeyCase{"F2RowSelectNothing", kRowSelect, false, 4, 1, Qt::Key_F2, kNone, 1, 4, 1, TDataSetState::dsBrowse},
        KeyCase{"F2ReadOnlyNothing", kEditing, true, 4, 1, Qt::Key_F2, kNone, 1, 4, 1, TDataSetState::dsBrowse},
        KeyCase{"F3Edits", kRowSelect, false, 4, 1, Qt::Key_F3, kNone, 1, 4, 1, TDataSetState::dsEdit},
        KeyCase{"F3ReadOnlyNothing", kRowSelect, true, 4, 1, Qt::Key_F3, kNone, 1, 4, 1, TDataSetState::dsBrowse}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// The analysis window's grids: read-only, row-selecting, with dgTabs. Tab, Home and End move
// the record, and the highlighted row is always the current record.
TEST(GridInput, AnalysisGridTabHomeEndMoveTheRecord)
{
    SortGridOver<TDBEditGrid> g(9);
    g.grid->SetOptions(kRowSelect);
    g.grid->SetReadOnly(true);
    g.grid->setFocus();
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int wantRec;
    } steps[] = {{Qt::Key_Tab, {}, 2},  {Qt::Key_Tab, {}, 3},           {Qt::Key_End, {}, 9},
                 {Qt::Key_Home, {}, 1}, {Qt::Key_Down, {}, 2},          {Qt::Key_Backtab, Qt::ShiftModifier, 1},
                 {Qt::Key_End, {}, 9},  {Qt::Key_Tab, {}, 9}};
    for (const auto& s : steps) {
        QTest::keyClick(g.grid.get(), static_cast<Qt::Key>(s.key), s.mods);
        EXPECT_EQ(g.ds->RecNo(), s.wantRec) << s.key;
        EXPECT_EQ(g.grid->Row(), g.grid->DataLink()->ActiveRecord() + g.grid->TitleOffset()) << s.key;
    }
}

TEST(GridInput, UpFromUntouchedAppendCancelsIt)
{
    InputFixture<> f(3, kEditing);
    f.ds->Last();
    f.Key(Qt::Key_Down);
    ASSERT_EQ(f.ds->State(), TDataSetState::dsInsert);
    f.Key(Qt::Key_Down); // an untouched new record at the end goes no further
    EXPECT_EQ(f.ds->State(), TDataSetState::dsInsert);
    f.Key(Qt::Key_Up);
    EXPECT_EQ(f.ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(f.ds->RecordCount(), 3);
    EXPECT_EQ(f.RecNo(), 3);
}

TEST(GridInput, F2AppendsAtTheEndWithInsertF2atEnd)
{
    InputFixture<> f(4, kEditing);
    f.grid->SetInsertF2atEnd(true);
    f.ds->SetRecNo(2);
    f.Key(Qt::Key_F2);
    f.ds->FieldByName(QStringLiteral("KOKS_NR"))->SetAsInteger(99);
    f.ds->Post();
    EXPECT_EQ(f.Records(), (std::vector<int>{1, 2, 3, 4, 99}));
}

TEST(GridInput, NoAppendKeepsDownOnTheLastRecord)
{
    InputFixture<> f(3, kEditing);
    f.grid->SetNoAppend(true);
    f.ds->Last();
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_F2);
    EXPECT_EQ(f.ds->State(), TDataSetState::dsBrowse);
}

TEST(GridInput, EventsOfColumnsAndClicks)
{
    InputFixture<> f(5, kEditing);
    std::vector<QString> log;
    f.grid->OnColExit = [&](TCustomDBEdGrid* g) { log.push_back(QStringLiteral("exit %1").arg(g->Col())); };
    f.grid->OnColEnter = [&](TCustomDBEdGrid* g) { log.push_back(QStringLiteral("enter %1").arg(g->Col())); };
    f.grid->OnCellClick = [&](TEkColumn* c) { log.push_back(QStringLiteral("cell ") + c->FieldName()); };
    f.grid->OnTitleClick = [&](TEkColumn* c) { log.push_back(QStringLiteral("title ") + c->FieldName()); };
    f.Key(Qt::Key_Tab);
    f.Click(3, 2);
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.grid->CellRect(4, 0).center());
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("exit 1"), QStringLiteral("enter 2"),
                                         QStringLiteral("exit 2"), QStringLiteral("enter 3"),
                                         QStringLiteral("cell DATUMS"), QStringLiteral("title PIEZ")}));
    EXPECT_EQ(f.RecNo(), 3);
}

TEST(GridInput, WheelAndScrollBarMoveRecords)
{
    InputFixture<> f(40, kRowSelect);
    const int shown = f.grid->DataLink()->RecordCount();
    QWheelEvent down(QPointF(20, 40), f.grid->viewport()->mapToGlobal(QPointF(20, 40)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.grid->viewport(), &down);
    EXPECT_EQ(f.RecNo(), shown + 1) << "the record below the last shown one";
    f.grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(f.RecNo(), 1);
    f.grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(f.RecNo(), 40);
}

TEST(GridInput, MouseHeldBelowTheRowsScrollsUntilReleased)
{
    InputFixture<> f(30, kRowSelect);
    QTest::mousePress(f.grid->viewport(), Qt::LeftButton, {}, f.Cell(1, 0));
    const QPoint below(f.Cell(1, 0).x(), f.grid->viewport()->height() + 5);
    QMouseEvent move(QEvent::MouseMove, QPointF(below), f.grid->viewport()->mapToGlobal(QPointF(below)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(f.grid->viewport(), &move);
    ASSERT_TRUE(f.grid->SelectionScrolling());
    const int shown = f.grid->DataLink()->RecordCount();
    auto* timer = f.grid->findChild<QTimer*>(QStringLiteral("SelectScrollTimer"));
    ASSERT_NE(timer, nullptr);
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection); // one tick
    EXPECT_EQ(f.RecNo(), shown + 1) << "the record below the last shown one";
    QTest::mouseRelease(f.grid->viewport(), Qt::LeftButton, {}, below);
    EXPECT_FALSE(f.grid->SelectionScrolling());
}

TEST(GridInput, ColumnMenuOpensOverItsColumnForTheGrid)
{
    InputFixture<> f(3, kRowSelect);
    TPopupMenu menu;
    menu.addAction(QStringLiteral("Kopēt"));
    f.grid->Columns()->Items(1)->SetPopupMenu(&menu);
    auto rightClick = [&](QPoint at) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, f.grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(f.grid->viewport(), &e);
    };
    rightClick(f.Cell(1, 1));
    EXPECT_FALSE(menu.isVisible()) << "another column";
    EXPECT_EQ(menu.PopupComponent(), nullptr);
    rightClick(f.Cell(2, 1));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.PopupComponent(), f.grid) << "the menu's handlers learn which grid opened it";
    menu.hide();
    menu.SetAutoPopup(false);
    rightClick(f.Cell(2, 0));
    EXPECT_FALSE(menu.isVisible()) << "a menu that does not pop up by itself stays closed";
}

// ---- selection ------------------------------------------------------------------------------

TEST(GridSelection, ShiftArrowsSelectARangeAndTakeItBack)
{
    InputFixture<> f(8, kMulti);
    QTest::keyPress(f.grid, Qt::Key_Shift, Qt::ShiftModifier);
    f.Held(Qt::Key_Down, Qt::ShiftModifier, 3);
    EXPECT_EQ(f.Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(f.Koks(), 4);
    f.Held(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(f.Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(f.Koks(), 3);
    f.Held(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(f.Selected(), (std::vector<int>{1, 2}));
    EXPECT_EQ(f.Koks(), 2);
    QTest::keyRelease(f.grid, Qt::Key_Shift);
    f.Key(Qt::Key_Up, Qt::ShiftModifier); // a new range starts at the record it is on
    EXPECT_EQ(f.Selected(), (std::vector<int>{1}));
    f.Key(Qt::Key_Down);
    EXPECT_EQ(f.Selected(), (std::vector<int>{1})) << "a plain move keeps the selection";
    f.Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(f.Selected().empty());
    EXPECT_EQ(f.Koks(), std::min(8, f.grid->DataLink()->BufferCount())) << "the last buffered record";
}

TEST(GridSelection, ShiftClickAndShiftSpaceToggleInAnyOrder)
{
    InputFixture<> f(8, kMulti);
    f.Click(1, 4, Qt::ShiftModifier);
    f.Click(1, 1, Qt::ShiftModifier);
    f.Click(1, 6);
    f.Key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(f.Selected(), (std::vector<int>{2, 5, 7})) << "kept in bookmark order";
    f.Click(1, 4, Qt::ShiftModifier);
    EXPECT_EQ(f.Selected(), (std::vector<int>{2, 7}));
    f.Key(Qt::Key_Escape);
    EXPECT_TRUE(f.Selected().empty());
}

// Without dgMultiSelect there is no selection to add to: Shift+Space must not leave a hidden
// selected record behind for a later deletion to take instead of the current one.
TEST(GridSelection, ShiftSpaceWithoutMultiSelectSelectsNothing)
{
    InputFixture<> f(5, kEditing);
    f.Key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(f.grid->HasSelectedRows());
    f.ds->SetRecNo(3);
    UiServices::SetMessageBoxHook([](QWidget*, const QString&, const QString&, QMessageBox::Icon,
                                     QMessageBox::StandardButtons) { return QMessageBox::Ok; });
    EXPECT_TRUE(f.grid->DeleteRows());
    EXPECT_EQ(f.Records(), (std::vector<int>{1, 2, 4, 5}));
}

TEST(GridSelection, LinkClosingEmptiesTheSelectionAndAClosedLinkRaises)
{
    InputFixture<> f(5, kMulti);
    f.Key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(f.grid->HasSelectedRows());
    f.ds->Close();
    EXPECT_FALSE(f.grid->HasSelectedRows());
    EXPECT_THROW(f.grid->SelectedRows()->CurrentRowSelected(), EInvalidGridOperation);
    EXPECT_THROW(f.grid->SelectedRows()->GetItem(0), EListError);
}

TEST(GridSelection, SortGridVirtualSelectionDropsTheListAndGetsItBack)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->SetOptions(g.grid->Options() | dgMultiSelect);
    g.grid->SetVirtualMultiSelect(true);
    EXPECT_EQ(g.grid->SelectedRows(), nullptr);
    EXPECT_FALSE(g.grid->Options() & dgMultiSelect);
    EXPECT_TRUE(g.grid->Options() & dgRowSelect);
    QTest::keyClick(g.grid.get(), Qt::Key_Space, Qt::ShiftModifier); // no list: nothing to toggle
    g.grid->SetVirtualMultiSelect(false);
    ASSERT_NE(g.grid->SelectedRows(), nullptr);
    EXPECT_EQ(g.grid->SelectedRows()->Count(), 0);
}

// ---- deletion -------------------------------------------------------------------------------

struct DeleteCase {
    const char* name;
    std::vector<int> select; // KOKS_NR of the selected records; empty: the current one (3)
    QMessageBox::StandardButton answer;
    bool readOnly, noDelete;
    QString wantPrompt;
    std::vector<int> wantLeft;
};

class GridDelete : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(GridDelete, RemovesWhatIsSelected)
{
    const DeleteCase& c = GetParam();
    InputFixture<> f(6, kMulti);
    f.grid->SetReadOnly(c.readOnly);
    f.grid->SetNoDelete(c.noDelete);
    for (int k : c.select) {
        f.ds->SetRecNo(k);
        f.grid->SelectedRows()->SetCurrentRowSelected(true);
    }
    f.ds->SetRecNo(3);
    QString prompt;
    UiServices::SetMessageBoxHook([&](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                      QMessageBox::StandardButtons) {
        prompt = text;
        return c.answer;
    });
    std::vector<int> order;
    f.ds->BeforeDelete = [&](TDataSet* ds) { order.push_back(ds->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger()); };
    f.Key(Qt::Key_F8);
    EXPECT_EQ(prompt, c.wantPrompt);
    EXPECT_EQ(f.Records(), c.wantLeft);
    if (c.select.size() > 1 && c.answer == QMessageBox::Ok) {
        EXPECT_EQ(order, (std::vector<int>(c.select.rbegin(), c.select.rend()))) << "from the last to the first";
        EXPECT_FALSE(f.grid->HasSelectedRows());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GridDelete,
    ::testing::Values(
        DeleteCase{"Three", {2, 4, 5}, QMessageBox::Ok, false, false, QStringLiteral("Vai dzēst iezīmētos ierakstus?"),
                   {1, 3, 6}},
        DeleteCase{"OneSelected", {5}, QMessageBox::Ok, false, false, QStringLiteral("Vai dzēst?"), {1, 2, 3, 4, 6}},
        DeleteCase{"Current", {}, QMessageBox::Ok, false, false, QStringLiteral("Vai dzēst?"), {1, 2, 4, 5, 6}},
        DeleteCase{"Cancelled", {2, 4}, QMessageBox::Cancel, false, false,
                   QStringLiteral("Vai dzēst iezīmētos ierakstus?"), {1, 2, 3, 4, 5, 6}},
        DeleteCase{"ReadOnly", {}, QMessageBox::Ok, true, false, QString(), {1, 2, 3, 4, 5, 6}},
        DeleteCase{"NoDelete", {}, QMessageBox::Ok, false, true, QString(), {1, 2, 3, 4, 5, 6}}),
    [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

// ---- writing the edit text ------------------------------------------------------------------

TEST(GridEditText, CodedPickListWritesTheItemCode)
{
    InputFixture<> f(3, kEditing);
    TEkColumn* column = f.grid->Columns()->Items(0); // KOKS_NR, an integer field
    column->SetButtonStyle(TEkColumnButtonStyle::cbsDropDown);
    column->PickList()->AddInt(QStringLiteral("Alpha"), 1);
    column->PickList()->AddInt(QStringLiteral("Beta"), 0);
    TField* koks = f.ds->FieldByName(QStringLiteral("KOKS_NR"));
    const struct {
        const char* text;
        bool null;
        int value;
    } cases[] = {{"al", false, 1}, {"beta", false, 0}, {"Alpha", false, 1}, {"x", true, 0}};
    for (const auto& c : cases) {
        f.grid->MoveCol(1);
        f.grid->EditorTextEdited(QString::fromUtf8(c.text));
        f.grid->DataLink()->UpdateRecord();
        EXPECT_EQ(koks->IsNull(), c.null) << c.text;
        if (!c.null)
            EXPECT_EQ(koks->AsInteger(), c.value) << c.text;
    }
}

TEST(GridEditText, WrongSmartDateIsRefusedAndKeepsTheValue)
{
    InputFixture<> f(3, kEditing);
    TField* date = f.ds->FieldByName(QStringLiteral("DATUMS"));
    const double before = date->AsDateTime().Days();
    QString shown;
    UiServices::SetMessageBoxHook([&](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                      QMessageBox::StandardButtons) {
        shown = text;
        return QMessageBox::Ok;
    });
    f.grid->MoveCol(3);
    f.grid->EditorTextEdited(QStringLiteral("31.02.2024"));
    EXPECT_THROW(f.grid->DataLink()->UpdateRecord(), EAbort);
    EXPECT_EQ(shown, QStringLiteral("Nepareizs datums!"));
    EXPECT_EQ(date->AsDateTime().Days(), before);
    f.grid->EditorTextEdited(QStringLiteral("  "));
    f.grid->DataLink()->UpdateRecord();
    EXPECT_TRUE(date->IsNull()) << "an empty text empties the date";
}

TEST(GridEditText, CheckColumnTogglesBySpaceAndNotWhenReadOnly)
{
    InputFixture<> f(2, kEditing);
    TEkColumn* column = f.grid->Columns()->Items(1); // SUGA
    column->SetButtonStyle(TEkColumnButtonStyle::cbsCheck);
    column->SetValueChecked(QStringLiteral("Jā;J"));
    column->SetValueUnchecked(QStringLiteral("Nē"));
    TField* suga = f.ds->FieldByName(QStringLiteral("SUGA"));
    f.grid->MoveCol(2);
    f.Key(Qt::Key_Space);
    EXPECT_EQ(suga->AsString(), QStringLiteral("Jā")) << "an unknown value becomes checked";
    f.Key(Qt::Key_Space);
    EXPECT_EQ(suga->AsString(), QStringLiteral("Nē"));
    f.Click(2, 0); // a click on the current check cell toggles it and opens no text editor
    EXPECT_EQ(suga->AsString(), QStringLiteral("Jā"));
    EXPECT_FALSE(f.grid->EditorMode());
    f.grid->SetReadOnly(true);
    f.Key(Qt::Key_Space);
    EXPECT_EQ(suga->AsString(), QStringLiteral("Jā"));
}

// ---- leaving the grid -----------------------------------------------------------------------

TEST(GridFocus, LeavingFollowsGoFirstOnExit)
{
    for (TEdGridFirstOnExit mode : {TEdGridFirstOnExit::foeNever, TEdGridFirstOnExit::foeAlways}) {
        InputFixture<> f(6, kEditing);
        f.grid->SetGoFirstOnExit(mode);
        f.ds->SetRecNo(4);
        f.grid->MoveCol(3);
        f.other->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(f.RecNo(), mode == TEdGridFirstOnExit::foeNever ? 4 : 1);
        EXPECT_EQ(f.grid->Col(), 1) << "the first editable column";
    }
}

// ---- links ----------------------------------------------------------------------------------

TEST(GridLinks, OnlyWebAndMailAddressesOpen)
{
    InputFixture<> f(1);
    std::vector<QUrl> opened;
    UiServices::SetOpenUrlHook([&](const QUrl& u) { opened.push_back(u); });
    const struct {
        const char* text;
        bool opens;
    } cases[] = {{"https://example.com/a?b=1", true}, {"  http://mezs.lv  ", true}, {"mailto:info@mezs.lv", true},
                 {"HTTPS://EXAMPLE.COM", true},       {"C:\\Windows\\System32\\calc.exe", false},
                 {"/usr/bin/xterm", false},           {"file:///etc/passwd", false},
                 {"calc.exe", false},                 {"javascript:alert(1)", false},
                 {"http://", false},                  {"", false}};
    for (const auto& c : cases) {
        opened.clear();
        f.grid->OpenLinkTarget(QString::fromUtf8(c.text));
        EXPECT_EQ(opened.size(), c.opens ? 1u : 0u) << c.text;
    }
}

// A link column of a sort grid: a click on the text opens it, beside the text nothing happens.
TEST(GridLinks, ClickOnLinkTextOpensItAndFiresNoCellClick)
{
    SortGridOver<TestSortGrid> g(3);
    g.grid->SetOptions(kRowSelect);
    g.grid->SetReadOnly(true);
    g.grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(g.grid.get()));
    TField* suga = g.ds->FieldByName(QStringLiteral("SUGA"));
    static_cast<TStringField*>(suga)->SetFieldContents(TStringFieldContents::sfcURL);
    g.ds->SetRecNo(2);
    g.ds->Edit();
    suga->SetAsString(QStringLiteral("http://lv/"));
    g.ds->Post();
    g.grid->LayoutChanged();
    std::vector<QUrl> opened;
    int clicks = 0;
    UiServices::SetOpenUrlHook([&](const QUrl& u) { opened.push_back(u); });
    g.grid->OnCellClick = [&](TEkColumn*) { ++clicks; };
    const QRect cell = g.grid->CellRect(2, 2);
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(6, cell.height() / 2));
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 3, cell.center().y()));
    UiServices::SetOpenUrlHook({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("http://lv/")));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.grid->CellRect(1, 2).center());
    EXPECT_EQ(clicks, 1);
}

TEST(GridLinks, F11InARowSelectGridOpensTheOnlyLink)
{
    InputFixture<> f(2, kRowSelect);
    TField* suga = f.ds->FieldByName(QStringLiteral("SUGA"));
    static_cast<TStringField*>(suga)->SetFieldContents(TStringFieldContents::sfcURL);
    f.ds->Edit();
    suga->SetAsString(QStringLiteral("http://b.x"));
    f.ds->Post();
    std::vector<QUrl> opened;
    UiServices::SetOpenUrlHook([&](const QUrl& u) { opened.push_back(u); });
    f.Key(Qt::Key_F11);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].host(), QStringLiteral("b.x"));
    f.Key(Qt::Key_F11, Qt::ControlModifier); // without the lone-item shortcut: the menu shows it
    ASSERT_NE(f.grid->LinkPopup(), nullptr);
    EXPECT_TRUE(f.grid->LinkPopup()->isVisible());
    EXPECT_EQ(f.grid->LinkPopup()->actions().size(), 1);
    f.grid->LinkPopup()->hide();
}

TEST(GridLinks, LinkMenuShowsAnAmpersandOfTheAddressAsItIs)
{
    InputFixture<> f(2, kRowSelect);
    TField* suga = f.ds->FieldByName(QStringLiteral("SUGA"));
    static_cast<TStringField*>(suga)->SetFieldContents(TStringFieldContents::sfcURL);
    const QString address = QStringLiteral("mailto:a&b");
    f.ds->Edit();
    suga->SetAsString(address);
    f.ds->Post();
    f.Key(Qt::Key_F11, Qt::ControlModifier);
    ASSERT_NE(f.grid->LinkPopup(), nullptr);
    ASSERT_EQ(f.grid->LinkPopup()->actions().size(), 1);
    QAction* item = f.grid->LinkPopup()->actions().front();
    EXPECT_EQ(item->iconText(), address) << "the caption as shown, no shortcut mark";
    std::vector<QUrl> opened;
    UiServices::SetOpenUrlHook([&](const QUrl& u) { opened.push_back(u); });
    item->trigger();
    UiServices::SetOpenUrlHook({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(address));
    f.grid->LinkPopup()->hide();
}

} // namespace

namespace {
// Typed text reaches the field when the cursor moves on; Esc in the editor drops it.
TEST(GridEditText, TypedTextIsWrittenAndEscDropsIt)
{
    InputFixture<> f(3, kEditing);
    TField* suga = f.ds->FieldByName(QStringLiteral("SUGA"));
    f.grid->MoveCol(2);
    f.Type(QStringLiteral("Ozols"));
    ASSERT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->InplaceEditText(), QStringLiteral("Ozols"));
    QTest::keyClick(f.grid, Qt::Key_Down);
    EXPECT_EQ(f.RecNo(), 2);
    const QString second = suga->AsString();
    f.Type(QStringLiteral("Liepa"));
    QTest::keyClick(static_cast<QWidget*>(f.grid->InplaceEditor()), Qt::Key_Escape);
    QTest::keyClick(f.grid, Qt::Key_Down);
    EXPECT_EQ(f.Records(), (std::vector<int>{1, 2, 3}));
    f.ds->SetRecNo(1);
    EXPECT_EQ(suga->AsString(), QStringLiteral("Ozols"));
    f.ds->SetRecNo(2);
    EXPECT_EQ(suga->AsString(), second);
}
} // namespace
