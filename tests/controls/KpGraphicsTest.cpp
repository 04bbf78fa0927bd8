#include "ControlsTestSupport.h"

#include "controls/KelpSkinManager.h"
#include "controls/KpGraphics.h"
#include "controls/KpImageList.h"
#include "controls/KpPainter.h"
#include "controls/ResourceUtils.h"
#include "controls/SharedCellBitmap.h"
#include "controls/SkinRegistration.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Plain pixels, so the colours drawn can be compared exactly.
QFont SharpFont(int APixelSize, bool ABold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(APixelSize);
    font.setBold(ABold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage Canvas(int AWidth, int AHeight, const QColor& AColor = Qt::white)
{
    QImage image(AWidth, AHeight, QImage::Format_RGB32);
    image.fill(AColor);
    return image;
}

QSet<QRgb> Colours(const QImage& AImage, const QRect& AArea)
{
    QSet<QRgb> colours;
    for (int y = AArea.top(); y <= AArea.bottom(); ++y)
        for (int x = AArea.left(); x <= AArea.right(); ++x)
            colours.insert(AImage.pixel(x, y) | 0xFF000000u);
    return colours;
}

// Right-most column holding a pixel other than the background, -1 when none.
int RightmostInk(const QImage& AImage, QRgb ABackground)
{
    for (int x = AImage.width() - 1; x >= 0; --x)
        for (int y = 0; y < AImage.height(); ++y)
            if ((AImage.pixel(x, y) | 0xFF000000u) != (ABackground | 0xFF000000u))
                return x;
    return -1;
}

int LeftmostInk(const QImage& AImage, QRgb ABackground)
{
    for (int x = 0; x < AImage.width(); ++x)
        for (int y = 0; y < AImage.height(); ++y)
            if ((AImage.pixel(x, y) | 0xFF000000u) != (ABackground | 0xFF000000u))
                return x;
    return -1;
}

QImage DrawText(const QRect& ACell, int ADX, int ADY, const QString& AText, TAlignment AAlignment,
                TDrawCellFlags AFlags, const QFont& AFont, const QColor& ABrush = Qt::white,
                const QColor& AEtch = Qt::blue, const QColor& ABackground = Qt::white)
{
    QImage image = Canvas(120, 30, ABackground);
    QPainter painter(&image);
    painter.setFont(AFont);
    painter.setPen(Qt::black);
    painter.setBrush(ABrush);
    DrawCellText(painter, ACell, ADX, ADY, AText, AAlignment, AFlags, AEtch);
    painter.end();
    return image;
}

} // namespace

TEST(DrawCellText, FastPathPlacesTheTextByAlignment)
{
    const QFont font = SharpFont(12);
    const QRect cell(10, 0, 80, 20);
    const int width = QFontMetrics(font).horizontalAdvance("Abc");

    // Right: 3 pixels between the text's end and the cell's right edge, whatever DX is.
    const QImage right = DrawText(cell, 20, 2, "Abc", TAlignment::taRightJustify, 0, font);
    EXPECT_EQ(right, DrawText(cell, 0, 2, "Abc", TAlignment::taRightJustify, 0, font));
    EXPECT_LE(RightmostInk(right, qRgb(255, 255, 255)), 90 - 3 - 1);
    EXPECT_GE(RightmostInk(right, qRgb(255, 255, 255)), 90 - 3 - 3);

    const QImage left = DrawText(cell, 5, 2, "Abc", TAlignment::taLeftJustify, 0, font);
    EXPECT_GE(LeftmostInk(left, qRgb(255, 255, 255)), 15);
    EXPECT_LE(LeftmostInk(left, qRgb(255, 255, 255)), 16);

    const QImage centre = DrawText(cell, 5, 2, "Abc", TAlignment::taCenter, 0, font);
    EXPECT_GE(LeftmostInk(centre, qRgb(255, 255, 255)), 10 + 40 - width / 2);
    EXPECT_LE(LeftmostInk(centre, qRgb(255, 255, 255)), 10 + 40 - width / 2 + 1);
}

TEST(DrawCellText, FastPathFillsTheCellUnlessTransparentAndClipsToIt)
{
    const QFont font = SharpFont(12);
    const QImage filled = DrawText(QRect(10, 5, 30, 20), 2, 2, "WWWWWWWWWW", TAlignment::taLeftJustify, 0, font, Qt::yellow);
    EXPECT_EQ(filled.pixel(11, 24), QColor(Qt::yellow).rgb());
    EXPECT_EQ(RightmostInk(filled, qRgb(255, 255, 255)), 39); // clipped at the cell's right edge
    const QImage clear = DrawText(QRect(10, 5, 30, 20), 2, 2, "W", TAlignment::taLeftJustify, dcfTransparent, font, Qt::yellow);
    EXPECT_FALSE(Colours(clear, clear.rect()).contains(QColor(Qt::yellow).rgb()));
    const QImage empty = DrawText(QRect(10, 5, 30, 20), 2, 2, "", TAlignment::taLeftJustify, dcfTransparent | dcfSingleLine, font, Qt::yellow);
    EXPECT_EQ(empty, Canvas(120, 30));
}

TEST(DrawCellText, ACanvasWithoutABrushIsNotFilled)
{
    for (const TDrawCellFlags flags : {TDrawCellFlags(0), TDrawCellFlags(dcfEndEllipsis | dcfSoftBold)}) {
        QImage image = Canvas(60, 20, Qt::green);
        QPainter painter(&image);
        QFont font = SharpFont(12, true);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        DrawCellText(painter, QRect(0, 0, 60, 20), 2, 2, "Aa", TAlignment::taLeftJustify, flags, Qt::gray);
        painter.end();
        EXPECT_EQ(image.pixel(58, 18), QColor(Qt::green).rgb()) << int(flags);
        EXPECT_TRUE(Colours(image, image.rect()).contains(qRgb(0, 0, 0))) << int(flags);
    }
}

TEST(DrawCellText, SoftBoldDrawsRegularTextOverBlendedCopies)
{
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb mix55 = qRgb(140, 140, 140); // 45 % text, 55 % background
    const QRgb mix85 = qRgb(217, 217, 217); // 15 % text, 85 % background
    const TDrawCellFlags flags = dcfEndEllipsis | dcfSoftBold;

    const QImage small = DrawText(QRect(0, 0, 120, 30), 2, 2, "Ilgums", TAlignment::taLeftJustify, flags, SharpFont(12, true));
    EXPECT_EQ(Colours(small, small.rect()), (QSet<QRgb>{white, black, mix55}));

    const QImage large = DrawText(QRect(0, 0, 120, 30), 2, 2, "Ilgums", TAlignment::taLeftJustify, flags, SharpFont(16, true));
    EXPECT_EQ(Colours(large, large.rect()), (QSet<QRgb>{white, black, mix55, mix85}));

    // A regular font is drawn once, in its own colour.
    const QImage regular = DrawText(QRect(0, 0, 120, 30), 2, 2, "Ilgums", TAlignment::taLeftJustify, flags, SharpFont(16));
    EXPECT_EQ(Colours(regular, regular.rect()), (QSet<QRgb>{white, black}));
}

TEST(DrawCellText, EtchedTransparentTextHasAHighlightCopyAndTheEtchColour)
{
    const QRgb highlight = QGuiApplication::palette().color(QPalette::Light).rgb();
    const QImage etched = DrawText(QRect(0, 0, 120, 30), 2, 2, "Etched", TAlignment::taLeftJustify, 15, SharpFont(12),
                                   Qt::red, Qt::blue, Qt::green);
    const QSet<QRgb> colours = Colours(etched, etched.rect());
    EXPECT_TRUE(colours.contains(QColor(Qt::blue).rgb()));
    EXPECT_TRUE(colours.contains(highlight | 0xFF000000u));
    EXPECT_FALSE(colours.contains(QColor(Qt::red).rgb()));
    EXPECT_FALSE(colours.contains(qRgb(0, 0, 0)));
    EXPECT_EQ(etched.pixel(0, 0), QColor(Qt::green).rgb());
}

TEST(DrawCellText, EllipsisCutsALongSingleLine)
{
    const QFont font = SharpFont(12);
    const QImage cut = DrawText(QRect(0, 0, 60, 30), 2, 0, "Ļoti garš kolonnas nosaukums", TAlignment::taLeftJustify,
                                dcfSingleLine | dcfEndEllipsis, font);
    EXPECT_LT(RightmostInk(cut, qRgb(255, 255, 255)), 60);
    EXPECT_GT(RightmostInk(cut, qRgb(255, 255, 255)), 40);
}

TEST(SharedCellBitmap, GrowsButNeverShrinks)
{
    QImage target = Canvas(400, 60);
    QPainter painter(&target);
    BeginCellBitmap(QRect(0, 0, 100, 40));
    EndCellBitmap(painter, QRect(0, 0, 100, 40));
    QPainter& bitmap = BeginCellBitmap(QRect(5, 5, 300, 20));
    EXPECT_TRUE(SharedCellBitmap().IsOwnCanvas(bitmap));
    EXPECT_EQ(CellBitmapRect(QRect(5, 5, 300, 20)), QRect(0, 0, 300, 20));
    EndCellBitmap(painter, QRect(5, 5, 300, 20));
    EXPECT_GE(SharedCellBitmap().Size().width(), 300);
    EXPECT_GE(SharedCellBitmap().Size().height(), 40);
    EXPECT_FALSE(SharedCellBitmap().IsLocked());
}

TEST(DrawCellImage, ALargeImageStartsAtTheMarginAndOnlyTheCellReachesTheCanvas)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("ZZRED.svg"), SolidSvg(20, 20));
    ResourceUtils::SetIconsFolder(dir.path());
    TKpImageList list(20, 20);
    list.AddImageName("ZZRED");
    ResourceUtils::SetIconsFolder(QString());

    QImage canvas = Canvas(40, 40);
    QPainter painter(&canvas);
    painter.setBrush(Qt::blue);
    DrawCellImage(painter, list, QRect(10, 10, 12, 12), 0, true, 1, {}, nullptr);
    painter.end();
    EXPECT_EQ(canvas.pixel(10, 10), QColor(Qt::blue).rgb()); // the margin
    EXPECT_EQ(canvas.pixel(11, 11), QColor(Qt::red).rgb());  // the image's top-left
    EXPECT_EQ(canvas.pixel(21, 21), QColor(Qt::red).rgb());
    EXPECT_EQ(canvas.pixel(22, 22), QColor(Qt::white).rgb()); // beyond the cell

    // Without a background the image is drawn straight onto the canvas, unclipped.
    QImage straight = Canvas(40, 40);
    QPainter direct(&straight);
    direct.setBrush(Qt::NoBrush);
    DrawCellImage(direct, list, QRect(10, 10, 12, 12), 0, true, 1, {}, nullptr);
    direct.end();
    EXPECT_EQ(straight.pixel(10, 10), QColor(Qt::white).rgb());
    EXPECT_EQ(straight.pixel(25, 25), QColor(Qt::red).rgb());
}

