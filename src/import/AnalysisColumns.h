#pragma once

// Each analysis dataset described once: one table of its columns (field name, type, width,
// label, alignment and the row member the field holds). The loader creates its datasets from
// these tables, publishes the model into them and reads it back through them, always finding a
// field by its name, so the order of a table decides only the order of the fields.

#include "import/AnalysisModel.h"
#include "platform/data/DBTypes.h"

#include <QScopeGuard>
#include <QString>

#include <memory>
#include <span>
#include <vector>

class TClientDataSet;
class TField;
class Value;

template <class Row>
struct TAnalysisColumn {
    const char* Name;
    TFieldType Type;
    int Size;          // characters of a string field, else 0
    const char* Label; // UTF-8; nullptr keeps the field name
    bool LeftAligned;
    // Bulk-writes the member of each of `rows` into field `field` of the records from `first`
    // on (empty: left null).
    void (*Write)(TClientDataSet* ds, int field, int first, std::span<const Row> rows);
    // The member as a dataset value (empty: null).
    Value (*Get)(const Row& row);
    // Reads the current record's field into the member; a text of a pooled member is added to
    // `pool` (and left empty without one).
    void (*Read)(const TField* field, Row& row, TTextPool* pool);
};

namespace AnalysisColumns {
std::span<const TAnalysisColumn<THeaderRow>> Header();
std::span<const TAnalysisColumn<TVarRow>> Vars();
std::span<const TAnalysisColumn<TTreeRow>> Trees();
std::span<const TAnalysisColumn<TLogRow>> Logs();
std::span<const TAnalysisColumn<TMeasRow>> Meas();
std::span<const TAnalysisColumn<TKokuSkRow>> KokuSk();
std::span<const TAnalysisColumn<TDiamNovirzeRow>> DiamNovirzes();
std::span<const TAnalysisColumn<TCirsmaRow>> Cirsmas();

// A new open, empty dataset of the table's fields, described, ordered by `indexFieldNames`
// (none when empty) and keeping no change log.
template <class Row>
std::unique_ptr<TClientDataSet> Create(const QString& name, std::span<const TAnalysisColumn<Row>> columns,
                                       const QString& indexFieldNames);
// The fields of a closed dataset, in the table's order.
template <class Row>
void AddFields(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns);
// Labels and alignment of the created fields.
template <class Row>
void DescribeFields(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns);
// Appends `rows` in one bulk step, each value into the field of its column's name; the cursor
// ends on the first record.
template <class Row>
void Append(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, std::span<const Row> rows);
// Appends `rows` as Append does and frees them at once (also when a value fails), so that a
// published table is not held twice, as rows and as columns, while the next one is written.
template <class Row, class Table>
void AppendAndRelease(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, Table& rows)
{
    // Pages are not handed back to the system row by row: each one given back is faulted in
    // afresh by the next allocation, which costs more time than the little peak it saves.
    auto release = qScopeGuard([&rows] { Table().swap(rows); });
    Append<Row>(ds, columns, std::span<const Row>(rows));
}
// Writes `row` into the current record (Edit and Post), field by field.
template <class Row>
void Update(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, const Row& row);
// The records from the current one to the end, as rows; the texts of pooled members go to
// `pool` (without one they are left empty).
template <class Row, class Table = std::vector<Row>>
Table ReadToEnd(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, TTextPool* pool = nullptr);
} // namespace AnalysisColumns
