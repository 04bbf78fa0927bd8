#include "DataSetTestUtil.h"

#include "platform/data/Field.h"

#include <gtest/gtest.h>

namespace {

QStringList Names(TDataSet& ds)
{
    QStringList r;
    for (int i = 0; i < ds.FieldCount(); ++i)
        r << ds.Fields(i)->FieldName();
    return r;
}

// A field moved in an open, sorted, filtered dataset keeps its values, and the order, the
// filter and editing go on reading the right fields.
TEST(MoveField, ValuesOrderAndFilterFollowTheField)
{
    struct Case {
        const char* field;
        int to;
        QStringList names;
    } cases[] = {
        {"KOKS_NR", 4, {"BALKIS_NR", "SUGA", "GARUMS", "APJOMS", "KOKS_NR", "DATUMS"}},
        {"DATUMS", 0, {"DATUMS", "KOKS_NR", "BALKIS_NR", "SUGA", "GARUMS", "APJOMS"}},
        {"SUGA", 99, {"KOKS_NR", "BALKIS_NR", "GARUMS", "APJOMS", "DATUMS", "SUGA"}},
    };
    for (const Case& c : cases) {
        auto ds = MakeLogs();
        AddLog(*ds, 2, 1, QStringLiteral("Egle"), Value(30));
        AddLog(*ds, 1, 1, QStringLiteral("Priede"), Value(40));
        AddLog(*ds, 1, 2, QStringLiteral("Bērzs"), Value(50));
        ds->SetIndexFieldNames(QStringLiteral("KOKS_NR;BALKIS_NR"));
        ds->SetFilter(QStringLiteral("GARUMS > 35"));
        ds->SetFiltered(true);
        TField* f = ds->FieldByName(QString::fromLatin1(c.field));
        ds->MoveField(f, c.to);
        EXPECT_EQ(Names(*ds), c.names) << c.field;
        EXPECT_EQ(ds->FieldByName(QString::fromLatin1(c.field)), f);
        EXPECT_EQ(Column(*ds, QStringLiteral("SUGA")), Texts({"Priede", "Bērzs"})) << c.field;
        ds->First();
        ds->Edit();
        ds->FieldByName(QStringLiteral("GARUMS"))->SetAsInteger(10);
        ds->Post();
        EXPECT_EQ(Column(*ds, QStringLiteral("KOKS_NR")), Texts({"1"})) << "the filter reads GARUMS";
        ds->SetFiltered(false);
        EXPECT_EQ(Column(*ds, QStringLiteral("GARUMS")), Texts({"10", "50", "30"})) << "sorted by KOKS_NR, BALKIS_NR";
    }
}

} // namespace
