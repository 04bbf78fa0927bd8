#include "controls/TKpBtnPnl.h"
#include "controls/TtbtnKp.h"

#include "platform/rtl/Exception.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QWidget* Button(TKpBtnPnl* APanel, const QString& AName, int AX, int AWidth, int AHeight = 23)
{
    auto* b = new TtbtnKp(APanel);
    b->setObjectName(AName);
    b->setGeometry(AX, 5, AWidth, AHeight);
    return b;
}

// The column chooser's bottom bar: two buttons centred with a wide gap.
std::unique_ptr<TKpBtnPnl> ChooserBar()
{
    auto pnl = std::make_unique<TKpBtnPnl>();
    pnl->resize(510, 40);
    pnl->SetControlStep(20);
    Button(pnl.get(), "btnOK", 160, 75);
    Button(pnl.get(), "btnCancel", 260, 75);
    pnl->ArrangeControls(false);
    return pnl;
}

// The search window's top bar: an edit and three tool buttons from the left.
std::unique_ptr<TKpBtnPnl> SearchBar()
{
    auto pnl = std::make_unique<TKpBtnPnl>();
    pnl->SetAlign(TAlign::alTop);
    pnl->SetCenterControls(false);
    pnl->resize(290, 40);
    auto* edit = new QLineEdit(pnl.get());
    edit->setObjectName("edtSearch");
    edit->setGeometry(2, 6, 202, 21);
    Button(pnl.get(), "btnToEnd", 210, 25);
    Button(pnl.get(), "btnToStart", 238, 24);
    Button(pnl.get(), "btnFromStart", 265, 24);
    pnl->ArrangeControls(false);
    return pnl;
}

QWidget* Child(TKpBtnPnl& APanel, const char* AName)
{
    return APanel.findChild<QWidget*>(AName);
}

} // namespace

TEST(BtnPnl, DesignedBarsComeOutToThePixel)
{
    auto chooser = ChooserBar();
    EXPECT_EQ(Child(*chooser, "btnOK")->pos(), QPoint(170, 7));
    EXPECT_EQ(Child(*chooser, "btnCancel")->pos(), QPoint(265, 7));
    EXPECT_EQ(chooser->height(), 34);

    auto search = SearchBar();
    EXPECT_EQ(Child(*search, "edtSearch")->pos(), QPoint(4, 8));
    EXPECT_EQ(Child(*search, "btnToEnd")->pos(), QPoint(209, 7));
    EXPECT_EQ(Child(*search, "btnToStart")->pos(), QPoint(237, 7));
    EXPECT_EQ(Child(*search, "btnFromStart")->pos(), QPoint(264, 7));
    EXPECT_EQ(search->height(), 34);
}

TEST(BtnPnl, OrderFollowsDesignPositionsNotCreationOrder)
{
    TKpBtnPnl pnl;
    pnl.resize(300, 40);
    pnl.SetCenterControls(false);
    QWidget* second = Button(&pnl, "b2", 100, 30);
    QWidget* first = Button(&pnl, "b1", 10, 30);
    pnl.ArrangeControls(false);
    EXPECT_EQ(pnl.LeftControls().Items(), (QList<QWidget*> { first, second }));
    EXPECT_EQ(first->x(), 4);
    EXPECT_EQ(second->x(), 37);
}

TEST(BtnPnl, HiddenControlKeepsItsPlaceButTakesNoLength)
{
    auto search = SearchBar();
    QWidget* toEnd = Child(*search, "btnToEnd");
    toEnd->hide();
    search->ArrangeControls(false);
    EXPECT_EQ(Child(*search, "btnToStart")->x(), 209);
    EXPECT_EQ(toEnd->x(), 209) << "positioned, but takes no room";
    EXPECT_EQ(search->LeftControls().IndexOf(toEnd), 1);
    // Showing it again re-arranges (on the next turn of the event loop).
    toEnd->show();
    QApplication::processEvents();
    EXPECT_EQ(toEnd->x(), 209);
    EXPECT_EQ(Child(*search, "btnToStart")->x(), 237);
}

