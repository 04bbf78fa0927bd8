#pragma once

#include "platform/rtl/Exception.h"

// A period date outside the allowed range.
class EDatePeriodError : public Exception
{
public:
    using Exception::Exception;
};
