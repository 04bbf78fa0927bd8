#include "SortGridTestUtil.h"

#include "grids/TDBEditGridInplaceEdit.h"
#include "grids/TPopupDataList.h"
#include "grids/TPopupTree.h"
#include "grids/TTreeNode.h"
#include "platform/data/IntegerField.h"
#include "platform/data/StringField.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Trees whose species name is looked up by SUGA_KODS in a small species table, which is also
// a hierarchy (VECAKS is the parent's KODS, 0 for a root).
struct LookupEdit : ::testing::Test {
    TClientDataSet species;
    TClientDataSet trees;
    TDataSource source;
    TestGrid grid;
    TEkColumn* column = nullptr;
    qint64 now = 100000;
    RecordedMessages messages;

    void SetUp() override
    {
        species.FieldDefs().Add("KODS", TFieldType::ftInteger);
        species.FieldDefs().Add("VECAKS", TFieldType::ftInteger);
        species.FieldDefs().Add("NOSAUKUMS", TFieldType::ftString, 20);
        species.CreateDataSet();
        const std::pair<int, const char*> rows[] = {{0, "Abele"}, {0, "Bērzs"}, {2, "Āra bērzs"}, {0, "Egle"}};
        int kods = 0;
        for (auto [parent, name] : rows)
            species.AppendRecord({Value(++kods), Value(parent), Value(QString::fromUtf8(name))});
        species.First();

        trees.FieldDefs().Add("KOKS_NR", TFieldType::ftInteger);
        trees.FieldDefs().Add("SUGA_KODS", TFieldType::ftInteger);
        for (const char* name : {"KOKS_NR", "SUGA_KODS"}) {
            auto f = std::make_shared<TIntegerField>();
            f->SetFieldName(name);
            trees.AddField(f);
        }
        auto suga = std::make_shared<TStringField>(20);
        suga->SetFieldName("SUGA");
        suga->SetFieldKind(TFieldKind::fkLookup);
        suga->SetKeyFields("SUGA_KODS");
        suga->SetLookupDataSet(&species);
        suga->SetLookupKeyFields("KODS");
        suga->SetLookupResultField("NOSAUKUMS");
        trees.AddField(suga);
        trees.CreateDataSet();
        trees.AppendRecord({Value(1), Value(2)});
        trees.First();

        UiServices::SetClockHook([this] { return now; });
        source.SetDataSet(&trees);
        for (const char* name : {"KOKS_NR", "SUGA"})
            grid.Columns()->Add()->SetFieldName(QString::fromLatin1(name));
        column = grid.Columns()->Items(1);
        column->SetWidth(160);
        grid.SetDataSource(&source);
        grid.resize(400, 200);
        grid.show();
        QApplication::setActiveWindow(&grid);
    }
    void TearDown() override
    {
        UiServices::SetClockHook({});
        EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(QLatin1Char('|')).toStdString();
        if (QWidget* w = QApplication::focusWidget())
            w->clearFocus();
        grid.hide();
    }

    Value Key() const { return trees.FieldByName("SUGA_KODS")->Value(); }
    TDBEditGridInplaceEdit* EditOn()
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
    void MakeTreeColumn()
    {
        column->SetButtonStyle(TEkColumnButtonStyle::cbsTree);
        column->SetTreeDBTreeType(TEkDBTreeType::dttParentChild);
        column->SetTreeParentField("VECAKS");
        column->SetTreeMinParentVal("0");
    }
    // One typed character, as the keyboard sends it (any letter, not only ASCII ones).
    static void Type(QWidget* w, const QString& ch)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
        QApplication::sendEvent(w, &press);
    }
    static void Grab(QWidget* w, const char* name)
    {
        EXPECT_TRUE(w->grab().save(QDir::temp().filePath(QString::fromLatin1(name))));
    }
};

