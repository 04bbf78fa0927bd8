#pragma once

// Conversions of the texts of a classic control file: integers, numbers, the words of a value
// and date texts. Every text that does not convert raises (KtrErrors), so a load never goes on
// with a guessed value.

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class KtrConvert {
public:
    KtrConvert() = delete;

    // A decimal 32-bit integer, optionally signed; white space (blanks, tabs, line breaks)
    // around the digits is ignored. Used for variable numbers and types, read byte for byte.
    static int32_t ToInt(std::string_view text);
    static int32_t ToInt(const QString& text);

    // Whether a value compares as a number other than 0 (integers and decimal fractions with a
    // point). An empty value is no number and so not "other than 0".
    static bool IsNonZeroNumber(const QString& text);

    // The words of a value: the text split at every blank, so two blanks in a row give an empty
    // word between them. Each word must be a decimal integer (an empty one is not). An empty
    // value has no words.
    static void ToWords(const QString& text, std::vector<int32_t>& words);

    // The day of a date text YYYYMMDDhhmmss (characters after the 14th are ignored) as days
    // since 1899-12-30, the time of day cut off. Date and time must both be valid.
    static double ToDay(const QString& text);
};
