#include "import/StanForD2010Reader.h"

#include "import/StanForD2010Errors.h"
#include "import/StanForD2010Xml.h"

#include <QStringDecoder>
#include <QTime>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"

#include <algorithm>
#include <limits>
#include <string_view>

using namespace StanForD2010Errors;

namespace {

// The characters of a date-time text, as UTF-16 text or as ASCII bytes.
char16_t CharAt(QStringView s, qsizetype i)
{
    return s[i].unicode();
}

char16_t CharAt(std::string_view s, qsizetype i)
{
    return static_cast<unsigned char>(s[static_cast<size_t>(i)]);
}

QString TextOf(QStringView s, qsizetype from, qsizetype n)
{
    return s.sliced(from, n).toString();
}

QString TextOf(std::string_view s, qsizetype from, qsizetype n)
{
    return QString::fromLatin1(s.data() + from, n);
}

// One part of a date-time text by position (1-based, as the layout is described): decimal
// digits only, 0 to 65535.
template <class View>
int DatePart(View s, int from, int len)
{
    const qsizetype size = qsizetype(s.size());
    const qsizetype b = std::min<qsizetype>(from - 1, size);
    const qsizetype e = std::min<qsizetype>(b + len, size);
    bool ok = b < e;
    int v = 0;
    for (qsizetype i = b; ok && i < e; ++i) {
        const char16_t c = CharAt(s, i);
        if (c < u'0' || c > u'9')
            ok = false;
        else
            v = v * 10 + (c - u'0');
    }
    if (!ok)
        RaiseConvertError(QStringLiteral("'%1' is not a valid integer value").arg(TextOf(s, b, e - b)));
    if (v > 65535)
        RaiseRangeError();
    return v;
}

// ParseDateTime of trimmed text.
template <class View>
double DateTimeOf(View s, bool bDateOnly)
{
    const int y = DatePart(s, 1, 4);
    const int mo = DatePart(s, 6, 2);
    const int d = DatePart(s, 9, 2);
    if (!DateTime::IsValidDate(y, mo, d))
        RaiseConvertError(QStringLiteral("Invalid argument to date encode"));
    double result = static_cast<double>(DateTime::DaysOf(y, mo, d));
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

// Whether the ASCII text is the lower-case word in any letter case.
bool IsWordAnyCase(std::string_view text, std::string_view word)
{
    if (text.size() != word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != word[i])
            return false;
    }
    return true;
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
    FSugaIndex.clear();
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
    QByteArray copy = bytes; // shares the bytes; parsing in place would write into them
    ParseDocument(doc, copy, false);
}

void TCSStanDForFile::LoadDocumentInPlace(pugi::xml_document& doc, QByteArray& bytes)
{
    ParseDocument(doc, bytes, true);
}

void TCSStanDForFile::ParseDocument(pugi::xml_document& doc, QByteArray& bytes, bool inPlace)
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
    // A converted text is local: the document gets its own copy of it. Loaded in place, an
    // element's text is kept in the element instead of in a text node of its own: most elements
    // of a large file hold one number, and a node each would make the document a third larger.
    const pugi::xml_parse_result r = inPlace && src == &bytes
        ? doc.load_buffer_inplace(bytes.data(), static_cast<size_t>(bytes.size()),
                                  pugi::parse_default | pugi::parse_embed_pcdata, enc)
        : doc.load_buffer(src->constData(), static_cast<size_t>(src->size()), pugi::parse_default, enc);
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
    return FSugaIndex.value(sKey, -1);
}

void TCSStanDForFile::ReadSpeciesGroupDefinitions(const pugi::xml_node& node)
{
    for (const pugi::xml_node& elDef : TNamedChildren(node, "SpeciesGroupDefinition", FUseNS)) {
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
        FSugaIndex.insert(row.SUGA_KEY, static_cast<qsizetype>(FcdsSugas.size()));
        FcdsSugas.push_back(std::move(row));
    }
}

