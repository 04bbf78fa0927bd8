#include "GridTestUtil.h"
#include "SortGridTestUtil.h"
#include "base/TEnumStrings.h"
#include "controls/TKpBitBtn.h"
#include "controls/TtbtnKp.h"
#include "grids/TfrmFldDlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <gtest/gtest.h>

namespace {

// Columns A..D of a grid that keeps a columns description: KOKS_NR, SUGA shown, DATUMS, PIEZ
// hidden, the grid's first layout taken as its defaults.
struct Chooser : ::testing::Test {
    std::unique_ptr<TClientDataSet> ds = MakeTrees(5);
    TDataSource source;
    TDBEditGrid grid;
    std::unique_ptr<TfrmFldDlg> dlg;

    void SetUp() override
    {
        source.SetDataSet(ds.get());
        grid.SetUseColumnsDesc(true);
        for (const char* n : {"KOKS_NR", "SUGA", "DATUMS", "PIEZ"})
            grid.Columns()->Add()->SetFieldName(QString::fromLatin1(n));
        grid.SetDataSource(&source);
        grid.FixDefaultColumns();
        col("DATUMS")->SetVisible(false);
        col("PIEZ")->SetVisible(false);
        Open();
    }
    void Open()
    {
        dlg = std::make_unique<TfrmFldDlg>(&grid);
        TDBEdGridColumns cur(&grid);
        grid.CopyAllColumns(&cur);
        dlg->SetCurrentColumns(&cur);
    }
    TEkColumn* col(const char* n) { return grid.ColumnByFieldName(QString::fromLatin1(n)); }
    static QStringList Names(QListWidget* l)
    {
        QStringList r;
        for (int i = 0; i < l->count(); ++i)
            r << TfrmFldDlg::ItemColumn(l->item(i))->FieldName();
        return r;
    }
    static QStringList Names(TDBEdGridColumns* c)
    {
        QStringList r;
        for (int i = 0; i < c->Count(); ++i)
            r << c->Items(i)->FieldName();
        return r;
    }
    static void Select(QListWidget* l, std::initializer_list<const char*> names)
    {
        l->clearSelection();
        for (int i = 0; i < l->count(); ++i)
            for (const char* n : names)
                if (TfrmFldDlg::ItemColumn(l->item(i))->FieldName() == QLatin1String(n)) {
                    l->setCurrentItem(l->item(i), QItemSelectionModel::Select);
                    break;
                }
    }
    // The lists and the collections behind them agree.
    QStringList Shown()
    {
        EXPECT_EQ(Names(dlg->lstSel), Names(dlg->SelDescs.get()));
        EXPECT_EQ(Names(dlg->lstAll), Names(dlg->AllDescs.get()));
        return Names(dlg->lstSel);
    }
};

TEST_F(Chooser, ListsStartFromTheGridAndAddKeepsTheLeftOrder)
{
    EXPECT_EQ(dlg->windowTitle(), "Kolonnu iestatīšana");
    EXPECT_EQ(Shown(), (QStringList{"KOKS_NR", "SUGA"}));
    EXPECT_EQ(Names(dlg->lstAll), (QStringList{"DATUMS", "PIEZ"}));
    EXPECT_EQ(dlg->lstSel->item(0)->text(), "Koka nr.") << "title captions";

    Select(dlg->lstAll, {"PIEZ"});
    dlg->AddClick();
    Select(dlg->lstAll, {"DATUMS"});
    dlg->AddClick();
    EXPECT_EQ(Shown(), (QStringList{"KOKS_NR", "SUGA", "PIEZ", "DATUMS"})) << "one by one";

    Open();
    Select(dlg->lstAll, {"DATUMS", "PIEZ"});
    QTest::keyClick(dlg->lstAll, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Shown(), (QStringList{"KOKS_NR", "SUGA", "DATUMS", "PIEZ"})) << "together, Alt+Right";
    EXPECT_EQ(dlg->lstAll->count(), 0);
}

TEST_F(Chooser, RemoveLeavesRequiredColumnsAndMovedColumnsComeBack)
{
    col("KOKS_NR")->SetShowState(TEkColumnVisibleState::cvsRequired);
    Open();
    EXPECT_EQ(dlg->lstSel->item(0)->foreground().color(), dlg->palette().color(QPalette::Disabled, QPalette::Text))
        << "required columns are greyed";
    Select(dlg->lstSel, {"KOKS_NR", "SUGA"});
    QTest::keyClick(dlg->lstSel, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Shown(), (QStringList{"KOKS_NR"}));
    EXPECT_EQ(Names(dlg->lstAll), (QStringList{"DATUMS", "PIEZ", "SUGA"})) << "removed ones go to the end";

    // Through the grid's chooser command: a removed column stays available and can return.
    FieldsDialogClass = [](QWidget* owner) -> TFldDlg* {
        struct Auto : TfrmFldDlg {
            using TfrmFldDlg::TfrmFldDlg;
            int ShowModal() override
            {
                Select(lstSel, {"SUGA"});
                RemoveClick();
                Select(lstAll, {"PIEZ"});
                AddClick();
                OkClick();
                return result();
            }
        };
        return new Auto(owner);
    };
    auto restore = qScopeGuard([] { FieldsDialogClass = [](QWidget* o) -> TFldDlg* { return new TfrmFldDlg(o); }; });
    grid.FieldsDialog();
    EXPECT_EQ(Names(grid.Columns()), (QStringList{"KOKS_NR", "PIEZ"}));
    EXPECT_EQ(Names(grid.InvisibleColumns()), (QStringList{"DATUMS", "SUGA"}));
    EXPECT_TRUE(grid.Columns()->DescsModified());
    grid.FieldsDialog();
    EXPECT_EQ(Names(grid.Columns()), (QStringList{"KOKS_NR", "PIEZ"})) << "SUGA could not be removed twice";
    EXPECT_EQ(Names(grid.InvisibleColumns()), (QStringList{"DATUMS", "SUGA"}));
}

TEST_F(Chooser, UpAndDownMoveOneOrTheWholeSelection)
{
    struct Case {
        std::initializer_list<const char*> selected;
        bool up;
        QStringList expected;
    } cases[] = {
        {{"SUGA", "PIEZ"}, true, {"SUGA", "PIEZ", "KOKS_NR", "DATUMS"}},
        {{"SUGA", "PIEZ"}, false, {"KOKS_NR", "DATUMS", "SUGA", "PIEZ"}},
        {{"DATUMS"}, true, {"KOKS_NR", "DATUMS", "SUGA", "PIEZ"}},
        {{"DATUMS"}, false, {"KOKS_NR", "SUGA", "PIEZ", "DATUMS"}},
        {{"KOKS_NR"}, true, {"KOKS_NR", "SUGA", "DATUMS", "PIEZ"}},
        {{"PIEZ"}, false, {"KOKS_NR", "SUGA", "DATUMS", "PIEZ"}},
    };
    for (const Case& c : cases) {
        Open();
        Select(dlg->lstAll, {"DATUMS", "PIEZ"});
        dlg->AddClick();
        Select(dlg->lstSel, c.selected);
        QTest::keyClick(dlg->lstSel, c.up ? Qt::Key_Up : Qt::Key_Down, Qt::AltModifier);
        EXPECT_EQ(Shown(), c.expected) << c.selected.size() << (c.up ? " up" : " down");
        EXPECT_EQ(int(dlg->lstSel->selectedItems().size()), int(c.selected.size())) << "stay selected";
    }
}

TEST_F(Chooser, WidthEditTakesDigitsAndOneMinus)
{
    BeepCounter beeps;
    Select(dlg->lstSel, {"SUGA"});
    dlg->ShowWidth(dlg->lstSel);
    EXPECT_EQ(dlg->edtWidth->text(), QString::number(col("SUGA")->DisplayWidth()));

    dlg->edtWidth->clear();
    QTest::keyClicks(dlg->edtWidth, "1a-2-");
    EXPECT_EQ(dlg->edtWidth->text(), "1-2");
    EXPECT_EQ(beeps.count, 2);
    const int before = dlg->SelDescs->Items(1)->DisplayWidth();
    dlg->ApplyWidth(dlg->lstSel);
    EXPECT_EQ(dlg->SelDescs->Items(1)->DisplayWidth(), before) << "not a number: nothing changes";

    dlg->edtWidth->setText("-1");
    dlg->ApplyWidth(dlg->lstSel);
    EXPECT_TRUE(dlg->SelDescs->Items(1)->AutoSize());
    Select(dlg->lstSel, {"KOKS_NR", "SUGA"});
    dlg->edtWidth->setText("7");
    dlg->ApplyWidth(dlg->lstSel);
    EXPECT_EQ(dlg->SelDescs->Items(0)->DisplayWidth(), 7);
    EXPECT_EQ(dlg->SelDescs->Items(1)->DisplayWidth(), 7);
    dlg->ShowWidth(dlg->lstSel);
    EXPECT_EQ(dlg->edtWidth->text(), "") << "no width shown for a multiple selection";
}

// Whatever moves the selection (a click, the arrows, Shift, Ctrl+A), OK and Enter apply the
// width edit to what it shows: an unchanged edit changes no width.
TEST_F(Chooser, WidthEditFollowsTheSelectionHoweverItChanges)
{
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool enter;
    };
    const Case cases[] = {
        {"Down, OK", Qt::Key_Down, Qt::NoModifier, false},
        {"Shift+Down, OK", Qt::Key_Down, Qt::ShiftModifier, false},
        {"Ctrl+A, OK", Qt::Key_A, Qt::ControlModifier, false},
        {"Down, Enter", Qt::Key_Down, Qt::NoModifier, true},
        {"Shift+Down, Enter", Qt::Key_Down, Qt::ShiftModifier, true},
        {"Ctrl+A, Enter", Qt::Key_A, Qt::ControlModifier, true},
    };
    col("DATUMS")->SetVisible(true);
    for (const Case& c : cases) {
        Open();
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        std::vector<int> before;
        for (int i = 0; i < 3; ++i) {
            dlg->SelDescs->Items(i)->SetDisplayWidth(10 * (i + 1));
            before.push_back(dlg->SelDescs->Items(i)->DisplayWidth());
        }
        dlg->lstSel->setFocus();
        QTest::mouseClick(dlg->lstSel->viewport(), Qt::LeftButton, {},
                          dlg->lstSel->visualItemRect(dlg->lstSel->item(0)).center());
        EXPECT_EQ(dlg->edtWidth->text(), QString::number(before[0])) << c.name;
        QTest::keyClick(dlg->lstSel, c.key, c.mods);
        if (c.enter)
            QTest::keyClick(dlg->lstSel, Qt::Key_Return);
        else
            dlg->btnOK->click();
        EXPECT_EQ(dlg->result(), int(QDialog::Accepted)) << c.name;
        std::vector<int> widths;
        for (int i = 0; i < dlg->SelDescs->Count(); ++i)
            widths.push_back(dlg->SelDescs->Items(i)->DisplayWidth());
        EXPECT_EQ(widths, before) << c.name;
    }
}

