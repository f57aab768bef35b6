// Every file of the BMP suite made by others, with what the decoder must do
// with it: decode to the pixels of a reference (Qt's reading of the same
// file, or of the suite's 24-bit or 1-bit picture where Qt reads the file
// differently), or refuse it with an exact code and text. None may crash.

#include "codecs/textexception.h"
#include "codectest.h"
#include "testsupport.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

using namespace codectest;
namespace fs = std::filesystem;

namespace {

struct SuiteCase {
    const char* file;      // folder/name below the suite
    int code;              // 0: decodes; else the CTextException code
    const char* text;      // the exception's text when refused
    const char* reference; // decoded: the suite file Qt reads as the expected
                           // pixels, or null for the file itself
    int tolerance;         // per colour channel
};

constexpr SuiteCase Decodes(const char* file, const char* reference = nullptr, int tolerance = 0) {
    return {file, 0, nullptr, reference, tolerance};
}
constexpr SuiteCase Refuses(const char* file, int code, const char* text) {
    return {file, code, text, nullptr, 0};
}

const SuiteCase kSuite[] = {
    Decodes("g/pal1.bmp"),
    Decodes("g/pal1bg.bmp"),
    Decodes("g/pal1wb.bmp"),
    Decodes("g/pal4.bmp"),
    Decodes("g/pal4gs.bmp"),
    Decodes("g/pal4rle.bmp"),
    Decodes("g/pal8-0.bmp"),
    Decodes("g/pal8.bmp"),
    Decodes("g/pal8gs.bmp"),
    Decodes("g/pal8nonsquare.bmp"),
    // Only the 40-byte information header is read; others are refused.
    Refuses("g/pal8os2.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Decodes("g/pal8rle.bmp"),
    Decodes("g/pal8topdown.bmp"),
    Refuses("g/pal8v4.bmp", 2, "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("g/pal8v5.bmp", 2, "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Decodes("g/pal8w124.bmp"),
    Decodes("g/pal8w125.bmp"),
    Decodes("g/pal8w126.bmp"),
    // Five- and six-bit channels are widened to the full range (31 to 255),
    // so these are compared with the 24-bit picture, not with Qt, which
    // shifts them (31 to 248).
    Decodes("g/rgb16-565.bmp", "g/rgb24.bmp", 4),
    Decodes("g/rgb16-565pal.bmp", "g/rgb24.bmp", 4),
    Decodes("g/rgb16.bmp", "g/rgb24.bmp", 4),
    Decodes("g/rgb16bfdef.bmp", "g/rgb24.bmp", 4),
    Decodes("g/rgb24.bmp"),
    Decodes("g/rgb24pal.bmp"),
    Decodes("g/rgb32.bmp"),
    Decodes("g/rgb32bf.bmp"),
    Decodes("g/rgb32bfdef.bmp"),
    Refuses("q/pal1huffmsb.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // A one-colour palette: index 1 has no entry and shows black, like Qt.
    Decodes("q/pal1p1.bmp"),
    // Two bits per pixel is not a Windows depth.
    Refuses("q/pal2.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    Refuses("q/pal2color.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    // Run-length data with the delta escape is refused, as it always is.
    Refuses("q/pal4rlecut.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Refuses("q/pal4rletrns.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Decodes("q/pal8offs.bmp"),
    Refuses("q/pal8os2-hs.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/pal8os2-sz.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/pal8os2sp.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/pal8os2v2-16.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // A 40-byte header with a wrong file size field, which is not used.
    Decodes("q/pal8os2v2-40sz.bmp"),
    Refuses("q/pal8os2v2-sz.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/pal8os2v2.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // A colour table larger than 8 bits can index.
    Refuses("q/pal8oversizepal.bmp", 2,
            "Decoder error: Bitmap decoder: colour table has more than 256 entries.\n"),
    Refuses("q/pal8rlecut.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Refuses("q/pal8rletrns.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    // Two, three and one bits (and three, ten, three): within one step of
    // the 24-bit picture; the levels themselves are checked below.
    Decodes("q/rgb16-231.bmp", "g/rgb24.bmp", 255),
    Decodes("q/rgb16-3103.bmp", "g/rgb24.bmp", 37),
    Decodes("q/rgb16faketrns.bmp", "g/rgb24.bmp", 4),
    Refuses("q/rgb24jpeg.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // 24 bits with a 300-entry colour table, skipped by the pixel offset.
    Decodes("q/rgb24largepal.bmp"),
    Refuses("q/rgb24lprof.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgb24png.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgb24prof.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgb24prof2.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgb24rle24.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // Channels wider than 8 bits keep their top 8 bits.
    Decodes("q/rgb32-111110.bmp", "g/rgb24.bmp", 1),
    Decodes("q/rgb32-7187.bmp", "g/rgb24.bmp", 1),
    Refuses("q/rgb32-xbgr.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // The fourth byte is not alpha: the bitmap is flagged without alpha.
    Decodes("q/rgb32fakealpha.bmp"),
    Refuses("q/rgb32h52.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba16-1924.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba16-4444.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba16-5551.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba32-1.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba32-1010102.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba32-2.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba32-61754.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba32-81284.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    // Alpha bit fields (compression 6) are not a 40-byte header kind.
    Refuses("q/rgba32abf.bmp", 2, "Decoder error: Decoding bmp: unsupported compression.\n"),
    Refuses("q/rgba32h56.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("q/rgba64.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    Refuses("b/badbitcount.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    // Damage in fields the decoder does not use (image size, density, file
    // size, planes): the pixels are those of the good 1-bit picture.
    Decodes("b/badbitssize.bmp", "g/pal1.bmp", 0),
    Decodes("b/baddens1.bmp", "g/pal1.bmp", 0),
    Decodes("b/baddens2.bmp", "g/pal1.bmp", 0),
    Decodes("b/badfilesize.bmp", "g/pal1.bmp", 0),
    Refuses("b/badheadersize.bmp", 2,
            "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n"),
    Refuses("b/badpalettesize.bmp", 2,
            "Decoder error: Bitmap decoder: colour table has more than 256 entries.\n"),
    Decodes("b/badplanes.bmp", "g/pal1.bmp", 0),
    Refuses("b/badrle.bmp", 7,
            "Decoder error: Decoding bmp: run-length data beyond the end of a row.\n"),
    Refuses("b/badrle4.bmp", 7,
            "Decoder error: Decoding bmp: run-length data beyond the end of a row.\n"),
    Refuses("b/badrle4bis.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Refuses("b/badrle4ter.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Refuses("b/badrlebis.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Refuses("b/badrleter.bmp", 6, "Decoder error: Encountered delta escape.\n"),
    Refuses("b/badwidth.bmp", 7,
            "Decoder error: Bitmap decoder: picture has no pixels (-127 x 64).\n"),
    // Indices beyond the colour table show black, like Qt (counted below).
    Decodes("b/pal8badindex.bmp"),
    Refuses("b/reallybig.bmp", 10,
            "Decoder error: Out of memory: Bitmap decoder picture of 3000000 x 2000000 pixels is "
            "too large.\n"),
    Refuses("b/rgb16-880.bmp", 2, "Decoder error: Decoding bmp: unsupported colour masks.\n"),
    Refuses("b/rletopdown.bmp", 7,
            "Decoder error: Decoding bmp: run-length picture stored top-down.\n"),
    Refuses("b/shortfile.bmp", 11, "End of file reached while decoding.\n"),
};

std::string SuitePath(const std::string& file) {
    return (fs::path(testsupport::TestDataDir()) / "bmpsuite" / file).string();
}

QImage QtReading(const std::string& file) {
    return QImage(QString::fromStdString(SuitePath(file)));
}

struct Outcome {
    int code = 0;
    std::string text;
};

Outcome Decode(const std::string& file, CWinBmp* bmp) {
    Outcome o;
    try {
        DecodeFile(SuitePath(file), bmp);
    } catch (const CTextException& e) {
        o.code = e.Code();
        o.text = e.Text();
    }
    return o;
}

// The levels an n-bit channel widened to 8 bits can take.
std::set<int> Levels(int bits) {
    std::set<int> levels;
    const int top = (1 << bits) - 1;
    for (int v = 0; v <= top; ++v)
        levels.insert((v * 255 + top / 2) / top);
    return levels;
}

} // namespace

TEST(BmpSuiteTest, TheTableNamesEveryFileOfTheSuite) {
    std::set<std::string> onDisk, inTable;
    for (const char* folder : {"g", "q", "b"})
        for (const auto& entry : fs::directory_iterator(SuitePath(folder)))
            if (entry.path().extension() == ".bmp")
                onDisk.insert(std::string(folder) + "/" + entry.path().filename().string());
    for (const SuiteCase& c : kSuite)
        EXPECT_TRUE(inTable.insert(c.file).second) << c.file << " named twice";
    EXPECT_EQ(onDisk, inTable);
    EXPECT_EQ(onDisk.size(), 90u);
}

TEST(BmpSuiteTest, EveryFileDecodesOrIsRefusedAsTheTableSays) {
    for (const SuiteCase& c : kSuite) {
        CWinBmp bmp;
        const Outcome o = Decode(c.file, &bmp);
        if (c.code != 0) {
            EXPECT_EQ(o.code, c.code) << c.file;
            EXPECT_EQ(o.text, c.text) << c.file;
            continue;
        }
        ASSERT_EQ(o.code, 0) << c.file << " refused: " << o.text;
        const QImage expected = QtReading(c.reference ? c.reference : c.file);
        ASSERT_FALSE(expected.isNull()) << c.file;
        EXPECT_TRUE(SamePixels(bmp, expected, false, c.tolerance)) << c.file;
        EXPECT_FALSE(bmp.HasAlpha()) << c.file;
    }
}

TEST(BmpSuiteTest, MaskedPixelsAreWidenedToTheFullRange) {
    // The middle of the suite's picture is white: every depth reaches 255.
    for (const char* file : {"g/rgb16.bmp", "g/rgb16-565.bmp", "g/rgb16bfdef.bmp",
                             "g/rgb16-565pal.bmp", "g/rgb32bf.bmp", "q/rgb16-231.bmp",
                             "q/rgb16-3103.bmp", "q/rgb32-111110.bmp", "q/rgb32-7187.bmp"}) {
        CWinBmp bmp;
        ASSERT_EQ(Decode(file, &bmp).code, 0) << file;
        EXPECT_EQ(Pixel(bmp, 63, 32), 0xFFFFFFFFu) << file;
        EXPECT_EQ(Pixel(bmp, 0, 0), 0xFFFF0000u) << file; // pure red corner
    }
    // Narrow channels take only the evenly spread levels of their width.
    struct Widths {
        const char* file;
        int red, green, blue;
    };
    for (const Widths& w : {Widths{"q/rgb16-231.bmp", 2, 3, 1}, Widths{"q/rgb16-3103.bmp", 3, 8, 3},
                            Widths{"g/rgb16.bmp", 5, 5, 5}, Widths{"g/rgb16-565.bmp", 5, 6, 5}}) {
        CWinBmp bmp;
        ASSERT_EQ(Decode(w.file, &bmp).code, 0) << w.file;
        const std::set<int> red = Levels(w.red), green = Levels(w.green), blue = Levels(w.blue);
        std::set<int> seenRed;
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x) {
                const uint32_t p = Pixel(bmp, x, y);
                ASSERT_TRUE(red.count(int(p >> 16) & 0xFF)) << w.file << " " << x << ", " << y;
                ASSERT_TRUE(green.count(int(p >> 8) & 0xFF)) << w.file << " " << x << ", " << y;
                ASSERT_TRUE(blue.count(int(p) & 0xFF)) << w.file << " " << x << ", " << y;
                seenRed.insert(int(p >> 16) & 0xFF);
            }
        EXPECT_EQ(seenRed, red) << w.file; // the picture's ramps use every level
    }
}

TEST(BmpSuiteTest, IndicesBeyondTheColourTableShowBlack) {
    CWinBmp bad, good;
    ASSERT_EQ(Decode("b/pal8badindex.bmp", &bad).code, 0);
    ASSERT_EQ(Decode("g/pal8.bmp", &good).code, 0);
    int black = 0;
    for (int y = 0; y < good.GetHeight(); ++y)
        for (int x = 0; x < good.GetWidth(); ++x)
            if (Pixel(bad, x, y) != Pixel(good, x, y)) {
                EXPECT_EQ(Pixel(bad, x, y), 0xFF000000u) << x << ", " << y;
                ++black;
            }
    EXPECT_EQ(black, 4793);
}

TEST(BmpSuiteTest, ThirtyTwoBitPixelsKeepTheirFourthByteWithoutAlpha) {
    // Plain 32-bit rows are copied as stored: the unused byte stays, and
    // the bitmap says it is not alpha.
    CWinBmp plain, fake;
    ASSERT_EQ(Decode("g/rgb32.bmp", &plain).code, 0);
    ASSERT_EQ(Decode("q/rgb32fakealpha.bmp", &fake).code, 0);
    EXPECT_FALSE(plain.HasAlpha());
    EXPECT_FALSE(fake.HasAlpha());
    EXPECT_EQ(Pixel(plain, 63, 32), 0x00FFFFFFu);
    EXPECT_EQ(Pixel(fake, 63, 32), 0x7DFFFFFFu);
}
