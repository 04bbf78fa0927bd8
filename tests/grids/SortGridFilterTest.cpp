#include "SortGridTestUtil.h"

#include "controls/ControlsModule.h"
#include "controls/KelpSkinManager.h"
#include "grids/EInvalidFieldNr.h"
#include "grids/SFMWarningColumn.h"

#include <QDir>
#include <QImage>
#include <map>
#include <set>
#include <gtest/gtest.h>

namespace {

TEST(SortGridFilter, ConditionsJoinIntoTheDatasetFilter)
{
    SortGridOver<TestSortGrid> g(8);
    g.ds->First();
    g.ds->MoveBy(1); // KOKS_NR 2
    g.grid->PopupCol = 1;
    g.Item("mnuCreFlt")->trigger();
    EXPECT_EQ(g.ds->Filter(), QStringLiteral("(KOKS_NR=2)"));
    EXPECT_TRUE(g.ds->Filtered());
    EXPECT_EQ(g.Order(), (std::vector<int>{2}));

    g.ds->SetFiltered(false);
    g.ds->Locate(QStringLiteral("KOKS_NR"), Value(3));
    g.ds->Edit();
    g.ds->FieldByName(QStringLiteral("SUGA"))->SetAsString(QStringLiteral("O'Ap"));
    g.ds->Post();
    g.ds->SetFiltered(true);
    g.grid->FilterList().Items.clear();
    g.ds->SetFilter(QString());
    g.ds->SetFiltered(false);
    g.ds->Locate(QStringLiteral("KOKS_NR"), Value(3));
    EXPECT_TRUE(g.grid->FilterGrid(0, true, false, false));
    EXPECT_TRUE(g.grid->FilterGrid(1, false, true, false));
    EXPECT_EQ(g.ds->Filter(), QStringLiteral("(KOKS_NR=3) AND (NOT SUGA='O''Ap')"));
    EXPECT_TRUE(g.Order().empty());

    g.grid->UnfilterAll();
    EXPECT_EQ(g.ds->Filter(), QString());
    EXPECT_FALSE(g.ds->Filtered());
    EXPECT_EQ(g.Order().size(), 8u);
}

TEST(SortGridFilter, TheFilterOfTheOpeningComesFirstAndBack)
{
    auto ds = MakeTrees(6);
    ds->SetFilter(QStringLiteral("KOKS_NR > 2"));
    ds->SetFiltered(true);
    TDataSource source;
    TestSortGrid grid;
    source.SetDataSet(ds.get());
    grid.SetDataSource(&source);
    ds->First(); // KOKS_NR 3
    grid.FilterGrid(0, false, false, false);
    EXPECT_EQ(ds->Filter(), QStringLiteral("(KOKS_NR > 2) AND (NOT KOKS_NR=3)"));
    grid.UnfilterAll();
    EXPECT_EQ(ds->Filter(), QStringLiteral("KOKS_NR > 2"));
    EXPECT_TRUE(ds->Filtered());
}

TEST(SortGridFilter, NullValuesAndRefusals)
{
    SortGridOver<TestSortGrid> g(3);
    g.ds->Edit();
    g.ds->FieldByName(QStringLiteral("SUGA"))->Clear();
    g.ds->Post();
    TDynFilterList l;
    l.AddFilterFromField(g.ds->FieldByName(QStringLiteral("SUGA")), true, false);
    EXPECT_EQ(l.FilterText(), QStringLiteral("(SUGA=NULL)"));
    l.DeleteForField(g.ds->FieldByName(QStringLiteral("SUGA")));
    EXPECT_EQ(l.Count(), 0);

    EXPECT_THROW(g.grid->FilterGrid(9, true, false, false), EInvalidFieldNr);
    bool success = false;
    g.grid->AfterFilterGrid = [&](TCustomDBSfmGrid*, int, bool, bool, bool s) { success = s; };
    g.grid->SetDoFilter(false);
    success = true;
    EXPECT_FALSE(g.grid->FilterGrid(0, true, false, false)) << "filtering switched off filters nothing";
    EXPECT_FALSE(success);
    EXPECT_FALSE(g.ds->Filtered());
}

TEST(SortGridFilter, ARejectedFilterLeavesEverythingAsItWas)
{
    SortGridOver<TestSortGrid> g(3);
    g.grid->FilterGrid(0, true, false, false);
    const QString before = g.ds->Filter();
    // Only one condition kept: the equal filter on a date gives a text the dataset may or
    // may not take; a list that cannot be applied must come back whole.
    g.grid->FilterList().Items.push_back({QStringLiteral("KOKS_NR=="), 0});
    const auto items = g.grid->FilterList().Items;
    g.grid->FilterGrid(1, true, true, false);
    EXPECT_EQ(g.ds->Filter(), before);
    EXPECT_EQ(g.grid->FilterList().Items, items);
    EXPECT_TRUE(g.ds->Filtered());
}

struct WarningCase {
    const char* value;
    bool warns;
    QColor back;
};

TEST(SortGridWarnings, FirstHoldingLevelColoursTheRow)
{
    TSFMWarningColumn c;
    c.SetLevels(2);
    c.WarningDefs().WarningDef(0)->Operator = TSFMWarningOperator::woLarger;
    c.WarningDefs().WarningDef(0)->Threshold = QStringLiteral("10");
    c.WarningDefs().WarningDef(0)->BackColor = Qt::red;
    c.WarningDefs().WarningDef(1)->Operator = TSFMWarningOperator::woLarger;
    c.WarningDefs().WarningDef(1)->Threshold = QStringLiteral("5");
    c.WarningDefs().WarningDef(1)->BackColor = Qt::yellow;
    const WarningCase cases[] = {{"12", true, Qt::red}, {"7", true, Qt::yellow}, {"3", false, {}}, {"x", false, {}}};
    for (const WarningCase& w : cases) {
        QColor fore, back;
        EXPECT_EQ(c.DetermineWarning(QString::fromLatin1(w.value), fore, back), w.warns) << w.value;
        if (w.warns) {
            EXPECT_EQ(back, w.back) << w.value;
        }
    }
    // A threshold that is no number stops the scan at its level.
    c.WarningDefs().WarningDef(0)->Threshold = QStringLiteral("ten");
    QColor fore, back;
    EXPECT_FALSE(c.DetermineWarning(QStringLiteral("7"), fore, back));
    c.SetLevels(1);
    EXPECT_EQ(c.Levels(), 1);
}

TEST(SortGridNotice, CoversTheGridWhileThereIsNoData)
{
    ControlsStartup({});
    QWidget form;
    SkinManager().Initialize(&form, QStringLiteral("QurtaLumeret"));
    {
        SortGridOver<TestSortGrid> g(6, QSize(420, 180));
        g.grid->SetOrderBy(QStringLiteral("SUGA DESC"));
        g.grid->PaintNow();
        EXPECT_FALSE(g.grid->ShowingNoDataMessage());
        const QImage sorted = g.grid->grab().toImage();
        ASSERT_TRUE(sorted.save(QDir::temp().filePath(QStringLiteral("stumpwise_sortgrid.png"))));

        g.ds->DisableControls();
        g.grid->viewport()->update();
        g.grid->texts.clear();
        g.grid->PaintNow();
        EXPECT_TRUE(g.grid->ShowingNoDataMessage());
        EXPECT_TRUE(g.grid->texts.empty()); // no cell was painted
        const QImage notice = g.grid->grab().toImage();
        ASSERT_TRUE(notice.save(QDir::temp().filePath(QStringLiteral("stumpwise_sortgrid_notice.png"))));
        const QPoint origin = g.grid->viewport()->mapTo(g.grid.get(), QPoint(0, 0));
        EXPECT_EQ(notice.pixelColor(origin + QPoint(2, 2)), SkinManager().ColorHeaderBeginGradient());
        EXPECT_EQ(notice.pixelColor(origin + QPoint(2, 170)), QColor(Qt::white));

        g.ds->EnableControls();
        g.grid->viewport()->update();
        g.grid->PaintNow();
        EXPECT_FALSE(g.grid->ShowingNoDataMessage());
        EXPECT_FALSE(g.grid->texts.empty());
    }
    ControlsShutdown();
}

} // namespace

