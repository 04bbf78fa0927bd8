#include "base/TSecureString.h"

#include "base/SecureWipe.h"
#include "base/TSecureStringImpl.h"

#include <QScopeGuard>
#include <openssl/crypto.h>

TSecureString TSecureString::CreateFromString(const QString& AStr)
{
    TSecureString value;
    value.AssignString(AStr);
    return value;
}

void TSecureString::AssignString(const QString& AStr)
{
    FStr = AStr.isEmpty() ? nullptr : CreateSecureStringImpl(AStr);
}

QString TSecureString::EncryptedText() const
{
    return FStr ? FStr->EncryptedString() : QString();
}

void TSecureString::SetEncryptedText(const QString& AText)
{
    FStr = AText.isEmpty() ? nullptr : CreateSecureStringImplFromEncrypted(AText);
}

void TSecureString::DecryptToString(QString& ABuffer) const
{
    ClearString(ABuffer);
    ABuffer.clear();
    if (FStr)
        FStr->DecryptToString(ABuffer);
}

bool TSecureString::IsEmpty() const
{
    return !FStr || FStr->IsEmpty();
}

bool TSecureString::Equals(const TSecureString& ASecStr) const
{
    if (IsEmpty() || ASecStr.IsEmpty())
        return IsEmpty() && ASecStr.IsEmpty();
    QString mine;
    QString theirs;
    const auto wipe = qScopeGuard([&] {
        ClearString(mine);
        ClearString(theirs);
    });
    DecryptToString(mine);
    ASecStr.DecryptToString(theirs);
    // In time that does not depend on where the texts differ, so timing tells nothing of a secret.
    return mine.size() == theirs.size() &&
           CRYPTO_memcmp(mine.constData(), theirs.constData(), static_cast<std::size_t>(mine.size()) * sizeof(QChar)) == 0;
}

void TSecureString::Empty()
{
    FStr.reset();
}

QString TSecureString::EncryptString(const QString& AStr)
{
    return CreateSecureStringImpl(AStr)->EncryptedString();
}

void TSecureString::DecryptString(const QString& AEncrypted, QString& ABuffer)
{
    CreateSecureStringImplFromEncrypted(AEncrypted)->DecryptToString(ABuffer);
}

void TSecureString::ClearString(const QString& AStr)
{
    SecureWipe(AStr);
}

void TSecureString::ClearBytes(const QByteArray& ABytes)
{
    SecureWipe(ABytes);
}

void TSecureString::AppendString(QString& ABuffer, const QString& AStr)
{
    if (AStr.isEmpty())
        return;
    QString joined;
    joined.reserve(ABuffer.size() + AStr.size());
    joined += ABuffer;
    joined += AStr;
    ClearString(ABuffer);
    ABuffer = joined;
}
