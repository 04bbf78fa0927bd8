#include "import/AnalysisErrors.h"

#include "platform/rtl/EIntOverflow.h"
#include "platform/rtl/ERangeError.h"

void TAnalysisErrors::RaiseIntOverflow()
{
    throw EIntOverflow(QStringLiteral("Integer overflow"));
}

void TAnalysisErrors::RaiseRangeError()
{
    throw ERangeError(QStringLiteral("Range check error"));
}
