#include "GridTestUtil.h"

#include "grids/EColumnsReadError.h"
#include "grids/PassthroughColumn.h"
#include "base/TEnumStrings.h"
#include "platform/rtl/Exception.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

// A grid with its own (customized) columns over the trees.
struct OwnColumns : ::testing::Test {
    std::unique_ptr<TClientDataSet> ds = MakeTrees(5);
    TDataSource source;
    TestGrid grid;
    TEkColumn* koks = nullptr;

    void SetUp() override
    {
        source.SetDataSet(ds.get());
        koks = grid.Columns()->Add();
        koks->SetFieldName(QStringLiteral("KOKS_NR"));
        grid.Columns()->Add()->SetFieldName(QStringLiteral("SUGA"));
        grid.SetDataSource(&source);
    }
    QJsonObject saved(int index)
    {
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        grid.Columns()->SaveToStream(buf);
        return QJsonDocument::fromJson(buf.data()).object()["Columns"].toArray()[index].toObject();
    }
};

TEST_F(OwnColumns, UnassignedAttributesFollowTheFieldAndTheGrid)
{
    ASSERT_EQ(grid.Columns()->State(), TDBEdGridColumnsState::csCustomized);
    TField* field = ds->FieldByName(QStringLiteral("KOKS_NR"));
    EXPECT_EQ(koks->Field(), field);
    EXPECT_EQ(koks->Title()->Caption(), "Koka nr.");
    EXPECT_EQ(koks->Alignment(), field->Alignment());
    EXPECT_EQ(koks->Color(), grid.Color());
    EXPECT_EQ(koks->Title()->Color(), grid.FixedColor());
    QFont big = grid.GridFont();
    big.setPixelSize(23);
    grid.SetGridFont(big);
    EXPECT_EQ(koks->Font().pixelSize(), 23) << "the column follows the grid's font";
    field->SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(koks->Alignment(), TAlignment::taCenter);
    field->SetDisplayLabel(QStringLiteral("Nr."));
    EXPECT_EQ(koks->Title()->Caption(), "Nr.");
    // Only the grid's cached "dotted" answer may have been taken.
    TEkColumnValues own = koks->AssignedValues();
    own.Exclude(TEkColumnValue::cvDotted);
    EXPECT_TRUE(own.Empty()) << own.Bits();
    EXPECT_EQ(koks->ValueChecked(), "T;True;Yes");
    EXPECT_FALSE(koks->ReadOnly());
    grid.SetReadOnly(true);
    EXPECT_TRUE(koks->ReadOnly());

    const QJsonObject o = saved(0);
    EXPECT_EQ(o.keys(), (QStringList{"FieldName", "Title"})) << "nothing else is stored";
    EXPECT_TRUE(o["Title"].toObject().isEmpty());
}

TEST_F(OwnColumns, WritersSetFlagsOnlyForOwnValues)
{
    koks->SetWidth(koks->DefaultWidth());
    EXPECT_FALSE(koks->IsAssigned(TEkColumnValue::cvWidth));
    grid.Columns()->SetDescsModified(false);
    koks->SetWidth(koks->DefaultWidth() + 7);
    EXPECT_TRUE(koks->IsAssigned(TEkColumnValue::cvWidth));
    EXPECT_TRUE(grid.Columns()->DescsModified());

    koks->SetImeMode(grid.ImeMode());
    EXPECT_FALSE(koks->IsAssigned(TEkColumnValue::cvImeMode));

    koks->SetValueChecked(QStringLiteral("1"));
    EXPECT_EQ(koks->ValueChecked(), "1");
    EXPECT_EQ(saved(0)["ValueChecked"].toString(), "1");

    koks->SetColor(Qt::yellow);
    koks->Title()->SetCaption(QStringLiteral("Cits"));
    grid.SetColor(Qt::gray);
    EXPECT_EQ(koks->Color(), QColor(Qt::yellow)) << "an own value wins";
    EXPECT_EQ(koks->Title()->Caption(), "Cits");
}

