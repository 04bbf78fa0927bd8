// Faults the workbook writers once had: a binary workbook with many distinct texts, and a
// failed save leaving a truncated file behind.
#include "PythonReader.h"

#include "platform/sheet/ESheetError.h"
#include "platform/sheet/Workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SheetWriterFaults, BinaryWorkbookKeepsAHundredThousandDistinctTexts)
{
    constexpr int Texts = 100000;
    constexpr int Rows = 50000;
    Workbook book;
    Worksheet& s = book.AddSheet();
    for (int i = 0; i < Texts; ++i)
        s.SetValue(1 + i % Rows, 1 + i / Rows, SheetValue::Text(QStringLiteral("Koks %1 ā").arg(i)));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("many.xls"));
    ASSERT_NO_THROW(book.SaveAs(file, Workbook::FormatXls));
    bool ok = false;
    const QString out = RunPython(QStringLiteral(R"(
import sys, xlrd
s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
bad = [(r, c) for c in range(2) for r in range(50000) if s.cell_value(r, c) != 'Koks %d ā' % (c * 50000 + r)]
print(s.nrows, s.ncols, len(bad), bad[:3])
)"),
                                  {file}, {QStringLiteral("xlrd")}, ok);
    if (!ok)
        GTEST_SKIP() << "python3 with xlrd is not available";
    EXPECT_EQ(out.trimmed(), QStringLiteral("50000 2 0 []"));
}

TEST(SheetWriterFaults, FailedSaveLeavesNoTruncatedFileAndKeepsAnEarlierOne)
{
    Workbook bad;
    Worksheet& s = bad.AddSheet();
    s.SetValue(1, 1, SheetValue::Text(QStringLiteral("labs")));
    s.SetValue(2, 1, SheetValue::Text(QString(32768, QLatin1Char('x'))));
    QTemporaryDir dir;
    for (int format : {Workbook::FormatXls, Workbook::FormatXlsx}) {
        const QString fresh = dir.filePath(QStringLiteral("fresh.%1").arg(format));
        EXPECT_THROW(bad.SaveAs(fresh, format), ESheetError) << format;
        EXPECT_FALSE(QFile::exists(fresh)) << format;

        const QString earlier = dir.filePath(QStringLiteral("earlier.%1").arg(format));
        {
            QFile f(earlier);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("earlier workbook");
        }
        EXPECT_THROW(bad.SaveAs(earlier, format), ESheetError) << format;
        QFile f(earlier);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << format;
        EXPECT_EQ(f.readAll(), QByteArray("earlier workbook")) << format;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no part files are left";
}
