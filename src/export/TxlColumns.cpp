#include "export/TxlColumns.h"

#include "export/TDocumentExportBase.h"
#include "platform/rtl/EListError.h"

TxlColumns::TxlColumns(TDocumentExportBase* owner) : m_owner(owner) { }

TxlColumn& TxlColumns::Add()
{
    m_items.push_back(std::make_unique<TxlColumn>(this));
    TxlColumn& c = *m_items.back();
    if (m_owner)
        c.SetDataSet(m_owner->Dataset());
    return c;
}

TxlColumn& TxlColumns::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *m_items[size_t(index)];
}

void TxlColumns::Assign(const TxlColumns& source)
{
    if (&source == this)
        return;
    Clear();
    for (const auto& c : source.m_items) {
        m_items.push_back(std::make_unique<TxlColumn>(this));
        m_items.back()->Assign(*c);
    }
}

int TxlColumns::IndexOf(const TxlColumn* column) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == column)
            return int(i);
    return -1;
}

bool TxlColumns::HasAggregateFields() const
{
    for (const auto& c : m_items)
        if (c->Aggregate() != TxlAggregate::xlaNone)
            return true;
    return false;
}

int TxlColumns::DisplayFormatedCount() const
{
    int n = 0;
    for (const auto& c : m_items)
        if (!c->DisplayFormat().isEmpty())
            ++n;
    return n;
}
