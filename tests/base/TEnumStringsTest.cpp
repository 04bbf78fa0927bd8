#include "QtPrinters.h"
#include "base/TEnumStrings.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/EInvalidCast.h"
#include "platform/rtl/EListError.h"

#include <gtest/gtest.h>

namespace {

class Foreign : public TObject
{
};

TEST(TEnumStringsOwn, CodesOfAddedAndInsertedItems)
{
    TEnumStrings list;
    list.Add(QStringLiteral("plain"));
    list.AddInt(QStringLiteral("seven"), 7);
    list.AddObject(QStringLiteral("nine"), 9);
    list.Insert(2, QStringLiteral("inserted"));
    EXPECT_EQ(list.ToStringList(),
              (QStringList{QStringLiteral("plain"), QStringLiteral("seven"), QStringLiteral("inserted"),
                           QStringLiteral("nine")}));
    EXPECT_EQ(list.GetObject(0), 0);
    EXPECT_EQ(list.GetObject(1), 7);
    EXPECT_EQ(list.GetObject(2), 2);
    EXPECT_EQ(list.IndexOfObject(0), 0); // an item without a box counts as code 0
    EXPECT_EQ(list.IndexOfObject(9), 3);
    EXPECT_EQ(list.IndexOfObject(42), -1);
    list.SetObject(1, 70);
    EXPECT_EQ(list.GetObject(1), 70);
    list.SetObject(0, 5);
    EXPECT_EQ(list.GetObject(0), 5);
    EXPECT_EQ(list.AddUnique(QStringLiteral("SEVEN")), 1); // texts compare without case
    EXPECT_EQ(list.AddUnique(QStringLiteral("ten")), 4);
    list.Delete(-1);
    EXPECT_EQ(list.Count(), 5);
    list.Delete(1);
    EXPECT_EQ(list.IndexOfObject(70), -1);
    EXPECT_THROW(list.Delete(10), EListError);
    list.Sort();
    EXPECT_EQ(list.Get(0), QStringLiteral("inserted"));
    EXPECT_EQ(list.GetObject(0), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TEnumStringsOwn, ForeignObjectsAreAnInvalidCast)
{
    TEnumStrings list;
    Foreign foreign;
    list.Add(QStringLiteral("a"));
    list.PutObject(0, &foreign);
    EXPECT_EQ(list.GetObjectPtr(0), &foreign);
    EXPECT_THROW(list.GetObject(0), EInvalidCast);
    EXPECT_THROW(list.SetObject(0, 1), EInvalidCast);
    EXPECT_THROW(list.IndexOfObject(1), EInvalidCast);
    list.PutObject(0, nullptr);
}

TEST(TEnumStringsPassThrough, OperationsReachTheUnderlyingList)
{
    TStringList orig;
    int changes = 0;
    {
        TEnumStrings list(&orig);
        list.OnChange = [&](TStrings*) { ++changes; };
        EXPECT_EQ(list.AddInt(QStringLiteral("b"), 7), 0);
        EXPECT_EQ(orig.Count(), 1);
        EXPECT_NE(orig.GetObjectPtr(0), nullptr);
        EXPECT_EQ(changes, 1);
        list.Add(QStringLiteral("c"));
        list.InsertObject(0, QStringLiteral("a"), 3);
        EXPECT_EQ(orig.ToStringList(),
                  (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        EXPECT_EQ(list.GetObject(0), 3);
        EXPECT_EQ(list.GetObject(2), 0);
        EXPECT_EQ(list.IndexOfObject(0), -1); // items without a box are skipped here
        EXPECT_EQ(list.IndexOfObject(7), 1);
        list.Delete(-1);
        list.Delete(0);
        EXPECT_EQ(orig.Count(), 2);
        list.Clear();
        EXPECT_EQ(orig.Count(), 0);

        list.AddInt(QStringLiteral("zeta"), 26);
        list.AddInt(QStringLiteral("alpha"), 1);
        list.AddInt(QStringLiteral("mu"), 12);
        list.Sort();
        ASSERT_EQ(orig.ToStringList(),
                  (QStringList{QStringLiteral("alpha"), QStringLiteral("mu"), QStringLiteral("zeta")}));
        EXPECT_EQ(list.GetObject(0), 1);
        EXPECT_EQ(list.GetObject(1), 12);
        EXPECT_EQ(list.GetObject(2), 26);

        orig.Add(QStringLiteral("own"));
        list.BeginUpdate();
        EXPECT_EQ(orig.UpdateCount(), 1);
        list.EndUpdate();
        EXPECT_EQ(orig.UpdateCount(), 0);
    }
    // The list is gone: the underlying list keeps its texts but no slot points at a freed box.
    ASSERT_EQ(orig.Count(), 4);
    for (int i = 0; i < orig.Count(); ++i)
        EXPECT_EQ(orig.GetObjectPtr(i), nullptr);
}

TEST(TEnumStringsAssign, CopiesTextsAndCodes)
{
    TEnumStrings source;
    source.AddInt(QStringLiteral("x"), 4);
    source.Add(QStringLiteral("y"));
    TStringList orig;
    TEnumStrings target(&orig);
    target.AddInt(QStringLiteral("old"), 1);
    target.Assign(source);
    EXPECT_EQ(orig.ToStringList(), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_EQ(target.GetObject(0), 4);
    EXPECT_EQ(target.GetObject(1), 0);
    EXPECT_NE(orig.GetObjectPtr(1), nullptr); // a new box with code 0
    TStringList plain;
    try {
        target.Assign(plain);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Assign source must be source TEnumStrings"));
    }
}

TEST(TEnumStringsAssign, TextsAsPrimaryKey)
{
    TEnumStrings list;
    EXPECT_TRUE(list.AsPrimaryKey().IsNull());
    list.AddInt(QStringLiteral("12"), 99);
    const Value one = list.AsPrimaryKey();
    EXPECT_EQ(one.GetKind(), Value::Kind::Integer);
    EXPECT_EQ(one.AsInteger(), 12);
    list.Clear();
    list.Add(QStringLiteral("1"));
    list.Add(QStringLiteral("2"));
    const Value two = list.AsPrimaryKey();
    ASSERT_TRUE(two.IsArray());
    EXPECT_EQ(two.Count(), 2);
    EXPECT_EQ(two[1].AsInteger(), 2);
    list.Add(QStringLiteral("x"));
    EXPECT_THROW(list.AsPrimaryKey(), EConvertError);
}

} // namespace
