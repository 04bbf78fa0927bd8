#include "controls/GlyphCache.h"

#include <gtest/gtest.h>

namespace {

class GlyphPool : public ::testing::Test {
protected:
    void SetUp() override { FreeGlyphCache(); }
    void TearDown() override { FreeGlyphCache(); }
};

} // namespace

TEST_F(GlyphPool, KeysNameSizeResolutionAndRendering)
{
    EXPECT_EQ(GlyphCacheKey("ASC1", 9, 9, 96, true), "ASC1:9:9:96:R");
    EXPECT_EQ(GlyphCacheKey("OPEN", 16, 24, 144, false), "OPEN:16:24:144");
}

TEST_F(GlyphPool, AGlyphHandedBackIsTakenOutAgainInsteadOfRenderedAnew)
{
    TGlyphPtr glyph = AcquireGlyph("CHECKMARK", 16, 16, 96, true);
    TKpSmartGlyph* first = glyph.get();
    ReleaseGlyph("CHECKMARK", true, glyph);
    EXPECT_EQ(glyph, nullptr);
    EXPECT_EQ(GlyphCache()->Count(), 1);
    glyph = AcquireGlyph("CHECKMARK", 16, 16, 96, true);
    EXPECT_EQ(glyph.get(), first);
    EXPECT_EQ(GlyphCache()->Count(), 0); // in use, so out of the cache
    ReleaseGlyph("CHECKMARK", true, glyph);
}

TEST_F(GlyphPool, ReleasingAnAlreadyCachedKeyReplacesTheCachedGlyph)
{
    TGlyphPtr a = AcquireGlyph("CHECKMARK", 16, 16, 96, true);
    TGlyphPtr b = AcquireGlyph("CHECKMARK", 16, 16, 96, true); // rendered anew: a is out
    TKpSmartGlyph* second = b.get();
    ReleaseGlyph("CHECKMARK", true, a);
    ReleaseGlyph("CHECKMARK", true, b);
    EXPECT_EQ(GlyphCache()->Count(), 1);
    TGlyphPtr again = AcquireGlyph("CHECKMARK", 16, 16, 96, true);
    EXPECT_EQ(again.get(), second);
    ReleaseGlyph("CHECKMARK", true, again);
}

TEST_F(GlyphPool, TheHundredAndFirstKeyDropsTheLeastRecentlyReleasedGlyph)
{
    for (int size = 1; size <= GlyphCacheCapacity + 1; ++size) {
        TGlyphPtr glyph = AcquireGlyph("ASC1", size, size, 96, true);
        ReleaseGlyph("ASC1", true, glyph);
    }
    std::shared_ptr<TGlyphCache> cache = GlyphCache();
    EXPECT_EQ(cache->Count(), GlyphCacheCapacity);
    TGlyphPtr* hit = nullptr;
    EXPECT_FALSE(cache->TryGetValue(GlyphCacheKey("ASC1", 1, 1, 96, true), hit));
    EXPECT_TRUE(cache->TryGetValue(GlyphCacheKey("ASC1", 2, 2, 96, true), hit));
}

TEST_F(GlyphPool, GlyphsHandedBackAfterShutDownAreFreed)
{
    TGlyphPtr glyph = AcquireGlyph("ASC1", 9, 9, 96, true);
    FreeGlyphCache();
    ReleaseGlyph("ASC1", true, glyph);
    EXPECT_EQ(glyph, nullptr);
    EXPECT_FALSE(GlyphCacheExists());
}
