#pragma once

#include "platform/rtl/Exception.h"

// A floating-point computation overflowed.
class EOverflowError : public Exception
{
public:
    using Exception::Exception;
};
