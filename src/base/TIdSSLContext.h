#pragma once

#include "base/OpenSSLPointers.h"
#include "base/TIdSSLOptions.h"

#include <QString>
#include <functional>
#include <memory>

enum class TIdSSLCtxMode : quint8 { Client, Server };

// A TLS context over OpenSSL. InitContext makes the OpenSSL context and chooses its certificate:
// - CertStorage and CertSHA1: the certificate with that thumbprint from the store, with its key
//   when the store holds one (a missing key is not an error: the context simply has none);
// - CertStorage alone: every certificate of the store is trusted, and the peer is verified
//   against them unless VerifyMode is set;
// - no CertStorage: root certificate, certificate, key and DH parameters from files, the
//   certificate and key falling back to CertX509 and CertEVP_PKEY.
class TIdSSLContext : public TIdSSLSettings
{
public:
    // Called for each certificate checked during a handshake; returns whether to accept it.
    using TVerifyPeerEvent = std::function<bool(X509* Certificate, bool AOk, int ADepth, int AError)>;
    using TStatusInfoEvent = std::function<void(const QString& AMsg)>;

    TIdSSLContext() = default;
    ~TIdSSLContext();
    TIdSSLContext(const TIdSSLContext&) = delete;
    TIdSSLContext& operator=(const TIdSSLContext&) = delete;

    // Set by the handler from whether its verify and status events are assigned.
    bool VerifyOn = false;
    bool StatusInfoOn = false;
    // Taken as they are when InitContext runs: the OpenSSL context keeps its own copy, so that a
    // connection made from it may outlive this object.
    TVerifyPeerEvent OnVerifyPeer;
    TStatusInfoEvent OnStatusInfo;

    // Takes every setting of the options.
    void ReadOptions(const TIdSSLOptions& options);
    // A new, uninitialised context with the same settings and events.
    std::unique_ptr<TIdSSLContext> Clone() const;

    // Makes the OpenSSL context; throws EIdOpenSSLError (or one of the store errors) on failure.
    void InitContext(TIdSSLCtxMode CtxMode);
    SSL_CTX* Context() const { return FContext.get(); }

    // The certificate from CertFile, else CertX509; false with neither or on failure.
    bool LoadCert();
    // The key from KeyFile, else CertEVP_PKEY, checked against the certificate; false with neither,
    // on failure or when the key does not match.
    bool LoadKey();
    bool LoadRootCert();
    bool LoadDHParams();

private:
    bool TrustsStore() const;
    void SelectCertificate();
    void UseStoreCertificate();
    void TrustStore();
    void LoadFromFiles();
    void SetVerify();

    SSL_CTXPtr FContext;
};
