#include "DataSetTestUtil.h"

#include "platform/data/EDatabaseError.h"

#include <gtest/gtest.h>

namespace {

// Records (KOKS_NR, BALKIS_NR, SUGA) appended in this order; GARUMS numbers them 1..n.
std::unique_ptr<TClientDataSet> MakeSample()
{
    auto ds = MakeLogs();
    const struct {
        int koks, balkis;
        const char* suga;
    } rows[] = { { 2, 1, "Egle" }, { 1, 2, "priede" }, { 2, 1, "EGLE" }, { 1, 1, "Bērzs" }, { 3, 5, "egle" },
                 { 2, 3, "Priede" } };
    int n = 0;
    for (const auto& r : rows)
        AddLog(*ds, r.koks, r.balkis, QString::fromUtf8(r.suga), ++n);
    return ds;
}

TEST(Order, IndexFieldNamesSortAscendingWithTiesInInsertionOrder)
{
    auto ds = MakeSample();
    ds->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "4", "2", "1", "3", "6", "5" }));
    ds->SetIndexFieldNames("KOKS_NR");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "2", "4", "1", "3", "6", "5" }));
    ds->SetIndexFieldNames("");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "1", "2", "3", "4", "5", "6" }));
}

TEST(Order, NamedIndexWithDescendingFields)
{
    auto ds = MakeSample();
    ds->AddIndex("SFMGridSort", "KOKS_NR;BALKIS_NR", 0, "KOKS_NR");
    ds->SetIndexName("SFMGridSort");
    EXPECT_EQ(ds->IndexName(), "SFMGridSort");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "5", "1", "3", "6", "4", "2" }));
    ASSERT_EQ(ds->IndexFields().size(), 2u);
    EXPECT_EQ(ds->IndexFields()[0]->FieldName(), "KOKS_NR");
    // Replacing the index as the sort grid does: delete, add, select.
    ds->DeleteIndex("SFMGridSort");
    EXPECT_EQ(ds->IndexName(), "");
    ds->AddIndex("SFMGridSort", "BALKIS_NR", 0, "BALKIS_NR");
    ds->SetIndexName("SFMGridSort");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "5", "6", "2", "1", "3", "4" }));
    ds->SetIndexName("DEFAULT_ORDER");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "1", "2", "3", "4", "5", "6" }));
}

TEST(Order, CaseInsensitiveIndexAndUnknownNames)
{
    auto ds = MakeSample();
    ds->AddIndex("BySuga", "SUGA", ixCaseInsensitive);
    ds->SetIndexName("BySuga");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "4", "1", "3", "5", "2", "6" }));
    EXPECT_THROW(ds->SetIndexName("Nav"), EDatabaseError);
    EXPECT_EQ(ds->IndexName(), "BySuga");
    EXPECT_THROW(ds->SetIndexFieldNames("KOKS_NR;NAV"), EDatabaseError);
    EXPECT_EQ(ds->IndexName(), "BySuga");
    EXPECT_THROW(ds->AddIndex("X", "NAV"), EDatabaseError);
}

TEST(Order, ChangingOrderKeepsTheCurrentRecord)
{
    auto ds = MakeSample();
    ds->SetRecNo(4); // GARUMS 4: (1,1)
    ds->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 4);
    EXPECT_EQ(ds->RecNo(), 1);
    // Editing a key moves the record to its new place, and the cursor with it.
    ds->Edit();
    ds->FieldByName("KOKS_NR")->SetAsInteger(9);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 4);
    EXPECT_EQ(ds->RecNo(), 6);
    // Inserting follows the index, not the cursor.
    ds->First();
    ds->Insert();
    ds->FieldByName("KOKS_NR")->SetAsInteger(2);
    ds->FieldByName("BALKIS_NR")->SetAsInteger(2);
    ds->FieldByName("GARUMS")->SetAsInteger(7);
    ds->Post();
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "2", "1", "3", "7", "6", "5", "4" }));
    // In insertion order the inserted record sits before the record that was current.
    ds->SetIndexName("DEFAULT_ORDER");
    EXPECT_EQ(Column(*ds, "GARUMS"), Texts({ "1", "7", "2", "3", "4", "5", "6" }));
}

