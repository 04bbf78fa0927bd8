#include "grids/ExportProgressView.h"

#include "export/ExportProgress.h"
#include "platform/ui/UiServices.h"

#include <QProgressDialog>
#include <QWidget>
#include <algorithm>

ExportProgressView::ExportProgressView(QWidget* Parent) : FParent(Parent)
{
    UiServices::WaitCursor(true);
    ExportProgress& p = ExportProgress::Instance();
    FStarted = QObject::connect(&p, &ExportProgress::Started, [this](int steps) { Start(steps); });
    FStepped = QObject::connect(&p, &ExportProgress::Stepped, [this](int steps) { Step(steps); });
    FEnded = QObject::connect(&p, &ExportProgress::Ended, [this] { Close(); });
}

ExportProgressView::~ExportProgressView()
{
    QObject::disconnect(FStarted);
    QObject::disconnect(FStepped);
    QObject::disconnect(FEnded);
    Close();
    UiServices::WaitCursor(false);
}

void ExportProgressView::Close()
{
    // Gone, not merely reset: a reset window still shows itself once its delay runs out,
    // over whatever window the export opens next.
    delete FDialog.data();
}

void ExportProgressView::Start(int Steps)
{
    FSteps = std::max(Steps, 1);
    FDone = 0;
    FShownPercent = -1;
    if (!FDialog) {
        FDialog = new QProgressDialog(FParent ? FParent->window() : nullptr);
        FDialog->setObjectName(QStringLiteral("dlgExportProgress"));
        FDialog->setWindowTitle(QStringLiteral("Eksports"));
        FDialog->setLabelText(QStringLiteral("Notiek eksportēšana..."));
        FDialog->setCancelButton(nullptr);
        FDialog->setWindowModality(Qt::WindowModal);
        FDialog->setMinimumDuration(500);
        FDialog->setAutoClose(false);
        FDialog->setAutoReset(false);
    }
    FDialog->setRange(0, 100);
    FDialog->setValue(0);
}

void ExportProgressView::Step(int Steps)
{
    FDone = std::min(FDone + Steps, FSteps);
    // A row is a step: the window is touched only when the whole percentage moves.
    const int percent = int(qint64(FDone) * 100 / FSteps);
    if (percent == FShownPercent || !FDialog)
        return;
    FShownPercent = percent;
    FDialog->setValue(percent);
}
