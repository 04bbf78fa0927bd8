#pragma once

#include "app/FrameControls.h"
#include "platform/ui/GridTypes.h"

#include <QFrame>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QWidget;
class TCSHrvStumpwiseToDS;
class TCustomDBEdGrid;
class TDBReadOnlyEdit;
class TDataSet;
class TDataSource;
class TEkColumn;

// The analysis frame: the whole working surface of the program. It owns the loader, loads a
// control file on request, shows the header values in read-only edits and the analysis
// tables in read-only grids, keeps the logs filtered to the current tree and the
// measurements to the current log, strikes out unusable rows, and loads the file again when
// the user enters a new maximum deviation. Handlers that run on a user's action show their
// errors in the program's error box; the operations themselves let them pass.
class TfrmCSKTRImportBaseFRM : public QFrame {
    Q_OBJECT
public:
    explicit TfrmCSKTRImportBaseFRM(QWidget* AOwner = nullptr);
    ~TfrmCSKTRImportBaseFRM() override;

    // The loader, created (owned by this frame) on first use.
    TCSHrvStumpwiseToDS* StumpwiseToDS();
    // Uses another loader; one this frame made is freed when replaced.
    void SetStumpwiseToDS(TCSHrvStumpwiseToDS* AValue);
    bool StandaloneApp() const { return FStandaloneApp; }
    void SetStandaloneApp(bool AValue) { FStandaloneApp = AValue; }

    // Creates the loader when needed, hooks the tree and log moves and binds the sources.
    void InitDataSets();
    // Loads a named file without the dialog; raises what the load raises, after the
    // filters and handlers have been set again.
    void LoadFile(const QString& sFileName);

    // Handlers (the ones a user's action reaches also have guarded slots below).
    void btnLoadFileClick();
    void chkFilterByBalkisClick();
    void grdBalkiDrawColumnCell(TCustomDBEdGrid* Sender, const QRect& Rect, int DataCol, TEkColumn* Column,
                                TGridDrawState State);
    void grdMerijumiDrawColumnCell(TCustomDBEdGrid* Sender, const QRect& Rect, int DataCol, TEkColumn* Column,
                                   TGridDrawState State);
    void grdDiamNovirzesDrawColumnCell(TCustomDBEdGrid* Sender, const QRect& Rect, int DataCol,
                                       TEkColumn* Column, TGridDrawState State);
    void edtMaxNovirzeExit();
    void edtMaxNovirzeKeyDown(QKeyEvent* Event);
    void grdDiamNovirzesCaptionClick();

    // Components.
    QWidget* pnlClose;
    TFrameButton* btnClose;
    QLabel* lblVersija;
    QWidget* pnlHeader;
    TFrameButton* btnLoadFile;
    QLabel* lblDatumsParb;
    TDBReadOnlyEdit* dbedtDATUMS_PARB;
    TDBReadOnlyEdit* dbedtFILE_NAME;
    QLabel* lblMaxNovirze;
    TFrameNumericEdit* edtMaxNovirze;
    QGroupBox* gbVisi;
    QGroupBox* gbOperatora;
    QGroupBox* gbNejausais;
    QGroupBox* gbMervienibas;
    QWidget* pnlKokuSk;
    TFrameGrid* grd1;
    QGroupBox* gbHarvestera;
    TDBReadOnlyEdit* dbedtHRV_NUMURS;
    TDBReadOnlyEdit* edtHrvVin;
    QLabel* lblFirstReg;
    QLineEdit* edtFirstReg;
    QWidget* pnlHrv;
    QLineEdit* edHarvest;
    TFrameButton* btnImpToHrv;
    QMenu* pmImportKTR;
    QTabWidget* pgcRows;
    QWidget* tsMerijumi;
    QWidget* tsVar;
    QWidget* tsDiametruNovirzes;
    QSplitter* splKoki;
    QSplitter* splBalki;
    QFrame* pnlKoki;
    QFrame* pnlKokiLabel;
    TFrameGrid* grdKoki;
    QFrame* pnlBalki;
    QFrame* pnlBalkiLabel;
    TFrameGrid* grdBalki;
    QFrame* pnlMerijumi;
    QFrame* pnlMerlabel;
    QCheckBox* chkFilterByBalkis;
    TFrameGrid* grdMerijumi;
    TFrameGrid* grdVar;
    TFrameGrid* grdDiamNovirzes;

    TDataSource* dsKoki() const { return FdsKoki.get(); }
    TDataSource* dsBalki() const { return FdsBalki.get(); }
    TDataSource* dsMerijumi() const { return FdsMerijumi.get(); }
    TDataSource* dsVar() const { return FdsVar.get(); }
    TDataSource* dsHeader() const { return FdsHeader.get(); }
    TDataSource* dsKokuSk() const { return FdsKokuSk.get(); }
    TDataSource* dsDiamNovirzes() const { return FdsDiamNovirzes.get(); }

    // All read-only data-aware edits of the frame.
    QList<TDBReadOnlyEdit*> DataEdits() const;
    // All grids of the frame.
    QList<TFrameGrid*> Grids() const;

    // The maximum deviation entered, truncated toward zero; an edit text that is no number
    // first gets back the edit's last number. Raises when it does not fit 32 bits.
    qint32 MaxNovirzeValue();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    // A user's actions: errors are shown, never passed on.
    void LoadFileClicked();
    void FilterByBalkisClicked();

private:
    void BuildHeader();
    void BuildPages();
    void SetupGrid(TFrameGrid* grid, TDataSource* source, const QStringList& fields);
    void AfterLoad();
    void MaxNovirzeChanged();
    void KokiAfterScroll(TDataSet* DataSet);
    void BalkiAfterScroll(TDataSet* DataSet);
    void HookScrollHandlers();
    // The edit's value as a number; a text that is no number gets back the last one first.
    double MaxNovirzeEntered();
    bool ShowOpenDialog(class TOpenFileDialog& dialog);
    // Reads a file with the grids showing the loading notice and the hourglass on, both
    // taken back whatever happens; each grid then shows the new data from its first column.
    void ImportShowingNotice(const QString& sFileName, qint32 maksNovirze);
    // Widens the grid's columns to their titles and to the values shown.
    void FitColumns(TFrameGrid* grid);

    std::unique_ptr<TDataSource> FdsKoki;
    std::unique_ptr<TDataSource> FdsBalki;
    std::unique_ptr<TDataSource> FdsMerijumi;
    std::unique_ptr<TDataSource> FdsVar;
    std::unique_ptr<TDataSource> FdsHeader;
    std::unique_ptr<TDataSource> FdsKokuSk;
    std::unique_ptr<TDataSource> FdsDiamNovirzes;
    TCSHrvStumpwiseToDS* FStumpwiseToDS = nullptr;
    bool FStandaloneApp = false;
    // The maximum the shown data were computed with (none before the first read).
    std::optional<qint64> FShownMaksNovirze;
};
