// Appending in bulk gives the same table as appending record by record, while the data-aware
// controls and the record events stay quiet; a value that fails leaves nothing behind.

#include "DataSetTestUtil.h"

#include "platform/data/DataLink.h"
#include "platform/data/DataSource.h"
#include "platform/data/EDatabaseError.h"

#include <gtest/gtest.h>

namespace {

class CountingLink : public TDataLink {
public:
    int changes = 0;

protected:
    void DataSetChanged() override { ++changes; }
    void RecordChanged(TField*) override { ++changes; }
    void DataSetScrolled(int) override { ++changes; }
};

struct Row {
    Value koks, balkis, suga, garums;
};

// Rows with nulls, ties and a descending key, in no order.
const std::vector<Row> kRows = {
    {3, 2, "EGLE", 40},  {1, 1, "priede", Value()}, {3, 1, Value(), 7},  {Value(), 5, "x", 1},
    {1, 1, "PRIEDE", 3}, {2, Value(), "egle", 2},   {3, 2, "Bērzs", -5}, {Value(), 1, "y", 0},
};

// Integers too far apart to be packed into one sort key.
const std::vector<Row> kWideRows = {
    {2000000000, -2000000000, "a", 5}, {-2000000000, 2000000000, "b", -5}, {2000000000, -2000000000, "c", -32768},
    {Value(), 7, "d", 32767},          {-2000000000, 2000000000, "e", -5}, {0, 0, "f", Value()},
};

void AppendOneByOne(TDataSet& ds, const std::vector<Row>& rows = kRows)
{
    for (const Row& r : rows)
        ds.AppendRecord({r.koks, r.balkis, r.suga, r.garums});
}

// Integers and texts through their own setters, record by record or a column at a time.
void AppendInBulk(TDataSet& ds, const std::vector<Row>& rows = kRows, bool byColumn = false)
{
    const int first = ds.BeginBulkAppend(int(rows.size()));
    const auto write = [&](int f, int rec, const Value& v) {
        if (v.IsNull())
            return;
        TDataSet::TBulkColumn column = ds.BulkColumn(f, first, int(rows.size()));
        if (v.GetKind() == Value::Kind::Integer)
            byColumn ? column.SetInteger(rec, v.AsInteger()) : ds.SetBulkInteger(f, rec, v.AsInteger());
        else
            byColumn ? column.SetString(rec, v.AsString()) : ds.SetBulkString(f, rec, v.AsString());
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        int f = 0;
        for (const Value& v : {r.koks, r.balkis, r.suga, r.garums})
            write(f++, first + int(i), v);
    }
    ds.EndBulkAppend();
}

// Every record as text, in the current order.
std::vector<QString> Records(TDataSet& ds)
{
    std::vector<QString> out;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        QStringList cells;
        for (int i = 0; i < ds.FieldCount(); ++i)
            cells << (ds.Fields(i)->IsNull() ? QStringLiteral("~") : ds.Fields(i)->AsString());
        out.push_back(cells.join(QLatin1Char('|')));
    }
    return out;
}

