#pragma once

#include <QLocale>

// Qt's own texts (the standard buttons of message boxes, the file dialog, the edit fields'
// context menus) in the language of the desktop, as the platform's own dialogs are. The
// program's own texts are Latvian whatever the language.
class QtTranslations
{
public:
    QtTranslations() = delete;

    // Loads Qt's translations for locale into the application, replacing any loaded before.
    // False when there are none for it: Qt's texts are then its English originals.
    static bool Install(const QLocale& locale = QLocale::system());
};
