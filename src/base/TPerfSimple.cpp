#include "base/TPerfSimple.h"

void TPerfSimple::StopPerf(const std::source_location& where)
{
    if (FPerf)
        FPerf->Stop(where);
    FPerf.reset();
}
