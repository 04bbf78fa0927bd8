#pragma once

#include "platform/rtl/Exception.h"

// A number lies outside the range of its target type.
class ERangeError : public Exception
{
public:
    using Exception::Exception;
};
