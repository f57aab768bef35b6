// A picture file's own alpha reaches the image as a mask of the alpha
// file's form, serves as its alpha companion when there is no alpha file
// (an alpha file wins), and so becomes the alpha of its layer stream;
// pictures are read upright, JPEG pictures at three bytes a pixel.

#include "codecs/anypicdecoder.h"
#include "codecs/bmp.h"
#include "imaging/rlestream.h"
#include "imagingtest.h"
#include "testsupport.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace imagingtest;
namespace fs = std::filesystem;

namespace {

std::string Fixture(const std::string& name) {
    return std::string(MORVANE_TESTS_DIR) + "/data/codecs/" + name;
}

// The alpha of a mask: the first byte of each 24-bit pixel.
int MaskAt(const CDIB& mask, int x, int y) {
    CDIB& m = const_cast<CDIB&>(mask);
    m.BeginPixelAccess();
    const int value = m.PixelAddress(unsigned(x), unsigned(y))[0];
    m.EndPixelAccess();
    return value;
}

} // namespace

TEST(PictureAlphaTest, APngsAlphaBecomesTheAlphaCompanion) {
    const QImage source(QString::fromStdString(Fixture("srca.png")));
    CDIB pic;
    ASSERT_TRUE(pic.Load(Fixture("srca.png"), 0, 0));
    EXPECT_EQ(pic.GetBitCount(), 24); // the picture itself stays 24-bit
    EXPECT_EQ(PixelOf(pic, 5, 20), source.pixel(5, 20) & 0xFFFFFF);
    ASSERT_NE(pic.GetPictureAlpha(), nullptr);
    EXPECT_EQ(pic.GetAlpha(), nullptr); // until the alpha part is asked for
    ASSERT_TRUE(pic.EnsureParts(CDIB::kAlpha));
    const CDIB* mask = pic.GetAlpha();
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(pic.GetPictureAlpha(), nullptr); // taken, not copied
    EXPECT_EQ(mask->GetBitCount(), 24);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; x += 9)
            ASSERT_EQ(MaskAt(*mask, x, y), qAlpha(source.pixel(x, y))) << x << ", " << y;
    // A palette PNG's transparency chunk too.
    CDIB palette;
    ASSERT_TRUE(palette.Load(Fixture("trnspal.png"), 0, 0));
    EXPECT_TRUE(palette.EnsureParts(CDIB::kAlpha));
}

TEST(PictureAlphaTest, OpaquePicturesHaveNoMask) {
    // Without alpha, and with an alpha that is 255 everywhere: corner-colour
    // transparency stays theirs.
    testsupport::TempDir dir;
    QImage opaque(4, 3, QImage::Format_ARGB32);
    opaque.fill(qRgba(10, 20, 30, 255));
    const std::string path = dir.Str() + "/opaque.png";
    ASSERT_TRUE(opaque.save(QString::fromStdString(path)));
    ASSERT_EQ(testsupport::ReadFile(path)[25], 6); // stored with an alpha channel
    for (const std::string& file : {Fixture("src.png"), path}) {
        CDIB pic;
        ASSERT_TRUE(pic.Load(file, 0, 0)) << file;
        EXPECT_EQ(pic.GetPictureAlpha(), nullptr) << file;
        EXPECT_FALSE(pic.EnsureParts(CDIB::kAlpha)) << file;
        EXPECT_EQ(pic.GetAlpha(), nullptr) << file;
    }
}

TEST(PictureAlphaTest, AnAlphaFileWinsOverThePicturesOwnAlpha) {
    testsupport::TempDir dir;
    fs::copy_file(Fixture("srca.png"), dir.Path() / "ilogo.png");
    auto file = MakePicture(37, 23, [](int x, int) { return x < 10 ? 0u : 0xFFFFFFu; });
    ASSERT_TRUE(file->Save(dir.Str() + "/alogo.bmp"));
    // The alpha file must share the picture's extension to be found.
    fs::rename(dir.Path() / "alogo.bmp", dir.Path() / "alogo.png");
    CDIB pic;
    ASSERT_TRUE(pic.Load(dir.Str() + "/ilogo.png", 0, 0));
    ASSERT_TRUE(pic.EnsureParts(CDIB::kAlpha));
    EXPECT_EQ(MaskAt(*pic.GetAlpha(), 0, 0), 0);     // the file's, though the
    EXPECT_EQ(MaskAt(*pic.GetAlpha(), 20, 22), 255); // picture is opaque at the top
}

