// Faults the writers once had: numeric fields written as text to OpenDocument, sheet titles
// with apostrophes at their ends refused by Office Open XML.
#include "ExportTestUtil.h"
#include "PythonReader.h"

#include "export/TODFSpreadSheet.h"
#include "export/TToExcel.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

TEST(WriterFaults, OpenDocumentWritesEveryNumericTypeAsNumber)
{
    FormatScope format;
    TempFolderScope temp;
    const struct { TFieldType type; const char* value; } numeric[] = {
        {TFieldType::ftSmallint, "-12"},     {TFieldType::ftInteger, "70000"},
        {TFieldType::ftWord, "65000"},       {TFieldType::ftLargeint, "9007199254740993"},
        {TFieldType::ftFloat, "1234.5"},     {TFieldType::ftCurrency, "12.3456"},
        {TFieldType::ftBCD, "0.25"},
    };
    TClientDataSet ds;
    for (size_t i = 0; i < std::size(numeric); ++i)
        ds.FieldDefs().Add(QStringLiteral("F%1").arg(i), numeric[i].type);
    ds.CreateDataSet();
    ds.Append();
    for (size_t i = 0; i < std::size(numeric); ++i) {
        TField* f = ds.Fields(int(i));
        if (numeric[i].type == TFieldType::ftLargeint)
            f->SetAsLargeInt(QByteArray(numeric[i].value).toLongLong());
        else
            f->SetAsFloat(QByteArray(numeric[i].value).toDouble());
    }
    ds.Post();
    TODFSpreadSheet x;
    x.SetDataset(&ds);
    x.Execute(false, false);
    bool ok = false;
    const QString out = RunPython(QStringLiteral(R"(
import sys, zipfile, xml.etree.ElementTree as ET
O = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'
T = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
rows = list(ET.fromstring(zipfile.ZipFile(sys.argv[1]).read('content.xml')).iter(T + 'table-row'))
for c in rows[1].findall(T + 'table-cell'):
    print('%s %s' % (c.get(O + 'value-type'), c.get(O + 'value')))
)"),
                                  {x.OutputFileName()}, {QStringLiteral("zipfile")}, ok);
    ASSERT_TRUE(ok) << "python3 is needed (scripts/setup installs it)";
    const QStringList cells = out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(cells.size(), int(std::size(numeric))) << out.toStdString();
    for (size_t i = 0; i < std::size(numeric); ++i)
        EXPECT_EQ(cells[int(i)].toStdString(), std::string("float ") + numeric[i].value) << int(numeric[i].type);
    QFile::remove(x.OutputFileName());
}

TEST(WriterFaults, SheetTitlesWithApostrophesAtTheirEndsSave)
{
    FormatScope format;
    TempFolderScope temp;
    auto ds = MakeTrees(2);
    const struct { const char* title; const char* sheet; } cases[] = {
        {"'Koki'", "_Koki'1"},
        {"Koka 'Priede'", "Koka 'Priede'1"},
        {"abcdefghijklmnopqrstuvwxyz1234'", "abcdefghijklmnopqrstuvwxyz1234_"},
    };
    QStringList files, expected;
    for (const auto& c : cases) {
        for (int format : {Workbook::FormatXls, Workbook::FormatXlsx}) {
            TToExcel x;
            x.SetXLSFormat(format);
            x.SetDataset(ds.get());
            x.SetTitle(QString::fromUtf8(c.title));
            x.Execute(false, true);
            EXPECT_EQ(x.WorkBook().Sheet(1).Name().toStdString(), c.sheet);
            const QString file = temp.dir.filePath(QStringLiteral("t%1.").arg(files.size()) + TToExcel::Format2Ext(format));
            EXPECT_NO_THROW(x.Save(file)) << c.title << " " << format;
            files << file;
            // The sheet's name, the title above the columns, the headings and the last tree.
            expected << QStringLiteral("%1|%2|Koks|2").arg(QString::fromUtf8(c.sheet), QString::fromUtf8(c.title));
        }
    }
    bool ok = false;
    const QString out = RunPython(QStringLiteral(R"(
import sys, xlrd, openpyxl
for p in sys.argv[1:]:
    if p.endswith('.xls'):
        s = xlrd.open_workbook(p).sheet_by_index(0)
        print('%s|%s|%s|%d' % (s.name, s.cell_value(0, 0), s.cell_value(1, 0), s.cell_value(3, 0)))
    else:
        s = openpyxl.load_workbook(p).worksheets[0]
        print('%s|%s|%s|%d' % (s.title, s.cell(1, 1).value, s.cell(2, 1).value, s.cell(4, 1).value))
)"),
                                  files, {QStringLiteral("xlrd"), QStringLiteral("openpyxl")}, ok);
    ASSERT_TRUE(ok) << "python3 with xlrd and openpyxl is needed (scripts/setup installs them)";
    EXPECT_EQ(out.trimmed().split(QLatin1Char('\n')), expected) << out.toStdString();
}

