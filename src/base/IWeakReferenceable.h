#pragma once

#include "base/IInterface.h"
#include "base/IObjReference.h"

#include <memory>

// An object that hands out its own reference. WeakRef makes it on first request (with
// MakeSimpleWeakReference) and keeps it; the object's destructor calls RemoveRef on it, so
// every holder then reads nullptr.
class IWeakReferenceable : public virtual IInterface
{
public:
    virtual std::shared_ptr<IObjReference> WeakRef() = 0;
    virtual std::shared_ptr<IObjReference> StrongRef() = 0;
    virtual void RemoveStrongRef() = 0;
};
