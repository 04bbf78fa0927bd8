#include "controls/TLinkEdit.h"
#include "controls/TPopupWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QToolButton>
#include "platform/rtl/Exception.h"
#include <gtest/gtest.h>

namespace {

// A pop-up that offers one fixed value and remembers what it was given.
class TChoicePopup : public TPopupWindow {
public:
    using TPopupWindow::TPopupWindow;
    Value GetValue() override { return Value(QStringLiteral("Izvēlēts")); }
    void SetValue(const Value& AValue) override { Received = AValue.AsString(); }
    QString Received;
};

class EditLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        Edit = new TLinkEdit(&Window);
        Edit->setGeometry(10, 10, 150, 21);
        Other = new QLineEdit(&Window);
        Other->move(10, 50);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        QApplication::setActiveWindow(&Window);
        Other->setFocus();
    }
    QWidget Window;
    TLinkEdit* Edit = nullptr;
    QLineEdit* Other = nullptr;
};

} // namespace

TEST_F(EditLink, ButtonWithoutPopupFiresTheEventOrOnlyFocuses)
{
    EXPECT_EQ(Edit->Button()->text(), "...");
    Edit->DoClick();
    EXPECT_TRUE(Edit->hasFocus()) << "nothing else to do: the edit is focused";
    int clicks = 0;
    Edit->OnButtonClick = [&](TCustomLinkEdit*) { ++clicks; };
    QTest::keyClick(Edit, Qt::Key_F4);
    QTest::keyClick(Edit, Qt::Key_Down, Qt::AltModifier);
    QTest::mouseClick(Edit->Button(), Qt::LeftButton);
    EXPECT_EQ(clicks, 3);
    // Read only: the button does nothing, F8 does not clear, paste does nothing.
    Edit->setText("A1");
    Edit->SetReadOnly(true);
    QTest::keyClick(Edit, Qt::Key_F4);
    QTest::keyClick(Edit, Qt::Key_F8);
    QApplication::clipboard()->setText("X");
    QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(Edit->text(), "A1");
    Edit->SetReadOnly(false);
    QTest::keyClick(Edit, Qt::Key_F8);
    EXPECT_EQ(Edit->text(), "");
}

TEST_F(EditLink, WithoutDirectInputTypingIsIgnoredAndCutOnlyCopies)
{
    Edit->setText("K10");
    Edit->setFocus();
    Edit->SetDirectInput(false);
    QTest::keyClicks(Edit, "ab");
    QTest::keyClick(Edit, Qt::Key_Delete);
    QTest::keyClick(Edit, Qt::Key_Backspace);
    EXPECT_EQ(Edit->text(), "K10");
    Edit->selectAll();
    QApplication::clipboard()->clear();
    QTest::keyClick(Edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Edit->text(), "K10");
    EXPECT_EQ(QApplication::clipboard()->text(), "K10");
    // Enter and Esc are consumed by the edit, not passed to the window.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Edit, &enter);
    EXPECT_TRUE(enter.isAccepted());
}

TEST_F(EditLink, PasteKeepsTheTextOnOneLine)
{
    struct Case {
        QString Clip;
        QString Text;
    };
    const Case cases[] = {
        { "A\tB\nC", "A B C" },
        { "K10\r\n", "K10  " },
        { QString("A") + QChar(7) + "B", QString("A") + QChar(127) + "B" },
    };
    Edit->setFocus();
    for (const Case& c : cases) {
        Edit->setText("");
        QApplication::clipboard()->setText(c.Clip);
        QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Edit->text(), c.Text) << c.Clip.toStdString();
    }
}

TEST_F(EditLink, ButtonHidesWhileNeitherFocusedNorHovered)
{
    EXPECT_FALSE(Edit->Button()->isVisible());
    Edit->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(Edit->Button()->isVisible());
    Other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(Edit->Button()->isVisible());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(Edit, &enter);
    EXPECT_TRUE(Edit->Button()->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Edit, &leave);
    EXPECT_FALSE(Edit->Button()->isVisible());
    Edit->SetAutoHideButton(false);
    EXPECT_TRUE(Edit->Button()->isVisible());
    Edit->SetShowButton(false);
    EXPECT_FALSE(Edit->Button()->isVisible());
}

TEST_F(EditLink, PopupReceivesTheTextAndReturnsTheChoice)
{
    TChoicePopup* created = nullptr;
    Edit->SetPopupWindowClass([&](TCustomLinkEdit* e) {
        created = new TChoicePopup(e);
        created->resize(120, 80);
        return created;
    });
    Edit->setText("K10");
    Edit->DoClick();
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(Edit->PopupVisible());
    EXPECT_EQ(created->Received, "K10");
    QTest::keyClick(created, Qt::Key_Escape);
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_EQ(Edit->text(), "K10");
    Edit->DoClick();
    QTest::keyClick(created, Qt::Key_Return);
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_EQ(Edit->text(), "Izvēlēts");
    // The base pop-up has no value of its own.
    TPopupWindow plain(Edit);
    EXPECT_THROW(plain.GetValue(), Exception);
}

TEST(EditLinkPopup, PlacedBelowOrAboveAndInsideTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(TCustomLinkEdit::PopupPosition({ 300, 100 }, { 150, 21 }, { 200, 100 }, screen), QPoint(250, 121));
    // Taller than the room below: above the edit.
    EXPECT_EQ(TCustomLinkEdit::PopupPosition({ 300, 700 }, { 150, 21 }, { 200, 100 }, screen), QPoint(250, 600));
    // Wider, near the left edge: left-aligned with the edit.
    EXPECT_EQ(TCustomLinkEdit::PopupPosition({ 10, 100 }, { 150, 21 }, { 200, 100 }, screen), QPoint(10, 121));
}

TEST(EditLinkImage, ImageNameMakesACustomButton)
{
    TLinkEdit e;
    e.SetImageName("dots2");
    EXPECT_EQ(e.ImageName(), "DOTS2");
    EXPECT_EQ(e.GlyphKind(), TGlyphKind::gkCustom);
    EXPECT_FALSE(e.Button()->icon().isNull());
    e.SetImageName("");
    EXPECT_TRUE(e.Glyph().isNull());
    e.SetGlyphKind(TGlyphKind::gkDropDown);
    EXPECT_EQ(e.Button()->arrowType(), Qt::DownArrow);
}
