#include "PythonReader.h"

#include "platform/sheet/BiffWriter.h"
#include "platform/sheet/CompoundFileWriter.h"
#include "platform/sheet/ESheetError.h"
#include "platform/sheet/Workbook.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Two sheets with text, numbers, a date, formats, a hidden column, a formula and strings
// long and many enough to run over several records.
void Fill(Workbook& book)
{
    Worksheet& s = book.AddSheet();
    s.SetName(QStringLiteral("Koki"));
    SheetCell& h = s.Cell(1, 1);
    h.value = SheetValue::Text(QStringLiteral("Kociņš ģērbjas"));
    h.style.font.bold = true;
    h.style.borders = sbAll;
    h.style.hAlign = SheetHAlign::Right;
    h.comment = QStringLiteral("Piezīme");
    s.SetValue(1, 2, SheetValue::Text(QStringLiteral("Apjoms")));
    s.SetValue(2, 1, SheetValue::Number(12.5));
    SheetCell& d = s.Cell(2, 2);
    d.value = SheetValue::Date(45000.0); // 2023-03-15
    d.style.numberFormat = QStringLiteral("dd.mm.yyyy");
    d.style.fill = 0xC0C0C0;
    s.SetValue(3, 1, SheetValue::Formula(QStringLiteral("=SUM(A2:A2)")));
    s.Column(2).hidden = true;
    s.Column(1).width = 20;
    s.SetValue(4, 1, SheetValue::Text(QString(9000, QChar(0x0101))));
    s.Cell(5, 3).comment = QStringLiteral("Otra\npiezīme");
    for (int r = 0; r < 2000; ++r)
        s.SetValue(10 + r, 3, SheetValue::Text(QStringLiteral("teksts %1").arg(r)));
    Worksheet& t = book.AddSheet();
    t.SetName(QStringLiteral("koki")); // clashes without case
    t.SetValue(1, 1, SheetValue::Text(QString()));
}

const char* kReadXls = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
print(b.nsheets, b.sheet_names())
s = b.sheet_by_index(0)
print(repr(s.cell_value(0, 0)), s.cell_value(1, 0), xlrd.xldate_as_tuple(s.cell_value(1, 1), 0)[:3])
f = b.font_list[b.xf_list[s.cell_xf_index(0, 0)].font_index]
print('bold', f.bold, 'hidden', s.colinfo_map[1].hidden, 'width', s.colinfo_map[0].width)
x = b.xf_list[s.cell_xf_index(0, 0)]
print('border', x.border.left_line_style, x.border.bottom_line_style, 'align', x.alignment.hor_align)
print('fmt', b.format_map[b.xf_list[s.cell_xf_index(1, 1)].format_key].format_str)
print(len(s.cell_value(3, 0)), s.cell_value(3, 0) == '\u0101' * 9000, s.cell_value(2008, 2))
print('formula', s.cell_type(2, 0))
print('notes', sorted((k, v.text) for k, v in s.cell_note_map.items()))
)";

const char* kReadXlsx = R"(
import sys, openpyxl
b = openpyxl.load_workbook(sys.argv[1])
print(len(b.sheetnames), b.sheetnames)
s = b.worksheets[0]
print(repr(s.cell(1, 1).value), s.cell(2, 1).value, s.cell(2, 2).value.date())
print('bold', s.cell(1, 1).font.b, 'hidden', s.column_dimensions['B'].hidden, 'comment', s.cell(1, 1).comment.text)
print('border', s.cell(1, 1).border.left.style, 'align', s.cell(1, 1).alignment.horizontal)
print('fmt', s.cell(2, 2).number_format, s.cell(3, 1).value)
)";

} // namespace

TEST(WorkbookWrite, BinaryWorkbookReadsBack)
{
    Workbook book;
    Fill(book);
    EXPECT_EQ(book.Sheet(2).Name(), QStringLiteral("koki(2)"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.xls"));
    book.SaveAs(file, Workbook::FormatXls);
    bool ok = false;
    const QString out = RunPython(QString::fromUtf8(kReadXls), {file}, {QStringLiteral("xlrd")}, ok);
    if (!ok)
        GTEST_SKIP() << "python3 with xlrd is not available";
    const QStringList lines = out.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 7) << out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("2 ['Koki', 'koki(2)']"));
    EXPECT_EQ(lines[1], QStringLiteral("'Kociņš ģērbjas' 12.5 (2023, 3, 15)"));
    EXPECT_EQ(lines[2], QStringLiteral("bold 1 hidden 1 width 5120"));
    EXPECT_EQ(lines[3], QStringLiteral("border 1 1 align 3"));
    EXPECT_EQ(lines[4], QStringLiteral("fmt dd.mm.yyyy"));
    EXPECT_EQ(lines[5], QStringLiteral("9000 True teksts 1999"));
    EXPECT_EQ(lines[6], QStringLiteral("formula 2"));
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[7], QStringLiteral("notes [((0, 0), 'Piezīme'), ((4, 2), 'Otra\\npiezīme')]"));
}

