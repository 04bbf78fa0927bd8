#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QElapsedTimer>
#include <QWidget>

namespace {
UiServices::PixelsPerInchHook& ppiHook() { static UiServices::PixelsPerInchHook h; return h; }
UiServices::ClockHook& clockHook() { static UiServices::ClockHook h; return h; }
UiServices::BeepHook& beepHook() { static UiServices::BeepHook h; return h; }
UiServices::MessageBoxHook& boxHook() { static UiServices::MessageBoxHook h; return h; }
UiServices::OpenUrlHook& openUrlHook() { static UiServices::OpenUrlHook h; return h; }
UiServices::WaitCursorHook& waitCursorHook() { static UiServices::WaitCursorHook h; return h; }
}

int UiServices::PixelsPerInch(const QWidget* widget)
{
    if (ppiHook())
        return ppiHook()(widget);
    if (widget)
        return widget->logicalDpiY();
    return 96;
}

qint64 UiServices::TickCount()
{
    if (clockHook())
        return clockHook()();
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

void UiServices::Beep()
{
    if (beepHook()) {
        beepHook()();
        return;
    }
    QApplication::beep();
}

QMessageBox::StandardButton UiServices::MessageBox(QWidget* parent, const QString& text,
                                                   const QString& caption, QMessageBox::Icon icon,
                                                   QMessageBox::StandardButtons buttons)
{
    if (boxHook())
        return boxHook()(parent, text, caption, icon, buttons);
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void UiServices::OpenUrl(const QUrl& url)
{
    if (openUrlHook()) {
        openUrlHook()(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void UiServices::WaitCursor(bool on)
{
    if (waitCursorHook()) {
        waitCursorHook()(on);
        return;
    }
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void UiServices::SetPixelsPerInchHook(PixelsPerInchHook hook) { ppiHook() = std::move(hook); }
void UiServices::SetClockHook(ClockHook hook) { clockHook() = std::move(hook); }
void UiServices::SetBeepHook(BeepHook hook) { beepHook() = std::move(hook); }
void UiServices::SetMessageBoxHook(MessageBoxHook hook) { boxHook() = std::move(hook); }
void UiServices::SetOpenUrlHook(OpenUrlHook hook) { openUrlHook() = std::move(hook); }
void UiServices::SetWaitCursorHook(WaitCursorHook hook) { waitCursorHook() = std::move(hook); }
