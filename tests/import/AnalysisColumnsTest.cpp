#include "import/AnalysisColumns.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

// A distinct value for field k of its type.
Value Distinct(const TField* f, int k)
{
    switch (f->DataType()) {
    case TFieldType::ftString: return Value(QStringLiteral("s%1").arg(k));
    case TFieldType::ftFloat: return Value(k + 0.25);
    case TFieldType::ftDateTime: return Value(DateTime(45000.0 + k));
    default: return Value(100 + k);
    }
}

QString Text(const TField* f) { return f->IsNull() ? QStringLiteral("<null>") : f->AsString(); }

// A row is read from a dataset made from the table and published through the table into one
// made from the table reversed: every field, found by name, must hold the value it had, so
// publishing and reading go by field, never by position. In place (the counts table) the same.
template <class Row>
void ExpectReorderedTableKeepsEveryValue(std::span<const TAnalysisColumn<Row>> columns)
{
    using namespace AnalysisColumns;
    const auto source = Create(QStringLiteral("source"), columns, QString());
    source->Append();
    for (int k = 0; k < source->FieldCount(); ++k)
        source->Fields(k)->SetValue(Distinct(source->Fields(k), k));
    source->Post();
    QStringList expected;
    for (int k = 0; k < source->FieldCount(); ++k)
        expected << Text(source->Fields(k));
    source->First();
    TTextPool texts; // for the pooled texts (raw variables' values)
    const std::vector<Row> rows = ReadToEnd(source.get(), columns, &texts);
    ASSERT_EQ(rows.size(), 1u);

    std::vector<TAnalysisColumn<Row>> reversed(columns.begin(), columns.end());
    std::reverse(reversed.begin(), reversed.end());
    const auto target = Create<Row>(QStringLiteral("target"), reversed, QString());
    ASSERT_EQ(target->Fields(0)->FieldName(), QString::fromLatin1(columns.back().Name));
    Append<Row>(target.get(), columns, rows);
    target->Append();
    target->Post();
    target->Last();
    Update<Row>(target.get(), columns, rows.front());

    for (target->First(); !target->Eof(); target->Next())
        for (int k = 0; k < source->FieldCount(); ++k)
            EXPECT_EQ(Text(target->FieldByName(source->Fields(k)->FieldName())), expected[k]) << k;
    target->First();
    const std::vector<Row> back = ReadToEnd<Row>(target.get(), columns, &texts);
    ASSERT_EQ(back.size(), 2u);
    Append<Row>(source.get(), columns, back);
    for (source->First(); !source->Eof(); source->Next())
        for (int k = 0; k < source->FieldCount(); ++k)
            EXPECT_EQ(Text(source->Fields(k)), expected[k]) << k;
}

TEST(AnalysisColumns, ReorderedTablesKeepEveryValueInItsField)
{
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::Header());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::Vars());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::Trees());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::Logs());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::Meas());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::KokuSk());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::DiamNovirzes());
    ExpectReorderedTableKeepsEveryValue(AnalysisColumns::Cirsmas());
}

// Empty members publish as empty (null) fields and read back empty.
TEST(AnalysisColumns, EmptyMembersStayEmpty)
{
    using namespace AnalysisColumns;
    const auto ds = Create(QStringLiteral("cdsMerijumi"), Meas(), QString());
    TMeasRow row;
    row.DERIGS.reset();
    row.MERIJ_VEIDS.reset();
    Append<TMeasRow>(ds.get(), Meas(), std::span<const TMeasRow>(&row, 1));
    for (int k = 0; k < ds->FieldCount(); ++k)
        EXPECT_TRUE(ds->Fields(k)->IsNull()) << ds->Fields(k)->FieldName().toStdString();
    ds->First();
    const std::vector<TMeasRow> back = ReadToEnd(ds.get(), Meas());
    ASSERT_EQ(back.size(), 1u);
    EXPECT_FALSE(back[0].DERIGS.has_value());
    EXPECT_TRUE(back[0].PIEZIMES.isEmpty());
}

// A refused value leaves the dataset as it was, and the one reported is the first refused in
// row order, whichever its column; the rows handed over are spent either way.
TEST(AnalysisColumns, FirstRefusedValueInRowOrderIsReported)
{
    using namespace AnalysisColumns;
    const auto ds = Create(QStringLiteral("cdsKoki"), Trees(), QString());
    std::vector<TTreeRow> rows(3);
    rows[1].DATUMS_PARB = std::numeric_limits<double>::infinity();
    rows[2].HRV_APJOMS = std::numeric_limits<double>::quiet_NaN(); // a column before the date's
    QString message;
    try {
        AppendAndRelease<TTreeRow>(ds.get(), Trees(), rows);
    } catch (const Exception& e) {
        message = e.Message();
    }
    EXPECT_TRUE(message.contains(QStringLiteral("DATUMS_PARB"))) << message.toStdString();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(rows.empty());
}

} // namespace
