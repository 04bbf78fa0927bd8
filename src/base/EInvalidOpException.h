#pragma once

#include "platform/rtl/Exception.h"

// An operation was asked of data in a state that does not allow it.
class EInvalidOpException : public Exception
{
public:
    using Exception::Exception;
};
