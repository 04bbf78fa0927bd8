#include "controls/ControlsMath.h"

#include "platform/rtl/ERangeError.h"

#include <cmath>
#include <limits>

int RoundHalfEven(double AValue)
{
    if (!std::isfinite(AValue))
        throw ERangeError(QStringLiteral("Number out of range"));
    // Halves are decided explicitly so the result does not depend on the rounding mode.
    const double floorValue = std::floor(AValue);
    double result = floorValue;
    const double diff = AValue - floorValue;
    if (diff == 0.5)
        result = std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
    else
        result = diff < 0.5 ? floorValue : floorValue + 1.0;
    if (result < static_cast<double>(std::numeric_limits<int>::min())
        || result > static_cast<double>(std::numeric_limits<int>::max()))
        throw ERangeError(QStringLiteral("Number out of range"));
    return static_cast<int>(result);
}

int MulDiv(int AValue, int ANumerator, int ADenominator)
{
    if (ADenominator == 0)
        throw ERangeError(QStringLiteral("Division by zero"));
    const long long product = static_cast<long long>(AValue) * ANumerator;
    long long quotient = product / ADenominator;
    const long long remainder = product % ADenominator;
    // Round half away from zero, as the Windows routine does.
    if (2 * (remainder < 0 ? -remainder : remainder) >= (ADenominator < 0 ? -static_cast<long long>(ADenominator) : ADenominator))
        quotient += ((product < 0) != (ADenominator < 0)) ? -1 : 1;
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max())
        throw ERangeError(QStringLiteral("Number out of range"));
    return static_cast<int>(quotient);
}
