#include "controls/TAlignedEdit.h"

#include "platform/rtl/EConvertError.h"
#include "platform/rtl/FormatSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A shown window with the edit and a second edit to move the focus to; the decimal
// separator is a comma, as on a Latvian machine.
class EditAligned : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormatSettings fs = FormatSettings::Invariant();
        fs.DecimalSeparator = QLatin1Char(',');
        FormatSettings::SetDefault(fs);
        TAlignedEdit::BeepProc() = [this] { ++Beeps; };
        Edit = new TAlignedEdit(&Window);
        Edit->setObjectName("edtMaxNovirze");
        Other = new QLineEdit(&Window);
        Other->move(0, 40);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        QApplication::setActiveWindow(&Window);
    }
    void TearDown() override
    {
        TAlignedEdit::BeepProc() = [] { QApplication::beep(); };
        FormatSettings::SetDefault(FormatSettings::Invariant());
    }
    void Leave()
    {
        Edit->setFocus();
        QApplication::processEvents();
        Other->setFocus();
        QApplication::processEvents();
    }

    QWidget Window;
    TAlignedEdit* Edit = nullptr;
    QLineEdit* Other = nullptr;
    int Beeps = 0;
};

} // namespace

TEST_F(EditAligned, LeavingReformatsWithTheDisplayFormat)
{
    struct Case {
        QString Format;
        bool Positive;
        QString Text;
        QString Shown;
    };
    const Case cases[] = {
        { "", true, "-5", "5" },
        { "", false, "-5", "-5" },
        { "", false, "", "0" },
        { "", false, " 20 ", "20" },
        { "", false, "2,5", "2,5" },
        { "00", false, "7", "07" },
        // "." is a decimal mark as well as the separator.
        { "", false, "1.5", "1,5" },
        { "0.00", false, "1,005", "1,01" },
    };
    Edit->SetOnlyNumeric(true);
    int exits = 0;
    QString textAtExit;
    Edit->OnExit = [&](TAlignedEdit* s) {
        ++exits;
        textAtExit = s->text();
    };
    for (const Case& c : cases) {
        Edit->SetDisplayFormat(c.Format);
        Edit->SetOnlyPositiveOrZero(c.Positive);
        Edit->setText(c.Text);
        Leave();
        EXPECT_EQ(Edit->text(), c.Shown) << c.Text.toStdString();
        EXPECT_EQ(textAtExit, c.Shown) << "the exit event comes after the reformatting";
    }
    EXPECT_EQ(exits, static_cast<int>(std::size(cases)));

    // Another window taking the focus for a while does not leave the edit.
    Edit->setFocus();
    Edit->setText("-7");
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(Edit, &away);
    EXPECT_EQ(Edit->text(), "-7");
    EXPECT_EQ(exits, static_cast<int>(std::size(cases)));
}

TEST_F(EditAligned, TypingAcceptsOnlyWhatMakesANumber)
{
    Edit->SetOnlyNumeric(true);
    Edit->setText("");
    Edit->setFocus();
    QTest::keyClicks(Edit, "1a2,3,");
    EXPECT_EQ(Edit->text(), "12,3");
    EXPECT_EQ(Beeps, 2) << "a letter and a second decimal separator";
    // "-" only at the start.
    Edit->setCursorPosition(1);
    QTest::keyClick(Edit, Qt::Key_Minus);
    EXPECT_EQ(Edit->text(), "12,3");
    EXPECT_EQ(Beeps, 3);
    Edit->setCursorPosition(0);
    QTest::keyClick(Edit, Qt::Key_Minus);
    EXPECT_EQ(Edit->text(), "-12,3");
    // "." is let through even though it is not the separator.
    Edit->setText("");
    QTest::keyClicks(Edit, "1.5");
    EXPECT_EQ(Edit->text(), "1.5");
    // Backspace and Ctrl-held keys go through.
    QTest::keyClick(Edit, Qt::Key_Backspace);
    EXPECT_EQ(Edit->text(), "1.");
    // Not zero or positive only: "-" is refused anywhere.
    Edit->SetOnlyPositiveOrZero(true);
    Edit->setText("");
    QTest::keyClick(Edit, Qt::Key_Minus);
    EXPECT_EQ(Edit->text(), "");
    // A plain edit takes anything.
    Edit->SetOnlyNumeric(false);
    QTest::keyClicks(Edit, "abc");
    EXPECT_EQ(Edit->text(), "abc");
}

TEST_F(EditAligned, PasteThatIsNoNumberIsUndone)
{
    Edit->SetOnlyNumeric(true);
    Edit->setText("12");
    Edit->setFocus();
    Edit->setSelection(0, 1);
    QApplication::clipboard()->setText("abc");
    QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit->text(), "12");
    EXPECT_EQ(Edit->selectionStart(), 0);
    EXPECT_EQ(Edit->selectedText(), "1");
    EXPECT_EQ(Beeps, 1);
    QApplication::clipboard()->setText("3,5");
    Edit->setCursorPosition(2);
    QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit->text(), "123,5");
    Edit->setText("");
    QApplication::clipboard()->setText("-");
    QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit->text(), "-");
    EXPECT_EQ(Beeps, 1);
}

