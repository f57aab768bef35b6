// What a picture may cost: the size limit every decoder keeps, and the
// bound compressed data puts on its picture, so that a file of a few bytes
// cannot make a picture of hundreds of megabytes.

#include "codecs/picdecoder.h"
#include "codecs/wemfdecoder.h"
#include "codectest.h"
#include "testsupport.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

using namespace codectest;

namespace {

std::string SmallButHuge(const std::string& name) {
    return testsupport::ReadFile(
        (std::filesystem::path(testsupport::TestDataDir()) / "small-but-huge" / name).string());
}

std::string Saved(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes.toStdString();
}

// An 8-bit run-length bitmap of the given rows of codes, with a grey ramp.
std::string RleBmp(int width, int height, const std::string& codes) {
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = i * 0x010101;
    return MakeBmp(width, height, 8, 1, palette, codes);
}

// The code a check raises (0 when it passes), and its text.
template <typename Check> int ErrorCode(Check check, std::string* text = nullptr) {
    try {
        check();
    } catch (const CTextException& e) {
        if (text)
            *text = e.Text();
        return e.Code();
    }
    return 0;
}

int CostError(long long width, long long height, long long bytes, long long perByte,
              std::string* text = nullptr) {
    return ErrorCode([&] { CheckPictureCost(width, height, bytes, perByte, "Test decoder"); },
                     text);
}

int SizeError(long long width, long long height) {
    return ErrorCode([&] { CheckPictureSize(width, height, "Test decoder"); });
}

} // namespace

TEST(PictureCostTest, TheProgramsLimitsAreTheRealOnes) {
    static_assert(kMaxPicturePixels == 100'000'000);
    static_assert(kPixelsAnyDataMayMake == 2048 * 2048);
    static_assert(kMaxMetafileSide == 2048);
    EXPECT_NO_THROW(CheckPictureSize(10000, 10000, "Test decoder"));
    try {
        CheckPictureSize(10000, 10001, "Test decoder");
        ADD_FAILURE() << "a picture beyond 100 megapixels was allowed";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 10);
        EXPECT_STREQ(e.Text(), "Decoder error: Out of memory: Test decoder picture of 10000 x "
                               "10001 pixels is too large.\n");
    }
}

TEST(PictureCostTest, SidesWhoseProductOverflowsAreRefused) {
    // A TIFF's 32-bit sides: their product wraps past a long long to a negative count.
    EXPECT_EQ(SizeError(4294967295, 2415919122), 10);
    EXPECT_EQ(CostError(4294967295, 2415919122, 1000, 128), 7);
}

TEST(PictureCostTest, LargePicturesNeedTheDataToFillThem) {
    // Any data makes a picture up to 2048 x 2048.
    EXPECT_EQ(CostError(2048, 2048, 0, 128), 0);
    // Beyond it, 128 pixels a byte: 2049 x 2048 pixels need 32784 bytes.
    EXPECT_EQ(CostError(2049, 2048, 32784, 128), 0);
    std::string text;
    EXPECT_EQ(CostError(2049, 2048, 32783, 128, &text), 7);
    EXPECT_EQ(text, "Decoder error: Test decoder: a picture of 2049 x 2048 pixels cannot come "
                    "from 32783 bytes of data.\n");
}

TEST(PictureCostTest, RunLengthBitmapsAreBoundByTheirCodes) {
    // 1122 bytes asking for 128 x 524416 pixels: 44 bytes of codes after the
    // colour table cannot fill more than 5632.
    std::string text;
    EXPECT_EQ(DecodeError(SmallButHuge("rle-128x524416.bmp"), &text), 7);
    EXPECT_EQ(text, "Decoder error: Bitmap decoder: a picture of 128 x 524416 pixels cannot "
                    "come from 44 bytes of data.\n");
    // The end of the picture right away: transparent, at any size up to the
    // free limit, and refused one row beyond it.
    const std::string end("\x00\x01", 2);
    CWinBmp free;
    DecodeBytes(RleBmp(2048, 2048, end), &free);
    EXPECT_EQ(free.GetHeight(), 2048);
    EXPECT_EQ(Pixel(free, 2047, 0), 0x00000000u);
    EXPECT_EQ(DecodeError(RleBmp(2048, 2049, end), &text), 7);
    // Every pixel coded: 4096 x 1100 pixels in runs of 255 decode.
    std::string row;
    for (int i = 0; i < 16; ++i)
        row += std::string("\xFF", 1) + char(i);
    row += std::string("\x10\x40\x00\x00", 4);
    std::string codes;
    for (int y = 0; y < 1100; ++y)
        codes += row;
    CWinBmp full;
    DecodeBytes(RleBmp(4096, 1100, codes + end), &full);
    EXPECT_EQ(Pixel(full, 0, 1099), 0xFF000000u);
    EXPECT_EQ(Pixel(full, 4095, 0), 0xFF404040u);
}

