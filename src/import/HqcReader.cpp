#include "import/HqcReader.h"

#include "import/AnalysisCodes.h"
#include "import/StanForD2010Errors.h"
#include "import/StanForD2010Xml.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <limits>

using namespace StanForD2010Errors;

namespace {

const QString kAverage = QStringLiteral("Average");

QString Cut(const QString& s, int width)
{
    return s.size() > width ? s.left(width) : s;
}

// A number of the file into a field; an empty text leaves the field as it is.
void ReadUtf8IntToDS(std::optional<int32_t>& field, const char* text)
{
    if (const std::optional<int32_t> v = Utf8ToInt(text))
        field = v;
}

// The category of a control diameter, trimmed and cut to its field's width. Files repeat the
// same two or three categories on every diameter: those share one string each.
QString DiameterCategory(const char* text)
{
    static const QString kFirst = QStringLiteral("First");
    const std::string_view v = TrimmedUtf8(text);
    if (v == "Average")
        return kAverage;
    if (v == "First")
        return kFirst;
    return Cut(QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size())), 20);
}

// The children of one element sorted out by name in one pass: the first child of each name
// asked for, and the elements that repeat. Searching the children once for every name would look
// at most of them several times.
template <size_t N>
struct TFirstChildren {
    std::array<pugi::xml_node, N> Found;

    TFirstChildren(const pugi::xml_node& parent, const std::array<std::string_view, N>& names, bool useNS)
    {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element)
                continue;
            const char* name = MatchedName(c, useNS);
            for (size_t i = 0; i < N; ++i)
                if (name[0] == names[i][0] && NameIs(name, names[i])) {
                    if (!Found[i])
                        Found[i] = c;
                    break;
                }
        }
    }
};

} // namespace

TCSStanDForFileHQC::TCSStanDForFileHQC(void* aOwner) : TCSStanDForFile(aOwner, csStDForHQC)
{
    FcdsMerMachine.Clear();
    FcdsMerOperat.Clear();
    FUseSugaByName = false;
}

TCSStanDForFileHQC::~TCSStanDForFileHQC()
{
    TCSStanDForFileHQC::FreeDataSets();
}

void TCSStanDForFileHQC::CreateDataSets()
{
    TCSStanDForFile::CreateDataSets();
    FcdsMerMachine.Clear();
    FcdsMerOperat.Clear();
}

void TCSStanDForFileHQC::EmptyDataSets()
{
    TCSStanDForFile::EmptyDataSets();
    FcdsMerMachine.Clear();
    FcdsMerOperat.Clear();
    FSugasScanned = 0;
    FHasPriedeOrEgle = false;
}

void TCSStanDForFileHQC::FreeDataSets()
{
    FcdsMerMachine.Clear();
    FcdsMerOperat.Clear();
    TCSStanDForFile::FreeDataSets();
}

void TCSStanDForFileHQC::AssignDataSets(std::vector<TTreeRow>* dsKoki, std::vector<TLogRow>* dsBalki,
                                        TLargeTable<TMeasRow>* dsMerijumi, std::vector<TCirsmaRow>* dsCirsmas)
{
    FcdsKoki = dsKoki;
    FcdsBalki = dsBalki;
    FcdsMerijumi = dsMerijumi;
    FcdsCirsmas = dsCirsmas;
}

void TCSStanDForFileHQC::ImportDocument(QByteArray bytes, const QString& sFileName, TAnalysisModel& model)
{
    pugi::xml_document doc;
    TCSStanDForFileHQC reader(nullptr);
    reader.SetUseNS(true);
    reader.AssignDataSets(&model.Trees, &model.Logs, &model.Meas, &model.Cirsmas);

    // Parsed where the bytes lie: a file handed over (moved) is not copied once more.
    LoadDocumentInPlace(doc, bytes);
    const pugi::xml_node elRoot = doc.document_element();
    if (!elRoot)
        RaiseUserError(QStringLiteral("HQC fails ir nekorekts: nav saknes elementa!"));
    const pugi::xml_node elMachine = SelectChildNode(elRoot, "Machine", true);
    if (!elMachine)
        RaiseUserError(MissingFieldText(QStringLiteral("Machine")));

    reader.ReadCommonData(elRoot, elMachine, true, false, false, true);

    THeaderRow& h = model.Header;
    h.FILE_NAME = Cut(sFileName, AnalysisWidth::FILE_NAME);
    h.HAS_EMPTY_DATE = 0;
    h.DIENU_SKAITS = 0;
    h.IR_PARRAVUMI = 0;
    h.HRV_NUMURS = Cut(reader.FFileInfoRec.Machine.RegNr, AnalysisWidth::HRV_NUMURS);
    h.HRV_VIN = Cut(reader.FFileInfoRec.Machine.RegId, AnalysisWidth::HRV_VIN);
    h.DATUMS_PARB = std::trunc(reader.FFileInfoRec.FileInfo.dFileDate);

    reader.ParseControlValues(elMachine);
}

