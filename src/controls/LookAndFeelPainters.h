#pragma once

#include "controls/KpSkinPainter.h"

#include <QString>
#include <memory>
#include <vector>

// The skins known by name. Names are matched without regard to letter case.
class TLookAndFeelPainters {
public:
    // Registers the painter (replacing one of the same name).
    void Register(std::unique_ptr<TKpSkinPainter> APainter);
    void Unregister(const QString& AName);
    // The painter of that name, or null.
    const TKpSkinPainter* GetPainter(const QString& AName) const;
    int Count() const { return static_cast<int>(FPainters.size()); }

private:
    std::vector<std::unique_ptr<TKpSkinPainter>> FPainters;
};

// The process's one list of skins.
TLookAndFeelPainters& LookAndFeelPainters();
