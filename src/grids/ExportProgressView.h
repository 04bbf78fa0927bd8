#pragma once

#include <QMetaObject>
#include <QPointer>

#include <QProgressDialog>
class QWidget;

// While alive: the wait cursor, and a progress window over Parent that follows the writers'
// progress signals (shown only when an export takes a while) and closes when they end.
class ExportProgressView {
public:
    explicit ExportProgressView(QWidget* Parent);
    ~ExportProgressView();
    ExportProgressView(const ExportProgressView&) = delete;
    ExportProgressView& operator=(const ExportProgressView&) = delete;

    // The progress window of the export under way, nullptr before the first start.
    QProgressDialog* Dialog() const { return FDialog; }
    int Steps() const { return FSteps; }
    int Done() const { return FDone; }

private:
    void Start(int Steps);
    void Step(int Steps);
    void Close();

    QWidget* FParent;
    QPointer<QProgressDialog> FDialog;
    QMetaObject::Connection FStarted, FStepped, FEnded;
    int FSteps = 0;
    int FDone = 0;
    int FShownPercent = -1;
};