void TCSStanDForFileHQC::ParseControlValues(const pugi::xml_node& iMachineNode)
{
    ReadSpeciesGroupDefinitions(iMachineNode);
    const TNamedChildren controlValues(iMachineNode, "ControlValues", FUseNS);
    if (controlValues.begin() == controlValues.end())
        RaiseUserError(MissingFieldText(QStringLiteral("ControlValues")));
    ReserveForStems(iMachineNode);
    for (const pugi::xml_node& el : controlValues)
        ReadControlValues(el);
}

void TCSStanDForFileHQC::ReserveForStems(const pugi::xml_node& iMachineNode)
{
    // Counted once over the document: tables grown step by step are copied as they grow and, on
    // a large file, held twice at the worst moment. Room never written costs no memory, so the
    // count need only be enough: every child of a processed stem counts as a log and every
    // grandchild of a log as a diameter of its measurement's category, without looking at their
    // names.
    size_t stems = 0, logs = 0, machine = 0, operat = 0;
    const auto elements = [](const pugi::xml_node& parent, auto&& each) {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element)
                each(c);
    };
    for (const pugi::xml_node& el : TNamedChildren(iMachineNode, "ControlValues", FUseNS))
        for (const pugi::xml_node& elStem : TNamedChildren(el, "Stem", FUseNS)) {
            ++stems;
            elements(elStem, [&](const pugi::xml_node& elPart) {
                if (!NameIs(MatchedName(elPart, FUseNS), "SingleTreeProcessedStem"))
                    return;
                elements(elPart, [&](const pugi::xml_node& elLog) {
                    ++logs;
                    elements(elLog, [&](const pugi::xml_node& elMeas) {
                        const TCsHrvLogMeasCateg cat = GetLogMeasurementCategory(elMeas);
                        size_t* count = cat == csLogMeasMachine    ? &machine
                            : cat == csLogMeasOperator             ? &operat
                                                                   : nullptr;
                        if (count)
                            elements(elMeas, [&](const pugi::xml_node&) { ++*count; });
                    });
                });
            });
        }
    FcdsKoki->reserve(FcdsKoki->size() + stems);
    FcdsBalki->reserve(FcdsBalki->size() + logs);
    // A measurement row for each harvester diameter at most, and the analysis adds a butt and a
    // top row to every log.
    FcdsMerijumi->reserve(FcdsMerijumi->size() + machine + 2 * logs);
    // Each table only the room of its own category: room for every diameter in both held the
    // unused half of each, and a heap that much larger is trimmed and faulted in again on the
    // next load.
    FcdsMerMachine.Reserve(FcdsMerMachine.Count() + machine);
    FcdsMerOperat.Reserve(FcdsMerOperat.Count() + operat);
}

void TCSStanDForFileHQC::ReadControlValues(const pugi::xml_node& elControlValues)
{
    ReadSpeciesGroupDefinitions(elControlValues);

    // The species list only grows while a file is read: look at the names added since the last
    // group only, so that many groups with many species cost no more than one look at each.
    if (FSugasScanned > FcdsSugas.size()) {
        FSugasScanned = 0;
        FHasPriedeOrEgle = false;
    }
    for (; FSugasScanned < FcdsSugas.size(); ++FSugasScanned) {
        const QString& name = FcdsSugas[FSugasScanned].SUGA;
        if (name == QLatin1String("PRIEDE") || name == QLatin1String("EGLE"))
            FHasPriedeOrEgle = true;
    }
    FUseSugaByName = FHasPriedeOrEgle;

    for (const pugi::xml_node& elObj : TNamedChildren(elControlValues, "ObjectDefinition", FUseNS)) {
        TCirsmaRow row;
        row.CIRSMA_NR = ElementInt(SelectChildNode(elObj, "ObjectKey", FUseNS), "ObjectKey");
        row.OBJECTUSERID = Cut(ReadNodeText(elObj, "ObjectUserID", true, FUseNS), AnalysisWidth::OBJECTUSERID);
        FcdsCirsmas->push_back(std::move(row));
    }

    for (const pugi::xml_node& elStem : TNamedChildren(elControlValues, "Stem", FUseNS)) {
        if (FLastKoksNr == std::numeric_limits<int32_t>::max())
            RaiseRangeError();
        ReadStem(elStem, ++FLastKoksNr);
    }
}

