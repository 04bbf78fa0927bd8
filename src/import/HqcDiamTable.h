#pragma once

// One of the .hqc reader's two working tables of control diameters (the harvester's or the
// caliper's): every diameter of the file, with the tree and log it belongs to. A log's rows
// are found through a map from the tree and log numbers, so a file of any size is read in
// linear time.

#include <QString>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

struct THqcDiamRow {
    std::optional<int32_t> DIAM_POSITION;
    std::optional<int32_t> DIAM_VALUE;
    QString MERIJ_CAT; // the measurement category as written (trimmed)
    std::optional<int32_t> KOKS_NR;
    std::optional<int32_t> BALKIS_NR;
};

class THqcDiamTable {
public:
    void Append(THqcDiamRow row);
    void Clear();
    const std::vector<THqcDiamRow>& Rows() const { return FRows; }

    // The rows of one log whose category is exactly sCat, in the order of the table's index
    // (KOKS_NR;BALKIS_NR;DIAM_POSITION): ascending position, an empty position first, rows of
    // equal position in the order they were added.
    std::vector<const THqcDiamRow*> LogRows(int32_t koksNr, int32_t balkisNr, const QString& sCat) const;

private:
    static uint64_t Key(int32_t koksNr, int32_t balkisNr);

    std::vector<THqcDiamRow> FRows;
    // Each log's rows as runs [first, last) of FRows: a log's diameters are added together, so
    // one run is usual, and a log named twice in a file adds a second run.
    std::unordered_map<uint64_t, std::vector<std::pair<size_t, size_t>>> FByLog;
    std::vector<std::pair<size_t, size_t>>* FLastRuns = nullptr;
    uint64_t FLastKey = 0;
};
