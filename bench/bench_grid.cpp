// Painting cost of the data grid over small and huge datasets, and the cost of scrolling it by
// one record. Only the link's buffer window is read, so a full paint must cost the same over
// 100 and 1,000,000 records, and a one-record scroll must repaint only the rows it uncovers.
#include "GuiBenchMain.h"
#include "controls/KpPainter.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

// Paints title and data cells the way the program's grids do.
class PaintingGrid : public TCustomDBEdGrid {
public:
    void DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState) override
    {
        TCustomDBEdGrid::DrawCell(ACol, ARow, ARect, AState);
        if (ACol < IndicatorOffset() || ACol - IndicatorOffset() >= Columns()->Count())
            return;
        TEkColumn* column = Columns()->Items(ACol - IndicatorOffset());
        if (ARow < TitleOffset()) {
            GridPainter().Grid_Title(*Canvas(), ARect);
            CellText(*Canvas(), ARect, 2, 2, column->Title()->Caption(), TAlignment::taLeftJustify, 4);
            return;
        }
        WithBufferRecord(ARow - TitleOffset(), [&] {
            Canvas()->fillRect(ARect, (AState & gdSelected) ? QColor(0x33, 0x99, 0xFF) : Color());
            DefaultDrawColumnCell(ARect, ACol - IndicatorOffset(), column, AState);
        });
    }
    void Paint()
    {
        QApplication::processEvents();
        UpdatePending();
        QApplication::processEvents();
    }
};

struct Fixture {
    TClientDataSet ds;
    TDataSource source;
    PaintingGrid grid;

    explicit Fixture(int records)
    {
        ds.FieldDefs().Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
        ds.FieldDefs().Add(QStringLiteral("SUGA"), TFieldType::ftString, 10);
        ds.FieldDefs().Add(QStringLiteral("GARUMS"), TFieldType::ftFloat);
        ds.FieldDefs().Add(QStringLiteral("DATUMS"), TFieldType::ftDate);
        ds.CreateDataSet();
        ds.DisableControls();
        for (int i = 1; i <= records; ++i)
            ds.AppendRecord({Value(i), Value(QStringLiteral("Priede")), Value(i * 0.5),
                             Value(DateTime::EncodeDate(2024, 1 + i % 12, 1 + i % 28))});
        ds.EnableControls();
        ds.First();
        source.SetDataSet(&ds);
        grid.SetDataSource(&source);
        grid.resize(600, 400);
        grid.show();
        grid.Paint();
    }
};

Fixture& fixture(int records)
{
    return CachedFixture<Fixture>(records);
}

void BM_PaintFullGrid(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    qint64 cells = 0;
    for (auto _ : state) {
        const qint64 before = f.grid.DrawCellCount();
        f.grid.InvalidateGrid();
        f.grid.Paint();
        cells += f.grid.DrawCellCount() - before;
    }
    state.counters["cells_per_paint"] = benchmark::Counter(static_cast<double>(cells) / state.iterations());
}
BENCHMARK(BM_PaintFullGrid)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ScrollOneRecord(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    f.ds.First();
    f.ds.MoveBy(f.grid.VisibleRowCount()); // the window now moves with every step
    f.grid.Paint();
    qint64 cells = 0;
    for (auto _ : state) {
        if (f.ds.Eof())
            f.ds.First();
        const qint64 before = f.grid.DrawCellCount();
        f.ds.Next();
        f.grid.Paint();
        cells += f.grid.DrawCellCount() - before;
    }
    const double full = static_cast<double>(f.grid.ColCount()) * (f.grid.VisibleRowCount() + 1);
    state.counters["cells_per_scroll"] = benchmark::Counter(static_cast<double>(cells) / state.iterations());
    state.counters["cells_full_grid"] = benchmark::Counter(full);
}
BENCHMARK(BM_ScrollOneRecord)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunGuiBenchmarks(argc, argv, [] { CachedFixtures<Fixture>().clear(); });
}
