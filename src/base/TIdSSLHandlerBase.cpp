#include "base/TIdSSLHandlerBase.h"

TIdSSLHandlerBase::~TIdSSLHandlerBase() = default;

void TIdSSLHandlerBase::MakeContext(TIdSSLCtxMode mode)
{
    auto context = std::make_unique<TIdSSLContext>();
    context->ReadOptions(FOptions);
    context->VerifyOn = static_cast<bool>(OnVerifyPeer);
    context->StatusInfoOn = static_cast<bool>(OnStatusInfo);
    // The context calls the handler's events as they are at the time of the handshake.
    context->OnVerifyPeer = [this](X509* certificate, bool ok, int depth, int error) {
        return OnVerifyPeer ? OnVerifyPeer(certificate, ok, depth, error) : ok;
    };
    context->OnStatusInfo = [this](const QString& message) {
        if (OnStatusInfo)
            OnStatusInfo(message);
    };
    context->InitContext(mode);
    FContext = std::move(context);
}
