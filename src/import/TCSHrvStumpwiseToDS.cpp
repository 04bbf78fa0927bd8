#include "import/TCSHrvStumpwiseToDS.h"

#include "base/EValidationException.h"
#include "import/AnalysisEngine.h"
#include "import/Readers.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/Exception.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <type_traits>
#include <limits>

namespace {

const char* const kLoadFailed = "Kļūda ielādējot failu! Pārbaudiet vai fails ir korekts.\r\nKļūdas paziņojums: %1";
const char* const kDialogFilter =
    "KTR/HQC files (*.ktr;*.hqc)|*.KTR;*.HQC|KTR files (*.ktr)|*.KTR|HQC files (*.hqc)|*.HQC|All files (*.*)|*.*";
const char* const kDialogTitle = "Ielādēt KTR/HQC failu";

// Empties an open dataset with its filter off and its controls disabled, restoring both.
void ClearDataSet(TDataSet* dataSet)
{
    if (!dataSet || !dataSet->Active())
        return;
    const bool disabled = !dataSet->ControlsDisabled();
    if (disabled)
        dataSet->DisableControls();
    const bool filtered = dataSet->Filtered();
    try {
        dataSet->SetFiltered(false);
        dataSet->EmptyDataSet();
    } catch (...) {
        dataSet->SetFiltered(filtered);
        if (disabled)
            dataSet->EnableControls();
        throw;
    }
    dataSet->SetFiltered(filtered);
    if (disabled)
        dataSet->EnableControls();
}

void Label(TDataSet* ds, const char* field, const char* label)
{
    ds->FieldByName(QString::fromLatin1(field))->SetDisplayLabel(QString::fromUtf8(label));
}

void LeftAlign(TDataSet* ds, const char* field)
{
    ds->FieldByName(QString::fromLatin1(field))->SetAlignment(TAlignment::taLeftJustify);
}

bool HasCurrentRecord(const TField* f)
{
    return f->DataSet() && !f->DataSet()->IsEmpty();
}

// ---- model <-> dataset values ------------------------------------------------------------

inline Value V(const std::optional<int32_t>& v) { return v ? Value(*v) : Value(); }
inline Value V(const std::optional<int16_t>& v) { return v ? Value(static_cast<int32_t>(*v)) : Value(); }
inline Value V(const std::optional<double>& v) { return v ? Value(*v) : Value(); }
inline Value V(const QString& v) { return v.isEmpty() ? Value() : Value(v); }

inline std::optional<int32_t> ReadInt(const TField* f)
{
    if (f->IsNull())
        return std::nullopt;
    return f->AsInteger();
}

inline std::optional<int16_t> ReadSmall(const TField* f)
{
    if (f->IsNull())
        return std::nullopt;
    const qint32 v = f->AsInteger();
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        throw ERangeError(QStringLiteral("Range check error"));
    return static_cast<int16_t>(v);
}

inline std::optional<double> ReadFloat(const TField* f)
{
    if (f->IsNull())
        return std::nullopt;
    return f->AsFloat();
}

inline std::optional<double> ReadDate(const TField* f)
{
    if (f->IsNull())
        return std::nullopt;
    return f->AsDateTime().Days();
}

inline QString ReadStr(const TField* f) { return f->IsNull() ? QString() : f->AsString(); }

// Walks a dataset in insertion order without a filter, restoring its order, filter and
// current record afterwards.
class TInsertionOrderWalk {
public:
    explicit TInsertionOrderWalk(TClientDataSet* ds)
        : FDs(ds), FIndexName(ds->IndexName()), FIndexFields(ds->IndexFieldNames()), FFiltered(ds->Filtered())
    {
        FDs->DisableControls();
        FDs->SetFiltered(false);
        FDs->SetIndexName(TClientDataSet::DefaultOrderName);
        FDs->First();
    }
    ~TInsertionOrderWalk()
    {
        try {
            if (!FIndexFields.isEmpty())
                FDs->SetIndexFieldNames(FIndexFields);
            else
                FDs->SetIndexName(FIndexName);
            FDs->SetFiltered(FFiltered);
        } catch (...) {
        }
        FDs->EnableControls();
    }
    TInsertionOrderWalk(const TInsertionOrderWalk&) = delete;
    TInsertionOrderWalk& operator=(const TInsertionOrderWalk&) = delete;

private:
    TClientDataSet* FDs;
    QString FIndexName;
    QString FIndexFields;
    bool FFiltered;
};

template <typename T>
void Release(std::vector<T>& rows)
{
    std::vector<T>().swap(rows);
}

// Appends all rows of one table in one step, column by column (see TDataSet::BeginBulkAppend):
// no record events, no order comparisons per row, the dataset's index built once at the end;
// nothing is kept when a value fails. The cursor ends on the first record, as after a load.
class TBulkAppend {
public:
    TBulkAppend(TClientDataSet* ds, size_t count) : FDs(ds)
    {
        if (count > size_t(std::numeric_limits<int>::max()))
            throw ERangeError(QStringLiteral("Range check error"));
        FFirst = FDs->BeginBulkAppend(int(count));
    }
    ~TBulkAppend()
    {
        if (!FDone)
            FDs->CancelBulkAppend();
    }
    TBulkAppend(const TBulkAppend&) = delete;
    TBulkAppend& operator=(const TBulkAppend&) = delete;

