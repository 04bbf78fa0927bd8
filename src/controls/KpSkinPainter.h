#pragma once

#include "controls/KpSkin.h"

#include <QString>
#include <memory>

// Serves one skin under its look-and-feel name. The skin data is read from the program's
// skin resource of the resource name on first use; a resource that is missing or cannot
// be read leaves the painter without a skin.
class TKpSkinPainter {
public:
    TKpSkinPainter(const QString& ALookAndFeelName, const QString& AResourceName);
    // A painter of skin data at hand rather than from a resource.
    TKpSkinPainter(const QString& ALookAndFeelName, std::unique_ptr<TKpSkin> ASkin);
    const QString& LookAndFeelName() const { return FLookAndFeelName; }
    const QString& ResourceName() const { return FResourceName; }
    // The skin, or null when it cannot be had.
    const TKpSkin* Skin() const;

private:
    QString FLookAndFeelName;
    QString FResourceName;
    mutable bool FLoaded = false;
    mutable std::unique_ptr<TKpSkin> FSkin;
};
