#pragma once

#include "controls/ILRUCache.h"

#include <QHashFunctions>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

// Hashes any key Qt can hash (QString among them).
struct TQtKeyHash {
    template <typename K>
    size_t operator()(const K& AKey) const
    {
        return static_cast<size_t>(qHash(AKey));
    }
};

// Least-recently-used cache safe for several threads: every operation holds the cache's
// own lock for its whole duration. The recency list runs from the most recently used
// entry (front) to the least recently used one (back). A capacity of 0 or less means
// unbounded.
template <typename K, typename V, typename Hash = TQtKeyHash>
class TLRUCache : public ILRUCache<K, V> {
public:
    using typename ILRUCache<K, V>::TPredicate;

    explicit TLRUCache(int AMaxSize) : FMaxSize(AMaxSize) {}
    ~TLRUCache() override { Clear(); }

    TLRUCache(const TLRUCache&) = delete;
    TLRUCache& operator=(const TLRUCache&) = delete;

    bool TryGetValue(const K& AKey, V*& AValue) override
    {
        std::lock_guard<std::mutex> guard(FLock);
        auto it = FDictionary.find(AKey);
        if (it == FDictionary.end()) {
            AValue = nullptr;
            return false;
        }
        FEntries.splice(FEntries.begin(), FEntries, it->second);
        AValue = &it->second->second;
        return true;
    }

    bool TryExtractValue(const K& AKey, V& AValue) override
    {
        std::lock_guard<std::mutex> guard(FLock);
        auto it = FDictionary.find(AKey);
        if (it == FDictionary.end())
            return false;
        AValue = std::move(it->second->second);
        FEntries.erase(it->second);
        FDictionary.erase(it);
        return true;
    }

    void AddOrSetValue(const K& AKey, V AValue) override
    {
        // Values dropped here are destroyed after the lock is released, so a value's
        // destructor may use the cache without deadlocking.
        V dropped{};
        {
            std::lock_guard<std::mutex> guard(FLock);
            auto it = FDictionary.find(AKey);
            if (it != FDictionary.end()) {
                dropped = std::exchange(it->second->second, std::move(AValue));
                FEntries.splice(FEntries.begin(), FEntries, it->second);
            } else {
                if (FMaxSize > 0 && static_cast<int>(FDictionary.size()) >= FMaxSize) {
                    auto last = std::prev(FEntries.end());
                    dropped = std::move(last->second);
                    FDictionary.erase(last->first);
                    FEntries.erase(last);
                }
                FEntries.emplace_front(AKey, std::move(AValue));
                FDictionary.emplace(AKey, FEntries.begin());
            }
        }
    }

    void Remove(const K& AKey) override
    {
        V dropped{};
        std::lock_guard<std::mutex> guard(FLock);
        auto it = FDictionary.find(AKey);
        if (it == FDictionary.end())
            return;
        dropped = std::move(it->second->second);
        FEntries.erase(it->second);
        FDictionary.erase(it);
    }

    void Cleanup(const TPredicate& APredicate) override
    {
        std::list<std::pair<K, V>> dropped;
        std::lock_guard<std::mutex> guard(FLock);
        for (auto it = FEntries.begin(); it != FEntries.end();) {
            auto next = std::next(it);
            if (APredicate(it->first, it->second)) {
                FDictionary.erase(it->first);
                dropped.splice(dropped.end(), FEntries, it);
            }
            it = next;
        }
    }

    void Clear() override
    {
        std::list<std::pair<K, V>> dropped;
        std::lock_guard<std::mutex> guard(FLock);
        FDictionary.clear();
        dropped.swap(FEntries);
    }

    int Count() const override
    {
        std::lock_guard<std::mutex> guard(FLock);
        return static_cast<int>(FDictionary.size());
    }

    // Keys from the most to the least recently used entry (for inspection).
    std::list<K> KeysByRecency() const
    {
        std::lock_guard<std::mutex> guard(FLock);
        std::list<K> keys;
        for (const auto& entry : FEntries)
            keys.push_back(entry.first);
        return keys;
    }

private:
    mutable std::mutex FLock;
    std::list<std::pair<K, V>> FEntries;
    std::unordered_map<K, typename std::list<std::pair<K, V>>::iterator, Hash> FDictionary;
    int FMaxSize;
};

// Returns the cache held in the shared variable, creating and installing one when it is
// empty. When another thread installs its cache first, that one is returned and ours is
// dropped, so exactly one cache survives.
template <typename K, typename V, typename Hash = TQtKeyHash>
std::shared_ptr<ILRUCache<K, V>> MakeCache(std::atomic<std::shared_ptr<ILRUCache<K, V>>>& AVariable,
                                           int AMaxSize)
{
    std::shared_ptr<ILRUCache<K, V>> current = AVariable.load();
    if (current)
        return current;
    std::shared_ptr<ILRUCache<K, V>> fresh = std::make_shared<TLRUCache<K, V, Hash>>(AMaxSize);
    std::shared_ptr<ILRUCache<K, V>> expected;
    if (AVariable.compare_exchange_strong(expected, fresh))
        return fresh;
    return expected;
}