TEST_F(OwnColumns, DateOptionsKeepOneInterimKind)
{
    struct Case {
        TEkColumnDateOptions from, to, expected;
        bool raises;
    };
    const Case cases[] = {
        {0, cdoInterimOnly, cdoInterimOnly | cdoInterimAfterLast, false},
        {0, cdoInterimBeforeFirst | cdoInterimAfterLast, 0, true},
        {cdoInterimNo, cdoInterimNo | cdoInterimBeforeFirst, cdoInterimBeforeFirst, false},
        {cdoInterimNo, cdoMonthOnly | cdoInterimAfterLast | cdoInterimOnly, cdoMonthOnly, false},
        {cdoInterimBeforeFirst, cdoInterimBeforeFirst | cdoInterimOnly, cdoInterimBeforeFirst | cdoInterimOnly, false},
    };
    for (const Case& c : cases) {
        koks->SetDateOptions(0);
        koks->SetDateOptions(c.from);
        if (c.raises) {
            try {
                koks->SetDateOptions(c.to);
                ADD_FAILURE() << "no exception";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), "Invalid interim DateOptions for grid column \"Koka nr.\"");
            }
            EXPECT_EQ(koks->DateOptions(), c.from) << "unchanged after the error";
        } else {
            koks->SetDateOptions(c.to);
            EXPECT_EQ(koks->DateOptions(), c.expected) << int(c.from) << " -> " << int(c.to);
        }
    }
}

TEST_F(OwnColumns, TreeSettingsAndShowStates)
{
    koks->SetTreeMinParentVal(QStringLiteral("abc"));
    EXPECT_EQ(koks->TreeMinParentVal(), "ABC");
    koks->SetTreeMinParentVal(QString());
    EXPECT_EQ(koks->TreeMinParentVal(), "NULL");
    koks->SetTreeParentField(QStringLiteral("PARENT"));
    EXPECT_EQ(koks->TreeDBTreeType(), TEkDBTreeType::dttParentChild);
    koks->SetTreeLevelFields(QStringLiteral("A;B"));
    EXPECT_EQ(koks->TreeDBTreeType(), TEkDBTreeType::dttLevels);
    EXPECT_TRUE(koks->TreeParentField().isEmpty());
    EXPECT_TRUE(koks->TreeMinParentVal().isEmpty());

    koks->SetShowState(TEkColumnVisibleState::cvsRequired);
    koks->SetVisible(false);
    EXPECT_TRUE(koks->Visible()) << "a required column stays shown";
}

TEST_F(OwnColumns, DottedIsAskedAgainAfterRestoringDefaults)
{
    struct DottedGrid : TestGrid {
        int asked = 0;
        bool IsDottedColumn(TEkColumn*) override { ++asked; return true; }
    } dgrid;
    TEkColumn* c = dgrid.Columns()->Add();
    EXPECT_TRUE(c->Dotted());
    EXPECT_TRUE(c->Dotted());
    EXPECT_EQ(dgrid.asked, 1) << "the answer is kept";
    c->RestoreDefaults();
    c->Dotted();
    EXPECT_EQ(dgrid.asked, 2);
}

TEST_F(OwnColumns, DisplayWidthInCharacters)
{
    koks->Title()->SetCaption(QStringLiteral("Nr."));
    const int before = koks->Width();
    koks->SetDisplayWidth(-1);
    EXPECT_EQ(koks->DisplayWidth(), -1);
    EXPECT_EQ(koks->Width(), before);
    koks->SetDisplayWidth(0);
    EXPECT_EQ(koks->Width(), grid.TextWidth(koks->Title()->Font(), QStringLiteral("Nr.")) + 4);
    koks->SetDisplayWidth(5);
    EXPECT_EQ(koks->Width(), 5 * grid.AverageCharWidth(koks->Font()) + 4);
    EXPECT_EQ(koks->DisplayWidth(), 5);
}

