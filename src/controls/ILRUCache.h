#pragma once

#include <functional>

// A bounded cache that forgets what was used least recently. Values leave the cache
// either by being extracted (the caller then owns them) or by being dropped; whether a
// dropped value is freed follows from the value type (a std::unique_ptr is freed, a raw
// pointer is not).
template <typename K, typename V>
class ILRUCache {
public:
    using TPredicate = std::function<bool(const K&, const V&)>;

    virtual ~ILRUCache() = default;
    // On a hit the entry becomes the most recently used one.
    virtual bool TryGetValue(const K& AKey, V*& AValue) = 0;
    // On a hit the entry leaves the cache and its value is moved to the caller.
    virtual bool TryExtractValue(const K& AKey, V& AValue) = 0;
    // Stores the value as the most recently used entry; a new key in a full cache first
    // drops the least recently used entry.
    virtual void AddOrSetValue(const K& AKey, V AValue) = 0;
    virtual void Remove(const K& AKey) = 0;
    // Drops every entry, front to back, for which the predicate holds.
    virtual void Cleanup(const TPredicate& APredicate) = 0;
    virtual void Clear() = 0;
    virtual int Count() const = 0;
};
