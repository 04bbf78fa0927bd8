#pragma once

#include "export/TDocumentExportBase.h"
#include "platform/sheet/SheetValue.h"
#include "platform/sheet/Workbook.h"

#include <QIODevice>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class TField;

// Writes a dataset into a workbook, one row per record and one column per export column,
// over as many sheets as the format's row limit needs; saves it under a new name in the
// temporary folder (deleted when the program ends) and opens it with its program.
class TToExcel : public TDocumentExportBase
{
public:
    TToExcel();
    ~TToExcel() override;

    // File format code: 2 a binary workbook ("xls"), 9 Office Open XML ("xlsx").
    qint32 XLSFormat() const { return FXLSFormat; }
    void SetXLSFormat(qint32 v) { FXLSFormat = v; }
    // The workbook, created on first read.
    Workbook& WorkBook();
    const QString& FileName() const { return FFileName; }

    void SetVisible(bool Value) override;
    void Execute(bool AInNewSheet, bool AInNewWorkbook) override;
    void Reset() override;

    // Saves under aFileName, or under a new temporary name when it is empty.
    void Save(const QString& aFileName);
    // Writes the saved workbook into a stream at its current position.
    void Save(QIODevice& AStream);
    // Saves when not yet saved, then opens the file with its associated program.
    void OpenExcel();

    static QString Format2Ext(qint32 format);
    // The last row number a sheet may hold; 4294967295 when the format has no limit.
    static quint32 MaxRowsPerSheet(qint32 format);

    void FlushData();

    // The cell value and number format of a field on the current record (nullptr: no field).
    SheetValue GetCellValue(TField* Fld);
    QString GetCellNumberFormat(TField* Fld);

private:
    Worksheet& CurrentSheet();
    void NextSheet() { FSheet = nullptr; }
    int FirstVisibleColumn() const;
    bool HasAggregates() const;
    QString NewExportFileName() const;
    void ActivateForSave();
    void AddDefaultColumns();
    void WriteData();
    void WriteSheetHeader(qint64& Row, int SheetNo);
    void AlignHeaderLine(qint64 Row, int F, int N);
    void WriteDataRow(qint64 Row);
    void WriteAggregateRow(qint64 First, qint64 AggRow);
    void WriteTemplateFormats(qint64 First);
    void WriteFormatSettingsComment(SheetCell& Cell);
    void WriteLegendSheet();
    TField* ColumnField(int index) const;

    // What a data row needs of each column, looked up once per export rather than per cell.
    struct RowColumn
    {
        TField* field = nullptr;
        SheetHAlign align = SheetHAlign::General;
        bool fixedFormat = false; // the number format is the same on every record
        QString numberFormat;
    };
    void PrepareRowColumns();

    std::vector<RowColumn> FRowColumns;
    bool FHasRowFormat = false;
    std::unique_ptr<Workbook> FWorkBook;
    qint32 FXLSFormat = 2;
    QString FFileName;
    Worksheet* FSheet = nullptr;
};
