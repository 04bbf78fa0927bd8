#pragma once

#include "base/IContextHolder.h"
#include "base/IInterface.h"
#include "base/IParamHolder.h"

#include <QString>

// A control whose value is checked against named criteria.
class ICriteriaChecker : public virtual IInterface
{
public:
    virtual QString getCheckingID() const = 0;
    virtual IParamHolder* getParamHolder() const = 0;
    virtual QString getContextName() const = 0;
    virtual IContextHolder* getContextHolder() const = 0;
};
