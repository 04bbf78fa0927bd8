#include "export/TOpenDocument.h"

#include "base/KelpUtils.h"
#include "base/TempDirectory.h"
#include "export/ExportProgress.h"
#include "export/TODF_DownloadOO.h"
#include "platform/data/DataSet.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/Exception.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <cstdlib>
#include <cstring>
#include <zip.h>

namespace {

zip_t* Zip(void* p) { return static_cast<zip_t*>(p); }

QString WithExtension(const QString& fileName, const QString& ext)
{
    const QFileInfo fi(fileName);
    const QString dir = fi.path() == QLatin1String(".") && !fileName.contains(QLatin1Char('/'))
                            ? QString()
                            : fi.path() + QLatin1Char('/');
    const QString name = fi.fileName();
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    return dir + (dot >= 0 ? name.left(dot) : name) + ext;
}

QString ZipError(zip_t* z)
{
    return z ? QString::fromUtf8(zip_strerror(z)) : QString();
}

} // namespace

TOpenDocument::TOpenDocument() : FTempDirectory(GetTempDirectory()) { }

TOpenDocument::~TOpenDocument()
{
    if (FZipper)
        zip_discard(Zip(FZipper));
    if (FDataset && FDatasetNotice >= 0)
        FDataset->RemoveFreeNotification(FDatasetNotice);
}

void TOpenDocument::SetDataset(TDataSet* value)
{
    if (FDataset && FDatasetNotice >= 0)
        FDataset->RemoveFreeNotification(FDatasetNotice);
    FDatasetNotice = -1;
    FDataset = value;
    if (FDataset)
        FDatasetNotice = FDataset->AddFreeNotification([this](TDataSet*) {
            FDataset = nullptr;
            FDatasetNotice = -1;
        });
}

void TOpenDocument::AddPart(const QString& name, const QByteArray& data)
{
    // The archive reads its sources when it is closed, so it gets its own copy to free.
    void* copy = std::malloc(size_t(std::max<qsizetype>(data.size(), 1)));
    if (!copy)
        throw Exception(QStringLiteral("Out of memory"));
    std::memcpy(copy, data.constData(), size_t(data.size()));
    zip_source_t* src = zip_source_buffer(Zip(FZipper), copy, zip_uint64_t(data.size()), 1);
    if (!src) {
        std::free(copy);
        throw Exception(QStringLiteral("Cannot add \"%1\" to the package: %2").arg(name, ZipError(Zip(FZipper))));
    }
    const QByteArray utf8 = name.toUtf8();
    if (zip_file_add(Zip(FZipper), utf8.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(src);
        throw Exception(QStringLiteral("Cannot add \"%1\" to the package: %2").arg(name, ZipError(Zip(FZipper))));
    }
}

void TOpenDocument::Execute(bool, bool)
{
    if (!FDataset)
        throw Exception(QStringLiteral("DataSet not specified"));
    if (FProgressCount > 0)
        ExportProgress::Start(FProgressCount);

    QString zipName;
    if (!FOutputFileName.isEmpty()) {
        zipName = WithExtension(FOutputFileName, QStringLiteral(".zip"));
    } else {
        QString dir = FTempDirectory;
        if (!dir.endsWith(QLatin1Char('/')))
            dir += QLatin1Char('/');
        QTemporaryFile temp(dir + QStringLiteral("XXXXXXXX.tmp"));
        temp.setAutoRemove(false);
        if (!temp.open())
            throw Exception(QStringLiteral("Cannot create a temporary file in \"%1\": %2").arg(dir, temp.errorString()));
        const QString tempName = temp.fileName();
        temp.close();
        zipName = WithExtension(tempName, QStringLiteral(".zip"));
        QFile::remove(zipName);
        if (!QFile::rename(tempName, zipName)) {
            QFile::remove(tempName);
            throw Exception(QStringLiteral("Cannot rename \"%1\" to \"%2\"").arg(tempName, zipName));
        }
        FOutputFileName = WithExtension(tempName, FFileExtension);
    }

    // A package that fails half way leaves no file behind.
    struct ZipGuard
    {
        void*& zipper;
        QString name;
        bool done = false;
        ~ZipGuard()
        {
            if (zipper) {
                zip_discard(static_cast<zip_t*>(zipper));
                zipper = nullptr;
            }
            if (!done)
                QFile::remove(name);
        }
    } guard{FZipper, zipName};

    int err = 0;
    FZipper = zip_open(QFile::encodeName(zipName).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!FZipper) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        const QString msg = QString::fromUtf8(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        throw Exception(QStringLiteral("Cannot create \"%1\": %2").arg(zipName, msg));
    }
    WriteParts();
    if (zip_close(Zip(FZipper)) != 0)
        throw Exception(QStringLiteral("Cannot write \"%1\": %2").arg(zipName, ZipError(Zip(FZipper))));
    FZipper = nullptr;
    if (QFile::exists(FOutputFileName) && !QFile::remove(FOutputFileName))
        throw Exception(QStringLiteral("Cannot replace \"%1\"").arg(FOutputFileName));
    if (!QFile::rename(zipName, FOutputFileName))
        throw Exception(QStringLiteral("Cannot rename \"%1\" to \"%2\"").arg(zipName, FOutputFileName));
    guard.done = true;

    // A report without rows is no report.
    int count = 0;
    {
        const TDataSetGuard still(FDataset, TDataSetGuard::Controls);
        FShouldClose = !FDataset->Active();
        Fbookmark = TBookmark();
        if (FShouldClose)
            FDataset->Open();
        else if (!FDataset->IsEmpty())
            Fbookmark = FDataset->GetBookmark();
        count = FDataset->RecordCount();
        if (FShouldClose)
            FDataset->Close();
        else if (!Fbookmark.IsEmpty() && FDataset->BookmarkValid(Fbookmark))
            FDataset->GotoBookmark(Fbookmark);
    }
    if (count == 0) {
        QFile::remove(FOutputFileName);
        throw Exception(QStringLiteral("Atskaitē nav rindu!"));
    }
}

void TOpenDocument::OpenExportedFile()
{
    bool opened = false;
    {
        // The progress ends before the information window opens, so that nothing covers it.
        ExportProgress::Start(2);
        const auto end = qScopeGuard([] { ExportProgress::End(); });
        ExportProgress::Step();
        try {
            opened = KelpUtils::ShellServices().OpenFile(FOutputFileName);
        } catch (const std::exception&) {
            opened = false;
        }
        ExportProgress::Step();
    }
    if (opened)
        return;
    TODF_DownloadOO window;
    window.SetErrorStr(TODF_DownloadOO::Message(FOutputFileName));
    window.exec();
    if (window.cbOpenFolder->isChecked()) {
        const QString folder = QFileInfo(FOutputFileName).absolutePath();
        KelpUtils::ShellServices().OpenFile(QDir::toNativeSeparators(folder));
    }
}