TEST(BtnPnl, WrapNeedsAutoSize)
{
    TKpBtnPnl pnl;
    pnl.SetAutoSize(false);
    EXPECT_FALSE(pnl.AutoSize());
    pnl.SetWrap(true);
    EXPECT_TRUE(pnl.AutoSize());
    pnl.SetAutoSize(false);
    EXPECT_TRUE(pnl.AutoSize()) << "refused while wrapping";

    // Too narrow for three buttons: they go on two lines and the panel grows.
    pnl.resize(100, 30);
    pnl.SetCenterControls(false);
    Button(&pnl, "a", 0, 40);
    Button(&pnl, "b", 50, 40);
    QWidget* c = Button(&pnl, "c", 90, 40);
    pnl.ArrangeControls(false);
    EXPECT_EQ(Child(pnl, "a")->pos(), QPoint(4, 7));
    EXPECT_EQ(Child(pnl, "b")->pos(), QPoint(47, 7));
    EXPECT_EQ(c->pos(), QPoint(4, 33));
    EXPECT_EQ(pnl.height(), 60);
}

TEST(BtnPnl, InsertAndPlaceControls)
{
    auto chooser = ChooserBar();
    QWidget* ok = Child(*chooser, "btnOK");
    auto* extra = new TtbtnKp;
    extra->setObjectName("btnExtra");
    chooser->InsertAfter(extra, ok);
    EXPECT_EQ(chooser->LeftControls().IndexOf(extra), 1);
    EXPECT_EQ(extra->parentWidget(), chooser.get());

    auto* first = new TtbtnKp;
    chooser->PlaceControl(first, TControlPlacement::cpFirstLeft);
    EXPECT_EQ(chooser->LeftControls().IndexOf(first), 0);
    // Right-hand placement becomes last-left while centred.
    auto* right = new TtbtnKp;
    chooser->PlaceControl(right, TControlPlacement::cpFirstRight);
    EXPECT_EQ(chooser->LeftControls().Items().last(), right);
    EXPECT_EQ(chooser->RightControls().Count(), 0);

    auto* before = new TtbtnKp;
    chooser->InsertBefore(before, ok);
    EXPECT_EQ(chooser->LeftControls().IndexOf(before), chooser->LeftControls().IndexOf(ok) - 1);
    // Laid out in that order.
    const auto items = chooser->LeftControls().Items();
    for (int i = 1; i < items.size(); ++i)
        EXPECT_LT(items[i - 1]->x(), items[i]->x());
}

TEST(BtnPnl, FirstRightControlSplitsTheGroups)
{
    auto search = SearchBar();
    QWidget* toStart = Child(*search, "btnToStart");
    search->resize(400, search->height());
    search->SetFstRightControl(toStart);
    EXPECT_EQ(search->FstRightControl(), toStart);
    EXPECT_EQ(search->LeftControls().Count(), 2);
    EXPECT_EQ(search->RightControls().Count(), 2);
    // The right group ends one border before the panel's end.
    EXPECT_EQ(Child(*search, "btnFromStart")->x(), 400 - 1 - 3 - 24);
    EXPECT_EQ(toStart->x(), 400 - 1 - 3 - 24 - 3 - 24);
    EXPECT_FALSE(search->CenterControls());
    search->SetFstRightControl(nullptr);
    EXPECT_EQ(search->RightControls().Count(), 0);
    EXPECT_EQ(search->LeftControls().Count(), 4);

    TKpBtnPnl other;
    QWidget* foreign = Button(&other, "x", 0, 20);
    try {
        search->SetFstRightControl(foreign);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QString("Kļūda! Komponentei jāatrodas uz paneļa"));
    }
}

TEST(BtnPnl, ControlSizesTextRoundTrips)
{
    auto search = SearchBar();
    EXPECT_EQ(search->GetControlSizesString(), "edtSearch:202;");
    search->SetControlSizesString("edtSearch:100;");
    EXPECT_EQ(Child(*search, "edtSearch")->width(), 100);
    EXPECT_EQ(Child(*search, "btnToEnd")->x(), 4 + 100 + 3);
    for (const char* ignored : { "edtNone:150;", "edtSearch:abc;", "edtSearch;", ":120;", "btnToEnd:90;",
                                 "EDTSEARCH:150;", "edtSearch:10;" })
        search->SetControlSizesString(ignored);
    EXPECT_EQ(Child(*search, "edtSearch")->width(), 100);
    search->SetControlSizesString(" edtSearch : 202 ;");
    EXPECT_EQ(Child(*search, "edtSearch")->width(), 202);

    TKpBtnPnl outer;
    auto* inner = new TKpBtnPnl(&outer);
    inner->setObjectName("pnlInner");
    auto* e = new QLineEdit(inner);
    e->setObjectName("edtA");
    e->resize(80, 21);
    EXPECT_EQ(outer.GetControlSizesString(), "pnlInner(edtA:80;);");
}

