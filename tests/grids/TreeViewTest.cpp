#include "TreeTestUtil.h"

#include "grids/TDBEkTreeView.h"
#include "platform/data/DataSource.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const Value Null;

// A tree over a dataset with key K and captions from NAME; settings first, Attach last.
struct TreeOver {
    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    std::unique_ptr<TDBEkTreeView> tree = std::make_unique<TDBEkTreeView>();
    RecordedMessages messages;

    explicit TreeOver(std::unique_ptr<TClientDataSet> table)
        : ds(std::move(table))
    {
        source.SetDataSet(ds.get());
        tree->SetKeyField(QStringLiteral("K"));
        tree->SetCaptionFields(QStringLiteral("NAME"));
    }
    ~TreeOver()
    {
        tree.reset();
    }
    void Attach() { tree->SetDataSource(&source); }
    void Show()
    {
        tree->resize(240, 260);
        tree->show();
        QApplication::processEvents();
    }
    QPoint Center(int key) const { return tree->visualItemRect(tree->FindNode(key)).center(); }
    int SelectedKey() const { return tree->Selected() ? tree->Selected()->Data() : -1; }
};

// A double click as a mouse delivers it: press and release, then the double click and its release.
void DoubleClick(QWidget* viewport, QPoint pos)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, pos);
    const QPoint global = viewport->mapToGlobal(pos);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, global, Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &dbl);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(viewport, &release);
}

// Every node made for a record shows that record's caption (no placeholder text left).
void ExpectRecordCaptions(TDBEkTreeView& tree)
{
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        auto* node = static_cast<TTreeNode*>(*it);
        EXPECT_EQ(node->Text(), QStringLiteral("n%1").arg(node->Data()));
    }
}

std::unique_ptr<TClientDataSet> LevelTable(const std::vector<ValueArray>& rows)
{
    return MakeTable({QStringLiteral("K"), QStringLiteral("A"), QStringLiteral("B")}, rows);
}

std::unique_ptr<TClientDataSet> ParentTable(const std::vector<ValueArray>& rows)
{
    return MakeTable({QStringLiteral("K"), QStringLiteral("P")}, rows);
}

TEST(TDBEkTreeView, StartsWithItsDefaultsAndNormalisesSettings)
{
    TDBEkTreeView tree;
    EXPECT_EQ(tree.CaptionSeparator(), QStringLiteral("   "));
    EXPECT_EQ(tree.MinParentVal(), QStringLiteral("0"));
    EXPECT_EQ(tree.DBTreeType(), TEkDBTreeType::dttLevels);
    EXPECT_TRUE(tree.ReadOnly() && tree.AutoRebuild() && tree.ActivateInRoot() && tree.DynamicExpand());
    tree.SetMinParentVal(QString());
    EXPECT_EQ(tree.MinParentVal(), QStringLiteral("NULL"));
    tree.SetMinParentVal(QStringLiteral("abc"));
    EXPECT_EQ(tree.MinParentVal(), QStringLiteral("ABC"));

    tree.SetLevelFields(QStringLiteral(" A ; B"));
    EXPECT_EQ(tree.LevelCount(), 2);
    EXPECT_EQ(tree.GetLevels(0), QStringLiteral("A"));
    EXPECT_EQ(tree.GetLevels(1), QStringLiteral("B"));
    EXPECT_EQ(tree.GetLevels(-1), QString());
    try {
        tree.GetLevels(2);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid index in Levels array of TDBEkTreeView"));
    }
}

