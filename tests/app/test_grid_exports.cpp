#include "AppTestUtil.h"
#include "PythonReader.h"
#include "base/KelpUtils.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "platform/data/DateTimeField.h"

#include <QFile>
#include <QMenu>

namespace {

struct RecordingShell : IShellServices {
    QStringList opened;
    bool OpenFile(const QString& fileName) override
    {
        opened << fileName;
        return true;
    }
    void ShowError(const QString&) override {}
};

// Prints every file given: "== <file>", then its first sheet a row a line, cells joined by
// "|": numbers with 10 significant digits, dates as D:yyyy-mm-dd, texts as they stand.
const char* kReadSheets = R"(
import sys, datetime
def num(v):
    s = '%.10g' % v
    return '0' if s == '-0' else s
for p in sys.argv[1:]:
    print('== ' + p)
    rows = []
    if p.endswith('.xls'):
        import xlrd
        b = xlrd.open_workbook(p)
        s = b.sheet_by_index(0)
        for r in range(s.nrows):
            cells = []
            for c in range(s.ncols):
                cell = s.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_DATE:
                    cells.append('D:' + xlrd.xldate_as_datetime(cell.value, b.datemode).strftime('%Y-%m-%d'))
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    cells.append(num(cell.value))
                else:
                    cells.append(str(cell.value))
            rows.append(cells)
    elif p.endswith('.xlsx'):
        import openpyxl
        s = openpyxl.load_workbook(p).worksheets[0]
        for r in s.iter_rows():
            cells = []
            for c in r:
                v = c.value
                if v is None: cells.append('')
                elif isinstance(v, datetime.datetime): cells.append('D:' + v.strftime('%Y-%m-%d'))
                elif isinstance(v, (int, float)): cells.append(num(v))
                else: cells.append(str(v))
            rows.append(cells)
    else:
        import zipfile, xml.etree.ElementTree as ET
        O = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'
        T = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
        X = '{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'
        root = ET.fromstring(zipfile.ZipFile(p).read('content.xml'))
        for row in root.iter(T + 'table-row'):
            cells = []
            for c in row.findall(T + 'table-cell'):
                t = c.get(O + 'value-type')
                if t == 'float': cells.append(num(float(c.get(O + 'value'))))
                elif t == 'date': cells.append('D:' + c.get(O + 'date-value')[:10])
                else: cells.append(''.join(x.text or '' for x in c.findall(X + 'p')))
            rows.append(cells)
    for r in rows:
        while r and r[-1] == '': r.pop()
        print('|'.join(r))
)";

// A cell as read back; "*" takes any text (the OpenDocument writer's date text is its own).
QString Expected(TField* f, bool ods)
{
    if (f->OnGetText)
        return f->DisplayText();
    if (f->IsNull())
        return QString();
    if (dynamic_cast<TDateTimeField*>(f) && ods)
        return QStringLiteral("*");
    if (dynamic_cast<TDateTimeField*>(f))
        return QStringLiteral("D:") + f->AsDateTime().ToQDate().toString(QStringLiteral("yyyy-MM-dd"));
    switch (f->DataType()) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftFloat: {
        const QString s = QString::asprintf("%.10g", f->AsFloat());
        return s == QLatin1String("-0") ? QStringLiteral("0") : s;
    }
    default:
        return f->AsString();
    }
}

// The rows a grid's export must hold: its titles, then each record of its dataset.
QStringList ExpectedRows(TFrameGrid* grid, bool ods)
{
    QStringList rows;
    QStringList titles;
    for (int i = 0; i < grid->Columns()->Count(); ++i)
        titles << grid->Columns()->Items(i)->Title()->Caption();
    rows << titles.join(QLatin1Char('|'));
    TDataSet* ds = grid->LinkDataSet();
    const TBookmark mark = ds->GetBookmark();
    ds->DisableControls();
    for (ds->First(); !ds->Eof(); ds->Next()) {
        QStringList cells;
        for (int i = 0; i < grid->Columns()->Count(); ++i)
            cells << Expected(ds->FieldByName(grid->Columns()->Items(i)->FieldName()), ods);
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        rows << cells.join(QLatin1Char('|'));
    }
    ds->GotoBookmark(mark);
    ds->EnableControls();
    return rows;
}

class GridExports : public AppTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(GridExports, EveryAnalysisGridExportsItsRowsInAllThreeFormats)
{
    auto shell = std::make_shared<RecordingShell>();
    KelpUtils::SetShellServices(shell);
    auto restore = qScopeGuard([&] {
        KelpUtils::SetShellServices(nullptr);
        for (const QString& f : shell->opened)
            QFile::remove(f);
    });
    MakeWindow();
    ClickLoad(Fixture(GetParam()));
    ASSERT_TRUE(boxes.empty()) << boxes.front().text.toStdString();

    std::map<QString, QStringList> expected;
    for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki, frame->grdMerijumi, frame->grdDiamNovirzes}) {
        ASSERT_GT(grid->Columns()->Count(), 0);
        EXPECT_GT(grid->OriginalColumns()->Count(), 0) << "the designed columns are the defaults";
        for (int format = 0; format < 3; ++format) {
            if (format == 2)
                grid->ExportToOpenDocumentSpreadSheet(false);
            else
                grid->ExportToExcel(false, format == 0 ? 2 : 9);
            ASSERT_FALSE(shell->opened.isEmpty());
            expected[shell->opened.last()] = ExpectedRows(grid, format == 2);
        }
    }
    ASSERT_EQ(shell->opened.size(), 12);
    bool ok = false;
    const QString out = RunPython(QString::fromUtf8(kReadSheets), shell->opened,
                                  {QStringLiteral("xlrd"), QStringLiteral("openpyxl")}, ok);
    if (!ok)
        GTEST_SKIP() << "python3 with xlrd and openpyxl is needed to read the files back";
    std::map<QString, QStringList> read;
    QString current;
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("== ")))
            current = line.mid(3);
        else if (!current.isEmpty())
            read[current] << line;
    }
    for (const auto& [file, rows] : expected) {
        QStringList got = read[file];
        while (!got.isEmpty() && got.last().isEmpty())
            got.removeLast();
        ASSERT_EQ(got.size(), rows.size()) << file.toStdString();
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList want = rows[r].split(QLatin1Char('|'));
            QStringList have = got[r].split(QLatin1Char('|'));
            for (int c = 0; c < want.size() && c < have.size(); ++c)
                if (want[c] == QLatin1String("*") && !have[c].isEmpty())
                    have[c] = want[c];
            EXPECT_EQ(have, want) << file.toStdString() << " row " << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GridExports,
                         ::testing::Values("ktr/komatsu-maxixplorer-2017.ktr", "ktr/jd-timbermatic-2013.ktr",
                                           "hqc/vimek-forester-h70.hqc"));

// The header menu of each grid offers the chooser and the three exports.
TEST_F(AppTest, HeaderMenuOffersTheChooserAndTheExports)
{
    MakeWindow();
    for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki, frame->grdMerijumi, frame->grdDiamNovirzes}) {
        grid->PopupCol = 1;
        grid->PrepareHeaderPopup(0, 0);
        QStringList shown;
        for (QAction* a : grid->HeaderPopup()->actions())
            if (!a->isSeparator() && a->isVisible())
                shown << a->objectName();
        grid->HeaderPopup()->close();
        for (const char* n : {"mnuFields", "mnuExcel", "mnuOOXMLSpread", "mnuOOCalc"})
            EXPECT_TRUE(shown.contains(QLatin1String(n))) << grid->objectName().toStdString() << " " << n;
    }
}

} // namespace
