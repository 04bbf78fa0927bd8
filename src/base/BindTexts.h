#pragma once

#include <QString>
#include <array>
#include <cstddef>

// Turns a table of UTF-8 literals into the texts a module hands out for the whole run.
template <std::size_t N>
std::array<QString, N> BindTexts(const std::array<const char*, N>& utf8)
{
    std::array<QString, N> bound;
    for (std::size_t i = 0; i < N; ++i)
        bound[i] = QString::fromUtf8(utf8[i]);
    return bound;
}
