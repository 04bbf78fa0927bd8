#include "controls/EKpSkinError.h"
#include "controls/KelpSkinManager.h"
#include "controls/KpSkin.h"
#include "controls/KpSkinPainter.h"
#include "controls/LookAndFeelPainters.h"
#include "controls/SkinRegistration.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

// Windows of these classes are told apart by their class names.
class TAboutBox : public QWidget {
    Q_OBJECT
};
class TAboutbox : public QWidget {
    Q_OBJECT
};
class TMessageFormX : public QWidget {
    Q_OBJECT
};

namespace {

const QColor White(255, 255, 255);

const QStringList ColourNames = {
    "SelectionColor",          "SelectionTextColor",         "NordicSelectedGridRowColor",
    "NordicSelectedGridRowTextColor", "NordicCoolColor",     "NordicCoolActiveColor",
    "NordicWarningColor",      "NordicWarningTextColor",     "NordicInitialColor",
    "NordicToolbarActiveItemColor",
};
const QStringList HeaderProperties = {"AlternateImage1Normal", "AlternateImage1Hot", "AlternateImage1Pressed"};

std::vector<QColor> AllColours(const TKelpSkinManager& AManager)
{
    return {AManager.ColorFocused(),
            AManager.ColorFocusedText(),
            AManager.ColorMainMenuBackground(),
            AManager.ColorHeaderBeginGradient(),
            AManager.ColorHeaderEndGradient(),
            AManager.ColorHeaderHotBeginGradient(),
            AManager.ColorHeaderHotEndGradient(),
            AManager.ColorHeaderPressedBeginGradient(),
            AManager.ColorHeaderPressedEndGradient(),
            AManager.ColorSelectedGridRow(),
            AManager.ColorSelectedGridRowText(),
            AManager.ColorNordicCool(),
            AManager.ColorNordicCoolActive(),
            AManager.ColorNordicWarning(),
            AManager.ColorNordicWarningText(),
            AManager.ColorNordicInitial(),
            AManager.ColorNordicCoolToolbarActiveItem()};
}

double Luminance(const QColor& AColor)
{
    const auto channel = [](int c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(AColor.red()) + 0.7152 * channel(AColor.green()) + 0.0722 * channel(AColor.blue());
}

double Contrast(const QColor& A, const QColor& B)
{
    const double a = Luminance(A);
    const double b = Luminance(B);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor WindowColour(const QString& ASkin)
{
    return LookAndFeelPainters().GetPainter(ASkin)->Skin()->Palette().color(QPalette::Window);
}

class Skins : public ::testing::Test {
protected:
    void SetUp() override { RegisterSkinPainters(); }
};

} // namespace

TEST_F(Skins, EveryColourIsWhiteAndTheSkinNameEmptyBeforeInitialize)
{
    TKelpSkinManager manager;
    for (const QColor& colour : AllColours(manager))
        EXPECT_EQ(colour, White);
    EXPECT_TRUE(manager.SkinName().isEmpty());
    manager.SetSkinName("QurtaLumeret");
    EXPECT_TRUE(manager.SkinName().isEmpty());
    manager.RefreshVisualization(nullptr);
}

TEST_F(Skins, EveryShippedSkinAnswersEveryNameTheDrawingCodeAsksFor)
{
    for (const QString& name : SkinPainterNames) {
        const TKpSkinPainter* painter = LookAndFeelPainters().GetPainter(name);
        ASSERT_NE(painter, nullptr) << name.toStdString();
        const TKpSkin* skin = painter->Skin();
        ASSERT_NE(skin, nullptr) << name.toStdString();
        for (const QString& colour : ColourNames)
            EXPECT_TRUE(skin->Color(colour).has_value()) << name.toStdString() << " " << colour.toStdString();
        const TKpSkin::TElement* menu = skin->Element("Bars", "MainMenu");
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->Color.isValid());
        for (const QString& property : HeaderProperties) {
            const TKpSkin::TProperty* p = skin->ElementProperty("Common", "Header", property);
            ASSERT_NE(p, nullptr) << property.toStdString();
            EXPECT_EQ(p->Kind, TKpSkin::TPropertyKind::pkAlternateImage);
        }
    }
}

TEST_F(Skins, ColoursComeFromTheOtherWindowsSkinAndTextContrasts)
{
    TKelpSkinManager manager;
    QWidget mainWindow;
    manager.Initialize(&mainWindow, "QurtaLumeret");
    const TKpSkin* skin = LookAndFeelPainters().GetPainter("QurtaLumeret")->Skin();
    EXPECT_EQ(manager.ColorFocused(), *skin->Color("SelectionColor"));
    EXPECT_EQ(manager.ColorMainMenuBackground(), skin->Element("Bars", "MainMenu")->Color);
    EXPECT_EQ(manager.ColorHeaderHotEndGradient(), skin->ElementProperty("Common", "Header", "AlternateImage1Hot")->GradientEnd);
    EXPECT_EQ(manager.ColorNordicCoolToolbarActiveItem(), *skin->Color("NordicToolbarActiveItemColor"));

    EXPECT_GE(Contrast(manager.ColorFocused(), manager.ColorFocusedText()), 4.5);
    EXPECT_GE(Contrast(manager.ColorSelectedGridRow(), manager.ColorSelectedGridRowText()), 4.5);
    EXPECT_GE(Contrast(manager.ColorNordicWarning(), manager.ColorNordicWarningText()), 4.5);
    // The no-data notice: cool text on the header colour.
    EXPECT_GE(Contrast(manager.ColorNordicCool(), manager.ColorHeaderBeginGradient()), 3.0);

    // The main window's own skin can change; the colours stay with the other windows' skin.
    const QColor focused = manager.ColorFocused();
    manager.SetSkinName("QurtaLumeretMainForm");
    EXPECT_EQ(manager.SkinName(), "QurtaLumeretMainForm");
    EXPECT_EQ(manager.ColorFocused(), focused);
}

TEST_F(Skins, AMissingSkinOrAPropertyOfAnotherKindGivesWhite)
{
    const QByteArray data = R"({"name": "ZzOdd",
        "colors": {"SelectionColor": "#102030"},
        "groups": {"Common": {"Header": {"properties": {
            "AlternateImage1Normal": {"kind": "alternateImage", "gradientBegin": "#010203", "gradientEnd": "#040506"},
            "AlternateImage1Hot": {"kind": "color", "color": "#0a0b0c"}}}}}})";
    LookAndFeelPainters().Register(std::make_unique<TKpSkinPainter>("ZzOdd", std::make_unique<TKpSkin>(TKpSkin::FromJson(data))));
    TKelpSkinManager manager;
    QWidget mainWindow;
    manager.Initialize(&mainWindow, "ZzOdd");
    EXPECT_EQ(manager.ColorFocused(), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(manager.ColorHeaderBeginGradient(), QColor(1, 2, 3));
    EXPECT_EQ(manager.ColorHeaderEndGradient(), QColor(4, 5, 6));
    EXPECT_EQ(manager.ColorHeaderHotBeginGradient(), White);
    EXPECT_EQ(manager.ColorHeaderHotEndGradient(), White);
    EXPECT_EQ(manager.ColorHeaderPressedBeginGradient(), White);
    EXPECT_EQ(manager.ColorMainMenuBackground(), White);
    EXPECT_EQ(manager.ColorFocusedText(), White);
    LookAndFeelPainters().Unregister("ZzOdd");
    EXPECT_EQ(manager.ColorFocused(), White);

    TKelpSkinManager unknown;
    unknown.Initialize(&mainWindow, "NoSuchSkin");
    for (const QColor& colour : AllColours(unknown))
        EXPECT_EQ(colour, White);
}

