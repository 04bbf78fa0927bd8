#include "platform/sheet/Worksheet.h"

#include "platform/sheet/ESheetError.h"
#include "platform/sheet/Workbook.h"

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <vector>
#include <cmath>

Worksheet::Worksheet(Workbook* book, const QString& name) : FBook(book), FName(name) { }

void Worksheet::SetName(const QString& name)
{
    FName = FBook ? FBook->UniqueName(name, this) : name.left(31);
}

void Worksheet::Activate()
{
    if (FBook)
        FBook->Activate(*this);
}

void Worksheet::CheckPosition(int row, int col)
{
    if (row < 1 || row > MaxRows || col < 1 || col > MaxColumns)
        throw ESheetError(QStringLiteral("Cell (%1, %2) lies outside the worksheet").arg(row).arg(col));
}

SheetCell& Worksheet::Cell(int row, int col)
{
    CheckPosition(row, col);
    if (FMinCol == 0 || col < FMinCol)
        FMinCol = col;
    FMaxCol = std::max(FMaxCol, col);
    // Rows and cells mostly come in order: appending at the end needs no search.
    auto r = !FRows.empty() && FRows.rbegin()->first < row ? FRows.emplace_hint(FRows.end(), std::piecewise_construct,
                                                                                   std::forward_as_tuple(row), std::forward_as_tuple())
                                                             : FRows.try_emplace(row).first;
    auto& cells = r->second;
    if (!cells.empty() && cells.rbegin()->first < col)
        return cells.emplace_hint(cells.end(), col, SheetCell())->second;
    return cells[col];
}

const SheetCell* Worksheet::FindCell(int row, int col) const
{
    auto r = FRows.find(row);
    if (r == FRows.end())
        return nullptr;
    auto c = r->second.find(col);
    return c == r->second.end() ? nullptr : &c->second;
}

void Worksheet::ForRange(int row1, int col1, int row2, int col2,
                         const std::function<void(SheetCell&)>& fn)
{
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            fn(Cell(r, c));
}

SheetColumn& Worksheet::Column(int col)
{
    CheckPosition(1, col);
    return FColumns[col];
}

const SheetColumn* Worksheet::FindColumn(int col) const
{
    auto it = FColumns.find(col);
    return it == FColumns.end() ? nullptr : &it->second;
}

double Worksheet::ColumnWidth(int col) const
{
    const SheetColumn* c = FindColumn(col);
    return c && c->width >= 0 ? c->width : DefaultColumnWidth;
}

int Worksheet::RangePixelWidth(int col1, int col2) const
{
    int total = 0;
    for (int c = col1; c <= col2; ++c) {
        const SheetColumn* column = FindColumn(c);
        if (column && column->hidden)
            continue;
        total += int(std::lround(ColumnWidth(c) * 7.0)) + 5;
    }
    return total;
}

QString Worksheet::DisplayText(const SheetCell& cell)
{
    const SheetValue& v = cell.value;
    switch (v.kind) {
    case SheetValue::Kind::Empty:
        return QString();
    case SheetValue::Kind::Text:
        return v.text;
    case SheetValue::Kind::Boolean:
        return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case SheetValue::Kind::Formula:
        return QString(10, QLatin1Char('0'));
    case SheetValue::Kind::Date: {
        // A date shows about as wide as its pattern.
        const QString& f = cell.style.numberFormat;
        return f.isEmpty() || f == QLatin1String("General") ? QString(10, QLatin1Char('0'))
                                                            : QString(f.size(), QLatin1Char('0'));
    }
    case SheetValue::Kind::Number: {
        const QString& f = cell.style.numberFormat;
        if (f.contains(QLatin1Char(','))) {
            const int dot = f.indexOf(QLatin1Char('.'));
            int decimals = 0;
            if (dot >= 0)
                while (dot + 1 + decimals < f.size() && f.at(dot + 1 + decimals) == QLatin1Char('0'))
                    ++decimals;
            QString s = QString::number(v.number, 'f', decimals);
            const int digits = int(s.indexOf(QLatin1Char('.')) >= 0 ? s.indexOf(QLatin1Char('.')) : s.size());
            return s + QString(std::max(0, (digits - 1) / 3), QLatin1Char(','));
        }
        return QString::number(v.number, 'g', 15);
    }
    }
    return QString();
}

int Worksheet::DisplayChars(const SheetCell& cell)
{
    const SheetValue& v = cell.value;
    if (v.kind == SheetValue::Kind::Text && !v.text.contains(QLatin1Char('\n')))
        return int(v.text.size());
    if (v.kind != SheetValue::Kind::Text && v.kind != SheetValue::Kind::Number)
        return int(DisplayText(cell).size()); // one line, and cheap to build
    if (v.kind == SheetValue::Kind::Number && !cell.style.numberFormat.contains(QLatin1Char(','))) {
        // As wide as the number's text, counted without building it.
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, v.number, std::chars_format::general, 15);
        return res.ec == std::errc() ? int(res.ptr - buf) : int(DisplayText(cell).size());
    }
    int chars = 0;
    for (const QString& line : DisplayText(cell).split(QLatin1Char('\n')))
        chars = std::max(chars, int(line.size()));
    return chars;
}

void Worksheet::AutoFitColumns(int col1, int col2)
{
    if (col2 < col1)
        return;
    // One pass over the rows for all columns: the longest line of the text decides; bold and
    // larger type need more room.
    std::vector<double> widest(size_t(col2 - col1 + 1), -1.0);
    for (const auto& [row, cells] : FRows) {
        for (auto it = cells.lower_bound(col1); it != cells.end() && it->first <= col2; ++it) {
            const SheetCell& cell = it->second;
            double factor = cell.style.font.size / 10.0;
            if (cell.style.font.bold)
                factor *= 1.1;
            double& w = widest[size_t(it->first - col1)];
            w = std::max(w, DisplayChars(cell) * factor);
        }
    }
    for (int c = col1; c <= col2; ++c) {
        const double w = widest[size_t(c - col1)];
        if (w >= 0)
            Column(c).width = std::clamp(w + 1.5, 2.0, 255.0);
    }
}

int Worksheet::UsedFirstRow() const
{
    return FRows.empty() ? 1 : FRows.begin()->first;
}

int Worksheet::UsedRowCount() const
{
    return FRows.empty() ? 1 : FRows.rbegin()->first - FRows.begin()->first + 1;
}

int Worksheet::UsedFirstColumn() const
{
    return FRows.empty() ? 1 : FMinCol;
}

int Worksheet::UsedColumnCount() const
{
    return FRows.empty() ? 1 : FMaxCol - FMinCol + 1;
}
