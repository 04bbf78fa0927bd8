#pragma once

#include "platform/data/XPSubject.h"

// The observer subject of one field: tells its observers before (phase 0) and after (phase 1)
// each change of the field.
class TKpDbField : public TXPSubject, public virtual IKpDbField {
public:
    explicit TKpDbField(TField* field);

    TField* GetField() override { return m_field; }
    void NotifyObservers(std::uint8_t phase) override;
    void FieldGone() override { m_field = nullptr; }

private:
    TField* m_field;
};
