#include "app/CSKTRImportBaseFRM.h"

#include "app/AppExceptionHandler.h"
#include "app/DBReadOnlyEdit.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumnTitle.h"
#include "grids/EkColumn.h"
#include "import/AnalysisCodes.h"
#include "import/AnalysisEngine.h"
#include "import/AnalysisFields.h"
#include "import/TCSHrvStumpwiseToDS.h"
#include "import/TOpenFileDialog.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/ERangeError.h"
#include "platform/ui/UiServices.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScopeGuard>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

QLabel* MakeLabel(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    return l;
}

// A flat tool button showing its caption beside its image, sized to them.
void SetupButton(TFrameButton* button, const QString& caption, const QString& imageName)
{
    button->SetFlatBorder(true);
    button->SetShowCaption(true);
    button->SetCaption(caption);
    if (!imageName.isEmpty())
        button->SetImageName(imageName);
    const QFontMetrics fm(button->font());
    const int image = imageName.isEmpty() ? 0 : 20;
    button->setFixedSize(fm.horizontalAdvance(caption) + image + 24, std::max(26, fm.height() + 10));
}

TDBReadOnlyEdit* MakeDataEdit(const QString& field, QWidget* parent)
{
    auto* e = new TDBReadOnlyEdit(parent);
    e->setObjectName(QStringLiteral("dbedt") + field);
    e->SetDataField(field);
    e->setBackgroundRole(QPalette::Button);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    e->setPalette(p);
    return e;
}

// "Description|pattern;pattern|..." as the open-file dialog's filter list; each pattern is
// offered in lower and upper case, so that file names match whatever the file system's
// rules on letter case.
QString QtFilterFrom(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& v : {p.trimmed().toLower(), p.trimmed().toUpper()})
                if (!patterns.contains(v))
                    patterns << v;
        }
        QString desc = parts[i];
        out << desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

// Whether a row is shown as selected: one of the grid's selected rows, or the highlighted
// current row.
bool RowSelected(TCustomDBEdGrid* grid, int DataCol, TGridDrawState State)
{
    return grid->IsCurrentRowSelected() || grid->HighlightCell(DataCol, grid->Row(), QString(), State);
}

QString ColumnFieldName(TEkColumn* Column)
{
    TField* f = Column ? Column->Field() : nullptr;
    return f ? f->FieldName() : (Column ? Column->FieldName() : QString());
}

void MarkCell(QPainter& canvas, bool strikeOut, bool silver)
{
    if (strikeOut) {
        QFont f = canvas.font();
        f.setStrikeOut(true);
        canvas.setFont(f);
    }
    if (silver)
        canvas.setBrush(kSilver);
}

} // namespace

TfrmCSKTRImportBaseFRM::TfrmCSKTRImportBaseFRM(QWidget* AOwner)
    : QFrame(AOwner),
      FdsKoki(std::make_unique<TDataSource>()),
      FdsBalki(std::make_unique<TDataSource>()),
      FdsMerijumi(std::make_unique<TDataSource>()),
      FdsVar(std::make_unique<TDataSource>()),
      FdsHeader(std::make_unique<TDataSource>()),
      FdsKokuSk(std::make_unique<TDataSource>()),
      FdsDiamNovirzes(std::make_unique<TDataSource>())
{
    setObjectName(QStringLiteral("frmCSKTRImportBaseFRM"));
    resize(1084, 675);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    pnlHeader = new QWidget(this);
    pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    BuildHeader();
    root->addWidget(pnlHeader);

    pgcRows = new QTabWidget(this);
    pgcRows->setObjectName(QStringLiteral("pgcRows"));
    BuildPages();
    root->addWidget(pgcRows, 1);

    pnlClose = new QWidget(this);
    pnlClose->setObjectName(QStringLiteral("pnlClose"));
    pnlClose->setFixedHeight(31);
    auto* closeLayout = new QHBoxLayout(pnlClose);
    closeLayout->setContentsMargins(6, 2, 6, 2);
    lblVersija = new QLabel(pnlClose);
    lblVersija->setObjectName(QStringLiteral("lblVersija"));
    lblVersija->setVisible(false);
    btnClose = new TFrameButton(pnlClose);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    SetupButton(btnClose, QStringLiteral("Aizvērt"), QString());
    closeLayout->addWidget(lblVersija);
    closeLayout->addStretch(1);
    closeLayout->addWidget(btnClose);
    root->addWidget(pnlClose);

    for (TDBReadOnlyEdit* e : DataEdits())
        e->SetDataSource(FdsHeader.get());

    pgcRows->setCurrentWidget(tsMerijumi);
    FStandaloneApp = false;
    pgcRows->setTabVisible(pgcRows->indexOf(tsVar), false);
}

