#include "codecs/textexception.h"
#include "codectest.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {
std::string Row(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s.push_back(char(b));
    return s;
}
const std::vector<uint32_t> kRedBlue = {0x00FF0000, 0x000000FF}; // index 0 red, 1 blue
} // namespace

TEST(BmpDecoderTest, TwentyFourBitRowsDropTheirPaddingAndRunBottomUp) {
    // Width 5: 15 bytes of pixels and 1 byte of padding per row.
    std::string pixels;
    pixels += Row({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0xEE});          // bottom row
    pixels += Row({21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 0xEE}); // top
    CWinBmp bmp;
    DecodeBytes(MakeBmp(5, 2, 24, 0, {}, pixels), &bmp);
    ASSERT_EQ(bmp.GetWidth(), 5);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF171615u);
    EXPECT_EQ(Pixel(bmp, 4, 0), 0xFF232221u);
    EXPECT_EQ(Pixel(bmp, 0, 1), 0xFF030201u);
    EXPECT_EQ(Pixel(bmp, 4, 1), 0xFF0F0E0Du);
}

TEST(BmpDecoderTest, NegativeHeightMeansTopDownRows) {
    std::string pixels = Row({1, 2, 3, 0}) + Row({4, 5, 6, 0});
    CWinBmp bmp;
    DecodeBytes(MakeBmp(1, -2, 24, 0, {}, pixels), &bmp);
    ASSERT_EQ(bmp.GetHeight(), 2);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF030201u);
    EXPECT_EQ(Pixel(bmp, 0, 1), 0xFF060504u);
}