TEST_F(LookupEdit, StyleNeedsAModifiableKeyField)
{
    struct Case {
        TEkColumnButtonStyle Style;
        bool KeyReadOnly, ColumnReadOnly, GridReadOnly;
        TEditStyle Expected;
    };
    using S = TEkColumnButtonStyle;
    const Case cases[] = {
        {S::cbsAuto, false, false, false, TEditStyle::esDataList},
        {S::cbsTree, false, false, false, TEditStyle::esTree},
        {S::cbsAuto, true, false, false, TEditStyle::esSimple},
        {S::cbsTree, true, false, false, TEditStyle::esSimple},
        {S::cbsAuto, false, true, false, TEditStyle::esSimple},
        {S::cbsTree, false, false, true, TEditStyle::esSimple},
    };
    for (const Case& c : cases) {
        column->SetButtonStyle(c.Style);
        trees.FieldByName("SUGA_KODS")->SetReadOnly(c.KeyReadOnly);
        column->SetReadOnly(c.ColumnReadOnly);
        grid.SetReadOnly(c.GridReadOnly);
        EXPECT_EQ(EditOn()->EditStyle(), c.Expected) << int(c.Style) << c.KeyReadOnly << c.ColumnReadOnly << c.GridReadOnly;
        trees.FieldByName("SUGA_KODS")->SetReadOnly(false);
        column->SetReadOnly(false);
        grid.SetReadOnly(false);
    }
}

TEST_F(LookupEdit, CellTakesTextOnlyWhenItsKeyFieldCan)
{
    for (bool keyReadOnly : {true, false}) {
        trees.FieldByName("SUGA_KODS")->SetReadOnly(keyReadOnly);
        grid.LayoutChanged();
        grid.SetSelectedIndex(column->Index());
        EXPECT_EQ(grid.TabStops(column->Index() + grid.IndicatorOffset()), !keyReadOnly);
        EXPECT_EQ(grid.CanEditModify(), !keyReadOnly);
        trees.Cancel();
    }
}

TEST_F(LookupEdit, ListWritesTheChosenKeyAndEscChangesNothing)
{
    TDBEditGridInplaceEdit* editor = EditOn();
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esDataList);
    EXPECT_EQ(editor->text(), QString::fromUtf8("Bērzs"));

    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->ListVisible());
    TPopupDataList* list = editor->DataList();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(2)->text(), QString::fromUtf8("Āra bērzs"));
    EXPECT_EQ(list->currentRow(), 1) << "the row of the key";
    EXPECT_EQ(species.RecNo(), 1) << "reading the list leaves the lookup dataset where it was";
    Grab(list, "stumpwise_lookuplist.png");
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(Key(), Value(2)) << "a cancelled list changes nothing";

    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Key(), Value(3));
    EXPECT_EQ(trees.FieldByName("SUGA")->AsString(), QString::fromUtf8("Āra bērzs"));
    EXPECT_EQ(editor->text(), QString::fromUtf8("Āra bērzs")) << "the cell shows the new key's name";

    // Enter without moving writes the key it opened with; a click on a row takes that row.
    QTest::keyClick(editor, Qt::Key_F4);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Key(), Value(3));
    QTest::keyClick(editor, Qt::Key_F4);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Key(), Value(4));

    QTest::keyClick(editor, Qt::Key_Delete);
    EXPECT_TRUE(Key().IsNull());
    trees.Post();
    EXPECT_TRUE(trees.FieldByName("SUGA")->IsNull());
}

TEST_F(LookupEdit, TreeWritesTheChosenKeyAndACancelChangesNothing)
{
    MakeTreeColumn();
    TDBEditGridInplaceEdit* editor = EditOn();
    ASSERT_EQ(editor->EditStyle(), TEditStyle::esTree);
    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->ListVisible());
    TPopupTree* tree = editor->TreeList();
    ASSERT_TRUE(tree->isVisible());
    EXPECT_EQ(tree->RootCount(), 3);
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Data(), 2) << "the tree opens on the key";
    tree->Selected()->setExpanded(true);
    Grab(tree, "stumpwise_lookuptree.png");

    QTest::keyClick(editor, Qt::Key_Down); // handed to the open tree: the child of Bērzs
    EXPECT_EQ(tree->Selected()->Data(), 3);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(Key(), Value(2)) << "a cancelled tree changes nothing";

    // The open tree takes the keyboard itself as well.
    QTest::keyClick(editor, Qt::Key_F4);
    tree->Selected()->setExpanded(true);
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Key(), Value(3));

    // Two presses within the double-click time take the record under them; one press does not.
    QTest::keyClick(editor, Qt::Key_F4);
    const QPoint egle = tree->visualItemRect(tree->Root(2)).center();
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, egle);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, egle);
    EXPECT_TRUE(editor->ListVisible());
    now += 50;
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, egle);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, egle);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Key(), Value(4));
}

