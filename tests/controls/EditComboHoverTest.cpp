#include "controls/THoverLabel.h"
#include "controls/TKpComboBox.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

// An item text at least APixels wide in the box's font.
QString TextOfWidth(const QWidget& ABox, int APixels)
{
    const QFontMetrics fm(ABox.font());
    QString s;
    while (fm.horizontalAdvance(s) < APixels)
        s += QLatin1Char('W');
    return s;
}

} // namespace

TEST(EditCombo, DropDownWidthFollowsTheWidestItemUpToThreeTimesTheBox)
{
    TKpComboBox box;
    box.resize(100, 21);
    box.SetDropDownCount(8);
    for (int i = 0; i < 10; ++i)
        box.addItem(QStringLiteral("x"));
    box.addItem(TextOfWidth(box, 420));
    box.UpdateAutoDropDownWidth();
    EXPECT_EQ(box.GetDropDownWidth(), 300);

    TKpComboBox narrow;
    narrow.resize(100, 21);
    narrow.SetDropDownCount(8);
    for (int i = 0; i < 10; ++i)
        narrow.addItem(QStringLiteral("x"));
    const QString item = TextOfWidth(narrow, 150);
    narrow.addItem(item);
    narrow.UpdateAutoDropDownWidth();
    const int scrollBar = narrow.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &narrow);
    EXPECT_EQ(narrow.GetDropDownWidth(), QFontMetrics(narrow.font()).horizontalAdvance(item) + 6 + scrollBar);
    // It never shrinks.
    narrow.clear();
    narrow.UpdateAutoDropDownWidth();
    EXPECT_GT(narrow.GetDropDownWidth(), 150);

    // A fixed width turns the automatic one off; 0 turns it on again.
    narrow.SetDropDownWidth(250);
    EXPECT_FALSE(narrow.UseAutoDropDownWidth());
    EXPECT_EQ(narrow.GetDropDownWidth(), 250);
    narrow.SetDropDownWidth(0);
    EXPECT_TRUE(narrow.UseAutoDropDownWidth());
}

TEST(EditCombo, MaxItemWidthStopsAtTheCap)
{
    TKpComboBox box;
    box.addItems({ "a", TextOfWidth(box, 500), "b" });
    EXPECT_EQ(box.MaxItemWidth(100), 100);
    EXPECT_EQ(TKpComboBox().MaxItemWidth(100), 0);
}

TEST(EditCombo, DropDownListKeepsItsDesignedHeightWhenScaled)
{
    TKpComboBox box;
    box.resize(120, 21);
    box.Loaded();
    EXPECT_EQ(box.LoadedHeight(), 21);
    EXPECT_EQ(box.height(), 21);
    box.SetScale(1.5);
    EXPECT_EQ(box.LoadedHeight(), 32) << "31.5 rounds half to even";
    EXPECT_EQ(box.height(), 32);
    QFont f = box.font();
    f.setPixelSize(12);
    box.setFont(f);
    box.SetScale(3.0);
    EXPECT_EQ(box.font().pixelSize(), 24);
    EXPECT_EQ(box.height(), 64);
}

TEST(EditHoverLabel, ShowsLinkSwapsFontAndOpensLink)
{
    THoverLabel label;
    label.setObjectName("lblLink");
    label.SetCaption("lblLink");
    label.SetHREF("/tmp/Tabula1.ods");
    EXPECT_EQ(label.text(), "/tmp/Tabula1.ods") << "caption equal to the name shows the link";
    label.SetCaption("Atvērt mapi");
    EXPECT_EQ(label.text(), "Atvērt mapi");

    QFont hover = label.font();
    hover.setUnderline(true);
    label.SetHoverFont(hover);
    label.MouseEnter();
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.toolTip(), "/tmp/Tabula1.ods");
    label.MouseLeave();
    EXPECT_FALSE(label.font().underline());
    EXPECT_EQ(label.toolTip(), "");

    QStringList opened;
    auto saved = THoverLabel::OpenProc();
    THoverLabel::OpenProc() = [&](const QString& h) { opened << h; };
    label.Click();
    EXPECT_EQ(opened, QStringList { "/tmp/Tabula1.ods" });
    // A blank link opens nothing; an OnClick handler replaces the opening.
    label.SetHREF("  ");
    label.Click();
    int clicks = 0;
    label.SetHREF("/tmp/x");
    label.OnClick = [&](THoverLabel*) { ++clicks; };
    label.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(opened.size(), 1);
    THoverLabel::OpenProc() = saved;
}
