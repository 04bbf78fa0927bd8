#pragma once

// Splits the bytes of a classic control file (.ktr) into variables: a number, one blank, a
// type, a separator, a value and the end mark "~". Every byte is one character (Latin-1); no
// code page is applied. The tokenizer converts nothing: number and type come back as the raw
// text the file holds, so that the reader decides which variables are stored and converts only
// those.

#include <QString>

#include <cstddef>
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
    // The file ended while the type was read: only variables 991 to 993 survive that.
    bool CutInType = false;
};

class KtrTokenizer {
public:
    KtrTokenizer(const char* data, std::size_t size);

    // Reads the next variable. False at the end of the file, also when the file ends within a
    // number (that variable is dropped). A variable whose type the file cut off comes back
    // with CutInType set; one whose value the file cut off keeps what was read.
    bool Next(KtrRawVariable& out);

private:
    // The next byte with a carriage return dropped and the byte after it taken in its place;
    // -1 at the end of the file.
    int NextSkippingCR();

    const unsigned char* m_pos;
    const unsigned char* m_end;
};
