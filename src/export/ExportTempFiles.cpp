#include "export/ExportTempFiles.h"

#include <QFile>
#include <mutex>

namespace {

struct TempFileList
{
    std::mutex lock;
    QStringList files;

    ~TempFileList()
    {
        // The program is ending: no export runs any more.
        for (const QString& f : files)
            QFile::remove(f);
    }
};

TempFileList& List()
{
    static TempFileList list;
    return list;
}

} // namespace

void ExportTempFiles::Add(const QString& fileName)
{
    TempFileList& l = List();
    std::lock_guard<std::mutex> guard(l.lock);
    l.files << fileName;
}

QStringList ExportTempFiles::Files()
{
    TempFileList& l = List();
    std::lock_guard<std::mutex> guard(l.lock);
    return l.files;
}

void ExportTempFiles::DeleteExportTempFiles()
{
    TempFileList& l = List();
    QStringList files;
    {
        std::lock_guard<std::mutex> guard(l.lock);
        files.swap(l.files);
    }
    for (const QString& f : files)
        QFile::remove(f);
}
