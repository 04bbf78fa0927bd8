#include "AppTestUtil.h"

#include <QCheckBox>
#include <QTabWidget>

#include "app/DBReadOnlyEdit.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"

namespace {

// The logs shown are those of the current tree, the measurements those of the current log.
void ExpectFollowsCurrent(TCSHrvStumpwiseToDS* loader)
{
    TClientDataSet* koki = loader->cdsKoki();
    TClientDataSet* balki = loader->cdsBalki();
    TClientDataSet* mer = loader->cdsMerijumi();
    const qint32 tree = koki->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger();
    ASSERT_TRUE(balki->Filtered());
    ASSERT_FALSE(balki->IsEmpty()) << "tree " << tree;
    for (balki->First(); !balki->Eof(); balki->Next())
        EXPECT_EQ(balki->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger(), tree);
    balki->First();
    const qint32 log = balki->FieldByName(QStringLiteral("BALKIS_NR"))->AsInteger();
    ASSERT_TRUE(mer->Filtered());
    ASSERT_FALSE(mer->IsEmpty());
    for (mer->First(); !mer->Eof(); mer->Next()) {
        EXPECT_EQ(mer->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger(), tree);
        EXPECT_EQ(mer->FieldByName(QStringLiteral("BALKIS_NR"))->AsInteger(), log);
    }
}

TEST_F(AppTest, EachFormatLoadsThroughTheDialogIntoTheGrids)
{
    const char* const files[] = {"ktr/jd-timbermatic-2013.ktr", "ktr/komatsu-maxixplorer-2017.ktr",
                                 "hqc/vimek-forester-h70.hqc", "hqc/two-control-groups.hqc"};
    MakeWindow();
    for (const char* file : files) {
        SCOPED_TRACE(file);
        const QString path = Fixture(file);
        ClickLoad(path);
        ASSERT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
        EXPECT_EQ(frame->dbedtFILE_NAME->text(), path);
        EXPECT_EQ(frame->dbedtDATUMS_PARB->text(),
                  loader->cdsHeader()->FieldByName(QStringLiteral("DATUMS_PARB"))->DisplayText());
        EXPECT_FALSE(frame->dbedtDATUMS_PARB->text().isEmpty());
        EXPECT_EQ(frame->dbedtHRV_NUMURS->text(),
                  loader->cdsHeader()->FieldByName(QStringLiteral("HRV_NUMURS"))->DisplayText());
        EXPECT_FALSE(frame->findChild<TDBReadOnlyEdit*>(QStringLiteral("dbedtHRV_APJOMS_ALL"))->text().isEmpty());
        EXPECT_EQ(frame->grdKoki->LinkDataSet(), loader->cdsKoki());
        EXPECT_EQ(frame->grd1->LinkDataSet(), loader->cdsKokuSk());
        EXPECT_EQ(loader->cdsKokuSk()->RecordCount(), 3);
        EXPECT_FALSE(loader->cdsDiamNovirzes()->IsEmpty());
        EXPECT_EQ(loader->cdsKoki()->RecNo(), 1);
        EXPECT_TRUE(frame->chkFilterByBalkis->isChecked());
        ExpectFollowsCurrent(loader);
        // Both kinds of file leave the raw variables hidden in the program.
        EXPECT_FALSE(frame->pgcRows->isTabVisible(frame->pgcRows->indexOf(frame->tsVar)));
        EXPECT_EQ(frame->pgcRows->currentWidget(), frame->tsMerijumi);
        EXPECT_EQ(frame->grdMerijumi->Columns()->Count(), 15);
    }
    EXPECT_EQ(loads, 4);
}

TEST_F(AppTest, LogsFollowTheTreeAndMeasurementsTheLogUntilUnticked)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/komatsu-maxixplorer-2017.ktr"));
    ASSERT_TRUE(boxes.empty());
    TClientDataSet* koki = loader->cdsKoki();
    TClientDataSet* balki = loader->cdsBalki();
    TClientDataSet* mer = loader->cdsMerijumi();
    ASSERT_GE(koki->RecordCount(), 2);
    koki->Next();
    ExpectFollowsCurrent(loader);
    // A tree with two logs: the second log's measurements follow a move in the logs.
    for (koki->First(); !koki->Eof() && balki->RecordCount() < 2; koki->Next()) { }
    ASSERT_GE(balki->RecordCount(), 2);
    balki->Next();
    const qint32 log = balki->FieldByName(QStringLiteral("BALKIS_NR"))->AsInteger();
    for (mer->First(); !mer->Eof(); mer->Next())
        EXPECT_EQ(mer->FieldByName(QStringLiteral("BALKIS_NR"))->AsInteger(), log);

    // Unticked: every measurement of the file, also after a move in the logs.
    frame->chkFilterByBalkis->setChecked(false);
    EXPECT_FALSE(mer->Filtered());
    const int all = mer->RecordCount();
    balki->First();
    EXPECT_FALSE(mer->Filtered());
    EXPECT_EQ(mer->RecordCount(), all);
    // Ticked again: the filter set last, renewed by the next move.
    frame->chkFilterByBalkis->setChecked(true);
    EXPECT_TRUE(mer->Filtered());
    EXPECT_LT(mer->RecordCount(), all);
}

