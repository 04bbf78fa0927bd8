#include "QtPrinters.h"
#include "RecordingLogSink.h"
#include "TestCertificates.h"
#include "base/EIdOSSLStorageFindCertError.h"
#include "base/EIdOSSLStorageOpenError.h"
#include "base/Logger.h"
#include "base/TCertFolderStore.h"
#include "base/TIdSSLContext.h"
#include "base/TIdSSLIOHandlerSocketOpenSSL.h"
#include "base/TIdServerIOHandlerSSLOpenSSL.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <openssl/err.h>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace testcerts;

namespace {

// Keys, certificates and store folders shared by the tests of this file:
//   mixed/   server.p12 (with key), client.pem + client-key.pem, lonely.pem (no key),
//            other-key.pem, ca.der, notes.txt
//   trust/   ca.pem;  alien/  a foreign self-signed CA;  files/  PEM files, DH parameters
class TlsContextTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::signal(SIGPIPE, SIG_IGN); // a peer that hung up must not end the test program
        Dir = new QTemporaryDir;
        for (const char* folder : {"mixed", "trust", "alien", "files"})
            QDir(Dir->path()).mkdir(QString::fromLatin1(folder));
        CaKey = MakeKey().release();
        Ca = MakeCert("Test CA", CaKey, true).release();
        ServerKey = MakeKey().release();
        Server = MakeCert("server", ServerKey, false, Ca, CaKey).release();
        ClientKey = MakeKey().release();
        Client = MakeCert("client", ClientKey, false, Ca, CaKey).release();
        LonelyKey = MakeKey().release();
        Lonely = MakeCert("lonely", LonelyKey, false, Ca, CaKey).release();
        EVP_PKEYPtr alienKey = MakeKey();
        X509Ptr alien = MakeCert("Alien CA", alienKey.get(), true);
        EVP_PKEYPtr otherKey = MakeKey();

        WritePkcs12(Path("mixed/server.p12"), Server, ServerKey);
        WritePem(Path("mixed/client.pem"), Client);
        WritePem(Path("mixed/client-key.pem"), nullptr, ClientKey);
        WritePem(Path("mixed/lonely.pem"), Lonely);
        WritePem(Path("mixed/other-key.pem"), nullptr, otherKey.get());
        WriteDer(Path("mixed/ca.der"), Ca);
        WriteText(Path("mixed/notes.txt"), "not a certificate\n");
        WritePem(Path("trust/ca.pem"), Ca);
        WritePem(Path("alien/alien.pem"), alien.get());
        WritePem(Path("files/ca.pem"), Ca);
        WritePem(Path("files/server.pem"), Server);
        WritePem(Path("files/server-key.pem"), nullptr, ServerKey);
        WritePem(Path("files/client-key.pem"), nullptr, ClientKey);
        WriteDHParams(Path("files/dh.pem"));
        WriteText(Path("files/garbage.pem"), "-----BEGIN CERTIFICATE-----\nnonsense\n");
    }
    static void TearDownTestSuite()
    {
        for (X509* cert : {Ca, Server, Client, Lonely})
            X509_free(cert);
        for (EVP_PKEY* key : {CaKey, ServerKey, ClientKey, LonelyKey})
            EVP_PKEY_free(key);
        delete Dir;
    }

    static QString Path(const char* relative) { return Dir->filePath(QString::fromLatin1(relative)); }
    static void WriteText(const QString& path, const char* text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    static inline QTemporaryDir* Dir = nullptr;
    static inline X509* Ca = nullptr;
    static inline X509* Server = nullptr;
    static inline X509* Client = nullptr;
    static inline X509* Lonely = nullptr;
    static inline EVP_PKEY* CaKey = nullptr;
    static inline EVP_PKEY* ServerKey = nullptr;
    static inline EVP_PKEY* ClientKey = nullptr;
    static inline EVP_PKEY* LonelyKey = nullptr;
};

bool SameCert(const X509* a, const X509* b)
{
    return a && b && X509_cmp(a, b) == 0;
}

