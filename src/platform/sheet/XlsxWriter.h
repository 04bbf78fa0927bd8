#pragma once

#include <QString>

class Workbook;

// Writes a workbook as an Office Open XML (.xlsx) file through libxlsxwriter.
class XlsxWriter
{
public:
    XlsxWriter() = delete;

    // Throws ESheetError when the library refuses a cell or the file cannot be written.
    static void Save(const Workbook& book, const QString& fileName);

private:
    static void Write(const Workbook& book, const QString& partName, const QString& fileName);
};