TEST_F(Chooser, OkNeedsAShownColumnAndDefaultsComeBack)
{
    Select(dlg->lstSel, {"KOKS_NR", "SUGA"});
    dlg->RemoveClick();
    dlg->btnOK->click();
    EXPECT_EQ(dlg->result(), 0) << "an empty shown list is not confirmed";

    dlg->show();
    EXPECT_TRUE(dlg->btnDefault->isVisible());
    dlg->btnDefault->click();
    EXPECT_EQ(Shown(), (QStringList{"KOKS_NR", "SUGA", "DATUMS", "PIEZ"}));
    dlg->btnOK->click();
    EXPECT_EQ(dlg->result(), int(QDialog::Accepted));

    grid.ClearDefaultColumns();
    Open();
    dlg->show();
    EXPECT_FALSE(dlg->btnDefault->isVisible()) << "no defaults, no button";
}

TEST_F(Chooser, ColumnsDescriptionRoundTripsAtAnotherResolution)
{
    col("KOKS_NR")->SetWidth(100);
    col("SUGA")->SetWidth(50);
    UiServices::SetPixelsPerInchHook([](const QWidget*) { return 144; });
    auto ppi = qScopeGuard([] { UiServices::SetPixelsPerInchHook({}); });
    TEnumStrings saved;
    grid.OnSaveColumnsDesc = [&](TCustomDBEdGrid*, TEnumStrings& d) { saved.Assign(d); };
    grid.SaveColumnsDesc();
    ASSERT_EQ(saved.Count(), 2);
    EXPECT_EQ(saved.Get(0), "KOKS_NR");
    EXPECT_EQ(saved.GetObject(0), 67);
    EXPECT_EQ(saved.GetObject(1), 33);

    UiServices::SetPixelsPerInchHook([](const QWidget*) { return 96; });
    grid.OnRestoreColumnsDesc = [&](TCustomDBEdGrid*, TEnumStrings& d) {
        d.AddInt(QStringLiteral("piez"), 0);
        for (int i = 0; i < saved.Count(); ++i)
            d.AddInt(saved.Get(i), saved.GetObject(i));
    };
    grid.RestoreColumnsDesc();
    EXPECT_EQ(Names(grid.Columns()), (QStringList{"PIEZ", "KOKS_NR", "SUGA"}));
    EXPECT_EQ(col("KOKS_NR")->Width(), 67);
    EXPECT_EQ(col("SUGA")->Width(), 33);
    EXPECT_EQ(col("PIEZ")->Width(), 10) << "code 0";
    EXPECT_EQ(Names(grid.InvisibleColumns()), (QStringList{"DATUMS"}));
    EXPECT_FALSE(grid.Columns()->DescsModified());

    grid.OnRestoreColumnsDesc = [](TCustomDBEdGrid*, TEnumStrings& d) { d.AddInt(QStringLiteral("NAV"), 20); };
    grid.RestoreColumnsDesc();
    EXPECT_EQ(grid.Columns()->Count(), 4) << "a description naming no column shows them all";
}

} // namespace
