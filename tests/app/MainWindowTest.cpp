#include "AppTestUtil.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "app/DBReadOnlyEdit.h"
#include "app/ProgramIdentity.h"
#include "platform/data/DataSource.h"

namespace {

QVariant Stored()
{
    QSettings s(QStringLiteral("Qurta"), QStringLiteral("Stumpwise"));
    return s.value(QStringLiteral("DiamMaxNovize"));
}

void Store(const QVariant& v)
{
    QSettings s(QStringLiteral("Qurta"), QStringLiteral("Stumpwise"));
    s.setValue(QStringLiteral("DiamMaxNovize"), v);
}

TEST_F(AppTest, WindowIsSetUpForTheStandaloneProgram)
{
    MakeWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KTR/HQC failu analīzes programma"));
    EXPECT_TRUE(frame->StandaloneApp());
    EXPECT_EQ(loader->Owner(), frame);
    EXPECT_TRUE(loader->odKTRFiles()->OnExecute);
    EXPECT_EQ(frame->lblVersija->text(), QStringLiteral("Versija: ") + QStringLiteral(STUMPWISE_VERSION));
    EXPECT_TRUE(frame->lblVersija->isVisible());
    EXPECT_TRUE(frame->edtMaxNovirze->isVisible());
    EXPECT_TRUE(frame->lblMaxNovirze->isVisible());
    EXPECT_FALSE(frame->edtFirstReg->isVisible());
    EXPECT_FALSE(frame->lblFirstReg->isVisible());
    EXPECT_FALSE(frame->pnlHrv->isVisible());
    EXPECT_FALSE(frame->pgcRows->isTabVisible(frame->pgcRows->indexOf(frame->tsVar)));
    for (TDBReadOnlyEdit* e : frame->DataEdits()) {
        EXPECT_TRUE(e->isReadOnly());
        EXPECT_FALSE(e->hasFrame());
        EXPECT_EQ(e->DataSource(), frame->dsHeader());
    }
    EXPECT_EQ(frame->dsKoki()->DataSet(), loader->cdsKoki());
    EXPECT_EQ(frame->dsDiamNovirzes()->DataSet(), loader->cdsDiamNovirzes());
    EXPECT_EQ(frame->grdVar->LinkDataSet(), loader->cdsVar());
    EXPECT_TRUE(boxes.empty());

    // The close button closes the window.
    QTest::mouseClick(frame->btnClose, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

// The caption stands as it is: no application display name for the platform to append,
// while error boxes keep the program's title.
TEST_F(AppTest, CaptionIsExactlyTheWindowsOwnAndBoxesKeepTheTitle)
{
    const QString name = QCoreApplication::applicationName(), organisation = QCoreApplication::organizationName();
    const QString display = QGuiApplication::applicationDisplayName();
    ProgramIdentity::Apply();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Stumpwise"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName())
        << "a display name of its own would follow every caption";
    MakeWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KTR/HQC failu analīzes programma"));
    AppExceptionHandler::ShowMessage(window.get(), QStringLiteral("x"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Lumeret saimes produkts. KTR failu analīzes programma."));
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setOrganizationName(organisation);
    if (display != name)
        QGuiApplication::setApplicationDisplayName(display);
}

TEST_F(AppTest, VersionTextOfTheProgramAndOfOtherFiles)
{
    const QString own = TfmCSKTRImportAppFM::GetExeVersion();
    EXPECT_EQ(own.split(QLatin1Char('.')).size(), 4);
    EXPECT_TRUE(TfmCSKTRImportAppFM::GetExeVersion(QStringLiteral("/bin/sh")).isEmpty());
}

TEST_F(AppTest, FirstRunShowsTwentyAndClosingStoresIt)
{
    MakeWindow();
    EXPECT_EQ(frame->edtMaxNovirze->text(), QStringLiteral("20"));
    EXPECT_FALSE(Stored().isValid());
    window.reset();
    EXPECT_EQ(Stored().toInt(), 20);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AppTest, StoredMaximumIsShownAndHandedToTheLoader)
{
    Store(12);
    MakeWindow();
    EXPECT_EQ(frame->edtMaxNovirze->text(), QStringLiteral("12"));
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    EXPECT_EQ(loader->MaksNovirze(), 12);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AppTest, FractionEnteredIsStoredAndLoadedTruncated)
{
    MakeWindow();
    frame->edtMaxNovirze->setText(QStringLiteral("12.7"));
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    EXPECT_EQ(loader->MaksNovirze(), 12);
    window.reset();
    EXPECT_EQ(Stored().toInt(), 12);
}

TEST_F(AppTest, UnreadableStoredValueIsReportedAndTheWindowStillComesUp)
{
    Store(QStringLiteral("abc"));
    MakeWindow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, AppExceptionHandler::ApplicationTitle());
    EXPECT_EQ(frame->edtMaxNovirze->text(), QStringLiteral("20"));
    // The start-up went on: the controls got their flat look.
    for (TDBReadOnlyEdit* e : frame->DataEdits())
        EXPECT_FALSE(e->hasFrame());
    EXPECT_TRUE(frame->pnlHeader->autoFillBackground());
    // The window works all the same.
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    EXPECT_FALSE(loader->cdsKoki()->IsEmpty());
}

TEST_F(AppTest, MaximumThatIsNoNumberAtCloseStoresTheLastNumber)
{
    Store(9);
    MakeWindow();
    frame->edtMaxNovirze->setText(QStringLiteral("12"));
    frame->edtMaxNovirze->setText(QStringLiteral("x"));
    window.reset();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Stored().toInt(), 12);
}

} // namespace
