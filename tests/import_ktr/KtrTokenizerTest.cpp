#include "import/KtrTokenizer.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <deque>
#include <string>
#include <vector>

namespace {

struct Tok {
    std::string number;
    std::string type;
    QString value;
    bool cut = false;
};

std::vector<Tok> Split(const QByteArray& bytes)
{
    KtrTokenizer t(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::vector<Tok> out;
    KtrRawVariable v;
    while (t.Next(v))
        out.push_back({std::string(v.Number), std::string(v.Type), v.Value(), v.CutInType});
    return out;
}

struct Case {
    const char* name;
    QByteArray bytes;
    std::vector<Tok> expected;
};

} // namespace

TEST(KtrTokenizer, Cases)
{
    const QString latin = QString::fromLatin1("S\xF8r\xE5s");
    const Case cases[] = {
        {"plain", "1 2 abc~3 1 5~", {{"1", "2", "abc"}, {"3", "1", "5"}}},
        // After "~" LF the number keeps its line feed; CR is dropped from it.
        {"LF between variables", "1 2 a~\n3 1 b~", {{"1", "2", "a"}, {"\n3", "1", "b"}}},
        {"CR LF between variables", "1 2 a~\r\n3 1 b~\r\n", {{"1", "2", "a"}, {"\n3", "1", "b"}}},
        // A type that ends at "~" closes the variable with an empty value.
        {"type closed by the mark", "991 19~992 976~", {{"991", "19", ""}, {"992", "976", ""}}},
        // The value begins on the next line; the line break is not part of it.
        {"value on the next line", "1 1 \nKalibrering SKALMAN 6.9~", {{"1", "1", "Kalibrering SKALMAN 6.9"}}},
        {"value on the next line, CR LF", "1 1 \r\nKTR~", {{"1", "1", "KTR"}}},
        // The type may end at a line break, too.
        {"type ended by LF", "1 1\nabc~", {{"1", "1", "abc"}}},
        {"type ended by CR LF", "1 1\r\nabc~", {{"1", "1", "abc"}}},
        // Every line break inside a value is a blank: CR LF gives two.
        {"multi-line value", "373 3 \n450\n510~", {{"373", "3", "450 510"}}},
        {"multi-line value, CR LF", "373 3 \r\n450\r\n510\r\n~", {{"373", "3", "450  510"}}},
        {"value trimmed", "3 4 \n25681 ~", {{"3", "4", "25681"}}},
        {"empty value on its own line", "3 2 \n~3 3 1~", {{"3", "2", ""}, {"3", "3", "1"}}},
        {"empty value after a blank", "3 2 ~4 1 x~", {{"3", "2", ""}, {"4", "1", "x"}}},
        // Bytes above 127 are Latin-1 characters, one per byte.
        {"Latin-1", "21 1 S\xF8r\xE5s~", {{"21", "1", latin}}},
        // The last value without "~" keeps what was read.
        {"no final mark", "1 2 a~3 1 tail", {{"1", "2", "a"}, {"3", "1", "tail"}}},
        // A file that ends within a number drops it; within a type reports the cut.
        {"ends in a number", "1 2 a~\n99", {{"1", "2", "a"}}},
        {"ends in a type", "1 2 a~993 26", {{"1", "2", "a"}, {"993", "26", "", true}}},
        {"ends after a number", "1 2 a~7 ", {{"1", "2", "a"}, {"7", "", "", true}}},
        {"type trimmed of control characters", "1 \t2\t abc~", {{"1", "2", "abc"}}},
        {"empty file", "", {}},
        {"only line breaks", "\r\n\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Tok> got = Split(c.bytes);
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].number, c.expected[i].number) << i;
            EXPECT_EQ(got[i].type, c.expected[i].type) << i;
            EXPECT_EQ(got[i].value, c.expected[i].value) << i;
            EXPECT_EQ(got[i].cut, c.expected[i].cut) << i;
        }
    }
}

// Equal values come back as one pooled text, and unequal ones as texts of their own, also
// for values alike but for one byte and once more values have been met than are remembered.
TEST(KtrTokenizer, EqualValuesShareOnePooledText)
{
    std::vector<QByteArray> distinct;
    for (int i = 0; i < 40000; ++i) {
        // Lengths 1 to 24 around every size the bytes are taken in; many differ in one byte.
        distinct.push_back(QByteArray(i % 20, 'x') + QByteArray::number(i));
    }
    // Each value twice, then one common to all, as a file repeats codes stem after stem.
    const QByteArray common = "Massevirke\nMassevirke";
    QByteArray file;
    for (const QByteArray& v : distinct)
        file += "5 1 " + v + "~5 2 " + v + "~6 1 " + common + "~";
    std::deque<QString> pool;
    KtrTokenizer t(file.constData(), std::size_t(file.size()), &pool);
    KtrRawVariable v;
    for (const QByteArray& d : distinct) {
        ASSERT_TRUE(t.Next(v));
        ASSERT_NE(v.Pooled, nullptr);
        EXPECT_EQ(*v.Pooled, QString::fromLatin1(d));
        const QString* first = v.Pooled;
        ASSERT_TRUE(t.Next(v));
        EXPECT_EQ(v.Pooled, first) << d.constData();
        ASSERT_TRUE(t.Next(v));
        EXPECT_EQ(v.Value(), QStringLiteral("Massevirke Massevirke"));
    }
    EXPECT_FALSE(t.Next(v));
    // The common value is held a few times at most, each distinct one once.
    EXPECT_GE(pool.size(), distinct.size() + 1);
    EXPECT_LE(pool.size(), distinct.size() + 10);
}
