#include "base/TRunProtection.h"

#include "base/EDataProtectionError.h"
#include "base/SecureWipe.h"

#include <QScopeGuard>
#include <QtEndian>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

constexpr int KeyLength = 32;
constexpr int NonceLength = 12;
constexpr int TagLength = 16;
constexpr int RunBytesLength = TRunProtection::RunBytesLength;

// The run's secret state: made once, wiped when the program ends.
struct TRunSecret
{
    unsigned char Key[KeyLength];
    unsigned char RunBytes[RunBytesLength];

    TRunSecret()
    {
        if (RAND_priv_bytes(Key, KeyLength) != 1 || RAND_bytes(RunBytes, RunBytesLength) != 1)
            throw EDataProtectionError(QStringLiteral("No random bytes for the run's protection key"));
    }
    ~TRunSecret()
    {
        OPENSSL_cleanse(Key, sizeof Key);
        OPENSSL_cleanse(RunBytes, sizeof RunBytes);
    }
    TRunSecret(const TRunSecret&) = delete;
    TRunSecret& operator=(const TRunSecret&) = delete;
};

const TRunSecret& RunSecret()
{
    static const TRunSecret secret;
    return secret;
}

QString CryptoReason(const char* fallback)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QString::fromLatin1(fallback);
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromLatin1(text);
}

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

CipherContext NewContext()
{
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx)
        throw EDataProtectionError(CryptoReason("Out of memory"));
    return ctx;
}

const unsigned char* Bytes(const QByteArray& data)
{
    return reinterpret_cast<const unsigned char*>(data.constData());
}

} // namespace

QByteArray TRunProtection::Entropy()
{
    // The routine's address binds the data to this program's image as loaded in this run.
    const auto routine = reinterpret_cast<quintptr>(&TRunProtection::Entropy);
    QByteArray entropy(EntropyLength, Qt::Uninitialized);
    qToLittleEndian<quint32>(static_cast<quint32>(::getpid()), entropy.data());
    qToLittleEndian<quint32>(static_cast<quint32>(routine), entropy.data() + 4);
    std::memcpy(entropy.data() + EntropyLength - RunBytesLength, RunSecret().RunBytes, RunBytesLength);
    return entropy;
}

QByteArray TRunProtection::Protect(const QByteArray& plain)
{
    const TRunSecret& secret = RunSecret();
    QByteArray entropy = Entropy();
    const auto wipeEntropy = qScopeGuard([&] { SecureWipe(entropy); });

    QByteArray out(NonceLength + plain.size() + TagLength, Qt::Uninitialized);
    auto* nonce = reinterpret_cast<unsigned char*>(out.data());
    if (RAND_bytes(nonce, NonceLength) != 1)
        throw EDataProtectionError(CryptoReason("No random bytes"));
    auto* cipherText = nonce + NonceLength;
    CipherContext ctx = NewContext();
    int length = 0;
    const bool ok =
        EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, secret.Key, nonce) == 1 &&
        EVP_EncryptUpdate(ctx.get(), nullptr, &length, Bytes(entropy), static_cast<int>(entropy.size())) == 1 &&
        EVP_EncryptUpdate(ctx.get(), cipherText, &length, Bytes(plain), static_cast<int>(plain.size())) == 1 &&
        EVP_EncryptFinal_ex(ctx.get(), cipherText + length, &length) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, TagLength, cipherText + plain.size()) == 1;
    if (!ok) {
        SecureWipe(out);
        throw EDataProtectionError(CryptoReason("Encryption failed"));
    }
    return out;
}

QByteArray TRunProtection::Unprotect(const QByteArray& encrypted)
{
    if (encrypted.size() < NonceLength + TagLength)
        throw EDataProtectionError(QStringLiteral("The protected data is too short"));
    const TRunSecret& secret = RunSecret();
    QByteArray entropy = Entropy();
    const auto wipeEntropy = qScopeGuard([&] { SecureWipe(entropy); });

    const unsigned char* nonce = Bytes(encrypted);
    const unsigned char* cipherText = nonce + NonceLength;
    const int cipherLength = static_cast<int>(encrypted.size()) - NonceLength - TagLength;
    QByteArray plain(cipherLength, Qt::Uninitialized);
    auto* plainBytes = reinterpret_cast<unsigned char*>(plain.data());
    CipherContext ctx = NewContext();
    int length = 0;
    const bool ok =
        EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, secret.Key, nonce) == 1 &&
        EVP_DecryptUpdate(ctx.get(), nullptr, &length, Bytes(entropy), static_cast<int>(entropy.size())) == 1 &&
        EVP_DecryptUpdate(ctx.get(), plainBytes, &length, cipherText, cipherLength) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, TagLength,
                            const_cast<unsigned char*>(cipherText + cipherLength)) == 1 &&
        EVP_DecryptFinal_ex(ctx.get(), plainBytes + length, &length) == 1;
    if (!ok) {
        SecureWipe(plain);
        throw EDataProtectionError(CryptoReason(
            "The protected data does not verify: it is damaged or was made by another process or run"));
    }
    return plain;
}
