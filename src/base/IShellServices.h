#pragma once

#include <QString>

// What the program asks of the desktop: opening a file with its associated program and
// showing an error. Tests install their own so nothing is started or shown.
class IShellServices
{
public:
    virtual ~IShellServices() = default;
    // False when the desktop could not open the file.
    virtual bool OpenFile(const QString& fileName) = 0;
    virtual void ShowError(const QString& message) = 0;
};
