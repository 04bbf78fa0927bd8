// The classic reader on the in-memory model: what it makes of the file's variables before the
// loader validates and derives anything.

#include "import/KtrConvert.h"
#include "import/KtrReader.h"

#include "platform/rtl/EConvertError.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

TAnalysisModel ReadBytes(const QByteArray& bytes)
{
    TAnalysisModel model;
    KtrReader::Read(bytes, model);
    return model;
}

TAnalysisModel ReadFixture(const char* name)
{
    TAnalysisModel model;
    KtrReader::ReadFile(QStringLiteral(STUMPWISE_FIXTURES "/ktr/") + QLatin1String(name), model);
    return model;
}

std::string ErrorOf(const QByteArray& bytes)
{
    try {
        ReadBytes(bytes);
    } catch (const Exception& e) {
        return e.Message().toStdString();
    }
    return "(no error)";
}

double Day(int y, int m, int d)
{
    return double(QDate(y, m, d).toJulianDay() - QDate(1899, 12, 30).toJulianDay());
}

const TLogRow* FindLog(const TAnalysisModel& m, int tree, int log)
{
    for (const TLogRow& l : m.Logs)
        if (l.KOKS_NR == tree && l.BALKIS_NR == log)
            return &l;
    return nullptr;
}

const TMeasRow* FindMeas(const TAnalysisModel& m, int tree, int log, int nr)
{
    for (const TMeasRow& r : m.Meas)
        if (r.KOKS_NR == tree && r.BALKIS_NR == log && r.MERIJUMS_NR == nr)
            return &r;
    return nullptr;
}

int MeasCount(const TAnalysisModel& m, int tree)
{
    int n = 0;
    for (const TMeasRow& r : m.Meas)
        n += r.KOKS_NR == tree ? 1 : 0;
    return n;
}

std::vector<int> Column(const TAnalysisModel& m, int tree, TPackedOptional<int32_t> TMeasRow::*field)
{
    std::vector<int> out;
    for (const TMeasRow& r : m.Meas)
        if (r.KOKS_NR == tree)
            out.push_back(r.*field ? *(r.*field) : -1);
    return out;
}

} // namespace

