#include "base/TCertFolderStore.h"

#include "base/EIdOSSLStorageOpenError.h"
#include "base/Logger.h"
#include "base/SecureWipe.h"

#include <QFile>
#include <QScopeGuard>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <algorithm>
#include <filesystem>

namespace {

// Never prompt on a terminal for the password of an encrypted key.
int NoPassword(char*, int, int, void*)
{
    return -1;
}

BIOPtr ReadBuffer(const QByteArray& content)
{
    return BIOPtr(BIO_new_mem_buf(content.constData(), static_cast<int>(content.size())));
}

} // namespace

TCertFolderStore TCertFolderStore::Open(const QString& folder)
{
    namespace fs = std::filesystem;
    const fs::path dir(folder.toStdString());
    std::error_code error;
    if (folder.isEmpty())
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    else if (!fs::is_directory(dir, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    fs::directory_iterator it;
    if (!error)
        it = fs::directory_iterator(dir, error);
    if (error)
        throw EIdOSSLStorageOpenError(QStringLiteral("Could not open certificate storage: %1")
                                          .arg(QString::fromLocal8Bit(error.message())));
    std::vector<fs::path> files;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        if (it->is_regular_file(error))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());

    TCertFolderStore store;
    for (const fs::path& path : files) {
        QFile file(QString::fromStdString(path.string()));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // One byte past the limit is read, so a file that grew after the size check is caught too.
        const QByteArray content = file.size() > MaxFileSize ? QByteArray() : file.read(MaxFileSize + 1);
        const auto wipe = qScopeGuard([&] { SecureWipe(content); }); // it may hold a private key
        if (file.size() > MaxFileSize || content.size() > MaxFileSize) {
            LogWarn(QStringLiteral("Certificate store file passed over: larger than %1 bytes").arg(MaxFileSize),
                    QStringLiteral("TCertFolderStore"), file.fileName(), 0, LogCategories({TLogCategory::System}));
            continue;
        }
        store.ReadFile(content);
    }
    ERR_clear_error();
    return store;
}

void TCertFolderStore::ReadFile(const QByteArray& content)
{
    bool found = false;
    {
        BIOPtr bio = ReadBuffer(content);
        while (X509* certificate = PEM_read_bio_X509(bio.get(), nullptr, NoPassword, nullptr)) {
            FEntries.push_back({X509Ptr(certificate), nullptr});
            found = true;
        }
    }
    {
        BIOPtr bio = ReadBuffer(content);
        while (EVP_PKEY* key = PEM_read_bio_PrivateKey(bio.get(), nullptr, NoPassword, nullptr)) {
            FKeys.emplace_back(key);
            found = true;
        }
    }
    if (found)
        return;

    BIOPtr bio = ReadBuffer(content);
    if (PKCS12Ptr p12{d2i_PKCS12_bio(bio.get(), nullptr)}) {
        EVP_PKEY* key = nullptr;
        X509* certificate = nullptr;
        if (PKCS12_parse(p12.get(), "", &key, &certificate, nullptr) == 1 ||
            PKCS12_parse(p12.get(), nullptr, &key, &certificate, nullptr) == 1) {
            if (certificate)
                FEntries.push_back({X509Ptr(certificate), EVP_PKEYPtr(key)});
            else
                EVP_PKEY_free(key);
        }
        return;
    }
    const auto* der = reinterpret_cast<const unsigned char*>(content.constData());
    if (X509* certificate = d2i_X509(nullptr, &der, static_cast<long>(content.size())))
        FEntries.push_back({X509Ptr(certificate), nullptr});
}

QByteArray TCertFolderStore::SHA1Of(X509* certificate)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha1(), digest, &length) != 1)
        return {};
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length));
}

const TCertFolderStore::TEntry* TCertFolderStore::FindBySHA1(const QByteArray& sha1) const
{
    for (const TEntry& entry : FEntries)
        if (SHA1Of(entry.Certificate.get()) == sha1)
            return &entry;
    return nullptr;
}

EVP_PKEY* TCertFolderStore::KeyFor(const TEntry& entry) const
{
    if (entry.Key)
        return entry.Key.get();
    for (const EVP_PKEYPtr& key : FKeys)
        if (X509_check_private_key(entry.Certificate.get(), key.get()) == 1)
            return key.get();
    ERR_clear_error();
    return nullptr;
}
