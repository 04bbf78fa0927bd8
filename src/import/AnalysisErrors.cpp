#include "import/AnalysisErrors.h"

#include <stdexcept>

void TAnalysisErrors::RaiseIntOverflow()
{
    throw std::overflow_error("Integer overflow");
}

void TAnalysisErrors::RaiseRangeError()
{
    throw std::range_error("Range check error");
}