// The real file of a harvester that writes 3 logs per stem: every variable lands in cdsVar,
// the five stem blocks become trees 1 to 5 with their logs and measurements.
TEST(KtrReader, RealFileWithFiveStems)
{
    const TAnalysisModel m = ReadFixture("jd-timbermatic-2013.ktr");

    // Raw rows: the header block, five stem blocks and the closing 991 to 993.
    ASSERT_FALSE(m.Vars.empty());
    EXPECT_EQ(m.Vars.front().BLOCK_NR, 0);
    EXPECT_EQ(m.Vars.front().VAR_NR, 1);
    EXPECT_EQ(m.Vars.front().VAR_T, 1);
    EXPECT_EQ(m.Vars.front().VERTIBA, QStringLiteral("Kalibrering SKALMAN 6.9"));
    const TVarRow& last = m.Vars.back();
    EXPECT_EQ(last.BLOCK_NR, 5);
    EXPECT_EQ(last.VAR_NR, 993);
    EXPECT_FALSE(last.VAR_T.has_value());
    EXPECT_TRUE(last.VERTIBA.isEmpty());
    int stems = 0;
    for (const TVarRow& v : m.Vars)
        stems += v.VAR_NR == 110 ? 1 : 0;
    EXPECT_EQ(stems, 5);
    // A multi-line value keeps its lines apart by one blank (LF files).
    bool found = false;
    for (const TVarRow& v : m.Vars)
        if (v.BLOCK_NR == 0 && v.VAR_NR == 41 && v.VAR_T == 4) {
            EXPECT_EQ(v.VERTIBA, QStringLiteral(
                                     "20130916082736 20130911105955 20130911105632 20130911094833 20130910155236"));
            found = true;
        }
    EXPECT_TRUE(found);

    // Header: the registration number from the header block; the VIN from the stems (the
    // first one of 3 characters or more stays).
    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("anononyjjj1070ejdd002004"));
    EXPECT_EQ(m.Header.HRV_VIN, QStringLiteral("1070e"));
    EXPECT_EQ(m.Header.DATUMS_PARB, Day(2013, 9, 27));

    ASSERT_EQ(m.Trees.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const TTreeRow& t = m.Trees[std::size_t(i)];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(t.KOKS_NR, i + 1);
        EXPECT_EQ(t.IZV_VEIDS, 2); // no 270 type 2: operator-selected
        EXPECT_EQ(t.SUGA, QStringLiteral("EGLE"));
        EXPECT_EQ(t.SUGA_TXT, QStringLiteral("GRAN"));
        EXPECT_EQ(t.BALKU_SK, 3);
        EXPECT_EQ(t.DATUMS_PARB, Day(2013, 9, 27));
    }
    // Two object ids that differ in one letter are two objects.
    ASSERT_EQ(m.Cirsmas.size(), 2u);
    EXPECT_EQ(m.Cirsmas[0].CIRSMA_NR, 1);
    EXPECT_EQ(m.Cirsmas[0].OBJECTUSERID, QStringLiteral("S Stordal Brus"));
    EXPECT_EQ(m.Cirsmas[1].CIRSMA_NR, 2);
    EXPECT_EQ(m.Cirsmas[1].OBJECTUSERID, QStringLiteral("S Stordal Bru"));
    EXPECT_EQ(m.Trees[0].CIRSMA_NR, 1);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(m.Trees[std::size_t(i)].CIRSMA_NR, 2);

    ASSERT_EQ(m.Logs.size(), 15u);
    const TLogRow* l = FindLog(m, 1, 1);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->DAST_TIEVG, 139);
    EXPECT_EQ(l->HRV_TIEVG, 138);
    EXPECT_EQ(l->DAST_GARUMS, 492);
    EXPECT_EQ(l->HRV_GARUMS, 494);
    EXPECT_EQ(l->MER_SKAITS, 4);
    EXPECT_EQ(l->DERIGS, 0);
    l = FindLog(m, 5, 3);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->DAST_TIEVG, 69);
    EXPECT_EQ(l->HRV_GARUMS, 513);
    EXPECT_EQ(l->MER_SKAITS, 5);

    // Measurements: as many per log as the log counts (4 5 4, 4 5 5, 5 5 4, 4 5 4, 5 5 5).
    EXPECT_EQ(m.Meas.size(), 69u);
    const int perTree[] = {13, 14, 14, 13, 15};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(MeasCount(m, i + 1), perTree[i]);
    EXPECT_EQ(Column(m, 1, &TMeasRow::DAST_DIAMETRS),
              (std::vector<int>{157, 155, 148, 145, 134, 127, 120, 118, 0, 101, 93, 78, 0}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::HRV_DIAMETRS),
              (std::vector<int>{154, 149, 147, 143, 133, 132, 124, 119, 114, 94, 87, 77, 63}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::MERVIETA),
              (std::vector<int>{120, 200, 300, 400, 100, 200, 300, 400, 500, 100, 200, 300, 400}));
    const TMeasRow* r = FindMeas(m, 1, 2, 5);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->MERVIETA, 500);
    EXPECT_EQ(r->DAST_DIAMETRS, 0);
    EXPECT_EQ(r->HRV_DIAMETRS, 114);
    EXPECT_EQ(r->DERIGS, 0);
    EXPECT_EQ(r->MERIJ_VEIDS, 0);
}

// The real file of a harvester that marks no stem random, leaves its VIN empty and spreads its
// species list over several lines.
TEST(KtrReader, RealFileWithTenStems)
{
    const TAnalysisModel m = ReadFixture("komatsu-maxixplorer-2017.ktr");
    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("9310000000"));
    EXPECT_TRUE(m.Header.HRV_VIN.isEmpty());
    EXPECT_EQ(m.Header.DATUMS_PARB, Day(2017, 5, 7));

    ASSERT_EQ(m.Trees.size(), 10u);
    const int logs[] = {2, 3, 3, 5, 3, 2, 4, 3, 3, 2};
    const int meas[] = {8, 14, 10, 16, 15, 8, 20, 26, 25, 19};
    std::size_t logTotal = 0;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i + 1);
        const TTreeRow& t = m.Trees[std::size_t(i)];
        EXPECT_EQ(t.IZV_VEIDS, 2);
        EXPECT_EQ(t.SUGA, QStringLiteral("EGLE"));
        EXPECT_TRUE(t.SUGA_TXT.isEmpty());
        EXPECT_EQ(t.CIRSMA_NR, 1);
        EXPECT_EQ(t.BALKU_SK, logs[i]);
        EXPECT_EQ(MeasCount(m, i + 1), meas[i]);
        logTotal += std::size_t(logs[i]);
    }
    EXPECT_EQ(m.Logs.size(), logTotal);
    EXPECT_EQ(m.Meas.size(), 161u);
    ASSERT_EQ(m.Cirsmas.size(), 1u);
    EXPECT_EQ(m.Cirsmas[0].OBJECTUSERID, QStringLiteral("47223-256"));

    // A log that counts 0 takes no measurement: tree 4's first log.
    const TLogRow* l = FindLog(m, 4, 1);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->MER_SKAITS, 0);
    EXPECT_EQ(l->DAST_TIEVG, 0);
    EXPECT_EQ(l->HRV_GARUMS, 28);
    EXPECT_EQ(FindMeas(m, 4, 1, 1), nullptr);
    const TMeasRow* r = FindMeas(m, 4, 2, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->DAST_DIAMETRS, 327);
    EXPECT_EQ(r->HRV_DIAMETRS, 302);
    EXPECT_EQ(r->MERVIETA, 102);
    EXPECT_EQ(MeasCount(m, 4), 16);
}

