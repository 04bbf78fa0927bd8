#pragma once

#include <QByteArray>
#include <QString>

// Builds a compound file (version 3, 512-byte sectors) holding one stream in its root
// storage, as binary workbooks need. A stream shorter than the 4096-byte mini-stream cutoff is
// padded with zero bytes to that length, so every stream lives in ordinary sectors.
class CompoundFileWriter
{
public:
    CompoundFileWriter() = delete;

    // Throws ESheetError for a name longer than 31 characters or a stream that a version 3
    // file cannot hold.
    static QByteArray Build(const QString& streamName, const QByteArray& stream);
};
