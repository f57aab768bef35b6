#include "platform/largeblock.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace platform {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
// Every block starts with a header that says how it was made; the caller's
// bytes follow it, 64-byte aligned in a mapping, 16-byte aligned on the heap.
constexpr size_t kHeader = 64;

struct BlockHeader {
    size_t mapped; // length of the block's own mapping, 0 for heap memory
    size_t bytes;  // what was asked for
};

BlockHeader* HeaderOf(void* block) {
    return reinterpret_cast<BlockHeader*>(static_cast<unsigned char*>(block) - kHeader);
}

void* BytesOf(void* base) {
    return static_cast<unsigned char*>(base) + kHeader;
}

// The sanitizer build keeps every block on the heap, where the sanitizer
// watches its bounds.
#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_LARGE_MAPPINGS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_LARGE_MAPPINGS 0
#endif
#endif
#if !defined(MORVANE_LARGE_MAPPINGS) && defined(__linux__) && defined(MADV_HUGEPAGE)
#define MORVANE_LARGE_MAPPINGS 1
#endif

#if MORVANE_LARGE_MAPPINGS

// Offers huge pages for a mapping: the system uses them for its whole
// 2 MB parts. The advice covers the mapping whole, so that it stays one
// piece that can be remapped.
void OfferHugePages(void* base, size_t length) {
    madvise(base, length, MADV_HUGEPAGE);
}

size_t MappingLength(size_t bytes) {
    const size_t page = 4096;
    return (bytes + kHeader + page - 1) / page * page;
}

// A mapping of its own on a 2 MB boundary: the surplus around it is given
// back at once.
void* MapBlock(size_t bytes) {
    const size_t length = MappingLength(bytes);
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    if (aligned > start)
        munmap(raw, aligned - start);
    const uintptr_t end = start + length + kHugePage;
    if (end > aligned + length)
        munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    void* base = reinterpret_cast<void*>(aligned);
    OfferHugePages(base, length);
    *static_cast<BlockHeader*>(base) = {length, bytes};
    return BytesOf(base);
}

// The mapping moved or resized by the system: its pages are not copied.
void* RemapBlock(void* block, size_t bytes) {
    BlockHeader* header = HeaderOf(block);
    const size_t length = MappingLength(bytes);
    void* moved = mremap(header, header->mapped, length, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED)
        return nullptr;
    OfferHugePages(moved, length);
    *static_cast<BlockHeader*>(moved) = {length, bytes};
    return BytesOf(moved);
}

void UnmapBlock(void* block) {
    BlockHeader* header = HeaderOf(block);
    munmap(header, header->mapped);
}

constexpr bool kMapping = true;

#else

void* MapBlock(size_t) {
    return nullptr;
}
void* RemapBlock(void*, size_t) {
    return nullptr;
}
void UnmapBlock(void*) {}
constexpr bool kMapping = false;

#endif

void* HeapBlock(size_t bytes) {
    void* base = std::malloc(bytes + kHeader);
    if (!base)
        return nullptr;
    *static_cast<BlockHeader*>(base) = {0, bytes};
    return BytesOf(base);
}

bool Mapped(void* block) {
    return HeaderOf(block)->mapped != 0;
}

} // namespace

void* AllocateLarge(size_t bytes) {
    if (bytes > size_t(-1) / 2)
        return nullptr;
    if (kMapping && bytes >= kHugePage)
        if (void* block = MapBlock(bytes))
            return block;
    return HeapBlock(bytes);
}

void* ReallocateLarge(void* block, size_t bytes) {
    if (!block)
        return AllocateLarge(bytes);
    if (bytes > size_t(-1) / 2)
        return nullptr;
    const bool wantMapping = kMapping && bytes >= kHugePage;
    if (Mapped(block) && wantMapping)
        return RemapBlock(block, bytes);
    if (!Mapped(block) && !wantMapping) {
        void* base = std::realloc(HeaderOf(block), bytes + kHeader);
        if (!base)
            return nullptr;
        static_cast<BlockHeader*>(base)->bytes = bytes;
        return BytesOf(base);
    }
    // From the heap to a mapping of its own or back: a copy of what is kept.
    void* moved = AllocateLarge(bytes);
    if (!moved)
        return nullptr;
    std::memcpy(moved, block, std::min(bytes, HeaderOf(block)->bytes));
    FreeLarge(block);
    return moved;
}

void FreeLarge(void* block) {
    if (!block)
        return;
    if (Mapped(block))
        UnmapBlock(block);
    else
        std::free(HeaderOf(block));
}

} // namespace platform
