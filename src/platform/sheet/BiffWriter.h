#pragma once

#include <QByteArray>
#include <QString>

class Workbook;

// Writes a workbook as a binary (BIFF8) .xls file: the workbook stream inside a compound file.
// Comments become notes with their text boxes.
class BiffWriter
{
public:
    BiffWriter() = delete;

    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;

    // The workbook stream itself (tests read it back).
    static QByteArray WorkbookStream(const Workbook& book);
    // Throws ESheetError when a cell lies beyond the format's limits, a formula cannot be
    // expressed, or the file cannot be written.
    static void Save(const Workbook& book, const QString& fileName);
};
