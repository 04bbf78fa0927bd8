// The StanForD 2010 XML helpers: elements by local name, text, flags, numbers, dates, the
// document's encoding.

#include "HqcTestUtil.h"

#include "import/StanForD2010Reader.h"
#include "import/StanForD2010Xml.h"

#include "platform/rtl/EConvertError.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <cmath>

namespace {

pugi::xml_node Parse(pugi::xml_document& doc, const char* xml)
{
    TCSStanDForFile::LoadDocument(doc, QByteArray(xml));
    return doc.document_element();
}

// A document loaded either way: from a copy of the bytes, or in place, where the text that
// starts an element is kept in the element itself.
struct TLoaded {
    QByteArray Bytes;
    pugi::xml_document Doc;
    pugi::xml_node Root;
    TLoaded(const char* xml, bool inPlace) : Bytes(xml)
    {
        if (inPlace)
            TCSStanDForFile::LoadDocumentInPlace(Doc, Bytes);
        else
            TCSStanDForFile::LoadDocument(Doc, Bytes);
        Root = Doc.document_element();
    }
};

QString MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

// The number a reading gives, or the message it raises.
template <class F>
QString OutcomeOf(F f)
{
    try {
        return QString::number(f());
    } catch (const Exception& e) {
        return QStringLiteral("raised: ") + e.Message();
    }
}

const QString kMissingMachineKey =
    QStringLiteral("Nepareizs faila formāts!\r\nNav atrasts vai tukšs lauks \"<MachineKey>\"!");

} // namespace

TEST(StanForD2010Xml, LocalNameXPathMatchesAnyPrefixOrNone)
{
    EXPECT_EQ(LocalNameXPath("Machine", true), "*[local-name() = 'Machine']");
    EXPECT_EQ(LocalNameXPath("Machine", false), "Machine");

    pugi::xml_document doc;
    const pugi::xml_node root = Parse(doc,
        "<a:R xmlns:a='urn:a' xmlns:b='urn:b'><b:Machine>1</b:Machine><Machine>2</Machine><a:Machine>3</a:Machine></a:R>");
    const auto nodes = SelectXMLNodes(root, LocalNameXPath("Machine", true));
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_STREQ(nodes[0].text().get(), "1");
    EXPECT_STREQ(nodes[2].text().get(), "3");
    EXPECT_STREQ(SelectChildNode(root, "Machine", true).text().get(), "1");
    // Without local-name matching only the unprefixed element in no namespace is found.
    EXPECT_STREQ(SelectChildNode(root, "Machine", false).text().get(), "2");
    EXPECT_TRUE(SelectXMLNodes(pugi::xml_node(), "*").empty());
    EXPECT_FALSE(SelectXMLNode(pugi::xml_node(), "*"));
}

