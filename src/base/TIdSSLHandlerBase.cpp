#include "base/TIdSSLHandlerBase.h"

TIdSSLHandlerBase::~TIdSSLHandlerBase()
{
    FAlive.reset(); // connections still open from our contexts stop calling our events now
}

void TIdSSLHandlerBase::MakeContext(TIdSSLCtxMode mode)
{
    auto context = std::make_unique<TIdSSLContext>();
    context->ReadOptions(FOptions);
    context->VerifyOn = static_cast<bool>(OnVerifyPeer);
    context->StatusInfoOn = static_cast<bool>(OnStatusInfo);
    // The context calls the handler's events as they are at the time of the handshake. A
    // connection may outlive the handler (the OpenSSL context lives as long as its last
    // connection): then OpenSSL's own verdict stands and status lines go nowhere.
    const std::weak_ptr<TIdSSLHandlerBase*> alive = FAlive;
    context->OnVerifyPeer = [alive](X509* certificate, bool ok, int depth, int error) {
        const auto self = alive.lock();
        if (!self || !(*self)->OnVerifyPeer)
            return ok;
        return (*self)->OnVerifyPeer(certificate, ok, depth, error);
    };
    context->OnStatusInfo = [alive](const QString& message) {
        const auto self = alive.lock();
        if (self && (*self)->OnStatusInfo)
            (*self)->OnStatusInfo(message);
    };
    context->InitContext(mode);
    FContext = std::move(context);
}
