#pragma once

// Splits the bytes of a classic control file (.ktr) into variables: a number, one blank, a
// type, a separator, a value and the end mark "~". Every byte is one character (Latin-1); no
// code page is applied. The tokenizer converts nothing: number and type come back as the raw
// text the file holds, so that the reader decides which variables are stored and converts only
// those.

#include "import/KtrRawVariable.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class KtrTokenizer {
public:
    // Values are kept in `pool` (one of its own when none is given); a value met again comes
    // back as the same text (unless very many others came between).
    KtrTokenizer(const char* data, std::size_t size, std::deque<QString>* pool = nullptr);

    // Reads the next variable. False at the end of the file, also when the file ends within a
    // number (that variable is dropped). A variable whose type the file cut off comes back
    // with CutInType set; one whose value the file cut off keeps what was read.
    bool Next(KtrRawVariable& out);

private:
    // The next byte with a carriage return dropped and the byte after it taken in its place;
    // -1 at the end of the file.
    int NextSkippingCR();
    static std::string_view View(const unsigned char* b, const unsigned char* e)
    {
        return std::string_view(reinterpret_cast<const char*>(b), std::size_t(e - b));
    }

    const unsigned char* FData;
    const unsigned char* FPos;
    const unsigned char* FEnd;
    // Number and type of the variable just read, when carriage returns had to be dropped.
    std::string FNumber;
    std::string FType;
    // Values met before, by their bytes in the file: a value repeated (codes, flags, the same
    // lists stem after stem) comes back as the same string, made once and held once.
    std::deque<QString> FOwnPool;
    std::deque<QString>* FPool;
    // An open-addressed table of those values: most variables of a file are looked up here,
    // and a general hash table costs several times the cutting of the value itself.
    // A place is 16 bytes, so that the table touches little memory: the value's bytes are found
    // by where they begin in the file, its length is that of its text.
    struct Seen {
        const QString* Text = nullptr; // null: a free place
        uint32_t Hash = 0;
        uint32_t Begin = 0; // from the start of the file
    };
    static constexpr std::size_t kMinSeen = 1024;
    static constexpr std::size_t kMaxSeen = 32768; // places, a power of two
    std::vector<Seen> FSeen;
    std::size_t FSeenCount = 0;
    std::size_t FSeed;
    // The pooled text of these bytes, made the first time they are met.
    const QString* Pooled(const unsigned char* bytes, std::size_t size);
    QString* NewText(const unsigned char* bytes, std::size_t size);
    void GrowSeen();
};