namespace {

TEST(SortGridWarnings, RuleColoursEveryCellOfTheRow)
{
    SortGridOver<TestSortGrid> g(4);
    TSFMWarningColumn* w = g.grid->WarningColumns()->Add();
    w->FieldName = QStringLiteral("KOKS_NR");
    w->SetLevels(1);
    w->WarningDefs().WarningDef(0)->Operator = TSFMWarningOperator::woEqual;
    w->WarningDefs().WarningDef(0)->Threshold = QStringLiteral("3");
    w->WarningDefs().WarningDef(0)->BackColor = QColor(Qt::red);
    std::map<std::pair<QString, int>, QColor> seen;
    g.grid->OnGetCellColor = [&](TCustomDBSfmGrid* grid, TEkColumn* column, TGridDrawState, QPainter& canvas) {
        seen[{column->FieldName(), grid->LinkDataSet()->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger()}] =
            canvas.brush().color();
    };
    g.grid->clearFocus();
    g.grid->InvalidateGrid();
    g.grid->PaintNow();
    EXPECT_EQ((seen[{QStringLiteral("SUGA"), 3}]), QColor(Qt::red));
    EXPECT_EQ((seen[{QStringLiteral("DATUMS"), 3}]), QColor(Qt::red));
    EXPECT_NE((seen[{QStringLiteral("SUGA"), 4}]), QColor(Qt::red));
}

TEST(SortGridSelection, ShiftKeysToggleThroughTheCaller)
{
    SortGridOver<TestSortGrid> g(6);
    std::set<int> selected;
    g.grid->SetVirtualMultiSelect(true);
    g.grid->OnToggleVirtualSelection = [&](TCustomDBSfmGrid* grid) {
        const int n = grid->LinkDataSet()->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger();
        if (!selected.erase(n))
            selected.insert(n);
    };
    g.grid->OnGetVirtualSelected = [&](TCustomDBSfmGrid* grid, bool& s) {
        s = selected.count(grid->LinkDataSet()->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger()) > 0;
    };
    g.grid->setFocus();
    QTest::keyPress(g.grid.get(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyPress(g.grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyPress(g.grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(selected, (std::set<int>{1, 2}));
    EXPECT_TRUE(g.grid->IsCurrentRowSelected() == false);
    QTest::keyPress(g.grid.get(), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(selected, (std::set<int>{1, 2, 3}));
    EXPECT_TRUE(g.grid->IsCurrentRowSelected());
    QTest::keyRelease(g.grid.get(), Qt::Key_Shift, {});
}

} // namespace