TfrmCSKTRImportBaseFRM::~TfrmCSKTRImportBaseFRM()
{
    // The sources let go of the datasets before a loader of ours frees them.
    for (TDataSource* ds : {FdsKoki.get(), FdsBalki.get(), FdsMerijumi.get(), FdsVar.get(), FdsHeader.get(),
                            FdsKokuSk.get(), FdsDiamNovirzes.get()})
        ds->SetDataSet(nullptr);
    if (FStumpwiseToDS && FStumpwiseToDS->Owner() == this)
        delete FStumpwiseToDS;
    FStumpwiseToDS = nullptr;
}

void TfrmCSKTRImportBaseFRM::BuildHeader()
{
    auto* layout = new QVBoxLayout(pnlHeader);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->setSpacing(6);

    // First line: loading, the file and the maximum deviation.
    auto* top = new QHBoxLayout;
    btnLoadFile = new TFrameButton(pnlHeader);
    btnLoadFile->setObjectName(QStringLiteral("btnLoadFile"));
    SetupButton(btnLoadFile, QStringLiteral("Atvērt failu"), QStringLiteral("OPEN"));
    btnLoadFile->SetHint(QStringLiteral("Atvērt failu priekšapskatei"));
    connect(btnLoadFile, &QAbstractButton::clicked, this, &TfrmCSKTRImportBaseFRM::LoadFileClicked);
    top->addWidget(btnLoadFile);
    top->addSpacing(12);
    lblDatumsParb = MakeLabel(QStringLiteral("Mērījumu datums:"), pnlHeader);
    top->addWidget(lblDatumsParb);
    dbedtDATUMS_PARB = MakeDataEdit(AnalysisField::DATUMS_PARB, pnlHeader);
    dbedtDATUMS_PARB->setFixedWidth(110);
    top->addWidget(dbedtDATUMS_PARB);
    dbedtFILE_NAME = MakeDataEdit(AnalysisField::FILE_NAME, pnlHeader);
    top->addWidget(dbedtFILE_NAME, 1);
    top->addSpacing(12);
    lblMaxNovirze = MakeLabel(QStringLiteral("Maks. diam. novirze (mm):"), pnlHeader);
    lblMaxNovirze->setObjectName(QStringLiteral("lblMaxNovirze"));
    top->addWidget(lblMaxNovirze);
    edtMaxNovirze = new TFrameNumericEdit(pnlHeader);
    edtMaxNovirze->setObjectName(QStringLiteral("edtMaxNovirze"));
    edtMaxNovirze->SetAlignment(TAlignment::taRightJustify);
    edtMaxNovirze->SetOnlyNumeric(true);
    edtMaxNovirze->SetOnlyPositiveOrZero(true);
    edtMaxNovirze->setText(QStringLiteral("20"));
    edtMaxNovirze->setFixedWidth(60);
    edtMaxNovirze->OnExit = [this](auto*) {
        AppExceptionHandler::Guard(this, [this] { edtMaxNovirzeExit(); });
    };
    edtMaxNovirze->OnKeyDown = [this](auto*, QKeyEvent* e) {
        AppExceptionHandler::Guard(this, [this, e] { edtMaxNovirzeKeyDown(e); });
    };
    top->addWidget(edtMaxNovirze);
    lblMaxNovirze->setVisible(false);
    edtMaxNovirze->setVisible(false);
    layout->addLayout(top);

    // Totals by selection kind, and the units.
    auto* totals = new QHBoxLayout;
    struct Group {
        QGroupBox** box;
        const char* title;
        const char* suffix;
    };
    const Group groups[] = {{&gbVisi, "Visi izv. veidi:", "ALL"},
                            {&gbOperatora, "Operatora izvēlētie:", "OP"},
                            {&gbNejausais, "Nejaušais koks:", "RAND"}};
    for (const Group& g : groups) {
        auto* box = new QGroupBox(QString::fromUtf8(g.title), pnlHeader);
        auto* form = new QFormLayout(box);
        form->setContentsMargins(6, 4, 6, 4);
        form->setVerticalSpacing(2);
        const QString sfx = QString::fromLatin1(g.suffix);
        const std::pair<const char*, const char*> rows[] = {{"Harvestera apjoms:", "HRV_APJOMS_"},
                                                            {"Dastmēra apjoms:", "DAST_APJOMS_"},
                                                            {"Novirze (%):", "PROCENTS_"},
                                                            {"Diam.novirze 6mm (%):", "DIAM_NOVIRZE6MM_"}};
        for (const auto& [label, field] : rows) {
            auto* e = MakeDataEdit(QString::fromLatin1(field) + sfx, box);
            e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            form->addRow(QString::fromUtf8(label), e);
        }
        *g.box = box;
        totals->addWidget(box, 1);
    }
    gbMervienibas = new QGroupBox(QStringLiteral("Mērvienības"), pnlHeader);
    auto* units = new QVBoxLayout(gbMervienibas);
    units->setContentsMargins(6, 4, 6, 4);
    for (const char* t : {"Diametri - mm", "Garumi - cm", "Apjomi - dm3"})
        units->addWidget(MakeLabel(QString::fromUtf8(t), gbMervienibas));
    units->addStretch(1);
    totals->addWidget(gbMervienibas);
    layout->addLayout(totals);

    // Counts and the harvester.
    auto* bottom = new QHBoxLayout;
    pnlKokuSk = new QWidget(pnlHeader);
    pnlKokuSk->setObjectName(QStringLiteral("pnlKokuSk"));
    auto* counts = new QVBoxLayout(pnlKokuSk);
    counts->setContentsMargins(0, 0, 0, 0);
    counts->setSpacing(2);
    counts->addWidget(MakeLabel(QStringLiteral("Koku un nogriežņu skaits:"), pnlKokuSk));
    grd1 = new TFrameGrid(pnlKokuSk);
    grd1->setObjectName(QStringLiteral("grd1"));
    counts->addWidget(grd1, 1);
    bottom->addWidget(pnlKokuSk, 1);

    gbHarvestera = new QGroupBox(QStringLiteral("Harvestera dati:"), pnlHeader);
    auto* hrv = new QFormLayout(gbHarvestera);
    hrv->setContentsMargins(6, 4, 6, 4);
    dbedtHRV_NUMURS = MakeDataEdit(AnalysisField::HRV_NUMURS, gbHarvestera);
    hrv->addRow(QStringLiteral("HRV reģ. numurs:"), dbedtHRV_NUMURS);
    edtHrvVin = MakeDataEdit(AnalysisField::HRV_VIN, gbHarvestera);
    edtHrvVin->setObjectName(QStringLiteral("edtHrvVin"));
    hrv->addRow(QStringLiteral("VIN numurs:"), edtHrvVin);
    lblFirstReg = MakeLabel(QStringLiteral("1. reģ. datums:"), gbHarvestera);
    edtFirstReg = new QLineEdit(gbHarvestera);
    edtFirstReg->setObjectName(QStringLiteral("edtFirstReg"));
    edtFirstReg->setReadOnly(true);
    hrv->addRow(lblFirstReg, edtFirstReg);
    gbHarvestera->setMinimumWidth(300);
    bottom->addWidget(gbHarvestera);

    // Loading into a harvester's records is not offered by this program; kept hidden.
    pnlHrv = new QWidget(pnlHeader);
    pnlHrv->setObjectName(QStringLiteral("pnlHrv"));
    auto* hrvRow = new QHBoxLayout(pnlHrv);
    hrvRow->addWidget(MakeLabel(QStringLiteral("Harvesters:"), pnlHrv));
    edHarvest = new QLineEdit(pnlHrv);
    edHarvest->setObjectName(QStringLiteral("edHarvest"));
    hrvRow->addWidget(edHarvest);
    btnImpToHrv = new TFrameButton(pnlHrv);
    btnImpToHrv->setObjectName(QStringLiteral("btnImpToHrv"));
    SetupButton(btnImpToHrv, QStringLiteral("Ielādēt failu"), QStringLiteral("IMPORT"));
    pmImportKTR = new QMenu(btnImpToHrv);
    pmImportKTR->addAction(QStringLiteral("Ielādēt kā operatora failu"));
    pmImportKTR->addAction(QStringLiteral("Ielādēt kā auditora failu"));
    btnImpToHrv->SetDropDownMenu(pmImportKTR);
    hrvRow->addWidget(btnImpToHrv);
    pnlHrv->setVisible(false);
    bottom->addWidget(pnlHrv);
    layout->addLayout(bottom, 1);

    pnlHeader->setFixedHeight(289);
    SetupGrid(grd1, FdsKokuSk.get(),
              {AnalysisField::IZV_VEIDS, AnalysisField::KOKU_SK_DER, AnalysisField::KOKU_SK_NEDER,
               AnalysisField::BALKU_SK_DER, AnalysisField::BALKU_SK_NEDER, AnalysisField::KOKU_SK_DER_SUGA,
               AnalysisField::BALKU_SK_DER_SUGA, AnalysisField::MERIJ_NEDER_DIAM});
}

