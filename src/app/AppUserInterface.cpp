#include "app/AppUserInterface.h"

#include "app/AppExceptionHandler.h"

void AppUserInterface::ShowError(const QString& text)
{
    AppExceptionHandler::ShowMessage(nullptr, text);
}

void AppUserInterface::InstallAsCurrent()
{
    Install(std::make_shared<AppUserInterface>());
}
