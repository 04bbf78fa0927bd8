#pragma once

#include <QMessageBox>
#include <QString>
#include <QtGlobal>
#include <functional>

class QUrl;
class QWidget;

// Replaceable access to the screen, the clock, the bell and message boxes, so that
// widget code can be driven headless and deterministically in tests.
class UiServices {
public:
    using PixelsPerInchHook = std::function<int(const QWidget*)>;
    using ClockHook = std::function<qint64()>;
    using BeepHook = std::function<void()>;
    using MessageBoxHook = std::function<QMessageBox::StandardButton(
        QWidget* parent, const QString& text, const QString& caption, QMessageBox::Icon icon,
        QMessageBox::StandardButtons buttons)>;
    using OpenUrlHook = std::function<void(const QUrl&)>;
    using WaitCursorHook = std::function<void(bool on)>;

    // Pixels per inch of the monitor a widget is on (96 on a standard screen).
    static int PixelsPerInch(const QWidget* widget);
    // Milliseconds from an arbitrary fixed start; only differences are meaningful.
    static qint64 TickCount();
    static void Beep();
    static QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text,
                                                  const QString& caption, QMessageBox::Icon icon,
                                                  QMessageBox::StandardButtons buttons);
    // Hands an address to the desktop (browser, mail program); failures are not reported.
    static void OpenUrl(const QUrl& url);
    // Shows the hourglass over the whole program (on), or takes back one such request (off).
    static void WaitCursor(bool on);

    // Installing an empty hook restores the real behaviour.
    static void SetPixelsPerInchHook(PixelsPerInchHook hook);
    static void SetClockHook(ClockHook hook);
    static void SetBeepHook(BeepHook hook);
    static void SetMessageBoxHook(MessageBoxHook hook);
    static void SetOpenUrlHook(OpenUrlHook hook);
    static void SetWaitCursorHook(WaitCursorHook hook);
};