TEST(BulkAppend, SameTableAsRecordByRecordInEveryOrder)
{
    struct Case {
        const char* name;
        std::function<void(TClientDataSet&)> order;
    };
    const std::vector<Case> cases = {
        {"insertion order", [](TClientDataSet& ds) { ds.SetIndexName(TClientDataSet::DefaultOrderName); }},
        {"integer fields", [](TClientDataSet& ds) { ds.SetIndexFieldNames("KOKS_NR;BALKIS_NR"); }},
        {"descending integer",
         [](TClientDataSet& ds) {
             ds.AddIndex("ix", "KOKS_NR;GARUMS", 0, "GARUMS");
             ds.SetIndexName("ix");
         }},
        {"text, any case",
         [](TClientDataSet& ds) {
             ds.AddIndex("ix", "SUGA;KOKS_NR", ixCaseInsensitive);
             ds.SetIndexName("ix");
         }},
        {"filtered on the leading field",
         [](TClientDataSet& ds) {
             ds.SetIndexFieldNames("KOKS_NR;BALKIS_NR");
             ds.SetFilter("KOKS_NR = 3");
             ds.SetFiltered(true);
         }},
        {"filtered off the index",
         [](TClientDataSet& ds) {
             ds.SetIndexFieldNames("BALKIS_NR");
             ds.SetFilter("GARUMS > 1 OR SUGA = NULL");
             ds.SetFiltered(true);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool byColumn : {false, true}) {
            SCOPED_TRACE(byColumn ? "by column" : "by record");
            auto one = MakeLogs();
            auto bulk = MakeLogs();
            c.order(*one);
            c.order(*bulk);
            AppendOneByOne(*one, kWideRows);
            AppendInBulk(*bulk, kWideRows, byColumn);
            EXPECT_EQ(Records(*bulk), Records(*one));
            // All three integer fields, ascending and descending.
            for (const char* desc : {"", "KOKS_NR;GARUMS"}) {
                one->AddIndex(QStringLiteral("wide") + desc, "KOKS_NR;BALKIS_NR;GARUMS", 0, desc);
                bulk->AddIndex(QStringLiteral("wide") + desc, "KOKS_NR;BALKIS_NR;GARUMS", 0, desc);
                one->SetIndexName(QStringLiteral("wide") + desc);
                bulk->SetIndexName(QStringLiteral("wide") + desc);
                EXPECT_EQ(Records(*bulk), Records(*one)) << desc;
            }
        }
        auto one = MakeLogs();
        auto bulk = MakeLogs();
        c.order(*one);
        c.order(*bulk);
        // Records already there stay in front.
        AddLog(*one, 2, 9, "old");
        AddLog(*bulk, 2, 9, "old");
        AppendOneByOne(*one);
        AppendInBulk(*bulk);
        EXPECT_EQ(bulk->RecordCount(), one->RecordCount());
        EXPECT_EQ(Records(*bulk), Records(*one));
        // Insertion order too, and appending afterwards goes on from the batch.
        one->SetFiltered(false);
        bulk->SetFiltered(false);
        one->SetIndexName(TClientDataSet::DefaultOrderName);
        bulk->SetIndexName(TClientDataSet::DefaultOrderName);
        AddLog(*one, 0, 0, "new");
        AddLog(*bulk, 0, 0, "new");
        EXPECT_EQ(Records(*bulk), Records(*one));
    }
}

// The first key already in order (as readers write stems), the others not, with ties, nulls
// and a run whose first key is null; and one table wholly in order.
TEST(BulkAppend, RecordsInOrderOfTheFirstKeyAreOrderedWithinEachRun)
{
    const std::vector<Row> runs = {
        {Value(), 4, "a", 1}, {Value(), 2, "b", 1}, {1, 3, "c", 9}, {1, 1, "d", 2}, {1, 3, "e", Value()},
        {1, 1, "f", 2},       {2, 7, "g", 0},       {4, Value(), "h", 5}, {4, 2, "i", -1}, {4, 2, "j", -3},
    };
    const std::vector<Row> sorted = {{1, 1, "a", 1}, {1, 1, "b", 1}, {1, 2, "c", 0}, {3, 1, "d", 5}};
    for (const auto* rows : {&runs, &sorted}) {
        for (const char* desc : {"", "GARUMS", "KOKS_NR;BALKIS_NR"}) {
            SCOPED_TRACE(std::string(rows == &runs ? "runs, descending: " : "sorted, descending: ") + desc);
            auto one = MakeLogs();
            auto bulk = MakeLogs();
            for (TClientDataSet* ds : {one.get(), bulk.get()}) {
                ds->AddIndex("ix", "KOKS_NR;BALKIS_NR;GARUMS", 0, desc);
                ds->SetIndexName("ix");
            }
            AppendOneByOne(*one, *rows);
            AppendInBulk(*bulk, *rows);
            EXPECT_EQ(Records(*bulk), Records(*one));
        }
    }
}

// Records that come as several stretches, each in order of the first key (rows added to stems
// already written), with ties between the stretches, long runs and nulls; more stretches than
// are merged cheaply, too.
TEST(BulkAppend, StretchesInOrderOfTheFirstKeyGiveTheSameOrder)
{
    struct Case {
        const char* name;
        int stretches;
        int runLength;
    };
    const Case cases[] = {
        {"one stretch, long runs", 1, 70},
        {"two stretches", 2, 5},
        {"eight stretches", 8, 3},
        {"nine stretches", 9, 3},
        {"many stretches, long runs", 20, 80},
    };
    for (const Case& c : cases) {
        unsigned seed = 7;
        const auto rnd = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 16) % unsigned(n));
        };
        std::vector<Row> rows;
        for (int s = 0; s < c.stretches; ++s)
            for (int koks = 1; koks <= 4; ++koks)
                for (int i = 0; i < c.runLength; ++i) {
                    const Value balkis = rnd(5) == 0 ? Value() : Value(rnd(3));
                    const Value garums = rnd(7) == 0 ? Value() : Value(rnd(4) - 1);
                    rows.push_back({koks == 4 && s % 2 ? Value() : Value(koks), balkis,
                                    QStringLiteral("r%1").arg(rows.size()), garums});
                }
        for (const char* desc : {"", "BALKIS_NR", "KOKS_NR;GARUMS"}) {
            SCOPED_TRACE(std::string(c.name) + ", descending: " + desc);
            auto one = MakeLogs();
            auto bulk = MakeLogs();
            for (TClientDataSet* ds : {one.get(), bulk.get()}) {
                ds->AddIndex("ix", "KOKS_NR;BALKIS_NR;GARUMS", 0, desc);
                ds->SetIndexName("ix");
            }
            AppendOneByOne(*one, rows);
            AppendInBulk(*bulk, rows);
            EXPECT_EQ(Records(*bulk), Records(*one));
        }
    }
}

