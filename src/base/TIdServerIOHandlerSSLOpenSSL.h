#pragma once

#include "base/TIdSSLHandlerBase.h"

// The server side: every Init makes a new TLS context from the current options.
class TIdServerIOHandlerSSLOpenSSL : public TIdSSLHandlerBase
{
public:
    void Init();
};
