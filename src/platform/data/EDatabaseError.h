#pragma once

#include "platform/rtl/Exception.h"

// Failure of a dataset operation: unknown field, wrong state, bad value, unparsable filter.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};
