#pragma once

#include "base/ISecureStringImpl.h"

#include <QByteArray>
#include <QString>
#include <memory>

// A secret text value (such as a password) kept in memory only in protected form; copies share
// the protected form. A protected form is readable only by the process and run that made it.
class TSecureString
{
public:
    TSecureString() = default;

    static TSecureString CreateFromString(const QString& AStr);
    void AssignString(const QString& AStr);

    QString EncryptedText() const;
    void SetEncryptedText(const QString& AText);

    void DecryptToString(QString& ABuffer) const;
    bool IsEmpty() const;
    // Compares the plain texts; both plain copies are wiped afterwards.
    bool Equals(const TSecureString& ASecStr) const;
    void Empty();

    static QString EncryptString(const QString& AStr);
    static void DecryptString(const QString& AEncrypted, QString& ABuffer);

    static void ClearString(const QString& AStr);
    static void ClearBytes(const QByteArray& ABytes);
    // ABuffer := ABuffer + AStr, wiping the old ABuffer; nothing for an empty AStr.
    static void AppendString(QString& ABuffer, const QString& AStr);

private:
    std::shared_ptr<ISecureStringImpl> FStr;
};
