#include "platform/rtl/EVariantError.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Value.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ValueTest : public ::testing::Test
{
protected:
    void SetUp() override { FormatSettings::SetDefault(FormatSettings::Invariant()); }
};

TEST_F(ValueTest, NullConvertsToZeroOrEmpty)
{
    const Value n;
    EXPECT_TRUE(n.IsNull());
    EXPECT_TRUE(Value::Null().IsNull());
    EXPECT_EQ(n.AsInteger(), 0);
    EXPECT_EQ(n.AsInt64(), 0);
    EXPECT_EQ(n.AsFloat(), 0.0);
    EXPECT_FALSE(n.AsBoolean());
    EXPECT_EQ(n.AsString(), QString());
    EXPECT_EQ(n.AsDateTime().Days(), 0.0);
}

TEST_F(ValueTest, IntegersArePutInAs32BitWhenTheyFit)
{
    const struct
    {
        Value v;
        Value::Kind kind;
    } cases[] = {
        {Value(short(-5)), Value::Kind::Integer},
        {Value(qint8(7)), Value::Kind::Integer},
        {Value(quint16(65535)), Value::Kind::Integer},
        {Value(42), Value::Kind::Integer},
        {Value(qint64(2147483647)), Value::Kind::Integer},
        {Value(qint64(-2147483648LL)), Value::Kind::Integer},
        {Value(qint64(2147483648LL)), Value::Kind::LargeInt},
        {Value(quint32(4000000000u)), Value::Kind::LargeInt},
        {Value::LargeInt(3), Value::Kind::LargeInt},
        {Value(true), Value::Kind::Boolean},
        {Value(1.5), Value::Kind::Float},
        {Value("x"), Value::Kind::String},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.v.GetKind(), c.kind) << c.v.AsString().toStdString();
    EXPECT_THROW(Value(quint64(0xFFFFFFFFFFFFFFFFull)), ERangeError);
}

TEST_F(ValueTest, OrderingWithNullIsFalseEqualityIsNot)
{
    const Value n, one(1);
    EXPECT_FALSE(n < one);
    EXPECT_FALSE(n > one);
    EXPECT_FALSE(one < n);
    EXPECT_FALSE(one >= n);
    EXPECT_FALSE(n <= n);
    EXPECT_TRUE(n == n);
    EXPECT_FALSE(n == one);
    EXPECT_TRUE(n != one);
    EXPECT_TRUE(Value(1) < Value(2.5));
    EXPECT_TRUE(Value(3) == Value(3.0));
    EXPECT_TRUE(Value(qint64(1) << 40) > Value(5));
    EXPECT_TRUE(Value("abc") < Value("abd"));
    EXPECT_FALSE(Value("A") == Value("a"));
    EXPECT_EQ(Value::Compare(Value("A"), Value("a"), true), 0);
    EXPECT_LT(Value::Compare(n, Value(-100)), 0); // for sorting, null comes first
    const Value nan(std::nan(""));
    EXPECT_FALSE(nan == Value(1.0));
    EXPECT_LT(Value::Compare(nan, Value(-1e300)), 0);
    EXPECT_TRUE(Value("10") == Value(10)); // a numeric text against a number compares as numbers
    EXPECT_TRUE(Value("9") < Value(10));
}

TEST_F(ValueTest, ConversionsAndTheirErrors)
{
    EXPECT_EQ(Value("12").AsInteger(), 12);
    EXPECT_EQ(Value(" -7 ").AsInteger(), -7);
    EXPECT_EQ(Value(2.5).AsInteger(), 2); // half to even
    EXPECT_EQ(Value(3.5).AsInteger(), 4);
    EXPECT_EQ(Value("1.25").AsFloat(), 1.25);
    EXPECT_EQ(Value(1.5).AsString(), QStringLiteral("1.5"));
    EXPECT_EQ(Value(true).AsString(), QStringLiteral("True"));
    EXPECT_TRUE(Value("true").AsBoolean());
    EXPECT_THROW(Value("abc").AsInteger(), EVariantError);
    EXPECT_THROW(Value("abc").AsFloat(), EConvertError);
    EXPECT_THROW(Value(qint64(1) << 40).AsInteger(), EVariantError);
    EXPECT_THROW(Value(1e300).AsInt64(), EVariantError);
    EXPECT_THROW(Value(std::nan("")).AsInteger(), EVariantError);
    try {
        Value("x").AsInteger();
        FAIL();
    } catch (const EVariantError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("String")));
    }
}

TEST_F(ValueTest, ArraysHoldKeys)
{
    const Value key(ValueArray{Value(1), Value("b")});
    EXPECT_TRUE(key.IsArray());
    EXPECT_EQ(key.Count(), 2);
    EXPECT_EQ(key[1].AsString(), QStringLiteral("b"));
    EXPECT_TRUE(key == Value(ValueArray{Value(1), Value("b")}));
    EXPECT_THROW(key[2], ERangeError);
    EXPECT_THROW(key.AsInteger(), EVariantError);
}

TEST_F(ValueTest, QVariantRoundTrip)
{
    const Value values[] = {Value(), Value(true), Value(7), Value(qint64(1) << 40), Value(2.25),
                            Value("žāģ"), Value(DateTime::EncodeDateTime(2024, 2, 29, 13, 5, 0))};
    for (const Value& v : values) {
        const Value back = Value::FromQVariant(v.ToQVariant());
        EXPECT_EQ(back.GetKind(), v.GetKind());
        EXPECT_TRUE(back == v);
    }
}

} // namespace
