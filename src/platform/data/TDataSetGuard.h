#pragma once

#include "platform/data/Bookmark.h"

#include <QString>

class TDataSet;

// Changes to a dataset's state for the length of a block, put back when the block ends, also
// when it ends by an exception. The parts named at the start are recorded then and given back
// at the end, each on its own (one that fails does not stop the others; the block's own
// exception is what the caller sees): the order, then the filter, then a dataset that was closed
// is closed again or the current record comes back (when that record is still there), and last
// the data-aware controls wake up again.
class TDataSetGuard
{
public:
    enum TPart : unsigned {
        Controls = 1u << 0, // DisableControls now, EnableControls at the end
        Position = 1u << 1, // back to the current record (an inactive dataset has none)
        Filter = 1u << 2,   // filter text and whether it filters
        Index = 1u << 3,    // index name or index fields of a client dataset
        Active = 1u << 4,   // a dataset that was closed is closed again
    };

    TDataSetGuard(TDataSet* dataSet, unsigned parts);
    ~TDataSetGuard();
    TDataSetGuard(const TDataSetGuard&) = delete;
    TDataSetGuard& operator=(const TDataSetGuard&) = delete;

private:
    TDataSet* FDataSet;
    unsigned FParts;
    QString FFilter;
    bool FFiltered = false;
    QString FIndexName;
    QString FIndexFieldNames;
    TBookmark FMark;
    bool FWasActive = false;
};
