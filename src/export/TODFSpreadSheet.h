#pragma once

#include "export/TOpenDocument.h"

#include <QByteArray>
#include <QString>

class QXmlStreamWriter;
class TField;

// An OpenDocument spreadsheet (.ods): one table "Tabula1" with a header row, a data row per
// record and, when a column sums, a total row.
class TODFSpreadSheet : public TOpenDocument
{
public:
    TODFSpreadSheet();

    void SetVisible(bool Value) override;
    void Execute(bool AInNewSheet, bool AInNewWorkbook) override;
    void WriteParts() override;
    // Printing through the desktop is not offered; throws EKelpUserError.
    void Print(const QString& APrinterName) override;

    // The parts as they go into the package (tests read them).
    QByteArray WriteContent();
    static QByteArray WriteManifest();
    static QByteArray WriteStyles();

    // Column width from a width in characters, five to the centimetre.
    static QString ColumnWidthText(qint32 displayWidth);
    // A number as office:value carries it: up to 15 significant digits, "." for decimals.
    static QString ValueText(double value);

private:
    void WriteDataCell(QXmlStreamWriter& w, TField* field, bool lastRow);

    QString FTitleStyle = QStringLiteral("Lumeret_PageTitle");
    QString FColumnHeaderStyle = QStringLiteral("Lumeret_ColumnHeader");
    QString FAllCellsStyle = QStringLiteral("Lumeret_AllCells");
    QString FLastRowStyle = QStringLiteral("Lumeret_LastRowCells");
};
