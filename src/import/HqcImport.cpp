// The loader's entry to the .hqc reader: reads the file's bytes and hands them to the reader.

#include "import/HqcReader.h"
#include "import/Readers.h"
#include "import/StanForD2010Errors.h"

#include <QFile>

void ImportHQCFile(const QString& sFileName, TAnalysisModel& model)
{
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly))
        StanForD2010Errors::RaiseUserError(QStringLiteral("Fails \"%1\" nav atrasts!").arg(sFileName));
    const QByteArray bytes = file.readAll();
    file.close();
    TCSStanDForFileHQC::ImportDocument(bytes, sFileName, model);
}
