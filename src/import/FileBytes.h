#pragma once

// The bytes of an opened file, read into a buffer of the file's own size: reading in growing
// steps can hold up to twice the file while a large control file is read.

#include <QByteArray>
#include <QFile>

namespace FileBytes {

// Everything from the file's position to its end. The caller checks file.error() afterwards.
QByteArray ReadAll(QFile& file);

} // namespace FileBytes
