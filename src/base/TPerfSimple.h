#pragma once

#include "base/IPerf.h"

#include <memory>
#include "base/TCodeLocation.h"

// Scope guard of a measured method: StartPerf fills it at entry; leaving the scope drops the
// measurement, which ends it.
struct TPerfSimple
{
    std::shared_ptr<IPerf> FPerf;

    void StopPerf(const TCodeLocation& where = TCodeLocation::current());
};
