#include "DataSetTestUtil.h"

#include "platform/data/EDatabaseError.h"
#include "platform/rtl/FormatSettings.h"

#include <gtest/gtest.h>

namespace {

// Rows with every kind of value and a null in each column but ID.
std::unique_ptr<TClientDataSet> MakeMixed()
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add("ID", TFieldType::ftInteger);
    ds->FieldDefs().Add("N", TFieldType::ftInteger);
    ds->FieldDefs().Add("S", TFieldType::ftString, 10);
    ds->FieldDefs().Add("F", TFieldType::ftFloat);
    ds->FieldDefs().Add("D", TFieldType::ftDateTime);
    ds->FieldDefs().Add("B", TFieldType::ftBoolean);
    ds->CreateDataSet();
    const Value null;
    const Value rows[][6] = {
        { 1, 1, "abc", 1.5, DateTime::EncodeDate(2024, 1, 5), true },
        { 2, 2, "O'Brien", null, null, false },
        { 3, null, "ABC", 2.25, DateTime::EncodeDateTime(2024, 1, 6, 12, 0, 0), null },
        { 4, 3, null, -1.0, DateTime::EncodeDate(2024, 1, 5), true },
    };
    for (const auto& row : rows)
        ds->AppendRecord(ValueArray(std::begin(row), std::end(row)));
    return ds;
}

QString Ids(TDataSet& ds)
{
    QStringList ids;
    ds.First();
    while (!ds.Eof()) {
        ids << ds.FieldByName("ID")->AsString();
        ds.Next();
    }
    return ids.join(',');
}

struct FilterCase {
    const char* filter;
    TFilterOptions options;
    const char* ids;
};

class FilterGrammar : public ::testing::TestWithParam<FilterCase> { };

TEST_P(FilterGrammar, SelectsTheExpectedRecords)
{
    const FilterCase& c = GetParam();
    auto ds = MakeMixed();
    ds->SetFilterOptions(c.options);
    ds->SetFilter(QString::fromUtf8(c.filter));
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), QString::fromUtf8(c.ids)) << c.filter;
    // The same text guides the Find operations while the filter is off.
    ds->SetFiltered(false);
    QStringList found;
    for (bool ok = ds->FindFirst(); ok; ok = ds->FindNext())
        found << ds->FieldByName("ID")->AsString();
    EXPECT_EQ(found.join(','), QString::fromUtf8(c.ids)) << c.filter;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterGrammar,
    ::testing::Values(
        FilterCase { "N = 1", 0, "1" },
        FilterCase { "n=1", 0, "1" },
        FilterCase { "N <> 1", 0, "2,4" },          // a null is neither equal nor unequal
        FilterCase { "N = NULL", 0, "3" },
        FilterCase { "N <> null", 0, "1,2,4" },
        FilterCase { "N IS NULL", 0, "3" },
        FilterCase { "N is not null", 0, "1,2,4" },
        FilterCase { "N > 1", 0, "2,4" },
        FilterCase { "N < NULL", 0, "" },           // any other comparison with a null is false
        FilterCase { "N >= 2 AND N <= 3", 0, "2,4" },
        FilterCase { "N = 1 or S = 'ABC'", 0, "1,3" },
        FilterCase { "NOT (N = 1)", 0, "2,3,4" },
        FilterCase { "not N=1 and not N=2", 0, "3,4" },
        FilterCase { "(N=1)or(N=2)", 0, "1,2" },
        FilterCase { "((N = 1))", 0, "1" },
        FilterCase { "(ID > 1)AND(ID < 4)", 0, "2,3" },
        FilterCase { "S = 'O''Brien'", 0, "2" },
        FilterCase { "S = 'abc'", 0, "1" },
        FilterCase { "S = 'abc'", foCaseInsensitive, "1,3" },
        FilterCase { "S = 'ab*'", 0, "1" },
        FilterCase { "S = 'ab*'", foCaseInsensitive, "1,3" },
        FilterCase { "S = 'ab*'", foNoPartialCompare, "" },
        FilterCase { "S > 'B'", 0, "1,2" },
        FilterCase { "F = 2.25", 0, "3" },
        FilterCase { "F < 0", 0, "4" },
        FilterCase { "F > -1.5", 0, "1,3,4" },
        FilterCase { "F < 0 OR F = NULL", 0, "2,4" },
        FilterCase { "D = '2024-01-05'", 0, "1,4" },
        FilterCase { "D > '2024-01-05'", 0, "3" },
        FilterCase { "D >= '2024-01-06 12:00'", 0, "3" },
        FilterCase { "B = TRUE", 0, "1,4" },
        FilterCase { "B = false", 0, "2" },
        FilterCase { "B <> true", 0, "2" },
        FilterCase { "ID = 1 AND N = 1 AND S = 'abc'", 0, "1" },
        FilterCase { "[N] = 3", 0, "4" },
        FilterCase { "", 0, "1,2,3,4" }));

TEST(Filter, LocaleDatesInQuotes)
{
    const FormatSettings saved = FormatSettings::Default();
    FormatSettings::SetDefault(FormatSettings::Invariant());
    auto ds = MakeMixed();
    ds->SetFilter("D = '05.01.2024'");
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), "1,4");
    FormatSettings::SetDefault(saved);
}

