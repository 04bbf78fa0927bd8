#include "import/FileBytes.h"

#include <algorithm>

namespace FileBytes {

QByteArray ReadAll(QFile& file)
{
    const qint64 expected = file.size() - file.pos();
    if (file.isSequential() || expected <= 0)
        return file.readAll();
    QByteArray bytes(qsizetype(expected), Qt::Uninitialized);
    const qint64 got = file.read(bytes.data(), expected);
    bytes.truncate(qsizetype(std::max<qint64>(got, 0)));
    // A file that grew while it was read still comes whole.
    if (got == expected && !file.atEnd())
        bytes += file.readAll();
    return bytes;
}

} // namespace FileBytes