void TCSStanDForFile::ReadSpeciesBark(TSugaRow& row, const pugi::xml_node& elDef)
{
    std::optional<int32_t> dbhHeight;
    ReadXMLIntToDS(dbhHeight, elDef, "DBHHeight", true, FUseNS);
    row.DBHHEIGHT = dbhHeight;

    const pugi::xml_node elBark = SelectChildNode(elDef, "BarkFunction", FUseNS);
    const auto missing = [&](const char* sElement) {
        RaiseValidation(QStringLiteral("Sugai \"%1\" nav elements \"%2\"!").arg(row.SUGA, QLatin1String(sElement)));
    };
    if (!elBark)
        missing("BarkFunction");
    const pugi::xml_attribute aCat = elBark.attribute("barkFunctionCategory");
    if (!aCat)
        RaiseValidation(QStringLiteral("Elemenatam \"%1\" netika atrasts obligāts atribūts \"%2\"!")
                            .arg(QStringLiteral("BarkFunction"), QStringLiteral("barkFunctionCategory")));
    const QString sCat = QString::fromUtf8(aCat.value());
    row.BARKFUNCTION = sCat.left(250);

    const auto is = [&](const char* name) { return sCat.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("Swedish Zacco")) {
        const pugi::xml_node el = SelectChildNode(elBark, "SwedishZacco", FUseNS);
        if (!el)
            missing("SwedishZacco");
        ReadFloatToDS(row.SWEACCOCONSTANT, ReadNodeText(el, "ConstantA", false, FUseNS));
        ReadFloatToDS(row.SWEACCOFACTORB, ReadNodeText(el, "FactorB", false, FUseNS));
    } else if (is("Skogforsk 2004, Scots pine")) {
        const pugi::xml_node el = SelectChildNode(elBark, "Skogforsk2004ScotsPine", FUseNS);
        if (!el)
            missing("Skogforsk2004ScotsPine");
        ReadFloatToDS(row.LATITUDE, ReadNodeText(el, "Latitude", false, FUseNS));
    } else if (is("German") || is("German Distance Based")) {
        const bool distance = is("German Distance Based");
        const char* sElement = distance ? "GermanDistanceBased" : "German";
        const pugi::xml_node el = SelectChildNode(elBark, sElement, FUseNS);
        if (!el)
            missing(sElement);
        for (const pugi::xml_node& elDed : SelectXMLNodes(el, LocalNameXPath("BarkDeduction", FUseNS))) {
            TSugBarkDeductRow ded;
            ded.SUGA_KEY = row.SUGA_KEY;
            const auto attrInt = [&](std::optional<int32_t>& f, const char* name) {
                ReadIntToDS(f, StanForDTrim(QString::fromUtf8(elDed.attribute(name).value())));
            };
            attrInt(ded.DISTANCECLLOWLIM, "distanceClassLowerLimit");
            attrInt(ded.DBHCLLOWLIM, "dBHClassLowerLimit");
            attrInt(ded.LOWERDIAMLIM, "lowerDiameterLimit");
            ReadFloatToDS(ded.BARKDEDUCTION, QString::fromUtf8(elDed.text().get()));
            if (ded.DISTANCECLLOWLIM || ded.DBHCLLOWLIM || ded.LOWERDIAMLIM)
                FcdsSugBarkDeduct.push_back(std::move(ded));
        }
        if (distance) {
            for (const pugi::xml_node& elLim : SelectXMLNodes(el, LocalNameXPath("DistanceClassLowerLimit", FUseNS))) {
                TSugGerDistLimitRow lim;
                lim.SUGA_KEY = row.SUGA_KEY;
                ReadIntToDS(lim.DISTANCECLLOWLIM, QString::fromUtf8(elLim.text().get()));
                FcdsSugGerDistLimit.push_back(std::move(lim));
            }
            for (const pugi::xml_node& elLim : SelectXMLNodes(el, LocalNameXPath("DBHClassLowerLimit", FUseNS))) {
                TSugGerDBHRow lim;
                lim.SUGA_KEY = row.SUGA_KEY;
                ReadIntToDS(lim.DBHCLLOWLIM, QString::fromUtf8(elLim.text().get()));
                FcdsSugGerDBH.push_back(std::move(lim));
            }
        }
    }
}

