#pragma once

#include "platform/data/DBTypes.h"

#include <QByteArray>

class TBlobField;

// An in-memory stream over the bytes of a blob field of the current record. Reading modes start
// with the field's bytes, bmWrite with none; Commit stores the bytes back into the field (the
// dataset must be in edit or insert state).
class TBlobStream {
public:
    TBlobStream(TBlobField* field, TBlobStreamMode mode);
    // A stream over bytes of its own, bound to no field.
    explicit TBlobStream(const QByteArray& bytes = QByteArray());
    virtual ~TBlobStream();
    TBlobStream(const TBlobStream&) = delete;
    TBlobStream& operator=(const TBlobStream&) = delete;

    qint64 Read(char* buffer, qint64 count);
    virtual qint64 Write(const char* buffer, qint64 count);
    // Writes count bytes of bytes from offset on.
    virtual qint64 Write(const QByteArray& bytes, qint64 offset, qint64 count);
    qint64 Size() const { return FData.size(); }
    virtual void SetSize(qint64 size);
    qint64 Position() const { return FPos; }
    void SetPosition(qint64 position);
    const QByteArray& Data() const { return FData; }

    TBlobField* Field() const { return FField; }
    TBlobStreamMode Mode() const { return FMode; }
    // Stores the bytes into the field; raises for a read-only stream or without a field.
    virtual void Commit();

private:
    TBlobField* FField = nullptr;
    TBlobStreamMode FMode = TBlobStreamMode::bmReadWrite;
    QByteArray FData;
    qint64 FPos = 0;
};
