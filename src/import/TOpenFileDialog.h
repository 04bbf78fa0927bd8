#pragma once

// The loader's open-file dialog without any widget: it keeps the filter, the title and the
// chosen file name; the window that hosts the loader installs OnExecute, which shows a real
// dialog with these settings and writes the chosen name back. Without OnExecute nothing is
// chosen.

#include <QString>

#include <functional>

class TOpenFileDialog {
public:
    // Shows the dialog; true when a file was chosen (FileName then holds it).
    bool Execute();

    const QString& Filter() const { return FFilter; }
    void SetFilter(const QString& filter) { FFilter = filter; }
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& title) { FTitle = title; }
    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& fileName) { FFileName = fileName; }

    std::function<bool(TOpenFileDialog& dialog)> OnExecute;

private:
    QString FFilter;
    QString FTitle;
    QString FFileName;
};
