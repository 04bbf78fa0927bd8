#pragma once

#include "base/IShellServices.h"

// Opens files and shows errors through the installed user-interface service.
class TDesktopShellServices : public IShellServices
{
public:
    bool OpenFile(const QString& fileName) override;
    void ShowError(const QString& message) override;
};
