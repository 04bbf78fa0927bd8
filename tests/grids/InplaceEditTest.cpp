#include "GridTestUtil.h"

#include "base/TEnumStrings.h"
#include "controls/TAlignedEdit.h"
#include "controls/TEkCalendar.h"
#include "controls/TKpComboBox.h"
#include "controls/TtbtnKp.h"
#include "grids/TDBEditGridInplaceEdit.h"
#include "grids/TDateList.h"
#include "grids/TPopupListbox.h"
#include "grids/TPopupMemo.h"
#include "grids/TUpDown.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/FormatSettings.h"

#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

DateTime D(int y, int m, int d) { return DateTime::EncodeDate(y, m, d); }

// Runs fn once the modal form the next key or click opens is up.
void WhenOpen(std::function<void()> fn)
{
    QTimer::singleShot(0, [fn] { fn(); });
}

// The bounding box of the dark pixels within an area of a widget as painted.
QRect DarkArea(QWidget* w, const QRect& area)
{
    const QImage image = w->grab().toImage();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < 100)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The most separate runs of button-text pixels on one row of the editor's button as painted.
int EllipsisDots(QWidget* editor)
{
    const QImage image = editor->grab().toImage();
    const QRect button = static_cast<TDBEditGridInplaceEdit*>(editor)->ButtonRect();
    const QRgb ink = editor->palette().color(QPalette::ButtonText).rgb();
    int most = 0;
    for (int y = button.top(); y <= button.bottom(); ++y) {
        int runs = 0;
        bool inRun = false;
        for (int x = button.left(); x <= button.right(); ++x) {
            const bool isInk = (image.pixel(x, y) & 0xFFFFFF) == (ink & 0xFFFFFF);
            runs += isInk && !inRun;
            inRun = isInk;
        }
        most = std::max(most, runs);
    }
    return most;
}

// A grid over three trees with one column per field; the editor sits on the record given.
struct InplaceEdit : ::testing::Test {
    std::unique_ptr<TClientDataSet> ds = MakeTrees(3);
    TDataSource source;
    TestGrid grid;
    TEkColumn* koks = nullptr;
    TEkColumn* suga = nullptr;
    TEkColumn* datums = nullptr;
    TEkColumn* piez = nullptr;

    RecordedMessages messages;
    FormatSettings savedFormat = FormatSettings::Default();
    QStringList savedDayNames = CalendarDayNames();

    void SetUp() override
    {
        Clock::SetFixed(D(2026, 5, 14));
        // The program's own date format and month names.
        FormatSettings lv = FormatSettings::FromLocale(QLocale(QLocale::Latvian, QLocale::Latvia));
        lv.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
        FormatSettings::SetDefault(lv);
        InitShortDayNames(QLocale(QLocale::Latvian, QLocale::Latvia));
        source.SetDataSet(ds.get());
        for (const char* name : {"KOKS_NR", "SUGA", "DATUMS", "PIEZ"})
            grid.Columns()->Add()->SetFieldName(QString::fromLatin1(name));
        koks = grid.Columns()->Items(0);
        suga = grid.Columns()->Items(1);
        datums = grid.Columns()->Items(2);
        piez = grid.Columns()->Items(3);
        piez->SetWidth(300);
        grid.SetDataSource(&source);
        grid.resize(640, 200);
        grid.show();
        QApplication::setActiveWindow(&grid);
    }
    void TearDown() override
    {
        FormatSettings::SetDefault(savedFormat);
        CalendarDayNames() = savedDayNames;
        EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(QLatin1Char('|')).toStdString();
        Clock::Reset();
        // The focus leaves while the grid is still whole.
        if (QWidget* w = QApplication::focusWidget())
            w->clearFocus();
        grid.hide();
    }

    TField* F(const char* name) { return ds->FieldByName(QString::fromLatin1(name)); }
    // Puts the editor on a column of the current record.
    TDBEditGridInplaceEdit* EditOn(TEkColumn* column)
    {
        grid.SetSelectedIndex(column->Index());
        grid.ShowEditor();
        auto* editor = dynamic_cast<TDBEditGridInplaceEdit*>(grid.InplaceEditor());
        EXPECT_NE(editor, nullptr);
        editor->UpdateContents();
        editor->setFocus();
        QApplication::processEvents();
        return editor;
    }
    void SetPickList(TEkColumn* column, std::initializer_list<std::pair<const char*, int>> items)
    {
        TEnumStrings list;
        for (auto [text, code] : items)
            list.AddInt(QString::fromUtf8(text), code);
        column->SetPickList(&list);
    }
};

