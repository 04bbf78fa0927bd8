#include "SortGridTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(SortGridInput, TitleClicksSortThenReverseAndShiftAddsAKey)
{
    SortGridOver<TestSortGrid> g(8);
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.Title(2)); // SUGA
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA ASC"));
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.Title(2));
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA DESC"));
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, g.Title(1));
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA DESC, KOKS_NR ASC"));
    EXPECT_EQ(g.Order(), (std::vector<int>{4, 8, 1, 5, 2, 6, 3, 7}));
    EXPECT_FALSE(g.grid->SortButtonDown());
}

TEST(SortGridInput, TitleDraggedAwayDoesNotSort)
{
    SortGridOver<TestSortGrid> g(4);
    QTest::mousePress(g.grid->viewport(), Qt::LeftButton, {}, g.Title(2));
    EXPECT_TRUE(g.grid->SortButtonDown());
    QMouseEvent move(QEvent::MouseMove, QPointF(g.Title(3)), QPointF(g.grid->viewport()->mapToGlobal(g.Title(3))),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(g.grid->viewport(), &move);
    EXPECT_FALSE(g.grid->SortButtonDown());
    QTest::mouseRelease(g.grid->viewport(), Qt::LeftButton, {}, g.Title(3));
    EXPECT_EQ(g.grid->Order().Count(), 0);
}

TEST(SortGridInput, CtrlPressGoesToTheCoreWithoutPressedLook)
{
    SortGridOver<TestSortGrid> g(4);
    QTest::mousePress(g.grid->viewport(), Qt::LeftButton, Qt::ControlModifier, g.Title(2));
    EXPECT_FALSE(g.grid->SortButtonDown());
    QTest::mouseRelease(g.grid->viewport(), Qt::LeftButton, Qt::ControlModifier, g.Title(2));
    EXPECT_EQ(g.grid->Order().Count(), 0);
}

TEST(SortGridInput, HeaderMenuEntriesFollowTheSortKey)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->SetOrderBy(QStringLiteral("SUGA"));
    g.grid->PopupCol = 2;
    g.grid->PrepareHeaderPopup(0, 0);
    QStringList v = g.VisibleItems();
    EXPECT_FALSE(v.contains(QStringLiteral("mnuSAsc")));
    EXPECT_TRUE(v.contains(QStringLiteral("mnuSDesc")));
    EXPECT_TRUE(v.contains(QStringLiteral("mnuSearch")));
    g.grid->HeaderPopup()->hide();

    g.grid->SetOrderBy(QStringLiteral("SUGA DESC, KOKS_NR"));
    g.grid->PopupCol = 2;
    g.grid->PrepareHeaderPopup(0, 0);
    v = g.VisibleItems();
    EXPECT_TRUE(v.contains(QStringLiteral("mnuSAsc")));
    EXPECT_FALSE(v.contains(QStringLiteral("mnuSDesc")));
    g.grid->HeaderPopup()->hide();

    g.grid->PopupCol = 1; // second key: both directions, no incremental search
    g.grid->PrepareHeaderPopup(0, 0);
    v = g.VisibleItems();
    EXPECT_TRUE(v.contains(QStringLiteral("mnuSAsc")));
    EXPECT_TRUE(v.contains(QStringLiteral("mnuSDesc")));
    EXPECT_FALSE(v.contains(QStringLiteral("mnuSearch")));
    g.grid->HeaderPopup()->hide();

    g.grid->PopupCol = 0; // the indicator column: no menu
    g.grid->PrepareHeaderPopup(0, 0);
    EXPECT_FALSE(g.grid->HeaderPopup()->isVisible());
}

