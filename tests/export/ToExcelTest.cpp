#include "ExportTestUtil.h"
#include "FakeShell.h"
#include "PythonReader.h"

#include "base/KpDaTi.h"
#include "base/TempDirectory.h"
#include "export/EExcel.h"
#include "export/ExportTempFiles.h"
#include "export/TToExcel.h"
#include "platform/data/StringField.h"
#include "platform/rtl/EConvertError.h"
#include "platform/sheet/ESheetError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

void AddColumn(TToExcel& x, TDataSet* ds, const QString& field, int width = -1, const QString& label = QString())
{
    TxlColumn& c = x.Columns().Add();
    c.SetDataSet(ds);
    c.SetDataField(field);
    if (width >= 0)
        c.SetDisplayWidth(width);
    if (!label.isNull())
        c.SetDisplayLabel(label);
}

// The export the grid runs: new workbook, not shown while written, then shown.
void RunGridExport(TToExcel& x)
{
    x.SetVisible(false);
    x.Execute(false, true);
    x.SetVisible(true);
}

const char* kReadXls = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
print(b.nsheets, s.nrows, s.ncols)
def xf(r, c): return b.xf_list[s.cell_xf_index(r, c)]
h = xf(0, 2)
print('head', s.cell_value(0, 0), s.cell_value(0, 2), b.font_list[h.font_index].bold,
      h.border.left_line_style, h.border.right_line_style, h.border.top_line_style, h.border.bottom_line_style,
      h.alignment.hor_align)
d = xf(5, 1)
print('data', s.cell_value(5, 0), s.cell_value(5, 1), s.cell_value(5, 2), b.font_list[d.font_index].bold,
      d.border.left_line_style, d.border.right_line_style, d.border.bottom_line_style)
print('last', xf(40, 0).border.bottom_line_style, xf(39, 0).border.bottom_line_style)
print('widths', s.colinfo_map[1].width > s.colinfo_map[0].width)
)";

const char* kReadXlsx = R"(
import sys, openpyxl
b = openpyxl.load_workbook(sys.argv[1])
s = b.worksheets[0]
print(len(b.sheetnames), s.max_row, s.max_column)
h = s.cell(1, 3)
print('head', s.cell(1, 1).value, h.value, h.font.b, h.border.left.style, h.border.top.style, h.alignment.horizontal)
d = s.cell(6, 2)
print('data', s.cell(6, 1).value, d.value, s.cell(6, 3).value, d.border.left.style, d.border.right.style)
print('last', s.cell(41, 1).border.bottom.style, s.cell(6, 4).value.date(), s.cell(6, 4).number_format)
)";

} // namespace

TEST(ToExcel, GridExportOfFortyRecordsToBinaryWorkbook)
{
    ShellScope shell;
    ProgressCount progress;
    auto ds = MakeTrees(40);
    TToExcel x;
    EXPECT_EQ(x.XLSFormat(), 2);
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"));
    AddColumn(x, ds.get(), QStringLiteral("SUGA"));
    AddColumn(x, ds.get(), QStringLiteral("APJOMS"));
    x.Columns().Items(2).SetLabelAlignment(TAlignment::taRightJustify);
    RunGridExport(x);
    EXPECT_FALSE(x.Visible());

    const QFileInfo file(x.FileName());
    EXPECT_TRUE(file.exists());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.xls$"),
                                   QRegularExpression::CaseInsensitiveOption)
                    .match(file.fileName())
                    .hasMatch())
        << file.fileName().toStdString();
    EXPECT_EQ(QDir(file.absolutePath()), QDir(GetTempDirectory()));
    EXPECT_TRUE(ExportTempFiles::Files().contains(x.FileName()));
    EXPECT_EQ(shell.shell->opened, QStringList{x.FileName()});
    EXPECT_EQ(progress.starts, 1);
    EXPECT_EQ(progress.announced, 42);
    EXPECT_EQ(progress.steps, 41);
    EXPECT_EQ(progress.ends, 1);

    bool ok = false;
    const QString out = RunPython(QString::fromUtf8(kReadXls), {x.FileName()}, {QStringLiteral("xlrd")}, ok);
    ASSERT_TRUE(ok) << "python3 with xlrd is needed (scripts/setup installs it)";
    const QStringList lines = out.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5) << out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("1 41 3"));
    EXPECT_EQ(lines[1], QStringLiteral("head Koks Apjoms, dm³ 1 1 1 1 1 3"));
    EXPECT_EQ(lines[2], QStringLiteral("data 5.0 Priede 5.5 0 1 1 0"));
    EXPECT_EQ(lines[3], QStringLiteral("last 1 0"));
    EXPECT_EQ(lines[4], QStringLiteral("widths True"));

    // Opening again without a new workbook opens the same file without saving.
    x.SetVisible(true);
    EXPECT_EQ(shell.shell->opened.size(), 2);
    EXPECT_EQ(shell.shell->opened.last(), x.FileName());
}

