#include "GridTestUtil.h"
#include "PythonReader.h"
#include "SortGridTestUtil.h"
#include "base/KelpUtils.h"
#include "controls/TKpBitBtn.h"
#include "export/TToExcel.h"
#include "export/TxlColumn.h"
#include "grids/TfrmFldDlg.h"
#include "platform/rtl/FormatSettings.h"

#include <QFile>
#include <QListWidget>
#include <QScopeGuard>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Records what would be opened, so no program starts.
struct RecordingShell : IShellServices {
    QStringList opened;
    bool OpenFile(const QString& fileName) override
    {
        opened << fileName;
        return true;
    }
    void ShowError(const QString&) override {}
};

// Prints the first sheet of an .xls, .xlsx or .ods file, one row a line, cells joined by "|".
const char* kReadSheet = R"(
import sys
p = sys.argv[1]
rows = []
if p.endswith('.xls'):
    import xlrd
    s = xlrd.open_workbook(p).sheet_by_index(0)
    rows = [[s.cell_value(r, c) for c in range(s.ncols)] for r in range(s.nrows)]
elif p.endswith('.xlsx'):
    import openpyxl
    s = openpyxl.load_workbook(p).worksheets[0]
    rows = [[c.value for c in r] for r in s.iter_rows()]
else:
    import zipfile, xml.etree.ElementTree as ET
    O = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'
    T = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
    X = '{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'
    root = ET.fromstring(zipfile.ZipFile(p).read('content.xml'))
    for row in root.iter(T + 'table-row'):
        cells = []
        for c in row.findall(T + 'table-cell'):
            v = c.get(O + 'value')
            cells.append(float(v) if v is not None else ''.join(t.text or '' for t in c.findall(X + 'p')))
        rows.append(cells)
def fmt(v):
    if v is None: return ''
    if isinstance(v, float) and v == int(v): return str(int(v))
    if hasattr(v, 'strftime'): return v.strftime('%Y-%m-%d')
    return str(v)
for r in rows: print('|'.join(fmt(v) for v in r))
)";

QStringList ReadSheet(const QString& file, bool& ok)
{
    const QString out = RunPython(QString::fromUtf8(kReadSheet), {file},
                                  {QStringLiteral("xlrd"), QStringLiteral("openpyxl"), QStringLiteral("zipfile")}, ok);
    return out.trimmed().split(QLatin1Char('\n'));
}

// A screen grid over five trees showing KOKS_NR, SUGA and DATUMS, PIEZ hidden.
struct GridExport : ::testing::Test {
    std::shared_ptr<RecordingShell> shell = std::make_shared<RecordingShell>();
    SortGridOver<TDBEditGrid> g{5};
    int dialogs = 0;

    void SetUp() override
    {
        KelpUtils::SetShellServices(shell);
        g.grid->SetUseColumnsDesc(true);
        for (const char* n : {"KOKS_NR", "SUGA", "DATUMS", "PIEZ"})
            g.grid->Columns()->Add()->SetFieldName(QString::fromLatin1(n));
        g.grid->ColumnByFieldName(QStringLiteral("PIEZ"))->SetVisible(false);
        FieldsDialogClass = [this](QWidget* o) -> TFldDlg* {
            ++dialogs;
            return new TfrmFldDlg(o);
        };
    }
    void TearDown() override
    {
        KelpUtils::SetShellServices(nullptr);
        FieldsDialogClass = [](QWidget* o) -> TFldDlg* { return new TfrmFldDlg(o); };
        for (const QString& f : shell->opened)
            QFile::remove(f);
    }
    // Runs fn with the chooser that is about to open modally.
    static void OnModalChooser(std::function<void(TfrmFldDlg*)> fn)
    {
        QTimer::singleShot(0, [fn] {
            auto* dlg = qobject_cast<TfrmFldDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            fn(dlg);
        });
    }
};

