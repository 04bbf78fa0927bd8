#pragma once

// A measurement's validation code and the notes that go with it. Rows flagged alike carry the
// same notes: a large file has a few such texts over many thousands of rows, so each is made
// once and shared.

#include "import/AnalysisModel.h"

#include <QString>

#include <cstdint>
#include <map>
#include <utility>

class TMeasNotes {
public:
    // New notes go to `texts`, which must outlive the rows pointing at them.
    explicit TMeasNotes(TTextPool& texts)
        : FTexts(texts)
    {
    }
    TMeasNotes(const TMeasNotes&) = delete;
    TMeasNotes& operator=(const TMeasNotes&) = delete;

    // Writes a code to the row's DERIGS and keeps its notes: 0 clears them, any other code
    // appends its text (after ";" when there are notes already), cut to the width of PIEZIMES.
    void Set(TMeasRow& row, int32_t code);

private:
    TTextPool& FTexts;
    // The notes made so far, by the notes before and the code written; the last ones found.
    using Made = std::map<std::pair<const QString*, int32_t>, const QString*>;
    Made FMade;
    Made::const_iterator FLast = FMade.end();
};