TEST_F(TlsContextTest, StoreCertificateChosenByThumbprint)
{
    const QString server = Thumbprint(Server);
    const struct { const char* What; QString SHA1; X509* Expected; bool HasKey; } rows[] = {
        {"upper case with colons, key from PKCS#12", server, Server, true},
        {"lower case without colons", server.toLower().remove(u':'), Server, true},
        {"colons anywhere", QStringLiteral(":") + QString(server).remove(u':').insert(7, u':') + u':', Server, true},
        {"key from a matching PEM file", Thumbprint(Client).toLower(), Client, true},
        {"no key anywhere: none, silently", Thumbprint(Lonely), Lonely, false},
        {"DER certificate", Thumbprint(Ca), Ca, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.What);
        TIdSSLContext context;
        context.CertStorage = Path("mixed");
        context.CertSHA1 = row.SHA1;
        context.InitContext(TIdSSLCtxMode::Server);
        EXPECT_TRUE(SameCert(SSL_CTX_get0_certificate(context.Context()), row.Expected));
        EXPECT_EQ(SSL_CTX_get0_privatekey(context.Context()) != nullptr, row.HasKey);
    }
}

TEST_F(TlsContextTest, StoreErrors)
{
    QTemporaryDir empty;
    const struct { QString Storage; QString SHA1; bool OpenError; const char* Detail; } rows[] = {
        {Path("missing"), Thumbprint(Server), true, "No such file or directory"},
        {Path("missing"), QString(), true, "No such file or directory"},
        {Path("mixed/notes.txt"), QString(), true, "Not a directory"},
        {Path("mixed"), QString(40, u'0'), false, "thumbprint"},
        {Path("mixed"), QStringLiteral("not hex at all"), false, "not hex at all"},
        {Path("mixed"), Thumbprint(Server).left(20), false, "thumbprint"},
        {empty.path(), Thumbprint(Server), false, "thumbprint"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Storage.toStdString() + " " + row.SHA1.toStdString());
        TIdSSLContext context;
        context.CertStorage = row.Storage;
        context.CertSHA1 = row.SHA1;
        try {
            context.InitContext(TIdSSLCtxMode::Client);
            ADD_FAILURE() << "no error";
        } catch (const EIdOSSLStorageOpenError& e) {
            EXPECT_TRUE(row.OpenError);
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Could not open certificate storage: ")));
            EXPECT_TRUE(e.Message().contains(QLatin1String(row.Detail))) << e.Message().toStdString();
        } catch (const EIdOSSLStorageFindCertError& e) {
            EXPECT_FALSE(row.OpenError);
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Could not find certificate in storage: ")));
            EXPECT_TRUE(e.Message().contains(QLatin1String(row.Detail))) << e.Message().toStdString();
        }
        EXPECT_EQ(context.Context(), nullptr);
    }
}

TEST_F(TlsContextTest, StoreWithoutThumbprintIsTrustedWhole)
{
    TIdSSLContext context;
    context.CertStorage = Path("mixed");
    context.RootCertFile = Path("files/garbage.pem"); // files are not read when a store is given
    context.InitContext(TIdSSLCtxMode::Client);
    EXPECT_EQ(SSL_CTX_get0_certificate(context.Context()), nullptr);
    STACK_OF(X509_OBJECT)* trusted = X509_STORE_get0_objects(SSL_CTX_get_cert_store(context.Context()));
    int certificates = 0;
    for (int i = 0; i < sk_X509_OBJECT_num(trusted); ++i)
        if (X509* cert = X509_OBJECT_get0_X509(sk_X509_OBJECT_value(trusted, i))) {
            ++certificates;
            EXPECT_TRUE(SameCert(cert, Server) || SameCert(cert, Client) || SameCert(cert, Lonely) ||
                        SameCert(cert, Ca));
        }
    EXPECT_EQ(certificates, 4);
}

