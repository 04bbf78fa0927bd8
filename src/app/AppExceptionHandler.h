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

    // Shows the error's message (the system's own exceptions carry it as Message()).
    static void Show(QWidget* parent, const std::exception& error);
    static void ShowUnknown(QWidget* parent);

    // Runs fn and shows whatever it throws; true when it finished without an error.
    static bool Guard(QWidget* parent, const std::function<void()>& fn);
};
