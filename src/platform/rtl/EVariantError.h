#pragma once

#include "platform/rtl/EConvertError.h"

// A Value could not be converted to the kind asked for. Derives from EConvertError so one
// handler covers every failed conversion.
class EVariantError : public EConvertError
{
public:
    using EConvertError::EConvertError;
};