// A store file larger than any certificate file is passed over, with a log entry, without being
// read: a huge file would cost its size in memory and time at every initialisation.
TEST_F(TlsContextTest, StoreFilesLargerThanACertificateFileArePassedOver)
{
    QTemporaryDir folder;
    const auto padded = [&](const char* name, X509* cert, qint64 size) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        WritePem(path, cert);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(QByteArray(size - file.size(), '\n')); // PEM readers skip the blank lines
    };
    padded("at-limit.pem", Server, TCertFolderStore::MaxFileSize);
    padded("over-limit.pem", Lonely, TCertFolderStore::MaxFileSize + 1);
    QFile huge(folder.filePath(QStringLiteral("huge.bin"))); // sparse: takes no room on the disk
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(5) << 30));
    huge.close();

    auto sink = std::make_shared<RecordingSink>();
    SetLogSink(sink);
    const auto clearSink = qScopeGuard([] { ClearLogSink(); });
    const TCertFolderStore store = TCertFolderStore::Open(folder.path());
    ASSERT_EQ(store.Entries().size(), 1u);
    EXPECT_TRUE(SameCert(store.Entries().front().Certificate.get(), Server));
    std::vector<QString> skipped;
    for (const RecordedCall& call : sink->Calls) {
        EXPECT_EQ(call.Level, TLogLevel::Warn);
        EXPECT_TRUE(call.Message.contains(QStringLiteral("larger than"))) << call.Message.toStdString();
        skipped.push_back(QFileInfo(call.Context).fileName());
    }
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped, (std::vector<QString>{QStringLiteral("huge.bin"), QStringLiteral("over-limit.pem")}));
}

TEST_F(TlsContextTest, FilesAndCertificatesInMemory)
{
    EVP_PKEYPtr wrongKey = MakeKey();
    struct Row
    {
        const char* What;
        const char* CertFile = nullptr;
        const char* KeyFile = nullptr;
        X509* CertX509 = nullptr;
        EVP_PKEY* CertEVP_PKEY = nullptr;
        const char* RootCertFile = nullptr;
        const char* DHParamsFile = nullptr;
        const char* CipherList = nullptr;
        const char* Error = nullptr; // none: succeeds, presenting Cert
        X509* Cert = nullptr;
    };
    const char* keyError = "Could not load key, check password.";
    const Row rows[] = {
        {.What = "certificate and key files", .CertFile = "files/server.pem", .KeyFile = "files/server-key.pem",
         .Cert = Server},
        {.What = "certificate and key in memory", .CertX509 = Client, .CertEVP_PKEY = ClientKey, .Cert = Client},
        {.What = "a file comes before memory", .CertFile = "files/server.pem", .KeyFile = "files/server-key.pem",
         .CertX509 = Client, .CertEVP_PKEY = ClientKey, .Cert = Server},
        {.What = "root certificate and DH parameters", .RootCertFile = "files/ca.pem", .DHParamsFile = "files/dh.pem"},
        {.What = "nothing at all"},
        {.What = "key not of the certificate", .CertX509 = Client, .CertEVP_PKEY = wrongKey.get(), .Error = keyError},
        {.What = "key file not of the certificate", .CertFile = "files/server.pem", .KeyFile = "files/client-key.pem",
         .Error = keyError},
        {.What = "key without certificate", .CertEVP_PKEY = ClientKey, .Error = keyError},
        {.What = "missing certificate file", .CertFile = "files/none.pem", .Error = "Could not load certificate."},
        {.What = "damaged root certificate", .RootCertFile = "files/garbage.pem",
         .Error = "Could not load root certificate."},
        {.What = "DH file holding a certificate", .DHParamsFile = "files/ca.pem", .Error = "Could not load DH Parameters."},
        {.What = "unknown ciphers", .CipherList = "NO-SUCH-CIPHER", .Error = "SetCipher failed."},
    };
    const auto file = [](const char* relative) { return relative ? Path(relative) : QString(); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.What);
        TIdSSLContext context;
        context.CertFile = file(row.CertFile);
        context.KeyFile = file(row.KeyFile);
        context.CertX509 = row.CertX509;
        context.CertEVP_PKEY = row.CertEVP_PKEY;
        context.RootCertFile = file(row.RootCertFile);
        context.DHParamsFile = file(row.DHParamsFile);
        context.CipherList = QString::fromLatin1(row.CipherList);
        if (!row.Error) {
            context.InitContext(TIdSSLCtxMode::Server);
            EXPECT_TRUE(row.Cert ? SameCert(SSL_CTX_get0_certificate(context.Context()), row.Cert)
                                 : SSL_CTX_get0_certificate(context.Context()) == nullptr);
            continue;
        }
        try {
            context.InitContext(TIdSSLCtxMode::Server);
            ADD_FAILURE() << "no error";
        } catch (const EIdOpenSSLError& e) {
            EXPECT_TRUE(e.Message().startsWith(QLatin1String(row.Error))) << e.Message().toStdString();
            EXPECT_EQ(context.Context(), nullptr); // nothing half made is left behind
        }
    }

    // Neither a file nor memory: nothing to load.
    TIdSSLContext context;
    context.InitContext(TIdSSLCtxMode::Client);
    EXPECT_FALSE(context.LoadCert());
    EXPECT_FALSE(context.LoadKey());
}

