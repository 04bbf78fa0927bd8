#include "grids/TTmpFilter.h"

#include "platform/data/ClientDataSet.h"

#include <QScopeGuard>

namespace {

// The dataset's controls stay still while the guard works and wake up whatever happens.
auto ControlsDisabled(TDataSet* ds)
{
    ds->DisableControls();
    return qScopeGuard([ds] { ds->EnableControls(); });
}

} // namespace

TTmpFilter::TTmpFilter(TDataSet* ADataSet)
    : FDataSet(ADataSet)
    , FFilter(ADataSet->Filter())
    , FFiltered(ADataSet->Filtered())
{
    if (const auto* cds = dynamic_cast<const TClientDataSet*>(ADataSet)) {
        FIndexFields = cds->IndexFieldNames();
        FIndexName = cds->IndexName();
    }
}

TTmpFilter::~TTmpFilter()
{
    if (!FChanged)
        return;
    // A destructor must not throw; the dataset gets back as much as can be given back.
    try {
        const auto enable = ControlsDisabled(FDataSet);
        const TBookmark mark = FDataSet->Active() ? FDataSet->GetBookmark() : TBookmark();
        if (auto* cds = dynamic_cast<TClientDataSet*>(FDataSet)) {
            if (!FIndexName.isEmpty())
                cds->SetIndexName(FIndexName);
            else
                cds->SetIndexFieldNames(FIndexFields);
        }
        FDataSet->SetFilter(FFilter);
        FDataSet->SetFiltered(FFiltered);
        try {
            FDataSet->GotoBookmark(mark);
        } catch (...) {
            // The record may be gone or filtered out again: staying elsewhere is fine.
        }
    } catch (...) {
    }
}

bool TTmpFilter::ApplyFilter(const QString& sFilter)
{
    FChanged = true;
    const auto enable = ControlsDisabled(FDataSet);
    const bool keepOwn = FFiltered && !FFilter.isEmpty();
    QString text;
    if (sFilter.isEmpty())
        text = keepOwn ? FFilter : QString();
    else
        text = keepOwn ? QStringLiteral("(") + FFilter + QStringLiteral(") AND (") + sFilter + QStringLiteral(")")
                       : sFilter;
    FDataSet->SetFilter(text);
    FDataSet->SetFiltered(true);
    FDataSet->First();
    return !FDataSet->Eof();
}

bool TTmpFilter::FindField(const QString& FilterField, int FilterValue)
{
    FChanged = true;
    const auto enable = ControlsDisabled(FDataSet);
    if (auto* cds = dynamic_cast<TClientDataSet*>(FDataSet)) {
        cds->SetIndexFieldNames(FilterField);
        return cds->FindKey({::Value(FilterValue)});
    }
    const QString term = FilterField + QStringLiteral("=") + QString::number(FilterValue);
    FDataSet->SetFilter(FFiltered && !FFilter.isEmpty() ? QStringLiteral("(") + FFilter + QStringLiteral(") AND ") + term
                                                        : term);
    FDataSet->SetFiltered(true);
    FDataSet->First();
    return !FDataSet->Eof();
}
