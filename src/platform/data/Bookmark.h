#pragma once

#include <QtGlobal>

// A stable mark of one record: it stays valid while that record exists, whatever happens to
// other records, and orders records by their creation.
struct TBookmark {
    qint64 Serial = -1;

    bool IsEmpty() const { return Serial < 0; }
    friend bool operator==(const TBookmark& a, const TBookmark& b) { return a.Serial == b.Serial; }
    friend bool operator!=(const TBookmark& a, const TBookmark& b) { return a.Serial != b.Serial; }
    friend bool operator<(const TBookmark& a, const TBookmark& b) { return a.Serial < b.Serial; }
};