namespace {
QFrame* MakeLabelPanel(const QString& objectName, QWidget* parent, QHBoxLayout*& row)
{
    auto* p = new QFrame(parent);
    p->setObjectName(objectName);
    row = new QHBoxLayout(p);
    row->setContentsMargins(4, 2, 4, 2);
    return p;
}

QFrame* MakeGridPanel(const QString& objectName, QWidget* parent, QVBoxLayout*& column)
{
    auto* p = new QFrame(parent);
    p->setObjectName(objectName);
    p->setFrameShape(QFrame::StyledPanel);
    column = new QVBoxLayout(p);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return p;
}
} // namespace

void TfrmCSKTRImportBaseFRM::BuildPages()
{
    tsMerijumi = new QWidget;
    tsMerijumi->setObjectName(QStringLiteral("tsMerijumi"));
    auto* page = new QHBoxLayout(tsMerijumi);
    page->setContentsMargins(2, 2, 2, 2);
    splKoki = new QSplitter(Qt::Horizontal, tsMerijumi);
    page->addWidget(splKoki);

    QVBoxLayout* col = nullptr;
    QHBoxLayout* row = nullptr;
    pnlKoki = MakeGridPanel(QStringLiteral("pnlKoki"), splKoki, col);
    pnlKokiLabel = MakeLabelPanel(QStringLiteral("pnlKokiLabel"), pnlKoki, row);
    row->addWidget(MakeLabel(QStringLiteral("Koki:"), pnlKokiLabel));
    row->addStretch(1);
    col->addWidget(pnlKokiLabel);
    grdKoki = new TFrameGrid(pnlKoki);
    grdKoki->setObjectName(QStringLiteral("grdKoki"));
    col->addWidget(grdKoki, 1);

    splBalki = new QSplitter(Qt::Vertical, splKoki);
    pnlBalki = MakeGridPanel(QStringLiteral("pnlBalki"), splBalki, col);
    pnlBalkiLabel = MakeLabelPanel(QStringLiteral("pnlBalkiLabel"), pnlBalki, row);
    row->addWidget(MakeLabel(QStringLiteral("Nogriežņi:"), pnlBalkiLabel));
    row->addStretch(1);
    col->addWidget(pnlBalkiLabel);
    grdBalki = new TFrameGrid(pnlBalki);
    grdBalki->setObjectName(QStringLiteral("grdBalki"));
    col->addWidget(grdBalki, 1);

    pnlMerijumi = MakeGridPanel(QStringLiteral("pnlMerijumi"), splBalki, col);
    pnlMerlabel = MakeLabelPanel(QStringLiteral("pnlMerlabel"), pnlMerijumi, row);
    row->addWidget(MakeLabel(QStringLiteral("Mērījumi:"), pnlMerlabel));
    row->addSpacing(16);
    chkFilterByBalkis = new QCheckBox(QStringLiteral("Filtrēt pēc nogriežņa"), pnlMerlabel);
    chkFilterByBalkis->setObjectName(QStringLiteral("chkFilterByBalkis"));
    chkFilterByBalkis->setChecked(true);
    // Any change of state, also one made by the program, runs the handler.
    connect(chkFilterByBalkis, &QCheckBox::toggled, this, &TfrmCSKTRImportBaseFRM::FilterByBalkisClicked);
    row->addWidget(chkFilterByBalkis);
    row->addStretch(1);
    col->addWidget(pnlMerlabel);
    grdMerijumi = new TFrameGrid(pnlMerijumi);
    grdMerijumi->setObjectName(QStringLiteral("grdMerijumi"));
    col->addWidget(grdMerijumi, 1);
    splKoki->setStretchFactor(0, 4);
    splKoki->setStretchFactor(1, 6);
    splKoki->setSizes({430, 650});

    tsVar = new QWidget;
    tsVar->setObjectName(QStringLiteral("tsVar"));
    auto* varLayout = new QVBoxLayout(tsVar);
    varLayout->setContentsMargins(2, 2, 2, 2);
    grdVar = new TFrameGrid(tsVar);
    grdVar->setObjectName(QStringLiteral("grdVar"));
    varLayout->addWidget(grdVar);

    tsDiametruNovirzes = new QWidget;
    tsDiametruNovirzes->setObjectName(QStringLiteral("tsDiametruNovirzes"));
    auto* devLayout = new QVBoxLayout(tsDiametruNovirzes);
    devLayout->setContentsMargins(2, 2, 2, 2);
    grdDiamNovirzes = new TFrameGrid(tsDiametruNovirzes);
    grdDiamNovirzes->setObjectName(QStringLiteral("grdDiamNovirzes"));
    devLayout->addWidget(grdDiamNovirzes);

    pgcRows->addTab(tsMerijumi, QStringLiteral("Mērījumi"));
    pgcRows->addTab(tsVar, QStringLiteral("Mainīgie"));
    pgcRows->addTab(tsDiametruNovirzes, QStringLiteral("Diametru novirzes"));

    SetupGrid(grdKoki, FdsKoki.get(),
              {AnalysisField::KOKS_NR, AnalysisField::DATUMS_PARB, AnalysisField::IZV_VEIDS,
               AnalysisField::SUGA, AnalysisField::SUGA_TXT, AnalysisField::BALKU_SK,
               AnalysisField::HRV_APJOMS, AnalysisField::DAST_APJOMS, AnalysisField::DERIGS});
    SetupGrid(grdBalki, FdsBalki.get(),
              {AnalysisField::KOKS_NR, AnalysisField::BALKIS_NR, AnalysisField::MER_SKAITS,
               AnalysisField::HRV_GARUMS, AnalysisField::DAST_GARUMS, AnalysisField::DAST_TIEVG,
               AnalysisField::HRV_TIEVG, AnalysisField::DERIGS, AnalysisField::DAST_APJOMS, AnalysisField::HRV_APJOMS});
    SetupGrid(grdMerijumi, FdsMerijumi.get(),
              {AnalysisField::KOKS_NR, AnalysisField::BALKIS_NR, AnalysisField::MERIJUMS_NR,
               AnalysisField::MERVIETA, AnalysisField::MERVIETA_IEP_HRV, AnalysisField::MERVIETA_IEP_DAST,
               AnalysisField::HRV_GARUMS, AnalysisField::DAST_GARUMS, AnalysisField::HRV_DIAMETRS,
               AnalysisField::DAST_DIAMETRS, AnalysisField::DERIGS, AnalysisField::PIEZIMES,
               AnalysisField::NOVIRZE_DIAMETRS, AnalysisField::MERIJ_VEIDS, AnalysisField::DERIGS_DIAM_NOV});
    SetupGrid(grdVar, FdsVar.get(), {});
    SetupGrid(grdDiamNovirzes, FdsDiamNovirzes.get(),
              {AnalysisField::IZV_VEIDS, AnalysisField::INTERVALS_DIAMETRS, AnalysisField::LIDZ_2_PRCNT,
               AnalysisField::LIDZ_4_PRCNT, AnalysisField::LIDZ_6_PRCNT, AnalysisField::CITS_PRCNT,
               AnalysisField::KOPA});

    grdKoki->OnDrawColumnCell = [this](TCustomDBEdGrid* s, const QRect& r, int c, TEkColumn* col, TGridDrawState st) {
        grdBalkiDrawColumnCell(s, r, c, col, st);
    };
    grdBalki->OnDrawColumnCell = grdKoki->OnDrawColumnCell;
    grdMerijumi->OnDrawColumnCell = [this](TCustomDBEdGrid* s, const QRect& r, int c, TEkColumn* col,
                                           TGridDrawState st) { grdMerijumiDrawColumnCell(s, r, c, col, st); };
    grdDiamNovirzes->OnDrawColumnCell = [this](TCustomDBEdGrid* s, const QRect& r, int c, TEkColumn* col,
                                               TGridDrawState st) { grdDiamNovirzesDrawColumnCell(s, r, c, col, st); };
    grdDiamNovirzes->SetOriginalOrderBy(QStringLiteral("IZV_VEIDS;INTERVALS_DIAMETRS"));
    grdDiamNovirzes->OnCaptionClick = [this](auto*) { grdDiamNovirzesCaptionClick(); };
}