TEST_F(InplaceEdit, StyleFollowsTheColumn)
{
    using S = TEkColumnButtonStyle;
    struct Case {
        TEkColumn* InplaceEdit::*Column;
        S Style;
        bool ReadOnly;
        bool WithPickList;
        TEditStyle Expected;
    };
    const Case cases[] = {
        {&InplaceEdit::suga, S::cbsAuto, false, true, TEditStyle::esPickList},
        {&InplaceEdit::suga, S::cbsAuto, false, false, TEditStyle::esSimple},
        {&InplaceEdit::datums, S::cbsAuto, false, false, TEditStyle::esDate},
        {&InplaceEdit::piez, S::cbsAuto, true, false, TEditStyle::esMemo},
        {&InplaceEdit::piez, S::cbsAuto, false, false, TEditStyle::esSimple},
        {&InplaceEdit::datums, S::cbsDate, true, false, TEditStyle::esSimple},
        {&InplaceEdit::suga, S::cbsEllipsis, false, false, TEditStyle::esEllipsis},
        {&InplaceEdit::suga, S::cbsLinkable, true, false, TEditStyle::esSimple},
        {&InplaceEdit::suga, S::cbsDropDown, false, false, TEditStyle::esDropList},
        {&InplaceEdit::suga, S::cbsDropDown, true, false, TEditStyle::esSimple},
        {&InplaceEdit::suga, S::cbsMemo, true, false, TEditStyle::esMemo},
        {&InplaceEdit::suga, S::cbsURL, false, false, TEditStyle::esURL},
        {&InplaceEdit::koks, S::cbsCheck, false, false, TEditStyle::esCheck},
        {&InplaceEdit::suga, S::cbsTree, false, false, TEditStyle::esSimple},
        {&InplaceEdit::suga, S::cbsNone, false, true, TEditStyle::esSimple},
    };
    for (const Case& c : cases) {
        TEkColumn* column = this->*c.Column;
        column->SetButtonStyle(c.Style);
        column->SetReadOnly(c.ReadOnly);
        if (c.WithPickList)
            SetPickList(column, {{"Priede", 0}});
        else
            column->SetPickList(static_cast<const TEnumStrings*>(nullptr));
        TDBEditGridInplaceEdit* editor = EditOn(column);
        EXPECT_EQ(editor->EditStyle(), c.Expected) << column->FieldName().toStdString() << " "
                                                   << static_cast<int>(c.Style) << " ro " << c.ReadOnly;
        EXPECT_EQ(editor->ShowsButton(), c.Expected != TEditStyle::esSimple && c.Expected != TEditStyle::esURL);
        EXPECT_EQ(editor->isReadOnly(), c.ReadOnly);
        column->SetReadOnly(false);
        column->SetButtonStyle(S::cbsAuto);
    }
}