TEST(PictureCostTest, MetafilesAreDrawnAtMost2048PixelsLong) {
    const auto fit = [](int w, int h) {
        CWEMFDecoder::FitLongSide(&w, &h);
        return std::pair(w, h);
    };
    EXPECT_EQ(fit(14380, 4732), std::pair(2048, 674));
    EXPECT_EQ(fit(100, 5000), std::pair(41, 2048));
    EXPECT_EQ(fit(2048, 2048), std::pair(2048, 2048));
    EXPECT_EQ(fit(30000, 1), std::pair(2048, 1));
    // 171 bytes whose placeable header asks for 14380 x 4732 pixels.
    CWinBmp bmp;
    DecodeBytes(SmallButHuge("placeable-14380x4732.wmf"), &bmp, "small.wmf");
    EXPECT_EQ(bmp.GetWidth(), 2048);
    EXPECT_EQ(bmp.GetHeight(), 674);
}

TEST(PictureCostTest, LibraryFormatsAreBoundByTheirData) {
    QImage white(2100, 2100, QImage::Format_RGB32);
    white.fill(Qt::white);
    // The headers whole, the compressed pixels cut short.
    const std::string png = Saved(white, "PNG");
    const size_t idat = png.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    std::string text;
    EXPECT_EQ(DecodeError(png.substr(0, idat + 104), &text), 7);
    EXPECT_EQ(text, "Decoder error: PNG decoder: a picture of 2100 x 2100 pixels cannot come "
                    "from 100 bytes of data.\n");
    const std::string jpeg = Saved(white, "JPEG");
    const size_t scan = jpeg.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_EQ(DecodeError(jpeg.substr(0, scan + 200), &text), 7);
    EXPECT_EQ(text.rfind("Decoder error: JPEG decoder: a picture of 2100 x 2100 pixels cannot "
                         "come from ",
                         0),
              0u)
        << text;
    // Whole, they decode: white compresses well within the bounds.
    CWinBmp bmp;
    DecodeBytes(png, &bmp);
    EXPECT_EQ(Pixel(bmp, 2099, 2099), 0xFFFFFFFFu);
    DecodeBytes(jpeg, &bmp);
    EXPECT_EQ(bmp.GetWidth(), 2100);

    // A TIFF of 3000 x 3000 grey pixels in 200 bytes.
    Bytes tiff;
    tiff.raw("II").u16(42).u32(8).u16(8);
    const auto entry = [&](int tag, int type, uint32_t value) {
        tiff.u16(tag).u16(type).u32(1).u32(value);
    };
    entry(256, 3, 3000);    // width
    entry(257, 3, 3000);    // height
    entry(258, 3, 8);       // bits per sample
    entry(259, 3, 1);       // no compression
    entry(262, 3, 1);       // black is zero
    entry(273, 4, 128);     // strip offset
    entry(278, 3, 3000);    // rows per strip
    entry(279, 4, 9000000); // strip bytes
    tiff.u32(0).fill(200 - int(tiff.size()), 0);
    EXPECT_EQ(DecodeError(tiff.str(), &text), 7);
    EXPECT_EQ(text, "Decoder error: TIFF decoder: a picture of 3000 x 3000 pixels cannot come "
                    "from 200 bytes of data.\n");
}
