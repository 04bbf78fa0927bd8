#include "platform/ui/DesktopUserInterface.h"

#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QUrl>

void DesktopUserInterface::Beep()
{
    UiServices::Beep();
}

void DesktopUserInterface::ShowError(const QString& text)
{
    UiServices::MessageBox(nullptr, text, QApplication::applicationDisplayName(),
                           QMessageBox::Critical, QMessageBox::Ok);
}

bool DesktopUserInterface::ConfirmYesNo(const QString& text)
{
    return UiServices::MessageBox(nullptr, text, QApplication::applicationDisplayName(),
                                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void DesktopUserInterface::WaitCursor(bool on)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (on) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }
}

bool DesktopUserInterface::OpenFile(const QString& fileName)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

void DesktopUserInterface::InstallAsCurrent()
{
    Install(std::make_shared<DesktopUserInterface>());
}