TEST(ToExcel, OfficeOpenXmlWorkbook)
{
    FormatScope format;
    ShellScope shell;
    auto ds = MakeTrees(40);
    TToExcel x;
    x.SetXLSFormat(9);
    x.SetDataset(ds.get());
    for (const char* f : {"KOKS_NR", "SUGA", "APJOMS", "DATUMS"})
        AddColumn(x, ds.get(), QString::fromLatin1(f));
    RunGridExport(x);
    EXPECT_TRUE(x.FileName().endsWith(QLatin1String(".xlsx")));
    bool ok = false;
    const QString out = RunPython(QString::fromUtf8(kReadXlsx), {x.FileName()}, {QStringLiteral("openpyxl")}, ok);
    ASSERT_TRUE(ok) << "python3 with openpyxl is needed (scripts/setup installs it)";
    const QStringList lines = out.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4) << out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("1 41 4"));
    EXPECT_EQ(lines[1], QStringLiteral("head Koks Apjoms, dm³ True thin thin left"));
    EXPECT_EQ(lines[2], QStringLiteral("data 5 Priede 5.5 thin thin"));
    EXPECT_EQ(lines[3], QStringLiteral("last thin 2023-05-06 dd.mm.yyyy"));
}

TEST(ToExcel, FileNamesAndFormats)
{
    const struct { int format; const char* ext; quint32 limit; } cases[] = {
        {1, "xls", 65535}, {2, "xls", 65535}, {3, "html", 4294967295u}, {5, "csv", 4294967295u},
        {8, "txt", 4294967295u}, {9, "xlsx", 1048575}, {12, "", 4294967295u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TToExcel::Format2Ext(c.format), QString::fromLatin1(c.ext)) << c.format;
        EXPECT_EQ(TToExcel::MaxRowsPerSheet(c.format), c.limit) << c.format;
    }
    // A format the workbook cannot be saved in is an error, not a missing file opened later.
    ShellScope shell;
    TToExcel x;
    x.SetXLSFormat(12);
    x.WorkBook().AddSheet();
    EXPECT_THROW(x.OpenExcel(), ESheetError);
    EXPECT_TRUE(x.FileName().isEmpty());
    EXPECT_TRUE(ExportTempFiles::Files().last().endsWith(QLatin1Char('.')));
    EXPECT_TRUE(shell.shell->opened.isEmpty());
}

