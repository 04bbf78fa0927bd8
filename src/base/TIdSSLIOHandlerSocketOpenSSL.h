#pragma once

#include "base/TIdSSLHandlerBase.h"

#include <functional>

// The client side: makes its TLS context once, on the first Init, and then tells
// OnAfterInitContext so a caller can adjust the fresh context.
class TIdSSLIOHandlerSocketOpenSSL : public TIdSSLHandlerBase
{
public:
    using TNotifyEvent = std::function<void(TIdSSLIOHandlerSocketOpenSSL* Sender)>;

    TNotifyEvent OnAfterInitContext;

    void Init();

protected:
    virtual void DoAfterInitContext();
};