// CR LF line ends, a random stem and an operator's stem, two objects and a closing 993.
TEST(KtrReader, CrLfFileWithRandomStem)
{
    const TAnalysisModel m = ReadFixture("crlf-random.ktr");
    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("LV-4711"));
    EXPECT_EQ(m.Header.HRV_VIN, QStringLiteral("VIN-0001"));
    // The stems' dates win over the file's own control date; the latest day of them.
    EXPECT_EQ(m.Header.DATUMS_PARB, Day(2023, 5, 15));
    ASSERT_EQ(m.Trees.size(), 2u);
    EXPECT_EQ(m.Trees[0].IZV_VEIDS, 1);
    EXPECT_EQ(m.Trees[1].IZV_VEIDS, 2);
    EXPECT_EQ(m.Trees[0].SUGA, QStringLiteral("PRIEDE"));
    EXPECT_EQ(m.Trees[1].SUGA, QStringLiteral("EGLE"));
    // 14 May 10:15 and 13 May 23:59:59 in one block: the later day.
    EXPECT_EQ(m.Trees[0].DATUMS_PARB, Day(2023, 5, 14));
    EXPECT_EQ(m.Trees[1].DATUMS_PARB, Day(2023, 5, 15));
    EXPECT_EQ(m.Trees[0].CIRSMA_NR, 1);
    EXPECT_EQ(m.Trees[1].CIRSMA_NR, 2);
    ASSERT_EQ(m.Logs.size(), 3u);
    EXPECT_EQ(Column(m, 1, &TMeasRow::MERVIETA), (std::vector<int>{50, 200, 350, 100, 250}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::HRV_DIAMETRS), (std::vector<int>{258, 243, 219, 182, 168}));
    EXPECT_EQ(Column(m, 2, &TMeasRow::DAST_DIAMETRS), (std::vector<int>{150, 140, 130}));
    const TMeasRow* r = FindMeas(m, 1, 2, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->DAST_DIAMETRS, 170);
    // Every variable is kept, the number read after "~" CR LF included.
    EXPECT_EQ(m.Vars.back().VAR_NR, 993);
    EXPECT_EQ(m.Vars.back().BLOCK_NR, 2);
    int dated = 0;
    for (const TVarRow& v : m.Vars)
        dated += v.VAR_NR == 12 ? 1 : 0;
    EXPECT_EQ(dated, 1);
}

