#include "base/TSecureStringImpl.h"

#include "base/EDataProtectionError.h"
#include "base/EInvalidOpException.h"
#include "base/SecureWipe.h"
#include "base/TRunProtection.h"

#include <QCryptographicHash>
#include <QScopeGuard>

namespace {

QByteArray Md5(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

QString Hex(const QByteArray& data)
{
    return QString::fromLatin1(data.toHex().toUpper());
}

} // namespace

TSecureStringImpl::TSecureStringImpl(const QString& AStr)
{
    Protect(AStr);
}

std::unique_ptr<TSecureStringImpl> TSecureStringImpl::CreateFromEncrypted(const QString& AEncrypted)
{
    std::unique_ptr<TSecureStringImpl> impl(new TSecureStringImpl);
    // Strict decoding: a stray character means the text was damaged, and reading around it would
    // pass off damaged data (or none) as a protected value. The message states the length only: the
    // text is protected data, and messages end up in logs.
    auto decoded = QByteArray::fromBase64Encoding(AEncrypted.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || AEncrypted.size() % 4 != 0)
        throw EDataProtectionError(
            QStringLiteral("The protected text is not Base64 (%1 characters)").arg(AEncrypted.size()));
    impl->FBuffer = std::move(*decoded);
    impl->FBufferHash = Md5(impl->FBuffer);
    return impl;
}

TSecureStringImpl::~TSecureStringImpl()
{
    SecureWipe(FBuffer);
}

void TSecureStringImpl::Protect(const QString& text)
{
    SecureWipe(FBuffer);
    FBuffer.clear();
    if (text.isEmpty())
        return;
    // The text's own UTF-16 memory is read in place, so no further plain copy exists.
    const QByteArray plain = QByteArray::fromRawData(reinterpret_cast<const char*>(text.utf16()),
                                                     text.size() * qsizetype(sizeof(char16_t)));
    FBuffer = TRunProtection::Protect(plain);
    FBufferHash = Md5(FBuffer);
}

void TSecureStringImpl::DecryptToString(QString& ABuffer) const
{
    SecureWipe(ABuffer);
    ABuffer.clear();
    if (IsEmpty())
        return;
    QByteArray plain;
    const auto wipePlain = qScopeGuard([&] { SecureWipe(plain); });
    try {
        plain = TRunProtection::Unprotect(FBuffer);
    } catch (const EDataProtectionError& e) {
        const QString crlf = QStringLiteral("\r\n");
        throw EDataProtectionError(e.Message() + crlf +
                                   QStringLiteral("Entropy length: %1").arg(TRunProtection::EntropyLength) + crlf +
                                   QStringLiteral("Buffer length: %1").arg(FBuffer.size()) + crlf +
                                   QStringLiteral("Buffer hash (original): ") + Hex(FBufferHash) + crlf +
                                   QStringLiteral("Buffer hash (current): ") + Hex(Md5(FBuffer)) + crlf +
                                   QStringLiteral("Buffer (Base64): ") + EncryptedString());
    }
    if (plain.size() % 2 != 0)
        throw EInvalidOpException(QStringLiteral("Wrong length of encrypted data"));
    ABuffer = QString(reinterpret_cast<const QChar*>(plain.constData()), plain.size() / 2);
}

QString TSecureStringImpl::EncryptedString() const
{
    return QString::fromLatin1(FBuffer.toBase64());
}

bool TSecureStringImpl::IsEmpty() const
{
    return FBuffer.isEmpty();
}

std::shared_ptr<ISecureStringImpl> CreateSecureStringImpl(const QString& AStr)
{
    return std::make_shared<TSecureStringImpl>(AStr);
}

std::shared_ptr<ISecureStringImpl> CreateSecureStringImplFromEncrypted(const QString& AEncrypted)
{
    return TSecureStringImpl::CreateFromEncrypted(AEncrypted);
}