TEST(Filter, TextThatCannotBeParsedRaisesAndChangesNothing)
{
    auto ds = MakeMixed();
    ds->SetFilter("N > 1");
    ds->SetFiltered(true);
    ds->Last();
    const char* bad[] = { "N = ", "N = 'x'", "NAV = 1", "N = 1 AND", "(N = 1", "S = 'abc", "N == 1",
                          "N = 1 N = 2", "NS = 1", "N = 1)", "AND", "N = 1.2.3", "D = 'yesterday'", "N # 1" };
    for (const char* text : bad) {
        EXPECT_THROW(ds->SetFilter(QString::fromUtf8(text)), EDatabaseError) << text;
        EXPECT_EQ(ds->Filter(), "N > 1");
        EXPECT_TRUE(ds->Filtered());
        EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4) << "the cursor stays where it was";
        EXPECT_EQ(ds->RecordCount(), 2);
    }
}

TEST(Filter, OnFilterRecordCombinesWithTheText)
{
    auto ds = MakeMixed();
    ds->OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() != 2; };
    ds->SetFilter("N <> NULL");
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), "1,4");
    ds->SetFilter("");
    ds->SetFiltered(false);
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), "1,3,4");
}

TEST(Filter, FindPriorAndLastAndNothingFound)
{
    auto ds = MakeMixed();
    ds->SetFilter("B = TRUE");
    EXPECT_TRUE(ds->FindLast());
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
    EXPECT_TRUE(ds->FindPrior());
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1);
    EXPECT_FALSE(ds->FindPrior());
    EXPECT_FALSE(ds->Found());
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1) << "no match, no move";
}

TEST(Filter, RecordsFollowTheFilterAsTheyChange)
{
    auto ds = MakeLogs();
    ds->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    for (int k = 1; k <= 3; ++k)
        for (int b = 3; b >= 1; --b)
            AddLog(*ds, k, b);
    ds->SetFilter("KOKS_NR = 2");
    ds->SetFiltered(true);
    EXPECT_EQ(Column(*ds, "BALKIS_NR"), Texts({ "1", "2", "3" }));
    AddLog(*ds, 2, 0);
    AddLog(*ds, 5, 0);
    EXPECT_EQ(Column(*ds, "BALKIS_NR"), Texts({ "0", "1", "2", "3" }));
    // A record whose key leaves the filter leaves the view; the cursor stays in place.
    ds->First();
    ds->Next();
    ds->Edit();
    ds->FieldByName("KOKS_NR")->SetAsInteger(9);
    ds->Post();
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(ds->FieldByName("BALKIS_NR")->AsInteger(), 2);
    EXPECT_EQ(Column(*ds, "BALKIS_NR"), Texts({ "0", "2", "3" }));
    ds->Delete(); // would not be reached by Column's walk if the view were stale
    EXPECT_EQ(ds->RecordCount(), 2);
    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 10);
}

TEST(Filter, OrderAndFilterSetBeforeTheDataSetIsCreated)
{
    TClientDataSet ds;
    ds.FieldDefs().Add("KOKS_NR", TFieldType::ftInteger);
    ds.FieldDefs().Add("BALKIS_NR", TFieldType::ftInteger);
    ds.SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    ds.SetFilter("KOKS_NR = 2");
    ds.SetFiltered(true);
    ds.CreateDataSet();
    for (int k : { 2, 1, 2, 3, 2 })
        ds.AppendRecord({ k, ds.RecordCount() + 1 });
    EXPECT_EQ(Column(ds, "BALKIS_NR"), Texts({ "1", "2", "3" }));
    ds.SetFiltered(false);
    EXPECT_EQ(Column(ds, "KOKS_NR"), Texts({ "1", "2", "2", "2", "3" }));
}

TEST(Filter, IndexRangeAndFullEvaluationAgree)
{
    // The same filters over an index on the filtered fields and over insertion order.
    auto indexed = MakeLogs();
    auto plain = MakeLogs();
    indexed->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    unsigned seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int k = int(seed >> 16) % 9;
        const int b = int(seed >> 8) % 4;
        for (TDataSet* d : { static_cast<TDataSet*>(indexed.get()), static_cast<TDataSet*>(plain.get()) }) {
            d->Append();
            d->FieldByName("KOKS_NR")->SetAsInteger(k);
            if (b != 3)
                d->FieldByName("BALKIS_NR")->SetAsInteger(b);
            d->FieldByName("GARUMS")->SetAsInteger(i);
            d->Post();
        }
    }
    const char* filters[] = { "KOKS_NR = 4", "KOKS_NR = 4 AND BALKIS_NR = 1", "BALKIS_NR = 2 AND KOKS_NR = 0",
                              "KOKS_NR = 12", "KOKS_NR = 3 AND BALKIS_NR = NULL" };
    for (const char* f : filters) {
        indexed->SetFilter(f);
        indexed->SetFiltered(true);
        plain->SetFilter(f);
        plain->SetFiltered(true);
        auto a = Column(*indexed, "GARUMS");
        auto b = Column(*plain, "GARUMS");
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b) << f;
        EXPECT_EQ(indexed->RecordCount(), plain->RecordCount()) << f;
    }
}

} // namespace
