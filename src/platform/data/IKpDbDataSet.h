#pragma once

#include "platform/data/IXPSubject.h"

#include <cstdint>

class TDataSet;

// The subject of one dataset.
class IKpDbDataSet : public virtual IXPSubject {
public:
    virtual TDataSet* GetDataSet() = 0;
    virtual void NotifyObservers(std::uint8_t phase) = 0;
    virtual void DataSetGone() = 0;
};
