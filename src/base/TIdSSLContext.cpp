#include "base/TIdSSLContext.h"

#include "base/EIdOSSLStorageFindCertError.h"
#include "base/TCertFolderStore.h"

#include <QScopeGuard>
#include <openssl/err.h>
#include <openssl/pem.h>

namespace {

// The reason OpenSSL gives for the last failure, on a line of its own; clears the queue.
QString Reason()
{
    const unsigned long code = ERR_get_error(); // the earliest entry names the root cause
    ERR_clear_error();
    if (code == 0)
        return {};
    char line[256];
    ERR_error_string_n(code, line, sizeof line);
    return u'\n' + QString::fromLatin1(line);
}

[[noreturn]] void Fail(const QString& message)
{
    throw EIdOpenSSLError(message + Reason());
}

QByteArray Path(const QString& file)
{
    return file.toLocal8Bit();
}

int NoPassword(char*, int, int, void*)
{
    return -1;
}

int ProtocolVersion(TIdSSLVersion version)
{
    switch (version) {
    case TIdSSLVersion::TLSv1: return TLS1_VERSION;
    case TIdSSLVersion::TLSv1_1: return TLS1_1_VERSION;
    case TIdSSLVersion::TLSv1_2: return TLS1_2_VERSION;
    case TIdSSLVersion::TLSv1_3: return TLS1_3_VERSION;
    }
    return 0;
}

// What the OpenSSL callbacks reach. The OpenSSL context owns its own copy (freed with it), so a
// connection that outlives this object, its handler having made a new context meanwhile, still
// finds its events.
struct TContextEvents
{
    TIdSSLContext::TVerifyPeerEvent OnVerifyPeer;
    TIdSSLContext::TStatusInfoEvent OnStatusInfo;
};

void FreeEvents(void*, void* events, CRYPTO_EX_DATA*, int, long, void*)
{
    delete static_cast<TContextEvents*>(events);
}

int EventsIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, FreeEvents);
    return index;
}

const TContextEvents* EventsOf(const SSL* ssl)
{
    return static_cast<const TContextEvents*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), EventsIndex()));
}

int VerifyCallback(int ok, X509_STORE_CTX* store)
{
    const auto* ssl = static_cast<const SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    const TContextEvents* events = ssl ? EventsOf(ssl) : nullptr;
    if (!events || !events->OnVerifyPeer)
        return ok;
    try {
        return events->OnVerifyPeer(X509_STORE_CTX_get_current_cert(store), ok == 1,
                                    X509_STORE_CTX_get_error_depth(store), X509_STORE_CTX_get_error(store))
                   ? 1
                   : 0;
    } catch (...) {
        return 0; // an event that fails cannot vouch for the certificate
    }
}

void InfoCallback(const SSL* ssl, int where, int ret)
{
    const TContextEvents* events = EventsOf(ssl);
    if (!events || !events->OnStatusInfo)
        return;
    try {
        events->OnStatusInfo(QString::fromLatin1(SSL_state_string_long(ssl)));
    } catch (...) {
        // Status lines are informative only; the handshake goes on.
    }
}

QByteArray ThumbprintBytes(const QString& thumbprint)
{
    QString hex = thumbprint;
    hex.remove(u':');
    hex = hex.toLower();
    for (QChar c : hex)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return {};
    if (hex.size() != 40)
        return {};
    return QByteArray::fromHex(hex.toLatin1());
}

} // namespace

TIdSSLContext::~TIdSSLContext() = default;

void TIdSSLContext::ReadOptions(const TIdSSLOptions& options)
{
    static_cast<TIdSSLSettings&>(*this) = options;
}

std::unique_ptr<TIdSSLContext> TIdSSLContext::Clone() const
{
    auto copy = std::make_unique<TIdSSLContext>();
    static_cast<TIdSSLSettings&>(*copy) = *this;
    copy->VerifyOn = VerifyOn;
    copy->StatusInfoOn = StatusInfoOn;
    copy->OnVerifyPeer = OnVerifyPeer;
    copy->OnStatusInfo = OnStatusInfo;
    return copy;
}

