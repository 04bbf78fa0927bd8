#pragma once

#include "platform/rtl/Exception.h"

// A workbook that cannot be built or written (bad position, unsupported file format, I/O).
class ESheetError : public Exception
{
public:
    using Exception::Exception;
};
