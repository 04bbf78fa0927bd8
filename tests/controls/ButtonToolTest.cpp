#include "controls/KpSkin.h"
#include "controls/LookAndFeelPainters.h"
#include "controls/TtbtnKp.h"
#include "controls/TtbtnKpGlyph.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A shown window holding tool buttons, so mouse events reach them as a person's would.
struct ToolButtonHost {
    std::unique_ptr<QWidget> Window = std::make_unique<QWidget>();
    ToolButtonHost()
    {
        Window->resize(300, 100);
        Window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }
    TtbtnKp* Add(int AX, int AGroupIndex = 0)
    {
        auto* b = new TtbtnKp(Window.get());
        b->move(AX, 10);
        b->SetGroupIndex(AGroupIndex);
        b->show();
        return b;
    }
};

QImage Slices(const std::vector<QColor>& AColors)
{
    QImage img(16 * static_cast<int>(AColors.size()), 16, QImage::Format_ARGB32);
    for (size_t i = 0; i < AColors.size(); ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                img.setPixelColor(static_cast<int>(i) * 16 + x, y, AColors[i]);
    return img;
}

} // namespace

TEST(ButtonTool, ImageNameIsUpperCasedAndSameNameInOtherCaseDoesNotReload)
{
    TtbtnKp b;
    b.SetImageName("open");
    EXPECT_EQ(b.ImageName(), "OPEN");
    EXPECT_FALSE(b.Glyph().isNull());
    // A bitmap put in afterwards stays when the same name comes again in other letter case.
    b.SetGlyph(Slices({ Qt::red }));
    b.SetImageName("Open");
    EXPECT_EQ(b.Glyph().size(), QSize(16, 16));
    EXPECT_EQ(b.Glyph().pixelColor(3, 3), QColor(Qt::red));
    b.SetImageName("");
    EXPECT_TRUE(b.Glyph().isNull());
    // A missing image shows the placeholder and raises nothing.
    b.SetImageName("NO_SUCH_IMAGE_ANYWHERE");
    EXPECT_FALSE(b.Glyph().isNull());
}

TEST(ButtonTool, LayoutOfImageAndCaption)
{
    struct Case {
        const char* Name;
        QRect Client;
        QSize G;
        QSize T;
        TButtonLayout Layout;
        int Margin;
        int Spacing;
        QPoint GlyphPos;
        QPoint TextPos;
        int OutMargin;
        int OutSpacing;
    };
    using L = TButtonLayout;
    const Case cases[] = {
        // Without a caption spacing drops to 0 first, so the image is centred.
        { "image only", QRect(0, 0, 20, 20), QSize(16, 16), QSize(0, 0), L::blGlyphLeft, -1, -1, { 2, 2 }, { 18, 9 }, 2, 0 },
        // Both computed: a third of the room each.
        { "both computed", QRect(0, 0, 100, 24), QSize(16, 16), QSize(30, 14), L::blGlyphLeft, -1, -1, { 18, 4 }, { 52, 4 }, 18, 18 },
        { "default spacing", QRect(0, 0, 100, 24), QSize(16, 16), QSize(30, 14), L::blGlyphLeft, -1, 4, { 25, 4 }, { 45, 4 }, 25, 4 },
        { "right", QRect(0, 0, 100, 24), QSize(16, 16), QSize(30, 14), L::blGlyphRight, 5, 4, { 79, 4 }, { 45, 4 }, 5, 4 },
        { "given margin, spacing computed", QRect(0, 0, 100, 24), QSize(16, 16), QSize(30, 14), L::blGlyphLeft, 10, -1, { 10, 4 }, { 48, 4 }, 10, 22 },
        { "bottom", QRect(0, 0, 60, 60), QSize(16, 16), QSize(30, 14), L::blGlyphBottom, -1, 4, { 22, 31 }, { 15, 13 }, 13, 4 },
        { "top, offset content", QRect(2, 2, 60, 60), QSize(16, 16), QSize(30, 14), L::blGlyphTop, -1, 4, { 25, 16 }, { 18, 36 }, 13, 4 },
        // Too small: the division truncates toward zero.
        { "narrower than image", QRect(0, 0, 9, 16), QSize(16, 16), QSize(0, 0), L::blGlyphLeft, -1, -1, { -3, 0 }, { 13, 7 }, -3, 0 },
    };
    for (const Case& c : cases) {
        const QPoint offset = QString(c.Name).contains("offset") ? QPoint(1, 1) : QPoint();
        const TGlyphLayout r = TtbtnKpGlyph::CalcGlyphLayout(c.Client, offset, c.G, c.T, QMargins(), c.Layout,
                                                             c.Margin, c.Spacing, false);
        EXPECT_EQ(r.Margin, c.OutMargin) << c.Name;
        EXPECT_EQ(r.Spacing, c.OutSpacing) << c.Name;
        EXPECT_EQ(r.GlyphPos, c.GlyphPos) << c.Name;
        EXPECT_EQ(r.TextRect.topLeft(), c.TextPos) << c.Name;
    }
    // Right-to-left swaps left and right.
    const TGlyphLayout rtl = TtbtnKpGlyph::CalcGlyphLayout(QRect(0, 0, 100, 24), {}, QSize(16, 16), QSize(30, 14),
                                                           QMargins(), L::blGlyphLeft, 5, 4, true);
    EXPECT_EQ(rtl.GlyphPos.x(), 79);
}

