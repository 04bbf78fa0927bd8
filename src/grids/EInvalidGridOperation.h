#pragma once

#include "platform/rtl/Exception.h"

// A grid was asked for something it cannot do (too many columns, a closed dataset, a
// scale that is not a positive number).
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};
