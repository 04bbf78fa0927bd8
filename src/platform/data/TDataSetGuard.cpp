#include "platform/data/TDataSetGuard.h"

#include "platform/data/ClientDataSet.h"

namespace {

// A guard's destructor must not throw; what cannot be given back stays as it is.
template <class Step>
void Quietly(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace

TDataSetGuard::TDataSetGuard(TDataSet* dataSet, unsigned parts)
    : FDataSet(dataSet)
    , FParts(parts)
{
    if (FParts & Filter) {
        FFilter = FDataSet->Filter();
        FFiltered = FDataSet->Filtered();
    }
    if (FParts & Index) {
        if (const auto* cds = dynamic_cast<const TClientDataSet*>(FDataSet)) {
            FIndexName = cds->IndexName();
            FIndexFieldNames = cds->IndexFieldNames();
        } else {
            FParts &= ~unsigned(Index);
        }
    }
    FWasActive = FDataSet->Active();
    if ((FParts & Position) && FWasActive)
        FMark = FDataSet->GetBookmark();
    // Last, so nothing above can leave the controls asleep.
    if (FParts & Controls)
        FDataSet->DisableControls();
}

TDataSetGuard::~TDataSetGuard()
{
    if (FParts & Index) {
        Quietly([this] {
            auto* cds = static_cast<TClientDataSet*>(FDataSet);
            if (!FIndexName.isEmpty())
                cds->SetIndexName(FIndexName);
            else
                cds->SetIndexFieldNames(FIndexFieldNames);
        });
    }
    if (FParts & Filter) {
        Quietly([this] {
            FDataSet->SetFilter(FFilter);
            FDataSet->SetFiltered(FFiltered);
        });
    }
    if ((FParts & Active) && !FWasActive) {
        Quietly([this] { FDataSet->Close(); });
    } else if ((FParts & Position) && !FMark.IsEmpty()) {
        Quietly([this] {
            if (FDataSet->BookmarkValid(FMark))
                FDataSet->GotoBookmark(FMark);
        });
    }
    if (FParts & Controls)
        Quietly([this] { FDataSet->EnableControls(); });
}
