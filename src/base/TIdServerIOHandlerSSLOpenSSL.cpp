#include "base/TIdServerIOHandlerSSLOpenSSL.h"

void TIdServerIOHandlerSSLOpenSSL::Init()
{
    MakeContext(TIdSSLCtxMode::Server);
}