// What the end of the file cuts: a value keeps what was read; a variable cut within its type is
// dropped, unless it is one of 991 to 993.
TEST(KtrReader, EndOfFile)
{
    TAnalysisModel m = ReadFixture("no-final-mark.ktr");
    EXPECT_EQ(Column(m, 1, &TMeasRow::MERVIETA), (std::vector<int>{100, 200, -1}));
    EXPECT_EQ(m.Vars.back().VAR_NR, 374);
    EXPECT_EQ(m.Vars.back().VERTIBA, QStringLiteral("100 200"));

    m = ReadFixture("ends-in-variable.ktr");
    EXPECT_EQ(m.Vars.back().VAR_NR, 373);
    EXPECT_EQ(Column(m, 1, &TMeasRow::MERVIETA), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::HRV_DIAMETRS), (std::vector<int>{149, 141, 119}));

    m = ReadBytes("1 2 a~992 97");
    ASSERT_EQ(m.Vars.size(), 2u);
    EXPECT_EQ(m.Vars[1].VAR_NR, 992);
    EXPECT_FALSE(m.Vars[1].VAR_T.has_value());
    m = ReadBytes("1 2 a~992 ");
    ASSERT_EQ(m.Vars.size(), 2u);
    m = ReadBytes("1 2 a~\n99");
    EXPECT_EQ(m.Vars.size(), 1u);
    // 991 to 993 keep no type and no value even when the file gives them.
    m = ReadBytes("991 x abc~");
    ASSERT_EQ(m.Vars.size(), 1u);
    EXPECT_FALSE(m.Vars[0].VAR_T.has_value());
    EXPECT_TRUE(m.Vars[0].VERTIBA.isEmpty());
}

// Words that find no place: per-log words beyond the tree's logs, measurement words beyond the
// logs' counts or of a tree without logs. None of them reaches another log or tree.
TEST(KtrReader, SurplusWordsAreDropped)
{
    const TAnalysisModel m = ReadFixture("surplus-words.ktr");
    ASSERT_EQ(m.Trees.size(), 3u);
    ASSERT_EQ(m.Logs.size(), 3u);
    const TLogRow* l1 = FindLog(m, 1, 1);
    const TLogRow* l2 = FindLog(m, 1, 2);
    ASSERT_TRUE(l1 && l2);
    EXPECT_EQ(l2->HRV_TIEVG, 91);
    EXPECT_EQ(l2->HRV_GARUMS, 251);
    EXPECT_EQ(l2->MER_SKAITS, 0);
    EXPECT_EQ(FindLog(m, 1, 3), nullptr);
    EXPECT_EQ(MeasCount(m, 1), 2);
    EXPECT_EQ(Column(m, 1, &TMeasRow::DAST_DIAMETRS), (std::vector<int>{150, 140}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::HRV_DIAMETRS), (std::vector<int>{149, 139}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::MERVIETA), (std::vector<int>{100, 200}));
    EXPECT_EQ(MeasCount(m, 2), 0);
    EXPECT_EQ(MeasCount(m, 3), 1);
    EXPECT_EQ(Column(m, 3, &TMeasRow::DAST_DIAMETRS), (std::vector<int>{155}));
    ASSERT_EQ(m.Meas.size(), 3u);
}

// The tree's first measurement variable makes its rows; later ones only fill those rows, in
// their order, and their surplus words are dropped (still checked).
TEST(KtrReader, LaterMeasurementVariableOnlyFillsTheRows)
{
    TAnalysisModel m =
        ReadBytes("110 1 2~291 3 100 90~372 3 2 2~373 3 150 140 130~373 5 149 139 129 119 109~374 5 10 20~");
    EXPECT_EQ(Column(m, 1, &TMeasRow::DAST_DIAMETRS), (std::vector<int>{150, 140, 130}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::HRV_DIAMETRS), (std::vector<int>{149, 139, 129}));
    EXPECT_EQ(Column(m, 1, &TMeasRow::MERVIETA), (std::vector<int>{10, 20, -1}));
    EXPECT_EQ(FindMeas(m, 1, 2, 2), nullptr);
    ASSERT_NE(FindMeas(m, 1, 2, 1), nullptr);
    EXPECT_EQ(FindMeas(m, 1, 2, 1)->HRV_DIAMETRS, 129);
    // The next tree starts its own rows; type 3 comes first whatever the file's order.
    m = ReadBytes("110 1 2~291 3 100~372 3 1~373 3 150~110 1 2~291 3 100~372 3 2~373 5 7 8~373 3 9~");
    EXPECT_EQ(Column(m, 1, &TMeasRow::DAST_DIAMETRS), (std::vector<int>{150}));
    EXPECT_EQ(Column(m, 2, &TMeasRow::DAST_DIAMETRS), (std::vector<int>{9}));
    EXPECT_EQ(Column(m, 2, &TMeasRow::HRV_DIAMETRS), (std::vector<int>{7}));
    EXPECT_EQ(ErrorOf("110 1 2~291 3 100~372 3 1~373 3 150~373 5 149 x~"), "'x' is not a valid integer value");
}