void TIdSSLContext::InitContext(TIdSSLCtxMode CtxMode)
{
    ERR_clear_error();
    // A context that failed half way is not kept: nobody may mistake it for a ready one.
    auto dropOnFailure = qScopeGuard([this] { FContext.reset(); });
    FContext.reset(SSL_CTX_new(CtxMode == TIdSSLCtxMode::Client ? TLS_client_method() : TLS_server_method()));
    if (!FContext)
        Fail(QStringLiteral("Could not create SSL context."));
    auto events = std::make_unique<TContextEvents>(TContextEvents{OnVerifyPeer, OnStatusInfo});
    if (EventsIndex() < 0 || SSL_CTX_set_ex_data(FContext.get(), EventsIndex(), events.get()) != 1)
        Fail(QStringLiteral("Could not create SSL context."));
    events.release(); // freed with the OpenSSL context

    TIdSSLVersions versions = SSLVersions ? SSLVersions : SSLVersionBit(Method);
    int lowest = 0;
    int highest = 0;
    for (auto v : {TIdSSLVersion::TLSv1, TIdSSLVersion::TLSv1_1, TIdSSLVersion::TLSv1_2, TIdSSLVersion::TLSv1_3})
        if (versions & SSLVersionBit(v)) {
            if (!lowest)
                lowest = ProtocolVersion(v);
            highest = ProtocolVersion(v);
        }
    if (SSL_CTX_set_min_proto_version(FContext.get(), lowest) != 1 ||
        SSL_CTX_set_max_proto_version(FContext.get(), highest) != 1)
        Fail(QStringLiteral("Could not set the SSL versions."));
    if (CtxMode == TIdSSLCtxMode::Server) {
        // Sessions resumed with client certificates need an id context.
        static const unsigned char sessionId[] = "Stumpwise";
        SSL_CTX_set_session_id_context(FContext.get(), sessionId, sizeof sessionId - 1);
    }

    SelectCertificate();

    if (!CipherList.isEmpty() && SSL_CTX_set_cipher_list(FContext.get(), CipherList.toLatin1().constData()) != 1)
        Fail(QStringLiteral("SetCipher failed."));
    SetVerify();
    dropOnFailure.dismiss();
}

bool TIdSSLContext::TrustsStore() const
{
    return !CertStorage.isEmpty() && CertSHA1.isEmpty();
}

void TIdSSLContext::SelectCertificate()
{
    if (TrustsStore())
        TrustStore();
    else if (!CertStorage.isEmpty())
        UseStoreCertificate();
    else
        LoadFromFiles();
}

void TIdSSLContext::UseStoreCertificate()
{
    const TCertFolderStore store = TCertFolderStore::Open(CertStorage);
    const QByteArray sha1 = ThumbprintBytes(CertSHA1);
    const TCertFolderStore::TEntry* entry = sha1.isEmpty() ? nullptr : store.FindBySHA1(sha1);
    if (!entry)
        throw EIdOSSLStorageFindCertError(
            QStringLiteral("Could not find certificate in storage: no certificate with thumbprint %1").arg(CertSHA1));
    if (SSL_CTX_use_certificate(FContext.get(), entry->Certificate.get()) != 1)
        throw EIdOSSLStorageFindCertError(QStringLiteral("Could not find certificate in storage: %1")
                                              .arg(Reason().mid(1)));
    // Without a usable key the context goes on without one; the handshake tells the peer.
    if (EVP_PKEY* key = store.KeyFor(*entry))
        if (SSL_CTX_use_PrivateKey(FContext.get(), key) == 1)
            SSL_CTX_check_private_key(FContext.get());
    ERR_clear_error();
}

void TIdSSLContext::TrustStore()
{
    const TCertFolderStore store = TCertFolderStore::Open(CertStorage);
    X509_STORE* trusted = SSL_CTX_get_cert_store(FContext.get());
    for (const TCertFolderStore::TEntry& entry : store.Entries())
        X509_STORE_add_cert(trusted, entry.Certificate.get());
    ERR_clear_error();
}

