#include "grids/TTmpFilter.h"

#include "platform/data/ClientDataSet.h"
#include "platform/data/TDataSetGuard.h"

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
    // A destructor must not throw; the dataset gets back as much as can be given back. The
    // record shown now stays current if the restored filter keeps it.
    const TDataSetGuard keep(FDataSet, TDataSetGuard::Controls | TDataSetGuard::Position);
    try {
        if (auto* cds = dynamic_cast<TClientDataSet*>(FDataSet)) {
            if (!FIndexName.isEmpty())
                cds->SetIndexName(FIndexName);
            else
                cds->SetIndexFieldNames(FIndexFields);
        }
        FDataSet->SetFilter(FFilter);
        FDataSet->SetFiltered(FFiltered);
    } catch (...) {
    }
}

bool TTmpFilter::ApplyFilter(const QString& sFilter)
{
    FChanged = true;
    const TDataSetGuard still(FDataSet, TDataSetGuard::Controls);
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
    const TDataSetGuard still(FDataSet, TDataSetGuard::Controls);
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
