#include "import/RoundPrec.h"

#include "base/KpUt.h"

long double RoundPrec(int decimals, long double value)
{
    return KpUt::KpRound(value, decimals);
}
