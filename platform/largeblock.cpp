#include "platform/largeblock.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace platform {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

// Offers huge pages for the whole 2 MB parts of [block, block + bytes).
void OfferHugePages(void* block, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    const uintptr_t last = (start + bytes) & ~uintptr_t(kHugePage - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace

void* AllocateLarge(size_t bytes) {
    if (bytes < kHugePage)
        return std::malloc(bytes ? bytes : 1);
    void* block = nullptr;
    if (posix_memalign(&block, kHugePage, bytes) != 0)
        return nullptr;
    OfferHugePages(block, bytes);
    return block;
}

void* ReallocateLarge(void* block, size_t bytes) {
    if (!block)
        return AllocateLarge(bytes);
    void* moved = std::realloc(block, bytes ? bytes : 1);
    if (moved && bytes >= kHugePage)
        OfferHugePages(moved, bytes);
    return moved;
}

void FreeLarge(void* block) {
    std::free(block);
}

} // namespace platform
