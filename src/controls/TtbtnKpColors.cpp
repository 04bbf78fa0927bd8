#include "controls/TtbtnKpColors.h"

void TtbtnKpColors::SetColor(Entry AEntry, const QColor& AValue)
{
    const unsigned bit = 1u << AEntry;
    if (!AValue.isValid() || AValue.alpha() == 0) {
        if (!FColors.at(AEntry).isValid() && !(FAssigned & bit))
            return;
        FColors.at(AEntry) = QColor();
        FAssigned &= ~bit;
        Changed();
        return;
    }
    if (FColors.at(AEntry) == AValue && (FAssigned & bit))
        return;
    FColors.at(AEntry) = AValue;
    FAssigned |= bit;
    Changed();
}

void TtbtnKpColors::Assign(const TtbtnKpColors& ASource)
{
    if (&ASource == this)
        return;
    FColors = ASource.FColors;
    FAssigned = ASource.FAssigned;
    Changed();
}

void TtbtnKpColors::Changed()
{
    if (OnChanged)
        OnChanged();
}