TEST(ButtonTool, ButtonWithoutGroupClicksOnceAndNeverStaysDown)
{
    ToolButtonHost host;
    TtbtnKp* b = host.Add(10);
    int clicks = 0;
    int emitted = 0;
    b->OnClick = [&](TtbtnKp*) { ++clicks; };
    QObject::connect(b, &QAbstractButton::clicked, [&] { ++emitted; });
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b->State(), TButtonState::bsDown);
    EXPECT_EQ(b->PaintState(), TcxButtonState::cxbsPressed);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(emitted, 1);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(b->State(), TButtonState::bsUp);
    b->SetDown(true);
    EXPECT_FALSE(b->Down());
}

TEST(ButtonTool, ReleaseOnBottomEdgeClicksButNotOnRightEdge)
{
    ToolButtonHost host;
    TtbtnKp* b = host.Add(10);
    int clicks = 0;
    b->OnClick = [&](TtbtnKp*) { ++clicks; };
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, b->height()));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(b->width(), 5));
    EXPECT_EQ(clicks, 1);
    // A disabled button does not react.
    b->setEnabled(false);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->PaintState(), TcxButtonState::cxbsDisabled);
}

TEST(ButtonTool, GroupKeepsOneButtonDown)
{
    ToolButtonHost host;
    TtbtnKp* a = host.Add(10, 1);
    TtbtnKp* b = host.Add(40, 1);
    TtbtnKp* other = host.Add(70, 2);
    other->SetDown(true);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(a->Down());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    // Without AllowAllUp the down button cannot be released by clicking it again.
    int clicks = 0;
    b->OnClick = [&](TtbtnKp*) { ++clicks; };
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(clicks, 1);
    // AllowAllUp set on one button is taken over by the others of its group.
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());
}

