#pragma once

// Keys and certificates made on the spot for the TLS tests, written as PEM, DER or PKCS#12 files.

#include "base/OpenSSLPointers.h"

#include <QByteArray>
#include <QString>
#include <openssl/dh.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace testcerts {

inline EVP_PKEYPtr MakeKey()
{
    return EVP_PKEYPtr(EVP_EC_gen("P-256"));
}

// Signed by issuer (self-signed without one); valid from an hour ago for a day.
inline X509Ptr MakeCert(const char* commonName, EVP_PKEY* key, bool ca, X509* issuer = nullptr,
                        EVP_PKEY* issuerKey = nullptr)
{
    static long serial = 1;
    X509Ptr cert(X509_new());
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 86400);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1,
                               -1, 0);
    X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : name);
    X509V3_CTX v3;
    X509V3_set_ctx_nodb(&v3);
    X509V3_set_ctx(&v3, issuer ? issuer : cert.get(), cert.get(), nullptr, nullptr, 0);
    X509_EXTENSION* constraints =
        X509V3_EXT_conf_nid(nullptr, &v3, NID_basic_constraints, ca ? "critical,CA:TRUE" : "CA:FALSE");
    X509_add_ext(cert.get(), constraints, -1);
    X509_EXTENSION_free(constraints);
    X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256());
    return cert;
}

inline BIOPtr FileBio(const QString& path)
{
    return BIOPtr(BIO_new_file(path.toLocal8Bit().constData(), "wb"));
}

inline void WritePem(const QString& path, X509* cert, EVP_PKEY* key = nullptr)
{
    BIOPtr bio = FileBio(path);
    if (cert)
        PEM_write_bio_X509(bio.get(), cert);
    if (key)
        PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
}

inline void WriteDer(const QString& path, X509* cert)
{
    i2d_X509_bio(FileBio(path).get(), cert);
}

inline void WritePkcs12(const QString& path, X509* cert, EVP_PKEY* key)
{
    PKCS12Ptr p12(PKCS12_create("", "test", key, cert, nullptr, 0, 0, 0, 0, 0));
    i2d_PKCS12_bio(FileBio(path).get(), p12.get());
}

inline void WriteDHParams(const QString& path)
{
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "DH", nullptr);
    EVP_PKEY* params = nullptr;
    EVP_PKEY_paramgen_init(ctx);
    EVP_PKEY_CTX_set_dh_nid(ctx, NID_ffdhe2048);
    EVP_PKEY_paramgen(ctx, &params);
    PEM_write_bio_Parameters(FileBio(path).get(), params);
    EVP_PKEY_free(params);
    EVP_PKEY_CTX_free(ctx);
}

// "AB:CD:..." upper case with colons, as a certificate viewer shows it.
inline QString Thumbprint(X509* cert)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(cert, EVP_sha1(), digest, &length);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), length).toHex(':').toUpper());
}

} // namespace testcerts
