#include "base/IScalableComponent.h"
#include "controls/GlyphCache.h"
#include "controls/KpGlobalImageList.h"
#include "controls/KpImageList.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/UiServices.h"

#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A control drawn at twice its designed size.
class TScaledControl : public QWidget, public IScalableComponent {
public:
    double GetScale() const override { return 2.0; }
    void SetScale(double) override {}
};

} // namespace

TEST(ImageList, NamesAreHeldInUpperCaseAndAnotherLetterCaseChangesNothing)
{
    TKpImageList list;
    TImageNamesItem* item = list.AddImageName("arrow");
    EXPECT_EQ(item->ImageName(), "ARROW");
    EXPECT_EQ(item->ImageIndex(), 0);
    const qint64 key = list.Image(0).cacheKey();
    item->SetImageName("Arrow");
    EXPECT_EQ(list.Image(0).cacheKey(), key); // not reloaded
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(item->GetDisplayName(), "ARROW");
    EXPECT_EQ(list.ImageNames().Add()->GetDisplayName(), "TImageNamesItem");
}

TEST(ImageList, IndexOfMatchesExactlyAndItemsAreFoundByImageIndex)
{
    TKpImageList list(11, 11);
    list.AddImageName("DBEDGARROW");
    list.AddImageName("DBEDEDIT");
    EXPECT_EQ(list.IndexOf("DBEDEDIT"), 1);
    EXPECT_EQ(list.IndexOf("dbededit"), -1);
    EXPECT_EQ(list.ImageNames().ItemByImageIndex(1)->ImageName(), "DBEDEDIT");
    try {
        list.ImageNames().ItemByImageIndex(5);
        FAIL() << "no item holds image 5";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "ImageIndex 5 not found.");
    }
}

TEST(ImageList, DeletingAnItemMovesTheLaterImagesDown)
{
    TKpImageList list(9, 9);
    for (const char* name : {"ASC1", "DESC1", "ASC2"})
        list.AddImageName(name);
    const qint64 lastKey = list.Image(2).cacheKey();
    list.ImageNames().Delete(0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ImageNames().Items(0)->ImageIndex(), 0);
    EXPECT_EQ(list.ImageNames().Items(1)->ImageIndex(), 1);
    EXPECT_EQ(list.Image(1).cacheKey(), lastKey);
    EXPECT_EQ(list.IndexOf("ASC2"), 1);
}

TEST(ImageList, ImagesAreRenderedAtTheListSize)
{
    TKpImageList list(11, 11);
    list.AddImageName("DBEDGARROW");
    list.AddImageName("NO_SUCH_IMAGE");
    EXPECT_EQ(list.Image(0).size(), QSize(11, 11));
    // The 16 x 16 placeholder is shrunk into the list's size.
    EXPECT_EQ(list.Image(1).size(), QSize(11, 11));
    EXPECT_EQ(list.Image(1).pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF));
}

TEST(ImageList, RescalingRebuildsOnlyWhenTheRoundedSizeChanges)
{
    TKpImageList list(16, 16);
    list.AddImageName("OPEN");
    const qint64 key = list.Image(0).cacheKey();
    list.SetScale(1.0);
    EXPECT_EQ(list.Image(0).cacheKey(), key);
    list.SetScale(1.5);
    EXPECT_EQ(QSize(list.Width(), list.Height()), QSize(24, 24));
    EXPECT_EQ(list.SourceDPI(), 144);
    EXPECT_EQ(list.Image(0).size(), QSize(24, 24));
    list.ScaleForPPI(192);
    EXPECT_EQ(QSize(list.Width(), list.Height()), QSize(48, 48));
    EXPECT_EQ(list.SourceDPI(), 288);
    EXPECT_EQ(list.ImageNames().Items(0)->ImageIndex(), 0);
    EXPECT_THROW(list.SetScale(0.0), ERangeError);
    EXPECT_THROW(list.ScaleForPPI(0), ERangeError);
    EXPECT_EQ(list.Width(), 48);
}

TEST(ImageList, StreamingKeepsOnlyTheNamesAndReloadsThemInOrder)
{
    TKpImageList list(9, 9);
    list.AddImageName("ASC1");
    list.AddImageName("DESC1");
    EXPECT_EQ(list.WriteState(), (QStringList{"ASC1", "DESC1"}));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ImageNames().Items(1)->ImageIndex(), -1);

    TKpImageList loaded(9, 9);
    loaded.BeginLoading();
    loaded.AddImageName("DESC2");
    loaded.AddImageName("ASC2");
    EXPECT_EQ(loaded.Count(), 0);
    loaded.Loaded();
    EXPECT_EQ(loaded.IndexOf("DESC2"), 0);
    EXPECT_EQ(loaded.IndexOf("ASC2"), 1);
}