TEST_F(AppTest, CancelledDialogKeepsTheDataButTakesTheMaximumAndFiltersAgain)
{
    MakeWindow();
    const QString path = Fixture("hqc/vimek-forester-h70.hqc");
    ClickLoad(path);
    const int trees = loader->cdsKoki()->RecordCount();
    loader->cdsKoki()->Last();
    frame->chkFilterByBalkis->setChecked(false);
    frame->edtMaxNovirze->setText(QStringLiteral("15"));
    ClickLoad(QString());
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(loader->MaksNovirze(), 15);
    EXPECT_EQ(frame->dbedtFILE_NAME->text(), path);
    EXPECT_EQ(loader->cdsKoki()->RecordCount(), trees);
    EXPECT_EQ(loader->cdsKoki()->RecNo(), 1);
    EXPECT_TRUE(frame->chkFilterByBalkis->isChecked());
    ExpectFollowsCurrent(loader);
}

TEST_F(AppTest, NewMaximumReloadsTheSameFileOnceOnLeaveOrEnter)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    ASSERT_EQ(loads, 1);
    ASSERT_EQ(loader->MaksNovirze(), 20);
    loader->cdsKoki()->Last();

    LeaveMaxEdit(QStringLiteral("15"));
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(loader->MaksNovirze(), 15);
    EXPECT_EQ(loader->cdsKoki()->RecNo(), 1);
    LeaveMaxEdit(QStringLiteral("15"));
    LeaveMaxEdit(QStringLiteral("15.9"));
    EXPECT_EQ(loads, 2);

    frame->edtMaxNovirze->setText(QStringLiteral("14"));
    QTest::keyClick(frame->edtMaxNovirze, Qt::Key_Return);
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(loader->MaksNovirze(), 14);
    QTest::keyClick(frame->edtMaxNovirze, Qt::Key_Enter);
    EXPECT_EQ(loads, 3);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AppTest, NewMaximumWithoutALoadedFileLoadsNothing)
{
    MakeWindow();
    LeaveMaxEdit(QStringLiteral("15"));
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(boxes.empty());

    // A failed load empties everything and shows its one message; nothing to reload after it.
    ClickLoad(Fixture("ktr/bad-number.ktr"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, AppExceptionHandler::ApplicationTitle());
    EXPECT_FALSE(boxes[0].text.isEmpty());
    EXPECT_TRUE(loader->cdsKoki()->IsEmpty());
    EXPECT_TRUE(frame->dbedtFILE_NAME->text().isEmpty());
    EXPECT_TRUE(frame->chkFilterByBalkis->isChecked());
    const int loadsAfterFailure = loads;
    LeaveMaxEdit(QStringLiteral("10"));
    EXPECT_EQ(loads, loadsAfterFailure);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(AppTest, MaximumThatIsNoNumberFallsBackAndTheFiltersStillComeBack)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    frame->chkFilterByBalkis->setChecked(false);
    // Set while the edit is not typed into: a text that is no number gives way to the last
    // number, an empty text to 0 (as leaving the edit would); only a number past 32 bits
    // is reported, before the dialog opens.
    const struct {
        const char* text;
        bool reported;
        qint32 maksNovirze;
        const char* shown;
    } cases[] = {{"abc", false, 20, "20"}, {"", false, 0, "0"}, {"99999999999", true, 0, "99999999999"}};
    size_t expectedBoxes = 0;
    int expectedDialogs = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        frame->edtMaxNovirze->setText(QString::fromUtf8(c.text));
        ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
        expectedBoxes += c.reported ? 1 : 0;
        expectedDialogs += c.reported ? 0 : 1;
        ASSERT_EQ(boxes.size(), expectedBoxes);
        if (c.reported)
            EXPECT_EQ(boxes.back().caption, AppExceptionHandler::ApplicationTitle());
        EXPECT_EQ(dialogs, expectedDialogs) << "the dialog opens only after the maximum was taken";
        EXPECT_EQ(frame->edtMaxNovirze->text(), QString::fromUtf8(c.shown));
        EXPECT_TRUE(frame->chkFilterByBalkis->isChecked());
        EXPECT_EQ(loader->MaksNovirze(), c.maksNovirze);
        frame->chkFilterByBalkis->setChecked(false);
    }
    // Leaving the edit with a value beyond 32 bits differs from any maximum: the reload
    // reports it instead of wrapping.
    frame->edtMaxNovirze->setText(QStringLiteral("4294967311"));
    frame->edtMaxNovirze->OnExit(frame->edtMaxNovirze);
    EXPECT_EQ(boxes.size(), expectedBoxes + 1);
    EXPECT_EQ(loader->MaksNovirze(), 0);
}

} // namespace
