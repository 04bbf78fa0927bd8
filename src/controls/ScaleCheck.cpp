#include "controls/ScaleCheck.h"

#include "platform/rtl/ERangeError.h"

#include <cmath>

void CheckScale(double AScale)
{
    if (!std::isfinite(AScale) || AScale <= 0.0)
        throw ERangeError(QStringLiteral("Scale must be a positive number"));
}
