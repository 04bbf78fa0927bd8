// Speed of the exports: writing a dataset into the workbook model, saving it as .xls and
// .xlsx, and building an OpenDocument spreadsheet, for a logs-sized table.
#include "export/TODFSpreadSheet.h"
#include "export/TToExcel.h"
#include "platform/data/ClientDataSet.h"
#include "platform/rtl/DateTime.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<TClientDataSet> MakeLogs(int records)
{
    auto ds = std::make_unique<TClientDataSet>();
    auto& defs = ds->FieldDefs();
    defs.Add("KOKS_NR", TFieldType::ftInteger);
    defs.Add("BALKIS_NR", TFieldType::ftInteger);
    defs.Add("SUGA", TFieldType::ftString, 20);
    defs.Add("GARUMS", TFieldType::ftSmallint);
    defs.Add("HRV_APJOMS", TFieldType::ftFloat);
    defs.Add("DAST_APJOMS", TFieldType::ftFloat);
    defs.Add("PIEZIMES", TFieldType::ftString, 100);
    defs.Add("DATUMS", TFieldType::ftDateTime);
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    for (int i = 0; i < records; ++i) {
        ds->Append();
        ds->Fields(0)->SetAsInteger(i / 6 + 1);
        ds->Fields(1)->SetAsInteger(i % 6 + 1);
        ds->Fields(2)->SetAsString(i % 3 ? QStringLiteral("Priede") : QStringLiteral("Egle"));
        ds->Fields(3)->SetAsInteger(300 + i % 250);
        ds->Fields(4)->SetAsFloat(100.0 + i * 0.37);
        ds->Fields(5)->SetAsFloat(101.0 + i * 0.36);
        ds->Fields(6)->SetAsString(QStringLiteral("Piezīme %1").arg(i % 50));
        ds->Fields(7)->SetAsDateTime(DateTime::EncodeDate(2023, 5, 1 + i % 28));
        ds->Post();
    }
    ds->First();
    return ds;
}

void BM_WorkbookModel(benchmark::State& state)
{
    auto ds = MakeLogs(int(state.range(0)));
    for (auto _ : state) {
        TToExcel x;
        x.SetDataset(ds.get());
        x.Execute(false, true);
        benchmark::DoNotOptimize(x.WorkBook().SheetCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveWorkbook(benchmark::State& state)
{
    auto ds = MakeLogs(int(state.range(0)));
    TToExcel x;
    x.SetXLSFormat(int(state.range(1)));
    x.SetDataset(ds.get());
    x.Execute(false, true);
    const QString file = QDir::temp().filePath(QStringLiteral("bench_export.") + TToExcel::Format2Ext(x.XLSFormat()));
    for (auto _ : state)
        x.Save(file);
    QFile::remove(file);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_OpenDocument(benchmark::State& state)
{
    auto ds = MakeLogs(int(state.range(0)));
    for (auto _ : state) {
        TODFSpreadSheet x;
        x.SetDataset(ds.get());
        x.Execute(false, false);
        QFile::remove(x.OutputFileName());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_WorkbookModel)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWorkbook)->Args({5000, 2})->Args({5000, 9})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocument)->Arg(5000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
