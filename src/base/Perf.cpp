#include "base/Perf.h"

void DefaultPerfStart(const TCodeLocation&, TPerfSimple& perf)
{
    perf.FPerf.reset();
}

void DefaultPerfParam(const TCodeLocation&, const QString&, const void*, TPerfParamType)
{
}

// Constant-initialised, so they are in place before any other start-up code runs.
TPerfStartProc PerfStartProc = &DefaultPerfStart;
TPerfParamProc PerfParamProc = &DefaultPerfParam;

void StartPerf(TPerfSimple& perf, const TCodeLocation& where)
{
    PerfStartProc(where, perf);
}

void PerfParam(const QString& name, const QString& value, const TCodeLocation& where)
{
    PerfParamProc(where, name, &value, TPerfParamType::String);
}