TEST_F(Skins, TheMainWindowAndTheOtherWindowsWearTheirOwnSkins)
{
    TKelpSkinManager manager;
    auto* mainWindow = new QWidget;
    manager.Initialize(mainWindow, "QurtaLumeret");
    EXPECT_EQ(manager.SkinName(), "QurtaLumeretMainFormClean");
    mainWindow->show();
    EXPECT_EQ(mainWindow->palette().color(QPalette::Window), WindowColour("QurtaLumeretMainFormClean"));

    QWidget other;
    other.show();
    EXPECT_EQ(other.palette().color(QPalette::Window), WindowColour("QurtaLumeret"));

    const QColor plain = QApplication::palette().color(QPalette::Window);
    TAboutBox about;
    about.show();
    EXPECT_EQ(about.palette().color(QPalette::Window), plain);
    TAboutbox otherCase;
    otherCase.show();
    EXPECT_EQ(otherCase.palette().color(QPalette::Window), WindowColour("QurtaLumeret"));
    TMessageFormX longer;
    longer.show();
    EXPECT_EQ(longer.palette().color(QPalette::Window), WindowColour("QurtaLumeret"));

    EXPECT_TRUE(TKelpSkinManager::IsUnskinnedFormClass("TMessageForm"));
    EXPECT_FALSE(TKelpSkinManager::IsUnskinnedFormClass("tmessageform"));

    // Once the main window (which owns the controller) is gone the manager forgets both.
    delete mainWindow;
    EXPECT_TRUE(manager.SkinName().isEmpty());
    EXPECT_EQ(manager.ContainerForm(), nullptr);
    manager.RefreshVisualization(&other);
}

TEST(SkinData, BrokenSkinDataIsRefused)
{
    for (const char* data : {"", "[]", R"({"colors": {"A": "not a colour"}})", R"({"palette": {"NoSuchRole": "#fff"}})",
                             R"({"groups": {"G": {"E": {"properties": {"P": {"kind": "odd"}}}}}})"})
        EXPECT_THROW(TKpSkin::FromJson(data), EKpSkinError) << data;
}

#include "SkinManagerTest.moc"
