#include "platform/data/BlobStream.h"

#include "platform/data/BlobField.h"
#include "platform/data/EDatabaseError.h"

#include <algorithm>
#include <cstring>

TBlobStream::TBlobStream(TBlobField* field, TBlobStreamMode mode)
    : m_field(field)
    , m_mode(mode)
{
    if (!field)
        throw EDatabaseError(QStringLiteral("Blob stream without a field"));
    if (mode != TBlobStreamMode::bmWrite)
        m_data = field->AsBytes();
}

TBlobStream::TBlobStream(const QByteArray& bytes)
    : m_data(bytes)
{
}

TBlobStream::~TBlobStream() = default;

qint64 TBlobStream::Read(char* buffer, qint64 count)
{
    const qint64 n = std::clamp<qint64>(Size() - m_pos, 0, std::max<qint64>(count, 0));
    if (n > 0)
        std::memcpy(buffer, m_data.constData() + m_pos, size_t(n));
    m_pos += n;
    return n;
}

qint64 TBlobStream::Write(const char* buffer, qint64 count)
{
    if (m_mode == TBlobStreamMode::bmRead)
        throw EDatabaseError(QStringLiteral("Cannot write to a blob opened for reading"));
    if (count <= 0)
        return 0;
    if (m_pos + count > Size())
        m_data.resize(m_pos + count);
    std::memcpy(m_data.data() + m_pos, buffer, size_t(count));
    m_pos += count;
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
    m_data.resize(size);
    m_pos = std::min(m_pos, size);
}

void TBlobStream::SetPosition(qint64 position)
{
    m_pos = std::clamp<qint64>(position, 0, Size());
}

void TBlobStream::Commit()
{
    if (!m_field)
        throw EDatabaseError(QStringLiteral("Blob stream without a field"));
    if (m_mode == TBlobStreamMode::bmRead)
        throw EDatabaseError(QStringLiteral("Cannot write to a blob opened for reading"));
    m_field->SetAsBytes(m_data);
}
