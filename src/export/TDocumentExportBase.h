#pragma once

#include "export/TxlColumns.h"

#include <QString>
#include <QStringList>
#include <memory>

class TDataSet;
class TField;

// What every spreadsheet export shares: the dataset, the exported columns, a title, subtitles,
// a legend, user parameters and the per-row formats of an optional ROW_FORMAT field.
// Writers derive from it and say what Execute and showing the result mean.
class TDocumentExportBase
{
public:
    TDocumentExportBase();
    virtual ~TDocumentExportBase();
    TDocumentExportBase(const TDocumentExportBase&) = delete;
    TDocumentExportBase& operator=(const TDocumentExportBase&) = delete;

    TDataSet* Dataset() const { return FDataset; }
    // Empties the columns whenever a dataset was set before, the same one included.
    void SetDataset(TDataSet* value);

    TxlColumns& Columns() { return *FColumns; }
    const TxlColumns& Columns() const { return *FColumns; }
    void SetColumns(const TxlColumns& value) { FColumns->Assign(value); }

    // "Veidne: <title>" for templates (or when always asked), else the title.
    QString FullTitle() const;
    bool AlwaysFullTitle() const { return FAlwaysFullTitle; }
    void SetAlwaysFullTitle(bool v) { FAlwaysFullTitle = v; }
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& v) { FTitle = v; }
    bool IsTemplate() const { return FIsTemplate; }
    void SetIsTemplate(bool v) { FIsTemplate = v; }
    bool WriteDictionary() const { return FWriteDictionary; }
    void SetWriteDictionary(bool v) { FWriteDictionary = v; }
    bool Visible() const { return FVisible; }
    const QString& FileExtension() const { return FFileExtension; }

    // The lists are created on first read; setting copies the lines, nullptr frees the list.
    QStringList& Subtitles();
    void SetSubtitles(const QStringList* value);
    bool HasSubtitles() const { return FSubtitles && !FSubtitles->isEmpty(); }
    QStringList& Legend();
    void SetLegend(const QStringList* value);
    bool HasLegend() const { return FLegend && !FLegend->isEmpty(); }
    QStringList& UserParams();
    void SetUserParams(const QStringList* value);
    bool HasUserParams() const { return FUserParams && !FUserParams->isEmpty(); }

    virtual void SetVisible(bool Value) = 0;
    virtual void Execute(bool AInNewSheet, bool AInNewWorkbook);
    virtual void Reset();

    // A valid worksheet name: "Sheet" for the empty text, else at most 31 characters with
    // : \ / ? * [ ] and an apostrophe at either end replaced by "_".
    static QString NormalizeName(const QString& s);
    // Spreadsheet column letters of a column counted from 1 (1 A, 27 AA, 703 AAA).
    static QString ColumnLetters(int column);
    // "AB2:AB10"; dotted gives ".AB2:.AB10". Throws ERangeError for a column or row below 1.
    static QString CellRangeText(int firstCol, int firstRow, int lastCol, int lastRow, bool dotted);
    // Items split the way a delimited string list splits them: blanks and control characters
    // separate too, double quotes protect them.
    static QStringList SplitDelimited(const QString& text, QChar delimiter);

    // The current row's ROW_FORMAT value of a name, and of a name for one field.
    QString GetRowFormatValue(const QString& Name) const;
    QString GetCellFormatValue(const QString& Name, const TField* Field) const;

protected:
    bool FAlwaysFullTitle = false;
    QString FFileExtension;
    bool FVisible = false;
    bool FIsTemplate = false;
    std::unique_ptr<QStringList> FLegend;
    std::unique_ptr<QStringList> FUserParams;
    QString FTitle;
    TDataSet* FDataset = nullptr;
    std::unique_ptr<TxlColumns> FColumns;
    std::unique_ptr<QStringList> FSubtitles;
    bool FWriteDictionary = false;

private:
    int FDatasetNotice = -1;
};