    // The values of row i in field order; an empty value leaves its field empty (null).
    class TRow {
    public:
        TRow(TClientDataSet* ds, int record) : FDs(ds), FRecord(record) { }
        template <typename N>
        TRow& operator<<(const std::optional<N>& v)
        {
            if (v) {
                if constexpr (std::is_floating_point_v<N>)
                    FDs->SetBulkValue(FField, FRecord, Value(*v));
                else
                    FDs->SetBulkInteger(FField, FRecord, *v);
            }
            ++FField;
            return *this;
        }
        TRow& operator<<(const QString& v)
        {
            if (!v.isEmpty())
                FDs->SetBulkString(FField, FRecord, v);
            ++FField;
            return *this;
        }
        // A date-time field.
        TRow& Date(const std::optional<double>& v)
        {
            if (v)
                FDs->SetBulkValue(FField, FRecord, Value(DateTime(*v)));
            ++FField;
            return *this;
        }

    private:
        TClientDataSet* FDs;
        int FRecord;
        int FField = 0;
    };
    TRow Row(size_t i) { return TRow(FDs, FFirst + int(i)); }
    void Done()
    {
        FDone = true;
        FDs->EndBulkAppend();
        FDs->First();
    }

private:
    TClientDataSet* FDs;
    int FFirst = 0;
    bool FDone = false;
};

} // namespace

TCSHrvStumpwiseToDS::TCSHrvStumpwiseToDS(const void* aOwner) : FOwner(aOwner)
{
    FMaksNovirze = 20;
    CreateHeaderDataSet();
    CreateVarDataSet();
    CreateKokiDataSet();
    CreateBalkiDataSet();
    CreateMerijumiDataSet();
    CreateKokuSkDataSet();
    CreateDiamNovirzesDataSet();
    CreateCirsmasDataSet();
    FodKTRFiles = std::make_unique<TOpenFileDialog>();
    FodKTRFiles->SetFilter(QString::fromUtf8(kDialogFilter));
    FodKTRFiles->SetTitle(QString::fromUtf8(kDialogTitle));
    FHrvFileType = csHrvKTRFile;
    FKtrReader = [](const QString& name, TAnalysisModel& model) { ::ImportKTRFile(name, model); };
    FHqcReader = [](const QString& name, TAnalysisModel& model) { ::ImportHQCFile(name, model); };
}

TCSHrvStumpwiseToDS::~TCSHrvStumpwiseToDS()
{
    FodKTRFiles.reset();
    FcdsKokuSk.reset();
    FcdsKoki.reset();
    FcdsHeader.reset();
    FcdsVar.reset();
    FcdsBalki.reset();
    FcdsMerijumi.reset();
    FcdsDiamNovirzes.reset();
    FcdsCirsmas.reset();
}

// ---- datasets ----------------------------------------------------------------------------

void TCSHrvStumpwiseToDS::CreateHeaderDataSet()
{
    FcdsHeader = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsHeader.get();
    ds->SetName(QStringLiteral("cdsHeader"));
    auto& d = ds->FieldDefs();
    for (const char* name : {"HRV_APJOMS_ALL", "DAST_APJOMS_ALL", "PROCENTS_ALL", "HRV_APJOMS_OP", "DAST_APJOMS_OP",
                             "PROCENTS_OP", "HRV_APJOMS_RAND", "DAST_APJOMS_RAND", "PROCENTS_RAND"})
        d.Add(QString::fromLatin1(name), TFieldType::ftFloat);
    d.Add(QStringLiteral("DATUMS_PARB"), TFieldType::ftDateTime);
    d.Add(QStringLiteral("HRV_NUMURS"), TFieldType::ftString, AnalysisWidth::HRV_NUMURS);
    d.Add(QStringLiteral("HRV_VIN"), TFieldType::ftString, AnalysisWidth::HRV_VIN);
    d.Add(QStringLiteral("FILE_NAME"), TFieldType::ftString, AnalysisWidth::FILE_NAME);
    d.Add(QStringLiteral("DATUMS_PARB_SAK"), TFieldType::ftDateTime);
    d.Add(QStringLiteral("HAS_EMPTY_DATE"), TFieldType::ftSmallint);
    d.Add(QStringLiteral("DIENU_SKAITS"), TFieldType::ftInteger);
    d.Add(QStringLiteral("IR_PARRAVUMI"), TFieldType::ftSmallint);
    d.Add(QStringLiteral("DIAM_NOVIRZE6MM_ALL"), TFieldType::ftFloat);
    d.Add(QStringLiteral("DIAM_NOVIRZE6MM_OP"), TFieldType::ftFloat);
    d.Add(QStringLiteral("DIAM_NOVIRZE6MM_RAND"), TFieldType::ftFloat);
    ds->CreateDataSet();
    ds->SetLogChanges(false);
}

void TCSHrvStumpwiseToDS::CreateVarDataSet()
{
    FcdsVar = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsVar.get();
    ds->SetName(QStringLiteral("cdsVar"));
    auto& d = ds->FieldDefs();
    d.Add(QStringLiteral("BLOCK_NR"), TFieldType::ftInteger);
    d.Add(QStringLiteral("VAR_NR"), TFieldType::ftInteger);
    d.Add(QStringLiteral("VAR_T"), TFieldType::ftInteger);
    d.Add(QStringLiteral("VERTIBA"), TFieldType::ftString, AnalysisWidth::VERTIBA);
    ds->SetIndexFieldNames(QStringLiteral("BLOCK_NR;VAR_NR;VAR_T"));
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    Label(ds, "BLOCK_NR", "Bloks (koka Nr.)");
    Label(ds, "VAR_NR", "Mainīgā Nr.");
    Label(ds, "VAR_T", "Mainīgā tips");
    Label(ds, "VERTIBA", "Vērtība");
}

