#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>

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