TEST(TDBEkTreeView, LevelsTreePlacesRecordsByTheirAncestorKeys)
{
    struct Case {
        std::vector<ValueArray> rows; // K, A, B
        const char* tree;
        const char* message;
    };
    const Case cases[] = {
        {{{Value(1), Null, Null}, {Value(2), Value(1), Value(0)}, {Value(3), Value(1), Value(2)}}, "1(2(3))", ""},
        {{{Value(1), Value(0), Value(0)}, {Value(5), Null, Value(0)}, {Value(2), Value(1), Value(0)},
          {Value(6), Value(5), Value(0)}, {Value(3), Value(1), Value(2)}, {Value(4), Value(1), Value(2)},
          {Value(7), Value(5), Value(6)}},
         "1(2(3,4)),5(6(7))", ""},
        {{{Value(1), Value(0), Value(0)}, {Value(9), Value(8), Value(0)}}, "1", "Nekorekti dati ierakstān9(PK=9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tree);
        TreeOver t(LevelTable(c.rows));
        t.tree->SetLevelFields(QStringLiteral("A;B"));
        QString secondPass;
        t.tree->OnAddNode = [&](TTreeNode* node, TDataSet* ds) {
            if (node->Level() == 1 && secondPass.isEmpty())
                secondPass = ds->Filter();
        };
        t.Attach();
        EXPECT_EQ(Dump(*t.tree), QString::fromUtf8(c.tree));
        EXPECT_EQ(t.messages.texts.join(QLatin1Char('|')), QString::fromUtf8(c.message));
        ExpectRecordCaptions(*t.tree);
        if (QString::fromUtf8(c.tree).contains(QLatin1Char('(')))
            EXPECT_EQ(secondPass, QStringLiteral("((B=Null) or (B=0))AND((A <> Null) and (A<>0))"));
        // The dataset is given back as it was, and the tree stands on its record.
        EXPECT_EQ(t.ds->Filter(), QString());
        EXPECT_FALSE(t.ds->Filtered());
        EXPECT_FALSE(t.ds->ControlsDisabled());
        EXPECT_EQ(Key(*t.ds), 1);
        EXPECT_EQ(t.SelectedKey(), 1);
    }
}

TEST(TDBEkTreeView, DynamicTreeLoadsChildrenOnExpansionAndThePathToTheRecord)
{
    TreeOver t(ParentTable({{Value(1), Value(0)}, {Value(2), Value(0)}, {Value(3), Value(1)}, {Value(4), Value(3)},
                            {Value(5), Value(4)}, {Value(6), Value(0)}, {Value(7), Value(1)}}));
    t.ds->SetFilter(QStringLiteral("K<>2"));
    t.ds->SetFiltered(true);
    t.ds->Last();
    t.tree->SetDBTreeType(TEkDBTreeType::dttParentChild);
    t.tree->SetParentField(QStringLiteral("P"));
    t.Attach();
    t.Show();
    // Roots only, with a button exactly where some record names the node as parent.
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1,2,6"));
    EXPECT_TRUE(t.tree->FindNode(1)->HasChildren());
    EXPECT_FALSE(t.tree->FindNode(2)->HasChildren());
    EXPECT_FALSE(t.tree->FindNode(6)->HasChildren());
    // The first root is activated and the dataset follows it.
    EXPECT_EQ(t.SelectedKey(), 1);
    EXPECT_EQ(Key(*t.ds), 1);

    t.tree->setFocus();
    QTest::keyClick(t.tree.get(), Qt::Key_Right);
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(3,7),2,6"));
    EXPECT_TRUE(t.tree->FindNode(3)->HasChildren());
    EXPECT_FALSE(t.tree->FindNode(7)->HasChildren());

    // Three levels deep: the ancestors' children are loaded and the record selected.
    ASSERT_TRUE(t.ds->Locate(QStringLiteral("K"), Value(5)));
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(3(4(5)),7),2,6"));
    EXPECT_EQ(t.SelectedKey(), 5);
    EXPECT_FALSE(t.tree->visualItemRect(t.tree->FindNode(5)).isEmpty());
    EXPECT_EQ(t.ds->Filter(), QStringLiteral("K<>2"));
    EXPECT_TRUE(t.ds->Filtered());
    EXPECT_EQ(Key(*t.ds), 5);
    ExpectRecordCaptions(*t.tree);
}

TEST(TDBEkTreeView, DynamicTreeTakesRecordsWithoutParentAsRootsWhenTheMinimumIsNull)
{
    TreeOver t(ParentTable({{Value(1), Null}, {Value(2), Value(1)}, {Value(3), Null}}));
    t.tree->SetDBTreeType(TEkDBTreeType::dttParentChild);
    t.tree->SetMinParentVal(QString());
    t.tree->SetParentField(QStringLiteral("P"));
    t.Attach();
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1,3"));
    ASSERT_TRUE(t.ds->Locate(QStringLiteral("K"), Value(2)));
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(2),3"));
    EXPECT_EQ(t.SelectedKey(), 2);
}

TEST(TDBEkTreeView, DynamicTreeStopsAtParentsThatNameEachOther)
{
    TreeOver t(ParentTable({{Value(1), Value(0)}, {Value(7), Value(8)}, {Value(8), Value(7)}}));
    t.tree->SetDBTreeType(TEkDBTreeType::dttParentChild);
    t.tree->SetParentField(QStringLiteral("P"));
    t.Attach();
    ASSERT_TRUE(t.ds->Locate(QStringLiteral("K"), Value(7)));
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1"));
    EXPECT_EQ(t.tree->Selected(), nullptr);
    EXPECT_EQ(Key(*t.ds), 7);
}

TEST(TDBEkTreeView, FullParentChildTreeResolvesForwardAndMissingParents)
{
    struct Case {
        const char* minParent;
        std::vector<ValueArray> rows; // K, P
        const char* tree;
    };
    const Case cases[] = {
        // Parent 99 is missing: its child takes the placeholder's place at the root.
        {"0", {{Value(1), Value(0)}, {Value(2), Value(1)}, {Value(3), Value(99)}, {Value(4), Value(3)}, {Value(5), Value(1)}},
         "1(2,5),3(4)"},
        // The parent comes after its child.
        {"0", {{Value(2), Value(1)}, {Value(1), Value(0)}}, "1(2)"},
        // Records naming themselves or each other as parent are kept, not hung under themselves.
        {"0", {{Value(1), Value(0)}, {Value(2), Value(2)}}, "1,2"},
        {"0", {{Value(1), Value(0)}, {Value(5), Value(6)}, {Value(6), Value(5)}}, "1,6(5)"},
        {"", {{Value(1), Null}, {Value(2), Value(1)}, {Value(3), Null}, {Value(4), Value(1)}}, "1(2,4),3"},
        // Records below the minimum parent value are left out; those naming the minimum itself
        // become roots when no record has that key.
        {"1", {{Value(5), Value(1)}, {Value(6), Value(1)}, {Value(7), Value(5)}, {Value(8), Value(0)}}, "5(7),6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tree);
        TreeOver t(ParentTable(c.rows));
        t.tree->SetDynamicExpand(false);
        t.tree->SetDBTreeType(TEkDBTreeType::dttParentChild);
        t.tree->SetMinParentVal(QString::fromUtf8(c.minParent));
        t.tree->SetParentField(QStringLiteral("P"));
        t.Attach();
        EXPECT_EQ(Dump(*t.tree), QString::fromUtf8(c.tree));
        ExpectRecordCaptions(*t.tree);
        EXPECT_FALSE(t.ds->Filtered());
    }
}

TEST(TDBEkTreeView, TreeByLevelDatasetFollowsTheAncestorLists)
{
    // Records in tree order with their own level; the level dataset lists each child's own
    // entry, then its ancestors.
    auto main = MakeTable({QStringLiteral("K"), QStringLiteral("LVL")},
                          {{Value(1), Value(0)}, {Value(2), Value(1)}, {Value(3), Value(2)}, {Value(4), Value(1)},
                           {Value(5), Value(0)}});
    auto levels = std::make_unique<TClientDataSet>();
    for (const char* f : {"PK_CHILD", "LVL", "PK_KEY"})
        levels->FieldDefs().Add(QString::fromUtf8(f), TFieldType::ftInteger);
    levels->CreateDataSet();
    for (auto [child, level, key] : {std::tuple{1, 0, 1}, {2, 1, 2}, {2, 0, 1}, {3, 2, 3}, {3, 1, 2}, {3, 0, 1},
                                     {4, 1, 4}, {4, 0, 1}, {5, 0, 5}})
        levels->AppendRecord({Value(child), Value(level), Value(key)});
    levels->AddIndex(QStringLiteral("IX"), QStringLiteral("PK_CHILD;LVL"), 0, QStringLiteral("LVL"));
    levels->SetIndexName(QStringLiteral("IX"));
    levels->First();

    TreeOver t(std::move(main));
    t.ds->Last();
    t.tree->SetDBTreeType(TEkDBTreeType::dttTreeByNPK);
    t.tree->SetLevelDataSet(levels.get());
    t.tree->SetLevelFldInSL(QStringLiteral("LVL"));
    t.Attach();
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(2(3),4),5"));
    EXPECT_EQ(t.SelectedKey(), 1);
    EXPECT_EQ(Key(*t.ds), 1);
    EXPECT_EQ(levels->FieldByName(QStringLiteral("PK_CHILD"))->AsInteger(), 1);

    // A record missing from the level dataset stops the build with its key.
    ASSERT_TRUE(levels->Locate(QStringLiteral("PK_CHILD;LVL"), Value(ValueArray{Value(4), Value(1)})));
    levels->Delete();
    try {
        t.tree->RebuildTree();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Object ID=4 not found in LevelDataset!"));
    }
    EXPECT_FALSE(t.ds->ControlsDisabled());
    EXPECT_FALSE(levels->ControlsDisabled());

    // The level dataset's end: the tree forgets it.
    levels.reset();
    EXPECT_EQ(t.tree->LevelDataSet(), nullptr);
    EXPECT_EQ(t.tree->RootCount(), 0);
}

TEST(TDBEkTreeView, TreeByLevelDatasetRefusesAnotherKindOfDataset)
{
    TDataSet plain;
    TreeOver t(ParentTable({{Value(1), Value(0)}}));
    t.Attach();
    t.tree->SetLevelDataSet(&plain);
    t.tree->SetLevelFldInSL(QStringLiteral("P"));
    try {
        t.tree->SetDBTreeType(TEkDBTreeType::dttTreeByNPK);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("LevelDataSet must be TClientDataSet or its descendant!"));
    }
    t.tree->SetLevelDataSet(nullptr);
}

TEST(TDBEkTreeView, GroupByTreeGathersConsecutiveRecordsIgnoringLetterCase)
{
    for (const bool activateInRoot : {true, false}) {
        SCOPED_TRACE(activateInRoot);
        TreeOver t(MakeTable({QStringLiteral("K"), QStringLiteral("G")},
                             {{Value(1), Value(1), Value(QStringLiteral("a"))},
                              {Value(2), Value(1), Value(QStringLiteral("A"))},
                              {Value(3), Value(1), Value(QStringLiteral("b"))},
                              {Value(4), Value(2), Value(QStringLiteral("b"))},
                              {Value(5), Value(1), Value(QStringLiteral(""))}}));
        t.ds->Last();
        t.tree->SetActivateInRoot(activateInRoot);
        t.tree->SetDBTreeType(TEkDBTreeType::dttGroupBy);
        t.tree->SetLevelFields(QStringLiteral("NAME"));
        t.tree->SetLevelFldInSL(QStringLiteral("NAME"));
        int announced = 0;
        t.tree->OnAddNode = [&](TTreeNode*, TDataSet*) { ++announced; };
        t.Attach();
        EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(1,2),3(3,4),5(5)"));
        QStringList groups;
        for (int i = 0; i < t.tree->RootCount(); ++i)
            groups << t.tree->Root(i)->Text();
        EXPECT_EQ(groups, QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("<Nav piešķirts>")}));
        EXPECT_EQ(announced, 5);
        EXPECT_EQ(t.SelectedKey(), activateInRoot ? 1 : 5);
        EXPECT_EQ(t.tree->Selected()->Level(), 0);
        EXPECT_EQ(Key(*t.ds), activateInRoot ? 1 : 5);
    }
}

