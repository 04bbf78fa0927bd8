#pragma once

#include "platform/rtl/Exception.h"

// Skin data that cannot be read.
class EKpSkinError : public Exception {
public:
    using Exception::Exception;
};
