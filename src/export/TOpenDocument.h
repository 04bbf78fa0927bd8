#pragma once

#include "export/TDocumentExportBase.h"
#include "platform/data/Bookmark.h"

#include <QByteArray>
#include <QString>

class TDataSet;

// Writes an OpenDocument package: its parts, built by a subclass, zipped into a file in the
// temporary folder, which is then opened with the program associated with its type.
class TOpenDocument : public TDocumentExportBase
{
public:
    TOpenDocument();
    ~TOpenDocument() override;

    // This writer's own dataset; the model's dataset stays empty.
    TDataSet* Dataset() const { return FDataset; }
    void SetDataset(TDataSet* value);

    const QString& OutputFileName() const { return FOutputFileName; }
    void SetOutputFileName(const QString& value) { FOutputFileName = value; }
    const QString& TempDirectory() const { return FTempDirectory; }

    // Builds the package. Throws when writing fails, and "Atskaitē nav rindu!" (after
    // deleting the file) when the dataset has no records.
    void Execute(bool AInNewSheet, bool AInNewWorkbook) override;
    // Opens the written file; without an associated program an information window offers
    // the file's folder instead.
    void OpenExportedFile();

    virtual void WriteParts() = 0;
    virtual void Print(const QString& APrinterName) = 0;

protected:
    // Adds one part to the package being written.
    void AddPart(const QString& name, const QByteArray& data);

    bool FShouldClose = false;
    TBookmark Fbookmark;
    QString FTempDirectory;
    qint32 FProgressCount = 0;
    qint32 FRowDelta = 0;
    QString FOutputFileName;
    TDataSet* FDataset = nullptr;

private:
    void* FZipper = nullptr; // the open zip archive while the package is written
    int FDatasetNotice = -1;
};
