#include "AppTestUtil.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QTabWidget>

#include <algorithm>
#include <functional>

#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "import/AnalysisEngine.h"

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

// Where a record of the grid's dataset is drawn: its data row in the grid (the window starts
// at the first record), -1 when not on screen.
int GridRowOf(TCustomDBEdGrid* grid, int recNo)
{
    const int row = grid->TitleOffset() + recNo - 1 - grid->DataLink()->FirstRecord();
    return row >= grid->TitleOffset() && row < grid->RowCount() ? row : -1;
}

int GridColOf(TCustomDBEdGrid* grid, const char* field)
{
    for (int i = 0; i < grid->Columns()->Count(); ++i)
        if (grid->Columns()->Items(i)->FieldName() == QString::fromLatin1(field))
            return grid->IndicatorOffset() + i;
    return -1;
}

struct Cell {
    QImage image;
    // Background: the pixel just inside the cell's top-left corner.
    QColor Back() const { return image.pixelColor(1, 1); }
    // A line drawn through the text: a pixel row in the middle of the cell inked across the
    // whole width of the text (the cell's edges left out), which digits and letters alone never
    // are: their full-width strokes lie at the top or the bottom.
    bool StruckOut() const
    {
        const int back = Back().lightness();
        auto ink = [&](int x, int y) { return std::abs(image.pixelColor(x, y).lightness() - back) > 80; };
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 2; x < image.width() - 2; ++x)
                if (ink(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        if (right - left + 1 < 5)
            return false;
        for (int y = image.height() * 4 / 10; y <= image.height() * 6 / 10; ++y) {
            bool full = true;
            for (int x = left; x <= right && full; ++x)
                full = ink(x, y);
            if (full)
                return true;
        }
        return false;
    }
    int Ink() const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y).lightness() < 100;
        return n;
    }
};

Cell Grab(TCustomDBEdGrid* grid, int col, int row)
{
    // The whole cell in view: a cell cut by the edge would be judged by part of its text.
    if (!grid->viewport()->rect().contains(grid->CellRect(col, row)))
        grid->SetLeftCol(col);
    grid->InvalidateGrid();
    QApplication::processEvents();
    const QImage whole = grid->viewport()->grab().toImage();
    const QRect rect = grid->CellRect(col, row);
    EXPECT_FALSE(rect.isEmpty()) << "cell " << col << "," << row << " on screen";
    if (qEnvironmentVariableIsSet("STUMPWISE_KEEP_CELLS"))
        whole.save(QDir::temp().filePath(QStringLiteral("cell_%1_%2_%3.png").arg(grid->objectName()).arg(col).arg(row)));
    return {whole.copy(rect)};
}

// Makes current the tree and log of the first measurement (in the file's order) that pred
// accepts, and answers its record number among the shown measurements; 0 when none.
template <class Pred>
int ShowMeasurement(TCSHrvStumpwiseToDS* loader, QCheckBox* filter, Pred pred)
{
    TClientDataSet* mer = loader->cdsMerijumi();
    filter->setChecked(false);
    qint32 tree = 0, log = 0, nr = 0;
    for (mer->First(); !mer->Eof(); mer->Next()) {
        if (pred(mer)) {
            tree = mer->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger();
            log = mer->FieldByName(QStringLiteral("BALKIS_NR"))->AsInteger();
            nr = mer->FieldByName(QStringLiteral("MERIJUMS_NR"))->AsInteger();
            break;
        }
    }
    filter->setChecked(true);
    if (!tree)
        return 0;
    loader->cdsKoki()->Locate(QStringLiteral("KOKS_NR"), Value(tree));
    loader->cdsBalki()->Locate(QStringLiteral("BALKIS_NR"), Value(log));
    mer->Locate(QStringLiteral("MERIJUMS_NR"), Value(nr));
    const int recNo = mer->RecNo();
    // Another row current, so the marked one is drawn unselected.
    if (recNo == 1)
        mer->Last();
    else
        mer->First();
    return recNo;
}

qint32 Derigs(TDataSet* ds) { return ds->FieldByName(QStringLiteral("DERIGS"))->AsInteger(); }

TEST_F(AppTest, UnusableMeasurementsAreStruckOutOnSilverButCodeAndNotesStayLegible)
{
    MakeWindow();
    ClickLoad(Fixture("hqc/two-control-groups.hqc"));
    ASSERT_TRUE(boxes.empty());
    TCustomDBEdGrid* grid = frame->grdMerijumi;
    const int recNo = ShowMeasurement(loader, frame->chkFilterByBalkis, [](TDataSet* ds) { return Derigs(ds) == 7; });
    ASSERT_GT(recNo, 0) << "the file has a measurement coded 7";
    const int row = GridRowOf(grid, recNo);
    ASSERT_GE(row, 0);
    for (const char* field : {"MERVIETA", "HRV_DIAMETRS", "NOVIRZE_DIAMETRS"}) {
        SCOPED_TRACE(field);
        EXPECT_EQ(Grab(grid, GridColOf(grid, field), row).Back(), kSilver);
    }
    // At least one of the wider values shows its line (a short value is too narrow to tell).
    bool struck = false;
    for (const char* field : {"MERVIETA", "HRV_DIAMETRS", "DAST_DIAMETRS", "HRV_GARUMS"})
        struck = struck || Grab(grid, GridColOf(grid, field), row).StruckOut();
    EXPECT_TRUE(struck);
    for (const char* field : {"DERIGS", "PIEZIMES"}) {
        SCOPED_TRACE(field);
        const Cell cell = Grab(grid, GridColOf(grid, field), row);
        EXPECT_EQ(cell.Back(), kSilver);
        EXPECT_FALSE(cell.StruckOut());
    }
}

