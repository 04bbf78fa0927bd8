#include "base/TPerfSimple.h"

void TPerfSimple::StopPerf(const TCodeLocation& where)
{
    if (FPerf)
        FPerf->Stop(where);
    FPerf.reset();
}
