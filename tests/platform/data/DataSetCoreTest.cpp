#include "DataSetTestUtil.h"

#include "platform/data/EDatabaseError.h"
#include "platform/data/FloatField.h"
#include "platform/data/IntegerField.h"
#include "platform/data/StringField.h"

#include <gtest/gtest.h>

TEST(DataSetCore, CreatedFromDefinitionsOpenAndEmpty)
{
    auto ds = MakeLogs();
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->FieldCount(), 6);
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecordCount(), 0);
    EXPECT_EQ(ds->FieldByName("suga")->FieldName(), "SUGA");
    EXPECT_EQ(ds->FieldByName("SUGA")->FieldNo(), 3);
    EXPECT_NE(dynamic_cast<TStringField*>(ds->FieldByName("SUGA")), nullptr);
    EXPECT_NE(dynamic_cast<TIntegerField*>(ds->FieldByName("GARUMS")), nullptr);
    EXPECT_EQ(ds->FindField("NAV"), nullptr);
    EXPECT_THROW(ds->FieldByName("NAV"), EDatabaseError);
    EXPECT_TRUE(ds->FieldByName("APJOMS")->IsNull());
}

TEST(DataSetCore, AppendPostWalk)
{
    auto ds = MakeLogs();
    for (int i = 1; i <= 5; ++i)
        AddLog(*ds, i, 1, QStringLiteral("EGLE"));
    EXPECT_EQ(ds->RecordCount(), 5);
    EXPECT_EQ(ds->RecNo(), 5);
    EXPECT_EQ(Column(*ds, "KOKS_NR"), Texts({ "1", "2", "3", "4", "5" }));
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 5);
    ds->Prior();
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 4);
    EXPECT_EQ(ds->MoveBy(-10), -3);
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(ds->RecNo(), 1);
    ds->SetRecNo(3);
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 3);
}

TEST(DataSetCore, NextAtTheLastRecordSetsEofWithoutMoving)
{
    auto ds = MakeLogs();
    AddLog(*ds, 1, 1);
    AddLog(*ds, 2, 1);
    ds->First();
    int scrolls = 0;
    ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    ds->Next();
    EXPECT_FALSE(ds->Eof());
    ds->Next();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 2);
    ds->Next(); // already at the end: nothing happens
    EXPECT_EQ(scrolls, 2);
}

TEST(DataSetCore, ValuesAreConvertedAndChecked)
{
    auto ds = MakeLogs();
    ds->Append();
    TField* suga = ds->FieldByName("SUGA");
    suga->SetAsString(QStringLiteral("PRIEDE-GARA-SUGA"));
    EXPECT_EQ(suga->AsString(), "PRIEDE-GAR"); // cut to 10 characters
    TField* garums = ds->FieldByName("GARUMS");
    garums->SetAsInteger(32767);
    EXPECT_THROW(garums->SetAsInteger(32768), EDatabaseError);
    EXPECT_EQ(garums->AsInteger(), 32767);
    EXPECT_THROW(garums->SetText(QStringLiteral("12a")), Exception);
    garums->SetText(QString());
    EXPECT_TRUE(garums->IsNull());
    EXPECT_EQ(garums->AsInteger(), 0); // a null reads as 0
    ds->FieldByName("APJOMS")->SetAsFloat(0.1 + 0.2);
    EXPECT_DOUBLE_EQ(ds->FieldByName("APJOMS")->AsFloat(), 0.3);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("SUGA")->AsString(), "PRIEDE-GAR");
}

TEST(DataSetCore, WritingOutsideEditStateRaises)
{
    auto ds = MakeLogs();
    AddLog(*ds, 1, 1);
    EXPECT_THROW(ds->FieldByName("KOKS_NR")->SetAsInteger(2), EDatabaseError);
    ds->FieldByName("KOKS_NR")->SetReadOnly(true);
    ds->Edit();
    EXPECT_THROW(ds->FieldByName("KOKS_NR")->SetAsInteger(2), EDatabaseError);
    ds->Cancel();
}

