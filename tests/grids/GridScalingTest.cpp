#include "GridTestUtil.h"

#include "grids/EInvalidGridOperation.h"
#include "platform/ui/InplaceEdit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(GridScaling, ScaleGrowsFontsAndOwnWidths)
{
    GridOver g(3);
    TestGrid& grid = *g.grid;
    QFont f = grid.TitleFont();
    f.setPixelSize(11);
    grid.SetTitleFont(f);
    TEkColumn* own = grid.Columns()->Items(0);
    TEkColumn* follows = grid.Columns()->Items(1);
    own->SetWidth(65); // own even where 64 happens to be the default
    own->SetWidth(64);
    const int followsWidth = follows->Width();

    grid.SetScale(1.5);
    EXPECT_EQ(grid.TitleFont().pixelSize(), 16) << "16.5 rounds half to even";
    EXPECT_EQ(own->Width(), 96);
    EXPECT_FALSE(follows->IsAssigned(TEkColumnValue::cvWidth));
    EXPECT_EQ(follows->Width(), follows->DefaultWidth()) << "a column without its own width follows its field";
    EXPECT_GT(follows->Width(), followsWidth) << "in the grid's scaled font";
    EXPECT_EQ(grid.ColWidths(1), 96);
    EXPECT_DOUBLE_EQ(grid.Scale(), 1.5);
    EXPECT_DOUBLE_EQ(IScalableComponent::ScaleOf(&grid), 1.5) << "image lists read it through the interface";

    grid.SetScale(1.5);
    EXPECT_EQ(grid.TitleFont().pixelSize(), 16);
    EXPECT_EQ(own->Width(), 96);

    for (double bad : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_THROW(grid.SetScale(bad), EInvalidGridOperation);
    EXPECT_DOUBLE_EQ(grid.Scale(), 1.5);
}

TEST(GridScaling, EditorComesBackAfterTheEventLoopTurns)
{
    GridOver g(3);
    TestGrid& grid = *g.grid;
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    grid.SetScale(1.25);
    EXPECT_FALSE(grid.EditorMode()) << "hidden while the scale changes";
    QApplication::processEvents();
    EXPECT_TRUE(grid.EditorMode());

    grid.SetScale(1.5);
    g.grid.reset(); // the grid dies before the event loop turns
    QApplication::processEvents();
    SUCCEED();
}

TEST(GridScaling, AutomaticWidthsShareTheClientWidth)
{
    auto ds = MakeTrees(3);
    ds->FieldByName(QStringLiteral("PIEZ"))->SetVisible(false);
    TDataSource source;
    source.SetDataSet(ds.get());
    TestGrid grid;
    grid.SetDataSource(&source);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.SetScrollBarsOn(TScrollStyle::ssNone);
    grid.show();
    const QSize frame = grid.size() - grid.viewport()->size();
    grid.resize(frame + QSize(311, 150));
    ASSERT_EQ(grid.ColWidths(0), 11);
    grid.SetAutoFitColumns(true);
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(grid.ColWidths(c), 100);
    grid.resize(frame + QSize(5, 150));
    for (int c = 0; c <= 3; ++c)
        EXPECT_GE(grid.ColWidths(c), 0);
    TestGrid empty;
    empty.Columns()->Clear();
    empty.AutoFitWidths();
}

} // namespace
