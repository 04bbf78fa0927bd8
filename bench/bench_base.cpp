// The helpers every loaded number or displayed cell goes through.
#include "base/KpUt.h"
#include "base/Perf.h"
#include "platform/rtl/DelphiFormat.h"

#include <benchmark/benchmark.h>

static void BM_KpRound(benchmark::State& state)
{
    double x = 2.675;
    for (auto _ : state) {
        benchmark::DoNotOptimize(KpUt::KpRound(x, 2));
        x += 0.001;
    }
}
BENCHMARK(BM_KpRound);

static void BM_FormatFloat(benchmark::State& state)
{
    const FormatSettings fs = FormatSettings::Invariant();
    const QString pattern = QStringLiteral("#,##0.0#");
    double x = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatFloat(pattern, x, fs));
        x += 0.37;
    }
}
BENCHMARK(BM_FormatFloat);

static void BM_StrToFloat(benchmark::State& state)
{
    const FormatSettings fs = FormatSettings::Invariant();
    const QString text = QStringLiteral("12345.678");
    for (auto _ : state)
        benchmark::DoNotOptimize(StrToFloat(text, fs));
}
BENCHMARK(BM_StrToFloat);

static void BM_DefaultTimingHook(benchmark::State& state)
{
    for (auto _ : state) {
        TPerfSimple perf;
        StartPerf(perf);
        benchmark::DoNotOptimize(perf.FPerf);
    }
}
BENCHMARK(BM_DefaultTimingHook);

BENCHMARK_MAIN();