TEST(DrawCellImage, ABackgroundPainterPaintsBeneathTheCentredImage)
{
    TKpImageList list(11, 11);
    list.AddImageName("DBEDGARROW");
    QImage canvas = Canvas(30, 30);
    QPainter painter(&canvas);
    DrawCellImage(painter, list, QRect(0, 0, 30, 30), 0, true, 2,
                  [](QPainter& c, const QRect& r) { c.fillRect(r, Qt::yellow); }, nullptr);
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), QColor(Qt::yellow).rgb());
    // The arrow lies in the centred 11 x 11 square (10, 10)-(20, 20).
    EXPECT_NE(canvas.pixel(15, 15), QColor(Qt::yellow).rgb());
    EXPECT_EQ(canvas.pixel(5, 15), QColor(Qt::yellow).rgb());
}

TEST(Colours, BlendingAndLightening)
{
    struct {
        QColor A, B;
        double Factor;
        QColor Expected;
    } const blends[] = {
        {QColor(0, 0, 0), QColor(255, 255, 255), 0.55, QColor(140, 140, 140)},
        {QColor(0, 0, 0), QColor(255, 255, 255), 0.85, QColor(217, 217, 217)},
        {QColor(10, 20, 30), QColor(110, 120, 130), 0.0, QColor(10, 20, 30)},
        {QColor(10, 20, 30), QColor(110, 120, 130), 1.0, QColor(110, 120, 130)},
        {QColor(255, 0, 0), QColor(0, 0, 255), 0.5, QColor(128, 0, 128)},
    };
    for (const auto& b : blends)
        EXPECT_EQ(BlendColors(b.A, b.B, b.Factor), b.Expected) << b.Factor;
    EXPECT_EQ(LightenColor(QColor(0, 100, 255), 50), QColor(128, 178, 255));
    EXPECT_EQ(LightenColor(QColor(40, 40, 40), 0), QColor(40, 40, 40));
}