TEST_F(InplaceEdit, PickListWritesTheChosenTextAndEscChangesNothing)
{
    SetPickList(suga, {{"Priede", 0}, {"Egle", -1}, {"Bērzs", -2}});
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    ASSERT_EQ(F("SUGA")->AsString(), "Egle");

    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->ListVisible());
    TPopupListbox* list = editor->PickList();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 1) << "the field's value is selected";
    EXPECT_GE(list->geometry().top(), editor->mapToGlobal(QPoint(0, editor->height())).y());
    const QRect arrow = DarkArea(editor, editor->ButtonRect());
    ASSERT_FALSE(arrow.isEmpty()) << "the drop-down button shows its arrow";
    EXPECT_LE((arrow.center() - editor->ButtonRect().center()).manhattanLength(), 4) << "in the button's middle";
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(F("SUGA")->AsString(), "Egle") << "a cancelled list changes nothing";

    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(editor->ListVisible());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(F("SUGA")->AsString(), "Bērzs") << "texts only: codes 0, -1 and -2 do not code a list";
    EXPECT_EQ(editor->text(), "Bērzs");

    // Opened by a press on the button: the list holds the mouse, and the release over the
    // button leaves it open; a release elsewhere outside it closes it without a value.
    QTest::mousePress(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
    ASSERT_TRUE(editor->ListVisible());
    const QPoint overButton = list->viewport()->mapFromGlobal(editor->mapToGlobal(editor->ButtonRect().center()));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, overButton);
    EXPECT_TRUE(editor->ListVisible());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, overButton + QPoint(0, -50));
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_FALSE(editor->Pressed());
    EXPECT_EQ(F("SUGA")->AsString(), "Bērzs");

    // Typing selects the first item that begins with the letters typed.
    QTest::keyClick(editor, Qt::Key_F4);
    QTest::keyClicks(list, "pr");
    EXPECT_EQ(list->currentRow(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(F("SUGA")->AsString(), "Priede");

    // Near the bottom of the screen the list opens above the cell.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    grid.move(grid.x(), screen.bottom() - editor->mapTo(&grid, QPoint(0, editor->height())).y() - 5);
    QApplication::processEvents();
    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(list->isVisible());
    EXPECT_LE(list->geometry().bottom(), editor->mapToGlobal(QPoint(0, 0)).y());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(F("SUGA")->AsString(), "Priede");
}

TEST_F(InplaceEdit, CodedPickListWritesCodesAndTheAcceptEventDecides)
{
    SetPickList(koks, {{"Viens", 0}, {"Pieci", 5}, {"Septiņi", 7}});
    std::vector<std::pair<QString, qintptr>> accepted;
    bool accept = true;
    grid.OnDropDownAccept = [&](TCustomDBEdGrid*, TEkColumn* column, const QString& text, qintptr code, bool& Accept) {
        EXPECT_EQ(column, koks);
        accepted.emplace_back(text, code);
        Accept = accept;
    };
    TDBEditGridInplaceEdit* editor = EditOn(koks);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esPickList);
    QTest::keyClick(editor, Qt::Key_F4);
    QTest::keyClick(editor->PickList(), Qt::Key_Down);
    QTest::keyClick(editor->PickList(), Qt::Key_Down);
    QTest::keyClick(editor->PickList(), Qt::Key_Return);
    EXPECT_EQ(F("KOKS_NR")->AsInteger(), 5);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted[0].first, "Pieci");
    EXPECT_EQ(accepted[0].second, 5);

    accept = false;
    QTest::keyClick(editor, Qt::Key_F4);
    QTest::keyClick(editor->PickList(), Qt::Key_Down);
    QTest::keyClick(editor->PickList(), Qt::Key_Return);
    EXPECT_EQ(F("KOKS_NR")->AsInteger(), 5) << "the event refused it";
    EXPECT_EQ(accepted.size(), 2u);
}

TEST_F(InplaceEdit, DropDownColumnAsksTheGridForItsList)
{
    suga->SetButtonStyle(TEkColumnButtonStyle::cbsDropDown);
    int asked = 0;
    grid.OnDropDownCombo = [&](TCustomDBEdGrid*, TEkColumn* column, TEnumStrings* list) {
        ++asked;
        EXPECT_EQ(column, suga);
        list->AddInt(QStringLiteral("Osis"), 0);
        list->AddInt(QStringLiteral("Alksnis"), 0);
    };
    suga->SetDropDownSorted(true);
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(editor->PickList()->count(), 2);
    EXPECT_EQ(editor->PickList()->item(0)->text(), "Alksnis") << "sorted";
    EXPECT_EQ(editor->PickList()->currentRow(), -1) << "the field's text is not offered";
    // Enter with nothing selected writes an empty text.
    QTest::keyClick(editor->PickList(), Qt::Key_Return);
    EXPECT_TRUE(F("SUGA")->IsNull() || F("SUGA")->AsString().isEmpty());
}

TEST_F(InplaceEdit, DoubleClickChoosesTheNextItem)
{
    SetPickList(suga, {{"Priede", 0}, {"Bērzs", 0}, {"Egle", 0}});
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    ASSERT_EQ(F("SUGA")->AsString(), "Egle");
    QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
    EXPECT_EQ(F("SUGA")->AsString(), "Priede") << "after the last item comes the first";
    QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
    EXPECT_EQ(F("SUGA")->AsString(), "Bērzs");
    EXPECT_FALSE(editor->ListVisible());
}

