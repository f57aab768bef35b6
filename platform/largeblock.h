#pragma once
// Memory for pictures, streams and pages of a megabyte and more. Blocks of
// 2 MB and more are mappings of their own, offered huge pages: the first
// writes then fault once per 2 MB instead of once per 4 KB (on a virtual
// machine a fault is dear), a block grows or shrinks without its pages
// being copied, and a freed block goes back to the system at once, which
// keeps the peak of a large photograph's loading low. Smaller blocks come
// from the heap.
// Containers of such memory leave their elements uninitialised when they
// grow, so that each byte is written once, by whoever fills it.

#include <cstddef>
#include <new>
#include <vector>

namespace platform {

// Null without memory. The bytes are 16-byte aligned and not cleared.
void* AllocateLarge(size_t bytes);
// As realloc; a mapping grows or shrinks without its pages being copied.
void* ReallocateLarge(void* block, size_t bytes);
void FreeLarge(void* block);

template <typename T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U> LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        void* p = AllocateLarge(n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) noexcept { FreeLarge(p); }
    // Growing by resize leaves the new elements as they are.
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(static_cast<Args&&>(args)...);
    }
    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

// The bytes of a picture block.
using LargeBytes = std::vector<unsigned char, LargeAllocator<unsigned char>>;

} // namespace platform
