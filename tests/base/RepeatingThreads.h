#pragma once

// Threads that repeat one call until they are stopped, for tests that change shared state while
// other threads use it.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class RepeatingThreads
{
public:
    // Body gets the thread's number and the number of its call.
    RepeatingThreads(int count, std::function<void(int thread, long call)> body)
        : FCalls(std::make_unique<std::atomic<long>[]>(static_cast<std::size_t>(count))), FCount(count)
    {
        for (int t = 0; t < count; ++t)
            FThreads.emplace_back([this, t, body] {
                for (long call = 0; !FStop.load(); ++call) {
                    body(t, call);
                    FCalls[t].store(call + 1);
                }
            });
    }
    ~RepeatingThreads()
    {
        FStop = true;
        for (auto& thread : FThreads)
            thread.join();
    }
    RepeatingThreads(const RepeatingThreads&) = delete;
    RepeatingThreads& operator=(const RepeatingThreads&) = delete;

    // Returns once every thread has finished two more calls: then each has made a whole call after
    // this one began, and none is still inside a call begun before it.
    void Settle() const
    {
        std::vector<long> from;
        for (int t = 0; t < FCount; ++t)
            from.push_back(FCalls[t].load());
        for (int t = 0; t < FCount; ++t)
            while (FCalls[t].load() < from[static_cast<std::size_t>(t)] + 2)
                std::this_thread::yield();
    }

private:
    std::unique_ptr<std::atomic<long>[]> FCalls;
    int FCount;
    std::atomic<bool> FStop{false};
    std::vector<std::thread> FThreads;
};