TEST_F(TlsContextTest, CopiesKeepEverySetting)
{
    TIdSSLOptions options;
    options.RootCertFile = QStringLiteral("root.pem");
    options.CertFile = QStringLiteral("cert.pem");
    options.KeyFile = QStringLiteral("key.pem");
    options.DHParamsFile = QStringLiteral("dh.pem");
    options.CertStorage = Path("mixed");
    options.CertSHA1 = Thumbprint(Server);
    options.CertX509 = Client;
    options.CertEVP_PKEY = ClientKey;
    options.VerifyDepth = 3;
    options.VerifyMode = sslvrfPeer | sslvrfClientOnce;
    options.VerifyDirs = QStringLiteral("dirs");
    options.CipherList = QStringLiteral("HIGH");
    options.Method = TIdSSLVersion::TLSv1_3;
    options.Mode = TIdSSLMode::Server;
    options.SSLVersions = SSLVersionBit(TIdSSLVersion::TLSv1_3);

    const auto same = [&](const TIdSSLSettings& copy) {
        EXPECT_EQ(copy.RootCertFile, options.RootCertFile);
        EXPECT_EQ(copy.CertFile, options.CertFile);
        EXPECT_EQ(copy.KeyFile, options.KeyFile);
        EXPECT_EQ(copy.DHParamsFile, options.DHParamsFile);
        EXPECT_EQ(copy.CertStorage, options.CertStorage);
        EXPECT_EQ(copy.CertSHA1, options.CertSHA1);
        EXPECT_EQ(copy.CertX509, Client);
        EXPECT_EQ(copy.CertEVP_PKEY, ClientKey);
        EXPECT_EQ(copy.VerifyDepth, 3);
        EXPECT_EQ(copy.VerifyMode, options.VerifyMode);
        EXPECT_EQ(copy.VerifyDirs, options.VerifyDirs);
        EXPECT_EQ(copy.CipherList, options.CipherList);
        EXPECT_EQ(copy.Method, options.Method);
        EXPECT_EQ(copy.Mode, options.Mode);
        EXPECT_EQ(copy.SSLVersions, options.SSLVersions);
    };
    TIdSSLOptions assigned;
    options.AssignTo(assigned);
    same(assigned);

    TIdSSLContext context;
    context.ReadOptions(options);
    context.VerifyOn = true;
    const auto clone = context.Clone();
    same(*clone);
    EXPECT_TRUE(clone->VerifyOn);
    EXPECT_FALSE(clone->StatusInfoOn);
    EXPECT_EQ(clone->Context(), nullptr);

    // A copied context presents the store's certificate, as the original does.
    clone->VerifyDirs.clear();
    clone->InitContext(TIdSSLCtxMode::Server);
    EXPECT_TRUE(SameCert(SSL_CTX_get0_certificate(clone->Context()), Server));
}

