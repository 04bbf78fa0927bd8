#include "grids/SFMWarningDefs.h"

#include "platform/rtl/EListError.h"

TSFMWarningDef* TSFMWarningDefs::Add()
{
    FItems.push_back(std::make_unique<TSFMWarningDef>());
    return FItems.back().get();
}

TSFMWarningDef* TSFMWarningDefs::WarningDef(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return FItems[Index].get();
}

void TSFMWarningDefs::SetWarningDef(int Index, const TSFMWarningDef& Value) { WarningDef(Index)->Assign(Value); }

void TSFMWarningDefs::Delete(int Index)
{
    WarningDef(Index);
    FItems.erase(FItems.begin() + Index);
}

void TSFMWarningDefs::Assign(const TSFMWarningDefs& Source)
{
    if (&Source == this)
        return;
    FItems.clear();
    for (const auto& d : Source.FItems)
        Add()->Assign(*d);
}
