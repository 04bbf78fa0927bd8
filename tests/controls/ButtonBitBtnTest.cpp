#include "controls/TKpBitBtn.h"

#include "platform/rtl/ERangeError.h"

#include <QTest>
#include <cmath>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

TEST(ButtonBitBtn, TogglableClickedTwiceEndsUncheckedWithTwoClicks)
{
    QWidget window;
    auto* b = new TKpBitBtn(&window);
    b->setGeometry(10, 10, 75, 23);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    b->SetTogglable(true);
    int clicks = 0;
    std::vector<bool> checkedAtClick;
    b->OnClick = [&](TKpBitBtn* s) {
        ++clicks;
        checkedAtClick.push_back(s->Checked());
    };
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->Checked());
    b->Click();
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(clicks, 2);
    // Checked is already inverted when the click is reported.
    EXPECT_EQ(checkedAtClick, (std::vector<bool> { true, false }));

    // Not togglable: clicks leave Checked alone.
    b->SetTogglable(false);
    b->SetChecked(true);
    EXPECT_TRUE(b->Checked());
    b->Click();
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(clicks, 3);
}

TEST(ButtonBitBtn, ImageNameAssignAndScale)
{
    TKpBitBtn a;
    a.SetImageName("right");
    EXPECT_EQ(a.ImageName(), "RIGHT");
    EXPECT_FALSE(a.icon().isNull());
    EXPECT_EQ(a.iconSize(), QSize(16, 16));
    a.SetTogglable(true);
    a.SetChecked(true);
    a.setText("Pa labi");

    TKpBitBtn b;
    b.Assign(a);
    EXPECT_EQ(b.ImageName(), "RIGHT");
    EXPECT_TRUE(b.Togglable());
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(b.text(), "Pa labi");

    a.SetScale(1.5);
    EXPECT_EQ(a.ScaleFactor().Numerator, 144);
    EXPECT_EQ(a.ScaleFactor().Denominator, 96);
    EXPECT_EQ(a.iconSize(), QSize(24, 24));
    a.SetImageName("");
    EXPECT_TRUE(a.icon().isNull());
    // Sizes are divided by the scale: a scale that is no positive number is refused.
    for (double bad : { 0.0, -1.0, std::nan("") })
        EXPECT_THROW(a.SetScale(bad), ERangeError);
    EXPECT_EQ(a.Scale(), 1.5);
}

TEST(ButtonBitBtn, CheckedLookIsWhiteInside)
{
    TKpBitBtn b;
    b.resize(75, 23);
    b.SetTogglable(true);
    const QImage plain = b.grab().toImage();
    b.SetChecked(true);
    const QImage checked = b.grab().toImage();
    EXPECT_EQ(checked.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_NE(plain.pixelColor(10, 10), QColor(Qt::white));
}