QString TCSStanDForFileHQC::SpeciesNameOfKey(const QString& sKey)
{
    const qsizetype i = FindSuga(sKey);
    if (i < 0)
        RaiseUserError(QStringLiteral("Suga ar atslēgu \"%1\" nav atrasta!").arg(sKey));
    TSugaRow& row = FcdsSugas[static_cast<size_t>(i)];
    if (row.KOKU_SKAITS.value_or(0) == std::numeric_limits<int32_t>::max())
        RaiseRangeError();
    row.KOKU_SKAITS = row.KOKU_SKAITS.value_or(0) + 1;
    return row.SUGA;
}

void TCSStanDForFileHQC::ReadStem(const pugi::xml_node& elStem, int32_t iKoksNr)
{
    enum { ObjectKey, SpeciesGroupKey, HarvestDate, ControlStemInfo, ProcessingCategory, Processed };
    const TFirstChildren<6> el(elStem,
                               {"ObjectKey", "SpeciesGroupKey", "HarvestDate", "ControlStemInfo",
                                "ProcessingCategory", "SingleTreeProcessedStem"},
                               FUseNS);
    TTreeRow tree;
    tree.KOKS_NR = iKoksNr;
    tree.CIRSMA_NR = ElementInt(el.Found[ObjectKey], "ObjectKey");

    const QString sKey = ElementText(el.Found[SpeciesGroupKey], "SpeciesGroupKey", true);
    QString sSuga;
    if (FUseSugaByName) {
        sSuga = SpeciesNameOfKey(sKey);
    } else {
        switch (StanForDStrToInt(sKey)) {
        case 1: sSuga = QStringLiteral("PRIEDE"); break;
        case 2: sSuga = QStringLiteral("EGLE"); break;
        case 3: sSuga = QStringLiteral("BĒRZS"); break;
        case 4: sSuga = QStringLiteral("APSE"); break;
        default: break;
        }
    }
    if (!sSuga.isEmpty())
        tree.SUGA = Cut(sSuga, AnalysisWidth::SUGA);
    tree.SUGA_TXT = Cut(SpeciesNameOfKey(sKey), AnalysisWidth::SUGA_TXT);

    const char* sHarvest = SoleText(el.Found[HarvestDate]);
    if (sHarvest && !TrimmedUtf8(sHarvest).empty())
        tree.DATUMS_PARB = ParseDateTimeUtf8(sHarvest, true);
    else
        tree.DATUMS_PARB.reset();

    const QString sSel = ReadNodeText(el.Found[ControlStemInfo], "RandomControlStemSelection", false, FUseNS);
    tree.IZV_VEIDS = sSel.compare(QLatin1String("randomly selected stem"), Qt::CaseInsensitive) == 0
        ? TreeSelection::Random
        : TreeSelection::Operator;

    const QString sCat = ElementText(el.Found[ProcessingCategory], "ProcessingCategory", true);
    if (GetProcessingCategory(sCat) == csHprSingleTreeProcessing) {
        int32_t logCount = 0;
        for (const pugi::xml_node& elLog : TNamedChildren(el.Found[Processed], "Log", FUseNS)) {
            if (logCount == std::numeric_limits<int32_t>::max())
                RaiseRangeError();
            ++logCount;
            if (HasChildNodes(elLog)) // an empty Log element still counts, but holds nothing to read
                ReadLog(elLog, tree);
        }
        tree.BALKU_SK = logCount;
    } else {
        tree.BALKU_SK = 0;
    }
    FcdsKoki->push_back(std::move(tree));
}

