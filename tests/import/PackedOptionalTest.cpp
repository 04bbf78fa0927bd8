#include "import/PackedOptional.h"

#include <gtest/gtest.h>

#include <optional>

// The packed form must compare, order and convert exactly as std::optional does, also when
// one side is a std::optional (whose own templates would otherwise take it as a plain value).
TEST(PackedOptional, BehavesAsStdOptional)
{
    const std::optional<int32_t> values[] = {std::nullopt, -2147483647 - 1, -1, 0, 7, 2147483647};
    for (const auto& a : values) {
        const TPackedOptional<int32_t> pa = a;
        EXPECT_EQ(std::optional<int32_t>(pa), a);
        EXPECT_EQ(pa.has_value(), a.has_value());
        EXPECT_EQ(pa.value_or(5), a.value_or(5));
        EXPECT_EQ(pa == std::nullopt, a == std::nullopt);
        for (const auto& b : values) {
            const TPackedOptional<int32_t> pb = b;
            EXPECT_EQ(pa == pb, a == b);
            EXPECT_EQ(pa == b, a == b);
            EXPECT_EQ(a == pb, a == b);
            EXPECT_EQ(pa < pb, a < b);
            EXPECT_EQ(pa < b, a < b);
            EXPECT_EQ(a < pb, a < b);
            EXPECT_EQ(pa >= b, a >= b);
            if (b) {
                EXPECT_EQ(pa == *b, a == *b);
                EXPECT_EQ(pa < *b, a < *b);
            }
        }
    }
    TPackedOptional<int16_t> small = 3;
    small = std::nullopt;
    EXPECT_FALSE(small);
    EXPECT_THROW((void)small.value(), std::bad_optional_access);
    EXPECT_EQ(sizeof(TPackedOptional<int32_t>), 5u);
}
