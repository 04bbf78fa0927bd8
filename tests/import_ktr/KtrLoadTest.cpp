// Classic control files loaded through the loader: read, validated, analysed and published to
// its datasets.

#include "base/EValidationException.h"
#include "import/TCSHrvStumpwiseToDS.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <vector>

namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(STUMPWISE_FIXTURES "/ktr/") + QLatin1String(name);
}

Value Val(TDataSet* ds, const char* field)
{
    return ds->FieldByName(QString::fromLatin1(field))->Value();
}

QString Text(TDataSet* ds, const char* field)
{
    return ds->FieldByName(QString::fromLatin1(field))->DisplayText();
}

// The values of one integer field over the whole dataset, in its index order.
std::vector<int> Ints(TDataSet* ds, const char* field)
{
    std::vector<int> out;
    ds->First();
    for (; !ds->Eof(); ds->Next())
        out.push_back(Val(ds, field).IsNull() ? -1 : Val(ds, field).AsInteger());
    return out;
}

// How many rows carry each code in DERIGS.
std::map<int, int> Codes(TDataSet* ds)
{
    std::map<int, int> out;
    for (int c : Ints(ds, "DERIGS"))
        ++out[c];
    return out;
}

void ExpectEmpty(TCSHrvStumpwiseToDS& l)
{
    for (TClientDataSet* ds : {l.cdsVar(), l.cdsHeader(), l.cdsKoki(), l.cdsBalki(), l.cdsMerijumi(),
                               l.cdsDiamNovirzes(), l.cdsCirsmas()})
        EXPECT_EQ(ds->RecordCount(), 0) << ds->Name().toStdString();
    EXPECT_EQ(l.cdsKokuSk()->RecordCount(), 3);
}

} // namespace