TEST(DataSetCore, EditCancelDeleteInsert)
{
    auto ds = MakeLogs();
    for (int i = 1; i <= 3; ++i)
        AddLog(*ds, i, 1);
    ds->First();
    ds->Edit();
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    ds->FieldByName("KOKS_NR")->SetAsInteger(10);
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 1);
    ds->Edit();
    ds->FieldByName("KOKS_NR")->SetAsInteger(10);
    ds->Next(); // moving posts the pending change
    EXPECT_EQ(Column(*ds, "KOKS_NR"), Texts({ "10", "2", "3" }));

    ds->First();
    ds->Next();
    ds->Delete();
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 3); // the next record becomes current
    EXPECT_EQ(Column(*ds, "KOKS_NR"), Texts({ "10", "3" }));

    // Insert puts the new record before the current one in insertion order.
    ds->Last();
    ds->Insert();
    EXPECT_EQ(ds->RecNo(), -1);
    ds->FieldByName("KOKS_NR")->SetAsInteger(7);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("KOKS_NR")->AsInteger(), 7);
    EXPECT_EQ(Column(*ds, "KOKS_NR"), Texts({ "10", "7", "3" }));

    // A cancelled append leaves nothing behind; Edit on an empty dataset inserts.
    ds->Append();
    ds->Cancel();
    EXPECT_EQ(ds->RecordCount(), 3);
    ds->EmptyDataSet();
    EXPECT_TRUE(ds->IsEmpty());
    ds->Edit();
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    ds->Cancel();
    EXPECT_THROW(ds->Delete(), EDatabaseError);
}

TEST(DataSetCore, NewRecordDefaultsAndEventsInOrder)
{
    auto ds = MakeLogs();
    std::vector<QString> log;
    ds->BeforeInsert = [&](TDataSet*) { log.push_back("BeforeInsert"); };
    ds->OnNewRecord = [&](TDataSet* d) {
        log.push_back("OnNewRecord");
        d->FieldByName("BALKIS_NR")->SetAsInteger(0);
    };
    ds->AfterInsert = [&](TDataSet*) { log.push_back("AfterInsert"); };
    ds->BeforePost = [&](TDataSet*) { log.push_back("BeforePost"); };
    ds->AfterPost = [&](TDataSet*) { log.push_back("AfterPost"); };
    ds->AfterScroll = [&](TDataSet*) { log.push_back("AfterScroll"); };
    ds->FieldByName("KOKS_NR")->OnChange = [&](TField*) { log.push_back("OnChange"); };
    ds->Append();
    ds->FieldByName("KOKS_NR")->SetAsInteger(4);
    ds->FieldByName("KOKS_NR")->SetAsInteger(4); // the same value is a change too
    ds->Post();
    EXPECT_EQ(log, Texts({ "BeforeInsert", "OnNewRecord", "AfterInsert", "AfterScroll", "OnChange", "OnChange",
                           "BeforePost", "AfterPost" }));
    EXPECT_EQ(ds->FieldByName("BALKIS_NR")->AsInteger(), 0);
    EXPECT_FALSE(ds->FieldByName("BALKIS_NR")->IsNull());
}

TEST(DataSetCore, RequiredFieldMustHaveAValue)
{
    TClientDataSet ds;
    ds.FieldDefs().Add("A", TFieldType::ftInteger, 0, true);
    ds.CreateDataSet();
    ds.Append();
    EXPECT_THROW(ds.Post(), EDatabaseError);
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    ds.Fields(0)->SetAsInteger(1);
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 1);
}

TEST(DataSetCore, PersistentFloatFieldOverSmallintColumn)
{
    // Rounds halves to even and keeps the column's range.
    TClientDataSet ds;
    ds.FieldDefs().Add("N", TFieldType::ftSmallint);
    auto f = std::make_shared<TFloatField>();
    f->SetFieldName("N");
    ds.AddField(f);
    ds.CreateDataSet();
    EXPECT_EQ(f->DataType(), TFieldType::ftSmallint);
    EXPECT_EQ(f->DataSize(), 2);
    EXPECT_EQ(f->MinValue(), -32768);
    EXPECT_EQ(f->MaxValue(), 32767);
    ds.Append();
    f->SetAsFloat(2.5);
    EXPECT_EQ(f->AsFloat(), 2);
    f->SetAsFloat(3.5);
    EXPECT_EQ(f->AsFloat(), 4);
    f->SetAsFloat(-2.5);
    EXPECT_EQ(f->AsFloat(), -2);
    EXPECT_THROW(f->SetAsFloat(32767.6), EDatabaseError);
    EXPECT_THROW(f->SetAsFloat(40000), EDatabaseError);
    // A range wider than the column is kept within it.
    f->SetMinValue(-100000);
    f->SetMaxValue(1e12);
    EXPECT_EQ(f->MinValue(), -32768);
    EXPECT_EQ(f->MaxValue(), 32767);
    ds.Post();
}

