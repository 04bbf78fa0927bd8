#include "GridTestUtil.h"

#include "grids/TrimHintText.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(GridDrawing, CellsShowTheRecordsOfTheirRows)
{
    GridOver g(5);
    g.grid->texts.clear();
    g.grid->InvalidateGrid();
    g.grid->PaintNow();
    const auto title = g.grid->TextsOfRow(0);
    EXPECT_EQ(title, (std::vector<QString>{"Koka nr.", "SUGA", "DATUMS", "PIEZ"}));
    const auto row2 = g.grid->TextsOfRow(2);
    ASSERT_EQ(row2.size(), 4u);
    EXPECT_EQ(row2[0], "2");
    EXPECT_EQ(row2[1], "Bērzs");
    g.ds->SetRecNo(2);
    const QString date = g.ds->FieldByName(QStringLiteral("DATUMS"))->DisplayText();
    g.ds->SetRecNo(1);
    EXPECT_FALSE(date.isEmpty());
    EXPECT_EQ(row2[2], date) << "the second record's date, not the current one's";
    EXPECT_EQ(g.ds->RecNo(), 1) << "painting never moves the cursor";
    EXPECT_EQ(g.grid->DataLink()->ActiveRecord(), 0);
}

TEST(GridDrawing, IndicatorStateOfRows)
{
    GridOver g(5);
    TestGrid& grid = *g.grid;
    EXPECT_EQ(grid.IndicatorState(-1), -1) << "the top-left cell has no glyph";
    EXPECT_EQ(grid.IndicatorState(0), 0) << "current record while browsing";
    EXPECT_EQ(grid.IndicatorState(1), -1);
    g.ds->Edit();
    EXPECT_EQ(grid.IndicatorState(0), 1);
    g.ds->Cancel();
    g.ds->Insert();
    EXPECT_EQ(grid.IndicatorState(grid.DataLink()->ActiveRecord()), 2);
    g.ds->Cancel();
    grid.selectedRow = 2;
    EXPECT_EQ(grid.IndicatorState(2), 3) << "selected";
    g.ds->MoveBy(2);
    EXPECT_EQ(grid.IndicatorState(2), 4) << "selected and current";
    grid.selectedRow = -1;
    for (int cached : {1, 2, 3}) {
        grid.cachedState = cached;
        EXPECT_EQ(grid.IndicatorState(0), cached + 4);
    }
    grid.cachedState = 0;
    EXPECT_EQ(grid.SelRow(), 3) << "the row last drawn as the current record";
}

TEST(GridDrawing, EditTextsOfNoDateValuesAndMemos)
{
    GridOver g(3);
    TestGrid& grid = *g.grid;
    TField* date = g.ds->FieldByName(QStringLiteral("DATUMS"));
    TField* memo = g.ds->FieldByName(QStringLiteral("PIEZ"));
    struct Case { Value value; bool empty; };
    const Case cases[] = {{Value(DateTime::EncodeDate(1900, 1, 1)), true},
                          {Value(DateTime::EncodeDate(3000, 1, 1)), true},
                          {Value(), true},
                          {Value(DateTime::EncodeDate(1900, 1, 2)), false}};
    for (const Case& c : cases) {
        g.ds->Edit();
        date->SetValue(c.value);
        g.ds->Post();
        EXPECT_EQ(grid.GetEditText(3, 1).isEmpty(), c.empty);
        EXPECT_EQ(grid.GetCellHintText(2).isEmpty(), c.empty);
    }
    g.ds->Edit();
    memo->SetAsString(QStringLiteral("a\nb"));
    g.ds->Post();
    EXPECT_EQ(grid.GetEditText(4, 1), "a");
    EXPECT_EQ(grid.GetCellHintText(3), "a\nb");
}

