#include "base/EValidationException.h"
#include "base/KelpError.h"

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

} // namespace
