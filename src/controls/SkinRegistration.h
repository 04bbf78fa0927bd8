#pragma once

#include <QString>
#include <array>

// The program's three skins: the one for every window but the main window, a variant of
// the main window's that is registered but never worn, and the main window's own.
inline const std::array<QString, 3> SkinPainterNames = {
    QStringLiteral("QurtaLumeret"),
    QStringLiteral("QurtaLumeretMainForm"),
    QStringLiteral("QurtaLumeretMainFormClean"),
};

// Registers the three skins under their names, each read from the resource of its name
// in upper case.
void RegisterSkinPainters();
void UnregisterSkinPainters();