TEST(GridDrawing, HintsUnderTheMouse)
{
    GridOver g(3, QSize(600, 200));
    TestGrid& grid = *g.grid;
    TField* suga = g.ds->FieldByName(QStringLiteral("SUGA"));
    TField* memo = g.ds->FieldByName(QStringLiteral("PIEZ"));
    g.ds->Next();
    g.ds->Edit();
    suga->SetAsString(QStringLiteral("a|b"));
    memo->SetAsString(QStringLiteral("a\nb"));
    g.ds->Post();
    g.ds->First();
    grid.ColumnByFieldName(QStringLiteral("SUGA"))->SetWidth(20);

    // The second record's cells, while the cursor stays on the first.
    QTest::mouseMove(grid.viewport(), grid.CellRect(2, 2).center());
    EXPECT_EQ(grid.Hint(), QString::fromUtf8("a¦b"));
    QTest::mouseMove(grid.viewport(), grid.CellRect(4, 2).center());
    EXPECT_EQ(grid.Hint(), "a\r\nb\r\n") << "a line break keeps even a short hint";
    QTest::mouseMove(grid.viewport(), grid.CellRect(1, 2).center());
    EXPECT_EQ(grid.Hint(), "") << "text that fits needs no hint";
    QTest::mouseMove(grid.viewport(), grid.CellRect(2, 0).center());
    EXPECT_EQ(grid.Hint(), "SUGA") << "a caption wider than its column";
    QTest::mouseMove(grid.viewport(), grid.CellRect(1, 0).center());
    EXPECT_EQ(grid.Hint(), "") << "a caption that fits";
    EXPECT_EQ(g.ds->RecNo(), 1);
    EXPECT_EQ(grid.DataLink()->ActiveRecord(), 0);

    // Below the last record there is no record to hint, and nothing is switched.
    const QRect last = grid.CellRect(2, 3);
    QTest::mouseMove(grid.viewport(), QPoint(last.center().x(), last.bottom() + 30));
    EXPECT_EQ(grid.Hint(), "");
    EXPECT_EQ(grid.DataLink()->ActiveRecord(), 0);
}

TEST(GridDrawing, TrimHintText)
{
    QStringList many;
    for (int i = 1; i <= 25; ++i)
        many << QString::number(i);
    const QString trimmed = TrimHintText(many.join(QLatin1Char('\n')), 20, 200, 200);
    const QStringList lines = trimmed.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 21) << "20 lines, each ended by CR LF";
    EXPECT_EQ(lines[18], "19");
    EXPECT_EQ(lines[19], "...");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(TrimHintText(QString(400, QLatin1Char('x')), 20, 200, 200).size(), 400);
    const QString cut = TrimHintText(QString(401, QLatin1Char('x')), 20, 200, 200);
    EXPECT_EQ(cut, QString(197, QLatin1Char('x')) + "...");
    EXPECT_EQ(TrimHintText(QStringLiteral("abc"), 0, 0, 0), "abc");
}

TEST(GridDrawing, CheckBoxStates)
{
    TestGrid grid;
    TEkColumn* c = grid.Columns()->Add();
    struct Case { QString unchecked; Value value; int state; };
    const Case cases[] = {
        {"F;False;No", Value(QStringLiteral("t")), 1},
        {"F;False;No", Value(QStringLiteral("TRUE")), 1},
        {"F;False;No", Value(QStringLiteral("yes")), 1},
        {"F;False;No", Value(QStringLiteral("no")), 0},
        {"F;False;No", Value(), 2},
        {";F", Value(), 0},
        {"F;;N", Value(QStringLiteral("")), 0},
        {"F;", Value(), 2},
        {"F;False;No", Value(QStringLiteral("x")), 2},
    };
    for (const Case& k : cases) {
        c->SetValueUnchecked(k.unchecked);
        EXPECT_EQ(TCustomDBEdGrid::CheckStateOfValue(k.value, c), k.state) << k.unchecked.toStdString();
    }
    QStringList pieces;
    TCustomDBEdGrid::SplitCheckValues(QStringLiteral("a;;b;"), pieces);
    EXPECT_EQ(pieces, (QStringList{"A", "", "B"}));
}

TEST(GridDrawing, ScrollingByOneRecordRepaintsOnlyNewRows)
{
    GridOver g(100);
    TestGrid& grid = *g.grid;
    const int visible = grid.VisibleRowCount();
    ASSERT_GT(visible, 3);
    g.ds->MoveBy(visible - 1); // the last visible row
    grid.PaintNow();
    grid.texts.clear();
    g.ds->Next(); // the window moves by one record
    grid.PaintNow();
    std::set<int> rows;
    for (const auto& t : grid.texts)
        rows.insert(t.row);
    EXPECT_FALSE(rows.empty());
    EXPECT_LE(rows.size(), 3u) << "only the rows around the new record are painted";
    EXPECT_EQ(rows.count(0), 0u) << "the title row stays";
}

} // namespace
