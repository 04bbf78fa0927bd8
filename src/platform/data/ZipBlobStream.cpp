#include "platform/data/ZipBlobStream.h"

#include "platform/data/EDatabaseError.h"

namespace {
TZipBlobStream::Factory& RegisteredFactory()
{
    static TZipBlobStream::Factory factory;
    return factory;
}
} // namespace

TZipBlobStream::TZipBlobStream(std::unique_ptr<TBlobStream> blobStream, TBlobField* /*field*/,
                               TBlobStreamMode mode)
    : TBlobStream(QByteArray())
    , FBlobStream(std::move(blobStream))
    , FMode(mode)
{
}

TZipBlobStream::~TZipBlobStream() = default;

qint64 TZipBlobStream::Write(const char* buffer, qint64 count)
{
    FModified = true;
    return TBlobStream::Write(buffer, count);
}

qint64 TZipBlobStream::Write(const QByteArray& bytes, qint64 offset, qint64 count)
{
    FModified = true;
    return TBlobStream::Write(bytes, offset, count);
}

void TZipBlobStream::SetSize(qint64 size)
{
    if (size != Size())
        FModified = true;
    TBlobStream::SetSize(size);
}

void TZipBlobStream::SetZipBlobStreamImpl(Factory factory)
{
    RegisteredFactory() = std::move(factory);
}

bool TZipBlobStream::IsZipBlobStreamsEnabled()
{
    return bool(RegisteredFactory());
}

std::unique_ptr<TZipBlobStream> TZipBlobStream::CreateZipBlobStream(std::unique_ptr<TBlobStream> blobStream,
                                                                    TBlobField* field, TBlobStreamMode mode)
{
    if (!RegisteredFactory())
        throw EDatabaseError(QStringLiteral("ZipBlobStream implementation not speicified!"));
    return RegisteredFactory()(std::move(blobStream), field, mode);
}
