#include "GridTestUtil.h"

#include "grids/PassthroughColumn.h"

#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

QStringList columnNames(const TCustomDBEdGrid& grid)
{
    QStringList r;
    for (int i = 0; i < grid.Columns()->Count(); ++i)
        r << grid.Columns()->Items(i)->FieldName();
    return r;
}

TEST(GridLayout, WithoutADatasetOneEmptyColumnAndRow)
{
    TestGrid grid;
    grid.LayoutChanged();
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 2);
    ASSERT_EQ(grid.Columns()->Count(), 1);
    EXPECT_NE(dynamic_cast<TPassthroughColumn*>(grid.Columns()->Items(0)), nullptr);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
}

TEST(GridLayout, DefaultColumnsFollowVisibleFields)
{
    GridOver g(3);
    EXPECT_EQ(columnNames(*g.grid), (QStringList{"KOKS_NR", "SUGA", "DATUMS", "PIEZ"})) << "the hidden field has none";
    EXPECT_EQ(g.grid->Columns()->State(), TDBEdGridColumnsState::csDefault);
    EXPECT_EQ(g.grid->RowCount(), 4) << "title and three records";
    EXPECT_EQ(g.grid->ColCount(), 5);

    g.ds->FieldByName(QStringLiteral("KOKS_NR"))->SetVisible(false);
    EXPECT_EQ(columnNames(*g.grid), (QStringList{"SUGA", "DATUMS", "PIEZ"}));
    g.ds->FieldByName(QStringLiteral("SLEPTS"))->SetVisible(true);
    EXPECT_EQ(columnNames(*g.grid), (QStringList{"SUGA", "DATUMS", "PIEZ", "SLEPTS"}));
}

TEST(GridLayout, DefaultColumnsWriteThroughToTheirFields)
{
    GridOver g(3);
    TEkColumn* suga = g.grid->ColumnByFieldName(QStringLiteral("SUGA"));
    TField* field = g.ds->FieldByName(QStringLiteral("SUGA"));
    suga->Title()->SetCaption(QStringLiteral("Suga"));
    EXPECT_EQ(field->DisplayLabel(), "Suga");
    EXPECT_FALSE(suga->IsAssigned(TEkColumnValue::cvTitleCaption));
    suga->SetAlignment(TAlignment::taRightJustify);
    EXPECT_EQ(field->Alignment(), TAlignment::taRightJustify);
    EXPECT_FALSE(suga->IsAssigned(TEkColumnValue::cvAlignment));
    const int avg = g.grid->AverageCharWidth(suga->Font());
    suga->SetWidth(20 * avg + 4);
    EXPECT_EQ(field->DisplayWidth(), 20);
    EXPECT_EQ(g.grid->Columns()->State(), TDBEdGridColumnsState::csDefault);
}

TEST(GridLayout, RestrictedFields)
{
    auto ds = MakeTrees(2);
    ds->FieldByName(QStringLiteral("SUGA"))->SetRestricted(TFieldRestrictType::frtView);
    ds->FieldByName(QStringLiteral("DATUMS"))->SetRestricted(TFieldRestrictType::frtEdit);
    TDataSource source;
    source.SetDataSet(ds.get());
    TestGrid grid;
    grid.InvisibleColumns()->Add()->SetFieldName(QStringLiteral("SUGA"));
    grid.SetDataSource(&source);
    EXPECT_EQ(columnNames(grid), (QStringList{"KOKS_NR", "DATUMS", "PIEZ"}));
    EXPECT_EQ(grid.InvisibleColumns()->Count(), 0) << "a view-restricted field is never a column";
    EXPECT_TRUE(grid.ColumnByFieldName(QStringLiteral("DATUMS"))->ReadOnly());
    EXPECT_FALSE(grid.TabStops(2)) << "no tab stop in a read-only column";
    EXPECT_TRUE(grid.TabStops(1));
    EXPECT_FALSE(grid.ColumnByFieldName(QStringLiteral("KOKS_NR"))->ReadOnly());
}

