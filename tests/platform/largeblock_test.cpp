#include "platform/largeblock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Fills a block with a pattern that tells its bytes apart.
void Fill(void* block, size_t bytes, uint8_t seed) {
    auto* p = static_cast<uint8_t*>(block);
    for (size_t i = 0; i < bytes; i += 4093)
        p[i] = uint8_t(i / 4093 + seed);
    p[bytes - 1] = seed;
}

bool Holds(const void* block, size_t bytes, uint8_t seed) {
    const auto* p = static_cast<const uint8_t*>(block);
    for (size_t i = 0; i + 1 < bytes; i += 4093)
        if (p[i] != uint8_t(i / 4093 + seed))
            return false;
    return true;
}

} // namespace

TEST(LargeBlockTest, BlocksKeepTheirBytesAcrossEveryChangeOfSize) {
    // Heap to heap, heap to a mapping, mapping to a larger and a smaller
    // mapping, and back to the heap: what both sizes hold stays.
    const size_t sizes[] = {1000, 1 << 20, 3 << 20, 40 << 20, 5 << 20, 100};
    void* block = platform::AllocateLarge(sizes[0]);
    ASSERT_NE(block, nullptr);
    Fill(block, sizes[0], 7);
    size_t held = sizes[0];
    for (size_t i = 1; i < sizeof sizes / sizeof sizes[0]; ++i) {
        block = platform::ReallocateLarge(block, sizes[i]);
        ASSERT_NE(block, nullptr) << sizes[i];
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
        EXPECT_TRUE(Holds(block, std::min(held, sizes[i]), 7)) << held << " -> " << sizes[i];
        Fill(block, sizes[i], 7);
        held = sizes[i];
    }
    platform::FreeLarge(block);
    platform::FreeLarge(nullptr);
    EXPECT_EQ(platform::AllocateLarge(size_t(-1) / 2 + 1), nullptr);
}

TEST(LargeBlockTest, ContainersGrowWithoutWritingTheNewBytes) {
    // The bytes a resize adds keep what the memory held: a block filled and
    // shrunk, then grown again within its room, shows its old bytes.
    platform::LargeBytes bytes;
    bytes.reserve(64);
    bytes.assign(64, 0xAB);
    bytes.resize(8);
    bytes.resize(64);
    EXPECT_EQ(bytes[63], 0xAB);
    platform::LargeBytes cleared(16, 0);
    EXPECT_EQ(cleared[15], 0);
    platform::LargeBytes copy(bytes);
    EXPECT_EQ(copy[63], 0xAB);
}
