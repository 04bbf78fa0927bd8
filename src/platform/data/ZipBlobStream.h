#pragma once

#include "platform/data/BlobStream.h"

#include <QString>

#include <functional>
#include <memory>

// A compressed blob stream over the plain blob stream of a field. Compression itself is left to
// an implementation registered at run time; without one, creating such a stream raises.
class TZipBlobStream : public TBlobStream {
public:
    using Factory = std::function<std::unique_ptr<TZipBlobStream>(std::unique_ptr<TBlobStream> blobStream,
                                                                  TBlobField* field, TBlobStreamMode mode)>;

    TZipBlobStream(std::unique_ptr<TBlobStream> blobStream, TBlobField* field, TBlobStreamMode mode);
    ~TZipBlobStream() override;

    qint64 Write(const char* buffer, qint64 count) override;
    qint64 Write(const QByteArray& bytes, qint64 offset, qint64 count) override;
    void SetSize(qint64 size) override;

    bool Modified() const { return FModified; }
    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& name) { FFileName = name; }
    bool Autodetected() const { return FAutodetected; }
    TBlobStream* BlobStream() const { return FBlobStream.get(); }
    TBlobStreamMode StreamMode() const { return FMode; }

    // Registers the implementation (an empty factory unregisters it).
    static void SetZipBlobStreamImpl(Factory factory);
    static bool IsZipBlobStreamsEnabled();
    // Raises EDatabaseError when no implementation is registered.
    static std::unique_ptr<TZipBlobStream> CreateZipBlobStream(std::unique_ptr<TBlobStream> blobStream,
                                                               TBlobField* field, TBlobStreamMode mode);

protected:
    void SetAutodetected(bool value) { FAutodetected = value; }
    void SetModified(bool value) { FModified = value; }

private:
    std::unique_ptr<TBlobStream> FBlobStream;
    TBlobStreamMode FMode;
    bool FModified = false;
    QString FFileName;
    bool FAutodetected = false;
};
