// TIFF through libtiff: stripped and tiled files made by ImageMagick decode
// to ImageMagick's own pixels, alpha comes out straight whatever the file's
// kind of alpha, damaged files are refused, and written files are plain RGB.

#include "codecs/bmp.h"
#include "codecs/textexception.h"
#include "codecs/tiffcodec.h"
#include "codectest.h"
#include "testsupport.h"

#include <QImage>
#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstring>

using namespace codectest;

namespace {

constexpr int kWidth = 37, kHeight = 23; // every fixture is made from a 37 x 23 picture

QImage Reference(const std::string& name) {
    return QImage(QString::fromStdString(Fixture(name)));
}

// ImageMagick's reading of a fixture, dumped as raw RGBA bytes.
QImage RawReference(const std::string& name) {
    const std::string bytes = testsupport::ReadFile(Fixture(name));
    if (bytes.size() != size_t(kWidth) * kHeight * 4)
        return QImage();
    QImage image(kWidth, kHeight, QImage::Format_RGBA8888);
    for (int y = 0; y < kHeight; ++y)
        std::memcpy(image.scanLine(y), bytes.data() + size_t(y) * kWidth * 4, size_t(kWidth) * 4);
    return image;
}

struct Decoded {
    CWinBmp bmp;
    int code = 0;
    std::string text;
};

// Decodes a fixture; the code and text of a refusal are kept.
void DecodeFixture(const std::string& name, Decoded* out) {
    try {
        DecodeFile(Fixture(name), &out->bmp);
    } catch (const CTextException& e) {
        out->code = e.Code();
        out->text = e.Text();
    }
}

// Walks the first directory of a little-endian TIFF and replaces the first
// value of a tag of shorts or longs; false when the tag is not there.
bool PatchTag(std::string* file, int tag, uint32_t value) {
    auto u16 = [&](size_t at) { return uint32_t(BYTE((*file)[at]) | BYTE((*file)[at + 1]) << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (file->size() < 8 || file->compare(0, 2, "II") != 0)
        return false;
    const size_t ifd = u32(4);
    const uint32_t entries = u16(ifd);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + i * 12;
        if (int(u16(entry)) != tag)
            continue;
        const int size = u16(entry + 2) == 3 ? 2 : 4;
        const size_t at = u32(entry + 4) * size <= 4 ? entry + 8 : u32(entry + 8);
        for (int b = 0; b < size; ++b)
            (*file)[at + b] = char((value >> (8 * b)) & 0xFF);
        return true;
    }
    return false;
}

} // namespace

TEST(TiffDecoderTest, StrippedFilesMatchTheirSources) {
    for (const char* name : {"rgb.tif", "lzw.tif"}) {
        Decoded d;
        DecodeFixture(name, &d);
        ASSERT_EQ(d.code, 0) << name << ": " << d.text;
        EXPECT_TRUE(SamePixels(d.bmp, Reference("src.png"), true)) << name;
        EXPECT_FALSE(d.bmp.HasAlpha()) << name;
    }
    Decoded palette;
    DecodeFixture("palette.tif", &palette);
    EXPECT_TRUE(SamePixels(palette.bmp, Reference("pal16.png"), true));
}

TEST(TiffDecoderTest, TiledFilesMatchImageMagick) {
    // 16 x 16 tiles over 37 x 23 pixels: three columns and two rows of tiles,
    // the last of each clipped. Uncompressed tiles are smaller than the
    // library's own read buffers, which it refuses; LZW tiles are not.
    for (const char* name : {"tiled16.tif", "tiled16lzw.tif", "tiled16planar.tif"}) {
        Decoded d;
        DecodeFixture(name, &d);
        ASSERT_EQ(d.code, 0) << name << ": " << d.text;
        EXPECT_TRUE(SamePixels(d.bmp, Reference("src.png"), true)) << name;
        EXPECT_FALSE(d.bmp.HasAlpha()) << name;
    }
    Decoded alpha;
    DecodeFixture("tiled16alpha.tif", &alpha);
    ASSERT_EQ(alpha.code, 0) << alpha.text;
    EXPECT_TRUE(alpha.bmp.HasAlpha());
    EXPECT_TRUE(SamePixels(alpha.bmp, Reference("srca.png"), true));
}

TEST(TiffDecoderTest, UnassociatedAlphaKeepsTheStoredColours) {
    // libtiff's RGBA reader would multiply these colours by their alpha: the
    // transparent bottom row would turn black and the ramp darken.
    for (const char* name : {"rgba.tif", "rgba16.tif"}) {
        Decoded d;
        DecodeFixture(name, &d);
        ASSERT_EQ(d.code, 0) << name << ": " << d.text;
        EXPECT_TRUE(d.bmp.HasAlpha()) << name;
        EXPECT_TRUE(SamePixels(d.bmp, Reference("srca.png"), true)) << name;
        EXPECT_EQ(Pixel(d.bmp, 0, 22), 0x000000FFu) << name;  // transparent blue corner
        EXPECT_EQ(Pixel(d.bmp, 36, 22), 0x0000FF00u) << name; // transparent lime corner
        EXPECT_EQ(Pixel(d.bmp, 18, 11), 0x807F7F3Fu) << name; // half transparent middle
        EXPECT_EQ(Pixel(d.bmp, 0, 21), 0x0C0B00F3u) << name;  // nearly transparent
    }
}

TEST(TiffDecoderTest, UnspecifiedExtraSampleIsReadAsStraightAlpha) {
    Decoded d;
    DecodeFixture("unspecalpha.tif", &d);
    ASSERT_EQ(d.code, 0) << d.text;
    EXPECT_TRUE(d.bmp.HasAlpha());
    EXPECT_TRUE(SamePixels(d.bmp, Reference("srca.png"), true));
}

TEST(TiffDecoderTest, AssociatedAlphaIsDividedOut) {
    // The file stores colours multiplied by alpha; the picture's own colours
    // come back as far as eight bits keep them (ImageMagick's reading
    // rounds differently by one).
    Decoded d;
    DecodeFixture("assocalpha.tif", &d);
    ASSERT_EQ(d.code, 0) << d.text;
    EXPECT_TRUE(d.bmp.HasAlpha());
    EXPECT_TRUE(SamePixels(d.bmp, RawReference("assocalpha.rgba"), true, 1));
    // Stored 64, 64, 32 at alpha 128 (from 127, 127, 63): divided, rounded.
    EXPECT_EQ(Pixel(d.bmp, 18, 11), 0x80808040u);
    // Opaque pixels are stored unchanged; transparent ones hold no colour.
    EXPECT_EQ(Pixel(d.bmp, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(d.bmp, 36, 0), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(d.bmp, 0, 22), 0x00000000u);
    // Where alpha is at least a half, every colour is within one of the
    // picture the file was made from.
    const QImage source = Reference("srca.png");
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t want = source.pixel(x, y), got = Pixel(d.bmp, x, y);
            if ((want >> 24) < 128)
                continue;
            for (int shift = 0; shift < 24; shift += 8)
                EXPECT_LE(std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)), 1)
                    << x << ", " << y;
        }
}

