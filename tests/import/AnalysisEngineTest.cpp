#include "ModelBuilder.h"

#include "import/AnalysisEngine.h"
#include "import/MeasNotes.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>

namespace {

const int kMax = 20;

QString Msg(int code) { return TAnalysisEngine::GetErrorMessage(code); }

TEST(AnalysisEngine, ErrorTextsAndNotes)
{
    EXPECT_EQ(Msg(0), QStringLiteral("  "));
    EXPECT_EQ(Msg(99), QStringLiteral("  "));
    EXPECT_EQ(Msg(18), QStringLiteral("Mērījumu skaits ir mazāks par 3  "));
    EXPECT_EQ(Msg(52), QStringLiteral("Neatbilst suga  "));

    TMeasRow row;
    TTextPool texts;
    TMeasNotes notes(texts);
    notes.Set(row, 20);
    notes.Set(row, 7);
    EXPECT_EQ(row.PIEZIMES, QStringLiteral("Mērījuma vieta ir 10 cm robežās no tievgaļa  ;Nav norādīti dastmēra diametri  "));
    EXPECT_EQ(row.DERIGS, 7);
    // A row flagged alike gets the very same notes, made once.
    TMeasRow other;
    notes.Set(other, 20);
    notes.Set(other, 7);
    EXPECT_EQ(&other.PIEZIMES.Text(), &row.PIEZIMES.Text());
    EXPECT_EQ(texts.size(), 2u);
    notes.Set(row, 0);
    EXPECT_TRUE(row.PIEZIMES.isEmpty());
    EXPECT_EQ(row.DERIGS, 0);
    // Notes never grow past their field's width.
    for (int i = 0; i < 10; ++i)
        notes.Set(row, 18);
    EXPECT_EQ(row.PIEZIMES.Text().size(), AnalysisWidth::PIEZIMES);
    EXPECT_TRUE(row.PIEZIMES.Text().startsWith(Msg(18) + QLatin1Char(';') + Msg(18)));
}

TEST(AnalysisEngine, IntervalsAndClasses)
{
    const struct { int d; const char* text; } intervals[] = {
        {0, "0-99"}, {99, "0-99"}, {100, "100-199"}, {199, "100-199"}, {200, "200-299"}, {399, "300-399"},
        {400, "400-500"}, {500, "400-500"}, {501, "Cits"}};
    for (const auto& c : intervals)
        EXPECT_EQ(TAnalysisEngine::GetDiamInterval(c.d), QString::fromUtf8(c.text)) << c.d;
    const struct { int dev; int cls; } classes[] = {{0, 2}, {2, 2}, {3, 3}, {4, 3}, {5, 4}, {6, 4}, {7, 1}, {100, 1}};
    for (const auto& c : classes)
        EXPECT_EQ(TAnalysisEngine::GetNovirzeClass(c.dev), c.cls) << c.dev;
}

// The hand-worked butt log: one point at 200 cm of 250 mm, top 200 mm at 400 cm.
TEST(AnalysisEngine, ButtExtrapolationAndVolume)
{
    TModelBuilder b;
    b.Tree(1);
    b.Log(1, 1, 400, 200, 1);
    b.Meas(1, 1, 1, 200, 250, 250);
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);

    const TMeasRow& butt = b.Row(1, 1, 0);
    EXPECT_EQ(butt.MERIJ_VEIDS, 1);
    EXPECT_EQ(butt.HRV_DIAMETRS, 300);
    EXPECT_EQ(butt.DAST_DIAMETRS, 300);
    const TMeasRow& top = b.Row(1, 1, 102);
    EXPECT_EQ(top.MERIJ_VEIDS, 2);
    EXPECT_EQ(top.MERVIETA, 400);
    EXPECT_EQ(top.HRV_GARUMS, 200);
    EXPECT_EQ(top.DAST_GARUMS, 200);
    EXPECT_EQ(top.MERVIETA_IEP_HRV, 200);
    EXPECT_EQ(b.m.Logs[0].DERIGS, 0);
    EXPECT_EQ(b.m.Logs[0].HRV_APJOMS, 199.0);
    EXPECT_EQ(b.m.Logs[0].DAST_APJOMS, 199.0);
    EXPECT_EQ(b.m.Trees[0].HRV_APJOMS, 199.0);
    EXPECT_EQ(b.m.Header.HRV_APJOMS_ALL, 199.0);
    EXPECT_EQ(b.m.Header.HRV_APJOMS_OP, 199.0);
    EXPECT_EQ(b.m.Header.HRV_APJOMS_RAND, 0.0);
    EXPECT_EQ(b.m.Header.PROCENTS_ALL, 0.0);
    EXPECT_FALSE(b.m.Header.PROCENTS_RAND.has_value());
    EXPECT_FALSE(b.m.Trees[0].DERIGS.has_value());
}

