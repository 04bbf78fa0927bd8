#pragma once

#include "platform/data/IXPSubject.h"

#include <cstdint>

class TField;

// The subject of one field.
class IKpDbField : public virtual IXPSubject {
public:
    virtual TField* GetField() = 0;
    virtual void NotifyObservers(std::uint8_t phase) = 0;
    virtual void FieldGone() = 0;
};
