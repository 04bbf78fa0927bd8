#pragma once

// Reads a StanForD classic control file (.ktr) into the analysis model: every variable of the
// file as a raw row, then the header, one tree per stem block with its logs, the objects, and
// the diameter measurements dealt into the logs. Validation and derived values are the
// loader's work afterwards.

#include "import/AnalysisModel.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

class KtrReader {
public:
    KtrReader() = delete;

    // Reads the file's bytes into a model whose header the loader has prepared. Throws on a
    // text that does not convert; the model is then to be thrown away.
    static void Read(const char* data, std::size_t size, TAnalysisModel& model);
    static void Read(const QByteArray& bytes, TAnalysisModel& model);

    // Reads the whole file (opened for reading only) and then its bytes as above.
    static void ReadFile(const QString& sFileName, TAnalysisModel& model);
};
