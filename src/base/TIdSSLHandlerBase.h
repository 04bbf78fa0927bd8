#pragma once

#include "base/TIdSSLContext.h"
#include "base/TIdSSLOptions.h"

#include <memory>

// What the client and the server handler share: their options, their context and the verify and
// status events, which the context calls back while a handshake runs.
class TIdSSLHandlerBase
{
public:
    TIdSSLHandlerBase() = default;
    virtual ~TIdSSLHandlerBase();
    TIdSSLHandlerBase(const TIdSSLHandlerBase&) = delete;
    TIdSSLHandlerBase& operator=(const TIdSSLHandlerBase&) = delete;

    TIdSSLOptions& SSLOptions() { return FOptions; }
    const TIdSSLOptions& SSLOptions() const { return FOptions; }
    TIdSSLContext* SSLContext() const { return FContext.get(); }

    TIdSSLContext::TVerifyPeerEvent OnVerifyPeer;
    TIdSSLContext::TStatusInfoEvent OnStatusInfo;

protected:
    // Makes and initialises a new context from the options, replacing any former one.
    void MakeContext(TIdSSLCtxMode mode);

private:
    TIdSSLOptions FOptions;
    std::unique_ptr<TIdSSLContext> FContext;
    // Held only here: the contexts' callbacks find the handler through it while it lives.
    std::shared_ptr<TIdSSLHandlerBase*> FAlive = std::make_shared<TIdSSLHandlerBase*>(this);
};
