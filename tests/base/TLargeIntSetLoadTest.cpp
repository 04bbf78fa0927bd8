#include "base/TLargeIntSet.h"

#include "platform/data/ClientDataSet.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TClientDataSet> MakeNumbers(std::initializer_list<const char*> texts)
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add("N", TFieldType::ftInteger);
    ds->FieldDefs().Add("S", TFieldType::ftString, 10);
    ds->CreateDataSet();
    for (const char* t : texts) {
        ds->Append();
        if (t) {
            ds->FieldByName("S")->SetAsString(QString::fromUtf8(t));
            bool ok = false;
            const int n = QString::fromUtf8(t).toInt(&ok);
            if (ok)
                ds->FieldByName("N")->SetAsInteger(n);
        }
        ds->Post();
    }
    return ds;
}

std::vector<int> Items(const TLargeIntSet& set)
{
    std::vector<int> out;
    for (int i = 0; i < set.ItemCount(); ++i)
        out.push_back(set.GetItem(i));
    return out;
}

TEST(TLargeIntSetLoad, CollectsEveryRecordAndComesBack)
{
    auto ds = MakeNumbers({ "5", "1", "5", nullptr, "3" });
    ds->SetRecNo(3);
    int scrolls = 0;
    ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    TLargeIntSet set;
    set.Include(99);
    set.LoadFromDataSetField(ds->FieldByName("N"));
    EXPECT_EQ(Items(set), (std::vector<int> { 0, 1, 3, 5 })); // the empty value reads as 0
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_FALSE(ds->ControlsDisabled());
    EXPECT_GT(scrolls, 0);
}

TEST(TLargeIntSetLoad, PostsAPendingEditFirst)
{
    auto ds = MakeNumbers({ "1", "2" });
    ds->First();
    ds->Edit();
    ds->FieldByName("N")->SetAsInteger(7);
    TLargeIntSet set;
    set.LoadFromDataSetField(ds->FieldByName("N"));
    EXPECT_EQ(Items(set), (std::vector<int> { 2, 7 }));
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->FieldByName("N")->AsInteger(), 7);
}

TEST(TLargeIntSetLoad, EmptyDataSetOrNoField)
{
    auto ds = MakeNumbers({});
    TLargeIntSet set;
    set.Include(4);
    set.LoadFromDataSetField(ds->FieldByName("N"));
    EXPECT_EQ(set.ItemCount(), 0);
    EXPECT_TRUE(ds->IsEmpty());
    set.Include(4);
    set.LoadFromDataSetField(nullptr);
    EXPECT_EQ(set.ItemCount(), 0);
}

TEST(TLargeIntSetLoad, FailingConversionComesBackAndEnablesControls)
{
    auto ds = MakeNumbers({ "1", "x", "3" });
    ds->Last();
    TLargeIntSet set;
    EXPECT_THROW(set.LoadFromDataSetField(ds->FieldByName("S")), Exception);
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_FALSE(ds->ControlsDisabled());
}

} // namespace