TEST_F(InplaceEdit, CalendarWritesTheChosenDayAndCancelChangesNothing)
{
    TDBEditGridInplaceEdit* editor = EditOn(datums);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esDate);
    const DateTime before = F("DATUMS")->AsDateTime();
    ASSERT_EQ(before, D(2024, 2, 2));
    bool seen = false;
    WhenOpen([&] {
        TDateList* form = editor->DateList();
        ASSERT_TRUE(form->isVisible());
        seen = true;
        EXPECT_EQ(form->Calendar()->CalendarDate(), before);
        EXPECT_EQ(form->cboMonth()->currentText(), FormatSettings::Default().LongMonthNames[1].left(1).toUpper() +
                                                       FormatSettings::Default().LongMonthNames[1].mid(1));
        EXPECT_EQ(form->edtYear()->text(), "2024");
        EXPECT_TRUE(form->Calendar()->isVisible());
        QTest::keyClick(form->Calendar(), Qt::Key_Right);
        QTest::keyClick(form->Calendar(), Qt::Key_Escape);
    });
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_TRUE(seen);
    EXPECT_EQ(F("DATUMS")->AsDateTime(), before);
    EXPECT_FALSE(editor->ListVisible());

    WhenOpen([&] {
        TDateList* form = editor->DateList();
        QTest::keyClick(form->Calendar(), Qt::Key_Right);
        QTest::keyClick(form->Calendar(), Qt::Key_Return);
    });
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
    EXPECT_EQ(F("DATUMS")->AsDateTime(), D(2024, 2, 3));
    EXPECT_FALSE(editor->Pressed());

    // A field holding 1900-01-01 opens at today.
    ds->Edit();
    F("DATUMS")->SetAsDateTime(D(1900, 1, 1));
    ds->Post();
    DateTime opened;
    WhenOpen([&] {
        opened = editor->DateList()->Calendar()->CalendarDate();
        editor->DateList()->btnCancel()->Click();
    });
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(opened, D(2026, 5, 14));
}

TEST_F(InplaceEdit, CalendarOnAPeriodColumnWritesAPeriodDate)
{
    // A string column holding period dates that end a month.
    datums->SetFieldName(QStringLiteral("SUGA"));
    datums->SetButtonStyle(TEkColumnButtonStyle::cbsDate);
    datums->SetDateOptions(cdoInterimAfterLast);
    ds->Edit();
    F("SUGA")->SetAsString(QStringLiteral("2024033103"));
    ds->Post();
    TDBEditGridInplaceEdit* editor = EditOn(datums);
    WhenOpen([&] {
        TDateList* form = editor->DateList();
        EXPECT_EQ(form->InterimType(), TInterimType::InterimAfterLast);
        EXPECT_EQ(form->Calendar()->CalendarDate(), D(2024, 3, 31));
        EXPECT_EQ(form->InterimValue(), "03");
        EXPECT_TRUE(form->edtInterim()->isVisible());
        QTest::keyClick(form->edtInterim(), Qt::Key_Up);
        QTest::keyClick(form->Calendar(), Qt::Key_Return);
    });
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(F("SUGA")->AsString(), "2024033104");
}