TEST(TDBEkTreeView, TreeAndDatasetFollowEachOther)
{
    TreeOver t(LevelTable({{Value(1), Value(0), Value(0)}, {Value(5), Null, Value(0)}, {Value(2), Value(1), Value(0)},
                           {Value(6), Value(5), Value(0)}, {Value(3), Value(1), Value(2)}, {Value(7), Value(5), Value(6)}}));
    t.tree->SetLevelFields(QStringLiteral("A;B"));
    t.Attach();
    t.Show();
    t.tree->setFocus();

    // The dataset moves: the tree selects and shows the record's node.
    ASSERT_TRUE(t.ds->Locate(QStringLiteral("K"), Value(7)));
    EXPECT_EQ(t.SelectedKey(), 7);
    EXPECT_FALSE(t.tree->visualItemRect(t.tree->FindNode(7)).isEmpty());
    t.ds->Locate(QStringLiteral("K"), Value(5));
    EXPECT_EQ(t.SelectedKey(), 5);
    EXPECT_FALSE(t.tree->FindNode(5)->Expanded());

    // The user moves in the tree: the dataset follows, and the tree keeps the user's node.
    QTest::mouseClick(t.tree->viewport(), Qt::LeftButton, {}, t.Center(1));
    EXPECT_EQ(Key(*t.ds), 1);
    EXPECT_EQ(t.SelectedKey(), 1);
    QTest::keyClick(t.tree.get(), Qt::Key_Down);
    EXPECT_EQ(Key(*t.ds), 5);
    QTest::keyClick(t.tree.get(), Qt::Key_Right);
    QTest::keyClick(t.tree.get(), Qt::Key_Down);
    EXPECT_EQ(Key(*t.ds), 6);
    EXPECT_EQ(t.SelectedKey(), 6);
}