TEST(ToExcel, RowsContinueOnNewSheetAtTheRowLimit)
{
    TempFolderScope temp;
    auto ds = MakeTrees(70000);
    TToExcel x;
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"));
    x.Execute(false, true);
    ASSERT_EQ(x.WorkBook().SheetCount(), 2);
    const QString xls = temp.dir.filePath(QStringLiteral("rows.xls"));
    x.Save(xls);

    // With an aggregate the data stop one row earlier and the total takes the last row.
    TToExcel y;
    y.SetDataset(ds.get());
    AddColumn(y, ds.get(), QStringLiteral("APJOMS"));
    y.Columns().Items(0).SetAggregate(TxlAggregate::xlaSum);
    y.Execute(false, true);
    EXPECT_EQ(y.WorkBook().Sheet(1).FindCell(65534, 1)->value.text, QStringLiteral("=SUM(A2:A65533)"));
    const QString total = temp.dir.filePath(QStringLiteral("total.xls"));
    y.Save(total);

    // What a spreadsheet program finds in the saved files.
    bool ok = false;
    const QString out = RunPython(QStringLiteral(R"(
import sys, xlrd, openpyxl
b = xlrd.open_workbook(sys.argv[1])
s1, s2 = b.sheet_by_index(0), b.sheet_by_index(1)
print(b.nsheets, s1.nrows, s1.cell_value(0, 0), int(s1.cell_value(65533, 0)))
print(s2.nrows, s2.cell_value(0, 0), int(s2.cell_value(1, 0)), int(s2.cell_value(s2.nrows - 1, 0)))
t = xlrd.open_workbook(sys.argv[2], formatting_info=True)
w = t.sheet_by_index(0)
bold = lambda r: t.font_list[t.xf_list[w.cell_xf_index(r, 0)].font_index].bold
print(t.nsheets, w.nrows, w.cell_type(65533, 0) == xlrd.XL_CELL_NUMBER, w.cell_value(65532, 0), bold(65532), bold(65531))
)"),
                                  {xls, total}, {QStringLiteral("xlrd")}, ok);
    ASSERT_TRUE(ok) << "python3 with xlrd is needed (scripts/setup installs it)";
    const QStringList lines = out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("2 65534 Koks 65533"));
    EXPECT_EQ(lines[1], QStringLiteral("4468 Koks 65534 70000"));
    EXPECT_EQ(lines[2], QStringLiteral("2 65534 True 65532.5 1 0"));
}

// A file written in full but not opened (no program for its type on this machine) is no
// missing file: the message says where it is.
TEST(ToExcel, AWorkbookNoProgramOpensIsReportedWithItsFullPath)
{
    ShellScope shell;
    shell.shell->openResult = false;
    auto ds = MakeTrees(3);
    for (int format : {Workbook::FormatXls, Workbook::FormatXlsx}) {
        SCOPED_TRACE(format);
        shell.shell->errors.clear();
        TToExcel x;
        x.SetXLSFormat(format);
        x.SetDataset(ds.get());
        RunGridExport(x);
        ASSERT_TRUE(QFileInfo::exists(x.FileName()));
        ASSERT_EQ(shell.shell->errors.size(), 1);
        const QString& text = shell.shell->errors[0];
        EXPECT_TRUE(text.contains(QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(QFileInfo(x.FileName()).absoluteFilePath()))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("ir izveidots, bet to neizdevās atvērt"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("nav atrasts"))) << text.toStdString();
    }
}

TEST(ToExcel, EmptyDatasetAndHiddenColumns)
{
    auto ds = MakeTrees(0);
    TToExcel x;
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"), 0);
    AddColumn(x, ds.get(), QStringLiteral("SUGA"));
    x.SetTitle(QStringLiteral("Koki"));
    x.Execute(false, true);
    const Worksheet& s = x.WorkBook().Sheet(1);
    EXPECT_EQ(x.WorkBook().SheetCount(), 1);
    // The title begins in the first visible column; the header row's bottom edge is bordered.
    EXPECT_EQ(s.FindCell(1, 2)->value.text, QStringLiteral("Koki"));
    EXPECT_EQ(s.FindCell(1, 1), nullptr);
    EXPECT_EQ(s.FindCell(2, 1)->value.text, QStringLiteral("Koks"));
    EXPECT_TRUE(s.FindCell(2, 2)->style.borders & sbBottom);
    EXPECT_TRUE(s.FindColumn(1)->hidden);

    auto full = MakeTrees(3);
    TToExcel y;
    y.SetDataset(full.get());
    AddColumn(y, full.get(), QStringLiteral("KOKS_NR"), 0);
    AddColumn(y, full.get(), QStringLiteral("SUGA"), 12);
    y.Execute(false, true);
    EXPECT_EQ(y.WorkBook().Sheet(1).FindCell(4, 1)->value.number, 3); // hidden, still written

    TToExcel z;
    z.SetDataset(full.get());
    AddColumn(z, full.get(), QStringLiteral("KOKS_NR"), 0);
    try {
        z.Execute(false, true);
        FAIL();
    } catch (const EExcel& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Nav redzamu kolonnu!"));
    }
}