TEST(StanForD2010Xml, ReadNodeTextTrimsAndRaisesForMissingOrEmptyMandatory)
{
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "copied");
        const TLoaded doc("<R xmlns='urn:x'><Key> \t k1 \n</Key><Empty/><Blank>   </Blank><Mixed>a<b/>c</Mixed>"
                          "<Data><![CDATA[cd]]></Data><Amp>a &amp; b</Amp><Key>second</Key><Lead><b/>c</Lead>"
                          "<Tail>a<![CDATA[cd]]></Tail><Num> 42 </Num><Nul>&#32;</Nul></R>",
                          inPlace);
        const pugi::xml_node root = doc.Root;
        EXPECT_EQ(ReadNodeText(root, "Key", true, true), QStringLiteral("k1"));
        EXPECT_EQ(ReadNodeText(root, "Amp", true, true), QStringLiteral("a & b"));
        EXPECT_EQ(ReadNodeText(root, "Missing", false, true), QString());
        EXPECT_EQ(ReadNodeText(pugi::xml_node(), "Key", false, true), QString());
        // An element with more than one child node, or a CDATA section, holds no text.
        for (const char* name : {"Mixed", "Data", "Lead", "Tail"}) {
            EXPECT_EQ(ReadNodeText(root, name, false, true), QString()) << name;
            EXPECT_EQ(SoleText(SelectChildNode(root, name, true)), nullptr) << name;
        }
        EXPECT_EQ(ElementInt(SelectChildNode(root, "Num", true), "Num"), 42);
        EXPECT_EQ(ReadNodeText(root, "Nul", false, true), QString());
        // Text kept in the element is a child node all the same.
        EXPECT_TRUE(HasChildNodes(SelectChildNode(root, "Key", true)));
        EXPECT_FALSE(HasChildNodes(SelectChildNode(root, "Empty", true)));
        EXPECT_STREQ(SelectChildNode(root, "Tail", true).text().get(), "a");
        EXPECT_STREQ(SelectChildNode(root, "Lead", true).text().get(), "c");

        for (const char* name : {"MachineKey", "Empty", "Blank", "Mixed", "Data", "Nul"}) {
            const QString expected =
                QStringLiteral("Nepareizs faila formāts!\r\nNav atrasts vai tukšs lauks \"<%1>\"!").arg(QLatin1String(name));
            EXPECT_EQ(MessageOf([&] { ReadNodeText(root, name, true, true); }), expected) << name;
            EXPECT_EQ(MessageOf([&] { ElementInt(SelectChildNode(root, name, true), name); }), expected) << name;
        }
        EXPECT_EQ(MessageOf([&] { ReadNodeText(pugi::xml_node(), "MachineKey", true, true); }), kMissingMachineKey);
    }
}

TEST(StanForD2010Xml, ReadNodeBoolAcceptsOnlyTrueAndFalse)
{
    pugi::xml_document doc;
    const pugi::xml_node root = Parse(doc, "<R><A> TRUE </A><B>false</B><C>yes</C></R>");
    EXPECT_TRUE(ReadNodeBool(root, "A", true, true));
    EXPECT_FALSE(ReadNodeBool(root, "B", true, true));
    EXPECT_EQ(MessageOf([&] { ReadNodeBool(root, "C", true, true); }),
              QStringLiteral("Nekorekta boolean lauka \"C\" vērtiba \"yes\"! Jābūt \"true\" vai \"false\"."));
    // A missing optional element is no boolean either.
    EXPECT_EQ(MessageOf([&] { ReadNodeBool(root, "D", false, true); }),
              QStringLiteral("Nekorekta boolean lauka \"D\" vērtiba \"\"! Jābūt \"true\" vai \"false\"."));
}