TEST(BmpDecoderTest, OneBitPicturesUseTheirColourTable) {
    // 10 pixels: bits 1010000011 then the last partial byte.
    const std::string pixels = Row({0xA0, 0xC0, 0, 0});
    CWinBmp bmp;
    DecodeBytes(MakeBmp(10, 1, 1, 0, kRedBlue, pixels), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF0000FFu); // set bit: blue
    EXPECT_EQ(Pixel(bmp, 1, 0), 0xFFFF0000u); // clear bit: red
    EXPECT_EQ(Pixel(bmp, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(bmp, 8, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(bmp, 9, 0), 0xFF0000FFu);
}

TEST(BmpDecoderTest, FourAndEightBitIndexesLookUpThePalette) {
    const std::vector<uint32_t> pal = {0x000000, 0x112233, 0x445566, 0x778899};
    CWinBmp four;
    DecodeBytes(MakeBmp(3, 1, 4, 0, pal, Row({0x12, 0x30, 0, 0})), &four);
    EXPECT_EQ(Pixel(four, 0, 0), 0xFF112233u);
    EXPECT_EQ(Pixel(four, 1, 0), 0xFF445566u);
    EXPECT_EQ(Pixel(four, 2, 0), 0xFF778899u);
    CWinBmp eight;
    DecodeBytes(MakeBmp(2, 1, 8, 0, pal, Row({3, 1, 0, 0})), &eight);
    EXPECT_EQ(Pixel(eight, 0, 0), 0xFF778899u);
    EXPECT_EQ(Pixel(eight, 1, 0), 0xFF112233u);
    // An index beyond the colours in the table is black, never outside it.
    CWinBmp beyond;
    DecodeBytes(MakeBmp(1, 1, 8, 0, pal, Row({200, 0, 0, 0})), &beyond);
    EXPECT_EQ(Pixel(beyond, 0, 0), 0xFF000000u);
}

TEST(BmpDecoderTest, ThirtyTwoBitMasksAreHonoured) {
    const std::string pixel = Row({0x11, 0x22, 0x33, 0x44});
    CWinBmp plain;
    DecodeBytes(MakeBmp(1, 1, 32, 0, {}, pixel), &plain);
    EXPECT_EQ(Pixel(plain, 0, 0), 0x44332211u); // copied as stored
    // Masks in red-green-blue-x byte order: byte 0 is red.
    Bytes masked;
    masked.u32(0x000000FF).u32(0x0000FF00).u32(0x00FF0000).raw(pixel);
    CWinBmp bmp;
    DecodeBytes(MakeBmp(1, 1, 32, 3, {}, masked.str()), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF112233u);
}

TEST(BmpDecoderTest, SixteenBitDefaultsToFiveFiveFive) {
    // 0x7C00 is full red; 0x03E0 full green; 0x0010 half blue.
    CWinBmp bmp;
    DecodeBytes(MakeBmp(3, 1, 16, 0, {}, Row({0x00, 0x7C, 0xE0, 0x03, 0x10, 0x00, 0, 0})), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(bmp, 1, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(bmp, 2, 0), 0xFF000084u);
}

TEST(BmpDecoderTest, EightBitRunLengthCodes) {
    const std::vector<uint32_t> pal = {0x000000, 0x0000FF, 0x00FF00};
    // Bottom row: run of 3 x index 1, end of row; top row: literal 1,2,1
    // (odd: one padding byte), end of picture.
    const std::string rle = Row({3, 1, 0, 0, 0, 3, 1, 2, 1, 0, 0, 1});
    CWinBmp bmp;
    DecodeBytes(MakeBmp(3, 2, 8, 1, pal, rle), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(Pixel(bmp, 2, 1), 0xFF0000FFu);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(bmp, 1, 0), 0xFF00FF00u);
}

TEST(BmpDecoderTest, FourBitLiteralRunsPadToWholeWords) {
    const std::vector<uint32_t> pal = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    // Literal runs hold two pixels a byte and are padded to whole words: 3
    // pixels read 2 bytes and no padding, 5 read 3 bytes and 1 padding.
    // (A literal of 2 cannot occur: escape 2 is the delta.) Rows end with 0 0.
    const std::string rle = Row({0, 3, 0x12, 0x30, 0,    0, //
                                 0, 4, 0x31, 0x20, 0,    0, //
                                 0, 5, 0x12, 0x31, 0x20, 0xEE, 0, 1});
    CWinBmp bmp;
    DecodeBytes(MakeBmp(5, 3, 4, 2, pal, rle), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 2), 0xFF0000FFu); // bottom row: 1, 2, 3
    EXPECT_EQ(Pixel(bmp, 1, 2), 0xFF00FF00u);
    EXPECT_EQ(Pixel(bmp, 2, 2), 0xFFFF0000u);
    EXPECT_EQ(Pixel(bmp, 3, 2), 0x00000000u); // never written: colour 0, transparent
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(Pixel(bmp, 0, 1), 0xFFFF0000u); // middle row: 3, 1, 2, 0
    EXPECT_EQ(Pixel(bmp, 2, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(bmp, 4, 0), 0xFF00FF00u); // top row: 1, 2, 3, 1, 2
    EXPECT_EQ(Pixel(bmp, 2, 0), 0xFFFF0000u);
    // An encoded run alternates the two nibbles, high first.
    CWinBmp run;
    DecodeBytes(MakeBmp(3, 1, 4, 2, pal, Row({3, 0x13, 0, 1})), &run);
    EXPECT_EQ(Pixel(run, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(run, 1, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(run, 2, 0), 0xFF0000FFu);
}

TEST(BmpDecoderTest, RefusedVariantsAndDamage) {
    std::string text;
    // Information headers of no known size.
    EXPECT_EQ(DecodeError(MakeBmp(1, 1, 24, 0, {}, Row({1, 2, 3, 0}), 100), &text), 2);
    EXPECT_EQ(text, "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n");
    EXPECT_EQ(DecodeError(MakeBmp(1, 1, 24, 0, {}, Row({1, 2, 3, 0}), 66)), 2);
    // A delta escape that leaves the picture.
    EXPECT_EQ(DecodeError(MakeBmp(4, 2, 8, 1, {0, 0}, Row({0, 2, 5, 0, 0, 1})), &text), 7);
    EXPECT_EQ(text, "Decoder error: Decoding bmp: run-length delta leaves the picture.\n");
    EXPECT_EQ(DecodeError(MakeBmp(4, 2, 8, 1, {0, 0}, Row({0, 2, 0, 3, 0, 1}))), 7);
    // A run longer than the row is refused, not written past it.
    EXPECT_EQ(DecodeError(MakeBmp(4, 1, 8, 1, {0, 0}, Row({9, 1, 0, 1})), &text), 7);
    // More rows than the picture has.
    EXPECT_EQ(DecodeError(MakeBmp(1, 1, 8, 1, {0, 0}, Row({1, 1, 0, 0, 1, 1, 0, 1}))), 7);
    // Too many colours.
    EXPECT_EQ(DecodeError(MakeBmp(1, 1, 8, 0, std::vector<uint32_t>(300, 0), Row({1, 0, 0, 0}))),
              2);
    // Unknown depths.
    EXPECT_EQ(DecodeError(MakeBmp(1, 1, 7, 0, {}, Row({1, 0, 0, 0})), &text), 2);
    EXPECT_EQ(text, "Decoder error: Decoding bmp: Illegal bpp value.\n");
    // Not a bitmap at all after its two letters.
    EXPECT_EQ(DecodeError("BM"), 11);
}

TEST(BmpDecoderTest, HugeClaimsFailBeforeAllocating) {
    // A header claiming 60000 x 60000 with a few bytes of pixels.
    EXPECT_EQ(DecodeError(MakeBmp(60000, 60000, 24, 0, {}, Row({1, 2, 3, 4}))), 10);
    // 9000 x 9000 is allowed in size but the data is missing.
    EXPECT_EQ(DecodeError(MakeBmp(9000, 9000, 24, 0, {}, Row({1, 2, 3, 4}))), 11);
    EXPECT_EQ(DecodeError(MakeBmp(0, 5, 24, 0, {}, "")), 7);
    EXPECT_EQ(DecodeError(MakeBmp(-4, 5, 24, 0, {}, "")), 7);
    EXPECT_EQ(DecodeError(std::string("BM", 2)), 11);
}
