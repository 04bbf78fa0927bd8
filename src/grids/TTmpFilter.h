#pragma once

#include <QString>

class TDataSet;

// Narrows a dataset for a while (by a filter or by a key search) and, when freed, gives it
// back its filter, filtering state, index order and current record. Only a guard that has
// changed something touches the dataset on the way out.
class TTmpFilter {
public:
    explicit TTmpFilter(TDataSet* ADataSet);
    ~TTmpFilter();
    TTmpFilter(const TTmpFilter&) = delete;
    TTmpFilter& operator=(const TTmpFilter&) = delete;

    // Filters by sFilter, combined with the dataset's own active filter; goes to the first
    // record and answers whether there is one. An empty sFilter narrows nothing further.
    bool ApplyFilter(const QString& sFilter);
    // Puts the dataset on the first record whose FilterField equals FilterValue: a client
    // dataset by ordering on the field and searching the key, any other by filtering.
    bool FindField(const QString& FilterField, int FilterValue);

    TDataSet* DataSet() const { return FDataSet; }
    bool Changed() const { return FChanged; }

private:
    QString FIndexName;
    QString FIndexFields;
    TDataSet* FDataSet;
    QString FFilter;
    bool FFiltered;
    bool FChanged = false;
};
