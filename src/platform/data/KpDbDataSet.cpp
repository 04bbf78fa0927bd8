#include "platform/data/KpDbDataSet.h"

TKpDbDataSet::TKpDbDataSet(TDataSet* dataSet)
    : FDataSet(dataSet)
{
}

void TKpDbDataSet::NotifyObservers(std::uint8_t phase)
{
    if (phase > 1)
        return;
    XPRef<IKpDbDataSet> self(this);
    for (const auto& observer : ObserversSnapshot()) {
        // An observer without the dataset-observer interface is passed over (see TKpDbField).
        auto* dbObserver = XPQuery<IKpDbObserver>(observer.get());
        if (!dbObserver)
            continue;
        if (phase == 0)
            dbObserver->DataSetEvent(this);
        else
            dbObserver->DataSetEventAfter(this);
    }
}
