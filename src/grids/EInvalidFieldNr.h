#pragma once

#include "platform/rtl/Exception.h"

// A grid field index outside the grid's fields.
class EInvalidFieldNr : public Exception {
public:
    using Exception::Exception;
};
