#pragma once

#include <QString>
#include <openssl/evp.h>
#include <openssl/x509.h>

enum class TIdSSLVersion : quint8 { TLSv1, TLSv1_1, TLSv1_2, TLSv1_3 };
// A set of TIdSSLVersion, bit n for version n.
using TIdSSLVersions = quint8;
inline constexpr TIdSSLVersions SSLVersionBit(TIdSSLVersion version)
{
    return TIdSSLVersions(1u << static_cast<unsigned>(version));
}

enum class TIdSSLMode : quint8 { Unassigned, Client, Server, Both };

// Peer verification flags, combined with |.
enum TIdSSLVerifyModeFlag : quint8 { sslvrfPeer = 1, sslvrfFailIfNoPeerCert = 2, sslvrfClientOnce = 4 };
using TIdSSLVerifyMode = quint8;

// Settings from which a TLS context is made, shared by the options and the context. The
// certificate can come from files, from a certificate store (a folder) chosen by thumbprint, or
// from a certificate and key already in memory; CertX509 and CertEVP_PKEY are not owned and must
// outlive the contexts made from them.
struct TIdSSLSettings
{
    QString RootCertFile;
    QString CertFile;
    QString KeyFile;
    QString DHParamsFile;
    QString CertStorage; // folder of the store; empty: no store
    QString CertSHA1;    // thumbprint, hexadecimal, either letter case, colons allowed anywhere
    X509* CertX509 = nullptr;
    EVP_PKEY* CertEVP_PKEY = nullptr;
    int VerifyDepth = 0;
    TIdSSLVerifyMode VerifyMode = 0;
    QString VerifyDirs;
    QString CipherList;
    TIdSSLVersion Method = TIdSSLVersion::TLSv1_2;
    TIdSSLMode Mode = TIdSSLMode::Unassigned;
    TIdSSLVersions SSLVersions = SSLVersionBit(TIdSSLVersion::TLSv1_2) | SSLVersionBit(TIdSSLVersion::TLSv1_3);
};