TEST_F(OwnColumns, FindFieldAndStates)
{
    EXPECT_EQ(grid.Columns()->FindField(QStringLiteral("koks_nr")), nullptr);
    EXPECT_EQ(grid.Columns()->FindField(QStringLiteral("KOKS_NR")), koks);
    EXPECT_THROW(grid.Columns()->Items(5), Exception);

    TestGrid other;
    new TPassthroughColumn(other.Columns());
    EXPECT_EQ(other.Columns()->State(), TDBEdGridColumnsState::csDefault);
    other.InvisibleColumns()->Add();
    EXPECT_EQ(other.Columns()->State(), TDBEdGridColumnsState::csCustomized);
}

TEST_F(OwnColumns, CopyingAColumnKeepsEveryAttribute)
{
    koks->SetWidth(123);
    koks->SetRequired(true);
    koks->SetMaxLength(7);
    koks->SetReadOnly(true);
    koks->SetDateOptions(cdoMonthOnly);
    koks->SetIndexFields(QStringLiteral("KOKS_NR;SUGA"));
    koks->SetAutoSize(true);
    koks->SetFocusFieldNames(QStringLiteral("A,B"));
    koks->SetCheckingID(QStringLiteral("X1"));
    koks->SetSmartEdit(false);
    koks->SetDotted(true);
    koks->Title()->SetCaption(QStringLiteral("Koks"));
    koks->SetPickList({QStringLiteral("a"), QStringLiteral("b")});
    koks->SetButtonStyle(TEkColumnButtonStyle::cbsEllipsis);

    TDBEdGridColumns copy(&grid);
    TEkColumn* c = copy.Add();
    c->Assign(*koks);
    EXPECT_EQ(c->FieldName(), "KOKS_NR");
    EXPECT_EQ(c->Width(), 123);
    EXPECT_TRUE(c->Required());
    EXPECT_EQ(c->MaxLength(), 7);
    EXPECT_TRUE(c->ReadOnly());
    EXPECT_EQ(c->DateOptions(), cdoMonthOnly);
    EXPECT_EQ(c->IndexFields(), "KOKS_NR;SUGA");
    EXPECT_TRUE(c->AutoSize());
    EXPECT_EQ(c->FocusFieldNames(), "A,B");
    EXPECT_EQ(c->CheckingID(), "X1");
    EXPECT_FALSE(c->SmartEdit());
    EXPECT_TRUE(c->Dotted());
    EXPECT_EQ(c->Title()->Caption(), "Koks");
    EXPECT_EQ(c->PickList()->Count(), 2);
    EXPECT_EQ(c->StoredButtonStyle(), TEkColumnButtonStyle::cbsEllipsis);
    EXPECT_EQ(c->AssignedValues(), koks->AssignedValues());
}

TEST_F(OwnColumns, SavedLayoutRoundTripsAndDamagedTextChangesNothing)
{
    koks->SetWidth(111);
    koks->Title()->SetCaption(QStringLiteral("Koks"));
    koks->SetShowState(TEkColumnVisibleState::cvsHidden);
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    grid.Columns()->SaveToStream(buf);
    const QByteArray text = buf.data();

    grid.Columns()->Clear();
    grid.Columns()->Add()->SetFieldName(QStringLiteral("DATUMS"));
    buf.seek(0);
    grid.Columns()->LoadFromStream(buf);
    ASSERT_EQ(grid.Columns()->Count(), 2);
    TEkColumn* c = grid.Columns()->Items(0);
    EXPECT_EQ(c->FieldName(), "KOKS_NR");
    EXPECT_EQ(c->Width(), 111);
    EXPECT_EQ(c->Title()->Caption(), "Koks");
    EXPECT_EQ(c->ShowState(), TEkColumnVisibleState::cvsHidden);
    EXPECT_EQ(grid.Columns()->Items(1)->FieldName(), "SUGA");

    // A text cut short, or with a bad value in its last column, leaves the columns alone.
    for (QByteArray damaged : {text.left(text.size() / 2),
                               QByteArray(text).replace("\"SUGA\"", "\"SUGA\", \"Width\": \"wide\"")}) {
        QBuffer bad(&damaged);
        bad.open(QIODevice::ReadOnly);
        EXPECT_THROW(grid.Columns()->LoadFromStream(bad), EColumnsReadError);
        ASSERT_EQ(grid.Columns()->Count(), 2);
        EXPECT_EQ(grid.Columns()->Items(0)->Width(), 111);
    }
}

