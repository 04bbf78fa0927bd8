#pragma once

// Timing hooks. Measured methods call StartPerf at entry with a local TPerfSimple; a measuring
// tool replaces the two hook variables. The defaults measure nothing and cost one indirect call.

#include "base/TPerfSimple.h"

#include <QString>
#include "base/TCodeLocation.h"

enum class TPerfParamType { String };

using TPerfStartProc = void (*)(const TCodeLocation& where, TPerfSimple& perf);
using TPerfParamProc = void (*)(const TCodeLocation& where, const QString& name,
                                const void* value, TPerfParamType type);

extern TPerfStartProc PerfStartProc;
extern TPerfParamProc PerfParamProc;

void DefaultPerfStart(const TCodeLocation& where, TPerfSimple& perf);
void DefaultPerfParam(const TCodeLocation& where, const QString& name, const void* value,
                      TPerfParamType type);

void StartPerf(TPerfSimple& perf, const TCodeLocation& where = TCodeLocation::current());
void PerfParam(const QString& name, const QString& value,
               const TCodeLocation& where = TCodeLocation::current());
