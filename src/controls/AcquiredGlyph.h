#pragma once

#include "controls/GlyphCache.h"

#include <QString>

// Hands a glyph back when it goes out of scope, also when drawing throws.
class TAcquiredGlyph {
public:
    TAcquiredGlyph(const QString& AName, int AWidth, int AHeight, int ADPI, bool ARender)
        : FName(AName), FRender(ARender), FGlyph(AcquireGlyph(AName, AWidth, AHeight, ADPI, ARender))
    {
    }
    ~TAcquiredGlyph() { ReleaseGlyph(FName, FRender, FGlyph); }
    TAcquiredGlyph(const TAcquiredGlyph&) = delete;
    TAcquiredGlyph& operator=(const TAcquiredGlyph&) = delete;
    TKpSmartGlyph& operator*() const { return *FGlyph; }
    TKpSmartGlyph* operator->() const { return FGlyph.get(); }

private:
    QString FName;
    bool FRender;
    TGlyphPtr FGlyph;
};
