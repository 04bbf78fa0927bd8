#include "platform/rtl/LargeBlockAllocator.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace LargeBlocks {

namespace {
constexpr std::size_t kHugePage = kAlignment;

std::size_t RoundUp(std::size_t bytes, std::size_t unit)
{
    return (bytes + unit - 1) / unit * unit;
}

#if defined(__linux__)
std::size_t MappedSize(std::size_t bytes)
{
    static const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    return RoundUp(bytes, page);
}
#endif
} // namespace

void* Map(std::size_t bytes)
{
#if defined(__linux__)
    const std::size_t size = MappedSize(bytes);
    if (size < bytes || size > std::size_t(-1) - kHugePage)
        throw std::bad_alloc();
    // Mapped with room to spare, then cut to a 2 MB boundary: huge pages need one.
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, kHugePage);
    if (aligned > start)
        munmap(raw, aligned - start);
    if (const std::size_t tail = start + size + kHugePage - (aligned + size); tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, size, MADV_HUGEPAGE); // only advice: without huge pages the block still serves
    return block;
#else
    return ::operator new(bytes);
#endif
}

void Unmap(void* block, std::size_t bytes) noexcept
{
#if defined(__linux__)
    munmap(block, MappedSize(bytes));
#else
    ::operator delete(block);
#endif
}

} // namespace LargeBlocks
