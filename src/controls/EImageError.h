#pragma once

#include "platform/rtl/Exception.h"

// Raised by the image code for a request it cannot serve: an image name that cannot be
// part of a file name, data that cannot be decoded as the image it claims to be.
class EImageError : public Exception {
public:
    using Exception::Exception;
};
