#pragma once

#include "platform/rtl/Exception.h"

// A saved column layout could not be read; the columns were left as they were.
class EColumnsReadError : public Exception {
public:
    using Exception::Exception;
};
