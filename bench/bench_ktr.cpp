// Speed of the classic control file reader on a generated file of many stems, against two
// floors over the same bytes: finding every "~" alone, and cutting the bytes at "~" into
// Latin-1 strings (the least any reader must do to hand on the values). BM_Ratios prints the
// figures the whole load is judged by: `bench_ktr --benchmark_filter=Ratios`.

#include "import/AnalysisEngine.h"
#include "import/AnalysisModel.h"
#include "import/KtrReader.h"
#include "import/TCSHrvStumpwiseToDS.h"

#include "LoadRatios.h"
#include "PeakMemory.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

namespace {

// A file like the ones harvesters write: a header block, then per stem about 50 variables, the
// per-log lists and 13 to 15 diameter measurements in three series.
QByteArray MakeFile(int stems)
{
    QByteArray f;
    f.reserve(qsizetype(stems) * 1500 + 1000);
    f += "1 1 \nKalibrering SKALMAN 6.9~1 2 \nKTR~3 1 \nLV-4711~3 4 \n25681 ~5 1 \nTimbermatic 1.17~"
         "12 4 \n20130927082405~16 1 \n130927~40 1 5~40 2 1 4 0 0~46 1 500 500 500 500 500~"
         "111 1 4~112 1 2 2 2 2~113 1 0 0 0 0 0 0 0 0~";
    unsigned seed = 12345;
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(n));
    };
    for (int s = 1; s <= stems; ++s) {
        const QByteArray sp = rnd(3) ? "2" : "1";
        f += "110 2 " + sp + "~120 2 \n" + (sp == "2" ? "GRAN" : "FURU") + "~270 1 1~270 2 "
             + (s % 10 == 0 ? "1" : "0") + "~270 3 " + QByteArray::number(5000 + s) + "~3 2 \n1070e~";
        f += "16 4 \n20130910134152~12 4 \n20130927075727~18 4 \n20130927075727~18 5 \n20130927081428~";
        f += "21 1 \nObject " + QByteArray::number(1 + s / 1000) + "~21 3 \nHogst~31 1 \nSkogeier~";
        f += "38 1 \n2rond~38 4 2~38 5 0~290 1 3~38 3 1 1 1~";
        const int top1 = 120 + rnd(40), top2 = 90 + rnd(30), top3 = 50 + rnd(30);
        auto list3 = [](int a, int b, int c) {
            return QByteArray::number(a) + ' ' + QByteArray::number(b) + ' ' + QByteArray::number(c);
        };
        f += "291 3 " + list3(top1, top2, top3) + "~291 7 " + list3(top1, top2, top3) + "~291 8 "
             + list3(top1 + 1, top2, top3) + "~291 5 " + list3(top1 - 1, top2 + 2, top3 - 3) + "~";
        f += "293 3 " + list3(492, 512, 396) + "~293 5 " + list3(494, 513, 398) + "~295 2 490 510 390~";
        f += "296 1 2 2 2~296 2 \nMassevirke\nMassevirke\nMassevirke~299 1 870 640 240~299 2 870 640 240~"
             "299 5 886 628 258~299 10 1~361 1 1~361 3 0~";
        const int counts[3] = {4, 5, 4 + rnd(2)};
        f += "372 3 " + list3(counts[0], counts[1], counts[2]) + "~372 5 " + list3(counts[0], counts[1], counts[2])
             + "~";
        QByteArray dast, hrv, pos;
        int d = 160 + rnd(20);
        for (int l = 0; l < 3; ++l) {
            for (int k = 0; k < counts[l]; ++k) {
                const QByteArray sep = dast.isEmpty() ? "" : " ";
                dast += sep + QByteArray::number(d + rnd(5) - 2);
                hrv += sep + QByteArray::number(d + rnd(7) - 3);
                pos += sep + QByteArray::number(k == 0 && l == 0 ? 120 : 100 * (k + 1));
                d -= 3 + rnd(3);
            }
        }
        f += "373 3 " + dast + "~373 8 " + dast + "~373 9 " + dast + "~373 5 " + hrv + "~374 3 " + pos
             + "~374 5 " + pos + "~523 1 6061396~523 3 1220003~";
    }
    f += "991 19~992 976~993 2666~";
    return f;
}

const QByteArray& FileOf(int stems)
{
    static std::vector<std::pair<int, QByteArray>> cache;
    for (const auto& [n, bytes] : cache)
        if (n == stems)
            return bytes;
    cache.emplace_back(stems, MakeFile(stems));
    return cache.back().second;
}

TAnalysisModel FreshModel()
{
    TAnalysisModel model;
    model.Header.FILE_NAME = QStringLiteral("bench.ktr");
    model.Header.HAS_EMPTY_DATE = 0;
    model.Header.DIENU_SKAITS = 0;
    model.Header.IR_PARRAVUMI = 0;
    return model;
}

