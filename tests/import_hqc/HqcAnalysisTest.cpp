// The .hqc reader followed by the analysis: the real machine's file, the same stems written as a
// classic file, and the loader's one failure message.

#include "HqcTestUtil.h"

#include "import/AnalysisEngine.h"
#include "import/Readers.h"
#include "import/TCSHrvStumpwiseToDS.h"

#include "base/EValidationException.h"
#include "platform/data/ClientDataSet.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

TAnalysisModel Analysed(const QString& file, bool hqc)
{
    TAnalysisModel m;
    m.Header.FILE_NAME = file;
    m.Header.HAS_EMPTY_DATE = 0;
    m.Header.DIENU_SKAITS = 0;
    m.Header.IR_PARRAVUMI = 0;
    if (hqc)
        ImportHQCFile(file, m);
    else
        ImportKTRFile(file, m);
    TAnalysisEngine::ValidateAndCalculate(m, 20);
    return m;
}

} // namespace

TEST(HqcAnalysis, RealFileFromAMachine)
{
    const TAnalysisModel m = Analysed(HqcFixture("vimek-forester-h70.hqc"), true);

    // Seven randomly selected spruces of one day; every tree usable.
    const THeaderRow& h = m.Header;
    EXPECT_EQ(h.DIENU_SKAITS, 1);
    EXPECT_EQ(h.IR_PARRAVUMI, 0);
    EXPECT_EQ(h.HAS_EMPTY_DATE, 0);
    EXPECT_EQ(h.DATUMS_PARB_SAK, 42921.0);
    EXPECT_DOUBLE_EQ(*h.HRV_APJOMS_ALL, 891);
    EXPECT_DOUBLE_EQ(*h.DAST_APJOMS_ALL, 917);
    EXPECT_DOUBLE_EQ(*h.PROCENTS_ALL, -2.84);
    EXPECT_DOUBLE_EQ(*h.HRV_APJOMS_RAND, 891);
    EXPECT_DOUBLE_EQ(*h.DAST_APJOMS_RAND, 917);
    EXPECT_DOUBLE_EQ(*h.PROCENTS_RAND, -2.84);
    EXPECT_DOUBLE_EQ(h.HRV_APJOMS_OP.value_or(0), 0);
    EXPECT_FALSE(h.PROCENTS_OP.has_value());
    EXPECT_DOUBLE_EQ(*h.DIAM_NOVIRZE6MM_ALL, 92.86);

    const double hrv[] = {151, 108, 160, 126, 143, 107, 96};
    const double dast[] = {152, 113, 160, 131, 149, 112, 100};
    ASSERT_EQ(m.Trees.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_FALSE(m.Trees[i].DERIGS.has_value()) << i;
        EXPECT_DOUBLE_EQ(*m.Trees[i].HRV_APJOMS, hrv[i]) << i;
        EXPECT_DOUBLE_EQ(*m.Trees[i].DAST_APJOMS, dast[i]) << i;
    }

    // The second tree's butt log: two harvester diameters in a row above the one before.
    ASSERT_EQ(m.Logs.size(), 21u);
    for (const TLogRow& l : m.Logs)
        EXPECT_EQ(l.DERIGS, (l.KOKS_NR == 2 && l.BALKIS_NR == 1) ? 10 : 0) << *l.KOKS_NR << "/" << *l.BALKIS_NR;

    // The machine's own volume of the first log over bark is 0.0930750 m3 (LogVolume "m3sob"):
    // the cone sum over the control points agrees within a few per cent.
    const TLogRow& first = m.Logs[0];
    EXPECT_DOUBLE_EQ(*first.HRV_APJOMS, 94);
    EXPECT_NEAR(*first.HRV_APJOMS / 93.075, 1.0, 0.03);

    const TKokuSkRow& all = m.KokuSk[0];
    EXPECT_EQ(all.KOKU_SK_DER, 7);
    EXPECT_EQ(all.BALKU_SK_DER, 20);
    EXPECT_EQ(all.BALKU_SK_NEDER, 1);
    EXPECT_EQ(all.BALKU_SK_DER_SUGA, 21);
    EXPECT_FALSE(m.KokuSk[1].KOKU_SK_DER.has_value());
    EXPECT_EQ(m.KokuSk[2].KOKU_SK_DER, 7);

    // Deviation table of all trees: 140 counted points, 130 of them within 6 mm.
    const TDiamNovirzeRow* total = nullptr;
    for (const TDiamNovirzeRow& r : m.DiamNovirzes)
        if (r.IZV_VEIDS == 0 && r.INTERVALS_DIAMETRS == TAnalysisEngine::TotalRowText())
            total = &r;
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->LIDZ_2, 60);
    EXPECT_EQ(total->LIDZ_4, 108);
    EXPECT_EQ(total->LIDZ_6, 130);
    EXPECT_EQ(total->CITS, 10);
    EXPECT_EQ(total->KOPA, 140);
}