TEST_F(InplaceEdit, MemoFormWritesTheTextAndReadOnlyOnlyShows)
{
    piez->SetButtonStyle(TEkColumnButtonStyle::cbsMemo);
    TDBEditGridInplaceEdit* editor = EditOn(piez);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esMemo);
    WhenOpen([&] {
        TPopupMemo* form = editor->MemoList();
        EXPECT_GE(form->width(), 300) << "as wide as the column";
        EXPECT_TRUE(form->btnOk()->isVisible());
        QTest::keyClicks(form->Memo(), "Sausa");
        QTest::keyClick(form->Memo(), Qt::Key_Return);
        QTest::keyClicks(form->Memo(), "galotne");
        QTest::keyClick(form->Memo(), Qt::Key_Escape);
    });
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(F("PIEZ")->IsNull()) << "Esc keeps the field";
    EXPECT_EQ(editor->MemoList()->width(), 258) << "the widening is undone";

    WhenOpen([&] {
        QPlainTextEdit* memo = editor->MemoList()->Memo();
        QTest::keyClicks(memo, "Sausa");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "galotne");
        QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
    });
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(F("PIEZ")->AsString(), "Sausa\ngalotne");

    // A string column's memo takes no more than the field holds.
    suga->SetButtonStyle(TEkColumnButtonStyle::cbsMemo);
    editor = EditOn(suga);
    WhenOpen([&] {
        QPlainTextEdit* memo = editor->MemoList()->Memo();
        memo->selectAll();
        QTest::keyClicks(memo, "Parasta priede");
        EXPECT_EQ(memo->toPlainText(), "Parasta pr");
        QTest::keyClick(memo, Qt::Key_F3);
    });
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(F("SUGA")->AsString(), "Parasta pr");

    // A read-only memo column shows the text grey without OK and writes nothing.
    piez->SetButtonStyle(TEkColumnButtonStyle::cbsAuto);
    piez->SetReadOnly(true);
    editor = EditOn(piez);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esMemo);
    bool shown = false;
    WhenOpen([&] {
        TPopupMemo* form = editor->MemoList();
        shown = true;
        EXPECT_TRUE(form->Memo()->isReadOnly());
        EXPECT_FALSE(form->btnOk()->isVisible());
        EXPECT_EQ(form->Memo()->toPlainText(), "Sausa\ngalotne");
        QTest::keyClicks(form->Memo(), "x");
        QTest::keyClick(form->Memo(), Qt::Key_Return, Qt::ControlModifier);
    });
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(shown);
    EXPECT_EQ(F("PIEZ")->AsString(), "Sausa\ngalotne");
}

TEST_F(InplaceEdit, CalendarOnADateFieldWritesTheDayWhateverThePeriodOption)
{
    datums->SetButtonStyle(TEkColumnButtonStyle::cbsDate);
    int day = 2;
    for (TEkColumnDateOptions options : {TEkColumnDateOptions(cdoInterimNo), TEkColumnDateOptions(cdoInterimBeforeFirst),
                                         TEkColumnDateOptions(cdoInterimAfterLast)}) {
        datums->SetDateOptions(options);
        TDBEditGridInplaceEdit* editor = EditOn(datums);
        ASSERT_EQ(editor->EditStyle(), TEditStyle::esDate);
        WhenOpen([&] {
            QTest::keyClick(editor->DateList()->Calendar(), Qt::Key_Down); // a week on
            QTest::keyClick(editor->DateList()->Calendar(), Qt::Key_Return);
        });
        QTest::keyClick(editor, Qt::Key_F4);
        day += 7;
        EXPECT_EQ(F("DATUMS")->AsDateTime(), D(2024, 2, day)) << int(options);
    }
}

// The field's size limits the text; its edit mask shapes what may be typed.
TEST_F(InplaceEdit, EditorTakesNoMoreThanTheFieldHoldsAndHonoursItsMask)
{
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    editor->selectAll();
    QTest::keyClicks(editor, "Parasta priede");
    EXPECT_EQ(editor->text(), "Parasta pr");
    QTest::keyClick(editor, Qt::Key_Down);
    ds->First();
    EXPECT_EQ(F("SUGA")->AsString(), "Parasta pr");

    struct Case {
        const char* mask;
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"LL-00;1;_", "ab12", "ab-12"},
        {"LL-00;0;_", "ab12", "ab12"},
        {">LL;0;_", "ab", "AB"},
    };
    for (const Case& c : cases) {
        F("SUGA")->SetEditMask(QString::fromLatin1(c.mask));
        editor = EditOn(suga);
        editor->setCursorPosition(0);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        editor->setCursorPosition(0);
        QTest::keyClicks(editor, c.typed);
        EXPECT_EQ(editor->EditText(), QString::fromLatin1(c.stored)) << c.mask << " " << c.typed;
    }
}

