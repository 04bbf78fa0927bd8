#pragma once

#include <array>

// Sign tables of the web utilities, indexed by "is negative".
inline constexpr std::array<const char*, 2> W3OptionalSign{"", "-"};
inline constexpr std::array<const char*, 2> W3Sign{"+", "-"};
inline constexpr std::array<const char*, 2> W3ZoneSign{"+", "-"};