TEST(TiffDecoderTest, AssociatedAlphaOfGreyPicturesIsDividedOut) {
    // libtiff copies grey samples with their alpha as stored, pre-multiplied.
    Decoded d;
    DecodeFixture("greyassocalpha.tif", &d);
    ASSERT_EQ(d.code, 0) << d.text;
    EXPECT_TRUE(d.bmp.HasAlpha());
    EXPECT_TRUE(SamePixels(d.bmp, RawReference("greyassocalpha.rgba"), true, 1));
}

TEST(TiffDecoderTest, UnreadableFilesGiveCodeOneWithTheLibraryMessage) {
    std::string text;
    EXPECT_EQ(DecodeError(std::string("II*\0\x08\x00\x00\x00garbage", 15), &text), 1);
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u);
    EXPECT_GT(text.size(), std::string("Decoder error: \n").size());
}

TEST(TiffDecoderTest, TilesBeyondTheAllocationLimitAreRefused) {
    // 32768 x 32768 tiles of three bytes would need 3 GB for one tile.
    std::string file = testsupport::ReadFile(Fixture("tiled16.tif"));
    ASSERT_TRUE(PatchTag(&file, TIFFTAG_TILEWIDTH, 32768));
    ASSERT_TRUE(PatchTag(&file, TIFFTAG_TILELENGTH, 32768));
    std::string text;
    EXPECT_EQ(DecodeError(file, &text), 1) << text;
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u) << text;
}

TEST(TiffDecoderTest, TilesOutsideTheFileAreNotRead) {
    std::string file = testsupport::ReadFile(Fixture("tiled16.tif"));
    ASSERT_TRUE(PatchTag(&file, TIFFTAG_IMAGEWIDTH, 16));
    ASSERT_TRUE(PatchTag(&file, TIFFTAG_IMAGELENGTH, 16));
    // One tile whose data would run past the end of the file.
    ASSERT_TRUE(PatchTag(&file, TIFFTAG_TILEOFFSETS, uint32_t(file.size() - 100)));
    std::string text;
    EXPECT_EQ(DecodeError(file, &text), 1) << text;
}

TEST(TiffEncoderTest, WritesUncompressedEightBitRgbTopDown) {
    testsupport::TempDir dir;
    CWinBmp bmp;
    bmp.Create(3, 2, 32, false);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            BYTE* p = bmp.Line(y) + x * 4;
            p[0] = BYTE(x * 10);      // blue
            p[1] = BYTE(y * 100);     // green
            p[2] = BYTE(200 + x + y); // red
            p[3] = 77;                // dropped
        }
    const std::string path = dir.Str() + "/out.tif";
    CTIFFEncoder().EncodeFile(path, &bmp);
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    uint16_t bits = 0, samples = 0, compression = 0, photometric = 0, planar = 0;
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &planar);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(samples, 3);
    EXPECT_EQ(compression, COMPRESSION_NONE);
    EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(planar, PLANARCONFIG_CONTIG);
    std::vector<BYTE> row(size_t(TIFFScanlineSize(tiff)));
    ASSERT_EQ(TIFFReadScanline(tiff, row.data(), 0, 0), 1);
    EXPECT_EQ(std::vector<BYTE>(row.begin(), row.begin() + 9),
              (std::vector<BYTE>{200, 0, 0, 201, 0, 10, 202, 0, 20}));
    ASSERT_EQ(TIFFReadScanline(tiff, row.data(), 1, 0), 1);
    EXPECT_EQ(row[0], 201);
    EXPECT_EQ(row[1], 100);
    TIFFClose(tiff);
}

TEST(TiffEncoderTest, WrittenFilesReadBackThroughTheDecoder) {
    // Writing goes through the same stream without a map.
    testsupport::TempDir dir;
    Decoded source;
    DecodeFixture("tiled16lzw.tif", &source);
    ASSERT_EQ(source.code, 0) << source.text;
    const std::string path = dir.Str() + "/back.tif";
    CTIFFEncoder().EncodeFile(path, &source.bmp);
    CWinBmp back;
    DecodeFile(path, &back);
    EXPECT_TRUE(SamePixels(back, Reference("src.png"), true));
}
