#pragma once

#include "platform/ui/DesktopUserInterface.h"

// The desktop's user-interface service as the program uses it: errors that code below the
// window reports (a file that could not be opened, say) appear in the program's own error
// box, captioned with its title, like every other error it shows.
class AppUserInterface : public DesktopUserInterface
{
public:
    void ShowError(const QString& text) override;

    // Installs an AppUserInterface as the current service; called once at start-up.
    static void InstallAsCurrent();
};