// The words of a value as comma text reads them once its blanks are commas.
TEST(KtrReader, WordsOfAValue)
{
    struct Case {
        const char* value;
        std::vector<int32_t> words;
        const char* error;
    };
    const Case cases[] = {
        {"450 510", {450, 510}, nullptr},
        {"450,510", {450, 510}, nullptr},
        {"450\t510", {450, 510}, nullptr},
        {"450\t 510", {450, 510}, nullptr},
        {"\"450\" 510", {450, 510}, nullptr},
        {"\"450\"510", {450, 510}, nullptr},
        {"\"-7", {-7}, nullptr},
        {"", {}, nullptr},
        {"450  510", {}, "'' is not a valid integer value"},
        {"450 \t 510", {}, "'' is not a valid integer value"},
        {"450 ", {}, "'' is not a valid integer value"},
        {"\"4 5\"", {}, "'4 5' is not a valid integer value"},
        {"\"4\"\"5\"", {}, "'4\"5' is not a valid integer value"},
        {"45x", {}, "'45x' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::vector<int32_t> words{99};
        try {
            KtrConvert::ToWords(QString::fromLatin1(c.value), words);
            EXPECT_EQ(c.error, nullptr);
            EXPECT_EQ(words, c.words);
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message().toStdString(), c.error ? c.error : "(no error)");
        }
    }
    // A tab inside a per-log value parts the words.
    const TAnalysisModel m = ReadBytes("110 1 2~291 3 100\t90~");
    ASSERT_EQ(m.Logs.size(), 2u);
    EXPECT_EQ(m.Logs[1].DAST_TIEVG, 90);
}

// Per-log words: the tree's first per-log variable (in number and type order) makes the logs.
TEST(KtrReader, PerLogWords)
{
    // 293 type 5 comes before 372 type 3 but after 293 type 3 whatever the file's order.
    TAnalysisModel m = ReadBytes("110 1 2~372 3 4 4 4 4~293 5 401 402 403 404 405~293 3 301 302 303 304~");
    ASSERT_EQ(m.Logs.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.Logs[std::size_t(i)].BALKIS_NR, i + 1);
        EXPECT_EQ(m.Logs[std::size_t(i)].DAST_GARUMS, 301 + i);
        EXPECT_EQ(m.Logs[std::size_t(i)].HRV_GARUMS, 401 + i);
        EXPECT_EQ(m.Logs[std::size_t(i)].MER_SKAITS, 4);
    }
    // An empty value has no words and makes no logs; the next variable does.
    m = ReadBytes("110 1 2~291 3 \n~291 5 10 20~");
    ASSERT_EQ(m.Logs.size(), 2u);
    EXPECT_FALSE(m.Logs[0].DAST_TIEVG.has_value());
    EXPECT_EQ(m.Logs[1].HRV_TIEVG, 20);
}

// Before the first stem block there is no tree: its tree-level and per-log variables are
// ignored, but an object named there is still one of the file's objects.
TEST(KtrReader, HeaderBlockMakesNoTree)
{
    const TAnalysisModel m = ReadBytes("21 1 HDR~120 2 GRAN~270 2 1~290 1 3~291 3 100 90~372 3 2 2~"
                                       "373 3 1 2 3 4~18 4 20230101000000~"
                                       "110 1 2~21 1 STEM~");
    ASSERT_EQ(m.Trees.size(), 1u);
    EXPECT_EQ(m.Trees[0].KOKS_NR, 1);
    EXPECT_TRUE(m.Trees[0].SUGA_TXT.isEmpty());
    EXPECT_EQ(m.Trees[0].IZV_VEIDS, 2);
    EXPECT_FALSE(m.Trees[0].BALKU_SK.has_value());
    EXPECT_FALSE(m.Trees[0].DATUMS_PARB.has_value());
    EXPECT_EQ(m.Trees[0].CIRSMA_NR, 2);
    EXPECT_TRUE(m.Logs.empty());
    EXPECT_TRUE(m.Meas.empty());
    EXPECT_FALSE(m.Header.DATUMS_PARB.has_value());
    ASSERT_EQ(m.Cirsmas.size(), 2u);
    EXPECT_EQ(m.Cirsmas[0].OBJECTUSERID, QStringLiteral("HDR"));
    EXPECT_EQ(m.Cirsmas[1].OBJECTUSERID, QStringLiteral("STEM"));
}

