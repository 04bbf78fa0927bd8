// The .hqc reader on its own: what it puts into the model before the analysis runs.

#include "HqcTestUtil.h"

#include "import/HqcReader.h"
#include "import/Readers.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

namespace {

QString Fixture(const char* name)
{
    return HqcFixture(name);
}

TAnalysisModel Read(const QByteArray& xml)
{
    TAnalysisModel model;
    TCSStanDForFileHQC::ImportDocument(xml, QStringLiteral("t.hqc"), model);
    return model;
}

QString FailureOf(const QByteArray& xml)
{
    try {
        Read(xml);
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

// A minimal document: the header, a machine and one ControlValues element with the given body.
QByteArray Doc(const QByteArray& controlValues, const QByteArray& machineExtra = {},
               const QByteArray& creation = "2023-05-17T08:15:42+03:00")
{
    return "<HarvestingQualityControl xmlns='urn:skogforsk:stanford2010'>"
           "<HarvestingQualityControlHeader><CreationDate>" + creation + "</CreationDate></HarvestingQualityControlHeader>"
           "<Machine><MachineKey>K</MachineKey>" + machineExtra + "<ControlValues>" + controlValues +
           "</ControlValues></Machine></HarvestingQualityControl>";
}

QByteArray Species(const char* key, const char* name)
{
    return QByteArray("<SpeciesGroupDefinition><SpeciesGroupKey>") + key + "</SpeciesGroupKey><SpeciesGroupName>" +
           name + "</SpeciesGroupName></SpeciesGroupDefinition>";
}

QByteArray Stem(const char* speciesKey, const QByteArray& logs = {})
{
    return QByteArray("<Stem><ObjectKey>1</ObjectKey><SpeciesGroupKey>") + speciesKey +
           "</SpeciesGroupKey><ProcessingCategory>SingleTreeProcessing</ProcessingCategory>"
           "<SingleTreeProcessedStem>" + logs + "</SingleTreeProcessedStem></Stem>";
}

QString Missing(const char* name)
{
    return QStringLiteral("Nepareizs faila formāts!\r\nNav atrasts vai tukšs lauks \"<%1>\"!").arg(QLatin1String(name));
}

} // namespace

TEST(HqcReader, HandMadeFileWithPrefixesAndTwoControlGroups)
{
    TAnalysisModel m;
    ImportHQCFile(Fixture("two-control-groups.hqc"), m);

    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("AB-1234"));
    EXPECT_EQ(m.Header.HRV_VIN, QStringLiteral("VIN-0042"));
    EXPECT_EQ(m.Header.DATUMS_PARB, 45063.0); // 2023-05-17, the time of day cut off
    EXPECT_EQ(m.Header.FILE_NAME, Fixture("two-control-groups.hqc"));

    ASSERT_EQ(m.Cirsmas.size(), 2u);
    EXPECT_EQ(m.Cirsmas[0].CIRSMA_NR, 7);
    EXPECT_EQ(m.Cirsmas[1].OBJECTUSERID, QStringLiteral("OBJ-8"));

    // Stems are numbered on across both ControlValues elements.
    ASSERT_EQ(m.Trees.size(), 3u);
    const TTreeRow& t1 = m.Trees[0];
    EXPECT_EQ(t1.KOKS_NR, 1);
    EXPECT_EQ(t1.CIRSMA_NR, 7);
    EXPECT_EQ(t1.SUGA, QStringLiteral("PRIEDE"));
    EXPECT_EQ(t1.SUGA_TXT, QStringLiteral("PRIEDE"));
    EXPECT_EQ(t1.IZV_VEIDS, 1);
    EXPECT_EQ(t1.BALKU_SK, 3);             // the empty Log element counts
    EXPECT_EQ(t1.DATUMS_PARB, 45062.0);    // the latest measurement day beats the harvest day
    EXPECT_FALSE(t1.DERIGS.has_value());
    const TTreeRow& t2 = m.Trees[1];
    EXPECT_EQ(t2.KOKS_NR, 2);
    EXPECT_EQ(t2.SUGA, QStringLiteral("EGLE"));
    EXPECT_EQ(t2.IZV_VEIDS, 2);
    EXPECT_EQ(t2.BALKU_SK, 0);             // multi-tree processing: no logs read
    EXPECT_FALSE(t2.DATUMS_PARB.has_value());
    const TTreeRow& t3 = m.Trees[2];
    EXPECT_EQ(t3.KOKS_NR, 3);
    EXPECT_EQ(t3.CIRSMA_NR, 8);
    EXPECT_EQ(t3.SUGA_TXT, QStringLiteral("EGLE"));
    EXPECT_EQ(t3.IZV_VEIDS, 2);
    EXPECT_EQ(t3.DATUMS_PARB, 45062.0);

    ASSERT_EQ(m.Logs.size(), 3u);
    const TLogRow& l11 = m.Logs[0];
    EXPECT_EQ(l11.KOKS_NR, 1);
    EXPECT_EQ(l11.BALKIS_NR, 1);
    EXPECT_EQ(l11.HRV_GARUMS, 400);
    EXPECT_EQ(l11.HRV_TIEVG, 210);         // the "Average" top diameter, not the "First" one
    EXPECT_EQ(l11.DAST_GARUMS, 398);
    EXPECT_EQ(l11.DAST_TIEVG, 208);
    EXPECT_EQ(l11.MER_SKAITS, 3);          // "Average" points only
    EXPECT_EQ(l11.DERIGS, 0);
    const TLogRow& l12 = m.Logs[1];        // a log without measurements
    EXPECT_EQ(l12.BALKIS_NR, 2);
    EXPECT_FALSE(l12.HRV_GARUMS.has_value());
    EXPECT_FALSE(l12.DAST_GARUMS.has_value());
    EXPECT_EQ(l12.MER_SKAITS, 0);
    const TLogRow& l31 = m.Logs[2];
    EXPECT_EQ(l31.KOKS_NR, 3);
    EXPECT_EQ(l31.HRV_TIEVG, 0);           // no top diameter written
    EXPECT_EQ(l31.MER_SKAITS, 1);

    // Harvester points in position order, each beside the caliper's "Average" at that position.
    struct Expected {
        int koks, balkis, nr, pos, hrv;
        std::optional<int32_t> dast;
    };
    const Expected expected[] = {
        {1, 1, 1, 50, 262, 265}, {1, 1, 2, 150, 248, std::nullopt}, {1, 1, 3, 250, 231, 228},
        {3, 1, 1, 100, 180, std::nullopt}};
    ASSERT_EQ(m.Meas.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const TMeasRow& r = m.Meas[i];
        const Expected& e = expected[i];
        EXPECT_EQ(r.KOKS_NR, e.koks) << i;
        EXPECT_EQ(r.BALKIS_NR, e.balkis) << i;
        EXPECT_EQ(r.MERIJUMS_NR, e.nr) << i;
        EXPECT_EQ(r.MERVIETA, e.pos) << i;
        EXPECT_EQ(r.HRV_DIAMETRS, e.hrv) << i;
        EXPECT_EQ(r.DAST_DIAMETRS, e.dast) << i;
        EXPECT_EQ(r.DERIGS, 0) << i;
        EXPECT_EQ(r.MERIJ_VEIDS, 0) << i;
    }
}

TEST(HqcReader, WorkingTablesKeepEveryDiameterAndSpeciesLookup)
{
    QFile f(Fixture("two-control-groups.hqc"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    pugi::xml_document doc;
    TCSStanDForFile::LoadDocument(doc, f.readAll());
    TAnalysisModel m;
    TCSStanDForFileHQC reader(nullptr);
    reader.AssignDataSets(&m.Trees, &m.Logs, &m.Meas, &m.Cirsmas);
    const pugi::xml_node machine = doc.document_element().child("q:Machine");
    reader.ReadCommonData(doc.document_element(), machine, true, false, false, true);
    EXPECT_EQ(reader.FileInfoRec().Machine.MachineKey, QStringLiteral("M-1"));
    EXPECT_EQ(reader.FileInfoRec().Machine.MachineBaseManufacturer, QStringLiteral("Maker"));
    EXPECT_EQ(reader.FileInfoRec().FileInfo.sFileDate, QStringLiteral("2023-05-17T08:15:42.125+03:00"));
    reader.ParseControlValues(machine);

    // The machine's rows of every category are kept; only the "Average" ones become points.
    EXPECT_EQ(reader.cdsMerMachine().Rows().size(), 6u);
    EXPECT_EQ(reader.cdsMerOperat().Rows().size(), 4u);
    EXPECT_EQ(reader.cdsMerMachine().Rows()[2].MERIJ_CAT, QStringLiteral("First"));

    // The first definition of key 10 stays; by-name lookups are counted, two per stem.
    ASSERT_EQ(reader.cdsSugas().size(), 2u);
    EXPECT_EQ(reader.cdsSugas()[0].SUGA, QStringLiteral("PRIEDE"));
    EXPECT_EQ(reader.cdsSugas()[0].KOKU_SKAITS, 2);
    EXPECT_EQ(reader.cdsSugas()[1].KOKU_SKAITS, 4);
    EXPECT_TRUE(reader.UseSugaByName());
}

TEST(HqcReader, SpeciesByNumberWhenNeitherPriedeNorEgleIsNamed)
{
    const TAnalysisModel m = Read(Doc(Species("1", "Pine") + Species("2", "Spruce") + Species("3", "Birch") +
                                      Species("4", "Aspen") + Species("7", "Alder") + Stem("2") + Stem("1") +
                                      Stem("3") + Stem("4") + Stem("7")));
    const char* suga[] = {"EGLE", "PRIEDE", "BĒRZS", "APSE", ""};
    const char* txt[] = {"Spruce", "Pine", "Birch", "Aspen", "Alder"};
    ASSERT_EQ(m.Trees.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(m.Trees[i].SUGA, QString::fromUtf8(suga[i])) << i;
        EXPECT_EQ(m.Trees[i].SUGA_TXT, QString::fromUtf8(txt[i])) << i;
    }
}

// Each control group decides the mode by the species known when it is read: a later group that
// names "EGLE" turns lookups by name on from there, and the names stay known after it.
TEST(HqcReader, SpeciesModeFollowsTheSpeciesKnownPerGroup)
{
    const QByteArray head = "<HarvestingQualityControl><HarvestingQualityControlHeader><CreationDate>"
                            "2023-05-17T08:15:42</CreationDate></HarvestingQualityControlHeader>"
                            "<Machine><MachineKey>K</MachineKey>";
    const TAnalysisModel m = Read(head + "<ControlValues>" + Species("2", "Spruce") + Stem("2") + "</ControlValues>"
                                  + "<ControlValues>" + Species("5", "EGLE") + Stem("2") + "</ControlValues>"
                                  + "<ControlValues>" + Stem("2") + "</ControlValues></Machine></HarvestingQualityControl>");
    ASSERT_EQ(m.Trees.size(), 3u);
    EXPECT_EQ(m.Trees[0].SUGA, QStringLiteral("EGLE")); // by number
    EXPECT_EQ(m.Trees[1].SUGA, QStringLiteral("Spruce")); // by name
    EXPECT_EQ(m.Trees[2].SUGA, QStringLiteral("Spruce"));
}

TEST(HqcReader, SpeciesByNameGivesTheNameOfTheKey)
{
    // With "PRIEDE" among the names, key 2 gives the name defined for it, not "EGLE".
    const TAnalysisModel m =
        Read(Doc(Species("1", "PRIEDE") + Species("2", "OSIS") + Species("3", "A very long species name") +
                 Stem("2") + Stem("3")));
    ASSERT_EQ(m.Trees.size(), 2u);
    EXPECT_EQ(m.Trees[0].SUGA, QStringLiteral("OSIS"));
    EXPECT_EQ(m.Trees[0].SUGA_TXT, QStringLiteral("OSIS"));
    EXPECT_EQ(m.Trees[1].SUGA, QStringLiteral("A very lon")); // cut to the field's width
}

TEST(HqcReader, FailuresCarryTheirMessages)
{
    const QByteArray ok = Species("1", "PRIEDE") + Stem("1");
    struct Case {
        const char* what;
        QByteArray xml;
        QString message;
    };
    const Case cases[] = {
        {"unknown key by name", Doc(Species("1", "PRIEDE") + Stem("9")),
         QStringLiteral("Suga ar atslēgu \"9\" nav atrasta!")},
        {"unknown key by number", Doc(Species("1", "Pine") + Stem("2")),
         QStringLiteral("Suga ar atslēgu \"2\" nav atrasta!")},
        {"no root", "<?xml version='1.0'?><!-- empty -->",
         QStringLiteral("HQC fails ir nekorekts: nav saknes elementa!")},
        {"no machine", "<HarvestingQualityControl/>", Missing("Machine")},
        {"no header",
         "<HarvestingQualityControl><Machine><MachineKey>K</MachineKey></Machine></HarvestingQualityControl>",
         Missing("CreationDate")},
        {"no machine key",
         "<HarvestingQualityControl><HarvestingQualityControlHeader><CreationDate>2023-05-17T08:15:42"
         "</CreationDate></HarvestingQualityControlHeader><Machine><MachineKey/></Machine></HarvestingQualityControl>",
         Missing("MachineKey")},
        {"no control values",
         "<HarvestingQualityControl><HarvestingQualityControlHeader><CreationDate>2023-05-17T08:15:42"
         "</CreationDate></HarvestingQualityControlHeader><Machine><MachineKey>K</MachineKey></Machine>"
         "</HarvestingQualityControl>",
         Missing("ControlValues")},
        {"creation date without a time", Doc(ok, {}, "2023-05-17"), QStringLiteral("'' is not a valid integer value")},
        {"species without a key", Doc("<SpeciesGroupDefinition><SpeciesGroupName>X</SpeciesGroupName>"
                                      "</SpeciesGroupDefinition>"),
         Missing("SpeciesGroupKey")},
        {"object without a user id", Doc("<ObjectDefinition><ObjectKey>1</ObjectKey></ObjectDefinition>"),
         Missing("ObjectUserID")},
        {"stem without a processing category",
         Doc(Species("1", "PRIEDE") + "<Stem><ObjectKey>1</ObjectKey><SpeciesGroupKey>1</SpeciesGroupKey></Stem>"),
         Missing("ProcessingCategory")},
        {"log without a key", Doc(Species("1", "PRIEDE") + Stem("1", "<Log><ProductKey>1</ProductKey></Log>")),
         Missing("LogKey")},
        {"length that is not a number",
         Doc(Species("1", "PRIEDE") +
             Stem("1", "<Log><LogKey>1</LogKey><LogMeasurement logMeasurementCategory='Machine'><LogLength>4,5"
                       "</LogLength><MeasurementDate>2023-05-16</MeasurementDate></LogMeasurement></Log>")),
         QStringLiteral("'4,5' is not a valid integer value")},
        {"empty top diameter",
         Doc(Species("1", "PRIEDE") +
             Stem("1", "<Log><LogKey>1</LogKey><LogMeasurement logMeasurementCategory='Machine'><LogLength>4"
                       "</LogLength><LogDiameter logDiameterCategory='Top ob' diameterMeasurementCategory='Average'>"
                       " </LogDiameter><MeasurementDate>2023-05-16</MeasurementDate></LogMeasurement></Log>")),
         QStringLiteral("'' is not a valid integer value")},
        {"measurement without a date",
         Doc(Species("1", "PRIEDE") +
             Stem("1", "<Log><LogKey>1</LogKey><LogMeasurement logMeasurementCategory='Machine'><LogLength>4"
                       "</LogLength></LogMeasurement></Log>")),
         Missing("MeasurementDate")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FailureOf(c.xml), c.message) << c.what;
    EXPECT_NO_THROW(Read(Doc(ok)));
}

TEST(HqcReader, DiameterEdgeCases)
{
    // Caliper points missing at some positions, an empty diameter, a missing position, a
    // machine measurement written twice (the later one's length wins, diameters add up).
    const QByteArray log =
        "<Log><LogKey>1</LogKey>"
        "<LogMeasurement logMeasurementCategory='Machine'><LogLength>500</LogLength>"
        "<MeasurementDate>2023-05-16</MeasurementDate>"
        "<ControlLogDiameter diameterPosition='150' diameterMeasurementCategory='Average'>150</ControlLogDiameter>"
        "<ControlLogDiameter diameterMeasurementCategory='Average'>99</ControlLogDiameter>"
        "</LogMeasurement>"
        "<LogMeasurement logMeasurementCategory='Operator'><LogLength>498</LogLength>"
        "<MeasurementDate>2023-05-16</MeasurementDate>"
        "<ControlLogDiameter diameterPosition='150' diameterMeasurementCategory='Average'></ControlLogDiameter>"
        "<ControlLogDiameter diameterPosition='50' diameterMeasurementCategory='Average'>171</ControlLogDiameter>"
        "</LogMeasurement>"
        "<LogMeasurement logMeasurementCategory='Machine'><LogLength>501</LogLength>"
        "<MeasurementDate>2023-05-16</MeasurementDate>"
        "<ControlLogDiameter diameterPosition=' 50 ' diameterMeasurementCategory=' Average '>170</ControlLogDiameter>"
        "<ControlLogDiameter diameterPosition='250' diameterMeasurementCategory='average'>140</ControlLogDiameter>"
        "</LogMeasurement></Log>";
    const TAnalysisModel m = Read(Doc(Species("1", "PRIEDE") + Stem("1", log)));
    ASSERT_EQ(m.Logs.size(), 1u);
    EXPECT_EQ(m.Logs[0].HRV_GARUMS, 501);
    EXPECT_EQ(m.Logs[0].MER_SKAITS, 3);
    ASSERT_EQ(m.Meas.size(), 3u);
    EXPECT_FALSE(m.Meas[0].MERVIETA.has_value()); // no position sorts first
    EXPECT_EQ(m.Meas[0].HRV_DIAMETRS, 99);
    EXPECT_FALSE(m.Meas[0].DAST_DIAMETRS.has_value());
    EXPECT_EQ(m.Meas[1].MERVIETA, 50);
    EXPECT_EQ(m.Meas[1].DAST_DIAMETRS, 171);
    EXPECT_EQ(m.Meas[2].MERVIETA, 150);
    EXPECT_FALSE(m.Meas[2].DAST_DIAMETRS.has_value()); // the caliper wrote the point without a value
}

TEST(HqcReader, RealFileFromAMachine)
{
    TAnalysisModel m;
    ImportHQCFile(Fixture("vimek-forester-h70.hqc"), m);
    EXPECT_EQ(m.Header.HRV_NUMURS, QStringLiteral("T5330LS"));
    EXPECT_EQ(m.Header.HRV_VIN, QStringLiteral("T5330LS"));
    EXPECT_EQ(m.Header.DATUMS_PARB, 42923.0); // 2017-07-07
    ASSERT_EQ(m.Cirsmas.size(), 1u);
    EXPECT_EQ(m.Cirsmas[0].CIRSMA_NR, 24);
    EXPECT_EQ(m.Cirsmas[0].OBJECTUSERID, QStringLiteral("442034269525"));

    const int logsPerTree[] = {3, 3, 2, 4, 3, 3, 3};
    ASSERT_EQ(m.Trees.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(m.Trees[i].KOKS_NR, i + 1);
        EXPECT_EQ(m.Trees[i].BALKU_SK, logsPerTree[i]);
        EXPECT_EQ(m.Trees[i].SUGA, QStringLiteral("EGLE"));
        EXPECT_EQ(m.Trees[i].IZV_VEIDS, 1);
        EXPECT_EQ(m.Trees[i].CIRSMA_NR, 24);
        EXPECT_EQ(m.Trees[i].DATUMS_PARB, 42921.0); // 2017-07-05
    }

    // One control point per "Average" harvester diameter: half of what the machine wrote.
    const int points[] = {8, 6, 5, 7, 8, 6, 7, 6, 5, 5, 5, 5, 8, 6, 5, 7, 6, 5, 5, 6, 6};
    ASSERT_EQ(m.Logs.size(), std::size(points));
    size_t total = 0;
    for (size_t i = 0; i < m.Logs.size(); ++i) {
        EXPECT_EQ(m.Logs[i].MER_SKAITS, points[i]) << i;
        total += points[i];
    }
    EXPECT_EQ(m.Meas.size(), total);
    const TLogRow& first = m.Logs[0];
    EXPECT_EQ(first.HRV_GARUMS, 491);
    EXPECT_EQ(first.DAST_GARUMS, 490);
    EXPECT_EQ(first.HRV_TIEVG, 134);
    EXPECT_EQ(first.DAST_TIEVG, 133);
    EXPECT_EQ(m.Meas[0].MERVIETA, 120);
    EXPECT_EQ(m.Meas[0].HRV_DIAMETRS, 166);
    for (size_t i = 1; i < 8; ++i)
        EXPECT_LT(*m.Meas[i - 1].MERVIETA, *m.Meas[i].MERVIETA);
}

TEST(HqcReader, LogNamedTwiceInAStemKeepsItsOwnDiameters)
{
    const auto log = [](const char* pos, const char* hrv) {
        return QByteArray("<Log><LogKey>1</LogKey><LogMeasurement logMeasurementCategory='Machine'><LogLength>300"
                          "</LogLength><MeasurementDate>2023-05-16</MeasurementDate><ControlLogDiameter "
                          "diameterPosition='") +
               pos + "' diameterMeasurementCategory='Average'>" + hrv + "</ControlLogDiameter></LogMeasurement></Log>";
    };
    const TAnalysisModel m = Read(Doc(Species("1", "PRIEDE") + Stem("1", log("100", "200") + log("50", "150"))));
    ASSERT_EQ(m.Logs.size(), 2u);
    EXPECT_EQ(m.Logs[0].MER_SKAITS, 1);
    EXPECT_EQ(m.Logs[1].MER_SKAITS, 1);
    ASSERT_EQ(m.Meas.size(), 2u);
    EXPECT_EQ(m.Meas[0].MERVIETA, 100);
    EXPECT_EQ(m.Meas[1].MERVIETA, 50);
    EXPECT_EQ(m.Meas[1].HRV_DIAMETRS, 150);
}
