#pragma once

// Conversions of the texts of a classic control file: integers, numbers, the words of a value
// and date texts. Every text that does not convert raises (KtrErrors), so a load never goes on
// with a guessed value.

#include <QString>

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

class KtrConvert {
public:
    KtrConvert() = delete;

    // A decimal 32-bit integer, optionally signed, as the platform's string-to-integer
    // conversion reads it; white space around the digits is ignored. Used for the words of a
    // value and the parts of a date; raises the integer-conversion error.
    static int32_t ToInt(std::string_view text);
    static int32_t ToInt(const QString& text);

    // A text taken as an integer through the platform's variant rules: white space (blanks,
    // tabs, line breaks) around it ignored, a decimal fraction rounded to the nearest integer
    // (halves to even). Used for variable numbers and types and for the log count; raises the
    // variant-conversion error, or the variant overflow error outside 32 bits.
    static int32_t VariantToInt(std::string_view text)
    {
        // Variable numbers and types are nearly always a few bare digits: read here, in line.
        int32_t v = 0;
        return BareDigits(text.data(), text.data() + text.size(), v) ? v : VariantToIntInFull(text);
    }
    static int32_t VariantToInt(const QString& text);

    // A text compared as a number through the variant rules (the random mark, the species
    // key): integers and decimal fractions with a point; raises the variant-conversion error.
    static double VariantToNumber(const QString& text);

    // The words of a value as the platform reads comma text after every blank became a comma:
    // a word ends at a comma or at any character up to a blank (tabs and line breaks included);
    // characters up to a blank after a word are skipped, so only commas make empty words (two
    // blanks in a row give an empty word between them); a word that begins with a double quote
    // runs to the closing quote, keeps its blanks and loses its quotes (a doubled quote inside is
    // one quote). Each word must be a decimal integer (an empty one is not). An empty value has
    // no words.
    static void ToWords(const QString& text, std::vector<int32_t>& words);

    // The day of a date text YYYYMMDDhhmmss (characters after the 14th are ignored) as days
    // since 1899-12-30, the time of day cut off. Each part is converted as an integer (a part
    // the text is too short for is empty and fails so); date and time must both be valid.
    static double ToDay(const QString& text);

    // One to nine bare digits (nine cannot overflow), the usual text, read without further
    // rules; false for anything else, which the full rules then read.
    template <typename Ch>
    static bool BareDigits(const Ch* b, const Ch* e, int32_t& out)
    {
        if (b == e || e - b > 9)
            return false;
        uint32_t value = 0;
        for (; b < e; ++b) {
            const uint32_t digit = uint32_t(static_cast<std::make_unsigned_t<Ch>>(*b)) - uint32_t('0');
            if (digit > 9)
                return false;
            value = value * 10 + digit;
        }
        out = static_cast<int32_t>(value);
        return true;
    }

private:
    static int32_t VariantToIntInFull(std::string_view text);
};
