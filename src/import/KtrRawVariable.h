#pragma once

// One variable of a classic control file as the tokenizer cuts it, before anything is
// converted.

#include <QString>

#include <string>

struct KtrRawVariable {
    // Everything before the blank that ends the number, line feeds included (a number read
    // after "~" CR LF begins with LF); carriage returns are dropped.
    std::string Number;
    // The type, with blanks and control characters removed at both ends.
    std::string Type;
    // The value with every CR and LF turned into a blank and trimmed at both ends; empty when
    // the type ended at "~" or the file ended within the type.
    QString Value;
    // The same value as held in the tokenizer's pool of texts (null when empty): stays where it
    // is as long as the pool does.
    const QString* Pooled = nullptr;
    // The file ended while the type was read: only variables 991 to 993 survive that.
    bool CutInType = false;
};
