#pragma once

#include "base/IInterface.h"
#include "platform/rtl/Value.h"

#include <QString>

// Named parameters of a criteria check.
class IParamHolder : public virtual IInterface
{
public:
    virtual Value GetParam(const QString& name) const = 0;
    virtual void SetParam(const QString& name, const Value& value) = 0;
};