TEST(SortGridInput, RightClickOnTitleOpensTheEditGridMenu)
{
    SortGridOver<TDBEditGrid> g(4);
    QTest::mouseClick(g.grid->viewport(), Qt::RightButton, {}, g.Title(1));
    ASSERT_TRUE(g.grid->HeaderPopup()->isVisible());
    EXPECT_EQ(g.VisibleItems(), (QStringList{QStringLiteral("mnuFind"), QStringLiteral("mnuExcel"),
                                             QStringLiteral("mnuOOXMLSpread"), QStringLiteral("mnuOOCalc")}));
    EXPECT_EQ(g.grid->PopupCol, 1);
    g.grid->HeaderPopup()->hide();

    int replaced = 0;
    g.grid->OnHeaderPopup = [&](TCustomDBSfmGrid*) { ++replaced; };
    QTest::mouseClick(g.grid->viewport(), Qt::RightButton, {}, g.Title(2));
    EXPECT_EQ(replaced, 1);
    EXPECT_FALSE(g.grid->HeaderPopup()->isVisible());
}

TEST(SortGridInput, MenuEntriesSortAndCallTheSearchHook)
{
    SortGridOver<TestSortGrid> g(4);
    QString searched = QStringLiteral("none");
    TCustomDBSfmGrid::ShowIncrementalSearchHook = [&](TCustomDBSfmGrid*, const QString& t) { searched = t; };
    g.grid->PopupCol = 1;
    g.Item("mnuSDesc")->trigger();
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("KOKS_NR DESC"));
    g.Item("mnuSearch")->trigger();
    EXPECT_EQ(searched, QString());
    g.Item("mnuNosort")->trigger();
    EXPECT_EQ(g.Order(), (std::vector<int>{1, 2, 3, 4}));
    TCustomDBSfmGrid::ShowIncrementalSearchHook = {};
}

TEST(SortGridInput, CtrlTapOpensTheMenuOfTheFocusColumn)
{
    SortGridOver<TDBEditGrid> g(4);
    g.grid->SetOptions(g.grid->Options() | dgRowSelect);
    g.grid->setFocus();
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(g.grid->SortButtonDown());
    QTest::keyPress(g.grid.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(g.grid->SortBtnCoord().X, 2);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    EXPECT_FALSE(g.grid->SortButtonDown());
    EXPECT_TRUE(g.grid->HeaderPopup()->isVisible());
    EXPECT_EQ(g.grid->PopupCol, 2);
    g.grid->HeaderPopup()->hide();

    // Ctrl used with another key does not open it.
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(g.grid.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    EXPECT_FALSE(g.grid->HeaderPopup()->isVisible());
}

TEST(SortGridInput, CtrlDownThenReleaseSortsDescending)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->setFocus();
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(g.grid.get(), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("KOKS_NR DESC"));
    EXPECT_EQ(g.Order(), (std::vector<int>{4, 3, 2, 1}));
}

TEST(SortGridInput, TypingInASortedGridOpensTheSearch)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->SetOptions(g.grid->Options() & ~dgEditing);
    g.grid->SetOrderBy(QStringLiteral("KOKS_NR"));
    g.grid->setFocus();
    QString searched = QStringLiteral("none");
    TCustomDBSfmGrid::ShowIncrementalSearchHook = [&](TCustomDBSfmGrid*, const QString& t) { searched = t; };
    BeepCounter beeps;
    QTest::keyClick(g.grid.get(), Qt::Key_7);
    EXPECT_EQ(searched, QStringLiteral("7"));
    EXPECT_EQ(g.grid->PopupCol, 1);
    searched = QStringLiteral("none");
    QTest::keyClick(g.grid.get(), Qt::Key_X);
    EXPECT_EQ(searched, QStringLiteral("none"));
    EXPECT_EQ(beeps.count, 1);
    TCustomDBSfmGrid::ShowIncrementalSearchHook = {};
}