TEST(ButtonTool, ImageSlicePerState)
{
    TtbtnKp b;
    b.SetGlyph(Slices({ Qt::red, Qt::green, Qt::blue }));
    b.SetNumGlyphs(3);
    const QSize g = b.GlyphObject().GlyphSize(1.0);
    EXPECT_EQ(g, QSize(16, 16));
    EXPECT_EQ(b.GlyphObject().PreparedImage(TcxButtonState::cxbsPressed, g)->pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_EQ(b.GlyphObject().PreparedImage(TcxButtonState::cxbsDisabled, g)->pixelColor(8, 8), QColor(Qt::green));
    EXPECT_EQ(b.GlyphObject().PreparedImage(TcxButtonState::cxbsHot, g)->pixelColor(8, 8), QColor(Qt::red));
    b.SetGlyph(Slices({ Qt::red, Qt::green }));
    b.SetNumGlyphs(2);
    EXPECT_EQ(b.GlyphObject().PreparedImage(TcxButtonState::cxbsPressed, g)->pixelColor(8, 8), QColor(Qt::red));
    // Slots are prepared once and reused.
    EXPECT_EQ(b.GlyphObject().GlyphList()->Count(), 1);
    b.GlyphObject().PreparedImage(TcxButtonState::cxbsNormal, g);
    EXPECT_EQ(b.GlyphObject().GlyphList()->Count(), 1);
    // A new scale forgets the prepared images and doubles the image.
    b.SetScale(2.0);
    EXPECT_EQ(b.GlyphObject().GlyphList(), nullptr);
    EXPECT_EQ(b.GlyphObject().GlyphSize(b.ImageFactor()), QSize(32, 16 * 2));
}

TEST(ButtonTool, ColoursPerStateAndAssign)
{
    TtbtnKp b;
    EXPECT_FALSE(b.FaceColor(TcxButtonState::cxbsNormal).isValid()) << "no colour: the painter decides";
    b.Colors().SetColor(TtbtnKpColors::Default, Qt::yellow);
    b.Colors().SetColor(TtbtnKpColors::Normal, Qt::cyan);
    b.Colors().SetColor(TtbtnKpColors::Pressed, Qt::magenta);
    EXPECT_EQ(b.FaceColor(TcxButtonState::cxbsNormal), QColor(Qt::cyan));
    EXPECT_EQ(b.FaceColor(TcxButtonState::cxbsHot), QColor(Qt::cyan));
    EXPECT_EQ(b.FaceColor(TcxButtonState::cxbsPressed), QColor(Qt::magenta));
    b.Colors().SetColor(TtbtnKpColors::Normal, QColor());
    EXPECT_FALSE(b.Colors().IsAssigned(TtbtnKpColors::Normal));
    EXPECT_EQ(b.FaceColor(TcxButtonState::cxbsNormal), QColor(Qt::yellow));

    TtbtnKp c;
    c.SetColors(b.Colors());
    EXPECT_EQ(c.FaceColor(TcxButtonState::cxbsPressed), QColor(Qt::magenta));
    c.Colors().SetColor(TtbtnKpColors::Pressed, Qt::black);
    EXPECT_EQ(b.FaceColor(TcxButtonState::cxbsPressed), QColor(Qt::magenta)) << "the source keeps its own";

    c.setObjectName("btnA");
    c.SetCaption("Atvērt failu");
    c.SetImageName("open");
    c.setGeometry(3, 4, 50, 25);
    TtbtnKp d;
    d.Assign(c);
    EXPECT_EQ(d.objectName(), "btnA");
    EXPECT_EQ(d.Caption(), "Atvērt failu");
    EXPECT_EQ(d.ImageName(), "OPEN");
    EXPECT_EQ(d.geometry(), QRect(3, 4, 50, 25));
    EXPECT_EQ(d.FaceColor(TcxButtonState::cxbsPressed), QColor(Qt::black));
}

TEST(ButtonTool, BorderAndHotTracking)
{
    ToolButtonHost host;
    TtbtnKp* b = host.Add(10);
    EXPECT_FALSE(b->BorderShown(TcxButtonState::cxbsNormal));
    EXPECT_TRUE(b->BorderShown(TcxButtonState::cxbsHot));
    int enters = 0;
    int leaves = 0;
    b->OnMouseEnter = [&](TtbtnKp*) { ++enters; };
    b->OnMouseLeave = [&](TtbtnKp*) { ++leaves; };
    b->MouseEnter();
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(b->PaintState(), TcxButtonState::cxbsHot);
    b->MouseLeave();
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
    b->MouseEnter();
    b->setEnabled(false);
    EXPECT_FALSE(b->MouseInControl());
    b->setEnabled(true);
    b->SetFlatBorder(true);
    EXPECT_TRUE(b->BorderShown(TcxButtonState::cxbsNormal));
    b->LookAndFeel().SetKind(TcxLookAndFeelKind::lfStandard);
    b->SetFlatBorder(false);
    EXPECT_TRUE(b->BorderShown(TcxButtonState::cxbsNormal));
}

TEST(ButtonTool, DropDownShowsMenuAndDoesNotClick)
{
    ToolButtonHost host;
    TtbtnKp* b = host.Add(10);
    QMenu menu;
    menu.addAction("Ielādēt kā operatora failu");
    b->SetDropDownMenu(&menu);
    int clicks = 0;
    bool shown = false;
    b->OnClick = [&](TtbtnKp*) { ++clicks; };
    QTimer::singleShot(0, &menu, [&] {
        shown = menu.isVisible();
        menu.close();
    });
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(shown);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(b->Down());
}

TEST(ButtonTool, AutosizeWithCaptionAndChangeScale)
{
    TtbtnKp b;
    b.SetGlyph(Slices({ Qt::red }));
    b.SetCaption("Aizvērt");
    b.SetAutosize(true);
    b.resize(24, 10);
    b.SetCaptionMargin(3);
    EXPECT_EQ(b.CaptionMargin(), 15) << "raised to at least 15 on re-sizing";
    EXPECT_EQ(b.height(), 16);
    b.SetShowCaption(true);
    b.SetCaption("Aizvērt");
    const int textWidth = QFontMetrics(b.font()).horizontalAdvance("Aizvērt");
    EXPECT_EQ(b.width(), 16 + textWidth + 15);
    b.SetShowCaption(false);
    EXPECT_EQ(b.Caption(), "");
    b.SetSpacing(4);
    b.SetMargin(-1);
    b.ChangeScale(3, 2);
    EXPECT_EQ(b.Spacing(), 6);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.CaptionMargin(), 23);
}

