#pragma once

#include "controls/KpSkinController.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class TKpSkin;

// The one skin manager. The main window initialises it with itself and the name of the
// skin every other window wears; from then on its skin controller skins each window as
// it is shown. Drawing code asks it for the skin's colours: each is read anew from the
// other windows' skin and is white when that skin, or the colour in it, is missing.
class TKelpSkinManager : public QObject {
    Q_OBJECT
public:
    TKelpSkinManager();
    ~TKelpSkinManager() override;

    void Initialize(QWidget* AContainerForm, const QString& AmdiChildFormSkinName);
    // Applies the current skinning to the control and its children again.
    void RefreshVisualization(QWidget* AControl);
    // The skin the main window wears; empty while there is no controller.
    QString SkinName() const;
    void SetSkinName(const QString& AValue);

    QWidget* ContainerForm() const { return FContainerForm; }
    TKpSkinController* SkinController() const { return FSkinController; }
    const QString& ChildFormSkinName() const { return FmdiChildFormSkinName; }

    QColor ColorFocused() const;
    QColor ColorFocusedText() const;
    QColor ColorMainMenuBackground() const;
    QColor ColorHeaderBeginGradient() const;
    QColor ColorHeaderEndGradient() const;
    QColor ColorHeaderHotBeginGradient() const;
    QColor ColorHeaderHotEndGradient() const;
    QColor ColorHeaderPressedBeginGradient() const;
    QColor ColorHeaderPressedEndGradient() const;
    QColor ColorSelectedGridRow() const;
    QColor ColorSelectedGridRowText() const;
    QColor ColorNordicCool() const;
    QColor ColorNordicCoolActive() const;
    QColor ColorNordicWarning() const;
    QColor ColorNordicWarningText() const;
    QColor ColorNordicInitial() const;
    QColor ColorNordicCoolToolbarActiveItem() const;

    // Lookups in the other windows' skin; white when anything is missing.
    QColor SkinColor(const QString& AName) const;
    QColor ElementColor(const QString& AGroup, const QString& AElement) const;
    QColor HeaderGradientColor(const QString& AProperty, bool ABegin) const;

    // The controller's choice for one window: windows other than the main window wear the
    // other windows' skin; about boxes and message boxes are not skinned.
    void DoSkinForm(QObject* ASender, QWidget* AForm, QString& ASkinName, bool& AUseSkin) const;
    // Whether windows of that class are left unskinned (exact, case-sensitive names).
    static bool IsUnskinnedFormClass(const QString& AClassName);

private:
    const TKpSkin* ChildSkin() const;

    QPointer<TKpSkinController> FSkinController;
    QString FmdiChildFormSkinName;
    QPointer<QWidget> FContainerForm;
};

// The one global skin manager.
TKelpSkinManager& SkinManager();