TEST(SortGridInput, RowSelectArrowsScrollByColumns)
{
    SortGridOver<TDBEditGrid> g(4, QSize(150, 150));
    g.grid->SetOptions(g.grid->Options() | dgRowSelect);
    g.grid->setFocus();
    const int col = g.grid->Col();
    QTest::keyClick(g.grid.get(), Qt::Key_Right);
    EXPECT_EQ(g.grid->LeftCol(), 2);
    EXPECT_EQ(g.grid->Col(), col);
    QTest::keyClick(g.grid.get(), Qt::Key_Left);
    QTest::keyClick(g.grid.get(), Qt::Key_Left);
    EXPECT_EQ(g.grid->LeftCol(), 1);
}

TEST(SortGridInput, DoubleClickSetsTheFieldAndTitlesAreDropped)
{
    SortGridOver<TDBEditGrid> g(4);
    int clicks = 0;
    g.grid->OnDblClick = [&](TCustomDBSfmGrid*) { ++clicks; };
    QTest::mouseDClick(g.grid->viewport(), Qt::LeftButton, {}, g.Title(2));
    EXPECT_EQ(clicks, 0);
    const QPoint cell = g.grid->CellRect(2, 2).center();
    QTest::mouseDClick(g.grid->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(clicks, 1);
    ASSERT_NE(g.grid->DblClickedField, nullptr);
    EXPECT_EQ(g.grid->DblClickedField->FieldName(), QStringLiteral("SUGA"));
}

} // namespace

namespace {

// A title press cut short by a key must not bring back the order list of an earlier
// keyboard sort mode: the list has to keep matching the dataset's order.
TEST(SortGridInput, InterruptedTitlePressKeepsTheCurrentOrderList)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->setFocus();
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    g.grid->HeaderPopup()->hide();
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.Title(2));
    ASSERT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA ASC"));
    QTest::mousePress(g.grid->viewport(), Qt::LeftButton, {}, g.Title(1));
    QTest::keyClick(g.grid.get(), Qt::Key_Escape);
    EXPECT_FALSE(g.grid->SortButtonDown());
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA ASC"));
    // Up and Down in the keyboard mode show a direction; leaving the mode takes it back.
    QTest::mouseRelease(g.grid->viewport(), Qt::LeftButton, {}, g.Title(1));
    // A key typed before leaves the next Ctrl press dead until Ctrl is released.
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_FALSE(g.grid->SortButtonDown());
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(g.grid.get(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA DESC"));
    QTest::keyPress(g.grid.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA ASC"));
    QTest::keyRelease(g.grid.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
}

} // namespace

namespace {

// Ctrl held long enough to repeat after Down: releasing it still sorts, as a quick tap does.
TEST(SortGridInput, RepeatedCtrlKeepsTheDirectionChosenInTheMode)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->setFocus();
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(g.grid.get(), Qt::Key_Down, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, QString(), true);
    QApplication::sendEvent(g.grid.get(), &repeat);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    EXPECT_FALSE(g.grid->HeaderPopup()->isVisible());
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("KOKS_NR DESC"));
}

} // namespace

namespace {

// A Ctrl shortcut taken by a menu action leaves the Ctrl release without the header menu.
TEST(SortGridInput, CtrlShortcutCancelsTheTap)
{
    SortGridOver<TDBEditGrid> g(3);
    QWidget window;
    g.grid->setParent(&window);
    int triggered = 0;
    QAction action(QStringLiteral("Saglabāt"), &window);
    action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    window.addAction(&action);
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    window.show();
    window.activateWindow();
    g.grid->setFocus();
    QApplication::processEvents();
    QTest::keyPress(g.grid.get(), Qt::Key_Control, Qt::ControlModifier);
    QKeyEvent over(QEvent::ShortcutOverride, Qt::Key_S, Qt::ControlModifier, QStringLiteral("s"));
    QApplication::sendEvent(g.grid.get(), &over);
    QTest::keyRelease(g.grid.get(), Qt::Key_Control, {});
    EXPECT_FALSE(g.grid->HeaderPopup()->isVisible());
    g.grid->setParent(nullptr);
}

} // namespace