TEST_F(AppTest, MeasurementsNearTheTopAreStruckOutInTheirCaliperCellsOnly)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/komatsu-maxixplorer-2017.ktr"));
    TCustomDBEdGrid* grid = frame->grdMerijumi;
    const struct {
        const char* what;
        std::function<bool(TDataSet*)> pred;
    } cases[] = {
        {"code 20", [](TDataSet* ds) { return Derigs(ds) == 20; }},
        {"no caliper section", [](TDataSet* ds) {
             return Derigs(ds) == 0 && ds->FieldByName(QStringLiteral("DAST_GARUMS"))->AsFloat() == 0 &&
                    ds->FieldByName(QStringLiteral("MERIJUMS_NR"))->AsInteger() != 0;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int recNo = ShowMeasurement(loader, frame->chkFilterByBalkis, c.pred);
        ASSERT_GT(recNo, 0);
        const int row = GridRowOf(grid, recNo);
        ASSERT_GE(row, 0);
        for (const char* field : {"DAST_GARUMS", "DAST_DIAMETRS"})
            EXPECT_EQ(Grab(grid, GridColOf(grid, field), row).Back(), kSilver) << field;
        for (const char* field : {"HRV_DIAMETRS", "MERVIETA", "DERIGS"}) {
            const Cell cell = Grab(grid, GridColOf(grid, field), row);
            EXPECT_NE(cell.Back(), kSilver) << field;
            EXPECT_FALSE(cell.StruckOut()) << field;
        }
    }
}

TEST_F(AppTest, UsableRowsAndTheSelectedRowAreNotSilver)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/surplus-words.ktr"));
    TCustomDBEdGrid* grid = frame->grdKoki;
    TClientDataSet* koki = loader->cdsKoki();
    int unusable = 0, usable = 0;
    for (koki->First(); !koki->Eof(); koki->Next()) {
        if (Derigs(koki) != 0 && !unusable)
            unusable = koki->RecNo();
        if (Derigs(koki) == 0 && !usable)
            usable = koki->RecNo();
    }
    ASSERT_GT(unusable, 0) << "the file has an unusable tree";
    ASSERT_GT(usable, 0);
    koki->SetRecNo(usable);
    // The species name is wide enough to show the line through it.
    const int col = GridColOf(grid, "SUGA");
    const int unusableRow = GridRowOf(grid, unusable);
    ASSERT_GE(unusableRow, 0);
    EXPECT_EQ(Grab(grid, col, unusableRow).Back(), kSilver);
    EXPECT_TRUE(Grab(grid, col, unusableRow).StruckOut());
    EXPECT_NE(Grab(grid, col, GridRowOf(grid, usable)).Back(), kSilver);
    // Current and highlighted: the selection colour stays, the text is still struck out.
    koki->SetRecNo(unusable);
    grid->setFocus();
    grid->SetOptions(grid->Options() | dgAlwaysShowSelection);
    const Cell selected = Grab(grid, col, GridRowOf(grid, unusable));
    EXPECT_NE(selected.Back(), kSilver);
    EXPECT_TRUE(selected.StruckOut());
}

TEST_F(AppTest, TotalRowsOfTheDeviationTableAreBold)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/komatsu-maxixplorer-2017.ktr"));
    frame->pgcRows->setCurrentWidget(frame->tsDiametruNovirzes);
    QApplication::processEvents();
    TCustomDBEdGrid* grid = frame->grdDiamNovirzes;
    TClientDataSet* dev = loader->cdsDiamNovirzes();
    // Two rows of the same selection kind, one of them its total.
    int total = 0, plain = 0;
    for (dev->First(); !dev->Eof() && !(total && plain); dev->Next()) {
        if (dev->FieldByName(QStringLiteral("IZV_VEIDS"))->AsInteger() != 0)
            continue;
        const bool isTotal =
            dev->FieldByName(QStringLiteral("INTERVALS_DIAMETRS"))->AsString() == TAnalysisEngine::TotalRowText();
        (isTotal ? total : plain) = (isTotal ? total : plain) ? (isTotal ? total : plain) : dev->RecNo();
    }
    ASSERT_GT(total, 0);
    ASSERT_GT(plain, 0);
    dev->Last();
    if (dev->RecNo() == total || dev->RecNo() == plain)
        dev->SetRecNo(std::max(total, plain) + 1 <= dev->RecordCount() ? std::max(total, plain) + 1 : 1);
    const int col = GridColOf(grid, "IZV_VEIDS");
    const int totalRow = GridRowOf(grid, total), plainRow = GridRowOf(grid, plain);
    ASSERT_GE(totalRow, 0);
    ASSERT_GE(plainRow, 0);
    EXPECT_GT(Grab(grid, col, totalRow).Ink(), Grab(grid, col, plainRow).Ink() * 11 / 10);
}

} // namespace
