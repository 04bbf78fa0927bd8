#include "controls/TPopupWindow.h"

#include "controls/TCustomLinkEdit.h"
#include "platform/rtl/Exception.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>

TPopupWindow::TPopupWindow(TCustomLinkEdit* AEdit)
    : QWidget(AEdit, Qt::Popup)
    , FCombo(AEdit)
{
    hide();
}

TPopupWindow::~TPopupWindow() = default;

void TPopupWindow::CloseUp(bool AAccept)
{
    if (FCombo && FCombo->Popup() == this)
        FCombo->PopupCloseUp(AAccept);
}

Value TPopupWindow::GetValue()
{
    throw Exception(QStringLiteral("Abstract Error"));
}

void TPopupWindow::SetValue(const Value&)
{
    throw Exception(QStringLiteral("Abstract Error"));
}

void TPopupWindow::keyPressEvent(QKeyEvent* AEvent)
{
    if (AEvent->key() == Qt::Key_Return || AEvent->key() == Qt::Key_Enter) {
        AEvent->accept();
        CloseUp(true);
        return;
    }
    if (AEvent->key() == Qt::Key_Escape) {
        AEvent->accept();
        CloseUp(false);
        return;
    }
    QWidget::keyPressEvent(AEvent);
}

void TPopupWindow::mouseReleaseEvent(QMouseEvent* AEvent)
{
    QWidget::mouseReleaseEvent(AEvent);
    if (AEvent->button() == Qt::LeftButton)
        CloseUp(rect().contains(AEvent->position().toPoint()));
}

void TPopupWindow::hideEvent(QHideEvent* AEvent)
{
    QWidget::hideEvent(AEvent);
    // Hidden by the window system (a click elsewhere): closed without accepting.
    if (FCombo && FCombo->Popup() == this && FCombo->PopupVisible())
        CloseUp(false);
}