TEST(HqcAnalysis, SameStemsAsAClassicFileGiveTheSameAnalysis)
{
    const TAnalysisModel a = Analysed(HqcFixture("same-stems.hqc"), true);
    const TAnalysisModel b = Analysed(HqcFixture("same-stems.ktr"), false);

#define SAME(rowsA, rowsB, field) EXPECT_EQ(rowsA.field, rowsB.field) << #field << " row " << i
    {
        const size_t i = 0;
        const THeaderRow& x = a.Header;
        const THeaderRow& y = b.Header;
        // Everything but the file's name and the control date, which a classic file takes from
        // its stems and a StanForD 2010 file from its creation.
        SAME(x, y, HRV_APJOMS_ALL); SAME(x, y, DAST_APJOMS_ALL); SAME(x, y, PROCENTS_ALL);
        SAME(x, y, HRV_APJOMS_OP); SAME(x, y, DAST_APJOMS_OP); SAME(x, y, PROCENTS_OP);
        SAME(x, y, HRV_APJOMS_RAND); SAME(x, y, DAST_APJOMS_RAND); SAME(x, y, PROCENTS_RAND);
        SAME(x, y, HRV_NUMURS); SAME(x, y, HRV_VIN); SAME(x, y, DATUMS_PARB_SAK); SAME(x, y, HAS_EMPTY_DATE);
        SAME(x, y, DIENU_SKAITS); SAME(x, y, IR_PARRAVUMI); SAME(x, y, DIAM_NOVIRZE6MM_ALL);
        SAME(x, y, DIAM_NOVIRZE6MM_OP); SAME(x, y, DIAM_NOVIRZE6MM_RAND);
        EXPECT_NE(x.DATUMS_PARB, y.DATUMS_PARB);
    }
    ASSERT_EQ(a.Trees.size(), 2u);
    ASSERT_EQ(a.Trees.size(), b.Trees.size());
    for (size_t i = 0; i < a.Trees.size(); ++i) {
        const TTreeRow& x = a.Trees[i];
        const TTreeRow& y = b.Trees[i];
        SAME(x, y, KOKS_NR); SAME(x, y, BALKU_SK); SAME(x, y, IZV_VEIDS); SAME(x, y, HRV_APJOMS);
        SAME(x, y, DAST_APJOMS); SAME(x, y, DERIGS); SAME(x, y, SUGA); SAME(x, y, SUGA_TXT);
        SAME(x, y, DATUMS_PARB); SAME(x, y, CIRSMA_NR);
    }
    ASSERT_EQ(a.Logs.size(), 3u);
    ASSERT_EQ(a.Logs.size(), b.Logs.size());
    for (size_t i = 0; i < a.Logs.size(); ++i) {
        const TLogRow& x = a.Logs[i];
        const TLogRow& y = b.Logs[i];
        SAME(x, y, KOKS_NR); SAME(x, y, BALKIS_NR); SAME(x, y, SORT_NR); SAME(x, y, HRV_GARUMS);
        SAME(x, y, DAST_GARUMS); SAME(x, y, DAST_TIEVG); SAME(x, y, HRV_TIEVG); SAME(x, y, MER_SKAITS);
        SAME(x, y, DERIGS); SAME(x, y, HRV_APJOMS); SAME(x, y, DAST_APJOMS);
    }
    ASSERT_EQ(a.Meas.size(), 10u + 6u); // file points and a butt and a top row per log
    ASSERT_EQ(a.Meas.size(), b.Meas.size());
    for (size_t i = 0; i < a.Meas.size(); ++i) {
        const TMeasRow& x = a.Meas[i];
        const TMeasRow& y = b.Meas[i];
        SAME(x, y, KOKS_NR); SAME(x, y, BALKIS_NR); SAME(x, y, MERIJUMS_NR); SAME(x, y, MERVIETA);
        SAME(x, y, MERVIETA_IEP_HRV); SAME(x, y, MERVIETA_IEP_DAST); SAME(x, y, HRV_GARUMS);
        SAME(x, y, DAST_GARUMS); SAME(x, y, HRV_DIAMETRS); SAME(x, y, DAST_DIAMETRS); SAME(x, y, DERIGS);
        SAME(x, y, SORT_NR); SAME(x, y, PIEZIMES); SAME(x, y, NOVIRZE_DIAMETRS); SAME(x, y, NOVIRZE_DIAM_LIDZ);
        SAME(x, y, INTERVALS_DIAMETRS); SAME(x, y, DERIGS_DIAM_NOV); SAME(x, y, MERIJ_VEIDS);
    }
    for (size_t i = 0; i < 3; ++i) {
        const TKokuSkRow& x = a.KokuSk[i];
        const TKokuSkRow& y = b.KokuSk[i];
        SAME(x, y, IZV_VEIDS); SAME(x, y, KOKU_SK_DER); SAME(x, y, KOKU_SK_NEDER); SAME(x, y, BALKU_SK_DER);
        SAME(x, y, BALKU_SK_NEDER); SAME(x, y, KOKU_SK_DER_SUGA); SAME(x, y, BALKU_SK_DER_SUGA);
        SAME(x, y, MERIJ_NEDER_DIAM);
    }
    ASSERT_EQ(a.DiamNovirzes.size(), b.DiamNovirzes.size());
    for (size_t i = 0; i < a.DiamNovirzes.size(); ++i) {
        const TDiamNovirzeRow& x = a.DiamNovirzes[i];
        const TDiamNovirzeRow& y = b.DiamNovirzes[i];
        SAME(x, y, IZV_VEIDS); SAME(x, y, INTERVALS_DIAMETRS); SAME(x, y, LIDZ_2); SAME(x, y, LIDZ_2_PRCNT);
        SAME(x, y, LIDZ_4); SAME(x, y, LIDZ_4_PRCNT); SAME(x, y, LIDZ_6); SAME(x, y, LIDZ_6_PRCNT);
        SAME(x, y, CITS); SAME(x, y, CITS_PRCNT); SAME(x, y, KOPA);
    }
    ASSERT_EQ(a.Cirsmas.size(), b.Cirsmas.size());
    for (size_t i = 0; i < a.Cirsmas.size(); ++i) {
        SAME(a.Cirsmas[i], b.Cirsmas[i], CIRSMA_NR);
        SAME(a.Cirsmas[i], b.Cirsmas[i], OBJECTUSERID);
    }
#undef SAME
    // Both trees are usable and each kind has its volumes.
    EXPECT_FALSE(a.Trees[0].DERIGS.has_value());
    EXPECT_GT(a.Header.HRV_APJOMS_OP.value_or(0), 0);
    EXPECT_GT(a.Header.HRV_APJOMS_RAND.value_or(0), 0);
}