// A read-only grid shows the editor to view, copy, open a link or read a memo; it takes no change.
TEST_F(InplaceEdit, ReadOnlyGridShowsTheEditorAndRefusesChanges)
{
    grid.SetReadOnly(true);
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    ASSERT_TRUE(grid.EditorMode());
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), "Egle");
    EXPECT_TRUE(editor->isReadOnly());
    QTest::keyClicks(editor, "Ozols");
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->text(), "Egle");
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);

    editor = EditOn(datums);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esSimple) << "no calendar to change the date";
    QTest::keyClick(editor, Qt::Key_Delete);
    EXPECT_EQ(F("DATUMS")->AsDateTime(), D(2024, 2, 2));

    // The memo viewer opens read-only.
    ds->Edit();
    F("PIEZ")->SetAsString(QStringLiteral("Sausa galotne"));
    ds->Post();
    editor = EditOn(piez);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esMemo);
    bool shown = false;
    auto viewMemo = [&] {
        WhenOpen([&] {
            shown = true;
            EXPECT_TRUE(editor->MemoList()->Memo()->isReadOnly());
            EXPECT_FALSE(editor->MemoList()->btnOk()->isVisible());
            EXPECT_EQ(editor->MemoList()->Memo()->toPlainText(), "Sausa galotne");
            QTest::keyClick(editor->MemoList()->Memo(), Qt::Key_Return, Qt::ControlModifier);
        });
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    };
    viewMemo();
    EXPECT_TRUE(shown);
    // Also where the column itself says it may be edited.
    piez->SetButtonStyle(TEkColumnButtonStyle::cbsMemo);
    piez->SetReadOnly(false);
    editor = EditOn(piez);
    EXPECT_TRUE(editor->isReadOnly());
    shown = false;
    viewMemo();
    EXPECT_TRUE(shown);
    EXPECT_EQ(F("PIEZ")->AsString(), "Sausa galotne");

    // The link cell opens its address.
    suga->SetButtonStyle(TEkColumnButtonStyle::cbsURL);
    ds->Edit();
    F("SUGA")->SetAsString(QStringLiteral("http://lv"));
    ds->Post();
    std::vector<QString> opened;
    UiServices::SetOpenUrlHook([&](const QUrl& url) { opened.push_back(url.toString()); });
    const auto restore = qScopeGuard([] { UiServices::SetOpenUrlHook({}); });
    editor = EditOn(suga);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esURL);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(opened, (std::vector<QString>{"http://lv"}));
}

// AltGr arrives as Ctrl+Alt: such a character is typed; Ctrl alone is the grid's.
TEST_F(InplaceEdit, CtrlAltTypesACharacterAndCtrlAloneGoesToTheGrid)
{
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    editor->selectAll();
    for (const QString& letter : {QStringLiteral("ā"), QStringLiteral("ž")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, letter);
        QApplication::sendEvent(editor, &press);
    }
    EXPECT_EQ(editor->text(), "āž");
    EXPECT_EQ(ds->RecNo(), 1);
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(ds->RecNo(), 3) << "Ctrl+End is the grid's: the last record";
}

TEST_F(InplaceEdit, DeleteInADateCellTakesOneCharacter)
{
    for (TFieldType type : {TFieldType::ftDate, TFieldType::ftDateTime}) {
        auto dates = std::make_unique<TClientDataSet>();
        dates->FieldDefs().Add(QStringLiteral("DATUMS"), type);
        dates->CreateDataSet();
        dates->AppendRecord({Value(D(2024, 2, 2))});
        TDataSource dateSource;
        dateSource.SetDataSet(dates.get());
        TestGrid dateGrid;
        dateGrid.SetDataSource(&dateSource);
        dateGrid.show();
        dateGrid.ShowEditor();
        auto* editor = dynamic_cast<TDBEditGridInplaceEdit*>(dateGrid.InplaceEditor());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(editor->EditStyle(), TEditStyle::esDate);
        const QString shown = editor->text();
        editor->setCursorPosition(0);
        QTest::keyClick(editor, Qt::Key_Delete);
        EXPECT_EQ(editor->text(), shown.mid(1)) << int(type);
        EXPECT_FALSE(dates->FieldByName(QStringLiteral("DATUMS"))->IsNull()) << int(type);
        dateGrid.SetDataSource(nullptr);
    }
}

