#include "import/TCSHrvStumpwiseToDS.h"

#include "base/EValidationException.h"
#include "import/AnalysisCodes.h"
#include "import/AnalysisColumns.h"
#include "import/AnalysisEngine.h"
#include "import/AnalysisFields.h"
#include "import/Readers.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"
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
    const TDataSetGuard keep(dataSet, TDataSetGuard::Controls | TDataSetGuard::Filter);
    dataSet->SetFiltered(false);
    dataSet->EmptyDataSet();
}

bool HasCurrentRecord(const TField* f)
{
    return f->DataSet() && !f->DataSet()->IsEmpty();
}

// Walks a dataset in insertion order without a filter, restoring its order, filter and
// controls afterwards.
class TInsertionOrderWalk {
public:
    explicit TInsertionOrderWalk(TClientDataSet* ds)
        : FKeep(ds, TDataSetGuard::Controls | TDataSetGuard::Index | TDataSetGuard::Filter)
    {
        ds->SetFiltered(false);
        ds->SetIndexName(TClientDataSet::DefaultOrderName);
        ds->First();
    }

private:
    TDataSetGuard FKeep;
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
    FcdsHeader = AnalysisColumns::Create(QStringLiteral("cdsHeader"), AnalysisColumns::Header(), QString());
}

void TCSHrvStumpwiseToDS::CreateVarDataSet()
{
    FcdsVar = AnalysisColumns::Create(QStringLiteral("cdsVar"), AnalysisColumns::Vars(), QStringLiteral("BLOCK_NR;VAR_NR;VAR_T"));
}

void TCSHrvStumpwiseToDS::CreateKokiDataSet()
{
    FcdsKoki = AnalysisColumns::Create(QStringLiteral("cdsKoki"), AnalysisColumns::Trees(), AnalysisField::KOKS_NR);
    TClientDataSet* ds = FcdsKoki.get();
    // KokiIzvVeidsGetText: 1 is a random tree, anything else operator-selected.
    ds->FieldByName(AnalysisField::IZV_VEIDS)->OnGetText = [](TField* Sender, QString& Text, bool) {
        if (!HasCurrentRecord(Sender)) {
            Text.clear();
            return;
        }
        Text = Sender->AsInteger() == TreeSelection::Random ? QStringLiteral("Nejaušie koki") : QStringLiteral("Operatora izvēlētie");
    };
    // KokiDerigsGetText
    ds->FieldByName(AnalysisField::DERIGS)->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = TAnalysisEngine::GetErrorMessage(Sender->AsInteger());
    };
}

void TCSHrvStumpwiseToDS::CreateBalkiDataSet()
{
    FcdsBalki = AnalysisColumns::Create(QStringLiteral("cdsBalki"), AnalysisColumns::Logs(), QStringLiteral("KOKS_NR;BALKIS_NR"));
    TClientDataSet* ds = FcdsBalki.get();
    // BalkiDerigsGetText
    ds->FieldByName(AnalysisField::DERIGS)->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = TAnalysisEngine::GetErrorMessage(Sender->AsInteger());
    };
    ds->OnNewRecord = [this](TDataSet* DataSet) { BalkiNewRecord(DataSet); };
}

void TCSHrvStumpwiseToDS::CreateMerijumiDataSet()
{
    FcdsMerijumi = AnalysisColumns::Create(QStringLiteral("cdsMerijumi"), AnalysisColumns::Meas(), QStringLiteral("KOKS_NR;BALKIS_NR;MERIJUMS_NR"));
    TClientDataSet* ds = FcdsMerijumi.get();
    // MerijumsNrGetText: top rows are numbered from 100 on and shown less 100.
    ds->FieldByName(AnalysisField::MERIJUMS_NR)->OnGetText = [](TField* Sender, QString& Text, bool) {
        if (!HasCurrentRecord(Sender)) {
            Text.clear();
            return;
        }
        const qint32 nr = Sender->AsInteger();
        Text = QString::number(nr < 100 ? nr : static_cast<qint64>(nr) - 100);
    };
    // DerigsDiamNovGetText
    ds->FieldByName(AnalysisField::DERIGS_DIAM_NOV)->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = HasCurrentRecord(Sender) ? CsConst::TextAt(CsConst::DerigsDiamNovTexts(), Sender->AsInteger()) : QString();
    };
    // MerijVeidsGetText
    ds->FieldByName(AnalysisField::MERIJ_VEIDS)->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = HasCurrentRecord(Sender) ? CsConst::TextAt(CsConst::MerijVeidsTexts(), Sender->AsInteger()) : QString();
    };
    ds->FieldByName(AnalysisField::DERIGS)->OnChange = [this](TField* Sender) { DerigsChange(Sender); };
    ds->OnNewRecord = [this](TDataSet* DataSet) { MerijumiNewRecord(DataSet); };
}

namespace {
void InstallIzvVeidsText(TDataSet* ds)
{
    // IzvVeidsGetText
    ds->FieldByName(AnalysisField::IZV_VEIDS)->OnGetText = [](TField* Sender, QString& Text, bool) {
        Text = HasCurrentRecord(Sender) ? CsConst::TextAt(CsConst::IzvVeidsTexts(), Sender->AsInteger()) : QString();
    };
}
} // namespace

void TCSHrvStumpwiseToDS::CreateKokuSkDataSet()
{
    FcdsKokuSk = AnalysisColumns::Create(QStringLiteral("cdsKokuSk"), AnalysisColumns::KokuSk(), QString());
    TClientDataSet* ds = FcdsKokuSk.get();
    InstallIzvVeidsText(ds);
    ResetKokuSk();
}

