#pragma once

#include "base/TKelpError.h"

// An error caused by the user's data, with a fully formatted message.
class EKelpUserError : public TKelpError
{
public:
    using TKelpError::TKelpError;
};