void TfrmCSKTRImportBaseFRM::SetupGrid(TFrameGrid* grid, TDataSource* source, const QStringList& fields)
{
    // Built like a form being read: the columns as designed become the grid's defaults.
    grid->BeginLoading();
    grid->SetReadOnly(true);
    grid->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgRowSelect |
                     dgConfirmDelete);
    grid->SetUseColumnsDesc(true);
    grid->SetAllowColumnsDialog(true);
    grid->SetGoFirstOnExit(TEdGridFirstOnExit::foeNever);
    for (const QString& f : fields)
        grid->Columns()->Add()->SetFieldName(f);
    grid->SetDataSource(source);
    grid->Loaded();
    connect(grid, &TCustomGrid::DrawingFailed, this,
            [this](const QString& message) { AppExceptionHandler::ShowMessage(this, message); });
    grid->installEventFilter(this);
}

QList<TDBReadOnlyEdit*> TfrmCSKTRImportBaseFRM::DataEdits() const
{
    return findChildren<TDBReadOnlyEdit*>();
}

QList<TFrameGrid*> TfrmCSKTRImportBaseFRM::Grids() const
{
    return {grd1, grdKoki, grdBalki, grdMerijumi, grdVar, grdDiamNovirzes};
}

// ---- loader --------------------------------------------------------------------------------