TEST(HqcAnalysis, LoaderShowsEveryReaderFailureInItsOneMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bad = dir.filePath(QStringLiteral("BAD.HQC"));
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QFile src(HqcFixture("same-stems.hqc"));
        ASSERT_TRUE(src.open(QIODevice::ReadOnly));
        f.write(src.readAll().replace("<SpeciesGroupKey>2</SpeciesGroupKey>\n        <HarvestDate>",
                                      "<SpeciesGroupKey>9</SpeciesGroupKey>\n        <HarvestDate>"));
    }
    const QString prefix = QStringLiteral("Kļūda ielādējot failu! Pārbaudiet vai fails ir korekts.\r\nKļūdas paziņojums: ");
    struct Case {
        QString file;
        QString message;
    };
    const Case cases[] = {
        {bad, QStringLiteral("Suga ar atslēgu \"9\" nav atrasta!")},
        {dir.filePath(QStringLiteral("missing.hqc")),
         QStringLiteral("Fails \"%1\" nav atrasts!").arg(dir.filePath(QStringLiteral("missing.hqc")))},
    };
    TCSHrvStumpwiseToDS loader;
    for (const Case& c : cases) {
        loader.ImportFileIntoDS(HqcFixture("vimek-forester-h70.hqc"));
        EXPECT_EQ(loader.cdsKoki()->RecordCount(), 7);
        try {
            loader.ImportFileIntoDS(c.file);
            ADD_FAILURE() << "no failure for " << c.file.toStdString();
        } catch (const EValidationException& e) {
            EXPECT_EQ(e.Message(), prefix + c.message);
        }
        EXPECT_EQ(loader.HrvFileType(), csHrvHQCFile);
        EXPECT_EQ(loader.cdsKoki()->RecordCount(), 0);
        EXPECT_EQ(loader.cdsBalki()->RecordCount(), 0);
        EXPECT_EQ(loader.cdsMerijumi()->RecordCount(), 0);
        EXPECT_EQ(loader.cdsCirsmas()->RecordCount(), 0);
    }
}
