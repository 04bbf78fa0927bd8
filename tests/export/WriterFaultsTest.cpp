// Faults the writers once had: numeric fields written as text to OpenDocument, sheet titles
// with apostrophes at their ends refused by Office Open XML.
#include "ExportTestUtil.h"
#include "PythonReader.h"

#include "export/TODFSpreadSheet.h"
#include "export/TToExcel.h"

#include <QFile>
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
    if (!ok)
        GTEST_SKIP() << "python3 is not available";
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
    for (const auto& c : cases) {
        for (int format : {Workbook::FormatXls, Workbook::FormatXlsx}) {
            TToExcel x;
            x.SetXLSFormat(format);
            x.SetDataset(ds.get());
            x.SetTitle(QString::fromUtf8(c.title));
            x.Execute(false, true);
            EXPECT_EQ(x.WorkBook().Sheet(1).Name().toStdString(), c.sheet);
            const QString file = temp.dir.filePath(QStringLiteral("t.") + TToExcel::Format2Ext(format));
            EXPECT_NO_THROW(x.Save(file)) << c.title << " " << format;
            EXPECT_TRUE(QFile::exists(file)) << c.title << " " << format;
            QFile::remove(file);
        }
    }
}
