#pragma once

#include "platform/data/DataLink.h"

class TDBReadOnlyEdit;

// The read-only edit's view of its data source: every change of the dataset, its state or
// the current record makes the edit read its field again.
class TDBReadOnlyEditLink : public TDataLink {
public:
    explicit TDBReadOnlyEditLink(TDBReadOnlyEdit* edit) : FEdit(edit) { }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;

private:
    TDBReadOnlyEdit* FEdit;
};
