#include "import/StanForD2010Reader.h"

#include "import/StanForD2010Errors.h"
#include "import/StanForD2010Xml.h"

#include <QStringDecoder>
#include <QTime>

#include "platform/rtl/Exception.h"

#include <limits>

using namespace StanForD2010Errors;

namespace {

// Days from 1899-12-30 to the date; the caller has checked the parts.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// One part of a date-time text by position (1-based, as the layout is described): decimal
// digits only, 0 to 65535.
int DatePart(const QString& s, int from, int len)
{
    const QString p = s.mid(from - 1, len);
    bool ok = !p.isEmpty();
    int v = 0;
    for (const QChar c : p) {
        if (c < u'0' || c > u'9') {
            ok = false;
            break;
        }
        v = v * 10 + (c.unicode() - u'0');
    }
    if (!ok)
        RaiseConvertError(QStringLiteral("'%1' is not a valid integer value").arg(p));
    if (v > 65535)
        RaiseRangeError();
    return v;
}

// The encoding named by the XML declaration, lower-cased; empty when there is none.
QByteArray DeclaredEncoding(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0 || end > 4096)
        return {};
    const QByteArray decl = bytes.left(end);
    qsizetype i = decl.indexOf("encoding");
    if (i < 0)
        return {};
    i += 8;
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n'))
        ++i;
    if (i >= decl.size() || decl[i] != '=')
        return {};
    ++i;
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n'))
        ++i;
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\''))
        return {};
    const char q = decl[i++];
    const qsizetype j = decl.indexOf(q, i);
    if (j < 0)
        return {};
    return decl.mid(i, j - i).trimmed().toLower();
}

} // namespace

TCSStanDForFile::TCSStanDForFile(void* aOwner, TCsStanDForFileType aFileType)
    : FCurFileType(aFileType), Owner(aOwner)
{
    TCSStanDForFile::CreateDataSets();
    FFileInfoRec.Clear();
    FUseNS = true;
    FIsForDWH = false;
}

TCSStanDForFile::~TCSStanDForFile()
{
    TCSStanDForFile::FreeDataSets();
}

void TCSStanDForFile::CreateDataSets()
{
    // The working tables are plain row vectors owned by the reader: creating them is starting
    // them empty.
    TCSStanDForFile::EmptyDataSets();
}

void TCSStanDForFile::EmptyDataSets()
{
    FcdsSugas.clear();
    FcdsSugBarkDeduct.clear();
    FcdsSugGerDistLimit.clear();
    FcdsSugGerDBH.clear();
    FcdsSortList.clear();
    FcdsSortGar.clear();
    FcdsSortMatrica.clear();
    FcdsSortLengthClass.clear();
    FcdsOperat.clear();
}

void TCSStanDForFile::FreeDataSets()
{
    TCSStanDForFile::EmptyDataSets();
}

void TCSStanDForFile::LoadDocument(pugi::xml_document& doc, const QByteArray& bytes)
{
    pugi::xml_encoding enc = pugi::encoding_auto;
    QByteArray converted;
    const QByteArray* src = &bytes;
    const auto b = [&](int i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0x100u; };
    const bool hasBom = (b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) || (b(0) == 0xFE && b(1) == 0xFF) ||
                        (b(0) == 0xFF && b(1) == 0xFE);
    const bool wide = b(0) == 0 || b(1) == 0;
    if (!hasBom && !wide) {
        const QByteArray sEnc = DeclaredEncoding(bytes);
        if (sEnc.isEmpty() || sEnc == "utf-8" || sEnc == "utf8" || sEnc == "us-ascii" || sEnc == "ascii") {
            enc = pugi::encoding_utf8;
        } else if (sEnc == "iso-8859-1" || sEnc == "latin1" || sEnc == "iso_8859-1" || sEnc == "latin-1") {
            enc = pugi::encoding_latin1;
        } else if (sEnc.startsWith("utf-16") || sEnc.startsWith("utf-32")) {
            // A wide encoding declared in single-byte text cannot be right; read it as written.
            enc = pugi::encoding_utf8;
        } else {
            QStringDecoder decoder(sEnc.constData());
            if (!decoder.isValid())
                RaiseXmlError(QStringLiteral("Unsupported encoding \"%1\"").arg(QString::fromLatin1(sEnc)));
            const QString text = decoder.decode(bytes);
            if (decoder.hasError())
                RaiseXmlError(QStringLiteral("Invalid \"%1\" text").arg(QString::fromLatin1(sEnc)));
            converted = text.toUtf8();
            src = &converted;
            enc = pugi::encoding_utf8;
        }
    }
    const pugi::xml_parse_result r =
        doc.load_buffer(src->constData(), static_cast<size_t>(src->size()), pugi::parse_default, enc);
    if (!r && r.status != pugi::status_no_document_element)
        RaiseXmlError(QStringLiteral("%1 (offset %2)").arg(QString::fromUtf8(r.description())).arg(r.offset));
}