void TCSStanDForFile::ReadProductDefinitions(const pugi::xml_node& elMachine)
{
    for (const pugi::xml_node& elDef : SelectXMLNodes(elMachine, LocalNameXPath("ProductDefinition", FUseNS))) {
        TSortListRow row;
        row.SORT_KEY = ReadNodeText(elDef, "ProductKey", true, FUseNS).left(50);
        pugi::xml_node elProd = SelectChildNode(elDef, "ClassifiedProductDefinition", FUseNS);
        const bool classified = elProd;
        if (!classified)
            elProd = SelectChildNode(elDef, "UnclassifiedProductDefinition", FUseNS);
        if (!elProd)
            RaiseValidation(QStringLiteral("Sortimentam nav neviens no ClassifiedProductDefinition vai "
                                           "UnclassifiedProductDefinition elementiem!"));
        row.UNCLASSIFIED = classified ? 0 : 1;
        row.SORTIMENTS = ReadNodeText(elProd, "ProductName", true, FUseNS).left(50);
        row.PRODUCTINFO = ReadNodeText(elProd, "ProductInfo", false, FUseNS).left(50);
        if (classified) {
            if (FIsForDWH)
                ReadProductDetails(row, elProd);
            // The length classes' lower limits that are whole numbers.
            const pugi::xml_node elLen = SelectChildNode(elProd, "LengthDefinition", FUseNS);
            for (const pugi::xml_node& elClass : SelectXMLNodes(elLen, LocalNameXPath("LengthClass", FUseNS))) {
                const QString sLimit = ReadNodeText(elClass, "LengthClassLowerLimit", false, FUseNS);
                if (!IsIntegerText(sLimit))
                    continue;
                const qlonglong v = sLimit.toLongLong();
                if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
                    RaiseRangeError();
                TSortGarRow gar;
                gar.SORT_KEY = row.SORT_KEY;
                gar.LOWER_LIMIT = static_cast<int32_t>(v);
                FcdsSortGar.push_back(std::move(gar));
            }
        }
        FcdsSortList.push_back(std::move(row));
    }
}

void TCSStanDForFile::ReadProductDetails(TSortListRow& row, const pugi::xml_node& elProd)
{
    const auto part = [&](const char* sName) {
        const pugi::xml_node el = SelectChildNode(elProd, sName, FUseNS);
        if (!el)
            RaiseValidation(QStringLiteral("Sortimentam \"%1\" nav elements \"%2\"!").arg(row.SORTIMENTS, QLatin1String(sName)));
        return el;
    };
    // Diameter, length and price definitions make a classified product; the rest is read when
    // written (files of earlier versions of the message leave it out).
    const pugi::xml_node elDistr = SelectChildNode(elProd, "LengthDistributionDefinition", FUseNS);
    ReadBoolToDS(row.DISTR_ALLOWED, ReadNodeText(elDistr, "DistributionAllowed", false, FUseNS));
    row.DISTR_CAT = ReadNodeText(elDistr, "DistributionCategory", false, FUseNS).left(250);
    ReadFloatToDS(row.DISTR_MAXDEV, ReadNodeText(elDistr, "MAXDeviation", false, FUseNS));
    ReadBoolToDS(row.DISTR_WITHINPROD, ReadNodeText(elDistr, "DistributionWithinProduct", false, FUseNS));

    const pugi::xml_node elDiam = part("DiameterDefinition");
    const pugi::xml_node elClasses = SelectChildNode(elDiam, "DiameterClasses", FUseNS);
    ReadIntToDS(row.DIAM_MCLASS, ReadNodeText(elClasses, "DiameterClassMAX", false, FUseNS));
    ReadBoolToDS(row.DIAM_UBARK, ReadNodeText(elClasses, "DiameterUnderBark", false, FUseNS));
    ReadIntToDS(row.DIAM_MBUTT, ReadNodeText(elDiam, "DiameterMAXButt", false, FUseNS));
    ReadIntToDS(row.DIAM_MTOP, ReadNodeText(elDiam, "DiameterMINTop", false, FUseNS));
    ReadIntToDS(row.VOL_DIAMPOS, ReadNodeText(elDiam, "DiameterTopPosition", false, FUseNS));

    const pugi::xml_node elLen = part("LengthDefinition");
    ReadIntToDS(row.LENGTHCLASSMAX, ReadNodeText(elLen, "LengthClassMAX", false, FUseNS));
    for (const pugi::xml_node& elClass : SelectXMLNodes(elLen, LocalNameXPath("LengthClass", FUseNS))) {
        TSortLengthClassRow cls;
        cls.SORT_KEY = row.SORT_KEY;
        ReadIntToDS(cls.LENGTH_LOWER_LIMIT, ReadNodeText(elClass, "LengthClassLowerLimit", false, FUseNS));
        ReadIntToDS(cls.LENGTHCLASSMARGIN, ReadNodeText(elClass, "LengthClassMargin", false, FUseNS));
        FcdsSortLengthClass.push_back(std::move(cls));
    }

    const pugi::xml_node elPrice = part("PriceDefinition");
    row.VOL_DIAMCAT = ReadNodeText(elPrice, "VolumeDiameterCategory", false, FUseNS).left(250);
    row.VOL_LENCAT = ReadNodeText(elPrice, "VolumeLengthCategory", false, FUseNS).left(250);
    ReadBoolToDS(row.VOLUMEUNDERBARK, ReadNodeText(elPrice, "VolumeUnderBark", false, FUseNS));

    const pugi::xml_node elCut = SelectChildNode(elProd, "CuttingWindowDefinition", FUseNS);
    ReadIntToDS(row.CUT_DOWN, ReadNodeText(elCut, "LowerLengthLimit", false, FUseNS));
    ReadIntToDS(row.CUT_UP, ReadNodeText(elCut, "UpperLengthLimit", false, FUseNS));

    ReadBoolToDS(row.MANUALFREEBUCK, ReadNodeText(elProd, "ManualFreeBuck", false, FUseNS));
    ReadBoolToDS(row.TOPLOGFREEBUCK, ReadNodeText(elProd, "TopLogFreeBuck", false, FUseNS));
    row.PRODUCTID = ReadNodeText(elProd, "ProductUserID", false, FUseNS).left(250);
    row.SPECIESGROUPKEY = ReadNodeText(elProd, "SpeciesGroupKey", false, FUseNS).left(50);

    const pugi::xml_node elMatrixes = SelectChildNode(elProd, "ProductMatrixes", FUseNS);
    for (const pugi::xml_node& elItem : SelectXMLNodes(elMatrixes, LocalNameXPath("ProductMatrixItem", FUseNS))) {
        TSortMatricaRow m;
        m.SORT_KEY = row.SORT_KEY;
        ReadXMLAtribIntToDS(m.DIAM_LOWER_LIMIT, elItem, "diameterClassLowerLimit", true);
        ReadXMLAtribIntToDS(m.LENGTH_LOWER_LIMIT, elItem, "lengthClassLowerLimit", true);
        ReadXMLIntToDS(m.PRICE, elItem, "Price", true, FUseNS);
        ReadXMLIntToDS(m.DISTRIBUTION, elItem, "Distribution", true, FUseNS);
        m.SPECIESGROUPKEY = row.SPECIESGROUPKEY;
        FcdsSortMatrica.push_back(std::move(m));
    }
}

