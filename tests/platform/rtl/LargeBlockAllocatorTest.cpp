// Large blocks come from mappings of their own, aligned for huge pages; small ones from the
// heap; a table keeps its rows when it grows from one kind of block into the other.

#include "platform/rtl/LargeBlockAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

TEST(LargeBlockAllocator, MappedBlocksAreAlignedAndWholly)
{
    for (std::size_t bytes : {LargeBlocks::kAlignment * 2, LargeBlocks::kAlignment * 2 + 1, std::size_t(5'000'001)}) {
        SCOPED_TRACE(bytes);
        auto* block = static_cast<unsigned char*>(LargeBlocks::Map(bytes));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % LargeBlocks::kAlignment, 0u);
        std::memset(block, 0xA5, bytes);
        EXPECT_EQ(block[0], 0xA5);
        EXPECT_EQ(block[bytes - 1], 0xA5);
        LargeBlocks::Unmap(block, bytes);
    }
}

TEST(LargeBlockAllocator, TableKeepsItsRowsAcrossEveryGrowth)
{
    struct Row {
        std::int32_t A;
        char B[19];
    };
    std::vector<Row, TLargeBlockAllocator<Row>> rows;
    // Past the threshold (where there is one).
    const std::size_t n = std::min(LargeBlocks::kThreshold, std::size_t(32) << 20) / sizeof(Row) * 3 / 2;
    for (std::size_t i = 0; i < n; ++i)
        rows.push_back({std::int32_t(i), {char(i)}});
    for (std::size_t i = 0; i < n; i += 9973)
        ASSERT_EQ(rows[i].A, std::int32_t(i));
    EXPECT_EQ(rows.back().B[0], char(n - 1));
    decltype(rows)().swap(rows);
    EXPECT_EQ(rows.capacity(), 0u);
}

} // namespace
