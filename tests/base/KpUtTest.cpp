#include "QtPrinters.h"
#include "base/KpUt.h"
#include "base/TLargeIntSet.h"
#include "platform/rtl/EListError.h"
#include "platform/rtl/ERangeError.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const QString kSemi = QStringLiteral(";");

TEST(KpUtTokens, StrTokenSplitsAtTheFirstDelimiter)
{
    const struct
    {
        const char *src, *delim;
        bool trim;
        const char *token, *rest;
    } cases[] = {
        {"a;b;c", ";", false, "a", "b;c"},
        {"abc", ";", false, "abc", ""},
        {" a ; b ", ";", true, "a", "b "},
        {" a ; b ", ";", false, " a ", " b "},
        {"a--b", "--", false, "a", "b"},
        {"a;b", "", false, "a;b", ""},
    };
    for (const auto& c : cases) {
        QString src = QString::fromUtf8(c.src), token;
        KpUt::StrToken(src, token, QString::fromUtf8(c.delim), c.trim);
        EXPECT_EQ(token, QString::fromUtf8(c.token)) << c.src;
        EXPECT_EQ(src, QString::fromUtf8(c.rest)) << c.src;
    }
}

TEST(KpUtTokens, CountingAndPickingTokens)
{
    const struct
    {
        const char* src;
        int count;
        const char* second;
        const char* untilSecond;
        const char* afterFirst;
    } cases[] = {
        {"a;b;c", 3, "b", "a;b", "b;c"},
        {"a;", 1, "", "a;", ""},
        {";a", 2, "a", ";a", "a"},
        {"a", 1, "", "a", ""},
        {"a ; b ;c", 3, " b ", "a ; b", "b ;c"},
        {"", 0, "", "", ""},
    };
    for (const auto& c : cases) {
        const QString s = QString::fromUtf8(c.src);
        EXPECT_EQ(KpUt::TokenCnt(s, kSemi), c.count) << c.src;
        EXPECT_EQ(KpUt::TokenFromString(s, 2, kSemi), QString::fromUtf8(c.second)) << c.src;
        EXPECT_EQ(KpUt::TokensUntil(s, 2, kSemi), QString::fromUtf8(c.untilSecond)) << c.src;
        EXPECT_EQ(KpUt::TokensAfter(s, 1, kSemi), QString::fromUtf8(c.afterFirst)) << c.src;
    }
    EXPECT_EQ(KpUt::TokenFromString(QStringLiteral("a;b;c"), 4, kSemi), QString());
    EXPECT_EQ(KpUt::TokenFromString(QStringLiteral("a;b;c"), 0, kSemi), QString());
    EXPECT_EQ(KpUt::TokenFromString(QStringLiteral("a;b;"), 3, kSemi), QString());
    EXPECT_EQ(KpUt::TokensUntil(QStringLiteral("a;b"), 0, kSemi), QString());
    EXPECT_EQ(KpUt::TokensAfter(QStringLiteral("a;b"), 0, kSemi), QStringLiteral("a;b"));
}