TEST(AnalysisEngine, GoodLogSectionsAndVolume)
{
    TModelBuilder b;
    b.Tree(1);
    b.GoodLog(1, 1);
    b.Log(1, 2, 300, 150, 1);
    b.Meas(1, 2, 1, 150, 180, 170);
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);

    // Butt row of the butt log extrapolated from 270@100 and 250@200: 290.
    EXPECT_EQ(b.Row(1, 1, 0).HRV_DIAMETRS, 290);
    // Radii 1.45/1.35/1.25/1.15/1.00 dm, 10 dm sections: 196.35 dm3.
    EXPECT_EQ(b.m.Logs[0].HRV_APJOMS, 196.0);
    // The second log's butt row holds the first log's top diameters.
    EXPECT_EQ(b.Row(1, 2, 0).HRV_DIAMETRS, 200);
    EXPECT_EQ(b.Row(1, 2, 0).DAST_DIAMETRS, 200);
    EXPECT_EQ(b.Row(1, 2, 102).MERVIETA, 300);
    const TMeasRow& r = b.Row(1, 2, 1);
    EXPECT_EQ(r.NOVIRZE_DIAMETRS, 10);
    EXPECT_EQ(r.NOVIRZE_DIAM_LIDZ, 1);
    EXPECT_EQ(r.INTERVALS_DIAMETRS, QStringLiteral("100-199"));
    EXPECT_EQ(r.MERVIETA_IEP_DAST, 0);
    EXPECT_EQ(r.DAST_GARUMS, 150);
}

struct CodeCase {
    const char* name;
    std::function<void(TModelBuilder&)> build; // tree 1 with logs 1 (good) and 2 (good) unless changed
    std::optional<int> tree;
    int logNr;
    int logCode;
    int measNr;
    int measCode;
    QString notes;
};

