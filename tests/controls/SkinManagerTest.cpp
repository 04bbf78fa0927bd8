#include "controls/KelpSkinManager.h"
#include "controls/SkinRegistration.h"

#include <gtest/gtest.h>

TEST(SkinManager, ColoursAreWhiteBeforeInitialize)
{
    TKelpSkinManager manager;
    EXPECT_EQ(manager.ColorFocused(), QColor(255, 255, 255));
    EXPECT_TRUE(manager.SkinName().isEmpty());
}
