#pragma once

#include "platform/rtl/Exception.h"

// A text or value could not be converted (bad number, bad date...).
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};
