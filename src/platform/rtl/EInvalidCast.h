#pragma once

#include "platform/rtl/Exception.h"

// An object was read as a type it does not have.
class EInvalidCast : public Exception
{
public:
    using Exception::Exception;
};
