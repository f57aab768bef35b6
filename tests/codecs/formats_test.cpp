// Decodes the fixtures made by ImageMagick and compares them with the
// pictures they were made from; small hand-made files check the corners of
// each format.

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/jpegcodec.h"
#include "codecs/textexception.h"
#include "codectest.h"
#include "testsupport.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

using namespace codectest;

namespace {

QImage Reference(const std::string& name) {
    return QImage(QString::fromStdString(Fixture(name)));
}

CWinBmp* Decoded(const std::string& name) {
    static CWinBmp bmp;
    DecodeFile(Fixture(name), &bmp);
    return &bmp;
}

std::string TgaHeader(int type, int width, int height, int depth, int descriptor, int mapType = 0,
                      int mapFirst = 0, int mapLength = 0, int mapBits = 0) {
    Bytes b;
    b.u8(0).u8(mapType).u8(type).u16(mapFirst).u16(mapLength).u8(mapBits);
    b.u16(0).u16(0).u16(width).u16(height).u8(depth).u8(descriptor);
    return b.str();
}

} // namespace

TEST(TgaDecoderTest, FixturesMatchTheirSources) {
    EXPECT_TRUE(SamePixels(*Decoded("tga24.tga"), Reference("src.png"), true));
    EXPECT_TRUE(SamePixels(*Decoded("tga24rle.tga"), Reference("src.png"), true));
    EXPECT_FALSE(Decoded("tga24rle.tga")->HasAlpha());
    EXPECT_TRUE(SamePixels(*Decoded("tga32rle.tga"), Reference("srca.png"), true));
    EXPECT_TRUE(Decoded("tga32rle.tga")->HasAlpha());
    EXPECT_TRUE(SamePixels(*Decoded("tgagrey.tga"), Reference("grey.png"), true));
    EXPECT_TRUE(SamePixels(*Decoded("tgamap.tga"), Reference("pal16.png"), false));
}

TEST(TgaDecoderTest, RowOrderFollowsTheDescriptor) {
    Bytes rows;
    rows.u8(1).u8(2).u8(3).u8(4).u8(5).u8(6); // first stored row, then second
    CWinBmp topDown;
    DecodeBytes(TgaHeader(2, 1, 2, 24, 0x20) + rows.str(), &topDown);
    EXPECT_EQ(Pixel(topDown, 0, 0), 0xFF030201u);
    CWinBmp bottomUp;
    DecodeBytes(TgaHeader(2, 1, 2, 24, 0) + rows.str(), &bottomUp);
    EXPECT_EQ(Pixel(bottomUp, 0, 1), 0xFF030201u);
    EXPECT_EQ(Pixel(bottomUp, 0, 0), 0xFF060504u);
}

TEST(TgaDecoderTest, SixteenBitPixelsCarryOneAlphaBitWhenTheFileSaysSo) {
    Bytes px;
    px.u16(0x8000).u16(0x7FFF).u16(0x0421);
    CWinBmp bmp;
    DecodeBytes(TgaHeader(2, 3, 1, 16, 0x21) + px.str(), &bmp); // one alpha bit
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(bmp, 1, 0), 0x00FFFFFFu);
    EXPECT_EQ(Pixel(bmp, 2, 0), 0x00080808u); // 1 of 31 is 8
    CWinBmp opaque;
    DecodeBytes(TgaHeader(2, 3, 1, 16, 0x20) + px.str(), &opaque); // no alpha bits
    EXPECT_FALSE(opaque.HasAlpha());
    EXPECT_EQ(Pixel(opaque, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(opaque, 1, 0), 0xFFFFFFFFu);
}

TEST(TgaDecoderTest, RunLengthPacketsCountPlusOne) {
    Bytes px;
    px.u8(0x85).u8(1).u8(2).u8(3); // one pixel repeated 6 times
    px.u8(0x05);                   // then 6 literal pixels
    for (int i = 0; i < 6; ++i)
        px.u8(10 + i).u8(20).u8(30);
    CWinBmp bmp;
    DecodeBytes(TgaHeader(10, 12, 1, 24, 0x20) + px.str(), &bmp);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(Pixel(bmp, x, 0), 0xFF030201u) << x;
    EXPECT_EQ(Pixel(bmp, 6, 0), 0xFF1E140Au);
    EXPECT_EQ(Pixel(bmp, 11, 0), 0xFF1E140Fu);
}

