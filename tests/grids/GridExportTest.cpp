#include "GridTestUtil.h"
#include "RecordingShell.h"
#include "SheetReader.h"
#include "SortGridTestUtil.h"
#include "base/KelpUtils.h"
#include "controls/TKpBitBtn.h"
#include "export/ExportProgress.h"
#include "export/TODF_DownloadOO.h"
#include "export/TToExcel.h"
#include "export/TxlColumn.h"
#include "grids/TfrmFldDlg.h"
#include "platform/rtl/FormatSettings.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A screen grid over five trees showing KOKS_NR, SUGA and DATUMS, PIEZ hidden.
struct GridExport : ::testing::Test {
    RecordingShellScope scope;
    std::shared_ptr<RecordingShell> shell = scope.shell;
    SortGridOver<TDBEditGrid> g{5};
    int dialogs = 0;

    void SetUp() override
    {
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
        FieldsDialogClass = [](QWidget* o) -> TFldDlg* { return new TfrmFldDlg(o); };
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
        const QStringList rows = ReadSheets({file}, ok)[file];
        ASSERT_TRUE(ok) << "python3 with xlrd and openpyxl is needed (scripts/setup installs them)";
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
    const QStringList rows = ReadSheets({shell->opened.last()}, ok)[shell->opened.last()];
    ASSERT_TRUE(ok) << "python3 with xlrd and openpyxl is needed (scripts/setup installs them)";
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0], "PIEZ|Koka nr.|DATUMS");
    EXPECT_EQ(g.grid->Columns()->Count(), 3) << "the grid's own columns stay as they were";
}

TEST_F(GridExport, WaitCursorAndProgressWhileAWorkbookIsWritten)
{
    std::vector<bool> cursor;
    UiServices::SetWaitCursorHook([&](bool on) { cursor.push_back(on); });
    auto unhook = qScopeGuard([] { UiServices::SetWaitCursorHook({}); });
    int shown = 0;
    bool waiting = false;
    const auto c = QObject::connect(&ExportProgress::Instance(), &ExportProgress::Stepped, [&] {
        if (auto* d = g.grid->findChild<QProgressDialog*>(QStringLiteral("dlgExportProgress")))
            shown = std::max(shown, d->value());
        waiting = cursor == std::vector<bool>{true};
    });
    g.grid->ExportToExcel(false, 9);
    QObject::disconnect(c);
    EXPECT_GT(shown, 0) << "the progress window follows the writer";
    EXPECT_TRUE(waiting);
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    EXPECT_EQ(g.grid->findChild<QProgressDialog*>(QStringLiteral("dlgExportProgress")), nullptr);
}

TEST_F(GridExport, EmptyDatasetDoesNothingNotEvenTheDialog)
{
    g.ds->EmptyDataSet();
    g.grid->ExportToExcel(true, 2);
    g.grid->ExportToOpenDocumentSpreadSheet(true);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(shell->opened.isEmpty());
}

// Without a program for .ods files the export's own window tells where the file is. Nothing
// covers it (the progress window is gone, and stays gone however long it is open), and Enter
// answers "Labi", as it does in the platform's own boxes.
TEST_F(GridExport, OpenDocumentWindowStandsAloneAndEnterAnswersIt)
{
    struct NoProgram : RecordingShell {
        bool OpenFile(const QString& fileName) override
        {
            RecordingShell::OpenFile(fileName);
            return false;
        }
    };
    auto none = std::make_shared<NoProgram>();
    KelpUtils::SetShellServices(none);
    const auto removeFiles = qScopeGuard([none] {
        for (const QString& f : none->opened)
            QFile::remove(f);
    });
    g.grid->show();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TODF_DownloadOO*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        seen = true;
        // Longer than a progress window waits before it shows itself.
        QTest::qWait(800);
        for (QWidget* top : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QProgressDialog*>(top) && top->isVisible()) << "a progress window over it";
        EXPECT_EQ(QApplication::activeModalWidget(), w);
        EXPECT_TRUE(w->Memo1->toPlainText().contains(none->opened.value(0))) << "the file's full name";
        EXPECT_TRUE(w->grab().save(QDir::temp().filePath(QStringLiteral("stumpwise_ods_no_program.png"))));
        // Where the keyboard focus is: the program's, else the window's as it opened (the text).
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget()
                                                     : (w->focusWidget() ? w->focusWidget() : w);
        QTest::keyClick(focus, Qt::Key_Return);
        if (w->isVisible()) {
            ADD_FAILURE() << "Enter left the window open";
            w->reject();
        }
    });
    g.grid->ExportToOpenDocumentSpreadSheet(false);
    EXPECT_TRUE(seen);
    ASSERT_EQ(none->opened.size(), 2) << "the file, then its folder";
    EXPECT_TRUE(none->opened[0].endsWith(QLatin1String(".ods")));
    EXPECT_TRUE(QFile::exists(none->opened[0])) << "left in place";
    EXPECT_EQ(none->opened[1], QDir::toNativeSeparators(QFileInfo(none->opened[0]).absolutePath()));
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QProgressDialog*>(top), nullptr) << "the progress window is closed";
}

} // namespace
