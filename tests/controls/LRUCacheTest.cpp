#include "controls/LRUCache.h"

#include <gtest/gtest.h>
#include <QString>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Counts how many values are alive, to see which ones the cache frees.
struct TCounted {
    explicit TCounted(int AId, int& ALive) : Id(AId), Live(ALive) { ++Live; }
    ~TCounted() { --Live; }
    int Id;
    int& Live;
};
using TCountedPtr = std::unique_ptr<TCounted>;

} // namespace

TEST(LRUCache, FullCacheDropsTheLeastRecentlyUsedEntry)
{
    int live = 0;
    TLRUCache<int, TCountedPtr> cache(3);
    for (int i = 1; i <= 3; ++i)
        cache.AddOrSetValue(i, std::make_unique<TCounted>(i, live));
    TCountedPtr* hit = nullptr;
    ASSERT_TRUE(cache.TryGetValue(1, hit)); // 1 becomes the most recent; 2 is now the oldest
    EXPECT_EQ((*hit)->Id, 1);
    cache.AddOrSetValue(4, std::make_unique<TCounted>(4, live));
    EXPECT_EQ(live, 3);
    EXPECT_FALSE(cache.TryGetValue(2, hit));
    EXPECT_EQ(cache.KeysByRecency(), (std::list<int>{4, 1, 3}));
}

TEST(LRUCache, ExtractHandsOwnershipToTheCaller)
{
    int live = 0;
    TLRUCache<int, TCountedPtr> cache(2);
    cache.AddOrSetValue(1, std::make_unique<TCounted>(1, live));
    TCountedPtr taken;
    ASSERT_TRUE(cache.TryExtractValue(1, taken));
    EXPECT_EQ(cache.Count(), 0);
    cache.Clear();
    EXPECT_EQ(live, 1);
    EXPECT_FALSE(cache.TryExtractValue(1, taken));
    EXPECT_EQ(taken->Id, 1);
}

TEST(LRUCache, SettingAPresentKeyFreesTheOldValueAndMovesItToTheFront)
{
    int live = 0;
    TLRUCache<int, TCountedPtr> cache(0); // unbounded
    cache.AddOrSetValue(1, std::make_unique<TCounted>(1, live));
    cache.AddOrSetValue(2, std::make_unique<TCounted>(2, live));
    cache.AddOrSetValue(1, std::make_unique<TCounted>(10, live));
    EXPECT_EQ(live, 2);
    EXPECT_EQ(cache.KeysByRecency(), (std::list<int>{1, 2}));
    for (int i = 3; i < 200; ++i)
        cache.AddOrSetValue(i, std::make_unique<TCounted>(i, live));
    EXPECT_EQ(cache.Count(), 199);
}

TEST(LRUCache, RemoveCleanupAndClearFreeTheirValues)
{
    int live = 0;
    TLRUCache<int, TCountedPtr> cache(10);
    for (int i = 1; i <= 6; ++i)
        cache.AddOrSetValue(i, std::make_unique<TCounted>(i, live));
    cache.Remove(6);
    cache.Remove(42);
    EXPECT_EQ(live, 5);
    cache.Cleanup([](const int& key, const TCountedPtr&) { return key % 2 == 0; });
    EXPECT_EQ(cache.KeysByRecency(), (std::list<int>{5, 3, 1}));
    EXPECT_EQ(live, 3);
    cache.Clear();
    EXPECT_EQ(live, 0);
    EXPECT_EQ(cache.Count(), 0);
}

TEST(LRUCache, MakeCacheInstallsExactlyOneCacheAcrossThreads)
{
    using TCache = ILRUCache<QString, int>;
    std::atomic<std::shared_ptr<TCache>> variable;
    std::vector<std::shared_ptr<TCache>> seen(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&, i] { seen[i] = MakeCache<QString, int>(variable, 5); });
    for (auto& t : threads)
        t.join();
    for (const auto& cache : seen)
        EXPECT_EQ(cache.get(), variable.load().get());
}
