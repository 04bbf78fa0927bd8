#pragma once

#include "base/EIdOpenSSLError.h"

// The certificate store (a folder of PEM or PKCS#12 files) cannot be opened.
class EIdOSSLStorageOpenError : public EIdOpenSSLError
{
public:
    using EIdOpenSSLError::EIdOpenSSLError;
};