void SetCounters(benchmark::State& state, const QByteArray& bytes)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
    state.SetComplexityN(state.range(0));
}

// Floor 1: find every "~".
void BM_FloorFindMarks(benchmark::State& state)
{
    const QByteArray& bytes = FileOf(int(state.range(0)));
    for (auto _ : state) {
        std::size_t marks = 0;
        const char* p = bytes.constData();
        const char* end = p + bytes.size();
        while (const void* m = std::memchr(p, '~', std::size_t(end - p))) {
            ++marks;
            p = static_cast<const char*>(m) + 1;
        }
        benchmark::DoNotOptimize(marks);
    }
    SetCounters(state, bytes);
}

// Floor 2: cut the bytes at "~" into Latin-1 strings.
void SplitToStrings(const QByteArray& bytes)
{
    std::vector<QString> pieces;
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* m = static_cast<const char*>(std::memchr(p, '~', std::size_t(end - p)));
        if (!m)
            m = end;
        pieces.push_back(QString::fromLatin1(p, m - p));
        p = m + 1;
    }
    benchmark::DoNotOptimize(pieces.data());
}

void BM_FloorSplitToStrings(benchmark::State& state)
{
    const QByteArray& bytes = FileOf(int(state.range(0)));
    for (auto _ : state)
        SplitToStrings(bytes);
    SetCounters(state, bytes);
}

void BM_Read(benchmark::State& state)
{
    const QByteArray& bytes = FileOf(int(state.range(0)));
    for (auto _ : state) {
        TAnalysisModel model = FreshModel();
        KtrReader::Read(bytes, model);
        benchmark::DoNotOptimize(model.Meas.data());
    }
    SetCounters(state, bytes);
}

void BM_ReadAndAnalyse(benchmark::State& state)
{
    const QByteArray& bytes = FileOf(int(state.range(0)));
    for (auto _ : state) {
        TAnalysisModel model = FreshModel();
        KtrReader::Read(bytes, model);
        TAnalysisEngine::ValidateAndCalculate(model, 20);
        benchmark::DoNotOptimize(model.Meas.data());
    }
    SetCounters(state, bytes);
}

// The whole load as the program runs it: read, analyse and publish to the loader's datasets;
// and once from a real file with a fresh loader, for its peak memory against the file's size.
void BM_Load(benchmark::State& state)
{
    const QByteArray& bytes = FileOf(int(state.range(0)));
    {
        const LoadRatios::TFileOnDisk file(bytes, QStringLiteral("bench.ktr"));
        if (!file.Ok()) {
            state.SkipWithError("cannot write the file");
            return;
        }
        const double peak = PeakMemory::GrowthOf([&] {
            TCSHrvStumpwiseToDS fresh;
            fresh.ImportFileIntoDS(file.Name());
        });
        state.counters["peak_per_file_byte"] = peak / double(bytes.size());
    }
    TCSHrvStumpwiseToDS loader;
    loader.SetReaders([&bytes](const QString&, TAnalysisModel& model) { KtrReader::Read(bytes, model); }, nullptr);
    for (auto _ : state)
        loader.ImportFileIntoDS(QStringLiteral("bench.ktr"));
    SetCounters(state, bytes);
}

// The figures of the whole load in one place: the load (one loader, reused, as the analysis
// window reuses its own) against cutting the file into strings, per 1,000 stems, and the peak
// memory of a load from the file with a fresh loader against the file's size. Argument 2:
// 1 for the variant without fresh-memory page faults.
void BM_Ratios(benchmark::State& state)
{
    const int stems = int(state.range(0));
    const QByteArray& bytes = FileOf(stems);
    const LoadRatios::TFileOnDisk file(bytes, QStringLiteral("bench.ktr"));
    if (!file.Ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    TCSHrvStumpwiseToDS loader;
    loader.SetReaders([&bytes](const QString&, TAnalysisModel& model) { KtrReader::Read(bytes, model); }, nullptr);
    LoadRatios::Work w;
    w.Floor = [&] { SplitToStrings(bytes); };
    w.Load = [&] { loader.ImportFileIntoDS(QStringLiteral("bench.ktr")); };
    w.PeakLoad = [&] {
        TCSHrvStumpwiseToDS fresh;
        fresh.ImportFileIntoDS(file.Name());
    };
    LoadRatios::Run(state, stems, bytes.size(), w, state.range(1) != 0);
}

} // namespace

BENCHMARK(BM_FloorFindMarks)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_FloorSplitToStrings)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Read)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ReadAndAnalyse)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
const int registered = LoadRatios::Register("BM_Ratios", BM_Ratios);

BENCHMARK_MAIN();