void TCSStanDForFile::ReadCommonData(const pugi::xml_node& elRoot, const pugi::xml_node& elMachine,
                                     bool bOnlyHeader, bool bLoadLigums, bool bLoadFullIzstradatajs,
                                     bool bLoadMasina)
{
    if (!elRoot || !elMachine)
        return;
    ReadHeaders(elRoot, elMachine, bLoadLigums, bLoadFullIzstradatajs, bLoadMasina);
    if (!bOnlyHeader)
        ReadDefinitions(elMachine);
}

void TCSStanDForFile::ReadHeaders(const pugi::xml_node& elRoot, const pugi::xml_node& elMachine, bool bLoadLigums,
                                  bool bLoadFullIzstradatajs, bool bLoadMasina)
{
    EmptyDataSets();

    if (FCurFileType == csStDForHPR) {
        auto attr = [&](const char* name) { return QString::fromUtf8(elRoot.attribute(name).value()); };
        FFileInfoRec.Units.WeightUnit = attr("weightUnit");
        FFileInfoRec.Units.DiameterUnit = attr("diameterUnit");
        FFileInfoRec.Units.VolumeUnit = attr("volumeUnit");
        FFileInfoRec.Units.LengthUnit = attr("lengthUnit");
        FFileInfoRec.Units.AreaUnit = attr("areaUnit");
    }

    const char* sHeader = FCurFileType == csStDForHPR   ? "HarvestedProductionHeader"
                          : FCurFileType == csStDForHQC ? "HarvestingQualityControlHeader"
                                                        : "OperationalMonitoringHeader";
    const pugi::xml_node elHeader = SelectChildNode(elRoot, sHeader, FUseNS);
    if (!elHeader)
        RaiseValidation(MissingFieldText(QStringLiteral("CreationDate")));
    FFileInfoRec.FileInfo.sFileDate = ReadNodeText(elHeader, "CreationDate", true, FUseNS);
    FFileInfoRec.FileInfo.dFileDate = ParseDateTime(FFileInfoRec.FileInfo.sFileDate, false);

    if (FCurFileType != csStDForHQC) {
        const pugi::xml_node elObject = SelectChildNode(elMachine, "ObjectDefinition", FUseNS);
        if (!elObject)
            RaiseValidation(MissingFieldText(QStringLiteral("ObjectDefinition")));
        FFileInfoRec.CirsmaInfo.CirsmaID = ReadNodeText(elObject, "ObjectUserID", false, FUseNS);
        FFileInfoRec.CirsmaInfo.CirsmaName = ReadNodeText(elObject, "ObjectName", false, FUseNS);
        if (bLoadLigums)
            FFileInfoRec.CirsmaInfo.Ligums = ReadNodeText(elObject, "RealEstateIDObject", false, FUseNS);

        const pugi::xml_node elContr = SelectChildNode(elMachine, "LoggingContractor", FUseNS);
        if (elContr) {
            TcsStandForContractor& c = FFileInfoRec.LoggingContractor;
            c.Nosauk = ReadNodeText(elContr, "BusinessName", false, FUseNS);
            if (bLoadFullIzstradatajs) {
                c.Kods = ReadNodeText(elContr, "BusinessID", false, FUseNS);
                c.VardsUzvards = ReadNodeText(elContr, "LastName", false, FUseNS);
                c.Addrese = ReadNodeText(SelectChildNode(elContr, "Address", FUseNS), "Street", false, FUseNS);
                c.Epasts = ReadNodeText(elContr, "Email", false, FUseNS);
                c.Tel = ReadNodeText(elContr, "Phone", false, FUseNS);
            }
        }
    }

    TcsStandForDMachine& m = FFileInfoRec.Machine;
    m.RegNr = ReadNodeText(elMachine, "MachineOwnerID", false, FUseNS);
    m.MachineKey = ReadNodeText(elMachine, "MachineKey", true, FUseNS);
    if (bLoadMasina) {
        m.RegId = ReadNodeText(elMachine, "MachineUserID", false, FUseNS);
        m.MachineBaseManufacturer = ReadNodeText(elMachine, "MachineBaseManufacturer", false, FUseNS);
        m.MachineBaseModel = ReadNodeText(elMachine, "MachineBaseModel", false, FUseNS);
        m.MachineHeadManufacturer = ReadNodeText(elMachine, "MachineHeadManufacturer", false, FUseNS);
        m.MachineHeadModel = ReadNodeText(elMachine, "MachineHeadModel", false, FUseNS);
    }
}

