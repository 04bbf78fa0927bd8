#include "controls/ControlsModule.h"
#include "controls/KpGlobalImageList.h"
#include "controls/KpSmartGlyph.h"
#include "controls/LookAndFeelPainters.h"
#include "controls/ResourceUtils.h"
#include "controls/SkinRegistration.h"

#include <gtest/gtest.h>

// Every image the program asks for by name is one of its own resources, so none of them
// shows the placeholder.
TEST(ShippedImages, EveryNameTheProgramDrawsIsAnSvgResource)
{
    const QStringList names = {
        "OPEN", "IMPORT", "SRCHTOEND", "SRCHTOSTART", "SRCHFROMSTART", "CHECKMARK", "CROSSMARK",
        "ACTIONS_CALENDAR_SVG", "NOMEST", "RIGHT", "LEFT", "UP", "DOWN", "DOTS2",
        "DBEDGARROW", "DBEDEDIT", "DBEDINSERT", "DBEDMULTIDOT", "DBEDMULTIARROW", "DBEDCACHEINSERTED",
        "DBEDCACHEUPDATED", "DBEDCACHEDELETED", "DBEDDRAGMARK", "CRDRAGREMOVE",
        "ASC1", "DESC1", "ASC2", "DESC2", "ASC3", "DESC3", "ASC4", "DESC4", "ASC5", "DESC5",
        "NODEEXPAND", "NODECOLLAPSE", "NODESONLY", "NODEDOCUMENT", "NODELIST", "NODEPAMATDATI", "NODEMENU",
        "SUBSIS", "SUBSIS2", "SUBSIS3", "SUBSIS4", "SUBSIS_NONE", "NONE", "TREECOLLAPSE", "TREEEXPAND",
        "ADD_FAVS", "REM_FAVS",
    };
    for (const QString& name : names) {
        EXPECT_NE(ResourceUtils::FindImageResource(name, TImageType::itSVG), nullptr) << name.toStdString();
        // Resources are matched without regard to letter case.
        EXPECT_NE(ResourceUtils::FindImageResource(name.toLower(), TImageType::itSVG), nullptr) << name.toStdString();
        TKpSmartGlyph glyph;
        ResourceUtils::LoadGlyph(glyph, name);
        EXPECT_EQ(glyph.ImageType(), TImageType::itSVG) << name.toStdString();
    }
    EXPECT_EQ(ResourceUtils::FindImageResource("CHECKMARK", TImageType::itPNG), nullptr);
    EXPECT_EQ(ResourceUtils::FindImageResource("CHECKMARK", TImageType::itNone), nullptr);
}

TEST(ControlsModule, StartUpPreparesAndShutDownReleases)
{
    ControlsStartup({"prog"});
    EXPECT_EQ(ResourceUtils::IconsFolder(), QString());
    EXPECT_EQ(GlobalNodeImages().Count(), 15);
    EXPECT_EQ(GlobalFavoritesImages().Count(), 7);
    for (const QString& name : SkinPainterNames)
        EXPECT_NE(LookAndFeelPainters().GetPainter(name), nullptr);
    ControlsShutdown();
    for (const QString& name : SkinPainterNames)
        EXPECT_EQ(LookAndFeelPainters().GetPainter(name), nullptr);
    RegisterSkinPainters();
}