void TIdSSLContext::LoadFromFiles()
{
    if (!RootCertFile.isEmpty() && !LoadRootCert())
        Fail(QStringLiteral("Could not load root certificate."));
    if ((!CertFile.isEmpty() || CertX509) && !LoadCert())
        Fail(QStringLiteral("Could not load certificate."));
    if ((!KeyFile.isEmpty() || CertEVP_PKEY) && !LoadKey())
        Fail(QStringLiteral("Could not load key, check password."));
    if (!DHParamsFile.isEmpty() && !LoadDHParams())
        Fail(QStringLiteral("Could not load DH Parameters."));
}

bool TIdSSLContext::LoadRootCert()
{
    return SSL_CTX_load_verify_locations(FContext.get(), Path(RootCertFile).constData(), nullptr) == 1;
}

bool TIdSSLContext::LoadCert()
{
    if (!CertFile.isEmpty())
        return SSL_CTX_use_certificate_chain_file(FContext.get(), Path(CertFile).constData()) == 1;
    if (CertX509)
        return SSL_CTX_use_certificate(FContext.get(), CertX509) == 1;
    return false;
}

bool TIdSSLContext::LoadKey()
{
    bool loaded = false;
    if (!KeyFile.isEmpty()) {
        SSL_CTX_set_default_passwd_cb(FContext.get(), NoPassword);
        loaded = SSL_CTX_use_PrivateKey_file(FContext.get(), Path(KeyFile).constData(), SSL_FILETYPE_PEM) == 1;
    } else if (CertEVP_PKEY) {
        loaded = SSL_CTX_use_PrivateKey(FContext.get(), CertEVP_PKEY) == 1;
    }
    return loaded && SSL_CTX_check_private_key(FContext.get()) == 1;
}

bool TIdSSLContext::LoadDHParams()
{
    BIOPtr bio(BIO_new_file(Path(DHParamsFile).constData(), "r"));
    if (!bio)
        return false;
    EVP_PKEY* params = PEM_read_bio_Parameters(bio.get(), nullptr);
    if (!params)
        return false;
    if (EVP_PKEY_is_a(params, "DH") != 1 || SSL_CTX_set0_tmp_dh_pkey(FContext.get(), params) != 1) {
        EVP_PKEY_free(params);
        return false;
    }
    return true; // the context owns the parameters now
}

void TIdSSLContext::SetVerify()
{
    int mode = SSL_VERIFY_NONE;
    // A trusted store is there to check the peer against: without a verify mode of the caller's
    // own, it must not silently accept a peer from any CA.
    const TIdSSLVerifyMode verifyMode = VerifyMode == 0 && TrustsStore() ? TIdSSLVerifyMode(sslvrfPeer) : VerifyMode;
    if (verifyMode & sslvrfPeer)
        mode |= SSL_VERIFY_PEER;
    if (verifyMode & sslvrfFailIfNoPeerCert)
        mode |= SSL_VERIFY_FAIL_IF_NO_PEER_CERT;
    if (verifyMode & sslvrfClientOnce)
        mode |= SSL_VERIFY_CLIENT_ONCE;
    SSL_CTX_set_verify(FContext.get(), mode, VerifyOn ? VerifyCallback : nullptr);
    if (VerifyDepth > 0) // 0 keeps OpenSSL's own limit; depth 0 would refuse every issued certificate
        SSL_CTX_set_verify_depth(FContext.get(), VerifyDepth);
    if (!VerifyDirs.isEmpty() &&
        SSL_CTX_load_verify_locations(FContext.get(), nullptr, Path(VerifyDirs).constData()) != 1)
        Fail(QStringLiteral("Could not load root certificate."));
    SSL_CTX_set_info_callback(FContext.get(), StatusInfoOn ? InfoCallback : nullptr);
}
