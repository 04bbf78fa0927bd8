#include "SortGridTestUtil.h"

#include "controls/KpImageList.h"
#include "grids/OrderInfoList.h"

#include <gtest/gtest.h>

namespace {

TEST(SortGridOrderList, HoldsAtMostAThousandKeys)
{
    TOrderInfoList l;
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(l.Add(i, TSortOrder::soAscending), i);
    EXPECT_EQ(l.Add(5000, TSortOrder::soDescending), 999);
    EXPECT_EQ(l.Count(), 1000);
    EXPECT_EQ(l.Items[999], (TOrderInfo{5000, TSortOrder::soDescending}));
    EXPECT_EQ(l.IndexOfFieldNo(5000), 999);
    EXPECT_EQ(l.IndexOfFieldNo(999), -1);
}

TEST(SortGridSorting, OrderByTextSortsByAnIndexAndReadsBack)
{
    SortGridOver<TestSortGrid> g(8);
    g.grid->SetOrderBy(QStringLiteral("SUGA DESC, koks_nr"));
    ASSERT_EQ(g.grid->Order().Count(), 2);
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA DESC, KOKS_NR ASC"));
    EXPECT_EQ(g.ds->IndexName(), QStringLiteral("SFMGridSort"));
    const TIndexDef& def = g.ds->IndexDefs().Find(QStringLiteral("SFMGridSort"));
    EXPECT_EQ(def.Fields(), QStringLiteral("SUGA;KOKS_NR"));
    EXPECT_EQ(def.DescFields(), QStringLiteral("SUGA"));
    // Priede 4 8, Egle 1 5, Bērzs 2 6, Apse 3 7: descending by species, then by number.
    EXPECT_EQ(g.Order(), (std::vector<int>{4, 8, 1, 5, 2, 6, 3, 7}));
}

TEST(SortGridSorting, RefusalsBeepAndKeepTheOrder)
{
    SortGridOver<TestSortGrid> g(6);
    BeepCounter beeps;
    // A field no column shows.
    g.grid->SetOrderBy(QStringLiteral("SLEPTS DESC"));
    EXPECT_EQ(beeps.count, 1);
    EXPECT_NE(g.ds->IndexName(), QStringLiteral("SFMGridSort"));
    // An index outside the fields.
    g.grid->SortGrid(17, true, false);
    EXPECT_EQ(beeps.count, 2);
    // A name that is no field: nothing is listed, the grid returns to no sort.
    g.grid->SetOrderBy(QStringLiteral("IZV_VEIDS;INTERVALS_DIAMETRS"));
    EXPECT_EQ(g.grid->Order().Count(), 0);
    EXPECT_EQ(g.Order(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST(SortGridSorting, AThousandKeysAtMost)
{
    SortGridOver<TestSortGrid> g(3);
    QStringList names;
    for (int i = 0; i < 1200; ++i)
        names << QStringLiteral("KOKS_NR");
    g.grid->SetOrderBy(names.join(QLatin1Char(',')));
    EXPECT_EQ(g.grid->Order().Count(), 1000);
}

TEST(SortGridSorting, EditGridFiresEventsButNeverSorts)
{
    SortGridOver<TDBEditGrid> g(5);
    int before = 0, after = 0;
    bool success = false;
    g.grid->BeforeSortGrid = [&](TCustomDBSfmGrid*, int, bool&, bool&, bool&) { ++before; };
    g.grid->AfterSortGrid = [&](TCustomDBSfmGrid*, int, bool, bool, bool s) { ++after; success = s; };
    success = true;
    g.grid->SortGrid(0, false, false);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(success) << "nothing was sorted";
    EXPECT_EQ(g.grid->Order().Count(), 0);
    EXPECT_EQ(g.Order(), (std::vector<int>{1, 2, 3, 4, 5}));
}

// A sort that is not performed (vetoed, or no such field) beeps and fires nothing after it.
TEST(SortGridSorting, SortNotPerformedBeepsAndReportsNothing)
{
    struct Case {
        const char* name;
        int fieldNr;
        bool veto;
    };
    const Case cases[] = {
        {"vetoed", 0, true},
        {"before the first field", -1, false},
        {"past the last field", 99, false},
    };
    for (const Case& c : cases) {
        SortGridOver<TestSortGrid> g(5);
        BeepCounter beeps;
        int before = 0, after = 0;
        g.grid->BeforeSortGrid = [&](TCustomDBSfmGrid*, int, bool& perform, bool&, bool&) {
            ++before;
            perform = !c.veto;
        };
        g.grid->AfterSortGrid = [&](TCustomDBSfmGrid*, int, bool, bool, bool) { ++after; };
        g.grid->SortGrid(c.fieldNr, false, false);
        EXPECT_EQ(beeps.count, 1) << c.name;
        EXPECT_EQ(before, c.veto ? 1 : 0) << c.name << ": asked only about a field the grid has";
        EXPECT_EQ(after, 0) << c.name;
        EXPECT_EQ(g.grid->Order().Count(), 0) << c.name;
        EXPECT_EQ(g.Order(), (std::vector<int>{1, 2, 3, 4, 5})) << c.name;
    }
}

TEST(SortGridSorting, CornerPressReturnsToInsertionOrderKeepingTheFilter)
{
    SortGridOver<TDBEditGrid> g(6);
    g.ds->SetIndexFieldNames(QStringLiteral("SUGA"));
    g.ds->SetFilter(QStringLiteral("KOKS_NR > 2"));
    g.ds->SetFiltered(true);
    QApplication::processEvents();
    int captionClicks = 0;
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.grid->CellRect(0, 0).center());
    EXPECT_EQ(g.Order(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_TRUE(g.ds->Filtered());

    g.ds->SetIndexFieldNames(QStringLiteral("SUGA"));
    g.grid->OnCaptionClick = [&](TCustomDBSfmGrid*) { ++captionClicks; };
    const std::vector<int> before = g.Order();
    QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.grid->CellRect(0, 0).center());
    EXPECT_EQ(captionClicks, 1);
    EXPECT_EQ(g.Order(), before);
}

TEST(SortGridSorting, OriginalOrderByOnlyMarksTheKeys)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->SetOriginalOrderBy(QStringLiteral("SUGA"));
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA ASC"));
    EXPECT_EQ(g.Order(), (std::vector<int>{1, 2, 3, 4}));
}

} // namespace

namespace {

// A sort the dataset cannot apply is swallowed and the previous order comes back.
TEST(SortGridSorting, FailedSortFallsBackToThePreviousOrder)
{
    SortGridOver<TestSortGrid> g(6);
    g.grid->SetOrderBy(QStringLiteral("SUGA"));
    const std::vector<int> bySpecies = g.Order();
    g.grid->OnGetFieldDescProp = [](TCustomDBSfmGrid*, const QString& field, const QString& prop, Value& v) {
        if (field == QStringLiteral("KOKS_NR") && prop == QStringLiteral("IndexingField"))
            v = Value(QStringLiteral("NO_SUCH_FIELD"));
    };
    bool success = false;
    g.grid->AfterSortGrid = [&](TCustomDBSfmGrid*, int, bool, bool, bool s) { success = s; };
    success = true;
    g.grid->SortGrid(0, false, false);
    EXPECT_FALSE(success) << "the asked sort failed and was rolled back";
    g.grid->OnGetFieldDescProp = {};
    EXPECT_EQ(g.grid->OrderBy(), QStringLiteral("SUGA ASC"));
    EXPECT_EQ(g.Order(), bySpecies);
    EXPECT_FALSE(g.ds->ControlsDisabled());
}

TEST(SortGridSorting, MarksFollowTheKeysAndShowIndicators)
{
    SortGridOver<TestSortGrid> g(4);
    g.grid->PaintNow();
    const QRect title = g.grid->CellRect(2, 0);
    auto titleImage = [&] { return g.grid->viewport()->grab(title).toImage(); };
    const QImage plain = titleImage();
    g.grid->SetOrderBy(QStringLiteral("SUGA"));
    g.grid->PaintNow();
    const QImage asc = titleImage();
    EXPECT_NE(asc, plain);
    g.grid->SetOrderBy(QStringLiteral("SUGA DESC"));
    g.grid->PaintNow();
    EXPECT_NE(titleImage(), asc);
    g.grid->SetShowIndicators(false);
    g.grid->PaintNow();
    EXPECT_EQ(titleImage(), plain);
    EXPECT_EQ(TCustomDBSfmGrid::SortIndicatorImageIndex(0, false), 0);
    EXPECT_EQ(TCustomDBSfmGrid::SortIndicatorImageIndex(1, true), 3);
    EXPECT_EQ(TCustomDBSfmGrid::SortIndicatorImageIndex(7, true), 9);
}

TEST(SortGridSorting, IndicatorImagesLiveWithTheGrids)
{
    const int before = TCustomDBSfmGrid::SortGridCount();
    {
        TestSortGrid a;
        TDBEditGrid b;
        EXPECT_EQ(TCustomDBSfmGrid::SortGridCount(), before + 2);
        ASSERT_NE(TCustomDBSfmGrid::SortIndicatorImages(), nullptr);
        EXPECT_EQ(TCustomDBSfmGrid::SortIndicatorImages()->ImageNames().Count(), 10);
    }
    EXPECT_EQ(TCustomDBSfmGrid::SortGridCount(), before);
    if (before == 0) {
        EXPECT_EQ(TCustomDBSfmGrid::SortIndicatorImages(), nullptr);
    }
}

} // namespace
