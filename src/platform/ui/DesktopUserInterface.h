#pragma once

#include "platform/ui/IUserInterface.h"

// The user-interface service of the desktop program: boxes through UiServices (so the tests'
// message-box and bell hooks see them too), Qt's override cursor and the desktop's file
// associations.
class DesktopUserInterface : public IUserInterface
{
public:
    void Beep() override;
    void ShowError(const QString& text) override;
    bool ConfirmYesNo(const QString& text) override;
    void WaitCursor(bool on) override;
    bool OpenFile(const QString& fileName) override;

    // Installs a DesktopUserInterface as the current service; called once at start-up.
    static void InstallAsCurrent();
};
