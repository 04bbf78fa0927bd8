#pragma once

#include "platform/rtl/Exception.h"

// The base of errors meant for the user.
class TKelpError : public Exception
{
public:
    using Exception::Exception;
};
