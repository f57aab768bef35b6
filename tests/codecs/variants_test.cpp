// Format variants that pictures from other programs use: transparency
// chunks, newer and older bitmap headers, Targa layouts, BigTIFF, CIELab,
// 16-bit associated alpha, orientation tags and chroma upsampling. Each
// fixture is compared with what PIL or ImageMagick shows for it (its
// .ref.png, made by make_pictures.py beside the fixtures).

#include "codecs/textexception.h"
#include "codectest.h"
#include "testsupport.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace codectest;

namespace {

QImage Image(const std::string& name) {
    return QImage(QString::fromStdString(Fixture(name)));
}

// Decodes a fixture and compares it with its reference reading.
testing::AssertionResult MatchesReference(const std::string& name, int tolerance = 0) {
    CWinBmp bmp;
    try {
        DecodeFile(Fixture(name), &bmp);
    } catch (const CTextException& e) {
        return testing::AssertionFailure() << name << " refused: " << e.Text();
    }
    return SamePixels(bmp, Image(name + ".ref.png"), true, tolerance) << " in " << name;
}

bool DecodedAlpha(const std::string& name) {
    CWinBmp bmp;
    DecodeFile(Fixture(name), &bmp);
    return bmp.HasAlpha();
}

} // namespace

TEST(PngVariantsTest, TransparencyChunksBecomeAlpha) {
    // A transparent colour of an RGB picture, an alpha per palette entry and
    // a transparent grey, as PIL reads them.
    for (const char* name : {"trnsrgb.png", "trnspal.png", "trnsgrey.png"}) {
        EXPECT_TRUE(MatchesReference(name));
        EXPECT_TRUE(DecodedAlpha(name)) << name;
    }
}

TEST(BmpVariantsTest, NewerAndOlderHeadersDecode) {
    // V5 and V4 headers with an alpha mask: the alpha is the picture's own.
    EXPECT_TRUE(MatchesReference("v5alpha.bmp"));
    EXPECT_TRUE(DecodedAlpha("v5alpha.bmp"));
    CWinBmp v4;
    DecodeFile(Fixture("v4alpha.bmp"), &v4);
    EXPECT_TRUE(SamePixels(v4, Image("v5alpha.bmp.ref.png"), true));
    // OS/2: a 12-byte header with three-byte colours; a 64-byte header.
    EXPECT_TRUE(MatchesReference("os2v1.bmp"));
    CWinBmp os2;
    DecodeFile(Fixture("os2v2.bmp"), &os2);
    EXPECT_TRUE(SamePixels(os2, Image("src.png"), true));
}

TEST(BmpVariantsTest, DeltaEscapesSkipPixels) {
    // The colours are ImageMagick's, which shows skipped pixels in colour 0
    // of the table (navy; the codes never write it); they are transparent.
    for (const char* name : {"rledelta8.bmp", "rledelta4.bmp"}) {
        CWinBmp bmp;
        DecodeFile(Fixture(name), &bmp);
        const QImage reference = Image(std::string(name) + ".ref.png");
        EXPECT_TRUE(SamePixels(bmp, reference, false)) << name;
        EXPECT_TRUE(bmp.HasAlpha()) << name;
        int skipped = 0;
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x) {
                const bool navy = (reference.pixel(x, y) & 0xFFFFFF) == 0x000080;
                EXPECT_EQ(Pixel(bmp, x, y) >> 24, navy ? 0u : 255u) << name << x << ", " << y;
                skipped += navy;
            }
        EXPECT_EQ(skipped, std::string(name) == "rledelta8.bmp" ? 47 : 27) << name;
    }
}

TEST(BmpVariantsTest, AFileMissingOnlyItsLastPaddingByteDecodes) {
    CWinBmp bmp;
    DecodeFile(Fixture("shortpad.bmp"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Image("src.png"), true));
    // One byte of pixels less is still too short.
    const std::string file = testsupport::ReadFile(Fixture("shortpad.bmp"));
    EXPECT_EQ(DecodeError(file.substr(0, file.size() - 1)), 11);
}

