#pragma once

// One variable of a classic control file as the tokenizer cuts it, before anything is
// converted.

#include <QString>

#include <string_view>

struct KtrRawVariable {
    // Everything before the blank that ends the number, line feeds included (a number read
    // after "~" CR LF begins with LF); carriage returns are dropped. Number and type point into
    // the file's bytes (or into the tokenizer, when carriage returns had to be dropped): they
    // hold until the tokenizer reads the next variable.
    std::string_view Number;
    // The type, with blanks and control characters removed at both ends.
    std::string_view Type;
    // The value as held in the tokenizer's pool of texts, with every CR and LF turned into a
    // blank and trimmed at both ends; null when the value is empty (the type ended at "~" or the
    // file ended within the type). It stays where it is as long as the pool does.
    const QString* Pooled = nullptr;
    // The file ended while the type was read: only variables 991 to 993 survive that.
    bool CutInType = false;

    const QString& Value() const { return Pooled ? *Pooled : Empty(); }

private:
    static const QString& Empty()
    {
        static const QString empty;
        return empty;
    }
};
