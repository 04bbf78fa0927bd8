#pragma once

#include "base/IInterface.h"

// A target told about the strong references made to it.
class IStrongRefTarget : public virtual IInterface
{
public:
    virtual void StrongRefMade() = 0;
    // The reference is being destroyed; the target may free itself here.
    virtual void StrongRefReleasing() = 0;
    virtual void StrongRefRemoved() = 0;
};