TEST_F(EditAligned, AlignedWhileNotFocusedLeftWhileTyping)
{
    Edit->SetOnlyNumeric(true);
    EXPECT_EQ(Edit->Alignment(), TAlignment::taRightJustify);
    Other->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(Edit->alignment() & Qt::AlignRight);
    Edit->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(Edit->alignment() & Qt::AlignLeft);
    Other->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(Edit->alignment() & Qt::AlignRight);
    Edit->SetAlignment(TAlignment::taCenter);
    EXPECT_TRUE(Edit->alignment() & Qt::AlignHCenter);
    Edit->SetOnlyNumeric(false);
    EXPECT_EQ(Edit->Alignment(), TAlignment::taLeftJustify);
}

TEST_F(EditAligned, ValueReadsAndWritesTheNumber)
{
    Edit->setText(Edit->objectName());
    Edit->SetOnlyNumeric(true);
    EXPECT_EQ(Edit->text(), "0") << "the designer's default text becomes 0";
    Edit->setText("20");
    EXPECT_DOUBLE_EQ(Edit->Value(), 20.0);
    Edit->SetValue(2.5);
    EXPECT_EQ(Edit->text(), "2,5");
    // A new display format applies at once while the edit is not being typed into.
    Other->setFocus();
    QApplication::processEvents();
    Edit->SetDisplayFormat("0.00");
    EXPECT_EQ(Edit->text(), "2,50");
    for (const char* bad : { "", "abc", "1.5,2", "-" }) {
        Edit->setText(bad);
        EXPECT_THROW(Edit->Value(), EConvertError) << bad;
    }
    Edit->setText("1.5");
    EXPECT_DOUBLE_EQ(Edit->Value(), 1.5);
}

TEST_F(EditAligned, LeavingWithoutANumberPutsBackTheLastOne)
{
    Edit->SetOnlyNumeric(true);
    Edit->setText("15");
    struct Case {
        const char* Typed;
        QString Shown;
        int Beeps;
    };
    // Each text is typed over a selected "15"; the edit is then left.
    const Case cases[] = {
        { "-", "15", 1 },
        { ".", "15", 1 },
        { "7", "7", 0 },
        { "-.", "7", 1 },
    };
    for (const Case& c : cases) {
        Beeps = 0;
        Edit->setFocus();
        QApplication::processEvents();
        Edit->selectAll();
        QTest::keyClicks(Edit, c.Typed);
        Other->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(Edit->text(), c.Shown) << c.Typed;
        EXPECT_EQ(Beeps, c.Beeps) << c.Typed;
        EXPECT_NO_THROW(Edit->Value()) << c.Typed;
    }
    // Set by the program: the value to come back to.
    Edit->setText("3");
    Edit->setText("-");
    Edit->FormatNumericText();
    EXPECT_EQ(Edit->text(), "3");
}

TEST_F(EditAligned, TypingRefusesWhatCanNeverBeANumber)
{
    struct Case {
        QString Start;
        int Caret;
        QString Typed;
        Qt::KeyboardModifiers Mods;
        QString Result;
    };
    const Case cases[] = {
        { "1.5", 3, ",", Qt::NoModifier, "1.5" },          // one decimal mark, either kind
        { "1,5", 3, ".", Qt::NoModifier, "1,5" },
        { "-5", 0, "-", Qt::NoModifier, "-5" },            // one sign
        { "", 0, "@", Qt::ControlModifier | Qt::AltModifier, "" }, // AltGr types a character
        { "", 0, "7", Qt::ControlModifier | Qt::AltModifier, "7" },
        { "214748364", 9, "7", Qt::NoModifier, "2147483647" }, // the 32-bit range
        { "214748364", 9, "8", Qt::NoModifier, "214748364" },
        { "-214748364", 10, "9", Qt::NoModifier, "-214748364" },
        { "2147483647", 10, ",", Qt::NoModifier, "2147483647," },
    };
    Edit->SetOnlyNumeric(true);
    Edit->setFocus();
    for (const Case& c : cases) {
        Beeps = 0;
        Edit->setText(c.Start);
        Edit->setCursorPosition(c.Caret);
        QTest::keyClick(Edit, c.Typed.at(0).toLatin1(), c.Mods);
        EXPECT_EQ(Edit->text(), c.Result) << c.Start.toStdString() << " + " << c.Typed.toStdString();
        EXPECT_EQ(Beeps, c.Result == c.Start ? 1 : 0) << c.Start.toStdString() << " + " << c.Typed.toStdString();
    }
    // A paste past the range is undone too.
    Beeps = 0;
    Edit->setText("1");
    Edit->setCursorPosition(1);
    QApplication::clipboard()->setText("0000000000");
    QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit->text(), "1");
    EXPECT_EQ(Beeps, 1);
}
