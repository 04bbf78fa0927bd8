#pragma once

#include <memory>
#include <mutex>
#include <utility>

// One replaceable shared object read from any thread: a reader takes its own reference under a
// short lock and keeps the object alive for as long as it uses it, whatever is stored meanwhile.
template <typename T>
class TSharedSlot
{
public:
    std::shared_ptr<T> Load() const
    {
        std::lock_guard lock(FMutex);
        return FObject;
    }
    void Store(std::shared_ptr<T> object)
    {
        std::shared_ptr<T> old;
        {
            std::lock_guard lock(FMutex);
            old = std::exchange(FObject, std::move(object));
        }
        // The old object dies (when this was its last reference) outside the lock.
    }

private:
    mutable std::mutex FMutex;
    std::shared_ptr<T> FObject;
};