TEST(ToExcel, CellValuesAndFormats)
{
    FormatScope format;
    TClientDataSet ds;
    ds.FieldDefs().Add(QStringLiteral("D"), TFieldType::ftDate);
    ds.FieldDefs().Add(QStringLiteral("N"), TFieldType::ftString, 10);
    ds.FieldDefs().Add(QStringLiteral("C"), TFieldType::ftCurrency);
    ds.FieldDefs().Add(QStringLiteral("I"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("T"), TFieldType::ftDateTime);
    ds.FieldDefs().Add(QStringLiteral("P"), TFieldType::ftString, 10);
    ds.CreateDataSet();
    static_cast<TStringField*>(ds.FieldByName(QStringLiteral("N")))->SetFieldContents(TStringFieldContents::sfcNumber);
    static_cast<TStringField*>(ds.FieldByName(QStringLiteral("P")))->SetFieldContents(TStringFieldContents::sfcPostingDate);
    ds.FieldByName(QStringLiteral("D"))->SetDisplayFormat(QStringLiteral("dd.mm.yyyy"));
    ds.FieldByName(QStringLiteral("I"))->OnGetText = [](TField* f, QString& text, bool) {
        text = f->AsInteger() == 1 ? QStringLiteral("derīgs") : f->AsString();
    };
    const struct { DateTime d; const char* n; int i; const char* p; } rows[] = {
        {KpDaTi::MinDate, "12.5", 1, "2023050100"},
        {KpDaTi::MaxDate, "12,5", 2, "2023050101"},
        {DateTime::EncodeDate(2023, 5, 6), "", 3, ""},
    };
    for (const auto& r : rows) {
        ds.Append();
        ds.FieldByName(QStringLiteral("D"))->SetAsDateTime(r.d);
        ds.FieldByName(QStringLiteral("N"))->SetAsString(QString::fromLatin1(r.n));
        ds.FieldByName(QStringLiteral("C"))->SetAsFloat(2.25);
        ds.FieldByName(QStringLiteral("I"))->SetAsInteger(r.i);
        ds.FieldByName(QStringLiteral("P"))->SetAsString(QString::fromLatin1(r.p));
        ds.Post();
    }
    TToExcel x;
    x.SetDataset(&ds);
    x.Execute(false, true); // no columns: every visible field
    const Worksheet& s = x.WorkBook().Sheet(1);
    ASSERT_EQ(x.Columns().Count(), 6);
    auto cell = [&](int r, int c) { return *s.FindCell(r, c); };
    EXPECT_TRUE(cell(2, 1).value.IsEmpty());
    EXPECT_TRUE(cell(3, 1).value.IsEmpty());
    EXPECT_EQ(cell(4, 1).value.kind, SheetValue::Kind::Date);
    EXPECT_EQ(cell(4, 1).value.number, DateTime::EncodeDate(2023, 5, 6).Days());
    EXPECT_EQ(cell(4, 1).style.numberFormat, KelpUtils::DateFormatToSheetFormat(QStringLiteral("dd.mm.yyyy")));
    EXPECT_EQ(cell(2, 2).value.kind, SheetValue::Kind::Number);
    EXPECT_EQ(cell(2, 2).value.number, 12.5);
    EXPECT_EQ(cell(2, 2).style.numberFormat, QStringLiteral("#,##0.00"));
    EXPECT_EQ(cell(3, 2).value.kind, SheetValue::Kind::Text);
    EXPECT_EQ(cell(3, 2).value.text, QStringLiteral("12,5"));
    EXPECT_EQ(cell(2, 3).style.numberFormat, QStringLiteral("#,##0.00"));
    EXPECT_EQ(cell(2, 4).value.text, QStringLiteral("derīgs"));
    EXPECT_EQ(cell(2, 4).style.numberFormat, QStringLiteral("@"));
    EXPECT_EQ(cell(3, 4).style.numberFormat, QStringLiteral("General"));
    EXPECT_TRUE(cell(2, 5).value.IsEmpty());
    EXPECT_EQ(cell(2, 6).value.kind, SheetValue::Kind::Date);
    EXPECT_EQ(cell(2, 6).value.number, DateTime::EncodeDate(2023, 5, 1).Days());
    EXPECT_EQ(cell(3, 6).value.text, QStringLiteral("2023050101"));
    EXPECT_EQ(cell(3, 6).style.numberFormat, QStringLiteral("@"));
    EXPECT_FALSE(cell(2, 1).style.font.bold);
}

TEST(ToExcel, TitleSheetsAndLegend)
{
    auto ds = MakeTrees(70000);
    TToExcel x;
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"), 40);
    AddColumn(x, ds.get(), QStringLiteral("SUGA"), 40);
    x.SetTitle(QStringLiteral("Koki"));
    x.Subtitles() << QString(200, QLatin1Char('W'));
    x.SetWriteDictionary(true);
    x.Legend() << QStringLiteral("\\bTotal") << QStringLiteral("plain");
    x.Columns().Items(1).CommentLegend() << QStringLiteral("Sugas kods");
    x.Execute(false, true);
    Workbook& book = x.WorkBook();
    ASSERT_EQ(book.SheetCount(), 3);
    EXPECT_EQ(book.Sheet(1).Name(), QStringLiteral("Koki1"));
    EXPECT_EQ(book.Sheet(2).Name(), QStringLiteral("Koki2"));
    const SheetCell& title = *book.Sheet(1).FindCell(1, 1);
    EXPECT_TRUE(title.style.font.bold);
    EXPECT_EQ(title.style.hAlign, SheetHAlign::CenterAcross);
    EXPECT_EQ(book.Sheet(1).FindCell(1, 2)->style.hAlign, SheetHAlign::CenterAcross);
    EXPECT_EQ(book.Sheet(1).FindCell(2, 1)->style.hAlign, SheetHAlign::Left); // wider than the columns
    EXPECT_EQ(book.Sheet(1).FindCell(3, 1)->value.text, QStringLiteral("Koks"));
    // Data rows stop at the limit whatever the header takes.
    EXPECT_EQ(book.Sheet(1).UsedRowCount(), 65534);
    const Worksheet& legend = book.Sheet(3);
    EXPECT_EQ(legend.Name(), QStringLiteral("Leģenda_ Koki"));
    EXPECT_EQ(legend.FindCell(1, 1)->value.text, QStringLiteral("Total"));
    EXPECT_TRUE(legend.FindCell(1, 1)->style.font.bold);
    EXPECT_EQ(legend.FindCell(2, 1)->value.text, QStringLiteral("plain"));
    EXPECT_FALSE(legend.FindCell(2, 1)->style.font.bold);
    EXPECT_EQ(legend.FindCell(4, 1)->value.text, QStringLiteral("Suga"));
    EXPECT_EQ(legend.FindCell(5, 1)->value.text, QStringLiteral("Sugas kods"));
}

TEST(ToExcel, DatasetComesBackAsItWas)
{
    ProgressCount progress;
    auto ds = MakeTrees(5);
    ds->SetRecNo(3);
    TToExcel x;
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"));
    x.Execute(false, true);
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_FALSE(ds->ControlsDisabled());

    ds->Close();
    x.Execute(false, true);
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(x.WorkBook().Sheet(1).FindCell(1, 1)->value.text, QStringLiteral("Koks"));
    EXPECT_EQ(progress.ends, 2);

    TToExcel none;
    try {
        none.Execute(false, true);
        FAIL();
    } catch (const EExcel& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("DataSet not specified"));
    }
    EXPECT_EQ(progress.starts, 2);
}

