// Speed of the analysis: from a filled model to computed values, for a synthetic file of
// N trees x 5 logs x 10 points (N = 20000 is 1,000,000 measurements), and at twice the size.

#include "import/AnalysisEngine.h"
#include "import/AnalysisModel.h"

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

} // namespace

BENCHMARK_MAIN();