TEST(WorkbookWrite, OfficeOpenXmlWorkbookReadsBack)
{
    Workbook book;
    Fill(book);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.xlsx"));
    book.SaveAs(file, Workbook::FormatXlsx);
    bool ok = false;
    const QString out = RunPython(QString::fromUtf8(kReadXlsx), {file}, {QStringLiteral("openpyxl")}, ok);
    if (!ok)
        GTEST_SKIP() << "python3 with openpyxl is not available";
    const QStringList lines = out.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5) << out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("2 ['Koki', 'koki(2)']"));
    EXPECT_EQ(lines[1], QStringLiteral("'Kociņš ģērbjas' 12.5 2023-03-15"));
    EXPECT_EQ(lines[2], QStringLiteral("bold True hidden True comment Piezīme"));
    EXPECT_EQ(lines[3], QStringLiteral("border thin align right"));
    EXPECT_EQ(lines[4], QStringLiteral("fmt dd.mm.yyyy =SUM(A2:A2)"));
}

TEST(WorkbookWrite, CompoundFileBeyondHeaderFatListReadsBack)
{
    // More than 109 FAT sectors (7 MB) need the extra sector list.
    QByteArray data(8 * 1024 * 1024 + 77, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 31 + (i >> 9));
    const QByteArray file = CompoundFileWriter::Build(QStringLiteral("Workbook"), data);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("big.cfb"));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    bool ok = false;
    const QString out = RunPython(QStringLiteral("import sys, olefile, hashlib\n"
                                                 "o = olefile.OleFileIO(sys.argv[1])\n"
                                                 "d = o.openstream('Workbook').read()\n"
                                                 "print(len(d), hashlib.md5(d).hexdigest())\n"),
                                  {name}, {QStringLiteral("olefile")}, ok);
    if (!ok)
        GTEST_SKIP() << "python3 with olefile is not available";
    EXPECT_EQ(out.trimmed(), QStringLiteral("%1 %2").arg(data.size()).arg(
                                 QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex())));
}

TEST(WorkbookWrite, LimitsAndBadInputRaise)
{
    Workbook book;
    EXPECT_THROW(book.Sheet(1), ESheetError);
    Worksheet& s = book.AddSheet();
    EXPECT_THROW(s.Cell(0, 1), ESheetError);
    EXPECT_THROW(s.Cell(1, Worksheet::MaxColumns + 1), ESheetError);
    EXPECT_EQ(s.UsedFirstRow(), 1);
    EXPECT_EQ(s.UsedRowCount(), 1);
    s.SetValue(BiffWriter::MaxRows + 1, 1, SheetValue::Number(1));
    QTemporaryDir dir;
    EXPECT_THROW(book.SaveAs(dir.filePath(QStringLiteral("a.xls")), Workbook::FormatXls), ESheetError);
    EXPECT_THROW(book.SaveAs(dir.filePath(QStringLiteral("a.csv")), 5), ESheetError);
    Workbook longText;
    longText.AddSheet().SetValue(1, 1, SheetValue::Text(QString(32768, QLatin1Char('x'))));
    EXPECT_THROW(longText.SaveAs(dir.filePath(QStringLiteral("b.xls")), Workbook::FormatXls), ESheetError);
    EXPECT_THROW(longText.SaveAs(dir.filePath(QStringLiteral("b.xlsx")), Workbook::FormatXlsx), ESheetError);
    EXPECT_THROW(book.SaveAs(dir.filePath(QStringLiteral("no/such/dir/a.xlsx")), Workbook::FormatXlsx), ESheetError);
    EXPECT_THROW(book.SaveAs(dir.filePath(QStringLiteral("no/such/dir/a.xls")), Workbook::FormatXlsx), ESheetError);
}