TEST(TgaDecoderTest, UndefinedVariantsAreRefused) {
    std::string text;
    EXPECT_EQ(DecodeError(TgaHeader(4, 1, 1, 24, 0) + "abc", &text), 8); // not even recognised
    // A packet that would run past the end of the picture.
    Bytes run;
    run.u8(0x84).u8(1).u8(2).u8(3);
    EXPECT_EQ(DecodeError(TgaHeader(10, 2, 2, 24, 0) + run.str(), &text), 7);
    EXPECT_EQ(text, "Decoder error: TGA run-length packet runs past the end of the picture.\n");
    // A colour map reaching beyond index 255.
    Bytes map;
    map.fill(300 * 3, 0).u8(0);
    EXPECT_EQ(DecodeError(TgaHeader(1, 1, 1, 8, 0, 1, 0, 300, 24) + map.str()), 2);
    // A colour map entry size with no defined colours.
    EXPECT_EQ(DecodeError(TgaHeader(1, 1, 1, 8, 0, 1, 0, 2, 8) + std::string(3, '\0')), 2);
    // An 8-bit true-colour picture without a map.
    EXPECT_EQ(DecodeError(TgaHeader(2, 1, 1, 8, 0) + std::string(1, '\0')), 2);
    // A header claiming 65535 x 65535 pixels with no data.
    EXPECT_EQ(DecodeError(TgaHeader(2, 65535, 65535, 24, 0) + "xyz"), 10);
    EXPECT_EQ(DecodeError(TgaHeader(2, 5000, 5000, 24, 0) + "xyz"), 11);
}

TEST(PcxDecoderTest, FixturesMatchTheirSources) {
    EXPECT_TRUE(SamePixels(*Decoded("pcx24.pcx"), Reference("src.png"), false));
    EXPECT_TRUE(SamePixels(*Decoded("pcx8.pcx"), Reference("pal16.png"), false));
    EXPECT_TRUE(SamePixels(*Decoded("pcx1.pcx"), Reference("mono.png"), false));
}

namespace {
std::string PcxHeader(int bits, int width, int height, int planes, int bytesPerLine) {
    Bytes b;
    b.u8(10).u8(5).u8(1).u8(bits).u16(0).u16(0).u16(width - 1).u16(height - 1);
    b.u16(72).u16(72);
    for (int i = 0; i < 16; ++i) // palette: entry i = (i*16, i*8, i)
        b.u8(i * 16).u8(i * 8).u8(i);
    b.u8(0).u8(planes).u16(bytesPerLine);
    b.fill(128 - 68, 0);
    return b.str();
}
} // namespace

TEST(PcxDecoderTest, ThreePlaneRowsUseBytesPerLineForEachPlane) {
    // Width 5 with 6 bytes per line: green starts at byte 6, blue at 12.
    std::string row;
    for (int p = 0; p < 3; ++p)
        for (int x = 0; x < 6; ++x)
            row.push_back(char(p * 50 + x));
    CWinBmp bmp;
    DecodeBytes(PcxHeader(8, 5, 1, 3, 6) + row, &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF003264u);
    EXPECT_EQ(Pixel(bmp, 4, 0), 0xFF043668u);
}

TEST(PcxDecoderTest, ThreePlanesOfOneBitAreColourIndexesNotRgb) {
    // Three planes of 1 bit make 3-bit indexes into the 16-colour table;
    // reading them as 8-bit colour planes would run past the row.
    // Width 9, 2 bytes per line: plane 0 all set, plane 1 first pixel, plane 2
    // none. (0xFF is stored as a run of one: C1 FF.)
    const std::string row = std::string("\xC1\xFF\x80\x80\x00\x00\x00", 7);
    CWinBmp bmp;
    DecodeBytes(PcxHeader(1, 9, 1, 3, 2) + row, &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF301803u); // index 3: (48, 24, 3)
    EXPECT_EQ(Pixel(bmp, 1, 0), 0xFF100801u); // index 1
    EXPECT_EQ(Pixel(bmp, 8, 0), 0xFF100801u);
}

TEST(PcxDecoderTest, FourBitSinglePlaneShowsEveryPixel) {
    // Width 8, 4 bytes per line: two pixels per byte, high nibble first.
    CWinBmp bmp;
    DecodeBytes(PcxHeader(4, 8, 1, 1, 4) + std::string("\x01\x23\x45\x67", 4), &bmp);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(Pixel(bmp, x, 0), 0xFF000000u | (uint32_t(x * 16) << 16) | ((x * 8) << 8) | x)
            << x;
}