TEST(KtrReader, Objects)
{
    TAnalysisModel m = ReadBytes("110 1 2~21 1 A~110 1 2~21 1 B~110 1 2~21 1 A~");
    EXPECT_EQ(m.Trees[0].CIRSMA_NR, 1);
    EXPECT_EQ(m.Trees[1].CIRSMA_NR, 2);
    EXPECT_EQ(m.Trees[2].CIRSMA_NR, 1);
    EXPECT_EQ(m.Cirsmas.size(), 2u);
    // Ids differ in letter case: two objects.
    m = ReadBytes("110 1 2~21 1 a~110 1 2~21 1 A~");
    EXPECT_EQ(m.Cirsmas.size(), 2u);
    // An id longer than the stored 50 characters is stored cut and found again by that text.
    const QByteArray longId(60, 'X');
    m = ReadBytes("110 1 2~21 1 " + longId + "~110 1 2~21 1 " + longId + "~");
    ASSERT_EQ(m.Cirsmas.size(), 1u);
    EXPECT_EQ(m.Cirsmas[0].OBJECTUSERID, QString(50, QLatin1Char('X')));
    EXPECT_EQ(m.Trees[1].CIRSMA_NR, 1);
}

TEST(KtrReader, HeaderAndTreeTexts)
{
    // The registration number is replaced while it has fewer than 3 characters.
    TAnalysisModel m = ReadBytes("3 1 AB~3 1 ABCD~3 1 XYZW~");
    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("ABCD"));
    m = ReadBytes("3 1 ABC~3 1 ABCD~");
    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("ABC"));
    // Species keys 1 and 2 only; the file's species text is cut to 10 characters.
    m = ReadBytes("110 1 5~120 2 Bjork-long-name~110 2 1~110 1 2~110 3 2~");
    ASSERT_EQ(m.Trees.size(), 4u);
    EXPECT_TRUE(m.Trees[0].SUGA.isEmpty());
    EXPECT_EQ(m.Trees[0].SUGA_TXT, QStringLiteral("Bjork-long"));
    EXPECT_EQ(m.Trees[1].SUGA, QStringLiteral("PRIEDE"));
    EXPECT_EQ(m.Trees[2].SUGA, QStringLiteral("EGLE"));
    EXPECT_TRUE(m.Trees[3].SUGA.isEmpty());
    // The species key and the random mark compare as numbers; the log count converts as one.
    m = ReadBytes("110 1 01~270 2 0.0~110 1 2.0~270 2 0.5~290 1 \t3 ~110 2 \n2\n~270 2 00~290 1 2.5~");
    EXPECT_EQ(m.Trees[0].SUGA, QStringLiteral("PRIEDE"));
    EXPECT_EQ(m.Trees[1].SUGA, QStringLiteral("EGLE"));
    EXPECT_EQ(m.Trees[2].SUGA, QStringLiteral("EGLE"));
    EXPECT_EQ(m.Trees[0].IZV_VEIDS, 2);
    EXPECT_EQ(m.Trees[1].IZV_VEIDS, 1);
    EXPECT_EQ(m.Trees[2].IZV_VEIDS, 2);
    EXPECT_EQ(m.Trees[1].BALKU_SK, 3);
    EXPECT_EQ(m.Trees[2].BALKU_SK, 2);
}

TEST(KtrReader, Dates)
{
    // The file's own control date is the header's only when no stem is dated.
    TAnalysisModel m = ReadBytes("12 4 20200102030405~110 1 2~");
    EXPECT_EQ(m.Header.DATUMS_PARB, Day(2020, 1, 2));
    EXPECT_FALSE(m.Trees[0].DATUMS_PARB.has_value());
    m = ReadBytes("12 4 20200102030405~110 1 2~12 4 20190101000000~");
    EXPECT_EQ(m.Header.DATUMS_PARB, Day(2019, 1, 1));
    EXPECT_EQ(m.Trees[0].DATUMS_PARB, Day(2019, 1, 1));
    // Characters after the 14th are ignored.
    m = ReadBytes("110 1 2~18 5 20240229235959+01~");
    EXPECT_EQ(m.Trees[0].DATUMS_PARB, Day(2024, 2, 29));
}

