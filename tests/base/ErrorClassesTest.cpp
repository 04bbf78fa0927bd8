#include "base/EValidationException.h"
#include "base/KelpError.h"

#include "platform/data/IntegerField.h"
#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ErrorClassesTest, MessagesSurviveAsQStringAndUtf8)
{
    try {
        throw EKelpUserError(QStringLiteral("Kļūda failā"));
    } catch (const TKelpError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Kļūda failā"));
        EXPECT_STREQ(e.what(), "Kļūda failā");
    }
    const EValidationException v(QStringLiteral("Nederīgs fails"));
    EXPECT_EQ(v.Field(), nullptr);
    EXPECT_FALSE(v.HasField());
    const std::exception& base = v;
    EXPECT_EQ(std::strcmp(base.what(), "Nederīgs fails"), 0);
}


TEST(ErrorClassesTest, ValidationFieldReadsEmptyOnceTheFieldIsGone)
{
    auto field = std::make_shared<TIntegerField>();
    EValidationException e(QStringLiteral("Nederīgs"), field);
    EXPECT_EQ(e.Field(), field.get());
    const EValidationException copy = e; // as thrown and caught
    auto second = std::make_shared<TIntegerField>();
    e.SetField(second);
    EXPECT_EQ(e.Field(), second.get());
    field.reset();
    EXPECT_EQ(copy.Field(), nullptr);
    e.SetField({});
    EXPECT_EQ(e.Field(), nullptr);
    EXPECT_FALSE(e.HasField());
}

} // namespace