TEST_F(TlsContextTest, HandlersMakeTheirContexts)
{
    TIdSSLIOHandlerSocketOpenSSL client;
    client.SSLOptions().CertStorage = Path("trust");
    std::vector<TIdSSLIOHandlerSocketOpenSSL*> senders;
    client.OnAfterInitContext = [&](TIdSSLIOHandlerSocketOpenSSL* sender) {
        EXPECT_NE(sender->SSLContext(), nullptr);
        senders.push_back(sender);
    };
    client.OnVerifyPeer = [](X509*, bool ok, int, int) { return ok; };
    client.Init();
    TIdSSLContext* first = client.SSLContext();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->VerifyOn);
    EXPECT_FALSE(first->StatusInfoOn);
    client.Init(); // a client keeps the context it has
    EXPECT_EQ(client.SSLContext(), first);
    EXPECT_EQ(senders, std::vector<TIdSSLIOHandlerSocketOpenSSL*>{&client});

    TIdSSLIOHandlerSocketOpenSSL failing;
    failing.SSLOptions().CertStorage = Path("missing");
    bool fired = false;
    failing.OnAfterInitContext = [&](TIdSSLIOHandlerSocketOpenSSL*) { fired = true; };
    EXPECT_THROW(failing.Init(), EIdOSSLStorageOpenError);
    EXPECT_EQ(failing.SSLContext(), nullptr);
    EXPECT_FALSE(fired);

    TIdServerIOHandlerSSLOpenSSL server;
    server.SSLOptions().CertFile = Path("files/server.pem");
    server.SSLOptions().KeyFile = Path("files/server-key.pem");
    server.OnStatusInfo = [](const QString&) {};
    server.Init();
    ASSERT_NE(server.SSLContext(), nullptr);
    EXPECT_TRUE(server.SSLContext()->StatusInfoOn);
    EXPECT_FALSE(server.SSLContext()->VerifyOn);
    SSL_CTX* before = server.SSLContext()->Context();
    server.Init(); // a server makes a new one each time
    EXPECT_NE(server.SSLContext()->Context(), before);
}

// What each side saw of a handshake over a local socket pair followed by a ping/pong.
struct THandshake
{
    bool Ok = false;
    long ClientVerify = X509_V_OK; // the certificate check's result on each side
    long ServerVerify = X509_V_OK;
    int ServerReason = 0; // the reason of the server's first TLS error, 0 for none
};

int FirstReason()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    return code ? ERR_GET_REASON(code) : 0;
}

THandshake Handshake(SSL_CTX* serverContext, SSL_CTX* clientContext)
{
    THandshake result;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return result;
    const timeval guard{10, 0}; // a broken handshake must not hang the tests
    for (int fd : fds) {
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &guard, sizeof guard);
    }
    bool serverOk = false;
    std::thread serverThread([&] {
        ERR_clear_error(); // the error queue is per thread
        SSL* ssl = SSL_new(serverContext);
        SSL_set_fd(ssl, fds[0]);
        char buffer[4];
        if (SSL_accept(ssl) == 1 && SSL_read(ssl, buffer, 4) == 4 && std::memcmp(buffer, "ping", 4) == 0)
            serverOk = SSL_write(ssl, "pong", 4) == 4;
        result.ServerVerify = SSL_get_verify_result(ssl);
        result.ServerReason = FirstReason();
        SSL_free(ssl);
        ::shutdown(fds[0], SHUT_RDWR);
        ::close(fds[0]);
    });
    SSL* ssl = SSL_new(clientContext);
    SSL_set_fd(ssl, fds[1]);
    char buffer[4];
    const bool clientOk = SSL_connect(ssl) == 1 && SSL_write(ssl, "ping", 4) == 4 &&
                          SSL_read(ssl, buffer, 4) == 4 && std::memcmp(buffer, "pong", 4) == 0;
    result.ClientVerify = SSL_get_verify_result(ssl);
    SSL_free(ssl);
    ::close(fds[1]);
    serverThread.join();
    result.Ok = serverOk && clientOk;
    return result;
}

