#pragma once

#include "platform/sheet/SheetCell.h"
#include "platform/sheet/SheetColumn.h"

#include <QString>
#include <functional>
#include <map>
#include <memory_resource>

class Workbook;

// One sheet of an in-memory workbook. Rows and columns are numbered from 1.
class Worksheet
{
public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

    explicit Worksheet(Workbook* book, const QString& name);
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    Workbook* Book() const { return FBook; }
    const QString& Name() const { return FName; }
    // Sheet names are unique in a workbook (letters compared without case); a clash gets a
    // number appended, keeping to the 31 characters a sheet name may have.
    void SetName(const QString& name);
    void Activate();

    // The cell, created empty when missing; throws ESheetError outside the sheet.
    SheetCell& Cell(int row, int col);
    const SheetCell* FindCell(int row, int col) const;
    void SetValue(int row, int col, const SheetValue& value) { Cell(row, col).value = value; }
    // Runs fn on every cell of the rectangle, creating them.
    void ForRange(int row1, int col1, int row2, int col2, const std::function<void(SheetCell&)>& fn);

    SheetColumn& Column(int col);
    const SheetColumn* FindColumn(int col) const;
    const std::map<int, SheetColumn>& Columns() const { return FColumns; }
    // Width in characters of a column as it stands (the default when never set).
    double ColumnWidth(int col) const;
    // Width in screen pixels of columns col1..col2, as a spreadsheet shows them at 96 dpi.
    int RangePixelWidth(int col1, int col2) const;
    // Sets the width of each column from col1 to col2 to fit the longest text in it.
    void AutoFitColumns(int col1, int col2);

    // First row and number of rows (first column, number of columns) holding cells;
    // a sheet without cells reports the single cell (1, 1).
    int UsedFirstRow() const;
    int UsedRowCount() const;
    int UsedFirstColumn() const;
    int UsedColumnCount() const;

    // A row's cells by column. Cells live in the sheet's own pool: an export makes hundreds of
    // thousands of them and never removes one, so they go all at once with the sheet.
    using Row = std::pmr::map<int, SheetCell>;
    const std::pmr::map<int, Row>& Rows() const { return FRows; }

    // The text a reader would see in the cell, roughly (used for fitting widths).
    static QString DisplayText(const SheetCell& cell);
    // The length of the longest line of DisplayText.
    static int DisplayChars(const SheetCell& cell);

    static constexpr double DefaultColumnWidth = 8.43;

private:
    static void CheckPosition(int row, int col);

    Workbook* FBook;
    QString FName;
    std::pmr::monotonic_buffer_resource FPool;
    std::pmr::map<int, Row> FRows{&FPool};
    std::map<int, SheetColumn> FColumns;
    int FMinCol = 0;
    int FMaxCol = 0;
};
