#include "GridTestUtil.h"
#include "SortGridTestUtil.h"
#include "grids/TColumnDragObject.h"

#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A grid showing KOKS_NR, SUGA, DATUMS, PIEZ, SLEPTS as grid columns 1..5.
template <class Grid>
struct Dragging {
    std::unique_ptr<TClientDataSet> ds = MakeTrees(6);
    TDataSource source;
    Grid grid;

    explicit Dragging(bool own = true, QSize client = QSize(600, 160))
    {
        source.SetDataSet(ds.get());
        if (own)
            for (const char* n : {"KOKS_NR", "SUGA", "DATUMS", "PIEZ", "SLEPTS"})
                grid.Columns()->Add()->SetFieldName(QString::fromLatin1(n));
        grid.SetDataSource(&source);
        grid.show();
        grid.resize(grid.size() - grid.viewport()->size() + client);
        for (int c = 1; c < grid.ColCount(); ++c)
            grid.SetColWidths(c, 80);
        QApplication::processEvents();
    }
    QStringList Shown()
    {
        QStringList r;
        for (int i = 0; i < grid.Columns()->Count(); ++i)
            r << grid.Columns()->Items(i)->FieldName();
        return r;
    }
    QPoint Title(int col, double at = 0.5)
    {
        const QRect r = grid.CellRect(col, 0);
        return QPoint(r.left() + int(r.width() * at), r.center().y());
    }
    void Move(const QPoint& p)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(grid.viewport()->mapToGlobal(p)), Qt::NoButton,
                      Qt::LeftButton, {});
        QApplication::sendEvent(grid.viewport(), &e);
    }
    // Presses at from, moves there in steps and, unless told not to, releases.
    void Drag(const QPoint& from, const QPoint& to, bool release = true)
    {
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
        Move(from + QPoint(1, 0));
        for (int i = 1; i <= 4; ++i)
            Move(from + (to - from) * i / 4);
        if (release)
            QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    }
};

TEST(ColumnDrag, DropPlaceFollowsTheHalfOfTheTitle)
{
    struct Case {
        const char* what;
        int col;
        double at;
        QStringList expected;
    } cases[] = {
        {"right half of column 5", 5, 0.75, {"KOKS_NR", "SUGA", "PIEZ", "SLEPTS", "DATUMS"}},
        {"left half of column 5", 5, 0.25, {"KOKS_NR", "SUGA", "PIEZ", "DATUMS", "SLEPTS"}},
        {"left neighbour", 2, 0.75, {"KOKS_NR", "DATUMS", "SUGA", "PIEZ", "SLEPTS"}},
        {"right neighbour", 4, 0.25, {"KOKS_NR", "SUGA", "PIEZ", "DATUMS", "SLEPTS"}},
        {"beyond the last column", 5, 1.5, {"KOKS_NR", "SUGA", "PIEZ", "SLEPTS", "DATUMS"}},
        {"indicator", 0, 0.5, {"DATUMS", "KOKS_NR", "SUGA", "PIEZ", "SLEPTS"}},
    };
    for (const Case& c : cases) {
        Dragging<TestGrid> d;
        int moved = 0;
        d.grid.OnColumnMoved = [&](TCustomDBEdGrid*, int, int) { ++moved; };
        d.Drag(d.Title(3), d.Title(c.col, c.at));
        EXPECT_EQ(d.Shown(), c.expected) << c.what;
        EXPECT_EQ(moved, 1) << c.what;
        EXPECT_EQ(TColumnDragObject::Current(), nullptr);
        EXPECT_EQ(d.grid.DragColumnIndex(), -1);
    }
}