TCSHrvStumpwiseToDS* TfrmCSKTRImportBaseFRM::StumpwiseToDS()
{
    if (!FStumpwiseToDS) {
        FStumpwiseToDS = new TCSHrvStumpwiseToDS(this);
        FStumpwiseToDS->odKTRFiles()->OnExecute = [this](TOpenFileDialog& d) { return ShowOpenDialog(d); };
    }
    return FStumpwiseToDS;
}

void TfrmCSKTRImportBaseFRM::SetStumpwiseToDS(TCSHrvStumpwiseToDS* AValue)
{
    if (AValue == FStumpwiseToDS)
        return;
    TCSHrvStumpwiseToDS* old = FStumpwiseToDS;
    FStumpwiseToDS = AValue;
    if (old && old->Owner() == this) {
        // Our sources must not keep the datasets of the loader that goes.
        for (TDataSource* ds : {FdsKoki.get(), FdsBalki.get(), FdsMerijumi.get(), FdsVar.get(), FdsHeader.get(),
                                FdsKokuSk.get(), FdsDiamNovirzes.get()})
            ds->SetDataSet(nullptr);
        delete old;
    }
}

bool TfrmCSKTRImportBaseFRM::ShowOpenDialog(TOpenFileDialog& dialog)
{
    const QString dir = dialog.FileName().isEmpty() ? QString() : QFileInfo(dialog.FileName()).absolutePath();
    const QString name = QFileDialog::getOpenFileName(this, dialog.Title(), dir, QtFilterFrom(dialog.Filter()));
    if (name.isEmpty())
        return false;
    dialog.SetFileName(name);
    return true;
}

