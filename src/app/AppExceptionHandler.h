#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

// What the program does with an error that reaches the edge of a slot or event handler: it
// shows the message in an error box captioned with the application title and carries on,
// as the application's default handler would. The box goes through UiServices, so tests
// replace it there.
class AppExceptionHandler {
public:
    AppExceptionHandler() = delete;

    // The application title: the caption of error boxes and of the taskbar button.
    static QString ApplicationTitle();

    // A message as the error box shows it: characters that cannot be shown escaped
    // ("\x01"), lines longer than MaxLineChars and lines past MaxLines cut with "...".
    static QString Readable(const QString& text);
    static constexpr int MaxLines = 20;
    static constexpr int MaxLineChars = 200;

    // Shows the error's message (the system's own exceptions carry it as Message()).
    static void Show(QWidget* parent, const std::exception& error);
    static void ShowUnknown(QWidget* parent);
    // Shows a message that is not carried by an exception.
    static void ShowMessage(QWidget* parent, const QString& text);

    // Runs fn and shows whatever it throws; true when it finished without an error.
    static bool Guard(QWidget* parent, const std::function<void()>& fn);
};