void TCSStanDForFile::ReadDefinitions(const pugi::xml_node& elMachine)
{
    ReadSpeciesGroupDefinitions(elMachine);
    if (FCurFileType != csStDForMOM)
        ReadProductDefinitions(elMachine);
    ReadOperatorDefinitions(elMachine);
}

qsizetype TCSStanDForFile::FindSuga(const QString& sKey) const
{
    for (size_t i = 0; i < FcdsSugas.size(); ++i)
        if (FcdsSugas[i].SUGA_KEY == sKey)
            return static_cast<qsizetype>(i);
    return -1;
}

void TCSStanDForFile::ReadSpeciesGroupDefinitions(const pugi::xml_node& node)
{
    for (const pugi::xml_node& elDef : SelectXMLNodes(node, LocalNameXPath("SpeciesGroupDefinition", FUseNS))) {
        const QString sName = ReadNodeText(elDef, "SpeciesGroupName", true, FUseNS);
        const QString sKey = ReadNodeText(elDef, "SpeciesGroupKey", true, FUseNS);
        if (FindSuga(sKey) >= 0)
            continue;
        TSugaRow row;
        row.SUGA_KEY = sKey;
        row.SUGA = sName;
        row.KOKU_SKAITS = 0;
        if (FIsForDWH)
            ReadSpeciesBark(row, elDef);
        FcdsSugas.push_back(std::move(row));
    }
}

void TCSStanDForFile::ReadSpeciesBark(TSugaRow& row, const pugi::xml_node& elDef)
{
}

void TCSStanDForFile::ReadProductDefinitions(const pugi::xml_node& elMachine)
{
}

void TCSStanDForFile::ReadProductDetails(TSortListRow& row, const pugi::xml_node& elDef)
{
}

void TCSStanDForFile::ReadOperatorDefinitions(const pugi::xml_node& elMachine)
{
}

double TCSStanDForFile::ParseDateTime(const QString& sDate, bool bDateOnly)
{
    const QString s = StanForDTrim(sDate);
    const int y = DatePart(s, 1, 4);
    const int mo = DatePart(s, 6, 2);
    const int d = DatePart(s, 9, 2);
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1 ||
        d > kDays[mo - 1] + (mo == 2 && IsLeapYear(y) ? 1 : 0))
        RaiseConvertError(QStringLiteral("Invalid argument to date encode"));
    double result = static_cast<double>(DaysFromCivil(y, mo, d) - DaysFromCivil(1899, 12, 30));
    if (!bDateOnly) {
        const int h = DatePart(s, 12, 2);
        const int mi = DatePart(s, 15, 2);
        const int se = DatePart(s, 18, 2);
        if (h >= 24 || mi >= 60 || se >= 60)
            RaiseConvertError(QStringLiteral("Invalid argument to time encode"));
        // Before 1899-12-30 the day counts down while the time of day still counts up.
        const double time = (h * 3600 + mi * 60 + se) / 86400.0;
        result = result < 0 ? result - time : result + time;
    }
    return result;
}