TEST(Order, FindKeyAndFindNearest)
{
    auto ds = MakeSample();
    ds->SetIndexFieldNames("KOKS_NR;BALKIS_NR");
    EXPECT_TRUE(ds->FindKey({ 2, 1 }));
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 1);
    EXPECT_TRUE(ds->FindKey({ 3 }));
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 5);
    EXPECT_FALSE(ds->FindKey({ 2, 2 }));
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 5) << "no match, no move";
    ds->FindNearest({ 2, 2 });
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 6);
}

TEST(Search, LocateSeveralFieldsPartialAndCaseInsensitive)
{
    auto ds = MakeSample();
    struct Case {
        const char* fields;
        Value values;
        TLocateOptions options;
        int garums; // 0: not found
    } cases[] = {
        { "KOKS_NR", 3, 0, 5 },
        { "koks_nr;BALKIS_NR", ValueArray { 2, 3 }, 0, 6 },
        { "KOKS_NR;BALKIS_NR", ValueArray { 2, 2 }, 0, 0 },
        { "SUGA", "egle", 0, 5 },
        { "SUGA", "egle", loCaseInsensitive, 1 },
        { "SUGA", "PRI", loCaseInsensitive | loPartialKey, 2 },
        { "SUGA", "Pri", loPartialKey, 6 },
        { "SUGA", "bē", loCaseInsensitive | loPartialKey, 4 },
        { "KOKS_NR;SUGA", ValueArray { 2, "egle" }, loCaseInsensitive, 1 },
        { "BALKIS_NR", "5", 0, 5 },
        { "BALKIS_NR", "x", 0, 0 },
        { "APJOMS", Value(), 0, 1 },
    };
    for (const Case& c : cases) {
        ds->Last();
        const bool found = ds->Locate(QString::fromUtf8(c.fields), c.values, c.options);
        EXPECT_EQ(found, c.garums != 0) << c.fields << " " << c.values.AsString().toStdString();
        EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), c.garums != 0 ? c.garums : 6);
    }
    EXPECT_THROW(ds->Locate("NAV", 1), EDatabaseError);
    EXPECT_THROW(ds->Locate("KOKS_NR;BALKIS_NR", 1), EDatabaseError);
    EXPECT_EQ(ds->Lookup("KOKS_NR;BALKIS_NR", ValueArray { 2, 3 }, "SUGA").AsString(), "Priede");
}

TEST(Bookmarks, StayValidWhileOtherRecordsChange)
{
    auto ds = MakeSample();
    ds->SetRecNo(2);
    const TBookmark b2 = ds->GetBookmark();
    ds->SetRecNo(5);
    const TBookmark b5 = ds->GetBookmark();
    ds->SetRecNo(3);
    const TBookmark b3 = ds->GetBookmark();
    EXPECT_LT(ds->CompareBookmarks(b2, b5), 0);
    EXPECT_GT(ds->CompareBookmarks(b5, b3), 0);
    EXPECT_EQ(ds->CompareBookmarks(b3, b3), 0);
    EXPECT_LT(ds->CompareBookmarks(TBookmark(), b3), 0);
    ds->Delete(); // record 3
    ds->First();
    ds->Delete(); // record 1
    EXPECT_FALSE(ds->BookmarkValid(b3));
    EXPECT_THROW(ds->GotoBookmark(b3), EDatabaseError);
    ds->SetIndexFieldNames("SUGA");
    ds->GotoBookmark(b5);
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 5);
    ds->GotoBookmark(b2);
    EXPECT_EQ(ds->FieldByName("GARUMS")->AsInteger(), 2);
    // A record outside the filter cannot be reached.
    ds->SetFilter("KOKS_NR = 3");
    ds->SetFiltered(true);
    EXPECT_FALSE(ds->BookmarkValid(b2));
    EXPECT_TRUE(ds->BookmarkValid(b5));
    ds->SetFiltered(false);
    // Emptied and refilled: no old bookmark points at a new record.
    while (!ds->IsEmpty())
        ds->Delete();
    AddLog(*ds, 1, 1);
    AddLog(*ds, 1, 2);
    EXPECT_FALSE(ds->BookmarkValid(b2));
    EXPECT_FALSE(ds->BookmarkValid(b5));
    EXPECT_TRUE(ds->BookmarkValid(ds->GetBookmark()));
}

} // namespace
