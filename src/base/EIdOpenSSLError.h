#pragma once

#include "platform/rtl/Exception.h"

// A TLS context could not be set up; the message says which step failed and why.
class EIdOpenSSLError : public Exception
{
public:
    using Exception::Exception;
};
