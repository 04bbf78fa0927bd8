#include "platform/ui/CustomGrid.h"
#include "platform/ui/InplaceEdit.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// Records what the paint loop asks for.
class RecordingGrid : public TCustomGrid {
public:
    struct Drawn { int col, row; QRect rect; TGridDrawState state; };
    std::vector<Drawn> drawn;
    std::vector<std::pair<int, int>> moves;
    std::map<std::pair<int, int>, QString> texts;
    int widthChanges = 0;

    void DrawCell(int col, int row, const QRect& rect, TGridDrawState state) override
    {
        drawn.push_back({col, row, rect, state});
        TCustomGrid::DrawCell(col, row, rect, state);
    }
    void ColumnMoved(int from, int to) override { moves.emplace_back(from, to); }
    void ColWidthsChanged() override { ++widthChanges; TCustomGrid::ColWidthsChanged(); }
    QString GetEditText(int c, int r) override { return texts[{c, r}]; }
    void SetEditText(int c, int r, const QString& v) override { texts[{c, r}] = v; }
    std::set<int> drawnRows() const
    {
        std::set<int> rows;
        for (const auto& d : drawn)
            rows.insert(d.row);
        return rows;
    }
};

struct GridFixture : ::testing::Test {
    RecordingGrid grid;
    void SetUp() override
    {
        grid.SetColCount(5);
        grid.SetRowCount(100);
        grid.SetDefaultColWidth(50);
        grid.SetDefaultRowHeight(20);
        // Room for 4 columns and 9 data rows under the fixed row, lines included.
        grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        grid.show();
        const QSize frame = grid.size() - grid.viewport()->size();
        grid.resize(frame + QSize(4 * 51 + 20, 10 * 21 + 5));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        paintNow();
    }
    void paintNow()
    {
        QApplication::processEvents();
        grid.UpdatePending();
        QApplication::processEvents();
    }
};

TEST_F(GridFixture, GeometryAndHitTesting)
{
    EXPECT_EQ(grid.CellRect(0, 0), QRect(0, 0, 50, 20));
    EXPECT_EQ(grid.CellRect(2, 3), QRect(102, 63, 50, 20));
    EXPECT_EQ(grid.VisibleRowCount(), 9);
    EXPECT_EQ(grid.VisibleColCount(), 3);
    const TGridCoord c = grid.MouseCoord(105, 65);
    EXPECT_EQ(c.X, 2);
    EXPECT_EQ(c.Y, 3);
    EXPECT_EQ(grid.MouseCoord(-1, 5).X, -1);

    grid.SetTopRow(10);
    EXPECT_FALSE(grid.CellRect(2, 3).isValid()) << "scrolled out of view";
    EXPECT_EQ(grid.CellRect(2, 10).top(), 21);
    EXPECT_EQ(grid.CellRect(2, 0).top(), 0) << "fixed rows stay";
    EXPECT_EQ(grid.MouseCoord(105, 25).Y, 10);
}

TEST_F(GridFixture, PaintStatesAndOnlyVisibleCells)
{
    grid.drawn.clear();
    grid.InvalidateGrid();
    paintNow();
    ASSERT_FALSE(grid.drawn.empty());
    for (const auto& d : grid.drawn) {
        EXPECT_EQ(bool(d.state & gdFixed), d.col == 0 || d.row == 0);
        EXPECT_EQ(bool(d.state & gdSelected), d.col == 1 && d.row == 1);
        EXPECT_LE(d.row, 10) << "rows below the client area are not painted";
    }
    grid.SetOptions(grid.Options() | goRowSelect);
    grid.drawn.clear();
    grid.InvalidateGrid();
    paintNow();
    for (const auto& d : grid.drawn) {
        if (d.row == 1 && d.col > 0) {
            EXPECT_TRUE(d.state & gdSelected);
        }
    }
}

TEST_F(GridFixture, ScrollingOneRowRepaintsOnlyTheUncoveredRow)
{
    grid.drawn.clear();
    grid.SetTopRow(2);
    paintNow();
    EXPECT_EQ(grid.drawnRows(), (std::set<int>{10, 11})) << "the old partial last row and the new one";
    grid.drawn.clear();
    grid.SetTopRow(50);
    paintNow();
    EXPECT_GE(grid.drawnRows().size(), 9u) << "a long jump repaints everything";
}

TEST_F(GridFixture, KeyboardMovesTheCurrentCellAndScrolls)
{
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 2);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 2);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(grid.Row(), 11);
    EXPECT_EQ(grid.TopRow(), 3) << "the current row is scrolled into view";
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 99);
    EXPECT_EQ(grid.Col(), 4);
    EXPECT_EQ(grid.TopRow(), grid.MaxTopRow());
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(GridFixture, MouseSelectsSizesAndMovesColumns)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(110, 70));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);

    grid.SetOptions(grid.Options() | goColSizing | goColMoving);
    // Drag the right edge of column 1 (at x 100) 30 pixels to the right.
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseMove(grid.viewport(), QPoint(130, 10));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(130, 10));
    EXPECT_EQ(grid.ColWidths(1), 80);

    // Drag the title of column 1 onto column 2.
    grid.SetColWidths(1, 50);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(70, 10));
    QTest::mouseMove(grid.viewport(), QPoint(90, 10));
    QTest::mouseMove(grid.viewport(), QPoint(125, 10));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(125, 10));
    ASSERT_EQ(grid.moves.size(), 1u);
    EXPECT_EQ(grid.moves[0], std::make_pair(1, 2));
}

TEST_F(GridFixture, EditorShowsTheCellTextAndWritesBack)
{
    grid.texts[{1, 1}] = "abc";
    grid.ShowEditor();
    EXPECT_FALSE(grid.EditorMode()) << "no editing without goEditing";
    grid.SetOptions(grid.Options() | goEditing);
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.InplaceEditor()->text(), "abc");
    EXPECT_EQ(grid.InplaceEditor()->geometry(), grid.CellRect(1, 1));
    QTest::keyClicks(grid.InplaceEditor(), "d");
    EXPECT_EQ((grid.texts[{1, 1}]), "abcd");
    grid.SetRow(2);
    EXPECT_EQ(grid.InplaceEditor()->geometry(), grid.CellRect(1, 2)) << "the editor follows the current cell";
    grid.HideEditor();
    EXPECT_FALSE(grid.EditorMode());
}

TEST(UiServicesTest, SeamsReplaceScreenClockBellAndBoxes)
{
    int beeps = 0;
    UiServices::SetPixelsPerInchHook([](const QWidget*) { return 144; });
    UiServices::SetClockHook([] { return qint64(4242); });
    UiServices::SetBeepHook([&] { ++beeps; });
    UiServices::SetMessageBoxHook([](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                     QMessageBox::StandardButtons) {
        return text == "ok?" ? QMessageBox::Yes : QMessageBox::No;
    });
    RecordingGrid grid;
    EXPECT_EQ(grid.PixelsPerInch(), 144);
    EXPECT_EQ(UiServices::TickCount(), 4242);
    UiServices::Beep();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(UiServices::MessageBox(nullptr, "ok?", "c", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No),
              QMessageBox::Yes);
    UiServices::SetPixelsPerInchHook({});
    UiServices::SetClockHook({});
    UiServices::SetBeepHook({});
    UiServices::SetMessageBoxHook({});
    EXPECT_NE(UiServices::TickCount(), -1);
}

} // namespace
