#include "ExportTestUtil.h"
#include "FakeShell.h"
#include "PythonReader.h"

#include "base/KpDaTi.h"
#include "export/TODFSpreadSheet.h"
#include "export/TODF_DownloadOO.h"
#include "platform/rtl/Exception.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void AddColumn(TODFSpreadSheet& x, TDataSet* ds, const QString& field, int width)
{
    TxlColumn& c = x.Columns().Add();
    c.SetDataSet(ds);
    c.SetDataField(field);
    c.SetDisplayWidth(width);
}

// Lists the package's entries and prints its table as rows of "type:value:text" cells.
const char* kReadOds = R"(
import sys, zipfile, xml.etree.ElementTree as ET
z = zipfile.ZipFile(sys.argv[1])
print(','.join(i.filename + ('/deflated' if i.compress_type == zipfile.ZIP_DEFLATED else '') for i in z.infolist()))
ns = {'table': 'urn:oasis:names:tc:opendocument:xmlns:table:1.0',
      'office': 'urn:oasis:names:tc:opendocument:xmlns:office:1.0',
      'text': 'urn:oasis:names:tc:opendocument:xmlns:text:1.0',
      'style': 'urn:oasis:names:tc:opendocument:xmlns:style:1.0'}
root = ET.fromstring(z.read('content.xml'))
O = '{%s}' % ns['office']; T = '{%s}' % ns['table']
print(root.get(O + 'version'), [t.get(T + 'name') for t in root.iter(T + 'table')])
print([s.find('style:table-column-properties', ns).get('{%s}column-width' % ns['style'])
       for s in root.iter('{%s}style' % ns['style']) if s.get('{%s}family' % ns['style']) == 'table-column'])
for row in root.iter(T + 'table-row'):
    cells = []
    for c in row.findall('table:table-cell', ns):
        ps = [p.text or '' for p in c.findall('text:p', ns)]
        a = c.find('office:annotation/text:p', ns)
        cells.append('%s:%s:%s%s:%s' % (c.get(O + 'value-type'), c.get(O + 'value') or '', '|'.join(ps),
                                        ('@' + a.text) if a is not None else '', (c.get(T + 'style-name') or '')[8:]))
    print(' ; '.join(cells))
m = ET.fromstring(z.read('META-INF/manifest.xml'))
print(len(list(m)), ET.fromstring(z.read('styles.xml')).get(O + 'version'))
)";

QStringList ReadOds(const QString& file, bool& ok)
{
    const QString out = RunPython(QString::fromUtf8(kReadOds), {file}, {QStringLiteral("zipfile")}, ok);
    return out.split(QLatin1Char('\n'));
}

} // namespace

TEST(OpenDocument, SpreadsheetPackage)
{
    FormatSettings comma;
    comma.DecimalSeparator = QLatin1Char(',');
    FormatScope format(comma);
    ShellScope shell;
    ProgressCount progress;
    auto ds = MakeTrees(3);
    ds->FieldByName(QStringLiteral("KOKS_NR"))->OnGetText = [](TField* f, QString& text, bool) {
        text = QStringLiteral("Nr. %1").arg(f->AsInteger());
    };
    ds->Last();
    ds->Edit();
    ds->FieldByName(QStringLiteral("DATUMS"))->SetAsDateTime(KpDaTi::MaxDate);
    ds->Post();
    ds->First();
    ds->Edit();
    ds->FieldByName(QStringLiteral("APJOMS"))->SetAsFloat(1234.5);
    ds->FieldByName(QStringLiteral("SUGA"))->SetAsString(QStringLiteral("' '"));
    ds->Post();
    ds->SetRecNo(2);

    TODFSpreadSheet x;
    x.SetDataset(ds.get());
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"), 12);
    AddColumn(x, ds.get(), QStringLiteral("SUGA"), 13);
    AddColumn(x, ds.get(), QStringLiteral("APJOMS"), 2);
    AddColumn(x, ds.get(), QStringLiteral("DATUMS"), -1);
    x.Execute(false, false);
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_EQ(progress.announced, 2 * 3 + 4 * 4);
    EXPECT_EQ(progress.ends, 1);
    const QFileInfo file(x.OutputFileName());
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.suffix(), QStringLiteral("ods"));
    EXPECT_FALSE(QFileInfo::exists(file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral(".zip")));
    x.OpenExportedFile();
    EXPECT_EQ(shell.shell->opened, QStringList{x.OutputFileName()});
    EXPECT_EQ(progress.ends, 2);

    bool ok = false;
    const QStringList lines = ReadOds(x.OutputFileName(), ok);
    QFile::remove(x.OutputFileName());
    if (!ok)
        GTEST_SKIP() << "python3 is not available";
    ASSERT_GE(lines.size(), 8) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("content.xml/deflated,META-INF/manifest.xml/deflated,styles.xml/deflated"));
    EXPECT_EQ(lines[1], QStringLiteral("1.2 ['Tabula1']"));
    EXPECT_EQ(lines[2], QStringLiteral("['2cm', '3cm', '0cm', '0cm']"));
    EXPECT_EQ(lines[3], QStringLiteral("string::Koks@KOKS_NR:ColumnHeader ; string::Suga@SUGA:ColumnHeader ; "
                                       "string::Apjoms, dm³@APJOMS:ColumnHeader ; string::Datums@DATUMS:ColumnHeader"));
    EXPECT_EQ(lines[4], QStringLiteral("string::Nr. 1:AllCells ; string:::AllCells ; float:1234.5::AllCells ; "
                                       "string::02.05.2023:AllCells"));
    EXPECT_EQ(lines[6], QStringLiteral("string::Nr. 3:LastRowCells ; string::Priede:LastRowCells ; "
                                       "float:3.5::LastRowCells ; string::01.01.3000:LastRowCells"));
    EXPECT_EQ(lines[7], QStringLiteral("3 1.2"));
}

