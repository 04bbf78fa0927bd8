#include "controls/SkinRegistration.h"

#include "controls/LookAndFeelPainters.h"


void RegisterSkinPainters()
{
    for (const QString& name : SkinPainterNames)
        LookAndFeelPainters().Register(std::make_unique<TKpSkinPainter>(name, name.toUpper()));
}

void UnregisterSkinPainters()
{
    for (const QString& name : SkinPainterNames)
        LookAndFeelPainters().Unregister(name);
}
