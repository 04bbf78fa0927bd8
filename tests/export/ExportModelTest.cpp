#include "ExportTestUtil.h"

#include "export/TDocumentExportBase.h"
#include "platform/rtl/ERangeError.h"

#include <gtest/gtest.h>

namespace {

class PlainExport : public TDocumentExportBase
{
public:
    void SetVisible(bool) override { }
};

} // namespace

TEST(ExportModel, NormalizeName)
{
    EXPECT_EQ(TDocumentExportBase::NormalizeName(QStringLiteral("Koki: 2023/05")), QStringLiteral("Koki_ 2023_05"));
    EXPECT_EQ(TDocumentExportBase::NormalizeName(QString()), QStringLiteral("Sheet"));
    const QString forty = QStringLiteral("abcdefghij").repeated(4);
    EXPECT_EQ(TDocumentExportBase::NormalizeName(forty), forty.left(31));
    EXPECT_EQ(TDocumentExportBase::NormalizeName(QStringLiteral("a\\b?c*d[e]f'G h")), QStringLiteral("a_b_c_d_e_f'G h"));
}

TEST(ExportModel, CellRangeText)
{
    const struct { int col; const char* letters; } cases[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TDocumentExportBase::ColumnLetters(c.col), QString::fromLatin1(c.letters)) << c.col;
    EXPECT_EQ(TDocumentExportBase::CellRangeText(28, 2, 28, 10, false), QStringLiteral("AB2:AB10"));
    EXPECT_EQ(TDocumentExportBase::CellRangeText(1, 3, 1, 3, false), QStringLiteral("A3:A3"));
    EXPECT_EQ(TDocumentExportBase::CellRangeText(28, 2, 28, 10, true), QStringLiteral(".AB2:.AB10"));
    EXPECT_THROW(TDocumentExportBase::CellRangeText(0, 1, 1, 1, false), ERangeError);
    EXPECT_THROW(TDocumentExportBase::CellRangeText(1, 0, 1, 1, false), ERangeError);
}

TEST(ExportModel, TitlesAndLists)
{
    PlainExport e;
    e.SetTitle(QStringLiteral("Koki"));
    EXPECT_EQ(e.FullTitle(), QStringLiteral("Koki"));
    e.SetIsTemplate(true);
    EXPECT_EQ(e.FullTitle(), QStringLiteral("Veidne: Koki"));
    EXPECT_FALSE(e.HasLegend());
    const QStringList lines{QStringLiteral("a"), QStringLiteral("b")};
    e.SetLegend(&lines);
    EXPECT_EQ(e.Legend(), lines);
    e.SetLegend(nullptr);
    EXPECT_FALSE(e.HasLegend());
    EXPECT_TRUE(e.Legend().isEmpty());
}