TEST(AnalysisEngine, ValidationCodes)
{
    auto measOf = [](TModelBuilder& b, int log, int nr) -> TMeasRow& {
        for (TMeasRow& r : b.m.Meas)
            if (r.BALKIS_NR == log && r.MERIJUMS_NR == nr)
                return r;
        throw std::runtime_error("missing");
    };
    auto logOf = [](TModelBuilder& b, int nr) -> TLogRow& {
        for (TLogRow& l : b.m.Logs)
            if (l.BALKIS_NR == nr)
                return l;
        throw std::runtime_error("missing");
    };
    const std::vector<CodeCase> cases = {
        {"usable", [](TModelBuilder&) {}, std::nullopt, 1, 0, 2, 0, QString()},
        {"4 caliper length 0", [&](TModelBuilder& b) { logOf(b, 2).DAST_GARUMS = 0; }, std::nullopt, 2, 4, 2, 4, Msg(4)},
        {"7 caliper empty", [&](TModelBuilder& b) { measOf(b, 2, 2).DAST_DIAMETRS.reset(); }, std::nullopt, 2, 0, 2, 7,
         Msg(7)},
        {"10 growing", [&](TModelBuilder& b) { measOf(b, 2, 2).HRV_DIAMETRS = 210; measOf(b, 2, 3).HRV_DIAMETRS = 220; },
         std::nullopt, 2, 10, 1, 10, Msg(10)},
        {"13 no position", [&](TModelBuilder& b) { measOf(b, 2, 2).MERVIETA.reset(); }, std::nullopt, 2, 0, 2, 13,
         Msg(13)},
        {"15 no top", [&](TModelBuilder& b) { logOf(b, 2).HRV_TIEVG = 0; }, std::nullopt, 2, 15, 1, 15, Msg(15)},
        {"16 two missing", [&](TModelBuilder& b) { measOf(b, 2, 2).DAST_DIAMETRS = 0; measOf(b, 2, 3).DAST_DIAMETRS = 0; },
         std::nullopt, 2, 16, 2, 16, Msg(16)},
        {"17 first point", [&](TModelBuilder& b) { measOf(b, 1, 1).DAST_DIAMETRS = 0; }, std::nullopt, 1, 17, 1, 17,
         Msg(17)},
        {"18 too few, code 20 row keeps both texts",
         [&](TModelBuilder& b) {
             b.m.Meas.erase(std::remove_if(b.m.Meas.begin(), b.m.Meas.end(),
                                           [](const TMeasRow& r) { return r.BALKIS_NR == 2 && r.MERIJUMS_NR != 1; }),
                            b.m.Meas.end());
             measOf(b, 2, 1).MERVIETA = 395;
             logOf(b, 2).MER_SKAITS = 1;
         },
         std::nullopt, 2, 18, 1, 18, Msg(20) + ";" + Msg(18)},
        {"20 at 391", [&](TModelBuilder& b) { measOf(b, 2, 3).MERVIETA = 391; }, std::nullopt, 2, 0, 3, 20, Msg(20)},
        {"no 20 at 390", [&](TModelBuilder& b) { measOf(b, 2, 3).MERVIETA = 390; }, std::nullopt, 2, 0, 3, 0, QString()},
        {"caliper 0 is not 7", [&](TModelBuilder& b) { measOf(b, 2, 2).DAST_DIAMETRS = 0; }, std::nullopt, 2, 0, 2, 0,
         QString()},
        {"50 harvester 0", [&](TModelBuilder& b) { measOf(b, 2, 2).HRV_DIAMETRS = 0; }, std::nullopt, 2, 0, 2, 50, Msg(50)},
        {"51 all logs coded",
         [&](TModelBuilder& b) { logOf(b, 1).DAST_GARUMS = 0; logOf(b, 2).DAST_GARUMS = 0; }, 51, 1, 4, 1, 4, Msg(4)},
        {"52 species", [](TModelBuilder& b) { b.m.Trees[0].SUGA = QStringLiteral("BĒRZS"); }, 52, 2, 52, 2, 52, Msg(52)},
        {"52 empty species", [](TModelBuilder& b) { b.m.Trees[0].SUGA.clear(); }, 52, 1, 52, 1, 52, Msg(52)},
        {"species case", [](TModelBuilder& b) { b.m.Trees[0].SUGA = QStringLiteral("Priede"); }, std::nullopt, 1, 0, 1, 0,
         QString()},
        {"55 no measurements", [&](TModelBuilder& b) { logOf(b, 2).MER_SKAITS = 0; }, std::nullopt, 2, 55, 2, 55, Msg(55)},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TModelBuilder b;
        b.Tree(1);
        b.GoodLog(1, 1);
        b.GoodLog(1, 2);
        c.build(b);
        TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
        EXPECT_EQ(b.m.Trees[0].DERIGS, c.tree);
        EXPECT_EQ(logOf(b, c.logNr).DERIGS, c.logCode);
        const TMeasRow& r = b.Row(1, c.logNr, c.measNr);
        EXPECT_EQ(r.DERIGS, c.measCode);
        EXPECT_EQ(r.PIEZIMES, c.notes);
    }
}

// Every log of a tree is tested for too few usable rows, not only up to the first that fails.
TEST(AnalysisEngine, TooFewRowsOnEveryLog)
{
    TModelBuilder b;
    b.Tree(1);
    b.GoodLog(1, 1);
    for (int nr = 2; nr <= 3; ++nr) {
        b.Log(1, nr, 400, 200, 1);
        b.Meas(1, nr, 1, 395, 210, 210);
    }
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
    EXPECT_EQ(b.m.Logs[0].DERIGS, 0);
    EXPECT_EQ(b.m.Logs[1].DERIGS, 18);
    EXPECT_EQ(b.m.Logs[2].DERIGS, 18);
}