// Five stems of three logs, all operator-selected spruce, every log usable.
//
// Tree 1, log 1 by hand (harvester length 494 cm, caliper length 492 cm, top diameters 138 and
// 139 mm; measurements at 120, 200, 300, 400 cm, harvester 154 149 147 143, caliper 157 155 148
// 145). The butt row is extrapolated from the first two points: slope (154 - 149) / (200 - 120)
// = 0.0625, so harvester 120 x 0.0625 + 154 = 161.5 -> 162 and caliper 7.5 + 157 = 164.5 -> 165.
// Each section is a truncated cone, L/10 x pi/3 x (r1^2 + r1 r2 + r2^2) with r = d/200 dm:
//   harvester 0-120 (162..154) 23.533, 120-200 (154..149) 14.423, 200-300 (149..147) 17.204,
//             300-400 (147..143) 16.514, 400-494 (143..138) 14.575: 86.249 -> 86 dm3;
//   caliper   0-120 (165..157) 24.435, 120-200 (157..155) 15.291, 200-300 (155..148) 18.030,
//             300-400 (148..145) 16.857, 400-492 (145..139) 14.572: 89.185 -> 89 dm3.
// With logs 2 and 3 (65 and 24, 62 and 26) the tree holds 175 and 177 dm3.
TEST(KtrLoad, RealFileWithFiveStems)
{
    TCSHrvStumpwiseToDS l;
    l.ImportFileIntoDS(Fixture("jd-timbermatic-2013.ktr"));
    EXPECT_EQ(l.HrvFileType(), csHrvKTRFile);

    TClientDataSet* h = l.cdsHeader();
    ASSERT_EQ(h->RecordCount(), 1);
    EXPECT_EQ(Val(h, "FILE_NAME").AsString(), Fixture("jd-timbermatic-2013.ktr"));
    EXPECT_EQ(Val(h, "HRV_NUMURS").AsString(), QStringLiteral("anononyjjj1070ejdd002004"));
    EXPECT_EQ(Val(h, "HRV_VIN").AsString(), QStringLiteral("1070e"));
    EXPECT_EQ(Val(h, "HRV_APJOMS_ALL").AsFloat(), 938.0);
    EXPECT_EQ(Val(h, "DAST_APJOMS_ALL").AsFloat(), 935.0);
    EXPECT_EQ(Val(h, "PROCENTS_ALL").AsFloat(), 0.32);
    EXPECT_EQ(Val(h, "HRV_APJOMS_OP").AsFloat(), 938.0);
    EXPECT_EQ(Val(h, "HRV_APJOMS_RAND").AsFloat(), 0.0);
    EXPECT_TRUE(Val(h, "PROCENTS_RAND").IsNull());
    EXPECT_EQ(Val(h, "DIENU_SKAITS").AsInteger(), 1);
    EXPECT_EQ(Val(h, "IR_PARRAVUMI").AsInteger(), 0);
    EXPECT_EQ(Val(h, "HAS_EMPTY_DATE").AsInteger(), 0);

    TClientDataSet* k = l.cdsKoki();
    ASSERT_EQ(k->RecordCount(), 5);
    EXPECT_EQ(Ints(k, "KOKS_NR"), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Ints(k, "HRV_APJOMS"), (std::vector<int>{175, 192, 150, 199, 222}));
    EXPECT_EQ(Ints(k, "DAST_APJOMS"), (std::vector<int>{177, 191, 147, 194, 226}));
    EXPECT_EQ(Ints(k, "CIRSMA_NR"), (std::vector<int>{1, 2, 2, 2, 2}));
    EXPECT_EQ(Ints(k, "DERIGS"), (std::vector<int>{-1, -1, -1, -1, -1}));
    k->First();
    EXPECT_EQ(Text(k, "IZV_VEIDS"), QStringLiteral("Operatora izvēlētie"));
    EXPECT_EQ(l.cdsCirsmas()->RecordCount(), 2);

    TClientDataSet* b = l.cdsBalki();
    ASSERT_EQ(b->RecordCount(), 15);
    EXPECT_EQ(Codes(b), (std::map<int, int>{{0, 15}}));
    b->First();
    EXPECT_EQ(Val(b, "HRV_APJOMS").AsFloat(), 86.0);
    EXPECT_EQ(Val(b, "DAST_APJOMS").AsFloat(), 89.0);

    // 69 measurements of the file and a butt and a top row for each of the 15 logs; points
    // within 10 cm of a log's top end are coded 20.
    TClientDataSet* m = l.cdsMerijumi();
    EXPECT_EQ(m->RecordCount(), 69 + 2 * 15);
    EXPECT_EQ(Codes(m), (std::map<int, int>{{0, 97}, {20, 2}}));
    m->First();
    EXPECT_EQ(Val(m, "HRV_DIAMETRS").AsInteger(), 162);
    EXPECT_EQ(Val(m, "DAST_DIAMETRS").AsInteger(), 165);

    TClientDataSet* sk = l.cdsKokuSk();
    sk->First();
    EXPECT_EQ(Val(sk, "KOKU_SK_DER").AsInteger(), 5);
    EXPECT_EQ(Val(sk, "BALKU_SK_DER").AsInteger(), 15);

    // Every variable of the file (one per "~") is a raw row, ordered by block, number and type.
    TClientDataSet* v = l.cdsVar();
    EXPECT_EQ(v->RecordCount(), 269);
    v->Last();
    EXPECT_EQ(Val(v, "BLOCK_NR").AsInteger(), 5);
    EXPECT_EQ(Val(v, "VAR_NR").AsInteger(), 993);
    EXPECT_TRUE(Val(v, "VAR_T").IsNull());
}