TEST(TDBEkTreeView, EditsOfTheDatasetReachTheTree)
{
    TreeOver t(LevelTable({{Value(1), Value(0), Value(0)}, {Value(2), Value(1), Value(0)}}));
    t.tree->SetLevelFields(QStringLiteral("A;B"));
    t.Attach();
    ASSERT_TRUE(t.ds->Locate(QStringLiteral("K"), Value(2)));
    t.ds->Edit();
    t.ds->FieldByName(QStringLiteral("NAME"))->SetAsString(QStringLiteral("Bērzs"));
    EXPECT_EQ(t.tree->FindNode(2)->Text(), QStringLiteral("Bērzs"));
    t.ds->Post();
    EXPECT_EQ(t.tree->FindNode(2)->Text(), QStringLiteral("Bērzs"));
    EXPECT_EQ(t.SelectedKey(), 2);

    t.ds->AppendRecord({Value(3), Value(1), Value(2), Value(QStringLiteral("n3"))});
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(2(3))"));
    t.tree->SetAutoRebuild(false);
    t.ds->AppendRecord({Value(4), Value(0), Value(0), Value(QStringLiteral("n4"))});
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(2(3))"));
    t.tree->RebuildTree();
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(2(3)),4"));
}

TEST(TDBEkTreeView, DoubleClickHandlerKeepsNodesAsTheyAre)
{
    TreeOver t(LevelTable({{Value(1), Value(0), Value(0)}, {Value(2), Value(1), Value(0)}, {Value(3), Value(0), Value(0)}}));
    t.tree->SetLevelFields(QStringLiteral("A;B"));
    t.Attach();
    t.Show();
    t.ds->Locate(QStringLiteral("K"), Value(3));
    t.tree->FindNode(1)->Collapse(true);
    // Without a handler a double click opens and closes the node as usual.
    DoubleClick(t.tree->viewport(), t.Center(1));
    EXPECT_TRUE(t.tree->FindNode(1)->Expanded());
    DoubleClick(t.tree->viewport(), t.Center(1));
    EXPECT_FALSE(t.tree->FindNode(1)->Expanded());
    int clicks = 0;
    t.tree->OnDblClick = [&] { ++clicks; };
    DoubleClick(t.tree->viewport(), t.Center(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(t.tree->FindNode(1)->Expanded());
    t.tree->FindNode(1)->Expand(false);
    DoubleClick(t.tree->viewport(), t.Center(1));
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(t.tree->FindNode(1)->Expanded());
}

TEST(TDBEkTreeView, ExpansionHandlersDecideAfterChildrenAreLoaded)
{
    TreeOver t(ParentTable({{Value(1), Value(0)}, {Value(2), Value(1)}}));
    t.tree->SetDBTreeType(TEkDBTreeType::dttParentChild);
    t.tree->SetParentField(QStringLiteral("P"));
    t.Attach();
    bool allowExpand = false, allowCollapse = false;
    t.tree->OnExpanding = [&](TTreeNode*, bool& allow) { allow = allowExpand; };
    t.tree->OnCollapsing = [&](TTreeNode*, bool& allow) { allow = allowCollapse; };
    TTreeNode* root = t.tree->FindNode(1);
    root->Expand(false);
    EXPECT_FALSE(root->Expanded());
    EXPECT_EQ(Dump(*t.tree), QStringLiteral("1(2)"));
    allowExpand = true;
    root->Expand(false);
    root->Collapse(false);
    EXPECT_TRUE(root->Expanded());
    allowCollapse = true;
    root->Collapse(false);
    EXPECT_FALSE(root->Expanded());
}

TEST(TDBEkTreeView, EmptiesWhenItsSourceGoes)
{
    for (const bool autoRebuild : {true, false}) {
        TreeOver t(LevelTable({{Value(1), Value(0), Value(0)}}));
        t.tree->SetLevelFields(QStringLiteral("A;B"));
        auto source = std::make_unique<TDataSource>();
        source->SetDataSet(t.ds.get());
        t.tree->SetDataSource(source.get());
        t.tree->SetAutoRebuild(autoRebuild);
        EXPECT_EQ(t.tree->RootCount(), 1);
        source.reset();
        EXPECT_EQ(t.tree->DataSource(), nullptr);
        EXPECT_EQ(t.tree->RootCount(), 0);
        t.ds->Next();
    }
}

// The picture of an expanded tree: every caption drawn, each level indented under its parent,
// the current record's row highlighted.
TEST(TDBEkTreeView, ScreenshotOfAnExpandedTree)
{
    TreeOver t(LevelTable({{Value(1), Value(0), Value(0), Value(QStringLiteral("Priede"))},
                           {Value(2), Value(1), Value(0), Value(QStringLiteral("Zāģbaļķi"))},
                           {Value(3), Value(1), Value(2), Value(QStringLiteral("1. nogrieznis"))},
                           {Value(4), Value(1), Value(2), Value(QStringLiteral("2. nogrieznis"))},
                           {Value(5), Value(1), Value(0), Value(QStringLiteral("Papīrmalka"))},
                           {Value(6), Value(0), Value(0), Value(QStringLiteral("Egle"))},
                           {Value(7), Value(0), Value(0), Value(QStringLiteral("Bērzs"))}}));
    t.tree->SetLevelFields(QStringLiteral("A;B"));
    t.Attach();
    t.Show();
    t.ds->Locate(QStringLiteral("K"), Value(3));
    t.tree->FindNode(1)->Expand(true);
    QApplication::processEvents();
    const QImage image = t.tree->grab().toImage();
    ASSERT_FALSE(image.isNull());
    // A row of the picture, in the picture's coordinates.
    auto row = [&](int key) {
        const QRect r = t.tree->visualItemRect(t.tree->FindNode(key));
        return QRect(t.tree->viewport()->mapTo(t.tree.get(), r.topLeft()), r.size());
    };
    const QRgb base = t.tree->palette().color(QPalette::Base).rgb();
    auto inkIn = [&](const QRect& r) {
        int ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ink += image.rect().contains(x, y) && image.pixel(x, y) != base;
        return ink;
    };
    const int order[] = {1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < 7; ++i) {
        const QRect r = row(order[i]);
        ASSERT_TRUE(image.rect().contains(r.topLeft())) << order[i] << ": the whole tree is in the picture";
        if (i > 0)
            EXPECT_GT(r.top(), row(order[i - 1]).top()) << order[i];
        EXPECT_GT(inkIn(r), 20) << order[i] << ": its caption is drawn";
    }
    EXPECT_GT(row(2).left(), row(1).left()) << "the branch is indented under its parent";
    EXPECT_GT(row(3).left(), row(2).left());
    EXPECT_EQ(row(5).left(), row(2).left());
    EXPECT_EQ(row(6).left(), row(1).left());
    // The current record's row is highlighted, the others are not.
    const QRect current = row(3);
    const QColor highlight = image.pixelColor(current.right() - 2, current.center().y());
    // The style may shade the selection a little.
    auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= 12;
    };
    EXPECT_TRUE(near(highlight, t.tree->palette().color(QPalette::Active, QPalette::Highlight)) ||
                near(highlight, t.tree->palette().color(QPalette::Inactive, QPalette::Highlight)))
        << highlight.name().toStdString() << " "
        << t.tree->palette().color(QPalette::Highlight).name().toStdString();
    const QRect other = row(4);
    EXPECT_EQ(image.pixel(other.right() - 2, other.center().y()), base);
}

} // namespace
