#pragma once

#include "platform/rtl/Exception.h"

// A floating-point operation had no defined result (NaN, infinity).
class EInvalidOp : public Exception
{
public:
    using Exception::Exception;
};