TEST(AnalysisEngine, TopRowNumberAndPosition)
{
    TModelBuilder b;
    b.Tree(1);
    b.Log(1, 1, 800, 150, 7);
    for (int nr = 1; nr <= 7; ++nr)
        b.Meas(1, 1, nr, nr * 100, 300 - nr * 20, 300 - nr * 20);
    b.Log(1, 2, 300, 100, 0);
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
    const auto rows = b.RowsOf(1, 1);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows.front()->MERIJUMS_NR, 0);
    EXPECT_EQ(rows.back()->MERIJUMS_NR, 108);
    EXPECT_EQ(rows.back()->MERVIETA, 800);
    const auto empty = b.RowsOf(1, 2);
    ASSERT_EQ(empty.size(), 2u);
    EXPECT_EQ(empty.back()->MERIJUMS_NR, 101);
}

// Two trees with one number share their logs: each log gets a butt and a top row per tree,
// and its rows are walked in number order with all of them.
TEST(AnalysisEngine, TreesSharingANumberShareTheirLogs)
{
    TModelBuilder b;
    b.Tree(1);
    b.Tree(1);
    b.GoodLog(1, 1);
    b.Log(1, 2, 300, 100, 0);
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
    auto signature = [&](int log) {
        QStringList rows;
        for (const TMeasRow& r : b.m.Meas)
            if (r.BALKIS_NR == log)
                rows << QStringLiteral("%1:%2/%3/%4/%5")
                            .arg(r.MERIJUMS_NR.value_or(-1))
                            .arg(r.MERVIETA_IEP_HRV.value_or(-1))
                            .arg(r.HRV_GARUMS.value_or(-1))
                            .arg(r.DAST_GARUMS.value_or(-1))
                            .arg(r.DERIGS.value_or(-1));
        return rows.join(QLatin1Char(' ')).toStdString();
    };
    // number:previous position/harvester section/caliper section/code
    EXPECT_EQ(signature(1), "1:0/100/100/0 2:100/100/100/0 3:200/100/100/0 0:0/0/0/0 104:300/100/100/0 0:0/0/0/0 "
                            "205:400/0/0/0");
    EXPECT_EQ(signature(2), "0:-1/-1/-1/55 101:-1/-1/-1/55 0:-1/-1/-1/55 202:-1/-1/-1/55");
    EXPECT_EQ(b.m.Logs[0].HRV_APJOMS, 196.0);
    EXPECT_EQ(b.m.Trees[0].HRV_APJOMS, 196.0);
}

TEST(AnalysisEngine, RenumbersLogsNumberedFromTheTop)
{
    TModelBuilder b;
    b.Tree(1);
    // Thinnest log carries number 1: the tree is numbered from the top end.
    b.Log(1, 1, 300, 120, 1);
    b.Meas(1, 1, 1, 150, 140, 140);
    b.Log(1, 2, 300, 160, 1);
    b.Meas(1, 2, 1, 150, 180, 180);
    b.Log(1, 3, 300, 200, 1);
    b.Meas(1, 3, 1, 150, 220, 220);
    // Equal thinnest diameters never count as reversed; a single log is never renumbered.
    b.Tree(2);
    b.Log(2, 1, 300, 150, 1);
    b.Log(2, 2, 300, 150, 1);
    b.Log(2, 3, 300, 200, 1);
    b.Tree(3);
    b.Log(3, 1, 300, 150, 1);
    // Without harvester top diameters the caliper ones decide.
    b.Tree(4);
    b.Log(4, 1, 300, 120, 1);
    b.Log(4, 2, 300, 160, 1);
    b.m.Logs[7].HRV_TIEVG.reset();
    b.m.Logs[8].HRV_TIEVG = 0;
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
    EXPECT_EQ(b.m.Logs[7].BALKIS_NR, 2);
    EXPECT_EQ(b.m.Logs[8].BALKIS_NR, 1);

    EXPECT_EQ(b.m.Logs[0].BALKIS_NR, 3);
    EXPECT_EQ(b.m.Logs[0].SORT_NR, 3);
    EXPECT_EQ(b.m.Logs[2].BALKIS_NR, 1);
    EXPECT_EQ(b.m.Logs[2].SORT_NR, 1);
    EXPECT_EQ(b.m.Meas[2].BALKIS_NR, 1); // the 220 mm point follows its log
    EXPECT_EQ(b.m.Meas[2].SORT_NR, 1);
    EXPECT_EQ(b.m.Meas[0].BALKIS_NR, 3);
    EXPECT_EQ(b.Row(1, 1, 0).HRV_DIAMETRS.has_value(), true); // butt row built after renumbering
    for (size_t l = 3; l < 7; ++l) {
        EXPECT_FALSE(b.m.Logs[l].SORT_NR.has_value()) << l;
        EXPECT_EQ(b.m.Logs[l].BALKIS_NR, l == 6 ? 1 : static_cast<int>(l) - 2) << l;
    }
}

