#pragma once

// One of the .hqc reader's two working tables of control diameters (the harvester's or the
// caliper's): every diameter of the file, with the tree and log it belongs to, in the order the
// file gives them.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // In the header: a file holds tens of thousands of diameters, and a call that takes the row
    // by value moves and destroys it once more for each of them.
    void Append(THqcDiamRow&& row) { FRows.push_back(std::move(row)); }
    void Reserve(size_t count) { FRows.reserve(count); }
    void Clear();
    const std::vector<THqcDiamRow>& Rows() const { return FRows; }
    size_t Count() const { return FRows.size(); }

    // The rows from index first up to (not including) last whose category is exactly sCat, in
    // the order of the table's index (KOKS_NR;BALKIS_NR;DIAM_POSITION) within one log: ascending
    // position, an empty position first, rows of equal position in the order they were added.
    // They replace what `rows` held: a reader that asks for every log reuses one vector.
    void SortedRows(size_t first, size_t last, const QString& sCat, std::vector<const THqcDiamRow*>& rows) const;

    // The order of SortedRows: an empty position before every number.
    static bool PositionLess(const THqcDiamRow* a, const THqcDiamRow* b);

private:
    std::vector<THqcDiamRow> FRows;
};