TEST(PcxDecoderTest, RunsAndTheirLimits) {
    // 0xC0 is a run of zero copies: it eats the next byte and writes nothing.
    CWinBmp bmp;
    DecodeBytes(PcxHeader(8, 2, 1, 3, 2) + std::string("\xC0\x99\xC2\x05\xC4\x07", 6), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFF050707u);
    EXPECT_EQ(Pixel(bmp, 1, 0), 0xFF050707u);
    std::string text;
    EXPECT_EQ(DecodeError(PcxHeader(8, 2, 1, 3, 2) + "\xC9\x01", &text), 7);
    EXPECT_EQ(text, "Decoder error: repeat count spans end of image.\n");
    // 8-bit single plane needs the 256-colour table with its signature.
    EXPECT_EQ(DecodeError(PcxHeader(8, 1, 1, 1, 2) + std::string("\x01\x02\x0B", 3), &text), 7);
    EXPECT_EQ(text, "Decoder error: bad color map signature.\n");
    EXPECT_EQ(DecodeError(PcxHeader(1, 8, 1, 5, 1) + "abcde", &text), 2);
    EXPECT_EQ(text, "Decoder error: Can't handle image with more than 4 planes.\n");
    EXPECT_EQ(DecodeError(PcxHeader(4, 8, 1, 3, 4) + "abcde", &text), 2);
    // Bytes per line too short for the width would read past the row.
    EXPECT_EQ(DecodeError(PcxHeader(8, 10, 1, 3, 4) + std::string(12, '\0')), 7);
    EXPECT_EQ(DecodeError(PcxHeader(8, 60000, 60000, 3, 60000) + "a"), 10);
}

TEST(PngDecoderTest, ColourTypesAndDepths) {
    CWinBmp* rgb = Decoded("src.png");
    EXPECT_FALSE(rgb->HasAlpha());
    EXPECT_TRUE(SamePixels(*rgb, Reference("src.png"), true)); // alpha 255
    CWinBmp* rgba = Decoded("srca.png");
    EXPECT_TRUE(rgba->HasAlpha());
    EXPECT_TRUE(SamePixels(*rgba, Reference("srca.png"), true));
    CWinBmp* greya = Decoded("greya.png");
    EXPECT_TRUE(greya->HasAlpha());
    EXPECT_TRUE(SamePixels(*greya, Reference("greya.png"), true));
    EXPECT_TRUE(SamePixels(*Decoded("grey.png"), Reference("grey.png"), true));
    EXPECT_TRUE(SamePixels(*Decoded("pal16.png"), Reference("pal16.png"), true));
    EXPECT_TRUE(SamePixels(*Decoded("rgb16.png"), Reference("src.png"), true));
    EXPECT_TRUE(SamePixels(*Decoded("interlaced.png"), Reference("src.png"), true));
}

TEST(PngDecoderTest, DamagedFilesFail) {
    const std::string png = testsupport::ReadFile(Fixture("src.png"));
    std::string text;
    EXPECT_EQ(DecodeError(png.substr(0, png.size() / 2), &text), 11);
    std::string corrupt = png;
    corrupt[40] ^= 0x55; // inside the image data: a checksum error
    EXPECT_EQ(DecodeError(corrupt, &text), 2);
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u);
}

TEST(JpegDecoderTest, DecodesCloseToTheSource) {
    // Floating-point transform with the default (fancy) upsampling: within a few
    // levels of the source at quality 95.
    EXPECT_TRUE(SamePixels(*Decoded("colour.jpg"), Reference("src.png"), false, 24));
    EXPECT_TRUE(SamePixels(*Decoded("progressive.jpg"), Reference("src.png"), false, 24));
    EXPECT_TRUE(SamePixels(*Decoded("grey.jpg"), Reference("grey.png"), true, 6));
    EXPECT_TRUE(SamePixels(*Decoded("cmyk.jpg"), Reference("src.png"), false, 40));
}

TEST(JpegDecoderTest, ATruncatedFileStillDecodes) {
    const std::string jpeg = testsupport::ReadFile(Fixture("colour.jpg"));
    CWinBmp bmp;
    DecodeBytes(jpeg.substr(0, jpeg.size() * 2 / 3), &bmp);
    EXPECT_EQ(bmp.GetWidth(), 37);
    EXPECT_EQ(bmp.GetHeight(), 23);
    // The top rows came from real data.
    const QImage ref = Reference("src.png");
    EXPECT_NEAR(int((Pixel(bmp, 0, 0) >> 16) & 0xFF), qRed(ref.pixel(0, 0)), 24);
    std::string text;
    EXPECT_EQ(DecodeError(jpeg.substr(0, 20), &text), 6);
}

TEST(JpegEncoderTest, RoundTripThroughTheLibrary) {
    testsupport::TempDir dir;
    CWinBmp* src = Decoded("src.png");
    const std::string path = dir.Str() + "/out.jpg";
    CJPEGEncoder().EncodeFile(path, src);
    const QImage written(QString::fromStdString(path));
    ASSERT_FALSE(written.isNull());
    EXPECT_TRUE(SamePixels(*src, written, false, 40));
    // The sink must hold the file: a tiny one overflows with code 11.
    std::vector<BYTE> small(64);
    CDataSink sink;
    sink.InitSink("small", small.data(), int(small.size()));
    try {
        CJPEGEncoder().EncodeToSink(src, &sink);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 11);
        EXPECT_STREQ(e.Text(), "Buffer overflow while encoding.\n");
    }
}
