#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>

// Runs the registered benchmarks inside an application object (offscreen unless a platform is
// asked for). Widgets kept between benchmarks must go before the application object does, so
// beforeExit frees them while it still lives.
inline int RunGuiBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    beforeExit();
    return 0;
}

// Fixtures kept between benchmarks, one per size. They hold widgets, so main empties the cache
// (through RunGuiBenchmarks' beforeExit) while the application object still lives.
template <class Fixture>
std::map<int, std::unique_ptr<Fixture>>& CachedFixtures()
{
    static std::map<int, std::unique_ptr<Fixture>> cache;
    return cache;
}

template <class Fixture>
Fixture& CachedFixture(int records)
{
    auto& f = CachedFixtures<Fixture>()[records];
    if (!f)
        f = std::make_unique<Fixture>(records);
    return *f;
}
