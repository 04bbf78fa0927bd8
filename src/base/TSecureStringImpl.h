#pragma once

#include "base/ISecureStringImpl.h"

#include <QByteArray>
#include <memory>

// Holds one text protected for this process and run (see TRunProtection); an empty text holds no
// bytes at all.
class TSecureStringImpl : public ISecureStringImpl
{
public:
    // Protects AStr.
    explicit TSecureStringImpl(const QString& AStr);
    // Takes a protected form as EncryptedString gave it (Base64); any other text raises
    // EDataProtectionError.
    static std::unique_ptr<TSecureStringImpl> CreateFromEncrypted(const QString& AEncrypted);
    ~TSecureStringImpl() override;

    TSecureStringImpl(const TSecureStringImpl&) = delete;
    TSecureStringImpl& operator=(const TSecureStringImpl&) = delete;

    // Wipes ABuffer, then gives the plain text; a protected form that does not verify raises
    // EDataProtectionError carrying lines that help tell damage from a foreign run.
    void DecryptToString(QString& ABuffer) const override;
    QString EncryptedString() const override;
    bool IsEmpty() const override;

private:
    TSecureStringImpl() = default;
    void Protect(const QString& text);

    QByteArray FBuffer;
    QByteArray FBufferHash; // of FBuffer when made or read; kept for failure reports only
};

std::shared_ptr<ISecureStringImpl> CreateSecureStringImpl(const QString& AStr);
std::shared_ptr<ISecureStringImpl> CreateSecureStringImplFromEncrypted(const QString& AEncrypted);
