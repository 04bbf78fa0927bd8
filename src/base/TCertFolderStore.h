#pragma once

#include "base/OpenSSLPointers.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A certificate store kept as a folder of files: PEM (certificates and unencrypted keys, any
// number per file), PKCS#12 without a password (a certificate with its key) or a DER certificate.
// Files of any other kind are passed over, as are encrypted keys (there is nobody to ask for a
// password), and files larger than MaxFileSize, with a log entry.
class TCertFolderStore
{
public:
    // Far above any certificate or key file; a larger file is something else and is not read.
    static constexpr qint64 MaxFileSize = qint64(1) << 20;

    // Reads every file of the folder up to MaxFileSize; throws EIdOSSLStorageOpenError when the folder cannot be read.
    static TCertFolderStore Open(const QString& folder);

    struct TEntry
    {
        X509Ptr Certificate;
        EVP_PKEYPtr Key; // from the same PKCS#12 file, else none
    };

    const std::vector<TEntry>& Entries() const { return FEntries; }

    // The certificate whose SHA-1 digest of its DER form is sha1, or nullptr.
    const TEntry* FindBySHA1(const QByteArray& sha1) const;
    // The certificate's key: its own from PKCS#12, else a PEM key of the folder that matches it.
    EVP_PKEY* KeyFor(const TEntry& entry) const;

    static QByteArray SHA1Of(X509* certificate);

private:
    void ReadFile(const QByteArray& content);

    std::vector<TEntry> FEntries;
    std::vector<EVP_PKEYPtr> FKeys;
};
