#include "base/Perf.h"

void DefaultPerfStart(const std::source_location&, TPerfSimple& perf)
{
    perf.FPerf.reset();
}

void DefaultPerfParam(const std::source_location&, const QString&, const void*, TPerfParamType)
{
}

// Constant-initialised, so they are in place before any other start-up code runs.
TPerfStartProc PerfStartProc = &DefaultPerfStart;
TPerfParamProc PerfParamProc = &DefaultPerfParam;

void StartPerf(TPerfSimple& perf, const std::source_location& where)
{
    PerfStartProc(where, perf);
}

void PerfParam(const QString& name, const QString& value, const std::source_location& where)
{
    PerfParamProc(where, name, &value, TPerfParamType::String);
}
