#include "FakeUserInterface.h"
#include "base/KelpUtils.h"
#include "base/KpUt.h"
#include "base/TDesktopShellServices.h"

#include <gtest/gtest.h>

namespace {

// Every dialog of base, and the default shell services, take the one user-interface route.
TEST(KpUtDialogs, ErrorAndConfirmationGoThroughTheUserInterface)
{
    InstalledFakeUserInterface ui;
    KpUt::ShowUserError(QStringLiteral("Kļūda"));
    EXPECT_EQ(ui->errors, QStringList{QStringLiteral("Kļūda")});

    ui->answerYes = true;
    EXPECT_EQ(KpUt::ConfirmYesNo(QStringLiteral("Turpināt?"), false), KpUt::mrYes);
    ui->answerYes = false;
    EXPECT_EQ(KpUt::ConfirmYesNo(QStringLiteral("Turpināt?")), KpUt::mrNo);
    EXPECT_EQ(ui->questions.size(), 2);
}

TEST(KpUtDialogs, DesktopShellServicesGoThroughTheUserInterface)
{
    InstalledFakeUserInterface ui;
    TDesktopShellServices shell;
    ui->openResult = false;
    EXPECT_FALSE(shell.OpenFile(QStringLiteral("/tmp/a.xls")));
    ui->openResult = true;
    EXPECT_TRUE(shell.OpenFile(QStringLiteral("/tmp/b.ods")));
    shell.ShowError(QStringLiteral("Fails nav atrasts!"));
    EXPECT_EQ(ui->opened, (QStringList{QStringLiteral("/tmp/a.xls"), QStringLiteral("/tmp/b.ods")}));
    EXPECT_EQ(ui->errors, QStringList{QStringLiteral("Fails nav atrasts!")});
}

TEST(KpUtDialogs, WithoutAnInstalledInterfaceNothingIsShownAndQuestionsAreDeclined)
{
    IUserInterface::Install(nullptr);
    KpUt::ShowUserError(QStringLiteral("Kļūda"));
    EXPECT_EQ(KpUt::ConfirmYesNo(QStringLiteral("Turpināt?")), KpUt::mrNo);
    EXPECT_FALSE(TDesktopShellServices().OpenFile(QStringLiteral("/tmp/a.xls")));
}

} // namespace