TEST(ExportModel, ColumnsFollowTheirField)
{
    auto ds = MakeTrees(2);
    ds->FieldByName(QStringLiteral("APJOMS"))->SetDisplayFormat(QStringLiteral("0.00"));
    ds->FieldByName(QStringLiteral("APJOMS"))->SetAlignment(TAlignment::taRightJustify);
    ds->FieldByName(QStringLiteral("SUGA"))->SetDisplayFormat(QStringLiteral("ignored"));
    PlainExport e;
    e.SetDataset(ds.get());
    TxlColumn& c = e.Columns().Add();
    EXPECT_EQ(c.DataSet(), ds.get());
    c.SetDataField(QStringLiteral("apjoms"));
    EXPECT_EQ(c.DataField(), QStringLiteral("APJOMS"));
    EXPECT_EQ(c.DisplayLabel(), QStringLiteral("Apjoms, dm³"));
    EXPECT_EQ(c.DisplayFormat(), QStringLiteral("0.00"));
    EXPECT_EQ(c.Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(c.Field(), ds->FieldByName(QStringLiteral("APJOMS")));
    TxlColumn& s = e.Columns().Add();
    s.SetDataField(QStringLiteral("SUGA"));
    EXPECT_TRUE(s.DisplayFormat().isEmpty()); // only numbers and dates take the format
    TxlColumn& missing = e.Columns().Add();
    missing.SetDataField(QStringLiteral("NAV"));
    EXPECT_EQ(missing.Field(), nullptr);
    EXPECT_EQ(missing.GetDisplayName(), QStringLiteral("NAV"));

    // A copy takes everything but the orientation and the format numbers.
    c.SetCaptionOrientation(90);
    c.SetComment(QStringLiteral("piezīme"));
    c.CommentLegend() << QStringLiteral("rinda");
    c.Dictionary().Add(QStringLiteral("Priede"), 1);
    PlainExport other;
    other.SetColumns(e.Columns());
    const TxlColumn& copy = other.Columns().Items(0);
    EXPECT_EQ(copy.DataField(), QStringLiteral("APJOMS"));
    EXPECT_EQ(copy.Comment(), QStringLiteral("piezīme"));
    EXPECT_EQ(copy.CaptionOrientation(), 0);
    EXPECT_EQ(copy.CommentLegend(), QStringList{QStringLiteral("rinda")});
    EXPECT_EQ(copy.Dictionary().AsString(0), QStringLiteral("Priede: 1 (P)"));

    // Setting the dataset again, the same one included, empties the columns.
    e.SetDataset(ds.get());
    EXPECT_EQ(e.Columns().Count(), 0);
    EXPECT_THROW(e.Columns().Items(0), Exception);

    // A dataset that dies leaves no dangling field behind.
    ds.reset();
    EXPECT_EQ(e.Dataset(), nullptr);
    EXPECT_EQ(other.Columns().Items(0).Field(), nullptr);
    EXPECT_EQ(other.Columns().Items(0).DataSet(), nullptr);
}

TEST(ExportModel, RowFormatLookups)
{
    TClientDataSet ds;
    ds.FieldDefs().Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("ROW_FORMAT"), TFieldType::ftString, 200);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName(QStringLiteral("ROW_FORMAT"))->SetAsString(
        QStringLiteral("rwbkgcolor=255*CLBOLD=KOKS_NR,true;SUGA,false* \"CLITALIC=KOKS_NR,1\""));
    ds.Post();
    PlainExport e;
    EXPECT_TRUE(e.GetRowFormatValue(QStringLiteral("RWBKGCOLOR")).isEmpty());
    e.SetDataset(&ds);
    EXPECT_EQ(e.GetRowFormatValue(QStringLiteral("RWBKGCOLOR")), QStringLiteral("255"));
    EXPECT_EQ(e.GetRowFormatValue(QStringLiteral("NONE")), QString());
    TField* koks = ds.FieldByName(QStringLiteral("KOKS_NR"));
    EXPECT_EQ(e.GetCellFormatValue(QStringLiteral("clbold"), koks), QStringLiteral("true"));
    EXPECT_EQ(e.GetCellFormatValue(QStringLiteral("CLITALIC"), koks), QStringLiteral("1"));
    EXPECT_EQ(e.GetCellFormatValue(QStringLiteral("CLBKGCOLOR"), koks), QString());

    const QStringList split = TDocumentExportBase::SplitDelimited(QStringLiteral(" a b*\"c d\"**e*"), QLatin1Char('*'));
    EXPECT_EQ(split, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c d"), QString(),
                                  QStringLiteral("e"), QString()}));
}

TEST(ExportModel, DictionaryAliases)
{
    TFileFieldDictionary d;
    d.Add(QString(), 1);
    EXPECT_EQ(d.Count(), 0);
    d.Add(QStringLiteral("Priede"), 1);
    d.Add(QStringLiteral("Parastā egle"), 2);
    d.Add(QStringLiteral("Pa"), 3);
    d.Add(QStringLiteral("Pa"), 4);
    EXPECT_EQ(d.AsString(0), QStringLiteral("Priede: 1 (P)"));
    EXPECT_EQ(d.AsString(1), QStringLiteral("Parastā egle: 2 (PE)"));
    for (int i = 0; i < d.Count(); ++i)
        for (int j = i + 1; j < d.Count(); ++j)
            EXPECT_NE(d.Item(i).ValueAlias, d.Item(j).ValueAlias);
    EXPECT_EQ(d.ValueByAlias(QStringLiteral("pe")), 2);
    EXPECT_EQ(d.ValueByAlias(QStringLiteral("zz")), -1);
    EXPECT_TRUE(d.HasValueInList(3));
    EXPECT_FALSE(d.HasValueInList(9));
}