TEST(GridPainter, GradientsRunFromTheFirstToTheSecondSkinColour)
{
    RegisterSkinPainters();
    QWidget mainWindow;
    SkinManager().Initialize(&mainWindow, "QurtaLumeret");
    const TKelpSkinManager& skin = SkinManager();

    QImage title = Canvas(10, 41);
    QPainter painter(&title);
    GridPainter().Grid_Title(painter, title.rect());
    painter.end();
    const auto near = [](QRgb a, const QColor& b) {
        return std::abs(qRed(a) - b.red()) <= 3 && std::abs(qGreen(a) - b.green()) <= 3 && std::abs(qBlue(a) - b.blue()) <= 3;
    };
    EXPECT_TRUE(near(title.pixel(5, 0), skin.ColorHeaderBeginGradient()));
    EXPECT_TRUE(near(title.pixel(5, 40), skin.ColorHeaderEndGradient()));
    EXPECT_EQ(title.pixel(0, 20), title.pixel(9, 20)); // top to bottom only

    QImage indicator = Canvas(41, 10);
    painter.begin(&indicator);
    GridPainter().Grid_IndicatorSelected(painter, indicator.rect());
    painter.end();
    EXPECT_TRUE(near(indicator.pixel(0, 5), skin.ColorHeaderHotBeginGradient()));
    EXPECT_TRUE(near(indicator.pixel(40, 5), skin.ColorHeaderHotEndGradient()));
    EXPECT_EQ(indicator.pixel(20, 0), indicator.pixel(20, 9));

    QImage current = Canvas(10, 41);
    painter.begin(&current);
    GridPainter().Grid_TitleCurrent(painter, current.rect());
    painter.end();
    EXPECT_TRUE(near(current.pixel(5, 0), QColor(0xFF, 0xF4, 0xCC)));
    EXPECT_TRUE(near(current.pixel(5, 40), QColor(0xFF, 0xD0, 0x91)));

    // Equal colours fill the rectangle plainly.
    QImage flat = Canvas(10, 10, Qt::black);
    painter.begin(&flat);
    TKpPainter::GradientFill(painter, flat.rect(), QColor(1, 2, 3), QColor(1, 2, 3), false);
    painter.end();
    EXPECT_EQ(Colours(flat, flat.rect()), QSet<QRgb>{qRgb(1, 2, 3)});
}

TEST(DragImages, TheDropMarkAndCursorAreReady)
{
    TKpImageList& marks = DragMarkImages();
    EXPECT_EQ(marks.Count(), 1);
    EXPECT_GT(marks.Height(), marks.Width());
    // White counts as transparent in the mark.
    EXPECT_EQ(qAlpha(marks.Image(0).pixel(0, marks.Height() / 2)), 0);
    EXPECT_FALSE(DragRemoveCursor().pixmap().isNull());
    EXPECT_GT(GridDragDistance().x(), 0);
    FreeDragImages();
}