// Ten stems; some logs fail validation: a log that counts no measurement (55), a first log
// whose first point lacks a caliper diameter (17), two diameters in a row growing (10).
TEST(KtrLoad, RealFileWithTenStems)
{
    TCSHrvStumpwiseToDS l;
    l.ImportFileIntoDS(Fixture("komatsu-maxixplorer-2017.ktr"));

    TClientDataSet* h = l.cdsHeader();
    EXPECT_EQ(Val(h, "HRV_NUMURS").AsString(), QStringLiteral("9310000000"));
    EXPECT_TRUE(Val(h, "HRV_VIN").IsNull());
    EXPECT_EQ(Val(h, "HRV_APJOMS_ALL").AsFloat(), 2833.0);
    EXPECT_EQ(Val(h, "DAST_APJOMS_ALL").AsFloat(), 3225.0);
    EXPECT_EQ(Val(h, "PROCENTS_ALL").AsFloat(), -12.16);
    // Control days 3, 4, 5 and 7 May 2017.
    EXPECT_EQ(Val(h, "DIENU_SKAITS").AsInteger(), 4);
    EXPECT_EQ(Val(h, "IR_PARRAVUMI").AsInteger(), 1);

    TClientDataSet* k = l.cdsKoki();
    ASSERT_EQ(k->RecordCount(), 10);
    EXPECT_EQ(Ints(k, "HRV_APJOMS"), (std::vector<int>{72, 218, 168, 381, 464, 57, 792, 329, 174, 178}));
    EXPECT_EQ(Ints(k, "DAST_APJOMS"), (std::vector<int>{87, 256, 196, 422, 516, 75, 874, 380, 209, 210}));

    TClientDataSet* b = l.cdsBalki();
    ASSERT_EQ(b->RecordCount(), 30);
    EXPECT_EQ(Codes(b), (std::map<int, int>{{0, 27}, {10, 1}, {17, 1}, {55, 1}}));
    ASSERT_TRUE(b->Locate(QStringLiteral("KOKS_NR;BALKIS_NR"), Value(ValueArray{Value(3), Value(3)})));
    EXPECT_EQ(Val(b, "DERIGS").AsInteger(), 55);
    ASSERT_TRUE(b->Locate(QStringLiteral("KOKS_NR;BALKIS_NR"), Value(ValueArray{Value(4), Value(1)})));
    EXPECT_EQ(Val(b, "DERIGS").AsInteger(), 17);
    EXPECT_EQ(Val(b, "MER_SKAITS").AsInteger(), 0);

    EXPECT_EQ(l.cdsMerijumi()->RecordCount(), 161 + 2 * 30);
    EXPECT_EQ(l.cdsVar()->RecordCount(), 608);
    TClientDataSet* sk = l.cdsKokuSk();
    sk->First();
    EXPECT_EQ(Val(sk, "KOKU_SK_DER").AsInteger(), 10);
    EXPECT_EQ(Val(sk, "BALKU_SK_DER").AsInteger(), 27);
    EXPECT_EQ(Val(sk, "BALKU_SK_NEDER").AsInteger(), 3);
}

// A CR LF file with one random stem: its volumes count for the random kind.
TEST(KtrLoad, RandomStem)
{
    TCSHrvStumpwiseToDS l;
    l.ImportFileIntoDS(Fixture("crlf-random.ktr"));
    TClientDataSet* h = l.cdsHeader();
    EXPECT_EQ(Val(h, "HRV_APJOMS_RAND").AsFloat(), 255.0);
    EXPECT_EQ(Val(h, "HRV_APJOMS_OP").AsFloat(), 48.0);
    EXPECT_EQ(Val(h, "HRV_APJOMS_ALL").AsFloat(), 303.0);
    TClientDataSet* k = l.cdsKoki();
    k->First();
    EXPECT_EQ(Text(k, "IZV_VEIDS"), QStringLiteral("Nejaušie koki"));
    TClientDataSet* sk = l.cdsKokuSk();
    sk->Last();
    EXPECT_EQ(Val(sk, "IZV_VEIDS").AsInteger(), 2);
    EXPECT_EQ(Val(sk, "KOKU_SK_DER").AsInteger(), 1);
    EXPECT_EQ(Val(sk, "BALKU_SK_DER").AsInteger(), 2);
}