TEST(AnalysisEngine, ControlDays)
{
    const double may1 = 45047; // any day number; only differences matter
    const struct {
        std::vector<std::optional<double>> dates;
        int days;
        int gaps;
        int empty;
    } cases[] = {
        {{may1 + 0.4, may1 + 1, may1 + 3.9}, 3, 1, 0},
        {{may1, may1 + 0.7, may1 + 1}, 2, 0, 0},
        {{std::nullopt, may1 + 1, may1}, 2, 0, 1},
        {{std::nullopt}, 0, 0, 1},
    };
    for (const auto& c : cases) {
        TModelBuilder b;
        int k = 1;
        for (const auto& d : c.dates)
            b.Tree(k++, QStringLiteral("EGLE"), 2, d);
        TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
        EXPECT_EQ(b.m.Header.DIENU_SKAITS, c.days);
        EXPECT_EQ(b.m.Header.IR_PARRAVUMI, c.gaps);
        EXPECT_EQ(b.m.Header.HAS_EMPTY_DATE, c.empty);
        if (c.days > 0) {
            EXPECT_EQ(b.m.Header.DATUMS_PARB_SAK, may1);
        }
    }
}

TEST(AnalysisEngine, CountsAndTheirSums)
{
    TModelBuilder b;
    b.Tree(1, QStringLiteral("EGLE"), 1); // random, usable, 1 log
    b.GoodLog(1, 1);
    b.Tree(2, QStringLiteral("priede"), 2); // operator, usable, 2 logs
    b.GoodLog(2, 1);
    b.GoodLog(2, 2);
    b.Tree(3, QStringLiteral("EGLE"), std::nullopt); // no kind: operator row; unusable (51), 1 coded log
    b.Log(3, 1, 0, 200, 1);
    b.Tree(4, QStringLiteral("APSE"), 0); // kind 0: operator row; species 52
    b.GoodLog(4, 1);
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);

    EXPECT_EQ(b.m.Trees[2].DERIGS, 51);
    EXPECT_EQ(b.m.Trees[2].HRV_APJOMS, 0.0);
    const auto& r1 = b.m.KokuSk[1];
    EXPECT_EQ(r1.KOKU_SK_DER, 1);
    EXPECT_EQ(r1.KOKU_SK_NEDER, 2);
    EXPECT_EQ(r1.BALKU_SK_DER, 2);
    EXPECT_EQ(r1.BALKU_SK_NEDER, 2);
    EXPECT_EQ(r1.KOKU_SK_DER_SUGA, 2);
    EXPECT_EQ(r1.BALKU_SK_DER_SUGA, 3);
    const auto& r2 = b.m.KokuSk[2];
    EXPECT_EQ(r2.KOKU_SK_DER, 1);
    EXPECT_FALSE(r2.KOKU_SK_NEDER.has_value());
    EXPECT_EQ(r2.BALKU_SK_DER, 1);
    const auto& r0 = b.m.KokuSk[0];
    EXPECT_EQ(r0.IZV_VEIDS, 0);
    EXPECT_EQ(r0.KOKU_SK_DER, 2);
    EXPECT_EQ(r0.KOKU_SK_NEDER, 2);
    EXPECT_EQ(r0.BALKU_SK_DER, 3);
    EXPECT_EQ(r0.BALKU_SK_NEDER, 2);
    EXPECT_EQ(r0.KOKU_SK_DER_SUGA, 3);
    EXPECT_EQ(r0.BALKU_SK_DER_SUGA, 4);
    // Random volumes and operator volumes go to their own header totals.
    // Second log: radii 1.00/1.00/0.90/0.80/0.65 dm, 99.09 dm3.
    EXPECT_EQ(b.m.Logs[2].HRV_APJOMS, 99.0);
    EXPECT_EQ(b.m.Trees[1].HRV_APJOMS, 295.0);
    EXPECT_EQ(b.m.Header.HRV_APJOMS_RAND, 196.0);
    EXPECT_EQ(b.m.Header.HRV_APJOMS_OP, 295.0);
    EXPECT_EQ(b.m.Header.HRV_APJOMS_ALL, 491.0);
}

