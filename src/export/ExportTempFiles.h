#pragma once

#include <QString>
#include <QStringList>

// Workbooks written under new temporary names, deleted when the program ends. A file that
// cannot be deleted (still open elsewhere, already gone) is passed over without a message.
class ExportTempFiles
{
public:
    ExportTempFiles() = delete;

    // Safe from any thread.
    static void Add(const QString& fileName);
    static QStringList Files();
    // Deletes every listed file now and empties the list (also run at program end).
    static void DeleteExportTempFiles();
};