TEST(OpenDocument, TitleAndTotalRows)
{
    FormatScope format;
    auto ds = MakeTrees(2);
    TODFSpreadSheet x;
    x.SetDataset(ds.get());
    x.SetTitle(QStringLiteral("Koki"));
    AddColumn(x, ds.get(), QStringLiteral("KOKS_NR"), 10);
    AddColumn(x, ds.get(), QStringLiteral("APJOMS"), 10);
    AddColumn(x, ds.get(), QStringLiteral("NAV"), 10);
    x.Columns().Items(1).SetAggregate(TxlAggregate::xlaSum);
    x.Columns().Items(0).SetAggregate(TxlAggregate::xlaMax);
    x.Execute(false, false);
    bool ok = false;
    const QStringList lines = ReadOds(x.OutputFileName(), ok);
    QFile::remove(x.OutputFileName());
    if (!ok)
        GTEST_SKIP() << "python3 is not available";
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[3], QStringLiteral("string::Koki:PageTitle"));
    EXPECT_EQ(lines[5], QStringLiteral("float:1::AllCells ; float:1.5::AllCells ; string::???:AllCells"));
    EXPECT_EQ(lines[7], QStringLiteral("None::: ; float:4:4:LastRowCells ; None:::"));
}

TEST(OpenDocument, EmptyDatasetLeavesNoFile)
{
    auto ds = MakeTrees(0);
    TODFSpreadSheet x;
    x.SetDataset(ds.get());
    try {
        x.Execute(false, false);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Atskaitē nav rindu!"));
    }
    EXPECT_FALSE(x.OutputFileName().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(x.OutputFileName()));
    EXPECT_EQ(x.Columns().Count(), 4); // every visible field
    TODFSpreadSheet none;
    EXPECT_THROW(none.Execute(false, false), Exception);
}

TEST(OpenDocument, ColumnWidthsAndValues)
{
    const struct { int width; const char* text; } widths[] = {{12, "2cm"}, {13, "3cm"}, {2, "0cm"}, {-1, "0cm"}, {-9, "0cm"}};
    for (const auto& w : widths)
        EXPECT_EQ(TODFSpreadSheet::ColumnWidthText(w.width), QString::fromLatin1(w.text)) << w.width;
    FormatSettings comma;
    comma.DecimalSeparator = QLatin1Char(',');
    FormatScope format(comma);
    EXPECT_EQ(TODFSpreadSheet::ValueText(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(TODFSpreadSheet::ValueText(0.1 + 0.2), QStringLiteral("0.3"));
}

TEST(OpenDocument, NoAssociatedProgramShowsInformationWindow)
{
    ShellScope shell;
    shell.shell->openResult = false;
    auto ds = MakeTrees(1);
    TODFSpreadSheet x;
    x.SetDataset(ds.get());
    x.Execute(false, false);
    QString memo;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TODF_DownloadOO*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Open Document formāts"));
        EXPECT_TRUE(w->cbOpenFolder->isChecked());
        memo = w->Memo1->toPlainText();
        w->btnOK->click();
    });
    x.SetVisible(true);
    QFile::remove(x.OutputFileName());
    EXPECT_TRUE(memo.startsWith(QStringLiteral("Tika radīts Open Document formāta fails: \"%1\"\n").arg(x.OutputFileName())))
        << memo.toStdString();
    ASSERT_EQ(shell.shell->opened.size(), 2);
    EXPECT_EQ(shell.shell->opened[1], QFileInfo(x.OutputFileName()).absolutePath());
}
