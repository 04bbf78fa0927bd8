#pragma once

#include "base/IInterface.h"

class QObject;

// A reference to a target, weak or strong. Once the target is removed or gone, Value() and
// Object() read nullptr for good.
class IObjReference
{
public:
    virtual ~IObjReference();
    virtual bool IsWeak() const = 0;
    // The target as an interface (nullptr when gone or not an IInterface).
    virtual IInterface* Value() const = 0;
    // The target as a QObject (nullptr when gone or not a QObject).
    virtual QObject* Object() const = 0;
    virtual void RemoveRef() = 0;
};