TEST(TgaVariantsTest, GreyWithAlphaAndRightToLeftRows) {
    EXPECT_TRUE(MatchesReference("tgagreya16.tga"));
    EXPECT_TRUE(DecodedAlpha("tgagreya16.tga"));
    CWinBmp mirrored;
    DecodeFile(Fixture("tgarighttoleft.tga"), &mirrored);
    EXPECT_TRUE(SamePixels(mirrored, Image("src.png"), true));
}

TEST(TgaVariantsTest, SixteenBitPixelsWidenToTheFullRange) {
    // White is 255 and the alpha bit is fully opaque or fully transparent,
    // as ImageMagick reads the file.
    EXPECT_TRUE(MatchesReference("tga16.tga"));
    CWinBmp bmp;
    DecodeFile(Fixture("tga16.tga"), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(bmp, 0, 22), 0x00FFFFFFu);
}

TEST(TgaVariantsTest, RunLengthPacketsMayRunAcrossRowEnds) {
    EXPECT_TRUE(MatchesReference("tgarlewrap.tga"));
}

TEST(TiffVariantsTest, BigTiffIsRecognisedAndDecoded) {
    CWinBmp bmp;
    DecodeFile(Fixture("bigtiff.tif"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Image("src.png"), true));
}

TEST(TiffVariantsTest, CieLabHasNoColourCast) {
    // White, black and middle grey exactly; the colours within five levels
    // of ImageMagick, whose own conversion (truncated, with its own white)
    // strays that far from the CIE formulas in some mid-tones.
    CWinBmp bmp;
    DecodeFile(Fixture("lab.tif"), &bmp);
    EXPECT_EQ(Pixel(bmp, 2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(bmp, 8, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(bmp, 14, 2), 0xFF808080u);
    EXPECT_TRUE(MatchesReference("lab.tif", 5));
}

TEST(TiffVariantsTest, SixteenBitAssociatedAlphaIsDividedBeforeReduction) {
    EXPECT_TRUE(MatchesReference("assocalpha16.tif", 1));
}

TEST(OrientationTest, TiffOrientationsOneToEightShowTheUprightPicture) {
    for (int o = 1; o <= 8; ++o) {
        const std::string name = "orient" + std::to_string(o) + ".tif";
        CWinBmp bmp;
        DecodeFile(Fixture(name), &bmp);
        EXPECT_TRUE(SamePixels(bmp, Image("src.png"), true)) << name;
    }
}

TEST(OrientationTest, JpegExifOrientationsOneToEightShowTheUprightPicture) {
    for (int o = 1; o <= 8; ++o)
        EXPECT_TRUE(MatchesReference("exif" + std::to_string(o) + ".jpg", 2));
}

TEST(JpegVariantsTest, ChromaIsUpsampledAsLibjpegDoesByDefault) {
    EXPECT_TRUE(MatchesReference("fancy.jpg", 2));
}

TEST(WmfVariantsTest, ASizeFieldCountingThePlaceableHeaderIsAccepted) {
    CWinBmp bmp;
    DecodeFile(Fixture("placeablesize.wmf"), &bmp);
    ASSERT_EQ(bmp.GetWidth(), 96);
    ASSERT_EQ(bmp.GetHeight(), 64);
    EXPECT_EQ(Pixel(bmp, 30, 20), 0xFF000000u); // inside the rectangle
    EXPECT_EQ(Pixel(bmp, 80, 50), 0xFFFFFFFFu); // paper
    // The same records with the size field counting the metafile alone.
    std::string file = testsupport::ReadFile(Fixture("placeablesize.wmf"));
    file[28] = char(file[28] - 11);
    CWinBmp plain;
    DecodeBytes(file, &plain, "plain.wmf");
    ASSERT_EQ(plain.GetHeight(), 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            ASSERT_EQ(Pixel(bmp, x, y), Pixel(plain, x, y)) << x << ", " << y;
    // Without its end record the file is still refused.
    const std::string cut = testsupport::ReadFile(Fixture("placeablesize.wmf"));
    EXPECT_EQ(DecodeError(cut.substr(0, cut.size() - 6), nullptr, "cut.wmf"), 6);
}