TEST_F(TlsContextTest, HandshakesBetweenContextsBuiltThisWay)
{
    const QString serverPrint = Thumbprint(Server);
    struct Row
    {
        const char* What;
        std::function<void(TIdSSLOptions&)> Server;
        std::function<void(TIdSSLOptions&)> Client;
        bool Succeeds;
        bool ClientVerifies = false; // the client checks the server's chain: the CA, then the server
        // Why a failing handshake fails: the client's check of the server, the server's TLS error
        long ClientVerify = X509_V_OK;
        int ServerReason = 0;
    };
    const auto serverFromStore = [&](TIdSSLOptions& o) { o.CertStorage = Path("mixed"); o.CertSHA1 = serverPrint; };
    const auto serverFromFilesAskingClient = [&](TIdSSLOptions& o) {
        o.CertFile = Path("files/server.pem");
        o.KeyFile = Path("files/server-key.pem");
        o.RootCertFile = Path("files/ca.pem");
        o.VerifyMode = sslvrfPeer | sslvrfFailIfNoPeerCert;
    };
    const int noClientCertificate = SSL_R_PEER_DID_NOT_RETURN_A_CERTIFICATE;
    const int unknownCA = SSL_R_TLSV1_ALERT_UNKNOWN_CA; // the client's alert, as the server received it
    const long unknownIssuer = X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY;
    const Row rows[] = {
        {"client trusts the store with the CA", serverFromStore,
         [&](TIdSSLOptions& o) { o.CertStorage = Path("trust"); o.VerifyMode = sslvrfPeer; }, true, true},
        {"client trusts the store with the CA, no verify mode given", serverFromStore,
         [&](TIdSSLOptions& o) { o.CertStorage = Path("trust"); }, true, true},
        {"client trusts a foreign store", serverFromStore,
         [&](TIdSSLOptions& o) { o.CertStorage = Path("alien"); o.VerifyMode = sslvrfPeer; }, false, true,
         unknownIssuer, unknownCA},
        {"client trusts a foreign store, no verify mode given", serverFromStore,
         [&](TIdSSLOptions& o) { o.CertStorage = Path("alien"); }, false, true, unknownIssuer, unknownCA},
        {"client certificate and key from the store", serverFromFilesAskingClient,
         [&](TIdSSLOptions& o) { o.CertStorage = Path("mixed"); o.CertSHA1 = Thumbprint(Client); }, true},
        {"client certificate in memory", serverFromFilesAskingClient,
         [&](TIdSSLOptions& o) { o.CertX509 = Client; o.CertEVP_PKEY = ClientKey; }, true},
        {"client certificate from the store without its key", serverFromFilesAskingClient,
         [&](TIdSSLOptions& o) { o.CertStorage = Path("mixed"); o.CertSHA1 = Thumbprint(Lonely); }, false, false,
         X509_V_OK, noClientCertificate},
        {"no client certificate", serverFromFilesAskingClient, [](TIdSSLOptions&) {}, false, false, X509_V_OK,
         noClientCertificate},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.What);
        TIdServerIOHandlerSSLOpenSSL server;
        row.Server(server.SSLOptions());
        server.Init();
        TIdSSLIOHandlerSocketOpenSSL client;
        row.Client(client.SSLOptions());
        std::vector<int> depths;
        client.OnVerifyPeer = [&](X509*, bool ok, int depth, int) {
            depths.push_back(depth);
            return ok;
        };
        client.Init();
        const THandshake result = Handshake(server.SSLContext()->Context(), client.SSLContext()->Context());
        EXPECT_EQ(result.Ok, row.Succeeds);
        EXPECT_EQ(result.ServerReason, row.ServerReason);
        EXPECT_EQ(result.ServerVerify, X509_V_OK);
        if (row.ClientVerifies) {
            EXPECT_EQ(result.ClientVerify, row.ClientVerify);
            EXPECT_EQ(depths, (row.Succeeds ? std::vector<int>{1, 0} : std::vector<int>{0}));
        }
    }
}