TEST(PictureAlphaTest, TheLayerStreamCarriesThePicturesAlpha) {
    const QImage source(QString::fromStdString(Fixture("srca.png")));
    CDIB pic;
    ASSERT_TRUE(pic.Load(Fixture("srca.png"), 0, 0));
    CRLEStream stream;
    ASSERT_TRUE(stream.Build(&pic, 0));
    EXPECT_FALSE(stream.IsKeyed());
    for (int y : {0, 11, 22}) {
        stream.SeekRow(y, false);
        for (int x = 0; x < 37; ++x) {
            DWORD word = 0;
            ASSERT_TRUE(stream.ReadPixel(x, &word));
            const QRgb p = source.pixel(x, y);
            // A fully transparent pixel is a transparent run (word 0).
            const uint32_t want = qAlpha(p) ? Word(p & 0xFFFFFF, uint32_t(qAlpha(p))) : 0;
            ASSERT_EQ(word, want) << x << ", " << y;
        }
    }
}

TEST(PictureAlphaTest, CopiesAndMirrorsKeepTheMask) {
    CDIB pic;
    ASSERT_TRUE(pic.Load(Fixture("trnsrgb.png"), 0, 0)); // cyan frame transparent
    std::unique_ptr<CDIB> copy(pic.Clone());
    ASSERT_NE(copy->GetPictureAlpha(), nullptr);
    EXPECT_EQ(MaskAt(*copy->GetPictureAlpha(), 0, 10), 0);
    ASSERT_TRUE(pic.Mirror(0));
    EXPECT_EQ(MaskAt(*pic.GetPictureAlpha(), 0, 10), 255);
    EXPECT_EQ(MaskAt(*pic.GetPictureAlpha(), 36, 10), 0);
}

TEST(PictureAlphaTest, PicturesAreReadUpright) {
    // A photo stored on its side with EXIF orientation 6, and a TIFF with
    // orientation 8: both read as the 37 x 23 picture they show.
    for (const char* name : {"exif6.jpg", "orient8.tif"}) {
        CDIB pic;
        ASSERT_TRUE(pic.Load(Fixture(name), 0, 0)) << name;
        EXPECT_EQ(pic.GetWidth(), 37) << name;
        EXPECT_EQ(pic.GetHeight(), 23) << name;
        EXPECT_NEAR(int(PixelOf(pic, 0, 0) >> 16), 255, 4) << name; // red top-left
        EXPECT_NEAR(int(PixelOf(pic, 0, 0) & 0xFF), 0, 4) << name;
    }
}

TEST(PictureAlphaTest, AJpegBecomesTheImageAtThreeBytesAPixelAsDecodedAtFour) {
    // Colour pictures are decoded straight into the image; grey, CMYK and
    // turned ones are converted on the way: every pixel as the four-byte
    // decoding gives it, the row padding clear, no mask.
    for (const char* name : {"colour.jpg", "grey.jpg", "cmyk.jpg", "exif6.jpg", "exif2.jpg"}) {
        CAnyPicDecoder decoder;
        CWinBmp four;
        decoder.DecodeFile(Fixture(name), &four, 32);
        CDIB pic;
        ASSERT_TRUE(pic.Load(Fixture(name), 0, 0)) << name;
        ASSERT_EQ(pic.GetBitCount(), 24) << name;
        ASSERT_EQ(pic.GetWidth(), four.GetWidth()) << name;
        ASSERT_EQ(pic.GetHeight(), four.GetHeight()) << name;
        EXPECT_EQ(pic.GetHeader()->biSizeImage, DWORD(pic.GetRowSize() * pic.GetHeight()));
        EXPECT_EQ(pic.GetPictureAlpha(), nullptr) << name;
        pic.BeginPixelAccess();
        for (int y = 0; y < pic.GetHeight(); ++y) {
            const BYTE* row = pic.PixelAddress(0, unsigned(y));
            for (int x = 0; x < pic.GetWidth(); ++x)
                ASSERT_EQ(std::memcmp(row + 3 * x, four.Line(y) + 4 * x, 3), 0)
                    << name << " at " << x << ", " << y;
            for (int i = 3 * pic.GetWidth(); i < pic.GetRowSize(); ++i)
                ASSERT_EQ(row[i], 0) << name << " padding of row " << y;
        }
        pic.EndPixelAccess();
    }
}