TEST(ToExcel, FailureMidwaySendsEndAndRestores)
{
    ProgressCount progress;
    TClientDataSet ds;
    ds.FieldDefs().Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("ROW_FORMAT"), TFieldType::ftString, 50);
    ds.CreateDataSet();
    for (const char* fmt : {"RWBKGCOLOR=255*CLBOLD=KOKS_NR,true", "RWBKGCOLOR=red"}) {
        ds.Append();
        ds.FieldByName(QStringLiteral("KOKS_NR"))->SetAsInteger(1);
        ds.FieldByName(QStringLiteral("ROW_FORMAT"))->SetAsString(QString::fromLatin1(fmt));
        ds.Post();
    }
    ds.First();
    TToExcel x;
    x.SetDataset(&ds);
    AddColumn(x, &ds, QStringLiteral("KOKS_NR"));
    EXPECT_THROW(x.Execute(false, true), EConvertError);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_FALSE(ds.ControlsDisabled());
    // The row written before the failure stays: red fill ($000000FF) and bold.
    const SheetCell& c = *x.WorkBook().Sheet(1).FindCell(2, 1);
    EXPECT_EQ(c.style.fill, 0xFF0000);
    EXPECT_TRUE(c.style.font.bold);
}

TEST(ToExcel, SaveIntoStreamLeavesNoFile)
{
    TempFolderScope temp;
    auto ds = MakeTrees(2);
    TToExcel x;
    x.SetDataset(ds.get());
    x.Execute(false, true);
    const QStringList before = QDir(GetTempDirectory()).entryList(QDir::Files);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    x.Save(buffer);
    EXPECT_TRUE(buffer.data().startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    EXPECT_EQ(QDir(GetTempDirectory()).entryList(QDir::Files), before);
    EXPECT_TRUE(x.FileName().isEmpty());
}

TEST(ToExcel, TemplateWithUserParameters)
{
    FormatScope format;
    auto ds = MakeTrees(2);
    TToExcel x;
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"));
    AddColumn(x, ds.get(), QStringLiteral("DATUMS"));
    x.Columns().Items(0).SetAggregate(TxlAggregate::xlaSum); // no totals in a template
    x.SetIsTemplate(true);
    x.SetTitle(QStringLiteral("Koki"));
    x.UserParams() << QStringLiteral(" Objekts = Mežs ") << QStringLiteral("Gads=2023");
    x.Execute(false, true);
    Workbook& book = x.WorkBook();
    ASSERT_EQ(book.SheetCount(), 1); // nothing for a legend sheet
    const Worksheet& s = book.Sheet(1);
    EXPECT_EQ(s.Name(), QStringLiteral("Veidne_ Koki1"));
    // The format comment sits in row 2, so the template's rows start there.
    EXPECT_EQ(s.FindCell(2, 1)->comment,
              QStringLiteral("DecimalSeparator=.\r\nDateSeparator=.\r\nTimeSeparator=:\r\n"
                             "ShortDateFormat=dd.mm.yyyy\r\nShortTimeFormat=hh:nn\r\n"));
    EXPECT_EQ(s.FindCell(2, 1)->value.text, QStringLiteral("Objekts"));
    EXPECT_EQ(s.FindCell(2, 2)->value.text, QStringLiteral("Mežs"));
    EXPECT_EQ(s.FindCell(3, 2)->value.text, QStringLiteral("2023"));
    EXPECT_EQ(s.FindCell(5, 1)->value.text, QStringLiteral("Veidne: Koki"));
    EXPECT_EQ(s.FindCell(6, 2)->value.text, QStringLiteral("Datums"));
    EXPECT_EQ(s.FindCell(6, 2)->style.numberFormat, QStringLiteral("General"));
    EXPECT_EQ(s.FindCell(8, 2)->style.numberFormat, KelpUtils::DateFormatToSheetFormat(QStringLiteral("dd.mm.yyyy")));
    EXPECT_EQ(s.FindCell(9, 1), nullptr);
    EXPECT_FALSE(s.FindCell(8, 1)->style.font.bold);
}
