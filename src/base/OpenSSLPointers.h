#pragma once

// Owning pointers for the OpenSSL objects the TLS context and the certificate store keep.

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <memory>

template <auto Free>
struct TOpenSSLDeleter
{
    template <typename T>
    void operator()(T* object) const { Free(object); }
};

using X509Ptr = std::unique_ptr<X509, TOpenSSLDeleter<X509_free>>;
using EVP_PKEYPtr = std::unique_ptr<EVP_PKEY, TOpenSSLDeleter<EVP_PKEY_free>>;
using BIOPtr = std::unique_ptr<BIO, TOpenSSLDeleter<BIO_free_all>>;
using PKCS12Ptr = std::unique_ptr<PKCS12, TOpenSSLDeleter<PKCS12_free>>;
using SSL_CTXPtr = std::unique_ptr<SSL_CTX, TOpenSSLDeleter<SSL_CTX_free>>;