TEST_F(LookupEdit, ClosedCellStepsAndSearchesTheLookupDataSet)
{
    grid.SetOptions(grid.Options() & ~dgAlwaysShowEditor);
    for (TEkColumnButtonStyle style : {TEkColumnButtonStyle::cbsAuto, TEkColumnButtonStyle::cbsTree}) {
        if (style == TEkColumnButtonStyle::cbsTree)
            MakeTreeColumn();
        TDBEditGridInplaceEdit* editor = EditOn();
        ASSERT_TRUE(editor->EditStyle() == TEditStyle::esDataList || editor->EditStyle() == TEditStyle::esTree);
        trees.Edit();
        trees.FieldByName("SUGA_KODS")->SetAsInteger(2);
        // Key (after), in lookup order 1 Abele, 2 Bērzs, 3 Āra bērzs, 4 Egle.
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Down, 3}, {Qt::Key_Down, 4}, {Qt::Key_Down, 4}, {Qt::Key_Up, 3},
            {Qt::Key_Up, 2},   {Qt::Key_Up, 1},   {Qt::Key_Up, 1},
        };
        for (auto [key, expected] : steps) {
            QTest::keyClick(editor, key);
            EXPECT_EQ(Key(), Value(expected)) << (key == Qt::Key_Down ? "Down" : "Up");
        }
        EXPECT_EQ(trees.RecNo(), 1) << "the arrows stay on the record";
        trees.FieldByName("SUGA_KODS")->SetAsInteger(99);
        QTest::keyClick(editor, Qt::Key_Down);
        EXPECT_EQ(Key(), Value(1)) << "an unknown key starts at the first record";

        // Typing finds the first name beginning with the letters typed within two seconds,
        // ignoring case; a pause starts a new search; an unknown letter keeps the last find.
        Type(editor, QString::fromUtf8("b"));
        EXPECT_EQ(Key(), Value(2));
        now += 500;
        Type(editor, QString::fromUtf8("Ē"));
        EXPECT_EQ(Key(), Value(2));
        now += 500;
        Type(editor, QString::fromUtf8("x"));
        EXPECT_EQ(Key(), Value(2));
        now += 2500;
        Type(editor, QString::fromUtf8("e"));
        EXPECT_EQ(Key(), Value(4));
        now += 100;
        Type(editor, QString::fromUtf8("a"));
        EXPECT_EQ(Key(), Value(4)) << "no name begins with \"ea\"";
        QTest::keyClick(editor, Qt::Key_Backspace);
        Type(editor, QString::fromUtf8("a"));
        EXPECT_EQ(Key(), Value(1)) << "Backspace empties the search text";
        trees.Cancel();
        now += 5000;
    }
}

// The sort grid orders only by values the records hold.
struct SortProbe : TestSortGrid {
    using TCustomDBSfmGrid::IsSortableField;
};

TEST(LookupSort, OnlyDataFieldsAreSortable)
{
    const std::pair<TFieldKind, bool> cases[] = {
        {TFieldKind::fkData, true}, {TFieldKind::fkCalculated, false}, {TFieldKind::fkLookup, false}};
    SortProbe grid;
    for (auto [kind, sortable] : cases) {
        TStringField f(20);
        f.SetFieldKind(kind);
        EXPECT_EQ(grid.IsSortableField(&f), sortable) << int(kind);
    }
}

} // namespace
