#include "base/SecureWipe.h"

#include <openssl/crypto.h>

void SecureWipe(const QString& text)
{
    if (!text.isEmpty() && text.data_ptr().isMutable())
        OPENSSL_cleanse(const_cast<QChar*>(text.constData()), static_cast<std::size_t>(text.size()) * sizeof(QChar));
}

void SecureWipe(const QByteArray& bytes)
{
    if (!bytes.isEmpty() && const_cast<QByteArray&>(bytes).data_ptr().isMutable())
        OPENSSL_cleanse(const_cast<char*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}