// Characters that XML 1.0 cannot carry at all reach a cell as blanks, never as a gap or a
// broken file; everything around them stays.
TEST(WriterFaults, OpenDocumentWritesControlCharactersAsBlanks)
{
    FormatScope format;
    TempFolderScope temp;
    auto ds = MakeTrees(1);
    ds->Edit();
    ds->FieldByName(QStringLiteral("SUGA"))->SetAsString(QStringLiteral("a") + QChar(0x01) + QStringLiteral("b")
                                                         + QChar(0x0B) + QStringLiteral("c\u0101\tž"));
    ds->Post();
    ds->FieldByName(QStringLiteral("KOKS_NR"))->SetDisplayLabel(QStringLiteral("Ko") + QChar(0x1F) + QStringLiteral("ks"));
    TODFSpreadSheet x;
    x.SetDataset(ds.get());
    x.Execute(false, false);
    ASSERT_TRUE(QFile::exists(x.OutputFileName()));
    bool ok = false;
    const QString out = RunPython(QStringLiteral(R"(
import sys, zipfile, xml.etree.ElementTree as ET
T = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
X = '{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'
rows = list(ET.fromstring(zipfile.ZipFile(sys.argv[1]).read('content.xml')).iter(T + 'table-row'))
for r in rows:
    print(repr([c.findall(X + 'p')[-1].text or '' for c in r.findall(T + 'table-cell')][:2]))
)"),
                                  {x.OutputFileName()}, {QStringLiteral("zipfile")}, ok);
    ASSERT_TRUE(ok) << "python3 is needed (scripts/setup installs it)";
    EXPECT_EQ(out.trimmed().split(QLatin1Char('\n')),
              (QStringList{QStringLiteral("['Ko ks', 'Suga']"), QStringLiteral("['', 'a b c\u0101\\tž']")}))
        << out.toStdString();

    // LibreOffice reads the same cells.
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    ASSERT_FALSE(soffice.isEmpty()) << "LibreOffice (soffice) is needed: scripts/setup installs libreoffice-calc-nogui";
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + temp.dir.filePath(QStringLiteral("lo-profile")),
                       QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                       // comma, double quote, UTF-8, from line 1, text cells quoted
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true"),
                       QStringLiteral("--outdir"), temp.dir.path(), x.OutputFileName()});
    ASSERT_TRUE(lo.waitForFinished(600000)) << "LibreOffice did not finish";
    const QString log = QString::fromUtf8(lo.readAll());
    QFile csv(temp.dir.filePath(QFileInfo(x.OutputFileName()).completeBaseName() + QStringLiteral(".csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << log.toStdString();
    EXPECT_EQ(QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n')).mid(0, 2),
              (QStringList{QStringLiteral("\"Ko ks\",\"Suga\",\"Apjoms, dm³\",\"Datums\""),
                           QStringLiteral("1,\"a b c\u0101\tž\",1.5,\"") + ds->FieldByName(QStringLiteral("DATUMS"))->AsString() + QStringLiteral("\"")}))
        << log.toStdString();
}
