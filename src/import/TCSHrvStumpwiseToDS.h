#pragma once

// The loader: owns the eight datasets in which one control file is analysed, the open-file
// dialog, the maximum accepted diameter deviation and the kind of the file read last. A load
// reads the file into an in-memory model (the reader chosen by the extension), validates and
// derives everything on the model, and publishes it to the datasets in one step while their
// data-aware controls are disabled. Any failure leaves empty datasets and raises one
// EValidationException.

#include "import/AnalysisModel.h"
#include "import/CsConst.h"
#include "import/TOpenFileDialog.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class TClientDataSet;
class TDataSet;
class TField;

class TCSHrvStumpwiseToDS {
public:
    using TReader = std::function<void(const QString& fileName, TAnalysisModel& model)>;

    explicit TCSHrvStumpwiseToDS(const void* aOwner = nullptr);
    ~TCSHrvStumpwiseToDS();
    TCSHrvStumpwiseToDS(const TCSHrvStumpwiseToDS&) = delete;
    TCSHrvStumpwiseToDS& operator=(const TCSHrvStumpwiseToDS&) = delete;

    const void* Owner() const { return FOwner; }

    TOpenFileDialog* odKTRFiles() const { return FodKTRFiles.get(); }
    TClientDataSet* cdsVar() const { return FcdsVar.get(); }
    TClientDataSet* cdsHeader() const { return FcdsHeader.get(); }
    TClientDataSet* cdsKoki() const { return FcdsKoki.get(); }
    TClientDataSet* cdsKokuSk() const { return FcdsKokuSk.get(); }
    TClientDataSet* cdsBalki() const { return FcdsBalki.get(); }
    TClientDataSet* cdsMerijumi() const { return FcdsMerijumi.get(); }
    TClientDataSet* cdsDiamNovirzes() const { return FcdsDiamNovirzes.get(); }
    TClientDataSet* cdsCirsmas() const { return FcdsCirsmas.get(); }

    int32_t MaksNovirze() const { return FMaksNovirze; }
    void SetMaksNovirze(int32_t value) { FMaksNovirze = value; }
    TCSHrvKtrHqcFileType HrvFileType() const { return FHrvFileType; }

    // Shows the dialog and imports the chosen file; false when cancelled (datasets untouched).
    bool LoadToDSFromFileWithDialog();
    // Reads a file with the reader its extension selects (".hqc" in any case: StanForD 2010).
    void ImportFileIntoDS(const QString& sFileName);
    // The two imports: read, validate, calculate, publish; any failure ends as the one
    // EValidationException with empty datasets.
    void ImportKTRFile(const QString& sFileName);
    void ImportHQCFile(const QString& sFileName);

    // Validates and calculates the trees, logs and measurements the datasets hold (as a reader
    // leaves them) and publishes the result to the datasets.
    void ValidateAndCalculate();

    // Logs of the current tree; measurements of the current log.
    void FilterBalki();
    void FilterMerijumi();

    static QString GetErrorMessage(int16_t aErrId);

    // Empties the datasets before a load (false) or after a failed one (true); disables the
    // data-aware controls of all but the header until EnableAllControls.
    void ClearDataSets(bool aFlag);
    void ResetKokuSk();
    void EnableAllControls();

    // Replaces the file readers (tests); by default the classic and StanForD 2010 readers.
    void SetReaders(TReader ktrReader, TReader hqcReader);

private:
    void CreateHeaderDataSet();
    void CreateVarDataSet();
    void CreateKokiDataSet();
    void CreateBalkiDataSet();
    void CreateMerijumiDataSet();
    void CreateKokuSkDataSet();
    void CreateDiamNovirzesDataSet();
    void CreateCirsmasDataSet();

    void RunImport(TCSHrvKtrHqcFileType kind, const TReader& reader, const QString& sFileName);
    // Fill the datasets from the model, the raw variables apart from the rest; each table of
    // the model is emptied once it is in its dataset, so that a large file is never held twice
    // over.
    void PublishVars(TAnalysisModel& model);
    void Publish(TAnalysisModel& model);
    TAnalysisModel ReadModelFromDataSets() const;

    // Dataset event handlers.
    void BalkiNewRecord(TDataSet* DataSet);
    void MerijumiNewRecord(TDataSet* DataSet);
    void DerigsChange(TField* Sender);

    const void* FOwner;
    std::unique_ptr<TClientDataSet> FcdsVar;
    std::unique_ptr<TClientDataSet> FcdsHeader;
    std::unique_ptr<TClientDataSet> FcdsKoki;
    std::unique_ptr<TClientDataSet> FcdsBalki;
    std::unique_ptr<TClientDataSet> FcdsMerijumi;
    std::unique_ptr<TClientDataSet> FcdsKokuSk;
    std::unique_ptr<TClientDataSet> FcdsDiamNovirzes;
    std::unique_ptr<TOpenFileDialog> FodKTRFiles;
    int32_t FMaksNovirze = 20;
    TCSHrvKtrHqcFileType FHrvFileType = csHrvKTRFile;
    std::unique_ptr<TClientDataSet> FcdsCirsmas;
    TReader FKtrReader;
    TReader FHqcReader;
};