void TfrmCSKTRImportBaseFRM::HookScrollHandlers()
{
    TCSHrvStumpwiseToDS* loader = StumpwiseToDS();
    loader->cdsKoki()->AfterScroll = [this](TDataSet* ds) { KokiAfterScroll(ds); };
    loader->cdsBalki()->AfterScroll = [this](TDataSet* ds) { BalkiAfterScroll(ds); };
}

void TfrmCSKTRImportBaseFRM::InitDataSets()
{
    TCSHrvStumpwiseToDS* loader = StumpwiseToDS();
    HookScrollHandlers();
    FdsHeader->SetDataSet(loader->cdsHeader());
    FdsVar->SetDataSet(loader->cdsVar());
    FdsKoki->SetDataSet(loader->cdsKoki());
    FdsKokuSk->SetDataSet(loader->cdsKokuSk());
    FdsBalki->SetDataSet(loader->cdsBalki());
    FdsMerijumi->SetDataSet(loader->cdsMerijumi());
    FdsDiamNovirzes->SetDataSet(loader->cdsDiamNovirzes());
    for (TFrameGrid* grid : Grids())
        FitColumns(grid);
}

double TfrmCSKTRImportBaseFRM::MaxNovirzeEntered()
{
    try {
        return edtMaxNovirze->Value();
    } catch (const EConvertError&) {
        // Typed into but not left yet: the edit's last number stands.
        edtMaxNovirze->FormatNumericText();
        return edtMaxNovirze->Value();
    }
}

qint32 TfrmCSKTRImportBaseFRM::MaxNovirzeValue()
{
    const double v = std::trunc(MaxNovirzeEntered());
    if (!(v >= double(std::numeric_limits<qint32>::min()) && v <= double(std::numeric_limits<qint32>::max())))
        throw ERangeError(QStringLiteral("Maks. diam. novirze %1 ir ārpus pieļaujamā diapazona.")
                              .arg(edtMaxNovirze->text()));
    return static_cast<qint32>(v);
}

// ---- loading -------------------------------------------------------------------------------

void TfrmCSKTRImportBaseFRM::btnLoadFileClick()
{
    TCSHrvStumpwiseToDS* loader = StumpwiseToDS();
    try {
        // Before the dialog: a cancelled dialog still takes the new maximum.
        const qint32 maksNovirze = MaxNovirzeValue();
        loader->SetMaksNovirze(maksNovirze);
        // The dialog is shown before the notice: the notice and the hourglass belong to the
        // reading alone.
        if (loader->odKTRFiles()->Execute())
            ImportShowingNotice(loader->odKTRFiles()->FileName(), maksNovirze);
    } catch (...) {
        AfterLoad();
        throw;
    }
    AfterLoad();
}

void TfrmCSKTRImportBaseFRM::LoadFile(const QString& sFileName)
{
    TCSHrvStumpwiseToDS* loader = StumpwiseToDS();
    try {
        const qint32 maksNovirze = MaxNovirzeValue();
        loader->SetMaksNovirze(maksNovirze);
        ImportShowingNotice(sFileName, maksNovirze);
    } catch (...) {
        AfterLoad();
        throw;
    }
    AfterLoad();
}

