#pragma once

// Timing hooks. Measured methods call StartPerf at entry with a local TPerfSimple; a measuring
// tool replaces the two hook variables. The defaults measure nothing and cost one indirect call.

#include "base/TPerfSimple.h"

#include <QString>
#include <source_location>

enum class TPerfParamType { String };

using TPerfStartProc = void (*)(const std::source_location& where, TPerfSimple& perf);
using TPerfParamProc = void (*)(const std::source_location& where, const QString& name,
                                const void* value, TPerfParamType type);

extern TPerfStartProc PerfStartProc;
extern TPerfParamProc PerfParamProc;

void DefaultPerfStart(const std::source_location& where, TPerfSimple& perf);
void DefaultPerfParam(const std::source_location& where, const QString& name, const void* value,
                      TPerfParamType type);

void StartPerf(TPerfSimple& perf, const std::source_location& where = std::source_location::current());
void PerfParam(const QString& name, const QString& value,
               const std::source_location& where = std::source_location::current());