void TCSStanDForFile::ReadOperatorDefinitions(const pugi::xml_node& elMachine)
{
    for (const pugi::xml_node& elDef : SelectXMLNodes(elMachine, LocalNameXPath("OperatorDefinition", FUseNS))) {
        TOperatRow row;
        row.OPERATORKEY = ReadNodeText(elDef, "OperatorKey", true, FUseNS).left(50);
        row.OPERATORUSERID = ReadNodeText(elDef, "OperatorUserID", false, FUseNS).left(50);
        const pugi::xml_node elContact = SelectChildNode(elDef, "ContactInformation", FUseNS);
        row.FIRSTNAME = ReadNodeText(elContact, "FirstName", false, FUseNS).left(100);
        row.LASTNAME = ReadNodeText(elContact, "LastName", false, FUseNS).left(100);
        FcdsOperat.push_back(std::move(row));
    }
}

double TCSStanDForFile::ParseDateTime(const QString& sDate, bool bDateOnly)
{
    const QString s = StanForDTrim(sDate);
    return DateTimeOf(QStringView(s), bDateOnly);
}

double TCSStanDForFile::ParseDateTimeUtf8(const char* sDate, bool bDateOnly)
{
    const std::string_view s = TrimmedUtf8(sDate);
    // Positions count characters: in ASCII text, bytes.
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return DateTimeOf(s, bDateOnly);
    return ParseDateTime(QString::fromUtf8(s.data(), qsizetype(s.size())), bDateOnly);
}

TCsHrvLogMeasCateg TCSStanDForFile::GetLogMeasurementCategory(const pugi::xml_node& elNode)
{
    if (!elNode)
        return csLogMeasUnknown;
    const pugi::xml_attribute a = elNode.attribute("logMeasurementCategory");
    if (!a)
        return csLogMeasUnknown;
    return LogMeasurementCategoryOf(a.value());
}

TCsHrvLogMeasCateg TCSStanDForFile::LogMeasurementCategoryOf(std::string_view sValue)
{
    // Compared byte by byte: no character outside ASCII lower-cases to a letter of these words.
    const std::string_view s = TrimmedUtf8(sValue);
    if (IsWordAnyCase(s, "machine"))
        return csLogMeasMachine;
    if (IsWordAnyCase(s, "operator"))
        return csLogMeasOperator;
    if (IsWordAnyCase(s, "auditor"))
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
