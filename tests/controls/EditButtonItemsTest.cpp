#include "controls/TKpEditButtonItems.h"

#include "platform/rtl/Exception.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// A role that counts clicks and shows its button only while allowed.
class TCountingRole : public TKpEditButtonItemRole {
public:
    using TKpEditButtonItemRole::TKpEditButtonItemRole;
    void CanShow(TKpEditButtonItem*, bool& ACanShow) override { ACanShow = Allowed; }
    void Click(TKpEditButtonItem*) override { ++Clicks; }
    static inline int Clicks = 0;
    static inline bool Allowed = true;
};

struct RoleRegistration {
    RoleRegistration()
    {
        EditButtonItemRoles()["Counting"] = [](TKpEditButtonItem* i) { return std::make_unique<TCountingRole>(i); };
    }
    ~RoleRegistration() { EditButtonItemRoles().erase("Counting"); }
};

} // namespace

TEST(EditButtonItems, ButtonsFromTheRightEndWithTheTextStoppingBefore)
{
    QLineEdit edit;
    edit.setFrame(false);
    edit.resize(120, 17);
    TKpEditButtonItems items(&edit);
    TKpEditButtonItem* first = items.Add();
    TKpEditButtonItem* last = items.Add();
    const int w = items.ClientRect().width();
    EXPECT_EQ(last->Button()->geometry(), QRect(w - 18, 0, 18, 18));
    EXPECT_EQ(first->Button()->geometry(), QRect(w - 18 - 19, 0, 18, 18));
    EXPECT_EQ(edit.textMargins().right(), 38);

    // An item that may not show takes no room.
    last->OnCanShow = [](TKpEditButtonItem*, bool& can) { can = false; };
    items.ArrangeButtons();
    EXPECT_TRUE(last->Button()->isHidden());
    EXPECT_EQ(first->Button()->x(), w - 18);
    EXPECT_EQ(edit.textMargins().right(), 19);

    // Hints, with the shortcut appended when asked.
    first->SetHint("Izvēlēties");
    EXPECT_TRUE(first->ShowHint());
    first->SetShortCut(QKeySequence(Qt::Key_F4));
    items.SetShortCutInHint(true);
    EXPECT_EQ(first->Button()->Hint(), "Izvēlēties (F4)");
    items.SetHideWhenNotFocused(true);
    EXPECT_TRUE(first->Button()->isHidden());
}

TEST(EditButtonItems, RolesByName)
{
    RoleRegistration registration;
    QLineEdit edit;
    edit.setObjectName("edtKods");
    TKpEditButtonItems items(&edit);
    TKpEditButtonItem* item = items.Add();
    TCountingRole::Clicks = 0;
    item->SetRole("Counting");
    item->Click();
    EXPECT_EQ(TCountingRole::Clicks, 1);
    TCountingRole::Allowed = false;
    EXPECT_FALSE(item->Visible());
    TCountingRole::Allowed = true;
    try {
        item->SetRole("counting");
        FAIL() << "letter case counts";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QString("Unknown button item RoleName \"counting\" for edit \"edtKods\"!"));
    }
    EXPECT_EQ(item->Role(), "Counting") << "the previous role stays";
    // Copying an item copies its role.
    TKpEditButtonItem* copy = items.Add();
    copy->Assign(*item);
    copy->Click();
    EXPECT_EQ(TCountingRole::Clicks, 2);
    // Without a role, click and show fall back to no handlers.
    item->SetRole("");
    EXPECT_EQ(item->RoleImpl(), nullptr);
    item->Click();
    EXPECT_EQ(TCountingRole::Clicks, 2);
    TCountingRole::Allowed = false;
    EXPECT_TRUE(item->Visible());
    // The copy keeps a role object of its own, alive after the source's went.
    EXPECT_FALSE(copy->Visible());
    TCountingRole::Allowed = true;
    copy->Click();
    EXPECT_EQ(TCountingRole::Clicks, 3);
}
