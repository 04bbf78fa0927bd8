#pragma once

#include "platform/data/XPSubject.h"

// The observer subject of one field: tells its observers before (phase 0) and after (phase 1)
// each change of the field.
class TKpDbField : public TXPSubject, public virtual IKpDbField {
public:
    explicit TKpDbField(TField* field);

    TField* GetField() override { return FField; }
    void NotifyObservers(std::uint8_t phase) override;
    void FieldGone() override { FField = nullptr; }

private:
    TField* FField;
};
