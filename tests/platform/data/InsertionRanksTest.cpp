// Ranks read back as written, whether they follow slot order (and are not stored) or not.

#include "platform/data/InsertionRanks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<double> All(const TInsertionRanks& r)
{
    std::vector<double> v;
    for (size_t s = 0; s < r.Size(); ++s)
        v.push_back(r[s]);
    return v;
}

TEST(InsertionRanks, ReadBackAsWrittenThroughEveryChange)
{
    struct Case {
        const char* Name;
        void (*Change)(TInsertionRanks&);
        std::vector<double> Expected;
        bool InSlotOrder;
    };
    const Case cases[] = {
        {"appended in order", [](TInsertionRanks& r) { for (double x : {1.0, 2.0, 3.0}) r.Append(x); }, {1, 2, 3}, true},
        {"set to its own rank", [](TInsertionRanks& r) { r.Append(1); r.Append(2); r.Set(1, 2); }, {1, 2}, true},
        {"first rank out of order", [](TInsertionRanks& r) { r.Append(5); r.Append(6); }, {5, 6}, false},
        {"inserted before the last", [](TInsertionRanks& r) { r.Append(1); r.Append(2); r.Append(1.5); }, {1, 2, 1.5}, false},
        {"renumbered", [](TInsertionRanks& r) { r.Append(1); r.Append(2); r.Set(0, 4); r.Set(1, 8); }, {4, 8}, false},
        {"truncated after writing out", [](TInsertionRanks& r) { r.Append(1); r.Append(0.5); r.Append(3); r.Truncate(2); }, {1, 0.5}, false},
        {"truncated in order, then appended", [](TInsertionRanks& r) { r.Append(1); r.Append(2); r.Truncate(1); r.Append(2); }, {1, 2}, true},
        {"cleared after writing out", [](TInsertionRanks& r) { r.Append(7); r.Clear(); r.Append(1); }, {1}, true},
        {"written out while empty", [](TInsertionRanks& r) { r.Append(3); }, {3}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TInsertionRanks r;
        c.Change(r);
        EXPECT_EQ(All(r), c.Expected);
        EXPECT_EQ(r.InSlotOrder(), c.InSlotOrder);
    }
}

} // namespace
