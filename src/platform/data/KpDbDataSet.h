#pragma once

#include "platform/data/XPSubject.h"

// The observer subject of one dataset: tells its observers of dataset events (phase 0) and,
// when asked, after them (phase 1).
class TKpDbDataSet : public TXPSubject, public virtual IKpDbDataSet {
public:
    explicit TKpDbDataSet(TDataSet* dataSet);

    TDataSet* GetDataSet() override { return FDataSet; }
    void NotifyObservers(std::uint8_t phase) override;
    void DataSetGone() override { FDataSet = nullptr; }

private:
    TDataSet* FDataSet;
};