TEST_F(InplaceEdit, EllipsisButtonAsksTheGridAndLinkableColumnsFirst)
{
    suga->SetButtonStyle(TEkColumnButtonStyle::cbsEllipsis);
    int clicks = 0, linkable = 0;
    bool handled = false;
    grid.OnEditButtonClick = [&](TCustomDBEdGrid*) { ++clicks; };
    grid.OnLinkableColumnClick = [&](TCustomDBEdGrid*, TEkColumn* column, bool& Handled) {
        ++linkable;
        Handled = handled;
    };
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    EXPECT_EQ(EllipsisDots(editor), 3) << "the button shows its three dots";
    QTest::keyClick(editor, Qt::Key_F4);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(linkable, 0) << "not a linkable column";

    suga->SetButtonStyle(TEkColumnButtonStyle::cbsLinkable);
    editor = EditOn(suga);
    QTest::keyClick(editor, Qt::Key_F4);
    handled = true;
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(linkable, 2);
    EXPECT_EQ(clicks, 4) << "a handled linkable click stops there";

    // A read-only grid's button does nothing.
    suga->SetReadOnly(true);
    suga->SetButtonStyle(TEkColumnButtonStyle::cbsEllipsis);
    editor = EditOn(suga);
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(clicks, 4);
}

TEST_F(InplaceEdit, LinkOpensWithCtrlClickOrCtrlEnterAndOnlyAsAWebAddress)
{
    suga->SetButtonStyle(TEkColumnButtonStyle::cbsURL);
    std::vector<QString> opened;
    UiServices::SetOpenUrlHook([&](const QUrl& url) { opened.push_back(url.toString()); });
    const auto restore = qScopeGuard([] { UiServices::SetOpenUrlHook({}); });
    ds->Edit();
    F("SUGA")->SetAsString(QStringLiteral("http://lv"));
    ds->Post();
    TDBEditGridInplaceEdit* editor = EditOn(suga);
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esURL);
    const QPoint onText(6, editor->height() / 2);
    QTest::mouseClick(editor, Qt::LeftButton, {}, onText);
    EXPECT_TRUE(opened.empty()) << "a plain click edits";
    QTest::mouseClick(editor, Qt::LeftButton, Qt::ControlModifier, onText);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(opened, (std::vector<QString>{"http://lv", "http://lv"}));
    EXPECT_FALSE(editor->font().underline()) << "the link look goes with the click";

    ds->Edit();
    F("SUGA")->SetAsString(QStringLiteral("/bin/sh"));
    ds->Post();
    editor = EditOn(suga);
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(opened.size(), 2u) << "a path is never run";
}

TEST_F(InplaceEdit, DataChangeRestartsTheLookupSearchClock)
{
    TDBEditGridInplaceEdit::LastKeyTime() = 12345;
    ds->Edit();
    F("SUGA")->SetAsString(QStringLiteral("Osis"));
    ds->Post();
    ds->Last();
    grid.DataChanged();
    EXPECT_EQ(TDBEditGridInplaceEdit::LastKeyTime(), 0);
}

// ---- the calendar form on its own ----------------------------------------------------------

struct CalendarForm : ::testing::Test {
    TfrmEKCalendar form;
    void Open(DateTime date, const QString& interim = QStringLiteral("00"))
    {
        form.Calendar()->SetCalendarDate(date);
        form.SetInterimValue(interim);
        form.spnYear()->SetRange(1900, 2100);
        form.FormShow();
    }
};

TEST_F(CalendarForm, InterimControlsFollowTheLastDayOfTheMonth)
{
    form.SetInterimType(TInterimType::InterimAfterLast);
    Open(D(2024, 3, 30));
    form.Calendar()->SetCalendarDate(D(2024, 3, 31));
    EXPECT_TRUE(form.edtInterim()->isEnabled());
    form.Calendar()->SetCalendarDate(D(2024, 3, 30));
    EXPECT_FALSE(form.edtInterim()->isEnabled());
    EXPECT_EQ(form.InterimValue(), "00");

    form.SetInterimOnly(true);
    form.Calendar()->SetCalendarDate(D(2024, 4, 30));
    EXPECT_EQ(form.InterimValue(), "01");
    EXPECT_EQ(form.edtInterim()->text(), "01");
}