TEST(ImageList, DrawingByPositionOutsideTheNamesDrawsNothing)
{
    TKpImageList list(9, 9);
    list.AddImageName("ASC1");
    QImage canvas(20, 20, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    list.DrawByIdx(painter, QRect(0, 0, 9, 9), -1);
    list.DrawByIdx(painter, QRect(0, 0, 9, 9), 1);
    list.DrawByName(painter, 0, 0, "asc1"); // names match exactly
    painter.end();
    QImage white(20, 20, QImage::Format_ARGB32);
    white.fill(Qt::white);
    EXPECT_EQ(canvas, white);
}

TEST(ImageList, DrawingByNameAtARectangleRendersForThatRectangle)
{
    FreeGlyphCache();
    TKpImageList list(16, 16);
    QImage canvas(40, 40, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    list.DrawByName(painter, QRect(4, 4, 32, 32), "CHECKMARK");
    painter.end();
    // 32 pixels for a 16-pixel list is 192 dpi: the 16-pixel image fills the rectangle.
    TGlyphPtr* hit = nullptr;
    EXPECT_TRUE(GlyphCache()->TryGetValue(GlyphCacheKey("CHECKMARK", 32, 32, 192, true), hit));
    EXPECT_NE(canvas.pixel(4 + 4, 4 + 18), qRgb(255, 255, 255)); // the tick's left arm
    FreeGlyphCache();
}

TEST(ImageList, CellRectangleFollowsResolutionAndScale)
{
    TKpImageList list(11, 11);
    // 144 * 11 / 96 = 16.5, rounded half to even.
    EXPECT_EQ(CalcScaledImageRect(144, list, QRect(0, 0, 20, 20), 1.0), QRect(2, 2, 16, 16));
    EXPECT_EQ(CalcScaledImageRect(96, list, QRect(10, 10, 20, 20), 2.0), QRect(9, 9, 22, 22));
    EXPECT_EQ(CalcCellImageRect(nullptr, list, QRect(0, 0, 21, 21)), QRect(5, 5, 11, 11));

    QWidget control;
    UiServices::SetPixelsPerInchHook([](const QWidget*) { return 144; });
    EXPECT_EQ(CalcCellImageRect(&control, list, QRect(0, 0, 20, 20)), QRect(2, 2, 16, 16));
    UiServices::SetPixelsPerInchHook({});

    TScaledControl scaled;
    EXPECT_EQ(CalcCellImageRect(&scaled, list, QRect(0, 0, 30, 30)), QRect(4, 4, 22, 22));
}

TEST(ImageList, ButtonScaleFactorIsRescaledAsAFractionOf96)
{
    TScaleFactor factor{3, 2};
    EXPECT_FALSE(RescaleButtonScaleFactor(&factor, 1.0, 1.0));
    EXPECT_FALSE(RescaleButtonScaleFactor(nullptr, 1.0, 2.0));
    ASSERT_TRUE(RescaleButtonScaleFactor(&factor, 1.0, 2.0));
    EXPECT_EQ(factor.Numerator, 288);
    EXPECT_EQ(factor.Denominator, 96);
}

TEST(GlobalImageList, AddsMissingNamesButNotOnceMoreForEachLetterCase)
{
    TKpGlobalImageList list(16, 16);
    EXPECT_EQ(list.IndexOf(""), -1);
    const int index = list.IndexOf("CHECKMARK");
    EXPECT_EQ(index, 0);
    for (const char* name : {"checkmark", "CheckMark", "CHECKMARK", "checkMARK"})
        EXPECT_EQ(list.IndexOf(name), index) << name;
    EXPECT_EQ(list.ImageNames().Count(), 1);
    EXPECT_EQ(list.Count(), 1);
}

TEST(GlobalImageList, TheTwoSharedListsHoldTheirNamesInOrder)
{
    EXPECT_EQ(GlobalNodeImages().ImageNames().Count(), 15);
    EXPECT_EQ(GlobalNodeImages().IndexOf("TREEEXPAND"), 14);
    EXPECT_EQ(GlobalFavoritesImages().ImageNames().Count(), 7);
    EXPECT_EQ(GlobalFavoritesImages().IndexOf("REM_FAVS"), 6);
    FreeGlobalImageLists();
}