TEST(BulkAppend, ControlsAndEventsStayQuiet)
{
    auto ds = MakeLogs();
    ds->SetIndexFieldNames("KOKS_NR");
    TDataSource source;
    source.SetDataSet(ds.get());
    CountingLink link;
    link.SetDataSource(&source);
    int events = 0;
    ds->OnNewRecord = [&](TDataSet*) { ++events; };
    ds->AfterPost = [&](TDataSet*) { ++events; };
    ds->AfterScroll = [&](TDataSet*) { ++events; };
    ds->FieldByName("KOKS_NR")->OnChange = [&](TField*) { ++events; };

    ds->DisableControls();
    link.changes = 0;
    AppendInBulk(*ds);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(link.changes, 0);
    // The cursor is on the last record appended.
    EXPECT_EQ(ds->FieldByName("SUGA")->AsString(), "y");
    ds->EnableControls();
    EXPECT_EQ(link.changes, 1);
    EXPECT_EQ(ds->RecordCount(), int(kRows.size()));
}

TEST(BulkAppend, FailedValueLeavesNothing)
{
    auto ds = MakeLogs();
    ds->SetIndexFieldNames("KOKS_NR");
    AddLog(*ds, 5, 1, "old");
    const auto before = Records(*ds);
    struct Case {
        const char* name;
        std::function<void(TDataSet&, int)> write;
    };
    const std::vector<Case> cases = {
        {"small integer out of range", [](TDataSet& d, int first) { d.SetBulkValue(3, first + 1, 40000); }},
        {"small integer out of range, typed", [](TDataSet& d, int first) { d.SetBulkInteger(3, first, -40000); }},
        {"typed text into an integer field", [](TDataSet& d, int first) { d.SetBulkString(0, first, "abc"); }},
        {"text where a number goes", [](TDataSet& d, int first) { d.SetBulkValue(0, first, "abc"); }},
        {"record outside the batch", [](TDataSet& d, int first) { d.SetBulkValue(0, first + 2, 1); }},
        {"small integer out of range, by column",
         [](TDataSet& d, int first) { d.BulkColumn(3, first, 2).SetInteger(first + 1, 40000); }},
        {"text into an integer field, by column",
         [](TDataSet& d, int first) { d.BulkColumn(0, first, 2).SetString(first, "abc"); }},
        {"stretch beyond the batch, by column",
         [](TDataSet& d, int first) { d.BulkColumn(0, first, 3).SetInteger(first + 2, 1); }},
        {"record beyond its stretch and the batch, by column",
         [](TDataSet& d, int first) { d.BulkColumn(0, first, 2).SetInteger(first + 2, 1); }},
        {"text beyond its stretch and the batch, by column",
         [](TDataSet& d, int first) { d.BulkColumn(2, first, 2).SetString(first + 2, "x"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int first = ds->BeginBulkAppend(2);
        ds->SetBulkValue(0, first, 1);
        EXPECT_ANY_THROW(c.write(*ds, first));
        ds->CancelBulkAppend();
        EXPECT_EQ(Records(*ds), before);
    }
    // Longer texts are cut to the field's width, as SetValue cuts them.
    const int first = ds->BeginBulkAppend(3);
    ds->SetBulkValue(2, first, "0123456789abc");
    ds->SetBulkString(2, first + 1, "abcdefghijKLM");
    ds->BulkColumn(2, first, 3).SetString(first + 2, "ABCDEFGHIJklm");
    ds->EndBulkAppend();
    ds->SetIndexName(TClientDataSet::DefaultOrderName);
    EXPECT_EQ(Column(*ds, "SUGA"), Texts({"old", "0123456789", "abcdefghij", "ABCDEFGHIJ"}));
}

} // namespace
