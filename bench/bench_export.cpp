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
#include <xlsxwriter.h>

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

// The whole .xlsx export of a dataset: the workbook written from the records and saved.
void BM_ExportXlsx(benchmark::State& state)
{
    auto ds = MakeLogs(int(state.range(0)));
    const QString file = QDir::temp().filePath(QStringLiteral("bench_export_model.xlsx"));
    for (auto _ : state) {
        TToExcel x;
        x.SetXLSFormat(9);
        x.SetDataset(ds.get());
        x.Execute(false, true);
        x.Save(file);
    }
    QFile::remove(file);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same cells written straight through libxlsxwriter, as the floor of the export above:
// a bold bordered header row, then each record with its column's alignment, side borders and
// number format.
void BM_LibXlsxWriterDirect(benchmark::State& state)
{
    const int records = int(state.range(0));
    const QByteArray file = QFile::encodeName(QDir::temp().filePath(QStringLiteral("bench_export_direct.xlsx")));
    const char* labels[] = {"KOKS_NR", "BALKIS_NR", "SUGA", "GARUMS", "HRV_APJOMS", "DAST_APJOMS", "PIEZIMES", "DATUMS"};
    for (auto _ : state) {
        lxw_workbook* wb = workbook_new(file.constData());
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        lxw_format* head = workbook_add_format(wb);
        format_set_bold(head);
        format_set_border(head, LXW_BORDER_THIN);
        lxw_format* number = workbook_add_format(wb);
        format_set_align(number, LXW_ALIGN_RIGHT);
        format_set_left(number, LXW_BORDER_THIN);
        format_set_right(number, LXW_BORDER_THIN);
        lxw_format* text = workbook_add_format(wb);
        format_set_align(text, LXW_ALIGN_LEFT);
        format_set_left(text, LXW_BORDER_THIN);
        format_set_right(text, LXW_BORDER_THIN);
        format_set_num_format(text, "@");
        lxw_format* date = workbook_add_format(wb);
        format_set_align(date, LXW_ALIGN_RIGHT);
        format_set_left(date, LXW_BORDER_THIN);
        format_set_right(date, LXW_BORDER_THIN);
        format_set_num_format(date, "dd.mm.yyyy");
        for (int c = 0; c < 8; ++c)
            worksheet_write_string(ws, 0, lxw_col_t(c), labels[c], head);
        for (int i = 0; i < records; ++i) {
            const lxw_row_t r = lxw_row_t(i + 1);
            worksheet_write_number(ws, r, 0, i / 6 + 1, number);
            worksheet_write_number(ws, r, 1, i % 6 + 1, number);
            worksheet_write_string(ws, r, 2, i % 3 ? "Priede" : "Egle", text);
            worksheet_write_number(ws, r, 3, 300 + i % 250, number);
            worksheet_write_number(ws, r, 4, 100.0 + i * 0.37, number);
            worksheet_write_number(ws, r, 5, 101.0 + i * 0.36, number);
            const QByteArray note = QStringLiteral("Piezīme %1").arg(i % 50).toUtf8();
            worksheet_write_string(ws, r, 6, note.constData(), text);
            worksheet_write_number(ws, r, 7, DateTime::EncodeDate(2023, 5, 1 + i % 28).Days(), date);
        }
        for (int c = 0; c < 8; ++c)
            worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), 12, nullptr);
        workbook_close(wb);
    }
    QFile::remove(QFile::decodeName(file));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_ExportXlsx)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibXlsxWriterDirect)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkbookModel)->Arg(5000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWorkbook)->Args({5000, 2})->Args({5000, 9})->Args({100000, 9})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocument)->Arg(5000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