TEST(ButtonTool, AcceleratorClicks)
{
    ToolButtonHost host;
    TtbtnKp* b = host.Add(10);
    b->SetCaption("&Atvērt failu");
    int clicks = 0;
    b->OnClick = [&](TtbtnKp*) { ++clicks; };
    host.Window->activateWindow();
    QTest::keyClick(host.Window.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST(ButtonTool, ActionGivesImageCheckedLookAndClick)
{
    QAction action;
    action.setText("Filtrēt");
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    action.setIcon(QIcon(QPixmap::fromImage(red)));
    action.setCheckable(true);
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    TtbtnKp b;
    b.SetCaption("Vecais");
    b.SetAction(&action);
    EXPECT_EQ(b.Caption(), "") << "the caption shows only with ShowCaption";
    b.SetShowCaption(true);
    EXPECT_EQ(b.Caption(), "Filtrēt");
    const QSize g = b.GlyphObject().GlyphSize(1.0);
    EXPECT_EQ(g, QSize(16, 16));
    EXPECT_EQ(b.GlyphObject().PreparedImage(TcxButtonState::cxbsNormal, g)->pixelColor(8, 8), QColor(Qt::red));
    action.setChecked(true);
    EXPECT_EQ(b.PaintState(), TcxButtonState::cxbsPressed);
    b.Click();
    EXPECT_EQ(triggered, 1);
    // An own handler replaces the action.
    int own = 0;
    b.OnClick = [&](TtbtnKp*) { ++own; };
    b.Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(triggered, 1);
    action.setEnabled(false);
    EXPECT_FALSE(b.isEnabled());
    // The button's own image takes precedence.
    b.SetGlyph(Slices({ Qt::blue }));
    EXPECT_EQ(b.GlyphObject().PreparedImage(TcxButtonState::cxbsNormal, g)->pixelColor(8, 8), QColor(Qt::blue));
}

TEST(ButtonTool, SkinNamedByTheLookAndFeelGivesTheColours)
{
    TtbtnKp b;
    EXPECT_EQ(b.FacePalette().color(QPalette::Button), b.palette().color(QPalette::Button));
    b.LookAndFeel().SetSkinName("NoSuchSkin");
    EXPECT_EQ(b.FacePalette().color(QPalette::Button), b.palette().color(QPalette::Button));
    LookAndFeelPainters().Register(std::make_unique<TKpSkinPainter>(
        "ButtonTestSkin",
        std::make_unique<TKpSkin>(TKpSkin::FromJson(R"({"name": "ButtonTestSkin", "palette": {"Button": "#123456"}})"))));
    b.LookAndFeel().SetSkinName("ButtonTestSkin");
    EXPECT_EQ(b.FacePalette().color(QPalette::Button), QColor("#123456"));
    LookAndFeelPainters().Unregister("ButtonTestSkin");
}
