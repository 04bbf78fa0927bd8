#pragma once

// Every rounding of the analysis goes through this routine: the number of decimals first, then
// the value, as the base library's KpUt::KpRound takes them (rounding away from zero near a half).
long double RoundPrec(int decimals, long double value);