TEST_F(CalendarForm, MonthSpinnerAndMonthBoxStepAcrossMonthsAndYears)
{
    struct Case {
        DateTime From;
        QString Interim;
        TUpDown::TUDBtnType Button;
        DateTime To;
    };
    const Case cases[] = {
        {D(2024, 1, 31), "00", TUpDown::TUDBtnType::btNext, D(2024, 2, 29)},
        {D(2023, 1, 31), "00", TUpDown::TUDBtnType::btNext, D(2023, 2, 28)},
        {D(2024, 1, 15), "02", TUpDown::TUDBtnType::btNext, D(2024, 2, 29)},
        {D(2024, 1, 15), "00", TUpDown::TUDBtnType::btPrev, D(2023, 12, 15)},
        {D(2024, 12, 31), "00", TUpDown::TUDBtnType::btNext, D(2025, 1, 31)},
        // The ends of the year range: the month stops there.
        {D(2100, 12, 15), "00", TUpDown::TUDBtnType::btNext, D(2100, 12, 15)},
        {D(1900, 1, 15), "00", TUpDown::TUDBtnType::btPrev, D(1900, 1, 15)},
    };
    form.SetInterimType(TInterimType::InterimAfterLast);
    for (const Case& c : cases) {
        Open(c.From, c.Interim);
        form.spnMonth()->Step(c.Button);
        EXPECT_EQ(form.Calendar()->CalendarDate(), c.To) << c.From.Days();
        EXPECT_EQ(form.cboMonth()->currentIndex(), form.Calendar()->Month() - 1);
        EXPECT_EQ(form.edtYear()->text(), QString::number(form.Calendar()->Year()));
    }
    // Left on January in the month box: December of the year before.
    form.SetInterimType(TInterimType::InterimNo);
    Open(D(2024, 1, 10));
    QTest::keyClick(form.cboMonth(), Qt::Key_Left);
    EXPECT_EQ(form.Calendar()->CalendarDate(), D(2023, 12, 10));
    EXPECT_EQ(form.cboMonth()->currentIndex(), 11);
    QTest::keyClick(form.cboMonth(), Qt::Key_Right);
    EXPECT_EQ(form.Calendar()->CalendarDate(), D(2024, 1, 10));
    Open(D(2100, 12, 10));
    QTest::keyClick(form.cboMonth(), Qt::Key_Right);
    EXPECT_EQ(form.Calendar()->CalendarDate(), D(2100, 12, 10)) << "no month after December of the last year";
    EXPECT_EQ(form.cboMonth()->currentIndex(), 11);
    Open(D(2024, 1, 10));
    // The year edit's arrows step the year.
    QTest::keyClick(form.edtYear(), Qt::Key_Up);
    EXPECT_EQ(form.Calendar()->CalendarDate(), D(2025, 1, 10));
    EXPECT_EQ(form.edtYear()->text(), "2025");
}

TEST_F(CalendarForm, MonthOnlyAndInterimTypeShapeTheForm)
{
    const int height = form.height();
    const int width = form.width();
    form.SetMonthOnly(true);
    EXPECT_FALSE(form.Calendar()->isVisibleTo(&form));
    EXPECT_EQ(form.height(), height - 110);
    form.SetMonthOnly(false);
    EXPECT_EQ(form.height(), height);
    EXPECT_EQ(width, 176) << "no interim: the buttons follow the year";
    form.SetInterimType(TInterimType::InterimAfterLast);
    EXPECT_EQ(form.width(), 208);
    EXPECT_TRUE(form.edtInterim()->isVisibleTo(&form));
    form.SetInterimValue(QStringLiteral("07"));
    form.SetInterimType(TInterimType::InterimBeforeFirst);
    EXPECT_EQ(form.InterimValue(), "07");
    form.SetInterimType(TInterimType::InterimNo);
    EXPECT_EQ(form.InterimValue(), "00");
}

TEST(PopupPosition, BelowTheEditOrAboveItNearTheBottomAndInsideTheRightEdge)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget form(nullptr, Qt::Popup);
    form.resize(200, 150);
    struct Case {
        QPoint EditAt;
        QPoint Expected;
    };
    const QSize edit(120, 20);
    const Case cases[] = {
        {work.topLeft() + QPoint(300, 100), work.topLeft() + QPoint(300 + 120 - 200, 120)},
        {QPoint(work.left() + 300, work.bottom() - 30), QPoint(work.left() + 220, work.bottom() - 30 - 150)},
        {work.topLeft() + QPoint(10, 100), work.topLeft() + QPoint(0, 120)},
    };
    for (const Case& c : cases) {
        QLineEdit e;
        e.setWindowFlags(Qt::FramelessWindowHint);
        e.setGeometry(QRect(c.EditAt, edit));
        e.show();
        PositionPopupForm(&form, &e);
        EXPECT_EQ(form.pos(), c.Expected) << c.EditAt.x() << "," << c.EditAt.y();
    }
}

} // namespace
