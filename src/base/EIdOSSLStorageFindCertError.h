#pragma once

#include "base/EIdOpenSSLError.h"

// The certificate with the wanted thumbprint is not in the store, or the context refused it.
class EIdOSSLStorageFindCertError : public EIdOpenSSLError
{
public:
    using EIdOpenSSLError::EIdOpenSSLError;
};