TCsHrvLogMeasCateg TCSStanDForFile::GetLogMeasurementCategory(const pugi::xml_node& elNode)
{
    if (!elNode)
        return csLogMeasUnknown;
    const pugi::xml_attribute a = elNode.attribute("logMeasurementCategory");
    if (!a)
        return csLogMeasUnknown;
    const QString s = StanForDTrim(QString::fromUtf8(a.value())).toLower();
    if (s == QLatin1String("machine"))
        return csLogMeasMachine;
    if (s == QLatin1String("operator"))
        return csLogMeasOperator;
    if (s == QLatin1String("auditor"))
        return csLogMeasAuditor;
    return csLogMeasUnknown;
}

TCSHprProcessingCat TCSStanDForFile::GetProcessingCategory(const QString& sValue)
{
    const QString s = StanForDTrim(sValue).toLower();
    if (s == QLatin1String("singletreeprocessing"))
        return csHprSingleTreeProcessing;
    if (s == QLatin1String("multitreeprocessing"))
        return csHprMultiTreeProcessing;
    if (s == QLatin1String("singletreefelling"))
        return csHprSingleTreeFelling;
    if (s == QLatin1String("multitreefelling"))
        return csHprMultiTreeFelling;
    return csHprProcessingCatUnknown;
}

void TCSStanDForFile::ReadIntToDS(std::optional<int32_t>& aField, const QString& sValue)
{
    if (!StanForDTrim(sValue).isEmpty())
        aField = StanForDStrToInt(sValue);
}

void TCSStanDForFile::ReadIntToDS(std::optional<int16_t>& aField, const QString& sValue)
{
    if (StanForDTrim(sValue).isEmpty())
        return;
    const int32_t v = StanForDStrToInt(sValue);
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        RaiseRangeError();
    aField = static_cast<int16_t>(v);
}

void TCSStanDForFile::ReadFloatToDS(std::optional<double>& aField, const QString& sValue)
{
    if (!StanForDTrim(sValue).isEmpty())
        aField = StrToFloatAnySep(sValue);
}

void TCSStanDForFile::ReadBoolToDS(std::optional<int16_t>& aField, const QString& sValue)
{
    const QString s = StanForDTrim(sValue);
    if (!s.isEmpty())
        aField = s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
}

void TCSStanDForFile::ReadXMLIntToDS(std::optional<int32_t>& aField, const pugi::xml_node& iParent,
                                     const std::string& sNodeName, bool isMandatory, bool bUseNamespace)
{
    const pugi::xml_node el = SelectChildNode(iParent, sNodeName, bUseNamespace);
    if (!el) {
        if (isMandatory)
            RaiseValidation(QStringLiteral("Netika atrasts elements \"%1\"!").arg(QString::fromStdString(sNodeName)));
        return;
    }
    ReadIntToDS(aField, QString::fromUtf8(el.text().get()));
}

void TCSStanDForFile::ReadXMLAtribIntToDS(std::optional<int32_t>& aField, const pugi::xml_node& iNode,
                                          const char* sAtribName, bool isMandatory)
{
    const pugi::xml_attribute a = iNode.attribute(sAtribName);
    if (!a) {
        if (isMandatory)
            RaiseValidation(QStringLiteral("Elemenatam \"%1\" netika atrasts obligāts atribūts \"%2\"!")
                                .arg(QString::fromUtf8(iNode.name()), QString::fromUtf8(sAtribName)));
        return;
    }
    ReadIntToDS(aField, StanForDTrim(QString::fromUtf8(a.value())));
}

int32_t TCSStanDForFile::IntFromStr(const QString& sInt, const QString& sFieldName)
{
    if (sInt.isEmpty())
        return 0;
    try {
        return StanForDStrToInt(StanForDTrim(sInt));
    } catch (const Exception&) {
        RaiseValidation(QStringLiteral("Nekorekta HPR faila lauka \"%1\" vērtība \"%2\"!").arg(sFieldName, sInt));
    }
}

void TCSStanDForFile::AddLogMsg(const QString& sMsg)
{
    FParsingLog.append(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + u'\t' + sMsg);
}