TEST(ColumnDrag, MarkShowsWhereTheColumnGoesAndEscCancels)
{
    Dragging<TestGrid> d;
    d.Drag(d.Title(2), d.Title(4, 0.25), false);
    ASSERT_NE(TColumnDragObject::Current(), nullptr);
    EXPECT_EQ(d.grid.DragColumnIndex(), 2);
    QLabel* mark = d.grid.DragMarkLabel();
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->geometry().center().x(), d.grid.CellRect(4, 0).left() - 1);
    EXPECT_EQ(TColumnDragObject::LastDragMarkRect, mark->geometry());

    d.Move(d.Title(2));
    EXPECT_FALSE(mark->isVisible()) << "over its own place: nowhere to go";
    d.Move(d.Title(4, 0.25));
    QTest::keyClick(&d.grid, Qt::Key_Escape);
    EXPECT_EQ(TColumnDragObject::Current(), nullptr);
    EXPECT_FALSE(mark->isVisible());
    QTest::mouseRelease(d.grid.viewport(), Qt::LeftButton, {}, d.Title(4, 0.25));
    EXPECT_EQ(d.Shown(), (QStringList{"KOKS_NR", "SUGA", "DATUMS", "PIEZ", "SLEPTS"}));
}

TEST(ColumnDrag, ShortMoveStartsNoDragAndTheTitleIsClicked)
{
    Dragging<TestGrid> d;
    TEkColumn* clicked = nullptr;
    d.grid.OnTitleClick = [&](TEkColumn* c) { clicked = c; };
    d.Drag(d.Title(2), d.Title(2) + QPoint(2, 1), false);
    EXPECT_EQ(TColumnDragObject::Current(), nullptr);
    EXPECT_EQ(d.grid.DragColumnIndex(), -1);
    QTest::mouseRelease(d.grid.viewport(), Qt::LeftButton, {}, d.Title(2) + QPoint(2, 1));
    EXPECT_EQ(d.Shown().first(), "KOKS_NR");
    EXPECT_EQ(clicked, d.grid.Columns()->Items(1));

    clicked = nullptr;
    d.Drag(d.Title(2), d.Title(4));
    EXPECT_EQ(clicked, nullptr) << "a drop is no click";
}

TEST(ColumnDrag, DraggedOffTheGridIsRemovedOnlyBelowOrFarAway)
{
    struct Case {
        QPoint offset; // from the grid's bottom-left corner, in grid coordinates
        bool veto;
        bool removed;
    } cases[] = {
        {{-10, -40}, false, false}, // 10 pixels left of the grid
        {{30, 5}, false, true},     // below the bottom edge
        {{30, 5}, true, false},     // the event says no
    };
    for (const Case& c : cases) {
        Dragging<TestGrid> d;
        d.grid.SetExtOptions(d.grid.ExtOptions() | geoDragRemoveColumn);
        QString asked;
        d.grid.OnColumnRemove = [&](TCustomDBEdGrid*, const QString& name, bool& doRemove) {
            asked = name;
            doRemove = !c.veto;
        };
        const QPoint to = d.grid.viewport()->mapFrom(&d.grid, QPoint(0, d.grid.height()) + c.offset);
        d.Drag(d.Title(2), to);
        EXPECT_EQ(d.Shown().contains("SUGA"), !c.removed) << c.offset.x() << "," << c.offset.y();
        EXPECT_EQ(asked.isEmpty(), c.offset.x() < 0);
    }

    Dragging<TestGrid> kept;
    kept.grid.SetExtOptions(kept.grid.ExtOptions() | geoDragRemoveColumn);
    kept.grid.SetUseColumnsDesc(true);
    kept.Drag(kept.Title(2), kept.grid.viewport()->mapFrom(&kept.grid, QPoint(30, kept.grid.height() + 5)));
    EXPECT_FALSE(kept.Shown().contains("SUGA"));
    EXPECT_NE(kept.grid.ColumnByFieldName("SUGA"), nullptr) << "with a columns description it is only hidden";
}

TEST(ColumnDrag, DefaultColumnsStayWhereTheyWereDropped)
{
    Dragging<TestGrid> d(false);
    ASSERT_EQ(d.Shown(), (QStringList{"KOKS_NR", "SUGA", "DATUMS", "PIEZ"}));
    d.Drag(d.Title(1), d.Title(3, 0.75));
    d.grid.LayoutChanged();
    EXPECT_EQ(d.Shown(), (QStringList{"SUGA", "DATUMS", "KOKS_NR", "PIEZ"}));
    EXPECT_EQ(d.ds->Fields(2)->FieldName(), "KOKS_NR");
    d.ds->First();
    EXPECT_EQ(d.ds->FieldByName("KOKS_NR")->AsInteger(), 1) << "values go with their field";
    EXPECT_EQ(d.ds->FieldByName("SUGA")->AsString(), "Egle");
}