TEST(AnalysisEngine, PercentageOfTotals)
{
    TModelBuilder b;
    b.Tree(1, QStringLiteral("EGLE"), 2);
    b.GoodLog(1, 1, -10); // caliper 10 mm thinner
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
    // Caliper radii 1.40/1.30/1.20/1.10/1.00 dm: 182.63 dm3; (196 - 183) * 100 / 183 = 7.1038.
    EXPECT_EQ(b.m.Header.HRV_APJOMS_OP, 196.0);
    EXPECT_EQ(b.m.Header.DAST_APJOMS_OP, 183.0);
    EXPECT_DOUBLE_EQ(*b.m.Header.PROCENTS_OP, 7.10);
    EXPECT_EQ(b.m.Header.PROCENTS_ALL, b.m.Header.PROCENTS_OP);
    EXPECT_FALSE(b.m.Header.PROCENTS_RAND.has_value());
}

// A harvester total without a caliper total leaves the percentage empty.
TEST(AnalysisEngine, PercentageWithoutCaliperTotalStaysEmpty)
{
    TModelBuilder c;
    c.Tree(1);
    c.Log(1, 1, 400, 200, 3);
    for (int nr = 1; nr <= 3; ++nr)
        c.Meas(1, 1, nr, nr * 100, 290 - nr * 20, 1);
    c.m.Logs[0].DAST_TIEVG = 1;
    TAnalysisEngine::ValidateAndCalculate(c.m, kMax);
    // Caliper radii of 0.005 dm give 0 dm3, harvester ones do not.
    EXPECT_EQ(c.m.Logs[0].DERIGS, 0);
    EXPECT_GT(*c.m.Header.HRV_APJOMS_ALL, 0.0);
    EXPECT_EQ(*c.m.Header.DAST_APJOMS_ALL, 0.0);
    EXPECT_FALSE(c.m.Header.PROCENTS_ALL.has_value());
    EXPECT_EQ(c.m.Trees[0].DERIGS, 51);
}

// With fewer than two usable points after the butt row, the butt row keeps 0 and 0; an
// extrapolation below 0 is not used.
TEST(AnalysisEngine, ButtExtrapolationNeedsTwoPoints)
{
    TModelBuilder b;
    b.Tree(1);
    b.Log(1, 1, 400, 200, 1);
    b.Meas(1, 1, 1, 100, 0, 250); // coded 50: not a point
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);
    EXPECT_EQ(b.Row(1, 1, 0).HRV_DIAMETRS, 0);
    EXPECT_EQ(b.Row(1, 1, 0).DAST_DIAMETRS, 0);

    TModelBuilder c;
    c.Tree(1);
    c.Log(1, 1, 400, 200, 2);
    c.Meas(1, 1, 1, 300, 100, 100);
    c.Meas(1, 1, 2, 350, 300, 300); // slope -4 mm/cm: 300 * -4 + 100 < 0
    TAnalysisEngine::ValidateAndCalculate(c.m, kMax);
    EXPECT_EQ(c.Row(1, 1, 0).HRV_DIAMETRS, 0);
    EXPECT_EQ(c.Row(1, 1, 0).DAST_DIAMETRS, 0);
}

