// The StanForD 2010 reader base on the messages other than quality control: header, units,
// object, contractor, machine, and the species, product and operator definitions.

#include "HqcTestUtil.h"

#include "import/StanForD2010Reader.h"
#include "import/StanForD2010Xml.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

// Opens the definitions for direct reading.
class TTestReader : public TCSStanDForFile {
public:
    using TCSStanDForFile::TCSStanDForFile;
    using TCSStanDForFile::ReadDefinitions;
};

QString FailureOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

QByteArray FixtureBytes(const char* name)
{
    QFile f(HqcFixture(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(StanForD2010Reader, ProductionMessageHeaderAndDefinitions)
{
    pugi::xml_document doc;
    TCSStanDForFile::LoadDocument(doc, FixtureBytes("production-definitions.hpr"));
    const pugi::xml_node root = doc.document_element();
    const pugi::xml_node machine = root.child("p:Machine");

    TCSStanDForFile r(nullptr, csStDForHPR);
    r.SetIsForDWH(true);
    r.ReadCommonData(root, machine, false, true, true, false);
    const TcsStanFordRec& rec = r.FileInfoRec();
    EXPECT_EQ(rec.Units.WeightUnit, QStringLiteral("kg"));
    EXPECT_EQ(rec.Units.AreaUnit, QStringLiteral("ha"));
    EXPECT_DOUBLE_EQ(rec.FileInfo.dFileDate, 45063 + (8 * 3600 + 15 * 60 + 42) / 86400.0);
    EXPECT_EQ(rec.CirsmaInfo.CirsmaID, QStringLiteral("O-1"));
    EXPECT_EQ(rec.CirsmaInfo.CirsmaName, QStringLiteral("Site"));
    EXPECT_EQ(rec.CirsmaInfo.Ligums, QStringLiteral("RE-9"));
    EXPECT_EQ(rec.LoggingContractor.Nosauk, QStringLiteral("Cutters"));
    EXPECT_EQ(rec.LoggingContractor.Addrese, QStringLiteral("Meža iela 1"));
    EXPECT_EQ(rec.LoggingContractor.Tel, QStringLiteral("123"));
    EXPECT_EQ(rec.Machine.RegNr, QStringLiteral("OWN"));
    EXPECT_EQ(rec.Machine.MachineHeadModel, QString()); // machine details only when asked for

    ASSERT_EQ(r.cdsSugas().size(), 2u);
    EXPECT_EQ(r.cdsSugas()[0].DBHHEIGHT, 130);
    EXPECT_EQ(r.cdsSugas()[0].BARKFUNCTION, QStringLiteral("german distance based"));
    // The deduction without any limit is dropped.
    ASSERT_EQ(r.cdsSugBarkDeduct().size(), 2u);
    EXPECT_EQ(r.cdsSugBarkDeduct()[0].DBHCLLOWLIM, 100);
    EXPECT_DOUBLE_EQ(*r.cdsSugBarkDeduct()[0].BARKDEDUCTION, 3.5);
    EXPECT_EQ(r.cdsSugBarkDeduct()[1].SUGA_KEY, QStringLiteral("2"));
    EXPECT_EQ(r.cdsSugBarkDeduct()[1].LOWERDIAMLIM, 200);
    EXPECT_DOUBLE_EQ(*r.cdsSugBarkDeduct()[1].BARKDEDUCTION, 4.25);
    ASSERT_EQ(r.cdsSugGerDistLimit().size(), 2u);
    EXPECT_EQ(r.cdsSugGerDistLimit()[1].DISTANCECLLOWLIM, 500);
    ASSERT_EQ(r.cdsSugGerDBH().size(), 1u);

    ASSERT_EQ(r.cdsSortList().size(), 1u);
    EXPECT_EQ(r.cdsSortList()[0].SORT_KEY, QStringLiteral("7"));
    EXPECT_EQ(r.cdsSortList()[0].SORTIMENTS, QStringLiteral("Malka"));
    EXPECT_EQ(r.cdsSortList()[0].UNCLASSIFIED, 1);

    ASSERT_EQ(r.cdsOperat().size(), 1u);
    EXPECT_EQ(r.cdsOperat()[0].OPERATORKEY, QStringLiteral("5"));
    EXPECT_EQ(r.cdsOperat()[0].LASTNAME, QStringLiteral("Bērziņš"));

    // A second read starts from empty tables.
    r.ReadCommonData(root, machine, false, false, false, true);
    EXPECT_EQ(r.cdsSugas().size(), 2u);
    EXPECT_EQ(r.cdsOperat().size(), 1u);
    EXPECT_EQ(r.FileInfoRec().Machine.MachineHeadModel, QStringLiteral("H7"));
    // Nothing happens without both elements.
    r.ReadCommonData(root, pugi::xml_node(), false, false, false, true);
    EXPECT_EQ(r.cdsSugas().size(), 2u);
}

TEST(StanForD2010Reader, RealProductAndSpeciesDefinitions)
{
    QFile f(HqcFixture("vimek-forester-h70.hqc"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    pugi::xml_document doc;
    TCSStanDForFile::LoadDocument(doc, f.readAll());
    const pugi::xml_node machine = SelectChildNode(doc.document_element(), "Machine", true);
    const pugi::xml_node controlValues = SelectChildNode(machine, "ControlValues", true);

    TTestReader r(nullptr, csStDForHPR);
    r.SetIsForDWH(true);
    r.ReadDefinitions(controlValues);
    ASSERT_EQ(r.cdsSugas().size(), 1u);
    EXPECT_EQ(r.cdsSugas()[0].SUGA_KEY, QStringLiteral("284"));
    EXPECT_EQ(r.cdsSugas()[0].DBHHEIGHT, 120);
    EXPECT_EQ(r.cdsSugas()[0].BARKFUNCTION, QStringLiteral("Swedish Zacco"));
    EXPECT_DOUBLE_EQ(*r.cdsSugas()[0].SWEACCOCONSTANT, 3.08);
    EXPECT_DOUBLE_EQ(*r.cdsSugas()[0].SWEACCOFACTORB, 0.0404);
    ASSERT_FALSE(r.cdsSortList().empty());
    const TSortListRow& p = r.cdsSortList()[0];
    EXPECT_EQ(p.SORT_KEY, QStringLiteral("1531"));
    EXPECT_EQ(p.SORTIMENTS, QStringLiteral("10X14"));
    EXPECT_EQ(p.UNCLASSIFIED, 0);
    EXPECT_EQ(p.PRODUCTID, QStringLiteral("EGLE_10X14"));
    EXPECT_EQ(p.SPECIESGROUPKEY, QStringLiteral("284"));
    EXPECT_EQ(p.DIAM_MTOP, 105);
    EXPECT_EQ(p.DIAM_MBUTT, 500);
    EXPECT_EQ(p.DIAM_UBARK, 1);
    EXPECT_EQ(p.VOLUMEUNDERBARK, 1);
    EXPECT_EQ(p.VOL_DIAMCAT, QStringLiteral("All diameters (solid volume)"));
    ASSERT_GE(r.cdsSortGar().size(), 8u);
    EXPECT_EQ(r.cdsSortGar()[0].SORT_KEY, QStringLiteral("1531"));
    EXPECT_EQ(r.cdsSortGar()[0].LOWER_LIMIT, 330);
    EXPECT_EQ(r.cdsSortLengthClass()[1].LENGTH_LOWER_LIMIT, 360);
    EXPECT_EQ(r.cdsSortLengthClass()[1].LENGTHCLASSMARGIN, 0);
}

TEST(StanForD2010Reader, DefinitionFailures)
{
    struct Case {
        const char* what;
        TCsStanDForFileType type;
        const char* machineBody;
        QString message;
    };
    const Case cases[] = {
        {"no object", csStDForMOM, "<MachineKey>M</MachineKey>",
         QStringLiteral("Nepareizs faila formāts!\r\nNav atrasts vai tukšs lauks \"<ObjectDefinition>\"!")},
        {"no bark function", csStDForHPR,
         "<MachineKey>M</MachineKey><ObjectDefinition/><SpeciesGroupDefinition><SpeciesGroupName>EGLE"
         "</SpeciesGroupName><SpeciesGroupKey>2</SpeciesGroupKey><DBHHeight>130</DBHHeight></SpeciesGroupDefinition>",
         QStringLiteral("Sugai \"EGLE\" nav elements \"BarkFunction\"!")},
        {"no bark category", csStDForHPR,
         "<MachineKey>M</MachineKey><ObjectDefinition/><SpeciesGroupDefinition><SpeciesGroupName>EGLE"
         "</SpeciesGroupName><SpeciesGroupKey>2</SpeciesGroupKey><DBHHeight>130</DBHHeight><BarkFunction/>"
         "</SpeciesGroupDefinition>",
         QStringLiteral("Elemenatam \"BarkFunction\" netika atrasts obligāts atribūts \"barkFunctionCategory\"!")},
        {"no DBH height", csStDForHPR,
         "<MachineKey>M</MachineKey><ObjectDefinition/><SpeciesGroupDefinition><SpeciesGroupName>EGLE"
         "</SpeciesGroupName><SpeciesGroupKey>2</SpeciesGroupKey></SpeciesGroupDefinition>",
         QStringLiteral("Netika atrasts elements \"DBHHeight\"!")},
        {"product of neither kind", csStDForHPR,
         "<MachineKey>M</MachineKey><ObjectDefinition/><ProductDefinition><ProductKey>1</ProductKey>"
         "</ProductDefinition>",
         QStringLiteral("Sortimentam nav neviens no ClassifiedProductDefinition vai UnclassifiedProductDefinition "
                        "elementiem!")},
        {"classified product without its diameters", csStDForHPR,
         "<MachineKey>M</MachineKey><ObjectDefinition/><ProductDefinition><ProductKey>1</ProductKey>"
         "<ClassifiedProductDefinition><ProductName>Zb</ProductName></ClassifiedProductDefinition></ProductDefinition>",
         QStringLiteral("Sortimentam \"Zb\" nav elements \"DiameterDefinition\"!")},
    };
    for (const Case& c : cases) {
        const QByteArray xml = QByteArray("<R><HarvestedProductionHeader><OperationalMonitoringHeader/>"
                                          "<CreationDate>2023-05-17T08:15:42</CreationDate></HarvestedProductionHeader>"
                                          "<OperationalMonitoringHeader><CreationDate>2023-05-17T08:15:42</CreationDate>"
                                          "</OperationalMonitoringHeader><Machine>") +
                               c.machineBody + "</Machine></R>";
        pugi::xml_document doc;
        TCSStanDForFile::LoadDocument(doc, xml);
        TCSStanDForFile r(nullptr, c.type);
        r.SetIsForDWH(true);
        EXPECT_EQ(FailureOf([&] {
                      r.ReadCommonData(doc.document_element(), doc.document_element().child("Machine"), false, false,
                                       false, false);
                  }),
                  c.message)
            << c.what;
    }
}
