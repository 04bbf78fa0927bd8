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

    bool Modified() const { return m_modified; }
    const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& name) { m_fileName = name; }
    bool Autodetected() const { return m_autodetected; }
    TBlobStream* BlobStream() const { return m_blobStream.get(); }
    TBlobStreamMode StreamMode() const { return m_mode; }

    // Registers the implementation (an empty factory unregisters it).
    static void SetZipBlobStreamImpl(Factory factory);
    static bool IsZipBlobStreamsEnabled();
    // Raises EDatabaseError when no implementation is registered.
    static std::unique_ptr<TZipBlobStream> CreateZipBlobStream(std::unique_ptr<TBlobStream> blobStream,
                                                               TBlobField* field, TBlobStreamMode mode);

protected:
    void SetAutodetected(bool value) { m_autodetected = value; }
    void SetModified(bool value) { m_modified = value; }

private:
    std::unique_ptr<TBlobStream> m_blobStream;
    TBlobStreamMode m_mode;
    bool m_modified = false;
    QString m_fileName;
    bool m_autodetected = false;
};
