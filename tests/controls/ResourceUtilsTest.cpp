#include "ControlsTestSupport.h"

#include "controls/EImageError.h"
#include "controls/GlyphCache.h"
#include "controls/KpSmartGlyph.h"
#include "controls/ResourceUtils.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ResourceUtils;

namespace {

class ImageLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        SetIconsFolder(FDir.path());
    }
    void TearDown() override { SetIconsFolder(QString()); }
    QString Path(const QString& AFile) const { return FDir.filePath(AFile); }

    QTemporaryDir FDir;
};

QString SourceOf(const std::unique_ptr<QIODevice>& AStream)
{
    auto* file = qobject_cast<QFile*>(AStream.get());
    return file ? file->fileName() : QString();
}

// 16 x 16 white with grey diagonals from (2, 2) to (13, 13) and from (13, 2) to (2, 13).
QImage ExpectedPlaceholder()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    for (int i = 0; i < 12; ++i) {
        image.setPixel(2 + i, 2 + i, qRgb(0x80, 0x80, 0x80));
        image.setPixel(13 - i, 2 + i, qRgb(0x80, 0x80, 0x80));
    }
    return image;
}

QImage LoadedImage(const QString& AName)
{
    TKpSmartGlyph glyph;
    LoadGlyph(glyph, AName);
    return glyph.ToImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

TEST_F(ImageLookup, TypeOrderOutranksFileBeforeResource)
{
    // An SVG resource beats a PNG file of the same name...
    WriteSolidImage(Path("CHECKMARK.png"), 4, 4, Qt::blue, "PNG");
    TImageType type = TImageType::itNone;
    auto stream = OpenImageAnyType("CHECKMARK", type);
    EXPECT_EQ(type, TImageType::itSVG);
    EXPECT_EQ(SourceOf(stream), ":/images/CHECKMARK.svg");

    // ...while an SVG file beats the SVG resource.
    WriteFile(Path("CHECKMARK.svg"), SolidSvg(8, 8));
    stream = OpenImageAnyType("CHECKMARK", type);
    EXPECT_EQ(type, TImageType::itSVG);
    EXPECT_EQ(SourceOf(stream), Path("CHECKMARK.svg"));
}

TEST_F(ImageLookup, PngComesBeforeBitmapAndFilesMatchInAnyLetterCase)
{
    WriteSolidImage(Path("zzonly.bmp"), 5, 5, Qt::green, "BMP");
    TImageType type = TImageType::itNone;
    auto stream = OpenImageAnyType("ZZONLY", type);
    EXPECT_EQ(type, TImageType::itBitmap);
    EXPECT_EQ(SourceOf(stream), Path("zzonly.bmp"));
    EXPECT_EQ(LoadedImage("ZZONLY").pixel(2, 2), QColor(Qt::green).rgb());

    WriteSolidImage(Path("ZZONLY.png"), 5, 5, Qt::blue, "PNG");
    stream = OpenImageAnyType("ZZONLY", type);
    EXPECT_EQ(type, TImageType::itPNG);
    EXPECT_EQ(LoadedImage("ZZONLY").pixel(2, 2), QColor(Qt::blue).rgb());
}

TEST_F(ImageLookup, SizeSuffixesAreTriedWhenTheNameItselfIsMissing)
{
    WriteSolidImage(Path("ZZSZ_16.png"), 16, 16, Qt::red, "PNG");
    WriteSolidImage(Path("ZZSZ_40.png"), 40, 40, Qt::red, "PNG");
    struct {
        int Size;
        const char* Found;
    } const cases[] = {{20, "ZZSZ_16"}, {32, "ZZSZ_16"}, {12, ""}, {40, "ZZSZ_40"}, {-1, ""}};
    for (const auto& c : cases) {
        TImageType type = TImageType::itNone;
        QString found;
        auto stream = FindImage("ZZSZ", c.Size, type, found);
        EXPECT_EQ(found, QString(c.Found)) << c.Size;
        EXPECT_EQ(stream != nullptr, !found.isEmpty()) << c.Size;
    }
}

TEST_F(ImageLookup, LargeSvgDrawingsAreShownSixteenPixelsOnTheirSmallerSide)
{
    struct {
        int W, H, ExpectedW, ExpectedH;
    } const cases[] = {{40, 20, 32, 16}, {20, 40, 20, 40}, {24, 48, 16, 32}, {21, 10, 34, 16}, {16, 16, 16, 16}};
    for (const auto& c : cases) {
        const QString name = QStringLiteral("ZZSVG%1X%2").arg(c.W).arg(c.H);
        WriteFile(Path(name + ".svg"), SolidSvg(c.W, c.H));
        TKpSmartGlyph glyph;
        LoadGlyph(glyph, name);
        EXPECT_EQ(QSize(glyph.SourceWidth(), glyph.SourceHeight()), QSize(c.ExpectedW, c.ExpectedH)) << c.W << "x" << c.H;
    }
}

TEST_F(ImageLookup, AMissingImageIsTheCrossedPlaceholderPixelForPixel)
{
    TWarningCatcher warnings;
    EXPECT_EQ(LoadedImage("NO_SUCH_IMAGE"), ExpectedPlaceholder());
    EXPECT_TRUE(warnings.Messages().isEmpty());

    QImage larger(20, 10, QImage::Format_ARGB32_Premultiplied);
    DrawMissingImage(larger);
    EXPECT_EQ(larger.size(), QSize(20, 16));
    EXPECT_EQ(larger.pixel(2, 2), qRgb(0x80, 0x80, 0x80));
    EXPECT_EQ(larger.pixel(18, 14), qRgb(0xFF, 0xFF, 0xFF)); // end points are not drawn
}

TEST_F(ImageLookup, AnImageThatCannotBeDecodedIsShownAsMissingWithOneWarning)
{
    WriteFile(Path("BROKEN.png"), "not a png at all");
    WriteFile(Path("BROKENSVG.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect");
    TWarningCatcher warnings;
    EXPECT_EQ(LoadedImage("BROKEN"), ExpectedPlaceholder());
    EXPECT_EQ(LoadedImage("BROKEN"), ExpectedPlaceholder());
    EXPECT_EQ(LoadedImage("BROKENSVG"), ExpectedPlaceholder());
    EXPECT_EQ(warnings.Messages().filter("BROKEN.png").size(), 1);
    EXPECT_EQ(warnings.Messages().filter("BROKENSVG.svg").size(), 1);
}

TEST_F(ImageLookup, NamesThatCannotBeFileNamesAreRefused)
{
    for (const char* name : {"../SECRET", "A/B", "A\\B", "..", "A:B", "A*"})
        EXPECT_THROW(FindImageFile(name, TImageType::itSVG), EImageError) << name;
    SetIconsFolder(QString());
    EXPECT_EQ(FindImageFile("../SECRET", TImageType::itSVG), nullptr);
}

TEST_F(ImageLookup, AWideImageIsShrunkToFitAndCentred)
{
    WriteSolidImage(Path("ZZWIDE.png"), 32, 16, Qt::red, "PNG");
    TGlyphPtr glyph = CreateScaledGlyph("ZZWIDE", 16, 16, 96, true);
    const QImage image = glyph->ToImage();
    ASSERT_EQ(image.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y) {
        const bool inside = y >= 4 && y < 12;
        EXPECT_EQ(qAlpha(image.pixel(8, y)), inside ? 255 : 0) << y;
    }
    EXPECT_EQ(qAlpha(image.pixel(0, 8)), 255);
    EXPECT_EQ(qAlpha(image.pixel(15, 8)), 255);
}

TEST_F(ImageLookup, ASmallImageIsNotEnlargedAndAHigherResolutionScalesIt)
{
    WriteSolidImage(Path("ZZSMALL.png"), 8, 8, Qt::red, "PNG");
    QImage image = CreateScaledGlyph("ZZSMALL", 16, 16, 96, true)->ToImage();
    EXPECT_EQ(qAlpha(image.pixel(3, 3)), 0);
    EXPECT_EQ(qAlpha(image.pixel(4, 4)), 255);
    EXPECT_EQ(qAlpha(image.pixel(11, 11)), 255);
    EXPECT_EQ(qAlpha(image.pixel(12, 12)), 0);
    // At 192 dpi the 8-pixel image becomes 16 pixels and fills the bitmap.
    image = CreateScaledGlyph("ZZSMALL", 16, 16, 192, true)->ToImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(image.pixel(15, 15)), 255);
}

TEST(IconsDirSwitch, EveryWrittenFormNamesTheFolder)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    const QStringList forms[] = {
        {"prog", "-iconsDir", d},         {"prog", "/ICONSDIR", d},       {"prog", "-iconsdir:" + d},
        {"prog", "/iconsDir:" + d},       {"prog", "-IconsDir" + d},      {"prog", "file.ktr", "-iconsDir", d},
    };
    for (const QStringList& args : forms) {
        InitIconsFolder(args);
        EXPECT_EQ(IconsFolder(), d) << args.join(' ').toStdString();
    }
    InitIconsFolder({"prog", "iconsDir", d});
    EXPECT_EQ(IconsFolder(), QString());
    InitIconsFolder({"prog"});
    EXPECT_EQ(IconsFolder(), QString());
    SetIconsFolder(QString());
}

TEST(IconsDirSwitch, AMissingFolderIsIgnoredWithOneMessage)
{
    TWarningCatcher warnings;
    InitIconsFolder({"prog", "-iconsDir", "/no/such/folder/anywhere"});
    EXPECT_EQ(IconsFolder(), QString());
    EXPECT_EQ(warnings.Messages(),
              QStringList{"/iconsDir argument points to a not existing directory, it will be ignored"});
    SetIconsFolder(QString());
}
