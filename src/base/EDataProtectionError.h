#pragma once

#include "platform/rtl/Exception.h"

// Protecting or unprotecting a secret failed: the crypto library refused, or the protected data is
// damaged or was made by another process or run.
class EDataProtectionError : public Exception
{
public:
    using Exception::Exception;
};
