#pragma once

#include "platform/rtl/Exception.h"

// An index outside a list's items.
class EListError : public Exception
{
public:
    using Exception::Exception;
};