TEST(StanForD2010Xml, NumbersFromText)
{
    EXPECT_TRUE(IsIntegerText(QStringLiteral("-9223372036854775808")));
    EXPECT_TRUE(IsIntegerText(QStringLiteral("42")));
    EXPECT_FALSE(IsIntegerText(QStringLiteral("9223372036854775808")));
    EXPECT_FALSE(IsIntegerText(QStringLiteral("4.2")));
    EXPECT_FALSE(IsIntegerText(QString()));

    EXPECT_DOUBLE_EQ(StrToFloatAnySep(QStringLiteral("3.08000")), 3.08);
    EXPECT_DOUBLE_EQ(StrToFloatAnySep(QStringLiteral(" 0,0404 ")), 0.0404);
    EXPECT_DOUBLE_EQ(StrToFloatAnySep(QStringLiteral("-12")), -12.0);
    for (const char* bad : {"", "1,000.5", "1.2.3", "abc", "1e"})
        EXPECT_THROW(StrToFloatAnySep(QString::fromLatin1(bad)), EConvertError) << bad;

    // Numbers read from the document's UTF-8 text: the same values and errors as StanForDStrToInt.
    for (const char* text : {"  -17", " 007 ", "+5", "-0", "2147483647", "-2147483648", "2147483648", "12 x", "1.0",
                             "$10", "+-1", "x", "", " ", "\xC4\x81"}) {
        const QString trimmed = StanForDTrim(QString::fromUtf8(text));
        const QString expected = OutcomeOf([&] { return StanForDStrToInt(trimmed); });
        EXPECT_EQ(OutcomeOf([&] { return Utf8TextToInt(text); }), expected) << text;
        if (trimmed.isEmpty())
            EXPECT_FALSE(Utf8ToInt(text).has_value()) << text;
        else
            EXPECT_EQ(OutcomeOf([&] { return *Utf8ToInt(text); }), expected) << text;
    }

    EXPECT_EQ(StanForDStrToInt(QStringLiteral("  -17")), -17);
    EXPECT_EQ(StanForDStrToInt(QStringLiteral("2147483647")), 2147483647);
    for (const char* bad : {"", "2147483648", "12 ", "1.0", "$10", "+-1", "x"})
        EXPECT_THROW(StanForDStrToInt(QString::fromLatin1(bad)), EConvertError) << bad;

    std::optional<int32_t> f = 5;
    TCSStanDForFile::ReadIntToDS(f, QStringLiteral("  "));
    EXPECT_EQ(f, 5); // an empty text leaves the field as it is
    TCSStanDForFile::ReadIntToDS(f, QStringLiteral(" 12"));
    EXPECT_EQ(f, 12);
    std::optional<int16_t> s;
    EXPECT_THROW(TCSStanDForFile::ReadIntToDS(s, QStringLiteral("40000")), Exception);
    TCSStanDForFile::ReadBoolToDS(s, QStringLiteral("True"));
    EXPECT_EQ(s, 1);
    TCSStanDForFile::ReadBoolToDS(s, QStringLiteral("no"));
    EXPECT_EQ(s, 0);

    EXPECT_EQ(TCSStanDForFile::IntFromStr(QString(), QStringLiteral("F")), 0);
    EXPECT_EQ(TCSStanDForFile::IntFromStr(QStringLiteral(" 8 "), QStringLiteral("F")), 8);
    EXPECT_EQ(MessageOf([] { TCSStanDForFile::IntFromStr(QStringLiteral("x1"), QStringLiteral("F")); }),
              QStringLiteral("Nekorekta HPR faila lauka \"F\" vērtība \"x1\"!"));
}

