#include "import/RoundPrec.h"

#include <cmath>
#include <stdexcept>

namespace {
// Temporary copy of KpUt::KpRound until the base library's lands; replaced by a call to it.
long double LocalKpRound(long double rInput, int rPrecision)
{
    auto roundEven = [](long double v) -> long double {
        const long double r = std::rintl(v);
        if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L))
            throw std::range_error("Floating point overflow");
        return r;
    };
    if (rPrecision >= 0) {
        const long double p = ::powl(10.0L, static_cast<long double>(rPrecision));
        const long double frac = rInput - std::truncl(rInput);
        const long double scaled = frac * p;
        const long double d = ::fabsl(scaled - std::truncl(scaled));
        long double x = rInput;
        if (d > 0.4L && d < 0.6L)
            x = rInput >= 0 ? rInput + 0.0000000001L : rInput - 0.0000000001L;
        return std::truncl(rInput) + roundEven((x - std::truncl(x)) * p) / p;
    }
    if (rPrecision == -2147483647 - 1)
        throw std::overflow_error("Arithmetic overflow");
    const long double p = ::powl(10.0L, static_cast<long double>(-rPrecision));
    return roundEven(std::truncl(rInput) / p) * p;
}
} // namespace

long double RoundPrec(int decimals, long double value)
{
    return LocalKpRound(value, decimals);
}
