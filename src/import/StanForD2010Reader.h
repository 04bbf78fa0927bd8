#pragma once

// What every StanForD 2010 reader shares: the message header and the machine, the species
// group definitions, the working tables of species, products and operators, and the readers of
// numbers, flags and dates that put element and attribute values into fields.

#include "import/CsConst.h"
#include "import/StanForD2010Records.h"
#include "import/StanForD2010WorkRows.h"

#include <pugixml.hpp>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TCSStanDForFile {
public:
    TCSStanDForFile(void* aOwner, TCsStanDForFileType aFileType);
    virtual ~TCSStanDForFile();
    TCSStanDForFile(const TCSStanDForFile&) = delete;
    TCSStanDForFile& operator=(const TCSStanDForFile&) = delete;

    // Reads the header and the machine (and, unless bOnlyHeader, the definitions under the
    // machine). Does nothing unless both elements are given.
    void ReadCommonData(const pugi::xml_node& elRoot, const pugi::xml_node& elMachine, bool bOnlyHeader,
                        bool bLoadLigums, bool bLoadFullIzstradatajs, bool bLoadMasina);
    // Appends the species groups defined under the node; a key already known is skipped.
    void ReadSpeciesGroupDefinitions(const pugi::xml_node& node);

    // "YYYY-MM-DDThh:mm:ss" read by position; fractions and time zone are not looked at.
    static double ParseDateTime(const QString& sDate, bool bDateOnly);
    // The same for the document's UTF-8 text, read where it lies.
    static double ParseDateTimeUtf8(const char* sDate, bool bDateOnly);
    static TCsHrvLogMeasCateg GetLogMeasurementCategory(const pugi::xml_node& elNode);
    // The same for the text of the element's "logMeasurementCategory" attribute.
    static TCsHrvLogMeasCateg LogMeasurementCategoryOf(std::string_view sValue);
    static TCSHprProcessingCat GetProcessingCategory(const QString& sValue);

    // A non-empty text goes into the field; an empty one leaves it as it is.
    static void ReadIntToDS(std::optional<int32_t>& aField, const QString& sValue);
    static void ReadIntToDS(std::optional<int16_t>& aField, const QString& sValue);
    static void ReadFloatToDS(std::optional<double>& aField, const QString& sValue);
    static void ReadBoolToDS(std::optional<int16_t>& aField, const QString& sValue);
    void ReadXMLIntToDS(std::optional<int32_t>& aField, const pugi::xml_node& iParent, const std::string& sNodeName,
                        bool isMandatory, bool bUseNamespace);
    void ReadXMLAtribIntToDS(std::optional<int32_t>& aField, const pugi::xml_node& iNode, const char* sAtribName,
                             bool isMandatory);
    static int32_t IntFromStr(const QString& sInt, const QString& sFieldName);
    void AddLogMsg(const QString& sMsg);

    // Parses the bytes of a file: a byte-order mark and the encoding the declaration names are
    // honoured. A document that is not well-formed raises; one without a document element
    // loads and has no document element.
    static void LoadDocument(pugi::xml_document& doc, const QByteArray& bytes);
    // The same, parsing the bytes where they lie instead of in a copy of them when no encoding
    // has to be converted: the bytes must then outlive the document. The text that starts an
    // element is kept in the element (parse_embed_pcdata), not in a node of its own: read texts
    // with text(), SoleText or ReadNodeText, not by walking child nodes or through XPath.
    static void LoadDocumentInPlace(pugi::xml_document& doc, QByteArray& bytes);

private:
    static void ParseDocument(pugi::xml_document& doc, QByteArray& bytes, bool inPlace);

public:

    const TcsStanFordRec& FileInfoRec() const { return FFileInfoRec; }
    const std::vector<TSugaRow>& cdsSugas() const { return FcdsSugas; }
    const std::vector<TSugBarkDeductRow>& cdsSugBarkDeduct() const { return FcdsSugBarkDeduct; }
    const std::vector<TSugGerDistLimitRow>& cdsSugGerDistLimit() const { return FcdsSugGerDistLimit; }
    const std::vector<TSugGerDBHRow>& cdsSugGerDBH() const { return FcdsSugGerDBH; }
    const std::vector<TSortListRow>& cdsSortList() const { return FcdsSortList; }
    const std::vector<TSortGarRow>& cdsSortGar() const { return FcdsSortGar; }
    const std::vector<TSortMatricaRow>& cdsSortMatrica() const { return FcdsSortMatrica; }
    const std::vector<TSortLengthClassRow>& cdsSortLengthClass() const { return FcdsSortLengthClass; }
    const std::vector<TOperatRow>& cdsOperat() const { return FcdsOperat; }
    const QStringList& ParsingLog() const { return FParsingLog; }
    bool UseNS() const { return FUseNS; }
    void SetUseNS(bool v) { FUseNS = v; }
    bool IsForDWH() const { return FIsForDWH; }
    void SetIsForDWH(bool v) { FIsForDWH = v; }

protected:
    virtual void CreateDataSets();
    virtual void EmptyDataSets();
    virtual void FreeDataSets();

    void ReadHeaders(const pugi::xml_node& elRoot, const pugi::xml_node& elMachine, bool bLoadLigums,
                     bool bLoadFullIzstradatajs, bool bLoadMasina);
    void ReadDefinitions(const pugi::xml_node& elMachine);
    void ReadSpeciesBark(TSugaRow& row, const pugi::xml_node& elDef);
    void ReadProductDefinitions(const pugi::xml_node& elMachine);
    void ReadProductDetails(TSortListRow& row, const pugi::xml_node& elDef);
    void ReadOperatorDefinitions(const pugi::xml_node& elMachine);
    // Index of the species row with that key (exact), or -1.
    qsizetype FindSuga(const QString& sKey) const;

    TCsStanDForFileType FCurFileType;
    bool FIsForDWH = false;
    void* Owner = nullptr;
    QStringList FParsingLog;
    QStringList FDWHLog;
    bool FUseNS = true;
    std::vector<TSugaRow> FcdsSugas;
    std::vector<TSugBarkDeductRow> FcdsSugBarkDeduct;
    std::vector<TSugGerDistLimitRow> FcdsSugGerDistLimit;
    std::vector<TSugGerDBHRow> FcdsSugGerDBH;
    std::vector<TSortListRow> FcdsSortList;
    std::vector<TSortGarRow> FcdsSortGar;
    std::vector<TSortMatricaRow> FcdsSortMatrica;
    std::vector<TSortLengthClassRow> FcdsSortLengthClass;
    std::vector<TOperatRow> FcdsOperat;
    TcsStanFordRec FFileInfoRec;
    // Row of each key in FcdsSugas: every stem looks its species up.
    QHash<QString, qsizetype> FSugaIndex;
};