TEST(AnalysisEngine, DeviationTableOfOneKind)
{
    TModelBuilder b;
    b.Tree(1, QStringLiteral("EGLE"), 2);
    b.Log(1, 1, 400, 200, 3);
    b.Meas(1, 1, 1, 100, 270, 271); // 1 mm
    b.Meas(1, 1, 2, 200, 250, 252); // 2 mm
    b.Meas(1, 1, 3, 300, 230, 240); // 10 mm
    // top row 200/200: 0 mm. Butt row never counted.
    TAnalysisEngine::ValidateAndCalculate(b.m, kMax);

    ASSERT_EQ(b.m.DiamNovirzes.size(), 4u); // kind 1: interval + total; kind 0: interval + total
    for (int kind : {1, 0}) {
        for (const TDiamNovirzeRow& r : b.m.DiamNovirzes) {
            if (r.IZV_VEIDS != kind)
                continue;
            SCOPED_TRACE(r.INTERVALS_DIAMETRS.toStdString());
            EXPECT_TRUE(r.INTERVALS_DIAMETRS == QStringLiteral("200-299") || r.INTERVALS_DIAMETRS == QStringLiteral("Kopā"));
            EXPECT_EQ(r.LIDZ_2, 3);
            EXPECT_EQ(r.LIDZ_4, 3);
            EXPECT_EQ(r.LIDZ_6, 3);
            EXPECT_EQ(r.CITS, 1);
            EXPECT_EQ(r.KOPA, 4);
            EXPECT_EQ(r.LIDZ_2_PRCNT, 75.0);
            EXPECT_EQ(r.LIDZ_4_PRCNT, 75.0);
            EXPECT_EQ(r.LIDZ_6_PRCNT, 75.0);
            EXPECT_EQ(r.CITS_PRCNT, 25.0);
        }
    }
    EXPECT_EQ(b.m.Header.DIAM_NOVIRZE6MM_OP, 75.0);
    EXPECT_EQ(b.m.Header.DIAM_NOVIRZE6MM_ALL, 75.0);
    EXPECT_FALSE(b.m.Header.DIAM_NOVIRZE6MM_RAND.has_value());
    EXPECT_EQ(b.m.KokuSk[1].MERIJ_NEDER_DIAM, 0);
    EXPECT_FALSE(b.m.KokuSk[2].MERIJ_NEDER_DIAM.has_value());
    EXPECT_EQ(b.Row(1, 1, 0).DERIGS_DIAM_NOV, 2);
    EXPECT_EQ(b.Row(1, 1, 3).DERIGS_DIAM_NOV, 0);
    EXPECT_EQ(b.Row(1, 1, 104).DERIGS_DIAM_NOV, 0);
}

