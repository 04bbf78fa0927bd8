#pragma once

#include "platform/rtl/Exception.h"

// Integer arithmetic left the range of its type.
class EIntOverflow : public Exception
{
public:
    using Exception::Exception;
};
