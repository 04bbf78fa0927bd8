#pragma once

// Where a measured method was entered. std::source_location would do, but clang 14 (our fuzzing
// compiler) cannot build it against this libstdc++; the builtins work on both compilers.
struct TCodeLocation
{
    const char* File = "";
    const char* Function = "";
    int Line = 0;

    static constexpr TCodeLocation current(const char* file = __builtin_FILE(),
                                           const char* function = __builtin_FUNCTION(),
                                           int line = __builtin_LINE()) noexcept
    {
        return TCodeLocation{file, function, line};
    }
};