// CalcDiamNovirzes on rows prepared by hand: the maximum is accepted, one above is rejected,
// percentages round half away from zero, an empty kind writes nothing.
TEST(AnalysisEngine, DeviationTableBoundaries)
{
    TModelBuilder b;
    b.Tree(1, QStringLiteral("EGLE"), 1);
    b.Log(1, 1, 1000, 100, 9);
    struct P { int hrv; int dast; int veids; };
    const P points[] = {{310, 300, 1}, {310, 330, 0}, {310, 331, 0}, {250, 248, 0}, {99, 98, 0},
                        {100, 103, 0}, {500, 505, 0}, {501, 501, 0}, {120, 0, 0}, {300, 301, 2}};
    int nr = 1;
    for (const P& p : points) {
        const size_t i = b.Meas(1, 1, nr++, 10, p.hrv, p.dast);
        TMeasRow& r = b.m.Meas[i];
        r.MERIJ_VEIDS = p.veids;
        if (p.hrv != 0 && p.dast != 0) {
            r.NOVIRZE_DIAMETRS = std::abs(p.hrv - p.dast);
            r.NOVIRZE_DIAM_LIDZ = TAnalysisEngine::GetNovirzeClass(*r.NOVIRZE_DIAMETRS);
            r.INTERVALS_DIAMETRS = TPooledText(&TAnalysisEngine::GetDiamInterval(p.hrv));
        }
    }
    TAnalysisEngine::CalcDiamNovirzes(b.m, 1, kMax);
    EXPECT_TRUE(b.m.DiamNovirzes.empty());
    EXPECT_FALSE(b.m.KokuSk[1].MERIJ_NEDER_DIAM.has_value());
    TAnalysisEngine::CalcDiamNovirzes(b.m, 2, kMax);

    EXPECT_EQ(b.m.Meas[0].DERIGS_DIAM_NOV, 2); // butt row
    EXPECT_EQ(b.m.Meas[1].DERIGS_DIAM_NOV, 0); // deviation 20 = maximum
    EXPECT_EQ(b.m.Meas[2].DERIGS_DIAM_NOV, 1); // 21
    EXPECT_EQ(b.m.Meas[8].DERIGS_DIAM_NOV, 1); // caliper 0
    EXPECT_EQ(b.m.KokuSk[2].MERIJ_NEDER_DIAM, 2);

    auto row = [&](const char* text) -> const TDiamNovirzeRow& {
        for (const TDiamNovirzeRow& r : b.m.DiamNovirzes)
            if (r.IZV_VEIDS == 2 && r.INTERVALS_DIAMETRS == QString::fromUtf8(text))
                return r;
        throw std::runtime_error(text);
    };
    EXPECT_EQ(row("300-399").KOPA, 2);
    EXPECT_EQ(row("300-399").LIDZ_2, 1);
    EXPECT_EQ(row("300-399").CITS, 1);
    EXPECT_EQ(row("200-299").LIDZ_2, 1);
    EXPECT_EQ(row("0-99").KOPA, 1);
    EXPECT_EQ(row("100-199").LIDZ_4, 1);
    EXPECT_EQ(row("100-199").LIDZ_2, 0);
    EXPECT_EQ(row("400-500").LIDZ_6, 1);
    EXPECT_EQ(row("400-500").LIDZ_4, 0);
    EXPECT_EQ(row("Cits").KOPA, 1);
    const TDiamNovirzeRow& total = row("Kopā");
    EXPECT_EQ(total.KOPA, 7);
    EXPECT_EQ(total.LIDZ_2, 4);
    EXPECT_EQ(total.LIDZ_4, 5);
    EXPECT_EQ(total.LIDZ_6, 6);
    EXPECT_EQ(total.CITS, 1);
    EXPECT_EQ(total.LIDZ_2_PRCNT, 57.0); // 57.14
    EXPECT_EQ(total.LIDZ_4_PRCNT, 71.0); // 71.43
    EXPECT_EQ(total.CITS_PRCNT, 14.0);
    EXPECT_EQ(row("300-399").LIDZ_2_PRCNT, 50.0);
    EXPECT_DOUBLE_EQ(*b.m.Header.DIAM_NOVIRZE6MM_RAND, 85.71);
}

TEST(AnalysisEngine, PercentHalfRoundsUp)
{
    TModelBuilder b;
    b.Tree(1, QStringLiteral("EGLE"), 2);
    b.Log(1, 1, 1000, 100, 8);
    for (int nr = 1; nr <= 8; ++nr) {
        TMeasRow& r = b.m.Meas[b.Meas(1, 1, nr, 10, 150, nr == 1 ? 150 : 160)];
        r.NOVIRZE_DIAMETRS = nr == 1 ? 0 : 10;
        r.NOVIRZE_DIAM_LIDZ = TAnalysisEngine::GetNovirzeClass(*r.NOVIRZE_DIAMETRS);
        r.INTERVALS_DIAMETRS = TPooledText(&TAnalysisEngine::GetDiamInterval(150));
    }
    TAnalysisEngine::CalcDiamNovirzes(b.m, 0, kMax);
    ASSERT_EQ(b.m.DiamNovirzes.size(), 2u);
    EXPECT_EQ(b.m.DiamNovirzes[0].LIDZ_2_PRCNT, 13.0); // 12.5
    EXPECT_EQ(b.m.DiamNovirzes[0].CITS_PRCNT, 88.0);   // 87.5
    EXPECT_EQ(b.m.Header.DIAM_NOVIRZE6MM_ALL, 12.5);
}

} // namespace
