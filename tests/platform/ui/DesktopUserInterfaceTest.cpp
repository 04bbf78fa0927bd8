#include "platform/ui/DesktopUserInterface.h"
#include "platform/ui/UiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Answers the next modal message box with the given button and records what it showed.
struct BoxAnswer
{
    explicit BoxAnswer(QMessageBox::StandardButton b) : button(b) {}

    QMessageBox::StandardButton button;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;

    void Arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            caption = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(button)->click();
        });
    }
};

TEST(DesktopUserInterface, ErrorAndConfirmationBoxes)
{
    const QString name = QApplication::applicationDisplayName();
    DesktopUserInterface ui;
    BoxAnswer ok(QMessageBox::Ok);
    ok.Arm();
    ui.ShowError(QStringLiteral("Kļūda"));
    EXPECT_EQ(ok.text, QStringLiteral("Kļūda"));
    EXPECT_EQ(ok.caption, name);
    EXPECT_EQ(ok.icon, QMessageBox::Critical);
    EXPECT_EQ(ok.buttons, QMessageBox::Ok);

    BoxAnswer yes(QMessageBox::Yes);
    yes.Arm();
    EXPECT_TRUE(ui.ConfirmYesNo(QStringLiteral("Turpināt?")));
    EXPECT_EQ(yes.icon, QMessageBox::Question);
    EXPECT_EQ(yes.buttons, QMessageBox::Yes | QMessageBox::No);

    BoxAnswer no(QMessageBox::No);
    no.Arm();
    EXPECT_FALSE(ui.ConfirmYesNo(QStringLiteral("Turpināt?")));
}

// Tests replace the boxes and the bell in one place, UiServices, also for code below the widgets.
TEST(DesktopUserInterface, BoxesAndBellTakeUiServicesHooks)
{
    QStringList shown;
    int beeps = 0;
    UiServices::SetMessageBoxHook([&](QWidget*, const QString& text, const QString&,
                                      QMessageBox::Icon, QMessageBox::StandardButtons) {
        shown << text;
        return QMessageBox::Yes;
    });
    UiServices::SetBeepHook([&] { ++beeps; });
    DesktopUserInterface ui;
    ui.ShowError(QStringLiteral("a"));
    EXPECT_TRUE(ui.ConfirmYesNo(QStringLiteral("b")));
    ui.Beep();
    UiServices::SetMessageBoxHook(nullptr);
    UiServices::SetBeepHook(nullptr);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(beeps, 1);
}

TEST(DesktopUserInterface, WaitCursorOffRestoresTheNormalCursorAtOnce)
{
    DesktopUserInterface ui;
    ui.WaitCursor(true);
    ui.WaitCursor(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.WaitCursor(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
