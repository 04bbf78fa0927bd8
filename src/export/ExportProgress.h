#pragma once

#include <QObject>

// Progress of a running export, reported to whoever listens (the main window may show it):
// a start with the number of steps announced, single steps, and an end, which also comes when
// the export fails. Everything runs on the GUI thread, so the signals arrive synchronously.
class ExportProgress : public QObject
{
    Q_OBJECT

public:
    // The numbers the original window messages carried, kept for listeners that log them.
    enum Message { WM_EXPORT_PROGRESS_START = 1228, WM_EXPORT_PROGRESS_STEP = 1229, WM_EXPORT_PROGRESS_END = 1230 };

    static ExportProgress& Instance();

    static void Start(int steps) { emit Instance().Started(steps); }
    static void Step() { emit Instance().Stepped(1); }
    static void End() { emit Instance().Ended(); }

signals:
    void Started(int steps);
    void Stepped(int steps);
    void Ended();

private:
    ExportProgress() = default;
};