TEST(GridLayout, OwnColumnWithoutAFieldStaysUnbound)
{
    auto ds = MakeTrees(2);
    TDataSource source;
    source.SetDataSet(ds.get());
    TestGrid grid;
    grid.Columns()->Add()->SetFieldName(QStringLiteral("SUGA"));
    grid.Columns()->Add()->SetFieldName(QStringLiteral("NAV_TADA"));
    grid.SetDataSource(&source);
    EXPECT_EQ(columnNames(grid), (QStringList{"SUGA", "NAV_TADA"}));
    EXPECT_EQ(grid.DataLink()->GetMappedIndex(1), -1);
    EXPECT_EQ(grid.Columns()->Items(1)->Field(), nullptr);
    EXPECT_FALSE(grid.DataLink()->DefaultFields());
    EXPECT_EQ(grid.FieldCount(), 2);
}

TEST(GridLayout, RowSelectDropsEditing)
{
    TestGrid grid;
    grid.SetOptions(TCustomDBEdGrid::DefaultOptions | dgRowSelect);
    EXPECT_FALSE(grid.Options() & dgEditing);
    EXPECT_FALSE(grid.Options() & dgAlwaysShowEditor);
    EXPECT_TRUE(grid.Options() & dgRowSelect);
}

TEST(GridLayout, TitleRowAndIndicatorFollowResolutionAndScale)
{
    struct Case { int ppi; double scale; int margin; int indicator; };
    const Case cases[] = {{96, 1.0, 10, 11}, {144, 1.0, 15, 16}, {96, 1.5, 15, 16}, {144, 1.5, 22, 25}};
    for (const Case& c : cases) {
        UiServices::SetPixelsPerInchHook([&](const QWidget*) { return c.ppi; });
        GridOver g(2);
        QFont f = g.grid->TitleFont();
        f.setPixelSize(11);
        g.grid->SetTitleFont(f);
        g.grid->SetScale(c.scale);
        const int text = g.grid->TextHeight(g.grid->TitleFont(), QStringLiteral("Wg"));
        EXPECT_EQ(g.grid->ScaleValue(10), c.margin);
        EXPECT_EQ(g.grid->RowHeights(0), text + c.margin) << c.ppi << " " << c.scale;
        EXPECT_EQ(g.grid->ColWidths(0), c.indicator);
        EXPECT_EQ(g.grid->DefaultRowHeight(), g.grid->TextHeight(g.grid->GridFont(), QStringLiteral("Wg")) + 3 + 1)
            << "data rows follow the font alone";
    }
    UiServices::SetPixelsPerInchHook({});
}

TEST(GridLayout, ScrollBarShowsTheCursor)
{
    GridOver g(50);
    TestGrid& grid = *g.grid;
    const int page = grid.VisibleRowCount();
    ASSERT_GT(page, 2);
    EXPECT_EQ(grid.VertBarMin(), 1);
    EXPECT_EQ(grid.VertBarPage(), page);
    EXPECT_EQ(grid.VertBarMax(), 50 + page - 1);
    EXPECT_EQ(grid.VertBarPos(), 1);
    g.ds->MoveBy(9);
    EXPECT_EQ(grid.VertBarPos(), 10);
    EXPECT_EQ(grid.verticalScrollBar()->value(), 10);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(g.ds->RecNo(), 50);
    EXPECT_EQ(grid.Row(), page) << "the last record on the last visible row";

    grid.sequenced = false;
    g.ds->First();
    EXPECT_EQ(grid.VertBarPos(), 0);
    EXPECT_EQ(grid.VertBarMax(), 4);
    EXPECT_EQ(grid.VertBarPage(), 0);
    g.ds->Next();
    EXPECT_EQ(grid.VertBarPos(), 2);
    g.ds->Last();
    EXPECT_EQ(grid.VertBarPos(), 4);
}

TEST(GridLayout, KeysAndMouseMoveTheDatasetCursor)
{
    GridOver g(30);
    TestGrid& grid = *g.grid;
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(g.ds->RecNo(), 3);
    EXPECT_EQ(grid.Row(), 3);
    const QRect cell = grid.CellRect(2, 5);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(g.ds->RecNo(), 5);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.SelectedField(), g.ds->FieldByName(QStringLiteral("SUGA")));

    g.ds->DisableControls();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(g.ds->RecNo(), 5) << "no input while the dataset's controls are disabled";
    g.ds->EnableControls();
}