TEST_F(OwnColumns, PickListKeepsItemCodesThroughCopyAndSavedLayout)
{
    TEnumStrings list;
    list.AddInt(QStringLiteral("Priede"), 1);
    list.AddInt(QStringLiteral("Egle"), 0);
    list.AddInt(QStringLiteral("Bērzs"), -7);
    koks->SetPickList(&list);
    auto expectCodes = [](TEnumStrings* l) {
        ASSERT_EQ(l->Count(), 3);
        EXPECT_EQ(l->Get(2), "Bērzs");
        EXPECT_EQ(l->GetObject(0), 1);
        EXPECT_EQ(l->GetObject(1), 0);
        EXPECT_EQ(l->GetObject(2), -7);
    };
    TDBEdGridColumns copy(&grid);
    TEkColumn* c = copy.Add();
    c->Assign(*koks);
    expectCodes(c->PickList());

    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    grid.Columns()->SaveToStream(buf);
    grid.Columns()->Clear();
    buf.seek(0);
    grid.Columns()->LoadFromStream(buf);
    expectCodes(grid.Columns()->Items(0)->PickList());

    // A list written as texts alone (an older layout) reads with code 0.
    QByteArray plain(R"({"Class": "TColumnsWrapper", "Columns": [{"FieldName": "KOKS_NR", "PickList": ["a", "b"]}]})");
    QBuffer old(&plain);
    old.open(QIODevice::ReadOnly);
    grid.Columns()->LoadFromStream(old);
    ASSERT_EQ(grid.Columns()->Items(0)->PickList()->Count(), 2);
    EXPECT_EQ(grid.Columns()->Items(0)->PickList()->GetObject(1), 0);
    koks = grid.Columns()->Items(0);
    koks->SetPickList(static_cast<const TEnumStrings*>(nullptr));
    EXPECT_EQ(koks->PickList()->Count(), 0);
}

// Design-time columns A, B, C of a grid that uses its columns description.
struct ShowStates : ::testing::Test {
    std::unique_ptr<TClientDataSet> ds = MakeTrees(3);
    TDataSource source;
    TestGrid grid;
    void SetUp() override
    {
        source.SetDataSet(ds.get());
        for (const char* n : {"KOKS_NR", "SUGA", "DATUMS"})
            grid.Columns()->Add()->SetFieldName(QString::fromLatin1(n));
        grid.SetDataSource(&source);
        grid.SetUseColumnsDesc(true);
        grid.FixDefaultColumns();
    }
    TEkColumn* col(const char* name) { return grid.ColumnByFieldName(QString::fromLatin1(name)); }
    QStringList shown()
    {
        QStringList r;
        for (int i = 0; i < grid.Columns()->Count(); ++i)
            r << grid.Columns()->Items(i)->FieldName();
        return r;
    }
};

TEST_F(ShowStates, HiddenColumnsComeBackInDesignOrder)
{
    col("SUGA")->SetVisible(false);
    EXPECT_EQ(shown(), (QStringList{"KOKS_NR", "DATUMS"}));
    EXPECT_EQ(grid.InvisibleColumns()->Count(), 1);
    col("SUGA")->SetVisible(true);
    EXPECT_EQ(shown(), (QStringList{"KOKS_NR", "SUGA", "DATUMS"})) << "between A and C";

    col("SUGA")->SetVisible(false);
    col("KOKS_NR")->SetVisible(false);
    col("SUGA")->SetVisible(true);
    EXPECT_EQ(shown(), (QStringList{"DATUMS", "SUGA"})) << "no design predecessor shown: at the end";
    col("KOKS_NR")->SetVisible(true);
    EXPECT_EQ(shown().front(), "KOKS_NR") << "design position 0 goes first";
    EXPECT_TRUE(grid.Columns()->DescsModified());
}

} // namespace