TEST_F(GridExport, EachFormatWritesTheShownColumnsWithoutTheDialog)
{
    struct Case {
        std::function<void(TDBEditGrid*)> run;
        const char* ext;
        TExportType type;
    } cases[] = {
        {[](TDBEditGrid* g) { g->ExportToExcel(false, 2); }, ".xls", TExportType::etExcel},
        {[](TDBEditGrid* g) { g->ExportToOOXMLSheet(false); }, ".xlsx", TExportType::etOOXMLSheet},
        {[](TDBEditGrid* g) { g->ExportToOpenDocumentSpreadSheet(false); }, ".ods", TExportType::etOOCalc},
    };
    for (const Case& c : cases) {
        QStringList reported;
        TExportType type{};
        g.grid->OnExport = [&](TCustomDBSfmGrid*, TExportType t, TDBEdGridColumns& cols) {
            type = t;
            for (int i = 0; i < cols.Count(); ++i)
                reported << cols.Items(i)->FieldName();
        };
        const int before = int(shell->opened.size());
        c.run(g.grid.get());
        ASSERT_EQ(int(shell->opened.size()), before + 1) << c.ext;
        const QString file = shell->opened.last();
        EXPECT_TRUE(file.endsWith(QLatin1String(c.ext))) << file.toStdString();
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(reported, (QStringList{"KOKS_NR", "SUGA", "DATUMS"}));
        bool ok = false;
        const QStringList rows = ReadSheet(file, ok);
        if (!ok)
            continue;
        ASSERT_GE(rows.size(), 6) << rows.join('\n').toStdString();
        EXPECT_TRUE(rows[0].startsWith(QStringLiteral("Koka nr.|SUGA|DATUMS"))) << rows[0].toStdString();
        EXPECT_TRUE(rows[3].startsWith(QStringLiteral("3|Apse|"))) << rows[3].toStdString();
        EXPECT_TRUE(rows[2].startsWith(QStringLiteral("2|Bērzs|"))) << rows[2].toStdString();
    }
    EXPECT_EQ(dialogs, 3) << "a chooser is made each time, only not shown";
}

TEST_F(GridExport, ChooserDecidesColumnsAndCancelWritesNothing)
{
    OnModalChooser([](TfrmFldDlg* dlg) {
        EXPECT_EQ(dlg->btnOK->Caption(), "Eksportēt");
        dlg->btnCancel->click();
    });
    g.grid->ExportToOOXMLSheet(true);
    EXPECT_TRUE(shell->opened.isEmpty());

    QString dateFormat;
    g.grid->OnExportToExcel = [&](TCustomDBSfmGrid*, TToExcel& w) {
        for (int i = 0; i < w.Columns().Count(); ++i)
            if (w.Columns().Items(i).DataField() == QLatin1String("DATUMS"))
                dateFormat = w.Columns().Items(i).DisplayFormat();
    };
    OnModalChooser([](TfrmFldDlg* dlg) {
        dlg->lstSel->setCurrentRow(1); // SUGA out, PIEZ in, then moved first
        dlg->RemoveClick();
        dlg->lstAll->clearSelection();
        dlg->lstAll->setCurrentRow(0);
        dlg->AddClick();
        dlg->lstSel->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
        dlg->UpClick();
        dlg->UpClick();
        dlg->btnOK->click();
    });
    g.grid->ExportToOOXMLSheet(true);
    ASSERT_EQ(shell->opened.size(), 1);
    EXPECT_EQ(dateFormat, FormatSettings::Default().ShortDateFormat) << "a date column without a format";
    bool ok = false;
    const QStringList rows = ReadSheet(shell->opened.last(), ok);
    if (ok)
        EXPECT_EQ(rows[0], "PIEZ|Koka nr.|DATUMS");
    EXPECT_EQ(g.grid->Columns()->Count(), 3) << "the grid's own columns stay as they were";
}

TEST_F(GridExport, EmptyDatasetDoesNothingNotEvenTheDialog)
{
    g.ds->EmptyDataSet();
    g.grid->ExportToExcel(true, 2);
    g.grid->ExportToOpenDocumentSpreadSheet(true);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(shell->opened.isEmpty());
}

} // namespace