TEST(DataSetCore, PersistentFloatFieldOverIntegerColumnKeepsASetRange)
{
    TClientDataSet ds;
    ds.FieldDefs().Add("N", TFieldType::ftInteger);
    auto f = std::make_shared<TFloatField>();
    f->SetFieldName("N");
    f->SetMaxValue(100);
    ds.AddField(f);
    ds.CreateDataSet();
    EXPECT_EQ(f->DataSize(), 4);
    EXPECT_EQ(f->MinValue(), -2147483648.0);
    EXPECT_EQ(f->MaxValue(), 100);
    ds.Append();
    EXPECT_THROW(f->SetAsFloat(100.5), EDatabaseError);
    f->SetAsFloat(99.5);
    EXPECT_EQ(f->AsFloat(), 100);
    ds.Cancel();
}

TEST(DataSetCore, FieldNamesInAnyLetterCaseAfterRenames)
{
    TClientDataSet ds;
    auto f = std::make_shared<TIntegerField>();
    f->SetFieldName("Koks_Nr");
    ds.AddField(f);
    EXPECT_EQ(ds.FindField("KOKS_NR"), f.get());
    EXPECT_EQ(ds.FindField("koks_nr"), f.get());
    f->SetFieldName("BALKIS_NR");
    EXPECT_EQ(ds.FindField("koks_nr"), nullptr);
    EXPECT_EQ(ds.FindField("Balkis_Nr"), f.get());
    ds.RemoveField(f.get());
    EXPECT_EQ(ds.FindField("BALKIS_NR"), nullptr);
    EXPECT_EQ(f->DataSet(), nullptr);
}

TEST(DataSetCore, PersistentFieldWithoutColumnRaises)
{
    TClientDataSet ds;
    ds.FieldDefs().Add("A", TFieldType::ftInteger);
    auto f = std::make_shared<TIntegerField>();
    f->SetFieldName("B");
    ds.AddField(f);
    EXPECT_THROW(ds.CreateDataSet(), EDatabaseError);
    EXPECT_FALSE(ds.Active());
}

TEST(DataSetCore, ReopeningKeepsFieldsUnlessTheirDefinitionsChanged)
{
    TClientDataSet ds;
    ds.FieldDefs().Add("A", TFieldType::ftInteger);
    ds.CreateDataSet();
    std::weak_ptr<TField> a = ds.FieldPtr(0);
    ds.Close();
    ds.Open();
    EXPECT_EQ(ds.FieldPtr(0), a.lock());
    ds.Close();
    ds.FieldDefs().Add("B", TFieldType::ftString, 4);
    ds.CreateDataSet();
    EXPECT_EQ(ds.FieldCount(), 2);
    EXPECT_TRUE(a.expired());
    EXPECT_EQ(ds.FieldByName("B")->Size(), 4);
}

TEST(DataSetCore, FloatFieldRebindsToAFloatColumn)
{
    TClientDataSet ds;
    ds.FieldDefs().Add("N", TFieldType::ftSmallint);
    auto f = std::make_shared<TFloatField>();
    f->SetFieldName("N");
    ds.AddField(f);
    ds.CreateDataSet();
    ASSERT_EQ(f->DataType(), TFieldType::ftSmallint);
    ds.Close();
    ds.FieldDefs().Clear();
    ds.FieldDefs().Add("N", TFieldType::ftFloat);
    ds.CreateDataSet();
    EXPECT_EQ(f->DataType(), TFieldType::ftFloat);
    EXPECT_EQ(f->DataSize(), 8);
    EXPECT_EQ(f->MinValue(), 0);
    EXPECT_EQ(f->MaxValue(), 0);
    ds.Append();
    f->SetAsFloat(2.5);
    EXPECT_EQ(f->AsFloat(), 2.5);
    ds.Cancel();
}
