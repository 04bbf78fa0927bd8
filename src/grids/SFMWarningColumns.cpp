#include "grids/SFMWarningColumns.h"

#include "platform/data/Field.h"
#include "platform/rtl/EListError.h"

TSFMWarningColumn* TSFMWarningColumns::Add()
{
    FItems.push_back(std::make_unique<TSFMWarningColumn>(this));
    return FItems.back().get();
}

TSFMWarningColumn* TSFMWarningColumns::Column(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return FItems[Index].get();
}

void TSFMWarningColumns::Assign(const TSFMWarningColumns& Source)
{
    if (&Source == this)
        return;
    FItems.clear();
    for (const auto& c : Source.FItems)
        Add()->Assign(*c);
}

bool TSFMWarningColumns::FindColumn(TField* Field, TSFMWarningColumn*& WarningColumn) const
{
    WarningColumn = nullptr;
    if (!Field)
        return false;
    for (const auto& c : FItems)
        if (c->FieldName == Field->FieldName()) {
            WarningColumn = c.get();
            return true;
        }
    return false;
}
