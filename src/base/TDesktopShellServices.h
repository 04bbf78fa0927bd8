#pragma once

#include "base/IShellServices.h"

// Opens files through QDesktopServices and shows errors in a message box.
class TDesktopShellServices : public IShellServices
{
public:
    bool OpenFile(const QString& fileName) override;
    void ShowError(const QString& message) override;
};
