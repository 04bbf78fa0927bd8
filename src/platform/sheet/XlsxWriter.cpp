#include "platform/sheet/XlsxWriter.h"

#include "platform/sheet/ESheetError.h"
#include "platform/sheet/SheetDates.h"
#include "platform/sheet/Workbook.h"

#include <QFile>
#include <QScopeGuard>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>
#include <vector>
#include <xlsxwriter.h>

namespace {

struct BookCloser
{
    void operator()(lxw_workbook* wb) const
    {
        if (wb)
            workbook_close(wb);
    }
};

void Check(lxw_error err, const QString& what)
{
    if (err != LXW_NO_ERROR)
        throw ESheetError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(lxw_strerror(err))));
}

// A cell's place, put into words only when the library refuses the cell.
struct CellPlace
{
    int row;
    int col;
};

void Check(lxw_error err, CellPlace at)
{
    if (err != LXW_NO_ERROR)
        Check(err, QStringLiteral("Cell (%1, %2)").arg(at.row).arg(at.col));
}

std::uint8_t Align(SheetHAlign a)
{
    switch (a) {
    case SheetHAlign::General: return LXW_ALIGN_NONE;
    case SheetHAlign::Left: return LXW_ALIGN_LEFT;
    case SheetHAlign::Center: return LXW_ALIGN_CENTER;
    case SheetHAlign::Right: return LXW_ALIGN_RIGHT;
    case SheetHAlign::CenterAcross: return LXW_ALIGN_CENTER_ACROSS;
    }
    return LXW_ALIGN_NONE;
}

class Formats
{
public:
    explicit Formats(lxw_workbook* wb) : FWb(wb) { }

    lxw_format* For(const SheetStyle& s)
    {
        for (size_t i = 0; i < FStyles.size(); ++i)
            if (FStyles[i] == s)
                return FFormats[i];
        lxw_format* f = workbook_add_format(FWb);
        if (!f)
            throw ESheetError(QStringLiteral("Cannot create a cell format"));
        const QByteArray name = s.font.name.toUtf8();
        format_set_font_name(f, name.constData());
        format_set_font_size(f, s.font.size);
        if (s.font.bold)
            format_set_bold(f);
        if (s.font.italic)
            format_set_italic(f);
        if (s.font.strikeOut)
            format_set_font_strikeout(f);
        if (s.fill != SheetStyle::NoFill) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, lxw_color_t(s.fill & 0xFFFFFF));
        }
        if (s.hAlign != SheetHAlign::General)
            format_set_align(f, Align(s.hAlign));
        if (s.borders & sbLeft)
            format_set_left(f, LXW_BORDER_THIN);
        if (s.borders & sbRight)
            format_set_right(f, LXW_BORDER_THIN);
        if (s.borders & sbTop)
            format_set_top(f, LXW_BORDER_THIN);
        if (s.borders & sbBottom)
            format_set_bottom(f, LXW_BORDER_THIN);
        const QByteArray num = s.numberFormat.toUtf8();
        if (!s.numberFormat.isEmpty() && s.numberFormat != QLatin1String("General"))
            format_set_num_format(f, num.constData());
        if (s.orientation != 0)
            format_set_rotation(f, std::int16_t(std::clamp(s.orientation, -90, 90)));
        FStyles.push_back(s);
        FFormats.push_back(f);
        return f;
    }

private:
    lxw_workbook* FWb;
    std::vector<SheetStyle> FStyles;
    std::vector<lxw_format*> FFormats;
};

} // namespace

void XlsxWriter::Save(const Workbook& book, const QString& fileName)
{
    // The library writes the whole file only when the book is closed; it goes to a sibling
    // name first, so a failure leaves neither a truncated file nor a damaged earlier one.
    const QString partName = fileName + QStringLiteral(".%1.part").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
    auto removePart = qScopeGuard([&] { QFile::remove(partName); });
    Write(book, partName, fileName);
    if (std::rename(QFile::encodeName(partName).constData(), QFile::encodeName(fileName).constData()) != 0)
        throw ESheetError(QStringLiteral("Cannot write \"%1\": %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
    removePart.dismiss();
}

void XlsxWriter::Write(const Workbook& book, const QString& partName, const QString& fileName)
{
    const QByteArray path = QFile::encodeName(partName);
    std::unique_ptr<lxw_workbook, BookCloser> wb(workbook_new(path.constData()));
    if (!wb)
        throw ESheetError(QStringLiteral("Cannot create \"%1\"").arg(fileName));
    Formats formats(wb.get());
    const SheetStyle plain;
    for (int i = 1; i <= book.SheetCount(); ++i) {
        const Worksheet& sheet = book.Sheet(i);
        const QByteArray name = sheet.Name().toUtf8();
        lxw_worksheet* ws = workbook_add_worksheet(wb.get(), name.constData());
        if (!ws)
            throw ESheetError(QStringLiteral("Invalid sheet name \"%1\"").arg(sheet.Name()));
        if (i == book.ActiveSheetIndex())
            worksheet_activate(ws);
        for (const auto& [col, column] : sheet.Columns()) {
            lxw_row_col_options options{};
            options.hidden = column.hidden ? 1 : 0;
            const double width = column.width >= 0 ? column.width : LXW_DEF_COL_WIDTH;
            Check(worksheet_set_column_opt(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width,
                                           nullptr, &options),
                  QStringLiteral("Column %1").arg(col));
        }
        // Cells of a column mostly share one style: the last one found per column is tried first.
        std::vector<std::pair<const SheetStyle*, lxw_format*>> lastStyle(size_t(sheet.UsedFirstColumn() + sheet.UsedColumnCount()));
        for (const auto& [row, cells] : sheet.Rows()) {
            for (const auto& [col, cell] : cells) {
                const lxw_row_t r = lxw_row_t(row - 1);
                const lxw_col_t c = lxw_col_t(col - 1);
                auto& last = lastStyle[size_t(col)];
                if (!last.first || !(*last.first == cell.style))
                    last = {&cell.style, cell.style == plain ? nullptr : formats.For(cell.style)};
                lxw_format* f = last.second;
                const SheetValue& v = cell.value;
                const CellPlace where{row, col};
                double serial = 0;
                switch (v.kind) {
                case SheetValue::Kind::Empty:
                    if (f)
                        Check(worksheet_write_blank(ws, r, c, f), where);
                    break;
                case SheetValue::Kind::Text: {
                    const QByteArray text = v.text.toUtf8();
                    Check(worksheet_write_string(ws, r, c, text.constData(), f), where);
                    break;
                }
                case SheetValue::Kind::Number:
                    Check(worksheet_write_number(ws, r, c, v.number, f), where);
                    break;
                case SheetValue::Kind::Date:
                    Check(worksheet_write_number(ws, r, c,
                                                 SheetDates::ToSerial(v.number, serial) ? serial : v.number, f),
                          where);
                    break;
                case SheetValue::Kind::Boolean:
                    Check(worksheet_write_boolean(ws, r, c, v.number != 0 ? 1 : 0, f), where);
                    break;
                case SheetValue::Kind::Formula: {
                    const QByteArray formula = v.text.toUtf8();
                    Check(worksheet_write_formula(ws, r, c, formula.constData(), f), where);
                    break;
                }
                }
                if (!cell.comment.isEmpty()) {
                    const QByteArray comment = cell.comment.toUtf8();
                    Check(worksheet_write_comment(ws, r, c, comment.constData()), where);
                }
            }
        }
    }
    const lxw_error err = workbook_close(wb.release());
    Check(err, QStringLiteral("Cannot write \"%1\"").arg(fileName));
}
