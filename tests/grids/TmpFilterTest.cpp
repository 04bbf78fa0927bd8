#include "TreeTestUtil.h"

#include "grids/TTmpFilter.h"
#include "platform/data/DataSource.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// K, A: (1,1), (2,2), (3,1), (4,3)
std::unique_ptr<TClientDataSet> Table()
{
    return MakeTable({QStringLiteral("K"), QStringLiteral("A")},
                     {{Value(1), Value(1)}, {Value(2), Value(2)}, {Value(3), Value(1)}, {Value(4), Value(3)}});
}

TEST(TTmpFilter, UnusedGuardLeavesTheDatasetAlone)
{
    auto ds = Table();
    ds->SetFilter(QStringLiteral("A=1"));
    ds->SetIndexFieldNames(QStringLiteral("A"));
    ds->Last();
    TDataSource source;
    source.SetDataSet(ds.get());
    int notices = 0;
    source.OnDataChange = [&](TDataSource*, TField*) { ++notices; };
    { TTmpFilter guard(ds.get()); }
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(ds->Filter(), QStringLiteral("A=1"));
    EXPECT_FALSE(ds->Filtered());
    EXPECT_EQ(ds->IndexFieldNames(), QStringLiteral("A"));
    EXPECT_EQ(Key(*ds), 4);
}

TEST(TTmpFilter, ApplyFilterNarrowsWithinTheOwnActiveFilterAndGivesItBack)
{
    struct Case {
        const char* own;
        bool ownFiltered;
        const char* condition;
        const char* combined;
        bool found;
        int keyAfter; // the record the narrowed dataset stood on; 0 when none
    };
    const Case cases[] = {
        {"", false, "A=1", "A=1", true, 1},
        {"K>1", true, "A=1", "(K>1) AND (A=1)", true, 3},
        {"K>1", false, "A=1", "A=1", true, 1},
        {"K>5", true, "A=1", "(K>5) AND (A=1)", false, 0},
        {"", true, "A=9", "A=9", false, 0},
        // An empty condition narrows nothing further (rather than an unreadable "() AND ()").
        {"K>1", true, "", "K>1", true, 3},
        {"", false, "", "", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.own) + " / " + c.condition);
        auto ds = Table();
        ds->SetFilter(QString::fromUtf8(c.own));
        ds->SetFiltered(c.ownFiltered);
        ds->AddIndex(QStringLiteral("BY_A"), QStringLiteral("A"));
        ds->SetIndexName(QStringLiteral("BY_A"));
        {
            TTmpFilter guard(ds.get());
            EXPECT_EQ(guard.ApplyFilter(QString::fromUtf8(c.condition)), c.found);
            EXPECT_EQ(ds->Filter(), QString::fromUtf8(c.combined));
            EXPECT_TRUE(ds->Filtered());
        }
        EXPECT_EQ(ds->Filter(), QString::fromUtf8(c.own));
        EXPECT_EQ(ds->Filtered(), c.ownFiltered);
        EXPECT_EQ(ds->IndexName(), QStringLiteral("BY_A"));
        if (c.keyAfter)
            EXPECT_EQ(Key(*ds), c.keyAfter);
    }
}

TEST(TTmpFilter, FindFieldSearchesByKeyAndRestoresTheOrder)
{
    struct Case {
        const char* indexName;   // named index in use before, or ""
        const char* indexFields; // field order in use before, or ""
        int value;
        bool found;
    };
    const Case cases[] = {
        {"BY_A", "", 3, true},
        {"", "A", 2, true},
        {"", "", 4, true},
        {"", "A", 9, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        auto ds = Table();
        ds->AddIndex(QStringLiteral("BY_A"), QStringLiteral("A"));
        if (*c.indexName)
            ds->SetIndexName(QString::fromUtf8(c.indexName));
        if (*c.indexFields)
            ds->SetIndexFieldNames(QString::fromUtf8(c.indexFields));
        {
            TTmpFilter guard(ds.get());
            EXPECT_EQ(guard.FindField(QStringLiteral("K"), c.value), c.found);
            EXPECT_EQ(ds->IndexFieldNames(), QStringLiteral("K"));
            if (c.found)
                EXPECT_EQ(Key(*ds), c.value);
        }
        EXPECT_EQ(ds->IndexName(), QString::fromUtf8(c.indexName));
        EXPECT_EQ(ds->IndexFieldNames(), QString::fromUtf8(c.indexFields));
        if (c.found)
            EXPECT_EQ(Key(*ds), c.value);
    }
}

TEST(TTmpFilter, FindFieldFiltersADatasetWithoutIndexes)
{
    TDataSet ds;
    ds.FieldDefs().Add(QStringLiteral("K"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("A"), TFieldType::ftInteger);
    ds.Open();
    for (int k = 1; k <= 4; ++k)
        ds.AppendRecord({Value(k), Value(k % 2)});
    ds.SetFilter(QStringLiteral("A=1"));
    ds.SetFiltered(true);
    {
        TTmpFilter guard(&ds);
        EXPECT_TRUE(guard.FindField(QStringLiteral("K"), 3));
        EXPECT_EQ(ds.Filter(), QStringLiteral("(A=1) AND K=3"));
        EXPECT_EQ(Key(ds), 3);
        EXPECT_FALSE(guard.FindField(QStringLiteral("K"), 2));
    }
    EXPECT_EQ(ds.Filter(), QStringLiteral("A=1"));
    EXPECT_TRUE(ds.Filtered());
}

TEST(TTmpFilter, GivesBackWhenAnExceptionPasses)
{
    auto ds = Table();
    ds->SetFilter(QStringLiteral("K<4"));
    ds->SetFiltered(true);
    ds->SetIndexFieldNames(QStringLiteral("A"));
    // A failure of the caller, a filter text the dataset cannot read, a dataset closed meanwhile.
    const std::function<void(TTmpFilter&)> failures[] = {
        [](TTmpFilter& g) {
            g.ApplyFilter(QStringLiteral("A=2"));
            throw std::runtime_error("build failed");
        },
        [](TTmpFilter& g) { g.ApplyFilter(QStringLiteral("A = = 2")); },
        [&](TTmpFilter& g) {
            g.FindField(QStringLiteral("K"), 2);
            ds->Close();
            throw std::runtime_error("closed");
        },
    };
    for (const auto& fail : failures) {
        EXPECT_ANY_THROW({
            TTmpFilter guard(ds.get());
            fail(guard);
        });
        EXPECT_EQ(ds->Filter(), QStringLiteral("K<4"));
        EXPECT_TRUE(ds->Filtered());
        EXPECT_EQ(ds->IndexFieldNames(), QStringLiteral("A"));
        EXPECT_FALSE(ds->ControlsDisabled());
    }
}

} // namespace