void TfrmCSKTRImportBaseFRM::ImportShowingNotice(const QString& sFileName, qint32 maksNovirze)
{
    // Whatever the outcome, what the grids show now comes from this maximum (or is empty).
    FShownMaksNovirze = maksNovirze;
    // Reading is synchronous: the notice is painted now, or the window would stand frozen
    // on the old data until the reading ends.
    UiServices::WaitCursor(true);
    // One guard per dataset whose controls the notice switches off.
    std::vector<std::unique_ptr<TDataSetGuard>> notice;
    const auto end = qScopeGuard([&] {
        for (auto& still : notice)
            still.reset();
        UiServices::WaitCursor(false);
        for (TFrameGrid* grid : Grids())
            if (grid->ColCount() > grid->FixedCols())
                grid->SetLeftCol(grid->FixedCols());
    });
    QList<TDataSet*> stilled;
    for (TFrameGrid* grid : Grids()) {
        TDataSet* ds = grid->LinkDataSet();
        if (ds && !stilled.contains(ds)) {
            notice.push_back(std::make_unique<TDataSetGuard>(ds, TDataSetGuard::Controls));
            stilled << ds;
        }
    }
    // The whole window, not only the grids: the desktop asks for what the closed file dialog
    // covered to be drawn again, and that request would wait behind the reading. Every widget
    // is marked, since a repaint of the window alone leaves its opaque children as they were.
    for (QWidget* w : window()->findChildren<QWidget*>())
        if (w->isVisible())
            w->update();
    window()->repaint();
    StumpwiseToDS()->ImportFileIntoDS(sFileName);
}

void TfrmCSKTRImportBaseFRM::AfterLoad()
{
    TCSHrvStumpwiseToDS* loader = StumpwiseToDS();
    HookScrollHandlers();
    loader->cdsKoki()->First();
    loader->FilterBalki();
    chkFilterByBalkis->setChecked(true);
    loader->FilterMerijumi();
    pgcRows->setTabVisible(pgcRows->indexOf(tsVar), !FStandaloneApp && loader->HrvFileType() != csHrvHQCFile);
    for (TFrameGrid* grid : Grids())
        FitColumns(grid);
}

void TfrmCSKTRImportBaseFRM::FitColumns(TFrameGrid* grid)
{
    // The widths that come from the fields' display widths guess at an average character
    // and cut titles and texts such as the selection kind or the error reason: a column
    // is widened to its title and to the values it shows now, within a limit; it never
    // narrows, so a width the user chose stays. Values are measured in bold, the widest font
    // a cell is drawn in (the current row, the total rows).
    const int margin = grid->ScaleValue(10);
    const int limit = grid->ScaleValue(400);
    TEdGridDataLink* link = grid->DataLink();
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
        TEkColumn* column = grid->Columns()->Items(i);
        QFont font = column->Font();
        font.setBold(true);
        int wanted = grid->TextWidth(column->Title()->Font(), column->Title()->Caption());
        const int col = i + grid->IndicatorOffset();
        const int rows = link && link->Active() ? link->RecordCount() : 0;
        for (int r = 0; r < rows && wanted < limit; ++r)
            grid->WithBufferRecord(r, [&] {
                wanted = std::max(wanted, grid->TextWidth(font, grid->GetEditText(col, r + grid->TitleOffset())));
            });
        wanted = std::min(wanted + margin, limit);
        if (wanted > column->Width())
            column->SetWidth(wanted);
    }
}

void TfrmCSKTRImportBaseFRM::KokiAfterScroll(TDataSet*)
{
    StumpwiseToDS()->FilterBalki();
    // Another tree's logs and measurements may hold longer texts.
    FitColumns(grdBalki);
    FitColumns(grdMerijumi);
}

void TfrmCSKTRImportBaseFRM::BalkiAfterScroll(TDataSet*)
{
    if (chkFilterByBalkis->isChecked())
        StumpwiseToDS()->FilterMerijumi();
    FitColumns(grdMerijumi);
}

bool TfrmCSKTRImportBaseFRM::eventFilter(QObject* watched, QEvent* event)
{
    // A grid that is shown or grows shows more rows, whose values may be longer; they are
    // measured once the grid has taken them in.
    if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
        for (TFrameGrid* grid : Grids())
            if (watched == grid)
                QTimer::singleShot(0, grid, [this, grid] { FitColumns(grid); });
    return QFrame::eventFilter(watched, event);
}

void TfrmCSKTRImportBaseFRM::chkFilterByBalkisClick()
{
    StumpwiseToDS()->cdsMerijumi()->SetFiltered(chkFilterByBalkis->isChecked());
}

void TfrmCSKTRImportBaseFRM::LoadFileClicked()
{
    AppExceptionHandler::Guard(this, [this] { btnLoadFileClick(); });
}

void TfrmCSKTRImportBaseFRM::FilterByBalkisClicked()
{
    AppExceptionHandler::Guard(this, [this] { chkFilterByBalkisClick(); });
}

// ---- reload on a new maximum ---------------------------------------------------------------

