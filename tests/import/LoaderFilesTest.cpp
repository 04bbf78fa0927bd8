// Real control files through the loader: the analysis holds together whichever reader read it.

#include "import/TCSHrvStumpwiseToDS.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"

#include <gtest/gtest.h>

namespace {

QString Fixture(const char* name) { return QStringLiteral(STUMPWISE_FIXTURES "/") + QString::fromUtf8(name); }

// Every row of a dataset in its index order, fields joined, optionally without some fields.
QStringList Rows(TClientDataSet* ds, const QStringList& skip = {})
{
    QStringList rows;
    for (ds->First(); !ds->Eof(); ds->Next()) {
        QStringList cells;
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (!skip.contains(ds->Fields(i)->FieldName()))
                cells << ds->Fields(i)->AsString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

TEST(LoaderFiles, RealFilesHoldTogether)
{
    for (const char* name : {"ktr/jd-timbermatic-2013.ktr", "ktr/komatsu-maxixplorer-2017.ktr",
                             "hqc/vimek-forester-h70.hqc", "hqc/two-control-groups.hqc"}) {
        SCOPED_TRACE(name);
        TCSHrvStumpwiseToDS l;
        ASSERT_NO_THROW(l.ImportFileIntoDS(Fixture(name)));
        TClientDataSet* k = l.cdsKoki();
        ASSERT_GT(k->RecordCount(), 0);

        // Header totals are the sums of the tree volumes of their kind.
        double hrvAll = 0, dastAll = 0, hrvRand = 0;
        for (k->First(); !k->Eof(); k->Next()) {
            hrvAll += k->FieldByName(QStringLiteral("HRV_APJOMS"))->AsFloat();
            dastAll += k->FieldByName(QStringLiteral("DAST_APJOMS"))->AsFloat();
            if (k->FieldByName(QStringLiteral("IZV_VEIDS"))->AsInteger() == 1)
                hrvRand += k->FieldByName(QStringLiteral("HRV_APJOMS"))->AsFloat();
        }
        TClientDataSet* h = l.cdsHeader();
        EXPECT_DOUBLE_EQ(h->FieldByName(QStringLiteral("HRV_APJOMS_ALL"))->AsFloat(), hrvAll);
        EXPECT_DOUBLE_EQ(h->FieldByName(QStringLiteral("DAST_APJOMS_ALL"))->AsFloat(), dastAll);
        EXPECT_DOUBLE_EQ(h->FieldByName(QStringLiteral("HRV_APJOMS_RAND"))->AsFloat(), hrvRand);

        // Row 0 of the counts is the sum of rows 1 and 2; every tree and log is counted once.
        TClientDataSet* sk = l.cdsKokuSk();
        std::vector<std::vector<int>> counts;
        for (sk->First(); !sk->Eof(); sk->Next()) {
            std::vector<int> row;
            for (int i = 1; i <= 6; ++i)
                row.push_back(sk->Fields(i)->AsInteger());
            counts.push_back(row);
        }
        ASSERT_EQ(counts.size(), 3u);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(counts[0][i], counts[1][i] + counts[2][i]) << i;
        EXPECT_EQ(counts[0][0] + counts[0][1], k->RecordCount());
        EXPECT_EQ(counts[0][2] + counts[0][3], l.cdsBalki()->RecordCount());

        // Every measurement has its use in the deviation table; every log its two synthetic rows.
        TClientDataSet* m = l.cdsMerijumi();
        int synthetic = 0;
        for (m->First(); !m->Eof(); m->Next()) {
            EXPECT_FALSE(m->FieldByName(QStringLiteral("DERIGS_DIAM_NOV"))->IsNull());
            if (m->FieldByName(QStringLiteral("MERIJ_VEIDS"))->AsInteger() != 0)
                ++synthetic;
        }
        EXPECT_EQ(synthetic, 2 * l.cdsBalki()->RecordCount());
    }
}

// The same stems written as a classic file and as a StanForD 2010 file give the same analysis.
TEST(LoaderFiles, SameStemsSameAnalysis)
{
    TCSHrvStumpwiseToDS ktr;
    ktr.ImportFileIntoDS(Fixture("hqc/same-stems.ktr"));
    TCSHrvStumpwiseToDS hqc;
    hqc.ImportFileIntoDS(Fixture("hqc/same-stems.hqc"));
    EXPECT_EQ(Rows(ktr.cdsKoki(), {QStringLiteral("SUGA_TXT"), QStringLiteral("CIRSMA_NR")}),
              Rows(hqc.cdsKoki(), {QStringLiteral("SUGA_TXT"), QStringLiteral("CIRSMA_NR")}));
    EXPECT_EQ(Rows(ktr.cdsBalki()), Rows(hqc.cdsBalki()));
    EXPECT_EQ(Rows(ktr.cdsMerijumi()), Rows(hqc.cdsMerijumi()));
    EXPECT_EQ(Rows(ktr.cdsKokuSk()), Rows(hqc.cdsKokuSk()));
    EXPECT_EQ(Rows(ktr.cdsDiamNovirzes()), Rows(hqc.cdsDiamNovirzes()));
    const QStringList headerOnly = {QStringLiteral("FILE_NAME"), QStringLiteral("HRV_NUMURS"), QStringLiteral("HRV_VIN"),
                                    QStringLiteral("DATUMS_PARB")};
    EXPECT_EQ(Rows(ktr.cdsHeader(), headerOnly), Rows(hqc.cdsHeader(), headerOnly));
}

} // namespace
