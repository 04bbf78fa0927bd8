// Speed of the analysis for a synthetic file of N trees x 5 logs x 10 points (N = 20000 is
// 1,000,000 measurements), and at twice the size:
// - Engine: from a filled model to computed values;
// - Load: from a filled model to published datasets (engine + publishing);
// - PlainAppend: appending the same final rows to datasets of the same fields in insertion
//   order, the yardstick for publishing (Load - Engine).

#include "import/AnalysisEngine.h"
#include "import/AnalysisModel.h"
#include "import/TCSHrvStumpwiseToDS.h"
#include "platform/data/ClientDataSet.h"

#include <benchmark/benchmark.h>

namespace {

TAnalysisModel SyntheticModel(int trees)
{
    TAnalysisModel m;
    m.Header.HAS_EMPTY_DATE = 0;
    m.Header.DIENU_SKAITS = 0;
    m.Header.IR_PARRAVUMI = 0;
    m.Trees.reserve(static_cast<size_t>(trees));
    m.Logs.reserve(static_cast<size_t>(trees) * 5);
    m.Meas.reserve(static_cast<size_t>(trees) * 50);
    for (int k = 1; k <= trees; ++k) {
        TTreeRow t;
        t.KOKS_NR = k;
        t.SUGA = k % 3 == 0 ? QStringLiteral("PRIEDE") : QStringLiteral("EGLE");
        t.IZV_VEIDS = static_cast<int16_t>(k % 4 == 0 ? 1 : 2);
        t.DATUMS_PARB = 45000.0 + k / 500;
        t.BALKU_SK = 5;
        m.Trees.push_back(t);
        for (int b = 1; b <= 5; ++b) {
            const int top = 400 - 60 * b;
            TLogRow l;
            l.KOKS_NR = k;
            l.BALKIS_NR = b;
            l.HRV_GARUMS = 500;
            l.DAST_GARUMS = 500 + (k % 3) - 1;
            l.HRV_TIEVG = top;
            l.DAST_TIEVG = top + (k + b) % 5 - 2;
            l.MER_SKAITS = 10;
            m.Logs.push_back(l);
            for (int n = 1; n <= 10; ++n) {
                TMeasRow r;
                r.KOKS_NR = k;
                r.BALKIS_NR = b;
                r.MERIJUMS_NR = n;
                r.MERVIETA = n * 45;
                r.HRV_DIAMETRS = top + 60 - n * 5;
                r.DAST_DIAMETRS = top + 60 - n * 5 + (k * 7 + b * 3 + n) % 17 - 8;
                m.Meas.push_back(r);
            }
        }
    }
    return m;
}

void BM_ValidateAndCalculate(benchmark::State& state)
{
    const int trees = static_cast<int>(state.range(0));
    const TAnalysisModel source = SyntheticModel(trees);
    for (auto _ : state) {
        state.PauseTiming();
        TAnalysisModel m = source;
        state.ResumeTiming();
        TAnalysisEngine::ValidateAndCalculate(m, 20);
        benchmark::DoNotOptimize(m.Header.HRV_APJOMS_ALL);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(source.Meas.size()));
}
BENCHMARK(BM_ValidateAndCalculate)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state)
{
    const int trees = static_cast<int>(state.range(0));
    const TAnalysisModel source = SyntheticModel(trees);
    TCSHrvStumpwiseToDS loader;
    TAnalysisModel prepared;
    loader.SetReaders([&](const QString&, TAnalysisModel& m) { m = std::move(prepared); }, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        prepared = source;
        state.ResumeTiming();
        loader.ImportFileIntoDS(QStringLiteral("synthetic.ktr"));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(source.Meas.size()));
}
BENCHMARK(BM_Load)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

Value Opt(const std::optional<int32_t>& v) { return v ? Value(*v) : Value(); }
Value Opt(const std::optional<int16_t>& v) { return v ? Value(static_cast<int32_t>(*v)) : Value(); }
Value Opt(const std::optional<double>& v) { return v ? Value(*v) : Value(); }
Value Opt(const QString& v) { return v.isEmpty() ? Value() : Value(v); }
Value Opt(const TPooledText& v) { return Opt(v.Text()); }

void BM_PlainAppend(benchmark::State& state)
{
    const int trees = static_cast<int>(state.range(0));
    TAnalysisModel m = SyntheticModel(trees);
    TAnalysisEngine::ValidateAndCalculate(m, 20);
    TCSHrvStumpwiseToDS shapes; // datasets with the same fields
    for (auto _ : state) {
        state.PauseTiming();
        for (TClientDataSet* ds : {shapes.cdsKoki(), shapes.cdsBalki(), shapes.cdsMerijumi()}) {
            ds->EmptyDataSet();
            ds->SetIndexName(QStringLiteral("DEFAULT_ORDER"));
            ds->OnNewRecord = nullptr;
            ds->DisableControls();
        }
        shapes.cdsMerijumi()->FieldByName(QStringLiteral("DERIGS"))->OnChange = nullptr;
        state.ResumeTiming();
        for (const TTreeRow& t : m.Trees)
            shapes.cdsKoki()->AppendRecord({Opt(t.KOKS_NR), Opt(t.BALKU_SK), Opt(t.IZV_VEIDS), Opt(t.HRV_APJOMS),
                                            Opt(t.DAST_APJOMS), Opt(t.DERIGS), Opt(t.SUGA), Opt(t.SUGA_TXT),
                                            t.DATUMS_PARB ? Value(DateTime(*t.DATUMS_PARB)) : Value(),
                                            Opt(t.CIRSMA_NR)});
        for (const TLogRow& l : m.Logs)
            shapes.cdsBalki()->AppendRecord({Opt(l.KOKS_NR), Opt(l.BALKIS_NR), Opt(l.SORT_NR), Opt(l.HRV_GARUMS),
                                             Opt(l.DAST_GARUMS), Opt(l.DAST_TIEVG), Opt(l.HRV_TIEVG),
                                             Opt(l.MER_SKAITS), Opt(l.DERIGS), Opt(l.HRV_APJOMS),
                                             Opt(l.DAST_APJOMS)});
        for (const TMeasRow& r : m.Meas)
            shapes.cdsMerijumi()->AppendRecord(
                {Opt(r.KOKS_NR), Opt(r.BALKIS_NR), Opt(r.MERIJUMS_NR), Opt(r.MERVIETA), Opt(r.MERVIETA_IEP_HRV),
                 Opt(r.MERVIETA_IEP_DAST), Opt(r.HRV_GARUMS), Opt(r.DAST_GARUMS), Opt(r.HRV_DIAMETRS),
                 Opt(r.DAST_DIAMETRS), Opt(r.DERIGS), Opt(r.SORT_NR), Opt(r.PIEZIMES), Opt(r.NOVIRZE_DIAMETRS),
                 Opt(r.NOVIRZE_DIAM_LIDZ), Opt(r.INTERVALS_DIAMETRS), Opt(r.DERIGS_DIAM_NOV), Opt(r.MERIJ_VEIDS)});
        state.PauseTiming();
        for (TClientDataSet* ds : {shapes.cdsKoki(), shapes.cdsBalki(), shapes.cdsMerijumi()})
            ds->EnableControls();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(m.Meas.size()));
}
BENCHMARK(BM_PlainAppend)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