TEST(ColumnDrag, HeldAtTheEdgeScrollsTheHiddenColumnsIn)
{
    Dragging<TestGrid> d(true, QSize(200, 160));
    ASSERT_LT(d.grid.LeftCol() + d.grid.VisibleColCount(), d.grid.ColCount());
    d.Drag(d.Title(1), QPoint(d.grid.viewport()->width() - 5, 5), false);
    ASSERT_NE(d.grid.DragScrollTimer(), nullptr);
    EXPECT_TRUE(d.grid.DragScrollTimer()->isActive());
    EXPECT_EQ(d.grid.DragScrollTimer()->interval(), 320);
    const int left = d.grid.LeftCol();
    d.Move(QPoint(d.grid.viewport()->width() + 10, 5));
    d.grid.DragScrollTick();
    EXPECT_EQ(d.grid.LeftCol(), left + 1);
    EXPECT_TRUE(d.grid.DragScrollTimer()->isActive()) << "outside the grid it goes on";
    QTest::keyClick(&d.grid, Qt::Key_Escape);
    QTest::mouseRelease(d.grid.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
}

TEST(ColumnDrag, ScreenGridMovesATitleDraggedOffItsSortButton)
{
    Dragging<TDBEditGrid> d;
    d.Drag(d.Title(1), d.Title(3, 0.75));
    EXPECT_EQ(d.Shown(), (QStringList{"SUGA", "DATUMS", "KOKS_NR", "PIEZ", "SLEPTS"}));
}

TEST(ColumnFit, DoubleClickOnATitleEdgeFitsWhenAsked)
{
    for (bool asked : {false, true}) {
        Dragging<TestGrid> d;
        if (asked)
            d.grid.SetExtOptions(d.grid.ExtOptions() | geoAutoFitOnDblClick);
        const QRect r = d.grid.CellRect(2, 0);
        QTest::mouseDClick(d.grid.viewport(), Qt::LeftButton, {}, QPoint(r.left() + r.width(), r.center().y()));
        // Values are measured in bold, the font of the current row.
        QFont bold = d.grid.Columns()->Items(1)->Font();
        bold.setBold(true);
        const int fitted = std::max(d.grid.TextWidth(bold, "Priede"), d.grid.TextWidth(d.grid.TitleFont(), "SUGA"))
                           + d.grid.ScaleValue(10);
        EXPECT_EQ(d.grid.Columns()->Items(1)->Width() == fitted, asked);
    }
}

TEST(ColumnFit, TitleAndTextsUpToTheLimit)
{
    Dragging<TestGrid> d;
    TEkColumn* suga = d.grid.Columns()->Items(1);
    // Values are measured in bold, the font of the current row.
    QFont font = suga->Font();
    font.setBold(true);
    const int texts = std::max(d.grid.TextWidth(font, "Priede"), d.grid.TextWidth(font, "Bērzs"));
    const int title = d.grid.TextWidth(suga->Title()->Font(), "SUGA");
    d.grid.AutoFitColumn(2, {});
    EXPECT_EQ(suga->Width(), std::max(texts, title) + d.grid.ScaleValue(10));
    d.grid.AutoFitColumn(2, Qt::ControlModifier);
    EXPECT_EQ(suga->Width(), std::max(title, d.grid.ScaleValue(5)) + d.grid.ScaleValue(10)) << "Ctrl: the title";

    d.ds->Last();
    d.ds->Edit();
    d.ds->FieldByName("SUGA")->SetAsString(QString(200, QLatin1Char('W')).left(10));
    d.ds->Post();
    d.grid.SetGridFont(QFont(d.grid.font().family(), 72));
    d.grid.AutoFitColumn(2, Qt::ShiftModifier);
    EXPECT_EQ(d.grid.Columns()->Items(1)->Width(), d.grid.ScaleValue(610)) << "wider than 600: 600 and the margin";
    EXPECT_EQ(d.ds->RecNo(), d.ds->RecordCount()) << "back on the record it was on";
}

} // namespace
