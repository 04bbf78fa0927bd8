#include "base/KpUt.h"

#include <QAbstractButton>
#include <QApplication>
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
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;

    void Arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(button)->click();
        });
    }
};

TEST(KpUtDialogs, ErrorAndConfirmation)
{
    BoxAnswer ok(QMessageBox::Ok);
    ok.Arm();
    KpUt::ShowUserError(QStringLiteral("Kļūda"));
    EXPECT_EQ(ok.text, QStringLiteral("Kļūda"));
    EXPECT_EQ(ok.icon, QMessageBox::Critical);
    EXPECT_EQ(ok.buttons, QMessageBox::Ok);

    BoxAnswer yes(QMessageBox::Yes);
    yes.Arm();
    EXPECT_EQ(KpUt::ConfirmYesNo(QStringLiteral("Turpināt?"), false), KpUt::mrYes);
    EXPECT_EQ(yes.icon, QMessageBox::Question);
    EXPECT_EQ(yes.buttons, QMessageBox::Yes | QMessageBox::No);

    BoxAnswer no(QMessageBox::No);
    no.Arm();
    EXPECT_EQ(KpUt::ConfirmYesNo(QStringLiteral("Turpināt?")), KpUt::mrNo);
}

} // namespace
