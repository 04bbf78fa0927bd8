#include "SortGridTestUtil.h"

#include "platform/rtl/FormatSettings.h"

#include <gtest/gtest.h>

namespace {

// Codes whose field name ends in "DESC" and lengths with fractions, in insertion order.
std::unique_ptr<TClientDataSet> MakeCodes()
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add(QStringLiteral("KODS_DESC"), TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("GARUMS"), TFieldType::ftFloat);
    ds->CreateDataSet();
    for (const auto& [code, length] : {std::pair{2, 1.5}, {3, -0.25}, {1, 1.5}, {4, 1234567.125}})
        ds->AppendRecord({Value(code), Value(length)});
    ds->First();
    return ds;
}

struct CodesGrid {
    std::unique_ptr<TClientDataSet> ds = MakeCodes();
    TDataSource source;
    std::unique_ptr<TestSortGrid> grid = std::make_unique<TestSortGrid>();
    CodesGrid() { source.SetDataSet(ds.get()); }
    void Attach() { grid->SetDataSource(&source); }
    std::vector<int> Codes()
    {
        std::vector<int> r;
        for (ds->First(); !ds->Eof(); ds->Next())
            r.push_back(ds->FieldByName(QStringLiteral("KODS_DESC"))->AsInteger());
        ds->First();
        return r;
    }
};

TEST(SortGridOutcome, OnlyASeparateWordMakesAKeyDescending)
{
    CodesGrid g;
    g.Attach();
    struct Case {
        const char* text;
        const char* readBack;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"KODS_DESC", "KODS_DESC ASC", {1, 2, 3, 4}},
        {"kods_desc desc", "KODS_DESC DESC", {4, 3, 2, 1}},
        {"KODS_DESC  DESCENDING", "KODS_DESC DESC", {4, 3, 2, 1}},
        {"KODS_DESC ASC", "KODS_DESC ASC", {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        g.grid->SetOrderBy(QString::fromLatin1(c.text));
        EXPECT_EQ(g.grid->OrderBy(), QString::fromLatin1(c.readBack)) << c.text;
        EXPECT_EQ(g.Codes(), c.codes) << c.text;
    }
}

TEST(SortGridOutcome, AfterSortGridReportsWhatHappened)
{
    CodesGrid g;
    g.Attach();
    std::vector<bool> reported;
    g.grid->AfterSortGrid = [&](TCustomDBSfmGrid*, int, bool, bool, bool s) { reported.push_back(s); };
    g.grid->SortGrid(0, false, false);
    ASSERT_EQ(reported, std::vector<bool>{true});
    EXPECT_EQ(g.Codes(), (std::vector<int>{4, 3, 2, 1}));

    // A sort the dataset cannot apply is rolled back: the fallback sort succeeds, the asked one
    // is reported as failed.
    g.grid->OnGetFieldDescProp = [](TCustomDBSfmGrid*, const QString& field, const QString& prop, Value& v) {
        if (field == QStringLiteral("GARUMS") && prop == QStringLiteral("IndexingField"))
            v = Value(QStringLiteral("NO_SUCH_FIELD"));
    };
    reported.clear();
    g.grid->SortGrid(1, true, false);
    ASSERT_FALSE(reported.empty());
    EXPECT_FALSE(reported.back());
    EXPECT_EQ(g.Codes(), (std::vector<int>{4, 3, 2, 1}));

    // Sorting switched off sorts nothing.
    reported.clear();
    g.grid->SetDoSort(false);
    g.grid->SortGrid(0, true, false);
    EXPECT_EQ(reported, std::vector<bool>{false});
}

TEST(SortGridOutcome, AttachingKeepsTheDatasetsOwnOrder)
{
    CodesGrid g;
    g.ds->SetIndexFieldNames(QStringLiteral("KODS_DESC"));
    g.Attach();
    EXPECT_EQ(g.ds->IndexFieldNames(), QStringLiteral("KODS_DESC"));
    EXPECT_EQ(g.Codes(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(g.grid->OrderBy().isEmpty());
}

TEST(SortGridOutcome, FloatFilterDoesNotDependOnTheDecimalSeparator)
{
    struct Case {
        int record;
        const char* filter;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {1, "(GARUMS=1.5)", {2, 1}},
        {2, "(GARUMS=-0.25)", {3}},
        {4, "(GARUMS=1234567.125)", {4}},
    };
    for (QChar decimal : {QLatin1Char(','), QLatin1Char('.')}) {
        FormatSettings fs = FormatSettings::Invariant();
        fs.DecimalSeparator = decimal;
        fs.ThousandSeparator = decimal == QLatin1Char(',') ? QChar(0xA0) : QLatin1Char(',');
        FormatSettings::SetDefault(fs);
        for (const Case& c : cases) {
            CodesGrid g;
            g.Attach();
            g.ds->SetRecNo(c.record);
            EXPECT_TRUE(g.grid->FilterGrid(1, true, false, false)) << c.filter;
            EXPECT_EQ(g.ds->Filter(), QString::fromLatin1(c.filter));
            EXPECT_TRUE(g.ds->Filtered());
            EXPECT_EQ(g.Codes(), c.codes) << c.filter;
        }
    }
    FormatSettings::SetDefault(FormatSettings::Invariant());
}

TEST(SortGridOutcome, FilterGridAnswersWhetherItFiltered)
{
    CodesGrid g;
    g.Attach();
    std::vector<bool> reported;
    g.grid->AfterFilterGrid = [&](TCustomDBSfmGrid*, int, bool, bool, bool s) { reported.push_back(s); };
    EXPECT_TRUE(g.grid->FilterGrid(0, true, false, false));
    EXPECT_TRUE(g.grid->FilterGrid(0, true, false, true)) << "removing a column's filter";
    g.grid->SetDoFilter(false);
    EXPECT_FALSE(g.grid->FilterGrid(0, true, false, false));
    EXPECT_EQ(reported, (std::vector<bool>{true, true, false}));
}

} // namespace