// Surplus words reach no other tree: the tree without logs stays without measurements and is
// unusable (51), the next tree has only its own one.
TEST(KtrLoad, SurplusWords)
{
    TCSHrvStumpwiseToDS l;
    l.ImportFileIntoDS(Fixture("surplus-words.ktr"));
    EXPECT_EQ(Ints(l.cdsKoki(), "DERIGS"), (std::vector<int>{-1, 51, 51}));
    EXPECT_EQ(Ints(l.cdsMerijumi(), "KOKS_NR"), (std::vector<int>{1, 1, 1, 1, 1, 1, 3, 3, 3}));
}

// Files cut short by their end still load: a last value without "~" keeps what was read, a
// variable cut within its type is dropped (here the positions: their rows lack MERVIETA, 13,
// and the log with them misses two in a row, 16).
TEST(KtrLoad, FilesCutShort)
{
    struct Case {
        const char* file;
        std::vector<int> positions;
        std::map<int, int> codes;
    };
    const Case cases[] = {
        {"no-final-mark.ktr", {0, 100, 200, -1, 301}, {{0, 4}, {13, 1}}},
        {"ends-in-variable.ktr", {0, -1, -1, -1, 301}, {{13, 3}, {16, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TCSHrvStumpwiseToDS l;
        l.ImportFileIntoDS(Fixture(c.file));
        EXPECT_EQ(l.cdsKoki()->RecordCount(), 1);
        EXPECT_EQ(Ints(l.cdsMerijumi(), "MERVIETA"), c.positions);
        EXPECT_EQ(Codes(l.cdsMerijumi()), c.codes);
    }
}

// Any text that does not convert fails the whole load with the loader's one message, and
// nothing of the file (nor of the file loaded before) stays.
TEST(KtrLoad, FailureLeavesNothing)
{
    struct Case {
        const char* file;
        const char* detail;
    };
    const Case cases[] = {
        {"bad-number.ktr", "'x5' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        TCSHrvStumpwiseToDS l;
        l.ImportFileIntoDS(Fixture("jd-timbermatic-2013.ktr"));
        ASSERT_EQ(l.cdsKoki()->RecordCount(), 5);
        try {
            l.ImportFileIntoDS(Fixture(c.file));
            ADD_FAILURE() << "no error for " << c.file;
        } catch (const EValidationException& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Kļūda ielādējot failu! Pārbaudiet vai fails ir korekts.\r\n"
                                                  "Kļūdas paziņojums: ")
                                       + QString::fromUtf8(c.detail));
            EXPECT_FALSE(e.HasField());
        }
        EXPECT_EQ(l.HrvFileType(), csHrvKTRFile);
        ExpectEmpty(l);
    }
    TCSHrvStumpwiseToDS l;
    EXPECT_THROW(l.ImportFileIntoDS(Fixture("no-such-file.ktr")), EValidationException);
    ExpectEmpty(l);

    // Made on the spot: a stem date of 12 characters (its seconds are an empty text), a list
    // written on two CR LF lines (the line break is two blanks, so an empty word lies between
    // the two numbers), and files with nothing in them.
    const struct {
        QByteArray bytes;
        const char* detail;
    } made[] = {
        {"110 1 2~18 4 202305141015~", "'' is not a valid integer value"},
        {"110 1 2~291 3 \r\n450\r\n510~", "'' is not a valid integer value"},
        {"", "Nepareizs faila formāts!"},
        {" \r\n\t\r\n ", "Nepareizs faila formāts!"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& c : made) {
        const QString name = dir.filePath(QStringLiteral("made.ktr"));
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        try {
            l.ImportFileIntoDS(name);
            ADD_FAILURE() << c.detail;
        } catch (const EValidationException& e) {
            EXPECT_TRUE(e.Message().endsWith(QStringLiteral("\r\nKļūdas paziņojums: ") + QString::fromUtf8(c.detail)))
                << e.Message().toStdString();
        }
        ExpectEmpty(l);
    }
}