// A connection works on to its end on the context it was made from, even when the handler makes a
// new one meanwhile: the former context's callbacks must still be there to call.
TEST_F(TlsContextTest, ConnectionOutlivesTheContextItWasMadeFrom)
{
    TIdServerIOHandlerSSLOpenSSL server;
    server.SSLOptions().CertFile = Path("files/server.pem");
    server.SSLOptions().KeyFile = Path("files/server-key.pem");
    server.SSLOptions().RootCertFile = Path("files/ca.pem");
    server.SSLOptions().VerifyMode = sslvrfPeer | sslvrfFailIfNoPeerCert;
    int statusLines = 0;
    std::vector<int> depths;
    server.OnStatusInfo = [&](const QString&) {
        if (++statusLines == 1)
            server.Init(); // half way through the handshake
    };
    server.OnVerifyPeer = [&](X509*, bool ok, int depth, int) {
        depths.push_back(depth);
        return ok;
    };
    server.Init();
    SSL_CTX* former = server.SSLContext()->Context();

    TIdSSLIOHandlerSocketOpenSSL client;
    client.SSLOptions().CertX509 = Client;
    client.SSLOptions().CertEVP_PKEY = ClientKey;
    client.Init();
    const THandshake result = Handshake(former, client.SSLContext()->Context());
    EXPECT_TRUE(result.Ok);
    EXPECT_NE(server.SSLContext()->Context(), former);
    EXPECT_GT(statusLines, 1);
    EXPECT_EQ(depths, (std::vector<int>{1, 0})); // the client's chain, checked through the former context
}

// An open connection keeps its OpenSSL context, not the handler that made it: once the handler is
// gone, its events are no longer called and OpenSSL's own verdict stands.
TEST_F(TlsContextTest, ConnectionOutlivesTheHandlerItWasMadeBy)
{
    int statusLines = 0;
    int verifyCalls = 0;
    auto server = std::make_unique<TIdServerIOHandlerSSLOpenSSL>();
    server->SSLOptions().CertFile = Path("files/server.pem");
    server->SSLOptions().KeyFile = Path("files/server-key.pem");
    server->SSLOptions().RootCertFile = Path("files/ca.pem");
    server->SSLOptions().VerifyMode = sslvrfPeer | sslvrfFailIfNoPeerCert;
    server->OnStatusInfo = [&](const QString&) { ++statusLines; };
    server->OnVerifyPeer = [&](X509*, bool, int, int) {
        ++verifyCalls;
        return false; // would refuse every client while the handler lives
    };
    server->Init();
    SSL_CTX* context = server->SSLContext()->Context();
    SSL_CTX_up_ref(context); // as an open connection holds it
    const auto release = qScopeGuard([context] { SSL_CTX_free(context); });
    server.reset();

    TIdSSLIOHandlerSocketOpenSSL client;
    client.SSLOptions().CertX509 = Client;
    client.SSLOptions().CertEVP_PKEY = ClientKey;
    client.Init();
    const THandshake result = Handshake(context, client.SSLContext()->Context());
    EXPECT_TRUE(result.Ok);
    EXPECT_EQ(result.ServerVerify, X509_V_OK);
    EXPECT_EQ(statusLines, 0);
    EXPECT_EQ(verifyCalls, 0);
}

// Trusting a store means checking the peer against it, unless the caller chose a verify mode.
TEST_F(TlsContextTest, TrustedStoreVerifiesThePeer)
{
    const struct { TIdSSLCtxMode Mode; QString SHA1; TIdSSLVerifyMode VerifyMode; int Expected; } rows[] = {
        {TIdSSLCtxMode::Client, QString(), 0, SSL_VERIFY_PEER},
        {TIdSSLCtxMode::Server, QString(), 0, SSL_VERIFY_PEER},
        {TIdSSLCtxMode::Client, QString(), sslvrfPeer | sslvrfFailIfNoPeerCert,
         SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT},
        {TIdSSLCtxMode::Client, Thumbprint(Client), 0, SSL_VERIFY_NONE}, // a certificate to present, nothing trusted
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.Mode) << " " << row.SHA1.toStdString() << " "
                                        << int(row.VerifyMode));
        TIdSSLContext context;
        context.CertStorage = Path("mixed");
        context.CertSHA1 = row.SHA1;
        context.VerifyMode = row.VerifyMode;
        context.InitContext(row.Mode);
        EXPECT_EQ(SSL_CTX_get_verify_mode(context.Context()), row.Expected);
    }
}

} // namespace