TEST(GridLayout, NestedLayoutLocksLayOutOnce)
{
    GridOver g(3);
    TestGrid& grid = *g.grid;
    const int before = grid.LayoutCount();
    grid.BeginLayout();
    grid.BeginLayout();
    grid.Columns()->Items(0)->Title()->SetCaption(QStringLiteral("A"));
    grid.SetOptions(grid.Options() & ~dgIndicator);
    grid.LayoutChanged();
    grid.EndLayout();
    EXPECT_EQ(grid.LayoutCount(), before);
    grid.EndLayout();
    EXPECT_EQ(grid.LayoutCount(), before + 1);
    EXPECT_EQ(grid.IndicatorOffset(), 0);
    EXPECT_EQ(grid.LayoutLock(), 0);
    EXPECT_EQ(grid.UpdateLock(), 0);
}

TEST(GridLayout, LayoutDeferredWhileControlsAreDisabled)
{
    GridOver g(3);
    TestGrid& grid = *g.grid;
    TEkColumn* suga = grid.ColumnByFieldName(QStringLiteral("SUGA"));
    ASSERT_NE(suga, nullptr);
    g.ds->DisableControls();
    const int before = grid.LayoutCount();
    grid.FieldRemoved(suga->BoundField(), false);
    EXPECT_EQ(grid.LayoutCount(), before) << "deferred";
    EXPECT_EQ(grid.LayoutLock(), 0);
    grid.FieldRemoved(nullptr, false);
    QApplication::processEvents();
    EXPECT_EQ(grid.LayoutCount(), before + 1) << "one deferred layout on a later turn";
    g.ds->EnableControls();
}

TEST(GridLayout, DatasetDestroyedFirstLeavesTheGridEmpty)
{
    auto ds = MakeTrees(5);
    TDataSource source;
    source.SetDataSet(ds.get());
    TestGrid grid;
    grid.Columns()->Add()->SetFieldName(QStringLiteral("SUGA"));
    grid.SetDataSource(&source);
    grid.show();
    grid.PaintNow();
    ASSERT_NE(grid.Columns()->Items(0)->BoundField(), nullptr);
    grid.Columns()->Items(0)->SetPKField(ds->FieldByName(QStringLiteral("KOKS_NR")));
    ds.reset();
    EXPECT_EQ(grid.Columns()->Items(0)->PKField(), nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(grid.LinkActive());
    EXPECT_EQ(grid.Columns()->Items(0)->BoundField(), nullptr);
    EXPECT_EQ(grid.RowCount(), 2);
    grid.InvalidateGrid();
    grid.PaintNow();
    EXPECT_EQ(grid.GetEditText(1, 1), QString());
}

TEST(GridLayout, DataSourceDestroyedFirst)
{
    auto ds = MakeTrees(3);
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(ds.get());
    TestGrid grid;
    grid.SetDataSource(source.get());
    ASSERT_TRUE(grid.LinkActive());
    source.reset();
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_FALSE(grid.LinkActive());
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST(GridLayout, TitleFontOfItsOwnSwitchesParentFontOff)
{
    GridOver g(2);
    TestGrid& grid = *g.grid;
    EXPECT_TRUE(grid.ParentFont());
    QFont f = grid.TitleFont();
    f.setPixelSize(30);
    const int before = grid.LayoutCount();
    grid.SetTitleFont(f);
    EXPECT_FALSE(grid.ParentFont());
    EXPECT_EQ(grid.LayoutCount(), before + 1);
    EXPECT_EQ(grid.RowHeights(0), grid.TextHeight(f, QStringLiteral("Wg")) + grid.ScaleValue(10));
    grid.SetParentFont(true);
    EXPECT_EQ(grid.TitleFont(), grid.GridFont());
}

TEST(GridLayout, UserSizedColumnKeepsItsWidth)
{
    GridOver g(3);
    TestGrid& grid = *g.grid;
    const QRect title = grid.CellRect(1, 0);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(title.right() + 1, title.center().y()));
    QTest::mouseMove(grid.viewport(), QPoint(title.right() + 31, title.center().y()));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(title.right() + 31, title.center().y()));
    EXPECT_EQ(grid.ColWidths(1), title.width() + 30);
    EXPECT_EQ(grid.Columns()->Items(0)->Width(), title.width() + 30);
}

} // namespace