// A date text gives the calendar's day, leap days and the ends of the year range included,
// and a day the calendar does not have is refused.
TEST(KtrReader, DayOfADateText)
{
    const QDate zero(1899, 12, 30);
    for (int year : {1, 4, 100, 1600, 1899, 1900, 1901, 1999, 2000, 2023, 2024, 2100, 9999}) {
        for (QDate d(year, 1, 1); d.isValid() && d.year() == year; d = d.addDays(1)) {
            const QString text = d.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("235959");
            EXPECT_EQ(KtrConvert::ToDay(text), double(zero.daysTo(d))) << text.toStdString();
        }
    }
    for (const char* text : {"19000229000000", "21000229000000", "20230229000000", "20231301000000", "20230100000000",
                             "20230431000000", "00001231000000", "20230101000060"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(KtrConvert::ToDay(QString::fromLatin1(text)), EConvertError);
    }
}

// Every text that does not convert ends the load with an error naming it.
TEST(KtrReader, ConversionErrors)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        std::string error;
    };
    const Case cases[] = {
        {"bad number", "1 2 a~x 1 b~", "Could not convert variant of type (String) into type (Integer)"},
        {"empty number", "1 2 a~ 1 b~", "Could not convert variant of type (String) into type (Integer)"},
        {"bad type", "1 2x a~", "Could not convert variant of type (String) into type (Integer)"},
        {"number out of range", "4294967297 1 a~", "Overflow while converting variant of type (String) into type (Integer)"},
        {"empty word", "110 1 2~291 3 \n450\r\n510~", "'' is not a valid integer value"},
        {"bad word", "110 1 2~291 3 1 2~373 3 1 2x~", "'2x' is not a valid integer value"},
        {"surplus word is still checked", "110 1 2~291 3 1~291 5 1 z~", "'z' is not a valid integer value"},
        {"log count", "110 1 2~290 1 three~", "Could not convert variant of type (String) into type (Integer)"},
        {"empty log count", "110 1 2~290 1 ~", "Could not convert variant of type (String) into type (Integer)"},
        {"empty random mark", "110 1 2~270 2 ~", "Could not convert variant of type (String) into type (Double)"},
        {"species key", "110 1 P~", "Could not convert variant of type (String) into type (Double)"},
        {"count out of field range", "110 1 2~372 3 40000~",
         "40000 is not a valid value for field 'MER_SKAITS'. The allowed range is -32768 to 32767"},
        {"random mark", "110 1 2~270 2 yes~", "Could not convert variant of type (String) into type (Double)"},
        {"short date", "110 1 2~18 4 202305141015~", "'' is not a valid integer value"},
        {"date part", "110 1 2~18 4 2023O514101500~", "'O5' is not a valid integer value"},
        {"invalid day", "110 1 2~18 4 20230230101500~", "'20230230101500' is not a valid date and time"},
        {"invalid time", "110 1 2~18 4 20230214246000~", "'20230214246000' is not a valid date and time"},
        {"header date", "12 4 2023~", "'' is not a valid integer value"},
        {"no content", "", "Nepareizs faila formāts!"},
        {"only blanks and line ends", "  \r\n\n ", "Nepareizs faila formāts!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.bytes), c.error);
    }
    try {
        ReadFixture("bad-number.ktr");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'x5' is not a valid integer value"));
    }
    try {
        ReadFixture("no-such-file.ktr");
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("no-such-file.ktr")));
    }
}

// The raw row keeps 4000 characters of a value; the words come from all of it.
TEST(KtrReader, LongValue)
{
    QByteArray words;
    for (int i = 0; i < 1200; ++i)
        words += (i ? " " : "") + QByteArray::number(100 + i % 100);
    ASSERT_GT(words.size(), 4000);
    QByteArray counts;
    for (int i = 0; i < 400; ++i)
        counts += i ? " 3" : "3";
    const TAnalysisModel m = ReadBytes("110 1 2~291 3 " + counts + "~372 3 " + counts + "~373 3 " + words + "~");
    EXPECT_EQ(m.Logs.size(), 400u);
    EXPECT_EQ(m.Meas.size(), 1200u);
    EXPECT_EQ(m.Meas.back().DAST_DIAMETRS, 100 + 1199 % 100);
    const TVarRow& v = m.Vars.back();
    EXPECT_EQ(v.VAR_NR, 373);
    EXPECT_EQ(v.VERTIBA.Text().size(), 4000);
    EXPECT_EQ(v.VERTIBA, QString::fromLatin1(words.left(4000)));
}
