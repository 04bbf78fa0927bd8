#include "controls/ControlsModule.h"

#include "controls/GlyphCache.h"
#include "controls/KelpSkinManager.h"
#include "controls/KpGlobalImageList.h"
#include "controls/KpGraphics.h"
#include "controls/KpPainter.h"
#include "controls/ResourceUtils.h"
#include "controls/SharedCellBitmap.h"
#include "controls/SkinRegistration.h"

void ControlsStartup(const QStringList& AArguments)
{
    SkinManager();
    ResourceUtils::InitIconsFolder(AArguments);
    GlobalNodeImages();
    GlobalFavoritesImages();
    SharedCellBitmap();
    DragRemoveCursor();
    DragMarkImages();
    GridPainter();
    RegisterSkinPainters();
}

void ControlsShutdown()
{
    UnregisterSkinPainters();
    FreeDragImages();
    FreeGlobalImageLists();
    FreeGlyphCache();
}
