#pragma once

#include "platform/rtl/Exception.h"

// Failures of the workbook export.
class EExcel : public Exception
{
public:
    using Exception::Exception;
};
