// The EXIF orientation tag read with every read bounded: both byte orders,
// tags beyond the first, and damaged or cut blocks, which count as upright.

#include "codecs/orientation.h"
#include "codectest.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

// An EXIF block whose first directory holds the given tags (tag, type,
// count, value) in the given byte order.
std::string Exif(bool bigEndian, std::initializer_list<std::array<uint32_t, 4>> tags) {
    Bytes b;
    const auto u16 = [&](uint32_t v) { bigEndian ? b.be16(int(v)) : b.u16(int(v)); };
    const auto u32 = [&](uint32_t v) { bigEndian ? b.be32(v) : b.u32(v); };
    b.raw(std::string("Exif\0\0", 6)).raw(bigEndian ? "MM" : "II");
    u16(42);
    u32(8);
    u16(uint32_t(tags.size()));
    for (const auto& t : tags) {
        u16(t[0]);
        u16(t[1]);
        u32(t[2]);
        u16(t[3]); // a short sits in the first half of the value field
        u16(0);
    }
    u32(0);
    return b.str();
}

int Orientation(const std::string& block) {
    return ExifOrientation(reinterpret_cast<const BYTE*>(block.data()), block.size());
}

} // namespace

TEST(ExifOrientationTest, TheTagInEitherByteOrder) {
    EXPECT_EQ(Orientation(Exif(false, {{0x0112, 3, 1, 6}})), 6);
    EXPECT_EQ(Orientation(Exif(true, {{0x0112, 3, 1, 8}})), 8);
    // After other tags of the directory.
    EXPECT_EQ(Orientation(Exif(true, {{0x010F, 2, 4, 0}, {0x0110, 2, 4, 0}, {0x0112, 3, 1, 3}})),
              3);
}

TEST(ExifOrientationTest, AnythingElseIsUpright) {
    EXPECT_EQ(Orientation(Exif(false, {{0x010F, 2, 4, 0}})), 1); // no tag
    EXPECT_EQ(Orientation(Exif(false, {{0x0112, 3, 1, 9}})), 1); // out of range
    EXPECT_EQ(Orientation(Exif(false, {{0x0112, 3, 1, 0}})), 1);
    EXPECT_EQ(Orientation(Exif(false, {{0x0112, 4, 1, 6}})), 1); // not a short
    std::string block = Exif(false, {{0x0112, 3, 1, 6}});
    // Cut anywhere inside the entry, the block is never read beyond its end.
    for (size_t size = 0; size < block.size() - 6; ++size)
        EXPECT_EQ(Orientation(block.substr(0, size)), 1) << size;
    block[7] = 'M'; // neither byte order
    EXPECT_EQ(Orientation(block), 1);
    // A directory offset far beyond the block.
    std::string far = Exif(false, {{0x0112, 3, 1, 6}});
    far[10] = char(0xFF);
    far[13] = char(0x7F);
    EXPECT_EQ(Orientation(far), 1);
    // So many entries that they run past the end.
    std::string many = Exif(false, {{0x010F, 2, 4, 0}});
    many[14] = char(0xFF);
    EXPECT_EQ(Orientation(many), 1);
}

TEST(ApplyOrientationTest, EachOrientationTurnsTheStoredPixelsUpright) {
    // Stored 3 x 2: a b c / d e f. Upright pictures by orientation:
    const std::vector<std::vector<std::string>> upright = {
        {"abc", "def"},     // 1
        {"cba", "fed"},     // 2 mirrored
        {"fed", "cba"},     // 3 turned half round
        {"def", "abc"},     // 4 upside down
        {"ad", "be", "cf"}, // 5 rows are columns
        {"da", "eb", "fc"}, // 6 turned a quarter to the right
        {"fc", "eb", "da"}, // 7
        {"cf", "be", "ad"}, // 8 turned a quarter to the left
    };
    // At four bytes a pixel and at three (JPEG pictures read for an image).
    for (const int depth : {32, 24})
        for (int o = 1; o <= 8; ++o) {
            const int n = depth / 8;
            CWinBmp bmp;
            bmp.Create(3, 2, depth, true);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    for (int i = 0; i < n; ++i)
                        bmp.Line(y)[x * n + i] = BYTE("abcdef"[y * 3 + x] + i);
            ApplyOrientation(&bmp, o);
            const auto& want = upright[size_t(o - 1)];
            ASSERT_EQ(bmp.GetBitsPerPixel(), depth);
            ASSERT_EQ(bmp.GetHeight(), int(want.size())) << o;
            ASSERT_EQ(bmp.GetWidth(), int(want[0].size())) << o;
            EXPECT_TRUE(bmp.HasAlpha());
            for (int y = 0; y < bmp.GetHeight(); ++y)
                for (int x = 0; x < bmp.GetWidth(); ++x)
                    for (int i = 0; i < n; ++i)
                        EXPECT_EQ(char(bmp.Line(y)[x * n + i]), want[size_t(y)][size_t(x)] + i)
                            << depth << " bits, " << o << " at " << x << ", " << y;
        }
}