void TCSHrvStumpwiseToDS::CreateDiamNovirzesDataSet()
{
    FcdsDiamNovirzes = AnalysisColumns::Create(QStringLiteral("cdsDiamNovirzes"), AnalysisColumns::DiamNovirzes(), QStringLiteral("IZV_VEIDS;INTERVALS_DIAMETRS"));
    TClientDataSet* ds = FcdsDiamNovirzes.get();
    InstallIzvVeidsText(ds);
}

void TCSHrvStumpwiseToDS::CreateCirsmasDataSet()
{
    FcdsCirsmas = AnalysisColumns::Create(QStringLiteral("cdsCirsmas"), AnalysisColumns::Cirsmas(), AnalysisField::CIRSMA_NR);
}

// ---- event handlers ----------------------------------------------------------------------

void TCSHrvStumpwiseToDS::BalkiNewRecord(TDataSet* DataSet)
{
    DataSet->FieldByName(AnalysisField::DERIGS)->SetAsInteger(ValidationCode::Usable);
}

void TCSHrvStumpwiseToDS::MerijumiNewRecord(TDataSet* DataSet)
{
    DataSet->FieldByName(AnalysisField::DERIGS)->SetAsInteger(ValidationCode::Usable);
    DataSet->FieldByName(AnalysisField::MERIJ_VEIDS)->SetAsInteger(MeasurementKind::FromFile);
}

void TCSHrvStumpwiseToDS::DerigsChange(TField* Sender)
{
    TField* notes = Sender->DataSet()->FieldByName(AnalysisField::PIEZIMES);
    const qint32 code = Sender->AsInteger();
    if (code == ValidationCode::Usable) {
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
    for (int kind : {SelectionKind::All, SelectionKind::OperatorSelected, SelectionKind::Random}) {
        ds->Append();
        ds->FieldByName(AnalysisField::IZV_VEIDS)->SetAsInteger(kind);
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
    const qint32 tree = FcdsKoki->FieldByName(AnalysisField::KOKS_NR)->AsInteger();
    FcdsBalki->SetFilter(QStringLiteral("KOKS_NR = ") + QString::number(tree));
    FcdsBalki->SetFiltered(true);
}

void TCSHrvStumpwiseToDS::FilterMerijumi()
{
    FcdsMerijumi->SetFiltered(false);
    const qint32 tree = FcdsBalki->FieldByName(AnalysisField::KOKS_NR)->AsInteger();
    const qint32 log = FcdsBalki->FieldByName(AnalysisField::BALKIS_NR)->AsInteger();
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
        // The raw variables take no part in the analysis: published first, they are not held
        // beside the analysis' memory. Should the analysis fail, all datasets are emptied anyway.
        PublishVars(model);
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
    PublishVars(model);
    Publish(model);
}

// ---- model <-> datasets ------------------------------------------------------------------

TAnalysisModel TCSHrvStumpwiseToDS::ReadModelFromDataSets() const
{
    TAnalysisModel m;
    // Each table read straight into the model's own kind of table: a copy would hold the rows
    // twice.
    const auto read = [](auto& table, TClientDataSet* ds, auto columns, TTextPool* texts = nullptr) {
        using Table = std::decay_t<decltype(table)>;
        TInsertionOrderWalk walk(ds);
        table = AnalysisColumns::ReadToEnd<typename Table::value_type, Table>(ds, columns, texts);
    };
    std::vector<THeaderRow> header;
    read(header, FcdsHeader.get(), AnalysisColumns::Header());
    if (!header.empty())
        m.Header = std::move(header.front());
    read(m.Trees, FcdsKoki.get(), AnalysisColumns::Trees());
    read(m.Logs, FcdsBalki.get(), AnalysisColumns::Logs());
    read(m.Meas, FcdsMerijumi.get(), AnalysisColumns::Meas(), m.MeasTexts.get());
    return m;
}

void TCSHrvStumpwiseToDS::PublishVars(TAnalysisModel& model)
{
    AnalysisColumns::AppendAndRelease<TVarRow>(FcdsVar.get(), AnalysisColumns::Vars(), model.Vars);
    model.VarTexts = std::make_shared<TTextPool>();
}

void TCSHrvStumpwiseToDS::Publish(TAnalysisModel& model)
{
    using namespace AnalysisColumns;
    // The measurements are written straight into storage: the change handler of DERIGS does
    // not append the notes, which the model holds already.
    Append(FcdsHeader.get(), Header(), std::span<const THeaderRow>(&model.Header, 1));
    AppendAndRelease<TTreeRow>(FcdsKoki.get(), Trees(), model.Trees);
    AppendAndRelease<TLogRow>(FcdsBalki.get(), Logs(), model.Logs);
    AppendAndRelease<TMeasRow>(FcdsMerijumi.get(), Meas(), model.Meas);
    model.MeasTexts = std::make_shared<TTextPool>();
    Append<TDiamNovirzeRow>(FcdsDiamNovirzes.get(), DiamNovirzes(), model.DiamNovirzes);
    Append<TCirsmaRow>(FcdsCirsmas.get(), Cirsmas(), model.Cirsmas);
    // The three count rows exist already (in the order 0, 1, 2): fill them in place.
    TClientDataSet* ds = FcdsKokuSk.get();
    TInsertionOrderWalk walk(ds);
    for (const TKokuSkRow& r : model.KokuSk) {
        if (ds->Eof())
            break;
        Update(ds, KokuSk(), r);
        ds->Next();
    }
}
