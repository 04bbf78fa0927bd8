#include "controls/KpSkinController.h"

#include "controls/LookAndFeelPainters.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace {

// Only real windows wear skins; pop-ups, tool tips and the like keep the defaults.
bool IsForm(const QWidget* AWidget)
{
    if (!AWidget || !AWidget->isWindow())
        return false;
    const Qt::WindowType type = AWidget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

} // namespace

TKpSkinController::TKpSkinController(QObject* AOwner) : QObject(AOwner)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

TKpSkinController::~TKpSkinController()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void TKpSkinController::SetSkinName(const QString& AValue)
{
    if (FSkinName == AValue)
        return;
    FSkinName = AValue;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (IsForm(window) && window->isVisible())
            SkinForm(window);
    }
}

void TKpSkinController::Refresh(QWidget* AControl)
{
    if (!AControl)
        return;
    SkinForm(AControl->window());
}

void TKpSkinController::SkinForm(QWidget* AForm)
{
    if (!AForm || !FUseSkins)
        return;
    QString skinName = FSkinName;
    bool useSkin = true;
    if (OnSkinForm)
        OnSkinForm(this, AForm, skinName, useSkin);
    const TKpSkinPainter* painter = useSkin ? LookAndFeelPainters().GetPainter(skinName) : nullptr;
    const TKpSkin* skin = painter ? painter->Skin() : nullptr;
    if (skin)
        AForm->setPalette(skin->Palette());
    else
        AForm->setPalette(QPalette());
    AForm->setProperty("kpSkinName", skin ? skinName : QString());
}

bool TKpSkinController::eventFilter(QObject* AWatched, QEvent* AEvent)
{
    if (AEvent->type() == QEvent::Show && AWatched->isWidgetType()) {
        QWidget* widget = static_cast<QWidget*>(AWatched);
        if (IsForm(widget))
            SkinForm(widget);
    }
    return QObject::eventFilter(AWatched, AEvent);
}