void TCSHrvStumpwiseToDS::CreateKokiDataSet()
{
    FcdsKoki = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsKoki.get();
    ds->SetName(QStringLiteral("cdsKoki"));
    auto& d = ds->FieldDefs();
    d.Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
    d.Add(QStringLiteral("BALKU_SK"), TFieldType::ftInteger);
    d.Add(QStringLiteral("IZV_VEIDS"), TFieldType::ftSmallint);
    d.Add(QStringLiteral("HRV_APJOMS"), TFieldType::ftFloat);
    d.Add(QStringLiteral("DAST_APJOMS"), TFieldType::ftFloat);
    d.Add(QStringLiteral("DERIGS"), TFieldType::ftInteger);
    d.Add(QStringLiteral("SUGA"), TFieldType::ftString, AnalysisWidth::SUGA);
    d.Add(QStringLiteral("SUGA_TXT"), TFieldType::ftString, AnalysisWidth::SUGA_TXT);
    d.Add(QStringLiteral("DATUMS_PARB"), TFieldType::ftDateTime);
    d.Add(QStringLiteral("CIRSMA_NR"), TFieldType::ftInteger);
    ds->SetIndexFieldNames(QStringLiteral("KOKS_NR"));
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    Label(ds, "KOKS_NR", "Koks");
    Label(ds, "BALKU_SK", "Nogriežņu skaits");
    Label(ds, "IZV_VEIDS", "Izvēles veids (random/operatora)");
    Label(ds, "HRV_APJOMS", "Harvestera apjoms");
    Label(ds, "DAST_APJOMS", "Dastmēra apjoms");
    Label(ds, "DERIGS", "Kļūdas apraksts");
    Label(ds, "SUGA", "Suga");
    Label(ds, "SUGA_TXT", "Suga oriģ.");
    Label(ds, "DATUMS_PARB", "Datums");
    LeftAlign(ds, "IZV_VEIDS");
    LeftAlign(ds, "DERIGS");
    // KokiIzvVeidsGetText: 1 is a random tree, anything else operator-selected.
    ds->FieldByName(QStringLiteral("IZV_VEIDS"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        if (!HasCurrentRecord(Sender)) {
            Text.clear();
            return;
        }
        Text = Sender->AsInteger() == 1 ? QStringLiteral("Nejaušie koki") : QStringLiteral("Operatora izvēlētie");
    };
    // KokiDerigsGetText
    ds->FieldByName(QStringLiteral("DERIGS"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = TAnalysisEngine::GetErrorMessage(Sender->AsInteger());
    };
}

void TCSHrvStumpwiseToDS::CreateBalkiDataSet()
{
    FcdsBalki = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsBalki.get();
    ds->SetName(QStringLiteral("cdsBalki"));
    auto& d = ds->FieldDefs();
    for (const char* name : {"KOKS_NR", "BALKIS_NR", "SORT_NR", "HRV_GARUMS", "DAST_GARUMS", "DAST_TIEVG", "HRV_TIEVG"})
        d.Add(QString::fromLatin1(name), TFieldType::ftInteger);
    d.Add(QStringLiteral("MER_SKAITS"), TFieldType::ftSmallint);
    d.Add(QStringLiteral("DERIGS"), TFieldType::ftInteger);
    d.Add(QStringLiteral("HRV_APJOMS"), TFieldType::ftFloat);
    d.Add(QStringLiteral("DAST_APJOMS"), TFieldType::ftFloat);
    ds->SetIndexFieldNames(QStringLiteral("KOKS_NR;BALKIS_NR"));
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    Label(ds, "KOKS_NR", "Koks");
    Label(ds, "BALKIS_NR", "Nogrieznis");
    Label(ds, "HRV_GARUMS", "Harv. garums");
    Label(ds, "DAST_GARUMS", "Dast. garums");
    Label(ds, "DAST_TIEVG", "Dast. tiev. gala diam.");
    Label(ds, "HRV_TIEVG", "Hrv. tiev. gala diam.");
    Label(ds, "MER_SKAITS", "Kontrolmērījumu skaits");
    Label(ds, "DERIGS", "Kļūdas apraksts");
    Label(ds, "HRV_APJOMS", "Harvestera apjoms");
    Label(ds, "DAST_APJOMS", "Dastmēra apjoms");
    LeftAlign(ds, "DERIGS");
    // BalkiDerigsGetText
    ds->FieldByName(QStringLiteral("DERIGS"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = TAnalysisEngine::GetErrorMessage(Sender->AsInteger());
    };
    ds->OnNewRecord = [this](TDataSet* DataSet) { BalkiNewRecord(DataSet); };
}

void TCSHrvStumpwiseToDS::CreateMerijumiDataSet()
{
    FcdsMerijumi = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsMerijumi.get();
    ds->SetName(QStringLiteral("cdsMerijumi"));
    auto& d = ds->FieldDefs();
    for (const char* name : {"KOKS_NR", "BALKIS_NR", "MERIJUMS_NR", "MERVIETA", "MERVIETA_IEP_HRV", "MERVIETA_IEP_DAST",
                             "HRV_GARUMS", "DAST_GARUMS", "HRV_DIAMETRS", "DAST_DIAMETRS", "DERIGS", "SORT_NR"})
        d.Add(QString::fromLatin1(name), TFieldType::ftInteger);
    d.Add(QStringLiteral("PIEZIMES"), TFieldType::ftString, AnalysisWidth::PIEZIMES);
    d.Add(QStringLiteral("NOVIRZE_DIAMETRS"), TFieldType::ftInteger);
    d.Add(QStringLiteral("NOVIRZE_DIAM_LIDZ"), TFieldType::ftSmallint);
    d.Add(QStringLiteral("INTERVALS_DIAMETRS"), TFieldType::ftString, AnalysisWidth::INTERVALS_DIAMETRS);
    d.Add(QStringLiteral("DERIGS_DIAM_NOV"), TFieldType::ftSmallint);
    d.Add(QStringLiteral("MERIJ_VEIDS"), TFieldType::ftSmallint);
    ds->SetIndexFieldNames(QStringLiteral("KOKS_NR;BALKIS_NR;MERIJUMS_NR"));
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    Label(ds, "KOKS_NR", "Koks");
    Label(ds, "BALKIS_NR", "Nogrieznis");
    Label(ds, "MERIJUMS_NR", "Mērījums");
    Label(ds, "MERVIETA", "Mērījuma vieta");
    Label(ds, "MERVIETA_IEP_HRV", "Iepr. harv. mēr. vieta");
    Label(ds, "MERVIETA_IEP_DAST", "Iepr. dast. mēr. vieta");
    Label(ds, "HRV_GARUMS", "Harv. garums");
    Label(ds, "DAST_GARUMS", "Dast. garums");
    Label(ds, "HRV_DIAMETRS", "Hrv. diametrs mērījuma vietā");
    Label(ds, "DAST_DIAMETRS", "Dastm. diametrs");
    Label(ds, "DERIGS", "Kļūda");
    Label(ds, "PIEZIMES", "Piezīmes");
    Label(ds, "NOVIRZE_DIAMETRS", "Diamtra novirze");
    Label(ds, "DERIGS_DIAM_NOV", "Derīgs diam.novirz.");
    Label(ds, "MERIJ_VEIDS", "Mērījuma veids");
    // MerijumsNrGetText: top rows are numbered from 100 on and shown less 100.
    ds->FieldByName(QStringLiteral("MERIJUMS_NR"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        if (!HasCurrentRecord(Sender)) {
            Text.clear();
            return;
        }
        const qint32 nr = Sender->AsInteger();
        Text = QString::number(nr < 100 ? nr : static_cast<qint64>(nr) - 100);
    };
    // DerigsDiamNovGetText
    ds->FieldByName(QStringLiteral("DERIGS_DIAM_NOV"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = HasCurrentRecord(Sender) ? CsConst::TextAt(CsConst::DerigsDiamNovTexts(), Sender->AsInteger()) : QString();
    };
    // MerijVeidsGetText
    ds->FieldByName(QStringLiteral("MERIJ_VEIDS"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = HasCurrentRecord(Sender) ? CsConst::TextAt(CsConst::MerijVeidsTexts(), Sender->AsInteger()) : QString();
    };
    ds->FieldByName(QStringLiteral("DERIGS"))->OnChange = [this](TField* Sender) { DerigsChange(Sender); };
    ds->OnNewRecord = [this](TDataSet* DataSet) { MerijumiNewRecord(DataSet); };
}

namespace {
void InstallIzvVeidsText(TDataSet* ds)
{
    // IzvVeidsGetText
    ds->FieldByName(QStringLiteral("IZV_VEIDS"))->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = HasCurrentRecord(Sender) ? CsConst::TextAt(CsConst::IzvVeidsTexts(), Sender->AsInteger()) : QString();
    };
}
} // namespace

void TCSHrvStumpwiseToDS::CreateKokuSkDataSet()
{
    FcdsKokuSk = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsKokuSk.get();
    ds->SetName(QStringLiteral("cdsKokuSk"));
    auto& d = ds->FieldDefs();
    d.Add(QStringLiteral("IZV_VEIDS"), TFieldType::ftSmallint);
    for (const char* name : {"KOKU_SK_DER", "KOKU_SK_NEDER", "BALKU_SK_DER", "BALKU_SK_NEDER", "KOKU_SK_DER_SUGA",
                             "BALKU_SK_DER_SUGA", "MERIJ_NEDER_DIAM"})
        d.Add(QString::fromLatin1(name), TFieldType::ftInteger);
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    Label(ds, "IZV_VEIDS", "Izvēles veids");
    Label(ds, "KOKU_SK_DER", "Der. koki");
    Label(ds, "KOKU_SK_NEDER", "Neder. koki");
    Label(ds, "BALKU_SK_DER", "Der. nogr.");
    Label(ds, "BALKU_SK_NEDER", "Neder. nogr.");
    Label(ds, "KOKU_SK_DER_SUGA", "Kopā der. koki pēc sugām");
    Label(ds, "BALKU_SK_DER_SUGA", "Kopā der. nogr. pēc sugām");
    Label(ds, "MERIJ_NEDER_DIAM", "Neder. mēr. diam. novirz.");
    LeftAlign(ds, "IZV_VEIDS");
    InstallIzvVeidsText(ds);
    ResetKokuSk();
}

void TCSHrvStumpwiseToDS::CreateDiamNovirzesDataSet()
{
    FcdsDiamNovirzes = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsDiamNovirzes.get();
    ds->SetName(QStringLiteral("cdsDiamNovirzes"));
    auto& d = ds->FieldDefs();
    d.Add(QStringLiteral("IZV_VEIDS"), TFieldType::ftInteger);
    d.Add(QStringLiteral("INTERVALS_DIAMETRS"), TFieldType::ftString, AnalysisWidth::INTERVALS_DIAMETRS);
    d.Add(QStringLiteral("LIDZ_2"), TFieldType::ftInteger);
    d.Add(QStringLiteral("LIDZ_2_PRCNT"), TFieldType::ftFloat);
    d.Add(QStringLiteral("LIDZ_4"), TFieldType::ftInteger);
    d.Add(QStringLiteral("LIDZ_4_PRCNT"), TFieldType::ftFloat);
    d.Add(QStringLiteral("LIDZ_6"), TFieldType::ftInteger);
    d.Add(QStringLiteral("LIDZ_6_PRCNT"), TFieldType::ftFloat);
    d.Add(QStringLiteral("CITS"), TFieldType::ftInteger);
    d.Add(QStringLiteral("CITS_PRCNT"), TFieldType::ftFloat);
    d.Add(QStringLiteral("KOPA"), TFieldType::ftInteger);
    ds->SetIndexFieldNames(QStringLiteral("IZV_VEIDS;INTERVALS_DIAMETRS"));
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    Label(ds, "IZV_VEIDS", "Izvēles veids");
    Label(ds, "INTERVALS_DIAMETRS", "Intervāls");
    Label(ds, "LIDZ_2", "2mm");
    Label(ds, "LIDZ_2_PRCNT", "2mm (%)");
    Label(ds, "LIDZ_4", "4mm");
    Label(ds, "LIDZ_4_PRCNT", "4mm (%)");
    Label(ds, "LIDZ_6", "6mm");
    Label(ds, "LIDZ_6_PRCNT", "6mm (%)");
    Label(ds, "CITS", "Cits");
    Label(ds, "CITS_PRCNT", "Cits (%)");
    Label(ds, "KOPA", "Mērījumu skaits");
    LeftAlign(ds, "IZV_VEIDS");
    InstallIzvVeidsText(ds);
}

void TCSHrvStumpwiseToDS::CreateCirsmasDataSet()
{
    FcdsCirsmas = std::make_unique<TClientDataSet>();
    TClientDataSet* ds = FcdsCirsmas.get();
    ds->SetName(QStringLiteral("cdsCirsmas"));
    auto& d = ds->FieldDefs();
    d.Add(QStringLiteral("CIRSMA_NR"), TFieldType::ftInteger);
    d.Add(QStringLiteral("OBJECTUSERID"), TFieldType::ftString, AnalysisWidth::OBJECTUSERID);
    ds->SetIndexFieldNames(QStringLiteral("CIRSMA_NR"));
    ds->CreateDataSet();
    ds->SetLogChanges(false);
}

// ---- event handlers ----------------------------------------------------------------------

void TCSHrvStumpwiseToDS::BalkiNewRecord(TDataSet* DataSet)
{
    DataSet->FieldByName(QStringLiteral("DERIGS"))->SetAsInteger(0);
}

void TCSHrvStumpwiseToDS::MerijumiNewRecord(TDataSet* DataSet)
{
    DataSet->FieldByName(QStringLiteral("DERIGS"))->SetAsInteger(0);
    DataSet->FieldByName(QStringLiteral("MERIJ_VEIDS"))->SetAsInteger(0);
}

void TCSHrvStumpwiseToDS::DerigsChange(TField* Sender)
{
    TField* notes = Sender->DataSet()->FieldByName(QStringLiteral("PIEZIMES"));
    const qint32 code = Sender->AsInteger();
    if (code == 0) {
        notes->SetAsString(QString());
        return;
    }
    QString text = notes->AsString();
    if (!text.isEmpty())
        text += QLatin1Char(';');
    text += TAnalysisEngine::GetErrorMessage(code);
    notes->SetAsString(text);
}

QString TCSHrvStumpwiseToDS::GetErrorMessage(int16_t aErrId)
{
    return TAnalysisEngine::GetErrorMessage(aErrId);
}

// ---- clearing ----------------------------------------------------------------------------

void TCSHrvStumpwiseToDS::ResetKokuSk()
{
    TClientDataSet* ds = FcdsKokuSk.get();
    ClearDataSet(ds);
    for (int kind = 0; kind <= 2; ++kind) {
        ds->Append();
        ds->FieldByName(QStringLiteral("IZV_VEIDS"))->SetAsInteger(kind);
        ds->Post();
    }
}

void TCSHrvStumpwiseToDS::ClearDataSets(bool aFlag)
{
    for (TClientDataSet* ds : {FcdsVar.get(), FcdsKoki.get(), FcdsKokuSk.get(), FcdsBalki.get(), FcdsMerijumi.get(),
                               FcdsDiamNovirzes.get(), FcdsCirsmas.get()})
        ds->DisableControls();
    ClearDataSet(FcdsVar.get());
    ClearDataSet(FcdsHeader.get());
    ClearDataSet(FcdsKoki.get());
    ResetKokuSk();
    ClearDataSet(FcdsBalki.get());
    ClearDataSet(FcdsMerijumi.get());
    ClearDataSet(FcdsDiamNovirzes.get());
    ClearDataSet(FcdsCirsmas.get());
    if (!aFlag) {
        // No filtering while a file is read; the frame installs filters and handlers again.
        FcdsKoki->SetFiltered(false);
        FcdsBalki->SetFiltered(false);
        FcdsMerijumi->SetFiltered(false);
        FcdsKoki->AfterScroll = nullptr;
        FcdsBalki->AfterScroll = nullptr;
    }
}

void TCSHrvStumpwiseToDS::EnableAllControls()
{
    for (TClientDataSet* ds : {FcdsCirsmas.get(), FcdsKoki.get(), FcdsKokuSk.get(), FcdsBalki.get(), FcdsMerijumi.get(),
                               FcdsDiamNovirzes.get(), FcdsVar.get()})
        ds->EnableControls();
}

// ---- filters -----------------------------------------------------------------------------

void TCSHrvStumpwiseToDS::FilterBalki()
{
    FcdsBalki->SetFiltered(false);
    const qint32 tree = FcdsKoki->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger();
    FcdsBalki->SetFilter(QStringLiteral("KOKS_NR = ") + QString::number(tree));
    FcdsBalki->SetFiltered(true);
}

void TCSHrvStumpwiseToDS::FilterMerijumi()
{
    FcdsMerijumi->SetFiltered(false);
    const qint32 tree = FcdsBalki->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger();
    const qint32 log = FcdsBalki->FieldByName(QStringLiteral("BALKIS_NR"))->AsInteger();
    FcdsMerijumi->SetFilter(QStringLiteral("KOKS_NR = ") + QString::number(tree) + QStringLiteral(" AND BALKIS_NR = ")
                            + QString::number(log));
    FcdsMerijumi->SetFiltered(true);
}

// ---- loading -----------------------------------------------------------------------------

void TCSHrvStumpwiseToDS::SetReaders(TReader ktrReader, TReader hqcReader)
{
    FKtrReader = std::move(ktrReader);
    FHqcReader = std::move(hqcReader);
}

bool TCSHrvStumpwiseToDS::LoadToDSFromFileWithDialog()
{
    const bool chosen = FodKTRFiles->Execute();
    if (chosen)
        ImportFileIntoDS(FodKTRFiles->FileName());
    return chosen;
}

void TCSHrvStumpwiseToDS::ImportFileIntoDS(const QString& sFileName)
{
    // The extension of the name's last path component, dot included; the content is never
    // consulted.
    const qsizetype sep = std::max(sFileName.lastIndexOf(QLatin1Char('/')), sFileName.lastIndexOf(QLatin1Char('\\')));
    const QString last = sFileName.mid(sep + 1);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : last.mid(dot);
    if (ext.toLower() == QStringLiteral(".hqc"))
        ImportHQCFile(sFileName);
    else
        ImportKTRFile(sFileName);
}

void TCSHrvStumpwiseToDS::ImportKTRFile(const QString& sFileName)
{
    RunImport(csHrvKTRFile, FKtrReader, sFileName);
}

void TCSHrvStumpwiseToDS::ImportHQCFile(const QString& sFileName)
{
    RunImport(csHrvHQCFile, FHqcReader, sFileName);
}

void TCSHrvStumpwiseToDS::RunImport(TCSHrvKtrHqcFileType kind, const TReader& reader, const QString& sFileName)
{
    FHrvFileType = kind;
    QString failure;
    bool failed = false;
    try {
        ClearDataSets(false);
        TAnalysisModel model;
        model.Header.FILE_NAME = sFileName;
        model.Header.HAS_EMPTY_DATE = 0;
        model.Header.DIENU_SKAITS = 0;
        model.Header.IR_PARRAVUMI = 0;
        if (!reader)
            throw Exception(QStringLiteral("No reader for this file type"));
        reader(sFileName, model);
        TAnalysisEngine::ValidateAndCalculate(model, FMaksNovirze);
        Publish(model);
    } catch (const Exception& e) {
        failed = true;
        failure = e.Message();
    } catch (const std::exception& e) {
        failed = true;
        failure = QString::fromUtf8(e.what());
    }
    if (failed) {
        try {
            ClearDataSets(true);
            EnableAllControls();
        } catch (...) {
        }
    }
    EnableAllControls();
    if (failed)
        throw EValidationException(QString::fromUtf8(kLoadFailed).arg(failure));
}

void TCSHrvStumpwiseToDS::ValidateAndCalculate()
{
    TAnalysisModel model = ReadModelFromDataSets();
    TAnalysisEngine::ValidateAndCalculate(model, FMaksNovirze);
    for (TClientDataSet* ds : {FcdsHeader.get(), FcdsKoki.get(), FcdsBalki.get(), FcdsMerijumi.get(),
                               FcdsDiamNovirzes.get()})
        ClearDataSet(ds);
    ResetKokuSk();
    // Raw variables and objects are not part of the analysis: keep what the datasets hold.
    model.Vars.clear();
    model.Cirsmas.clear();
    Publish(model);
}

// ---- model <-> datasets ------------------------------------------------------------------

TAnalysisModel TCSHrvStumpwiseToDS::ReadModelFromDataSets() const
{
    TAnalysisModel m;
    {
        TClientDataSet* ds = FcdsHeader.get();
        TInsertionOrderWalk walk(ds);
        if (!ds->Eof()) {
            THeaderRow& h = m.Header;
            auto f = [&](const char* n) { return ds->FieldByName(QString::fromLatin1(n)); };
            h.HRV_APJOMS_ALL = ReadFloat(f("HRV_APJOMS_ALL"));
            h.DAST_APJOMS_ALL = ReadFloat(f("DAST_APJOMS_ALL"));
            h.PROCENTS_ALL = ReadFloat(f("PROCENTS_ALL"));
            h.HRV_APJOMS_OP = ReadFloat(f("HRV_APJOMS_OP"));
            h.DAST_APJOMS_OP = ReadFloat(f("DAST_APJOMS_OP"));
            h.PROCENTS_OP = ReadFloat(f("PROCENTS_OP"));
            h.HRV_APJOMS_RAND = ReadFloat(f("HRV_APJOMS_RAND"));
            h.DAST_APJOMS_RAND = ReadFloat(f("DAST_APJOMS_RAND"));
            h.PROCENTS_RAND = ReadFloat(f("PROCENTS_RAND"));
            h.DATUMS_PARB = ReadDate(f("DATUMS_PARB"));
            h.HRV_NUMURS = ReadStr(f("HRV_NUMURS"));
            h.HRV_VIN = ReadStr(f("HRV_VIN"));
            h.FILE_NAME = ReadStr(f("FILE_NAME"));
            h.DATUMS_PARB_SAK = ReadDate(f("DATUMS_PARB_SAK"));
            h.HAS_EMPTY_DATE = ReadSmall(f("HAS_EMPTY_DATE"));
            h.DIENU_SKAITS = ReadInt(f("DIENU_SKAITS"));
            h.IR_PARRAVUMI = ReadSmall(f("IR_PARRAVUMI"));
            h.DIAM_NOVIRZE6MM_ALL = ReadFloat(f("DIAM_NOVIRZE6MM_ALL"));
            h.DIAM_NOVIRZE6MM_OP = ReadFloat(f("DIAM_NOVIRZE6MM_OP"));
            h.DIAM_NOVIRZE6MM_RAND = ReadFloat(f("DIAM_NOVIRZE6MM_RAND"));
        }
    }
    {
        TClientDataSet* ds = FcdsKoki.get();
        TInsertionOrderWalk walk(ds);
        std::vector<TField*> f = ds->GetFieldList(QStringLiteral(
            "KOKS_NR;BALKU_SK;IZV_VEIDS;HRV_APJOMS;DAST_APJOMS;DERIGS;SUGA;SUGA_TXT;DATUMS_PARB;CIRSMA_NR"));
        for (; !ds->Eof(); ds->Next()) {
            TTreeRow t;
            t.KOKS_NR = ReadInt(f[0]);
            t.BALKU_SK = ReadInt(f[1]);
            t.IZV_VEIDS = ReadSmall(f[2]);
            t.HRV_APJOMS = ReadFloat(f[3]);
            t.DAST_APJOMS = ReadFloat(f[4]);
            t.DERIGS = ReadInt(f[5]);
            t.SUGA = ReadStr(f[6]);
            t.SUGA_TXT = ReadStr(f[7]);
            t.DATUMS_PARB = ReadDate(f[8]);
            t.CIRSMA_NR = ReadInt(f[9]);
            m.Trees.push_back(std::move(t));
        }
    }
    {
        TClientDataSet* ds = FcdsBalki.get();
        TInsertionOrderWalk walk(ds);
        std::vector<TField*> f = ds->GetFieldList(QStringLiteral(
            "KOKS_NR;BALKIS_NR;SORT_NR;HRV_GARUMS;DAST_GARUMS;DAST_TIEVG;HRV_TIEVG;MER_SKAITS;DERIGS;HRV_APJOMS;"
            "DAST_APJOMS"));
        for (; !ds->Eof(); ds->Next()) {
            TLogRow l;
            l.KOKS_NR = ReadInt(f[0]);
            l.BALKIS_NR = ReadInt(f[1]);
            l.SORT_NR = ReadInt(f[2]);
            l.HRV_GARUMS = ReadInt(f[3]);
            l.DAST_GARUMS = ReadInt(f[4]);
            l.DAST_TIEVG = ReadInt(f[5]);
            l.HRV_TIEVG = ReadInt(f[6]);
            l.MER_SKAITS = ReadSmall(f[7]);
            l.DERIGS = ReadInt(f[8]);
            l.HRV_APJOMS = ReadFloat(f[9]);
            l.DAST_APJOMS = ReadFloat(f[10]);
            m.Logs.push_back(std::move(l));
        }
    }
    {
        TClientDataSet* ds = FcdsMerijumi.get();
        TInsertionOrderWalk walk(ds);
        std::vector<TField*> f = ds->GetFieldList(QStringLiteral(
            "KOKS_NR;BALKIS_NR;MERIJUMS_NR;MERVIETA;MERVIETA_IEP_HRV;MERVIETA_IEP_DAST;HRV_GARUMS;DAST_GARUMS;"
            "HRV_DIAMETRS;DAST_DIAMETRS;DERIGS;SORT_NR;PIEZIMES;NOVIRZE_DIAMETRS;NOVIRZE_DIAM_LIDZ;"
            "INTERVALS_DIAMETRS;DERIGS_DIAM_NOV;MERIJ_VEIDS"));
        for (; !ds->Eof(); ds->Next()) {
            TMeasRow r;
            r.KOKS_NR = ReadInt(f[0]);
            r.BALKIS_NR = ReadInt(f[1]);
            r.MERIJUMS_NR = ReadInt(f[2]);
            r.MERVIETA = ReadInt(f[3]);
            r.MERVIETA_IEP_HRV = ReadInt(f[4]);
            r.MERVIETA_IEP_DAST = ReadInt(f[5]);
            r.HRV_GARUMS = ReadInt(f[6]);
            r.DAST_GARUMS = ReadInt(f[7]);
            r.HRV_DIAMETRS = ReadInt(f[8]);
            r.DAST_DIAMETRS = ReadInt(f[9]);
            r.DERIGS = ReadInt(f[10]);
            r.SORT_NR = ReadInt(f[11]);
            r.PIEZIMES = ReadStr(f[12]);
            r.NOVIRZE_DIAMETRS = ReadInt(f[13]);
            r.NOVIRZE_DIAM_LIDZ = ReadSmall(f[14]);
            r.INTERVALS_DIAMETRS = ReadStr(f[15]);
            r.DERIGS_DIAM_NOV = ReadSmall(f[16]);
            r.MERIJ_VEIDS = ReadSmall(f[17]);
            m.Meas.push_back(std::move(r));
        }
    }
    return m;
}

void TCSHrvStumpwiseToDS::Publish(TAnalysisModel& model)
{
    // Each table in its field order (see the Create...DataSet methods).
    {
        const THeaderRow& h = model.Header;
        TBulkAppend out(FcdsHeader.get(), 1);
        TBulkAppend::TRow row = out.Row(0);
        row << h.HRV_APJOMS_ALL << h.DAST_APJOMS_ALL << h.PROCENTS_ALL << h.HRV_APJOMS_OP << h.DAST_APJOMS_OP
            << h.PROCENTS_OP << h.HRV_APJOMS_RAND << h.DAST_APJOMS_RAND << h.PROCENTS_RAND;
        row.Date(h.DATUMS_PARB) << h.HRV_NUMURS << h.HRV_VIN << h.FILE_NAME;
        row.Date(h.DATUMS_PARB_SAK) << h.HAS_EMPTY_DATE << h.DIENU_SKAITS << h.IR_PARRAVUMI << h.DIAM_NOVIRZE6MM_ALL
                                    << h.DIAM_NOVIRZE6MM_OP << h.DIAM_NOVIRZE6MM_RAND;
        out.Done();
    }
    {
        TBulkAppend out(FcdsVar.get(), model.Vars.size());
        for (size_t i = 0; i < model.Vars.size(); ++i) {
            const TVarRow& r = model.Vars[i];
            out.Row(i) << r.BLOCK_NR << r.VAR_NR << r.VAR_T << r.VERTIBA;
        }
        out.Done();
        Release(model.Vars);
    }
    {
        TBulkAppend out(FcdsKoki.get(), model.Trees.size());
        for (size_t i = 0; i < model.Trees.size(); ++i) {
            const TTreeRow& t = model.Trees[i];
            TBulkAppend::TRow row = out.Row(i);
            row << t.KOKS_NR << t.BALKU_SK << t.IZV_VEIDS << t.HRV_APJOMS << t.DAST_APJOMS << t.DERIGS << t.SUGA
                << t.SUGA_TXT;
            row.Date(t.DATUMS_PARB) << t.CIRSMA_NR;
        }
        out.Done();
        Release(model.Trees);
    }
    {
        TBulkAppend out(FcdsBalki.get(), model.Logs.size());
        for (size_t i = 0; i < model.Logs.size(); ++i) {
            const TLogRow& l = model.Logs[i];
            out.Row(i) << l.KOKS_NR << l.BALKIS_NR << l.SORT_NR << l.HRV_GARUMS << l.DAST_GARUMS << l.DAST_TIEVG
                       << l.HRV_TIEVG << l.MER_SKAITS << l.DERIGS << l.HRV_APJOMS << l.DAST_APJOMS;
        }
        out.Done();
        Release(model.Logs);
    }
    {
        // Written straight into storage: the change handler of DERIGS does not append the notes,
        // which the model holds already.
        TBulkAppend out(FcdsMerijumi.get(), model.Meas.size());
        for (size_t i = 0; i < model.Meas.size(); ++i) {
            const TMeasRow& r = model.Meas[i];
            out.Row(i) << r.KOKS_NR << r.BALKIS_NR << r.MERIJUMS_NR << r.MERVIETA << r.MERVIETA_IEP_HRV
                       << r.MERVIETA_IEP_DAST << r.HRV_GARUMS << r.DAST_GARUMS << r.HRV_DIAMETRS << r.DAST_DIAMETRS
                       << r.DERIGS << r.SORT_NR << r.PIEZIMES << r.NOVIRZE_DIAMETRS << r.NOVIRZE_DIAM_LIDZ
                       << r.INTERVALS_DIAMETRS << r.DERIGS_DIAM_NOV << r.MERIJ_VEIDS;
        }
        out.Done();
        Release(model.Meas);
    }
    {
        TBulkAppend out(FcdsDiamNovirzes.get(), model.DiamNovirzes.size());
        for (size_t i = 0; i < model.DiamNovirzes.size(); ++i) {
            const TDiamNovirzeRow& r = model.DiamNovirzes[i];
            out.Row(i) << r.IZV_VEIDS << r.INTERVALS_DIAMETRS << r.LIDZ_2 << r.LIDZ_2_PRCNT << r.LIDZ_4
                       << r.LIDZ_4_PRCNT << r.LIDZ_6 << r.LIDZ_6_PRCNT << r.CITS << r.CITS_PRCNT << r.KOPA;
        }
        out.Done();
    }
    {
        TBulkAppend out(FcdsCirsmas.get(), model.Cirsmas.size());
        for (size_t i = 0; i < model.Cirsmas.size(); ++i)
            out.Row(i) << model.Cirsmas[i].CIRSMA_NR << model.Cirsmas[i].OBJECTUSERID;
        out.Done();
    }
    {
        // The three count rows exist already (in the order 0, 1, 2): fill them in place.
        TClientDataSet* ds = FcdsKokuSk.get();
        TInsertionOrderWalk walk(ds);
        std::vector<TField*> f = ds->GetFieldList(QStringLiteral(
            "KOKU_SK_DER;KOKU_SK_NEDER;BALKU_SK_DER;BALKU_SK_NEDER;KOKU_SK_DER_SUGA;BALKU_SK_DER_SUGA;MERIJ_NEDER_DIAM"));
        for (const TKokuSkRow& r : model.KokuSk) {
            if (ds->Eof())
                break;
            ds->Edit();
            const Value values[] = {V(r.KOKU_SK_DER),      V(r.KOKU_SK_NEDER),     V(r.BALKU_SK_DER),
                                    V(r.BALKU_SK_NEDER),   V(r.KOKU_SK_DER_SUGA), V(r.BALKU_SK_DER_SUGA),
                                    V(r.MERIJ_NEDER_DIAM)};
            for (size_t i = 0; i < f.size(); ++i)
                f[i]->SetValue(values[i]);
            ds->Post();
            ds->Next();
        }
    }
}
