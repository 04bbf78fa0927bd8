#pragma once

// An allocator for the few very large arrays of a load (a table of a million rows). malloc may
// take a freed block of up to 32 MB back into its heap for the next load, but a larger one it
// always maps afresh, to be faulted in 4 KB at a time, and each fault costs dearly on a virtual
// machine. Such a block gets a mapping of its own instead, aligned to 2 MB and advised for
// transparent huge pages, so that one fault brings in 2 MB. Smaller blocks go to the ordinary
// heap, where a huge page's 2 MB would also weigh more against the block's own size.

#include <cstddef>
#include <new>

namespace LargeBlocks {
// Blocks from this size on get their own huge-page mapping. Not under AddressSanitizer, which
// checks only blocks from the heap.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr std::size_t kThreshold = std::size_t(-1);
#else
inline constexpr std::size_t kThreshold = std::size_t(32) << 20;
#endif
// The alignment of such a block: that of a huge page.
inline constexpr std::size_t kAlignment = std::size_t(2) << 20;
// A block of `bytes` (at least kThreshold); throws std::bad_alloc.
void* Map(std::size_t bytes);
void Unmap(void* block, std::size_t bytes) noexcept;
} // namespace LargeBlocks

template <class T>
struct TLargeBlockAllocator {
    using value_type = T;

    TLargeBlockAllocator() = default;
    template <class U>
    TLargeBlockAllocator(const TLargeBlockAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= LargeBlocks::kThreshold)
            return static_cast<T*>(LargeBlocks::Map(bytes));
        return static_cast<T*>(::operator new(bytes, std::align_val_t(alignof(T))));
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= LargeBlocks::kThreshold) {
            LargeBlocks::Unmap(p, bytes);
        } else {
            // Unsized: not every compiler has sized deallocation on by default.
            ::operator delete(p, std::align_val_t(alignof(T)));
        }
    }

    friend bool operator==(const TLargeBlockAllocator&, const TLargeBlockAllocator&) noexcept { return true; }
};
