#include "base/TDesktopShellServices.h"

#include "platform/ui/IUserInterface.h"

bool TDesktopShellServices::OpenFile(const QString& fileName)
{
    return IUserInterface::Current().OpenFile(fileName);
}

void TDesktopShellServices::ShowError(const QString& message)
{
    IUserInterface::Current().ShowError(message);
}
