#pragma once

// Splits the bytes of a classic control file (.ktr) into variables: a number, one blank, a
// type, a separator, a value and the end mark "~". Every byte is one character (Latin-1); no
// code page is applied. The tokenizer converts nothing: number and type come back as the raw
// text the file holds, so that the reader decides which variables are stored and converts only
// those.

#include "import/KtrRawVariable.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <cstddef>
#include <deque>

class KtrTokenizer {
public:
    // Values are kept in `pool` (one of its own when none is given), each distinct one once.
    KtrTokenizer(const char* data, std::size_t size, std::deque<QString>* pool = nullptr);

    // Reads the next variable. False at the end of the file, also when the file ends within a
    // number (that variable is dropped). A variable whose type the file cut off comes back
    // with CutInType set; one whose value the file cut off keeps what was read.
    bool Next(KtrRawVariable& out);

private:
    // The next byte with a carriage return dropped and the byte after it taken in its place;
    // -1 at the end of the file.
    int NextSkippingCR();

    const unsigned char* FPos;
    const unsigned char* FEnd;
    // Values met before, by their bytes in the file: a value repeated (codes, flags, the same
    // lists stem after stem) comes back as the same string, made once and held once.
    std::deque<QString> FOwnPool;
    std::deque<QString>* FPool;
    QHash<QByteArrayView, const QString*> FValues;
};
