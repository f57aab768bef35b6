#pragma once
// Memory for pictures, streams and pages of a megabyte and more. It comes
// from the heap as usual, but the parts of 2 MB that nothing has touched
// yet are offered huge pages: the first writes then fault once per 2 MB
// instead of once per 4 KB, and on a virtual machine a fault is dear.
// Containers of such memory leave their elements uninitialised when they
// grow, so that each byte is written once, by whoever fills it.

#include <cstddef>
#include <new>
#include <vector>

namespace platform {

// Null without memory. Blocks of at least 2 MB start on a 2 MB boundary.
void* AllocateLarge(size_t bytes);
// As realloc; the grown part is offered huge pages as well.
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
