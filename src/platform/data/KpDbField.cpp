#include "platform/data/KpDbField.h"

TKpDbField::TKpDbField(TField* field)
    : FField(field)
{
}

void TKpDbField::NotifyObservers(std::uint8_t phase)
{
    if (phase > 1)
        return;
    XPRef<IKpDbField> self(this);
    for (const auto& observer : ObserversSnapshot()) {
        // An observer without the dataset-observer interface is passed over, so it cannot keep
        // the notification from the observers after it.
        if (auto* dbObserver = XPQuery<IKpDbObserver>(observer.get()))
            dbObserver->FieldChange(this, phase == 1);
    }
}