TEST(KpUtTokens, WholeTokenSearch)
{
    const TFieldChars none;
    const TFieldChars semi = KpUt::FieldChars(QStringLiteral(";"));
    const struct
    {
        const char *str, *token;
        bool withSemi, found;
    } cases[] = {
        {"ID", "ID", false, true},         {"X ID", "ID", false, true},
        {"IDX", "ID", false, false},       {"XID", "ID", false, false},
        {"ID;NAME", "ID", false, false},   {"ID;NAME", "ID", true, true},
        {"ID;NAME", "NAME", true, true},   {"IDNAME;NAME", "NAME", true, true},
        {"XIDX ID", "ID", false, true},    {"A IDX B", "ID", false, false},
        {"", "ID", false, false},          {"ID", "", false, false},
        {"IDID ID", "ID", false, true},    {"ĀID ID", "ID", false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KpUt::StrContainsToken(QString::fromUtf8(c.str), QString::fromUtf8(c.token),
                                         c.withSemi ? semi : none),
                  c.found)
            << c.str << " / " << c.token;
    // characters beyond 8 bits never delimit
    EXPECT_FALSE(KpUt::StrContainsToken(QStringLiteral("ĀIDĀ"), QStringLiteral("ID"),
                                        KpUt::FieldChars(QStringLiteral("Ā"))));
}

TEST(KpUtTokens, SeparatedListsAndQuotes)
{
    EXPECT_TRUE(KpUt::IsTokenInString(QStringLiteral("b"), QStringLiteral("a; b ;c"), kSemi));
    EXPECT_FALSE(KpUt::IsTokenInString(QStringLiteral("B"), QStringLiteral("a;b"), kSemi));
    EXPECT_EQ(KpUt::AddSeparated(QStringLiteral("a;b"), kSemi, QStringLiteral("b"), true),
              QStringLiteral("a;b"));
    EXPECT_EQ(KpUt::AddSeparated(QStringLiteral("a;b"), kSemi, QStringLiteral("b"), false),
              QStringLiteral("a;b;b"));
    EXPECT_EQ(KpUt::AddSeparated(QString(), kSemi, QStringLiteral("b"), true), QStringLiteral("b"));
    EXPECT_EQ(KpUt::AddSeparated(QStringLiteral("a"), kSemi, QString(), false), QStringLiteral("a"));
    EXPECT_EQ(KpUt::ExtractQuotedStr(QStringLiteral("\"a \"\"b\"\" c\" rest")),
              QStringLiteral("a \"b\" c"));
    EXPECT_EQ(KpUt::ExtractQuotedStr(QStringLiteral("plain")), QStringLiteral("plain"));
}

TEST(KpUtText, LatvianLettersAndInitials)
{
    EXPECT_EQ(KpUt::AizvietoLVBurtus(QStringLiteral("ĀČĒĢĪĶĻŅŌŖŠŪŽ āčēģīķļņōŗšūž ö")),
              QStringLiteral("ACEGIKLNORSUZ acegiklnorsuz ö"));
    const struct
    {
        const char* text;
        int keep;
        const char* initials;
    } cases[] = {
        {"koka numurs", 2, "KON"},  {"koka numurs", 9, "KOKA N"}, {"  ./baļķa garums  ", 1, "BG"},
        {"a.b/c\\d", 1, "ABCD"},     {"vārds", 3, "VĀR"},          {"", 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KpUt::GetInitials(QString::fromUtf8(c.text), c.keep), QString::fromUtf8(c.initials))
            << c.text;
}

TEST(KpUtValues, FormatStringAndConversions)
{
    const struct
    {
        const char* format;
        Value value;
        const char* expected;
    } cases[] = {
        {"0000", Value(7), "0007"},
        {"000", Value(-7), "-07"}, // the sign stays in front
        {"00", Value(1234), "34"},
        {"xx", Value("a"), "xa"},
        {"", Value(12), "12"},
        {"00", Value(1.5), ""},
        {"00", Value(), ""},
        {"yyyy", Value(DateTime::EncodeDate(2024, 3, 5)), "2024"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KpUt::KelpFormatString(QString::fromUtf8(c.format), c.value),
                  QString::fromUtf8(c.expected))
            << c.format;
    EXPECT_EQ(KpUt::VarToIntDef(Value(), 5), 5);
    EXPECT_EQ(KpUt::VarToIntDef(Value("12"), 5), 12);
    EXPECT_EQ(KpUt::VarToIntDef(Value("x"), 5), 5);
    EXPECT_EQ(KpUt::VarToIntDef(Value(2.5), 5), 5);
    EXPECT_EQ(KpUt::iif(true, Value(1), Value(2)).AsInteger(), 1);
    for (const char* yes : {"0", "123", "-5"})
        EXPECT_TRUE(KpUt::IsNum(QString::fromUtf8(yes))) << yes;
    for (const char* no : {"", "-", "1-", "1.5", " 1", "--1"})
        EXPECT_FALSE(KpUt::IsNum(QString::fromUtf8(no))) << no;
    EXPECT_THROW(KpUt::GetLocaleString(-1), ERangeError);
    EXPECT_EQ(KpUt::GetLocaleString(0x7FFF), QString());
}

TEST(KpUtWaitCursor, UsesTheInstalledRoutine)
{
    static int calls = 0;
    static bool last = false;
    WaitCursorProc = [](bool on) {
        ++calls;
        last = on;
    };
    KpUt::WaitCursor(true);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(last);
    WaitCursorProc = nullptr;
}

TEST(TLargeIntSetTest, OrderedWithoutDuplicates)
{
    TLargeIntSet set;
    EXPECT_EQ(set.Add(5), 0);
    EXPECT_EQ(set.Add(1), 0);
    EXPECT_EQ(set.Add(5), -1);
    EXPECT_EQ(set.Add(3), 1);
    ASSERT_EQ(set.ItemCount(), 3);
    EXPECT_EQ(set.GetItem(0), 1);
    EXPECT_EQ(set.GetItem(2), 5);
    EXPECT_FALSE(set.Exists(2));
    EXPECT_THROW(set.GetItem(3), EListError);
    EXPECT_THROW(set.GetItem(-1), EListError);
    set.Include({INT_MIN, INT_MAX, 0});
    EXPECT_EQ(set.GetItem(0), INT_MIN);
    EXPECT_EQ(set.GetItem(set.ItemCount() - 1), INT_MAX);
    EXPECT_TRUE(set.Exists(INT_MIN));
    set.Exclude({INT_MIN, 3});
    EXPECT_FALSE(set.Exists(3));

    TLargeIntSet copy;
    copy.Assign(set);
    EXPECT_EQ(copy.ItemCount(), set.ItemCount());
    EXPECT_TRUE(copy.Intersects(set));
    auto other = TLargeIntSet::CreateSet({2, 4, 1});
    EXPECT_TRUE(set.Intersects(*other)); // 1 is in both
    other->Delete(1);
    EXPECT_FALSE(set.Intersects(*other));
    EXPECT_FALSE(set.Intersects(TLargeIntSet()));
    EXPECT_FALSE(set.Intersects({}));
    EXPECT_TRUE(set.Intersects({9, 5}));
    set.Clear();
    EXPECT_EQ(set.ItemCount(), 0);
}

} // namespace
