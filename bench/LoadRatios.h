#pragma once

// The figures a whole load is judged by, measured in one benchmark so that one command prints
// them: the whole load against its floor (both timed in turn, round after round, and compared
// by their medians, so that a noisy neighbour slows both alike), the time per 1,000 stems and
// the peak memory against the file's size.
//
// The "warm" variants take fresh-memory page faults out: the allocator keeps what it was given
// (no separate mappings for large blocks, nothing handed back), as GLIBC_TUNABLES
// glibc.malloc.mmap_max=0:glibc.malloc.trim_threshold=... would. That cannot be undone within
// the process, so they run after all the others.

#include "PeakMemory.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include <malloc.h>

namespace LoadRatios {

// The file written out under `name` in a directory of its own, for the loads that read it as
// the program does.
class TFileOnDisk {
public:
    TFileOnDisk(const QByteArray& bytes, const QString& name)
        : FName(FDir.filePath(name))
    {
        QFile f(FName);
        FOk = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    bool Ok() const { return FOk; }
    const QString& Name() const { return FName; }

private:
    QTemporaryDir FDir;
    QString FName;
    bool FOk = false;
};

inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double MillisecondsOf(const std::function<void()>& work)
{
    const auto t0 = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Keeps every block the allocator got from the system: later loads reuse it instead of having
// it mapped and faulted in afresh.
inline void KeepHeap()
{
    static const bool done = [] {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
        return true;
    }();
    (void)done;
}

struct Work {
    std::function<void()> Floor;
    std::function<void()> Load;
    // A second kind of whole load to set against the same floor (empty: none), reported as
    // `secondCounter`.
    std::function<void()> SecondLoad;
    const char* SecondCounter = nullptr;
    // A whole load from scratch, once, for the peak memory (empty: not measured).
    std::function<void()> PeakLoad;
};

// Runs one round per benchmark iteration (floor, then load, then the second load) and reports
//   load_per_floor      median load / median floor
//   <secondCounter>     median second load / median floor
//   ms_per_1000_stems   median load per 1,000 stems
//   peak_per_file       peak memory growth of one load from scratch / file size
// The benchmark's own time is the load's.
inline void Run(benchmark::State& state, int stems, int64_t fileBytes, const Work& w, bool warm)
{
    if (warm)
        KeepHeap();
    if (w.PeakLoad && !warm)
        state.counters["peak_per_file"] = PeakMemory::GrowthOf(w.PeakLoad) / double(fileBytes);
    w.Floor(); // first touches (code, caches) are part of neither figure
    w.Load();
    if (w.SecondLoad)
        w.SecondLoad();
    std::vector<double> floor, load, second;
    for (auto _ : state) {
        floor.push_back(MillisecondsOf(w.Floor));
        const double ms = MillisecondsOf(w.Load);
        load.push_back(ms);
        if (w.SecondLoad)
            second.push_back(MillisecondsOf(w.SecondLoad));
        state.SetIterationTime(ms / 1000.0);
    }
    const double f = Median(floor);
    state.counters["floor_ms"] = f;
    state.counters["load_per_floor"] = Median(load) / f;
    if (w.SecondLoad)
        state.counters[w.SecondCounter] = Median(second) / f;
    state.counters["ms_per_1000_stems"] = Median(load) * 1000.0 / double(stems);
    state.SetBytesProcessed(int64_t(state.iterations()) * fileBytes);
}

// Rounds per size: enough for a steady median, few enough that the largest file stays quick.
inline int RoundsFor(int stems)
{
    return stems <= 1000 ? 41 : stems <= 10000 ? 15 : 9;
}

struct Named {
    const char* Name;
    void (*Fn)(benchmark::State&);
};

// Registers each benchmark at 1,000, 10,000 and 40,000 stems under its name, then all of them
// again without page faults as name_warm (last, as that changes the allocator for the rest of
// the process).
inline int Register(std::initializer_list<Named> benchmarks)
{
    for (int warm : {0, 1})
        for (const Named& b : benchmarks)
            for (int stems : {1000, 10000, 40000})
                benchmark::RegisterBenchmark((warm ? std::string(b.Name) + "_warm" : std::string(b.Name)).c_str(), b.Fn)
                    ->Args({stems, warm})
                    ->Iterations(RoundsFor(stems))
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
    return 0;
}
inline int Register(const char* name, void (*fn)(benchmark::State&))
{
    return Register({{name, fn}});
}

} // namespace LoadRatios
