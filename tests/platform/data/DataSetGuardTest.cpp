#include "DataSetTestUtil.h"

#include "platform/data/TDataSetGuard.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct Snapshot
{
    QString filter;
    bool filtered;
    QString indexFields;
    int koks;
    bool controlsDisabled;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(TClientDataSet& ds)
{
    return {ds.Filter(), ds.Filtered(), ds.IndexFieldNames(),
            ds.FieldByName(QStringLiteral("KOKS_NR"))->AsInteger(), ds.ControlsDisabled()};
}

struct GuardCase
{
    const char* name;
    unsigned parts;
    bool throws;
};

class DataSetGuard : public ::testing::TestWithParam<GuardCase> {};

// Every part named comes back, the others keep what the block did to them, whether the block
// ends normally or by an exception.
TEST_P(DataSetGuard, PutsBackExactlyThePartsNamed)
{
    const GuardCase& c = GetParam();
    auto ds = MakeLogs();
    for (int k : {5, 3, 8, 1, 7})
        AddLog(*ds, k, 1, QStringLiteral("P"));
    ds->SetFilter(QStringLiteral("KOKS_NR > 2"));
    ds->SetFiltered(true);
    ds->SetIndexFieldNames(QStringLiteral("KOKS_NR"));
    ds->First();
    ds->Next(); // KOKS_NR 5
    const Snapshot before = Take(*ds);
    ASSERT_EQ(before.koks, 5);

    Snapshot during{};
    try {
        TDataSetGuard guard(ds.get(), c.parts);
        EXPECT_EQ(ds->ControlsDisabled(), bool(c.parts & TDataSetGuard::Controls));
        ds->SetIndexFieldNames(QString());
        ds->SetFilter(QStringLiteral("KOKS_NR < 4"));
        ds->SetFiltered(false);
        ds->Last();
        during = Take(*ds);
        if (c.throws)
            throw std::runtime_error("block failed");
    } catch (const std::runtime_error&) {
    }
    ASSERT_NE(during.koks, before.koks);

    const Snapshot after = Take(*ds);
    const auto expect = [&](unsigned part, auto Snapshot::*member) {
        EXPECT_EQ(after.*member, (c.parts & part) ? before.*member : during.*member) << c.name;
    };
    expect(TDataSetGuard::Index, &Snapshot::indexFields);
    expect(TDataSetGuard::Filter, &Snapshot::filter);
    expect(TDataSetGuard::Filter, &Snapshot::filtered);
    if (c.parts & TDataSetGuard::Position) {
        EXPECT_EQ(after.koks, before.koks) << c.name;
    }
    EXPECT_FALSE(after.controlsDisabled) << c.name;
}

constexpr unsigned All = TDataSetGuard::Controls | TDataSetGuard::Position
    | TDataSetGuard::Filter | TDataSetGuard::Index | TDataSetGuard::Active;

INSTANTIATE_TEST_SUITE_P(
    Parts, DataSetGuard,
    ::testing::Values(GuardCase{"controls", TDataSetGuard::Controls, false},
                      GuardCase{"controls_throwing", TDataSetGuard::Controls, true},
                      GuardCase{"position", TDataSetGuard::Position, false},
                      GuardCase{"filter_and_position", TDataSetGuard::Filter | TDataSetGuard::Position, true},
                      GuardCase{"index", TDataSetGuard::Index, false},
                      GuardCase{"all", All, false},
                      GuardCase{"all_throwing", All, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The record to go back to may be gone by then: the guard stays where it is, still gives back
// the rest and never throws, also over a closed dataset.
TEST(DataSetGuardEdges, LostRecordIsLeftAndTheRestRestored)
{
    auto ds = MakeLogs();
    for (int k : {1, 2, 3})
        AddLog(*ds, k, 1);
    ds->Last();
    {
        TDataSetGuard guard(ds.get(), All);
        ds->Delete(); // the record the guard would go back to
        ds->SetFilter(QStringLiteral("KOKS_NR = 1"));
        ds->SetFiltered(true);
    }
    EXPECT_FALSE(ds->Filtered());
    EXPECT_EQ(ds->RecordCount(), 2);
    EXPECT_FALSE(ds->ControlsDisabled());

    TClientDataSet closed;
    closed.FieldDefs().Add(QStringLiteral("ID"), TFieldType::ftInteger);
    EXPECT_NO_THROW({ TDataSetGuard guard(&closed, All); });
    EXPECT_FALSE(closed.ControlsDisabled());
}

// A dataset opened inside the block is closed again; an open one stays open at its record.
TEST(DataSetGuardEdges, ActiveStateComesBack)
{
    auto ds = MakeLogs();
    for (int k : {1, 2, 3})
        AddLog(*ds, k, 1);
    ds->First();
    ds->Next();
    const unsigned parts = TDataSetGuard::Active | TDataSetGuard::Position;
    {
        TDataSetGuard guard(ds.get(), parts);
        ds->Last();
    }
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger(), 2);
    ds->Close();
    {
        TDataSetGuard guard(ds.get(), parts);
        ds->Open();
    }
    EXPECT_FALSE(ds->Active());
}

} // namespace
