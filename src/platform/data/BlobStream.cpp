#include "platform/data/BlobStream.h"

#include "platform/data/BlobField.h"
#include "platform/data/EDatabaseError.h"

#include <algorithm>
#include <cstring>

TBlobStream::TBlobStream(TBlobField* field, TBlobStreamMode mode)
    : FField(field)
    , FMode(mode)
{
    if (!field)
        throw EDatabaseError(QStringLiteral("Blob stream without a field"));
    if (mode != TBlobStreamMode::bmWrite)
        FData = field->AsBytes();
}

TBlobStream::TBlobStream(const QByteArray& bytes)
    : FData(bytes)
{
}

TBlobStream::~TBlobStream() = default;

qint64 TBlobStream::Read(char* buffer, qint64 count)
{
    const qint64 n = std::clamp<qint64>(Size() - FPos, 0, std::max<qint64>(count, 0));
    if (n > 0)
        std::memcpy(buffer, FData.constData() + FPos, size_t(n));
    FPos += n;
    return n;
}

qint64 TBlobStream::Write(const char* buffer, qint64 count)
{
    if (FMode == TBlobStreamMode::bmRead)
        throw EDatabaseError(QStringLiteral("Cannot write to a blob opened for reading"));
    if (count <= 0)
        return 0;
    if (FPos + count > Size())
        FData.resize(FPos + count);
    std::memcpy(FData.data() + FPos, buffer, size_t(count));
    FPos += count;
    return count;
}

qint64 TBlobStream::Write(const QByteArray& bytes, qint64 offset, qint64 count)
{
    if (offset < 0 || count < 0 || offset + count > bytes.size())
        throw EDatabaseError(QStringLiteral("Blob write outside the given bytes"));
    return TBlobStream::Write(bytes.constData() + offset, count);
}

void TBlobStream::SetSize(qint64 size)
{
    if (size < 0)
        throw EDatabaseError(QStringLiteral("Invalid blob size %1").arg(size));
    FData.resize(size);
    FPos = std::min(FPos, size);
}

void TBlobStream::SetPosition(qint64 position)
{
    FPos = std::clamp<qint64>(position, 0, Size());
}

void TBlobStream::Commit()
{
    if (!FField)
        throw EDatabaseError(QStringLiteral("Blob stream without a field"));
    if (FMode == TBlobStreamMode::bmRead)
        throw EDatabaseError(QStringLiteral("Cannot write to a blob opened for reading"));
    FField->SetAsBytes(FData);
}
