#include "export/TxlColumns.h"

#include "export/TDocumentExportBase.h"
#include "platform/rtl/EListError.h"

TxlColumns::TxlColumns(TDocumentExportBase* owner) : FOwner(owner) { }

TxlColumn& TxlColumns::Add()
{
    FItems.push_back(std::make_unique<TxlColumn>(this));
    TxlColumn& c = *FItems.back();
    if (FOwner)
        c.SetDataSet(FOwner->Dataset());
    return c;
}

TxlColumn& TxlColumns::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *FItems[size_t(index)];
}

void TxlColumns::Assign(const TxlColumns& source)
{
    if (&source == this)
        return;
    Clear();
    for (const auto& c : source.FItems) {
        FItems.push_back(std::make_unique<TxlColumn>(this));
        FItems.back()->Assign(*c);
    }
}

int TxlColumns::IndexOf(const TxlColumn* column) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == column)
            return int(i);
    return -1;
}

bool TxlColumns::HasAggregateFields() const
{
    for (const auto& c : FItems)
        if (c->Aggregate() != TxlAggregate::xlaNone)
            return true;
    return false;
}

int TxlColumns::DisplayFormatedCount() const
{
    int n = 0;
    for (const auto& c : FItems)
        if (!c->DisplayFormat().isEmpty())
            ++n;
    return n;
}
