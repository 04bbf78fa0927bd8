#include "controls/KelpSkinManager.h"

#include "base/Perf.h"
#include "controls/KpSkin.h"
#include "controls/LookAndFeelPainters.h"

namespace {

const QColor White(0xFF, 0xFF, 0xFF);
const QString CommonGroup = QStringLiteral("Common");
const QString HeaderElement = QStringLiteral("Header");

} // namespace

TKelpSkinManager::TKelpSkinManager() = default;

TKelpSkinManager::~TKelpSkinManager() = default;

void TKelpSkinManager::Initialize(QWidget* AContainerForm, const QString& AmdiChildFormSkinName)
{
    FContainerForm = AContainerForm;
    FmdiChildFormSkinName = AmdiChildFormSkinName;
    delete FSkinController.data();
    auto* controller = new TKpSkinController(AContainerForm);
    controller->SetUseSkins(true);
    controller->SetSkinName(QStringLiteral("QurtaLumeretMainFormClean"));
    controller->OnSkinForm = [this](QObject* ASender, QWidget* AForm, QString& ASkinName, bool& AUseSkin) {
        DoSkinForm(ASender, AForm, ASkinName, AUseSkin);
    };
    FSkinController = controller;
}

void TKelpSkinManager::RefreshVisualization(QWidget* AControl)
{
    TPerfSimple perf;
    StartPerf(perf);
    if (FSkinController)
        FSkinController->Refresh(AControl);
}

QString TKelpSkinManager::SkinName() const
{
    return FSkinController ? FSkinController->SkinName() : QString();
}

void TKelpSkinManager::SetSkinName(const QString& AValue)
{
    TPerfSimple perf;
    StartPerf(perf);
    if (FSkinController)
        FSkinController->SetSkinName(AValue);
}

void TKelpSkinManager::DoSkinForm(QObject* ASender, QWidget* AForm, QString& ASkinName, bool& AUseSkin) const
{
    Q_UNUSED(ASender);
    if (AForm != FContainerForm.data())
        ASkinName = FmdiChildFormSkinName;
    AUseSkin = !IsUnskinnedFormClass(QString::fromLatin1(AForm->metaObject()->className()));
}

bool TKelpSkinManager::IsUnskinnedFormClass(const QString& AClassName)
{
    // About boxes and message boxes keep the plain look; Qt's own message box is the
    // message box of this program.
    return AClassName == QLatin1String("TAboutBox") || AClassName == QLatin1String("TMessageForm")
           || AClassName == QLatin1String("QMessageBox");
}

const TKpSkin* TKelpSkinManager::ChildSkin() const
{
    const TKpSkinPainter* painter = LookAndFeelPainters().GetPainter(FmdiChildFormSkinName);
    return painter ? painter->Skin() : nullptr;
}

QColor TKelpSkinManager::SkinColor(const QString& AName) const
{
    const TKpSkin* skin = ChildSkin();
    if (!skin)
        return White;
    return skin->Color(AName).value_or(White);
}

QColor TKelpSkinManager::ElementColor(const QString& AGroup, const QString& AElement) const
{
    const TKpSkin* skin = ChildSkin();
    const TKpSkin::TElement* element = skin ? skin->Element(AGroup, AElement) : nullptr;
    return element && element->Color.isValid() ? element->Color : White;
}

QColor TKelpSkinManager::HeaderGradientColor(const QString& AProperty, bool ABegin) const
{
    const TKpSkin* skin = ChildSkin();
    const TKpSkin::TProperty* property = skin ? skin->ElementProperty(CommonGroup, HeaderElement, AProperty) : nullptr;
    if (!property || property->Kind != TKpSkin::TPropertyKind::pkAlternateImage)
        return White;
    return ABegin ? property->GradientBegin : property->GradientEnd;
}

QColor TKelpSkinManager::ColorFocused() const { return SkinColor(QStringLiteral("SelectionColor")); }
QColor TKelpSkinManager::ColorFocusedText() const { return SkinColor(QStringLiteral("SelectionTextColor")); }
QColor TKelpSkinManager::ColorMainMenuBackground() const
{
    return ElementColor(QStringLiteral("Bars"), QStringLiteral("MainMenu"));
}
QColor TKelpSkinManager::ColorHeaderBeginGradient() const
{
    return HeaderGradientColor(QStringLiteral("AlternateImage1Normal"), true);
}
QColor TKelpSkinManager::ColorHeaderEndGradient() const
{
    return HeaderGradientColor(QStringLiteral("AlternateImage1Normal"), false);
}
QColor TKelpSkinManager::ColorHeaderHotBeginGradient() const
{
    return HeaderGradientColor(QStringLiteral("AlternateImage1Hot"), true);
}
QColor TKelpSkinManager::ColorHeaderHotEndGradient() const
{
    return HeaderGradientColor(QStringLiteral("AlternateImage1Hot"), false);
}
QColor TKelpSkinManager::ColorHeaderPressedBeginGradient() const
{
    return HeaderGradientColor(QStringLiteral("AlternateImage1Pressed"), true);
}
QColor TKelpSkinManager::ColorHeaderPressedEndGradient() const
{
    return HeaderGradientColor(QStringLiteral("AlternateImage1Pressed"), false);
}
QColor TKelpSkinManager::ColorSelectedGridRow() const
{
    return SkinColor(QStringLiteral("NordicSelectedGridRowColor"));
}
QColor TKelpSkinManager::ColorSelectedGridRowText() const
{
    return SkinColor(QStringLiteral("NordicSelectedGridRowTextColor"));
}
QColor TKelpSkinManager::ColorNordicCool() const { return SkinColor(QStringLiteral("NordicCoolColor")); }
QColor TKelpSkinManager::ColorNordicCoolActive() const { return SkinColor(QStringLiteral("NordicCoolActiveColor")); }
QColor TKelpSkinManager::ColorNordicWarning() const { return SkinColor(QStringLiteral("NordicWarningColor")); }
QColor TKelpSkinManager::ColorNordicWarningText() const
{
    return SkinColor(QStringLiteral("NordicWarningTextColor"));
}
QColor TKelpSkinManager::ColorNordicInitial() const { return SkinColor(QStringLiteral("NordicInitialColor")); }
QColor TKelpSkinManager::ColorNordicCoolToolbarActiveItem() const
{
    return SkinColor(QStringLiteral("NordicToolbarActiveItemColor"));
}

TKelpSkinManager& SkinManager()
{
    static TKelpSkinManager manager;
    return manager;
}