TEST(StanForD2010Xml, ParseDateTimeReadsThePartsByPosition)
{
    // 2017-07-05 is day 42921 after 1899-12-30.
    struct Case {
        const char* text;
        bool dateOnly;
        double expected;
    };
    const Case cases[] = {
        {"2017-07-05T21:48:29.6341857+02:00", false, 42921 + (21 * 3600 + 48 * 60 + 29) / 86400.0},
        {" 2017-07-05T00:00:00Z ", false, 42921},
        {"2017-07-05T21:48:29", true, 42921},
        {"2017-07-05", true, 42921},
        {"1899-12-30T00:00:00", false, 0},
        {"1899-12-29T12:00:00", false, -1.5},
        {"2024-02-29", true, 45351},
        {"0001-01-01", true, -693593},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(TCSStanDForFile::ParseDateTime(QString::fromLatin1(c.text), c.dateOnly), c.expected, 1e-9) << c.text;

    // A date without its time where the time is read, impossible dates and times, non-digits.
    for (const char* bad : {"2017-07-05", "2023-02-29", "2017-13-01", "2017-00-10", "0000-01-01",
                            "2017-07-05T24:00:00", "2017-07-05T23:60:00", "2017-07-05T23:00:6x", "20x7-07-05T00:00:00",
                            "", "2017-7-5T1:2:3"})
        EXPECT_THROW(TCSStanDForFile::ParseDateTime(QString::fromLatin1(bad), false), Exception) << bad;

    // Read from the document's UTF-8 text: the same days and the same errors, characters outside
    // ASCII counted as characters, not bytes.
    std::vector<const char*> texts = {"2017-7-5T1:2:3", "2017-07-05T23:00:6x", "20x7-07-05", "\t2017-07-05 ",
                                      "\xC4\x81017-07-05", "2017-07-\xC4\x81", "2017\xE2\x80\x9407-05T10:00:00", ""};
    for (const Case& c : cases)
        texts.push_back(c.text);
    for (const char* text : texts)
        for (const bool dateOnly : {false, true})
            EXPECT_EQ(OutcomeOf([&] { return TCSStanDForFile::ParseDateTimeUtf8(text, dateOnly); }),
                      OutcomeOf([&] { return TCSStanDForFile::ParseDateTime(QString::fromUtf8(text), dateOnly); }))
                << text << dateOnly;
}

TEST(StanForD2010Xml, CategoriesIgnoreBlanksAndLetterCase)
{
    pugi::xml_document doc;
    const pugi::xml_node root = Parse(doc,
        "<R><M logMeasurementCategory=' Operator '/><M logMeasurementCategory='MACHINE'/>"
        "<M logMeasurementCategory='auditor'/><M logMeasurementCategory='Harvester'/><M/>"
        "<M logMeasurementCategory='MACH\xC4\xB0NE'/><M logMeasurementCategory='machines'/></R>");
    const auto m = SelectXMLNodes(root, "M");
    ASSERT_EQ(m.size(), 7u);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[5]), csLogMeasUnknown);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[6]), csLogMeasUnknown);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[0]), csLogMeasOperator);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[1]), csLogMeasMachine);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[2]), csLogMeasAuditor);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[3]), csLogMeasUnknown);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(m[4]), csLogMeasUnknown);
    EXPECT_EQ(TCSStanDForFile::GetLogMeasurementCategory(pugi::xml_node()), csLogMeasUnknown);

    EXPECT_EQ(TCSStanDForFile::GetProcessingCategory(QStringLiteral(" SingleTreeProcessing")), csHprSingleTreeProcessing);
    EXPECT_EQ(TCSStanDForFile::GetProcessingCategory(QStringLiteral("multitreeprocessing")), csHprMultiTreeProcessing);
    EXPECT_EQ(TCSStanDForFile::GetProcessingCategory(QStringLiteral("SingleTreeFelling")), csHprSingleTreeFelling);
    EXPECT_EQ(TCSStanDForFile::GetProcessingCategory(QStringLiteral("MultiTreeFelling")), csHprMultiTreeFelling);
    EXPECT_EQ(TCSStanDForFile::GetProcessingCategory(QStringLiteral("Single Tree Processing")), csHprProcessingCatUnknown);
}

TEST(StanForD2010Xml, DocumentEncodingFromByteOrderMarkOrDeclaration)
{
    const QString name = QStringLiteral("BĒRZS ā");
    const auto textOf = [](const QByteArray& bytes) {
        pugi::xml_document doc;
        TCSStanDForFile::LoadDocument(doc, bytes);
        return QString::fromUtf8(doc.document_element().text().get());
    };
    const QByteArray utf8 = "<?xml version=\"1.0\"?><N>" + name.toUtf8() + "</N>";
    EXPECT_EQ(textOf(utf8), name);
    EXPECT_EQ(textOf("\xEF\xBB\xBF" + utf8), name);

    QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    EXPECT_EQ(textOf(toUtf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><N>") + name +
                             QStringLiteral("</N>"))),
              name);

    EXPECT_EQ(textOf("<?xml version='1.0' encoding='ISO-8859-1'?><N>caf\xE9</N>"), QStringLiteral("café"));
    // Baltic single-byte text: 0xC7 is "Ē" and 0xE2 is "ā" in windows-1257.
    EXPECT_EQ(textOf("<?xml version=\"1.0\" encoding=\"windows-1257\"?><N>B\xC7RZS \xE2</N>"), name);

    EXPECT_THROW(textOf("<?xml version=\"1.0\" encoding=\"x-no-such\"?><N/>"), Exception);
    EXPECT_THROW(textOf("<N><M></N>"), Exception);
    // A document without any element loads; it has no document element.
    EXPECT_EQ(textOf(""), QString());
    EXPECT_EQ(textOf("<?xml version=\"1.0\"?><!-- nothing -->"), QString());
}
