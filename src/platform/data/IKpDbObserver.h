#pragma once

#include "platform/data/IKpDbDataSet.h"
#include "platform/data/IKpDbField.h"

// An observer of field and dataset subjects.
class IKpDbObserver : public virtual IXPObserver {
public:
    virtual void FieldChange(IKpDbField* subject, bool after) = 0;
    virtual void DataSetEvent(IKpDbDataSet* subject) = 0;
    virtual void DataSetEventAfter(IKpDbDataSet* subject) = 0;
};