TEST(BtnPnl, DraggingAnEditsRightEdgeResizesIt)
{
    auto search = SearchBar();
    search->SetResizeControls(true);
    search->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(search.get()));
    QWidget* edit = Child(*search, "edtSearch");
    const int edge = edit->x() + edit->width();
    QTest::mouseMove(search.get(), QPoint(edge + 1, 15));
    QTest::mousePress(search.get(), Qt::LeftButton, {}, QPoint(edge + 1, 15));
    QTest::mouseMove(search.get(), QPoint(edge - 49, 15));
    QTest::mouseRelease(search.get(), Qt::LeftButton, {}, QPoint(edge - 49, 15));
    EXPECT_EQ(edit->width(), 152);
    bool asked = false;
    search->OnCanResizeControl = [&](TKpBtnPnl*, QWidget*, int, bool& can) {
        asked = true;
        can = false;
    };
    EXPECT_FALSE(search->CanResizeControl(edit, 120));
    EXPECT_TRUE(asked);
    EXPECT_FALSE(search->DefaultCanResizeControl(Child(*search, "btnToEnd"), -100));
    EXPECT_FALSE(search->DefaultCanResizeControl(edit, 16));
}

TEST(BtnPnl, ReadFromAFormWithTheFirstRightControlNamed)
{
    TKpBtnPnl pnl;
    pnl.resize(400, 40);
    pnl.BeginLoading();
    pnl.SetCenterControls(false);
    Button(&pnl, "a", 5, 30);
    Button(&pnl, "b", 40, 30);
    QWidget* c = Button(&pnl, "c", 300, 30);
    QWidget* d = Button(&pnl, "d", 340, 30);
    pnl.SetFstRightControl(c);
    EXPECT_EQ(pnl.RightControls().Count(), 0) << "only remembered while reading";
    pnl.Loaded();
    EXPECT_EQ(pnl.FstRightControl(), c);
    EXPECT_EQ(pnl.RightControls().Items(), (QList<QWidget*> { c, d }));
    EXPECT_EQ(d->x(), 400 - 1 - 3 - 30);
    EXPECT_EQ(c->x(), 400 - 1 - 3 - 30 - 3 - 30);
    EXPECT_EQ(Child(pnl, "b")->x(), 37);
}

TEST(BtnPnl, VerticalPanelArrangesDownwards)
{
    TKpBtnPnl pnl;
    pnl.SetAlign(TAlign::alLeft);
    pnl.SetSeperated(false);
    pnl.resize(40, 300);
    EXPECT_FALSE(pnl.Horizontal());
    QWidget* a = Button(&pnl, "a", 0, 30, 20);
    a->move(5, 50);
    QWidget* b = Button(&pnl, "b", 0, 24, 20);
    b->move(5, 10);
    pnl.SetCenterControls(false);
    pnl.ArrangeControls(false);
    EXPECT_EQ(b->pos(), QPoint(4 + (30 - 24 + 1) / 2, 4)) << "b comes first and is centred across";
    EXPECT_EQ(a->pos(), QPoint(4, 4 + 20 + 3));
    EXPECT_EQ(pnl.width(), 1 + 3 + 30 + 3 + 1);
}

TEST(BtnPnl, RightGroupWrapsBelowWhenTheLineIsTooShort)
{
    TKpBtnPnl pnl;
    pnl.SetCenterControls(false);
    pnl.SetWrap(true);
    pnl.resize(100, 40);
    QWidget* a = Button(&pnl, "a", 5, 40);
    QWidget* b = Button(&pnl, "b", 50, 40);
    pnl.ArrangeControls(false);
    pnl.SetFstRightControl(b);
    EXPECT_FALSE(pnl.Wrapped());
    EXPECT_EQ(a->pos(), QPoint(4, 7));
    EXPECT_EQ(b->pos(), QPoint(56, 7));
    EXPECT_EQ(pnl.height(), 34);

    pnl.resize(80, pnl.height());
    pnl.ArrangeControls(true);
    EXPECT_TRUE(pnl.Wrapped());
    EXPECT_EQ(a->pos(), QPoint(4, 7));
    EXPECT_EQ(b->pos(), QPoint(36, 33));
    EXPECT_EQ(pnl.height(), 60);
}