void TfrmCSKTRImportBaseFRM::MaxNovirzeChanged()
{
    TDataSet* header = FdsHeader->DataSet();
    if (!header || !header->Active() || header->IsEmpty())
        return;
    TField* fileName = header->FindField(AnalysisField::FILE_NAME);
    if (!fileName || fileName->AsString().trimmed().isEmpty())
        return;
    // Compared beyond 32 bits: a value too large for the loader always differs, and the
    // load then reports it. The comparison is with the maximum the shown data were computed
    // with: the loader also holds one given before a dialog that was cancelled.
    const double v = std::trunc(MaxNovirzeEntered());
    if (v == double(FShownMaksNovirze.value_or(StumpwiseToDS()->MaksNovirze())))
        return;
    LoadFile(fileName->AsString());
}

void TfrmCSKTRImportBaseFRM::edtMaxNovirzeExit()
{
    MaxNovirzeChanged();
}

void TfrmCSKTRImportBaseFRM::edtMaxNovirzeKeyDown(QKeyEvent* Event)
{
    if (Event && (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter))
        MaxNovirzeChanged();
}

void TfrmCSKTRImportBaseFRM::grdDiamNovirzesCaptionClick()
{
    // Assigned only so that a press on the corner cell keeps the table's own order.
}

// ---- row marking ---------------------------------------------------------------------------

void TfrmCSKTRImportBaseFRM::grdBalkiDrawColumnCell(TCustomDBEdGrid* Sender, const QRect& Rect, int DataCol,
                                                    TEkColumn* Column, TGridDrawState State)
{
    TDataSet* ds = Sender->LinkDataSet();
    QPainter* canvas = Sender->Canvas();
    if (!ds || !ds->Active() || !canvas)
        return;
    // Put back even when the drawing fails: the grid goes on painting the other cells.
    canvas->save();
    const auto restore = qScopeGuard([canvas] { canvas->restore(); });
    TField* derigs = ds->FindField(AnalysisField::DERIGS);
    if (derigs && derigs->AsInteger() != ValidationCode::Usable)
        MarkCell(*canvas, true, !RowSelected(Sender, DataCol, State));
    Sender->DefaultDrawColumnCell(Rect, DataCol, Column, State);
}

void TfrmCSKTRImportBaseFRM::grdMerijumiDrawColumnCell(TCustomDBEdGrid* Sender, const QRect& Rect, int DataCol,
                                                       TEkColumn* Column, TGridDrawState State)
{
    TDataSet* ds = Sender->LinkDataSet();
    QPainter* canvas = Sender->Canvas();
    if (!ds || !ds->Active() || !canvas)
        return;
    canvas->save();
    const auto restore = qScopeGuard([canvas] { canvas->restore(); });
    TField* derigsField = ds->FindField(AnalysisField::DERIGS);
    TField* dastGarums = ds->FindField(AnalysisField::DAST_GARUMS);
    TField* merijumsNr = ds->FindField(AnalysisField::MERIJUMS_NR);
    const qint32 derigs = derigsField ? derigsField->AsInteger() : ValidationCode::Usable;
    const bool noCaliperSection = dastGarums && dastGarums->AsFloat() == 0 && derigs == ValidationCode::Usable && merijumsNr &&
                                  merijumsNr->AsInteger() != 0;
    const QString field = ColumnFieldName(Column);
    bool marked = false;
    if (derigs == ValidationCode::PlaceNearTop || noCaliperSection)
        marked = field == AnalysisField::DAST_GARUMS || field == AnalysisField::DAST_DIAMETRS;
    else
        marked = derigs != ValidationCode::Usable;
    if (marked)
        MarkCell(*canvas, field != AnalysisField::PIEZIMES && field != AnalysisField::DERIGS, !RowSelected(Sender, DataCol, State));
    Sender->DefaultDrawColumnCell(Rect, DataCol, Column, State);
}

void TfrmCSKTRImportBaseFRM::grdDiamNovirzesDrawColumnCell(TCustomDBEdGrid* Sender, const QRect& Rect,
                                                           int DataCol, TEkColumn* Column, TGridDrawState State)
{
    TDataSet* ds = Sender->LinkDataSet();
    QPainter* canvas = Sender->Canvas();
    if (!ds || !ds->Active() || ds->IsEmpty() || !canvas)
        return;
    canvas->save();
    const auto restore = qScopeGuard([canvas] { canvas->restore(); });
    TField* interval = ds->FindField(AnalysisField::INTERVALS_DIAMETRS);
    if (interval && interval->AsString() == TAnalysisEngine::TotalRowText()) {
        QFont f = canvas->font();
        f.setBold(true);
        canvas->setFont(f);
    }
    Sender->DefaultDrawColumnCell(Rect, DataCol, Column, State);
}
