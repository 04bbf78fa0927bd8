#include "base/TIdSSLIOHandlerSocketOpenSSL.h"

void TIdSSLIOHandlerSocketOpenSSL::Init()
{
    if (SSLContext())
        return;
    MakeContext(TIdSSLCtxMode::Client);
    DoAfterInitContext();
}

void TIdSSLIOHandlerSocketOpenSSL::DoAfterInitContext()
{
    if (OnAfterInitContext)
        OnAfterInitContext(this);
}