void TCSStanDForFileHQC::ReadLog(const pugi::xml_node& elLog, TTreeRow& tree)
{
    const int32_t iKoksNr = *tree.KOKS_NR;
    TLogRow log;
    log.KOKS_NR = iKoksNr;
    log.BALKIS_NR = ElementInt(SelectChildNode(elLog, "LogKey", FUseNS), "LogKey");
    const int32_t iBalkisNr = *log.BALKIS_NR;
    const size_t firstMachine = FcdsMerMachine.Count();
    const size_t firstOperat = FcdsMerOperat.Count();

    for (const pugi::xml_node& elMeas : TNamedChildren(elLog, "LogMeasurement", FUseNS)) {
        // The children in one pass: the first length and date, the first "LogDiameter" with both
        // categories (as the XPath predicate [@logDiameterCategory = 'Top ob' and
        // @diameterMeasurementCategory = 'Average'] selects it) and every control diameter.
        pugi::xml_node elLength, elTop, elDate;
        FDiameters.clear();
        for (pugi::xml_node c = elMeas.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element)
                continue;
            // Most children are control diameters, and their names seldom carry a prefix: a
            // whole name that matches needs no search for one.
            const char* const whole = c.name();
            if (NameIs(whole, "ControlLogDiameter")) {
                FDiameters.push_back(c);
                continue;
            }
            const char* name = MatchedName(whole, FUseNS);
            if (NameIs(name, "ControlLogDiameter"))
                FDiameters.push_back(c);
            else if (!elLength && NameIs(name, "LogLength"))
                elLength = c;
            else if (!elDate && NameIs(name, "MeasurementDate"))
                elDate = c;
            else if (!elTop && NameIs(name, "LogDiameter") &&
                     std::strcmp(c.attribute("logDiameterCategory").as_string("\x01"), "Top ob") == 0 &&
                     std::strcmp(c.attribute("diameterMeasurementCategory").as_string("\x01"), "Average") == 0)
                elTop = c;
        }
        const int32_t iLength = ElementInt(elLength, "LogLength");
        // Its text is a number like any other: an empty one does not convert.
        const int32_t iTop = elTop ? Utf8TextToInt(elTop.text().get()) : 0;

        const double dMeas = ParseDateTimeUtf8(ElementUtf8(elDate, "MeasurementDate"), true);
        if (dMeas > 0 && (!tree.DATUMS_PARB || *tree.DATUMS_PARB < dMeas))
            tree.DATUMS_PARB = dMeas;

        THqcDiamTable* table = nullptr;
        switch (GetLogMeasurementCategory(elMeas)) {
        case csLogMeasMachine:
            log.HRV_GARUMS = iLength;
            log.HRV_TIEVG = iTop;
            table = &FcdsMerMachine;
            break;
        case csLogMeasOperator:
            log.DAST_GARUMS = iLength;
            log.DAST_TIEVG = iTop;
            table = &FcdsMerOperat;
            break;
        default:
            break;
        }
        if (!table)
            continue;
        for (const pugi::xml_node& elDiam : FDiameters) {
            THqcDiamRow row;
            const auto [sPosition, sCategory] =
                AttributeValues<2>(elDiam, {"diameterPosition", "diameterMeasurementCategory"});
            ReadUtf8IntToDS(row.DIAM_POSITION, sPosition ? sPosition : "");
            row.MERIJ_CAT = DiameterCategory(sCategory ? sCategory : "");
            ReadUtf8IntToDS(row.DIAM_VALUE, elDiam.text().get());
            row.KOKS_NR = iKoksNr;
            row.BALKIS_NR = iBalkisNr;
            table->Append(std::move(row));
        }
    }

    // The log's points are the diameters of this Log element: a stem that names a log twice
    // gets two logs, not two logs that each hold the diameters of both.
    // Only "Average" diameters are control points, on the harvester's side as on the caliper's:
    // machines write other categories at the same positions, which would count every point twice.
    std::vector<const THqcDiamRow*>& machine = FMachinePoints;
    FcdsMerMachine.SortedRows(firstMachine, FcdsMerMachine.Count(), kAverage, machine);
    if (machine.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        RaiseRangeError();
    log.MER_SKAITS = static_cast<int16_t>(machine.size());
    FcdsBalki->push_back(std::move(log));

    std::vector<const THqcDiamRow*>& operat = FOperatPoints;
    FcdsMerOperat.SortedRows(firstOperat, FcdsMerOperat.Count(), kAverage, operat);
    int32_t iNr = 0;
    for (const THqcDiamRow* m : machine) {
        TMeasRow meas;
        meas.KOKS_NR = iKoksNr;
        meas.BALKIS_NR = iBalkisNr;
        meas.MERIJUMS_NR = ++iNr;
        meas.MERVIETA = m->DIAM_POSITION;
        meas.HRV_DIAMETRS = m->DIAM_VALUE;
        // The first caliper row at that position, in index order.
        const auto o = std::lower_bound(operat.begin(), operat.end(), m, THqcDiamTable::PositionLess);
        if (o != operat.end() && (*o)->DIAM_POSITION == m->DIAM_POSITION)
            meas.DAST_DIAMETRS = (*o)->DIAM_VALUE;
        FcdsMerijumi->push_back(std::move(meas));
    }
}
