#pragma once

#include "base/IInterface.h"
#include "platform/rtl/Value.h"

#include <QString>

// Named values of the context a criteria check runs in.
class IContextHolder : public virtual IInterface
{
public:
    virtual Value GetContextValue(const QString& name) const = 0;
    virtual void SetContextValue(const QString& name, const Value& value) = 0;
};
