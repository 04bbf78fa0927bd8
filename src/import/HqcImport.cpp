// The loader's entry to the .hqc reader: reads the file's bytes and hands them to the reader.

#include "import/FileBytes.h"
#include "import/HqcReader.h"
#include "import/KtrErrors.h"
#include "import/Readers.h"
#include "import/StanForD2010Errors.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

void ImportHQCFile(const QString& sFileName, TAnalysisModel& model)
{
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        // Only a missing file is "not found"; one that is there but cannot be read says why.
        if (!QFileInfo::exists(sFileName))
            StanForD2010Errors::RaiseUserError(QStringLiteral("Fails \"%1\" nav atrasts!").arg(sFileName));
        KtrErrors::RaiseFileError(sFileName, file.errorString());
    }
    QByteArray bytes = FileBytes::ReadAll(file);
    if (file.error() != QFileDevice::NoError)
        KtrErrors::RaiseFileError(sFileName, file.errorString());
    file.close();
    // Handed over, so that the document is parsed in these bytes rather than in a copy.
    TCSStanDForFileHQC::ImportDocument(std::move(bytes), sFileName, model);
}
