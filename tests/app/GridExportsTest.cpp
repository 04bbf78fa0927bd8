#include "AppTestUtil.h"
#include "RecordingShell.h"
#include "SheetReader.h"
#include "app/AppUserInterface.h"
#include "base/KelpUtils.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "platform/data/DateTimeField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>

namespace {


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
    RecordingShellScope scope;
    const std::shared_ptr<RecordingShell>& shell = scope.shell;
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
    std::map<QString, QStringList> read = ReadSheets(shell->opened, ok);
    ASSERT_TRUE(ok) << "python3 with xlrd and openpyxl is needed (scripts/setup installs them)";
    for (const auto& [file, rows] : expected) {
        const QStringList& got = read[file];
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

// On a machine where no program opens workbooks the export is still written: the program's
// error box says so, with the file's full path, instead of calling the file missing.
TEST_F(AppTest, AWorkbookNoProgramOpensIsShownWithItsPathInTheProgramsErrorBox)
{
    struct NoPrograms : AppUserInterface {
        QStringList asked;
        bool OpenFile(const QString& fileName) override
        {
            asked << fileName;
            return false;
        }
    };
    auto desktop = std::make_shared<NoPrograms>();
    IUserInterface::Install(desktop);
    const auto back = qScopeGuard([desktop] {
        DesktopUserInterface::InstallAsCurrent();
        for (const QString& f : desktop->asked)
            QFile::remove(f);
    });
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    ASSERT_TRUE(boxes.empty());
    for (int format : {2, 9}) {
        SCOPED_TRACE(format);
        boxes.clear();
        frame->grdKoki->ExportToExcel(false, format);
        ASSERT_EQ(desktop->asked.size(), format == 2 ? 1 : 2);
        const QString file = QDir::toNativeSeparators(QFileInfo(desktop->asked.last()).absoluteFilePath());
        EXPECT_TRUE(QFileInfo::exists(file));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, AppExceptionHandler::ApplicationTitle());
        EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("\"%1\"").arg(file))) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("neizdevās atvērt"))) << boxes[0].text.toStdString();
        EXPECT_FALSE(boxes[0].text.contains(QStringLiteral("nav atrasts"))) << boxes[0].text.toStdString();
    }
    // The box as the person sees it.
    QMessageBox box(QMessageBox::Critical, boxes[0].caption, boxes[0].text, QMessageBox::Ok);
    box.show();
    EXPECT_TRUE(box.grab().save(QDir::temp().filePath(QStringLiteral("stumpwise_workbook_not_opened.png"))));
}

} // namespace
