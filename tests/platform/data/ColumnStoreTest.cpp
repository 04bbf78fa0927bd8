// Texts kept in a column's shared character store come back as they were written, whatever was
// written, overwritten or dropped around them, and order as QString orders them.

#include "platform/data/ColumnStore.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <iterator>

namespace {

int Sign(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

TEST(ColumnStore, TextsComeBackAsWrittenAcrossOverwritesAndAWidening)
{
    TColumnStore c(TColumnStore::Kind::String);
    c.Resize(4);
    const QString shared = QStringLiteral("Massevirke");
    c.SetString(0, shared);
    c.SetString(1, shared); // the same string again
    c.SetString(2, QString(QLatin1StringView("")));
    EXPECT_TRUE(c.IsNull(3));
    EXPECT_TRUE(c.StringAt(3).isNull());
    EXPECT_FALSE(c.IsNull(2));
    EXPECT_TRUE(c.StringAt(2).isEmpty());
    EXPECT_FALSE(c.StringAt(2).isNull());

    // Many edits of one record (the store squeezes out what they gave up), then a text beyond
    // Latin-1 that turns the store wide.
    for (int i = 0; i < 5000; ++i)
        c.SetString(3, QStringLiteral("edit %1 ").arg(i).repeated(3));
    EXPECT_EQ(c.StringAt(3), QStringLiteral("edit 4999 ").repeated(3));
    c.SetString(2, QStringLiteral("Bērzs"));
    EXPECT_EQ(c.StringAt(0), shared);
    EXPECT_EQ(c.StringAt(1), shared);
    EXPECT_EQ(c.StringAt(2), QStringLiteral("Bērzs"));
    for (int i = 0; i < 5000; ++i)
        c.SetString(1, QStringLiteral("ā%1").arg(i));
    EXPECT_EQ(c.StringAt(0), shared);
    EXPECT_EQ(c.StringAt(1), QStringLiteral("ā4999"));
    EXPECT_EQ(c.StringAt(2), QStringLiteral("Bērzs"));

    // A string changed in place after it was written is a new text, also when its characters
    // stay where they were (raw data).
    QString edited = QStringLiteral("GRAN");
    QChar raw[] = {u'F', u'U', u'R', u'U'};
    const QString rawText = QString::fromRawData(raw, 4);
    c.SetString(0, edited);
    c.SetString(2, rawText);
    edited[0] = u'X';
    raw[0] = u'S';
    c.SetString(1, edited);
    c.SetString(3, rawText);
    EXPECT_EQ(c.StringAt(0), QStringLiteral("GRAN"));
    EXPECT_EQ(c.StringAt(1), QStringLiteral("XRAN"));
    EXPECT_EQ(c.StringAt(2), QStringLiteral("FURU"));
    EXPECT_EQ(c.StringAt(3), QStringLiteral("SURU"));

    c.SetNull(0);
    EXPECT_TRUE(c.IsNull(0));
    EXPECT_TRUE(c.StringAt(0).isNull());
    c.Resize(2);
    c.Resize(3);
    EXPECT_TRUE(c.IsNull(2));
    EXPECT_EQ(c.StringAt(1), QStringLiteral("XRAN"));
}

TEST(ColumnStore, TextsOfEveryLengthComeBackAcrossOverwritesAndCuts)
{
    // Lengths around where a text stops being short, overwritten by one another, squeezed
    // (many edits), cut off by a smaller count and grown again.
    const int lengths[] = {0, 1, 254, 255, 256, 4000, 70000};
    const int n = int(std::size(lengths));
    TColumnStore c(TColumnStore::Kind::String);
    c.Resize(n);
    const auto textOf = [](int length, char fill) { return QString(length, QLatin1Char(fill)); };
    for (int i = 0; i < n; ++i)
        c.SetString(i, textOf(lengths[i], 'a'));
    for (int i = 0; i < n; ++i) // each slot takes the next one's length
        c.SetString(i, textOf(lengths[(i + 1) % n], 'b'));
    for (int k = 0; k < 300; ++k)
        c.SetString(0, textOf(lengths[k % n], 'c'));
    for (int i = 1; i < n; ++i)
        EXPECT_EQ(c.StringAt(i), textOf(lengths[(i + 1) % n], 'b')) << i;
    EXPECT_EQ(c.StringAt(0), textOf(lengths[299 % n], 'c'));
    EXPECT_EQ(c.Compare(4, 5), -1); // 256 characters against 4000 of the same
    c.Resize(3);
    c.Resize(n);
    for (int i = 3; i < n; ++i)
        EXPECT_TRUE(c.StringAt(i).isNull()) << i;
    c.SetString(n - 1, QStringLiteral("kort"));
    EXPECT_EQ(c.StringAt(n - 1), QStringLiteral("kort"));
    EXPECT_EQ(c.StringAt(2), textOf(lengths[3], 'b'));
}

TEST(ColumnStore, TextsOrderAsQStringOrdersThem)
{
    // Latin-1 letters whose case folding leaves Latin-1 (µ), upper and lower case, prefixes.
    const QStringList texts = {QStringLiteral("µ"), QStringLiteral("ä"), QStringLiteral("Ä"), QStringLiteral("a"),
                               QStringLiteral("A"), QStringLiteral("ab"), QStringLiteral("ÿ"), QStringLiteral("z"),
                               QString(QLatin1StringView("")), QStringLiteral("Z")};
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide store" : "Latin-1 store");
        TColumnStore c(TColumnStore::Kind::String);
        c.Resize(int(texts.size()) + 1);
        for (int i = 0; i < texts.size(); ++i)
            c.SetString(i, texts[i]);
        if (wide)
            c.SetString(int(texts.size()), QStringLiteral("Ē"));
        for (int a = 0; a < texts.size(); ++a) {
            for (int b = 0; b < texts.size(); ++b) {
                for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
                    const int expected = Sign(QString::compare(texts[a], texts[b], cs));
                    const bool ci = cs == Qt::CaseInsensitive;
                    EXPECT_EQ(c.Compare(a, b, ci), expected) << a << ' ' << b << ' ' << ci;
                    EXPECT_EQ(c.CompareText(a, texts[b], ci), expected) << a << ' ' << b << ' ' << ci;
                }
            }
        }
    }
}

} // namespace
