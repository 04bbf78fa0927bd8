#include "controls/TDBLinkEdit.h"

#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/rtl/Exception.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>

namespace {

// Harvester codes by key, as an owner would look them up.
const std::map<int, std::pair<QString, QString>> Harvesters = { { 1, { "A1", "Alfa" } }, { 2, { "B2", "Beta" } } };

class EditDBLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        TDBLinkEdit::ExceptionHandler() = [this](const std::exception&) { ++Errors; };
        Edit = new TDBLinkEdit(&Window);
        Name = new QLabel(&Window);
        Edit->SetLinkedControl(Name);
        Other = new QLineEdit(&Window);
        Other->move(0, 40);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        QApplication::setActiveWindow(&Window);
    }
    void TearDown() override { TDBLinkEdit::ExceptionHandler() = nullptr; }
    void Resolve()
    {
        Edit->OnGetDataFromKey = [this](TDBLinkEdit*, int key, QString& kods, QString& nosauk, bool& ok) {
            ++KeyCalls;
            if (auto it = Harvesters.find(key); it != Harvesters.end()) {
                kods = it->second.first;
                nosauk = it->second.second;
                ok = true;
            }
        };
        Edit->OnGetDataFromKods = [this](TDBLinkEdit*, QString& kods, int& key, QString& nosauk, bool& ok) {
            ++KodsCalls;
            for (const auto& [k, v] : Harvesters)
                if (v.first == kods) {
                    key = k;
                    nosauk = v.second;
                    ok = true;
                }
        };
    }
    void Leave()
    {
        Other->setFocus();
        QApplication::processEvents();
    }

    QWidget Window;
    TDBLinkEdit* Edit = nullptr;
    QLabel* Name = nullptr;
    QLineEdit* Other = nullptr;
    int Errors = 0;
    int KeyCalls = 0;
    int KodsCalls = 0;
};

} // namespace

TEST_F(EditDBLink, KeysResolveToCodeAndName)
{
    Edit->SetPkValue(1);
    EXPECT_EQ(Edit->PkValue(), 0) << "no resolver: the edit stays empty";
    EXPECT_EQ(Edit->text(), "");
    Resolve();
    Edit->SetUseHint(true);
    Edit->SetPkValue(1);
    EXPECT_EQ(Edit->PkValue(), 1);
    EXPECT_EQ(Edit->text(), "A1");
    EXPECT_EQ(Name->text(), "Alfa");
    EXPECT_EQ(Edit->toolTip(), "A1: Alfa");
    EXPECT_EQ(Edit->PrevText(), "A1");
    // An unknown key clears, and the owner hears of key 0.
    KeyCalls = 0;
    Edit->SetPkValue(9);
    EXPECT_EQ(Edit->PkValue(), 0);
    EXPECT_EQ(Name->text(), "");
    EXPECT_EQ(KeyCalls, 2);
    // Clearing an empty edit asks nothing.
    Edit->Clear();
    EXPECT_EQ(KeyCalls, 2);
    // A failing resolver leaves the edit cleared and the error shown.
    Edit->OnGetDataFromKey = [](TDBLinkEdit*, int key, QString&, QString&, bool&) {
        if (key != 0)
            throw Exception("Nav savienojuma");
    };
    Edit->SetPkValue(2);
    EXPECT_EQ(Edit->PkValue(), 0);
    EXPECT_EQ(Errors, 1);
    EXPECT_THROW(Edit->SetLinkedControl(Edit), Exception);
}

TEST_F(EditDBLink, TypedCodeIsLookedUpOnLeaving)
{
    Resolve();
    Edit->SetPkValue(1);
    Edit->setFocus();
    QApplication::processEvents();
    Edit->setText("A1   ");
    Leave();
    EXPECT_EQ(KodsCalls, 0) << "equal to the last code once trimmed";
    // A menu or pop-up taking the focus does not leave the edit: nothing is looked up yet.
    Edit->setFocus();
    Edit->setText("B2");
    QFocusEvent away(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(Edit, &away);
    EXPECT_EQ(KodsCalls, 0);
    Edit->setFocus();
    Edit->setText(" B2 ");
    Leave();
    EXPECT_EQ(Edit->PkValue(), 2);
    EXPECT_EQ(Edit->text(), "B2");
    EXPECT_EQ(Name->text(), "Beta");
    Edit->setFocus();
    Edit->setText("ZZ");
    Leave();
    EXPECT_EQ(Edit->text(), "B2") << "an unknown code goes back";
    EXPECT_EQ(Edit->PkValue(), 2);
    Edit->setFocus();
    Edit->setText("");
    Leave();
    EXPECT_EQ(Edit->PkValue(), 0);
}

TEST_F(EditDBLink, ReadOnlyIgnoresTypingAndTheButton)
{
    Resolve();
    Edit->SetPkValue(1);
    Edit->SetReadOnly(true);
    int buttonClicks = 0;
    Edit->OnSelectButtonClick = [&](TDBLinkEdit*, int&, QString&, bool&) { ++buttonClicks; };
    Edit->setFocus();
    QTest::keyClicks(Edit, "x");
    QTest::keyClick(Edit, Qt::Key_Delete);
    QTest::keyClick(Edit, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(Edit, Qt::Key_F4);
    EXPECT_EQ(Edit->text(), "A1");
    EXPECT_EQ(buttonClicks, 0);
    // Writable: the button's choice becomes the key.
    Edit->SetReadOnly(false);
    Edit->OnSelectButtonClick = [&](TDBLinkEdit*, int& key, QString& kods, bool& ok) {
        EXPECT_EQ(kods, "A1");
        key = 2;
        ok = true;
    };
    Edit->DoClick();
    EXPECT_EQ(Edit->PkValue(), 2);
    EXPECT_EQ(Edit->text(), "B2");
    // Esc undoes typing.
    Edit->setText("B");
    QTest::keyClick(Edit, Qt::Key_Escape);
    EXPECT_EQ(Edit->text(), "B2");
}

TEST_F(EditDBLink, BoundToAKeyField)
{
    Resolve();
    TClientDataSet ds;
    ds.FieldDefs().Add(QStringLiteral("HRV_ID"), TFieldType::ftInteger);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("HRV_ID")->SetAsInteger(1);
    ds.Post();
    TDataSource src;
    src.SetDataSet(&ds);
    Edit->SetDataField("HRV_ID");
    Edit->SetDataSource(&src);
    EXPECT_EQ(Edit->PkValue(), 1);
    EXPECT_EQ(Edit->text(), "A1");
    EXPECT_EQ(Edit->getContextName(), "HRV_ID");
    // A choice by the button is written to the record.
    Edit->SetClickChange(true);
    Edit->OnSelectButtonClick = [](TDBLinkEdit*, int& key, QString&, bool& ok) {
        key = 2;
        ok = true;
    };
    Edit->DoClick();
    EXPECT_EQ(ds.FieldByName("HRV_ID")->AsInteger(), 2);
    ds.Post();
    Edit->SetDataSource(nullptr);
}
