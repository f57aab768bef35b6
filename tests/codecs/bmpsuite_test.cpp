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
#include <cstring>
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
    Decodes("g/pal8os2.bmp"),
    Decodes("g/pal8rle.bmp"),
    Decodes("g/pal8topdown.bmp"),
    Decodes("g/pal8v4.bmp"),
    Decodes("g/pal8v5.bmp"),
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
    // OS/2 Huffman coding.
    Refuses("q/pal1huffmsb.bmp", 2, "Decoder error: Decoding bmp: unsupported compression.\n"),
    // A one-colour palette: index 1 has no entry and shows black, like Qt.
    Decodes("q/pal1p1.bmp"),
    // Two bits per pixel is not a Windows depth.
    Refuses("q/pal2.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    Refuses("q/pal2color.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    // Pixels that run-length codes jump over or leave out are transparent.
    Decodes("q/pal4rlecut.bmp", "g/pal4.bmp"),
    Decodes("q/pal4rletrns.bmp", "g/pal4.bmp"),
    Decodes("q/pal8offs.bmp"),
    Decodes("q/pal8os2-hs.bmp"),
    Decodes("q/pal8os2-sz.bmp"),
    // A table of fewer than 256 colours, counted by the pixel offset.
    Decodes("q/pal8os2sp.bmp", "g/pal8.bmp"),
    // OS/2 2.x headers cut short: the fields left out read 0.
    Decodes("q/pal8os2v2-16.bmp", "g/pal8.bmp"),
    // A 40-byte header with a wrong file size field, which is not used.
    Decodes("q/pal8os2v2-40sz.bmp"),
    Decodes("q/pal8os2v2-sz.bmp", "g/pal8.bmp"),
    Decodes("q/pal8os2v2.bmp", "g/pal8.bmp"),
    // A colour table larger than 8 bits can index.
    Refuses("q/pal8oversizepal.bmp", 2,
            "Decoder error: Bitmap decoder: colour table has more than 256 entries.\n"),
    Decodes("q/pal8rlecut.bmp", "g/pal8.bmp"),
    Decodes("q/pal8rletrns.bmp", "g/pal8.bmp"),
    // Two, three and one bits (and three, ten, three): within one step of
    // the 24-bit picture; the levels themselves are checked below.
    Decodes("q/rgb16-231.bmp", "g/rgb24.bmp", 255),
    Decodes("q/rgb16-3103.bmp", "g/rgb24.bmp", 37),
    Decodes("q/rgb16faketrns.bmp", "g/rgb24.bmp", 4),
    // Embedded JPEG and PNG data (no depth of their own).
    Refuses("q/rgb24jpeg.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    // 24 bits with a 300-entry colour table, skipped by the pixel offset.
    Decodes("q/rgb24largepal.bmp"),
    // Colour profiles are not applied.
    Decodes("q/rgb24lprof.bmp"),
    Refuses("q/rgb24png.bmp", 2, "Decoder error: Decoding bmp: Illegal bpp value.\n"),
    Decodes("q/rgb24prof.bmp"),
    Decodes("q/rgb24prof2.bmp"),
    // OS/2 24-bit run-length coding.
    Refuses("q/rgb24rle24.bmp", 2, "Decoder error: Decoding bmp: unsupported compression.\n"),
    // Channels wider than 8 bits keep their top 8 bits.
    Decodes("q/rgb32-111110.bmp", "g/rgb24.bmp", 1),
    Decodes("q/rgb32-7187.bmp", "g/rgb24.bmp", 1),
    Decodes("q/rgb32-xbgr.bmp"),
    // The fourth byte is not alpha: the bitmap is flagged without alpha.
    Decodes("q/rgb32fakealpha.bmp"),
    Decodes("q/rgb32h52.bmp", "g/rgb24.bmp"),
    // Alpha masks: the pixels carry their own alpha (checked below).
    Decodes("q/rgba16-1924.bmp", "q/rgba32-1.bmp", 255),
    Decodes("q/rgba16-4444.bmp", "q/rgba32-1.bmp", 9),
    Decodes("q/rgba16-5551.bmp", "q/rgba32-1.bmp", 4),
    Decodes("q/rgba32-1.bmp"),
    Decodes("q/rgba32-1010102.bmp", "q/rgba32-1.bmp", 1),
    Decodes("q/rgba32-2.bmp"),
    Decodes("q/rgba32-61754.bmp", "q/rgba32-1.bmp", 8),
    Decodes("q/rgba32-81284.bmp", "q/rgba32-1.bmp", 1),
    // Four masks after a 40-byte header (compression 6).
    Decodes("q/rgba32abf.bmp", "q/rgba32-1.bmp"),
    Decodes("q/rgba32h56.bmp", "q/rgba32-1.bmp"),
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
    // Deltas that leave the picture.
    Refuses("b/badrle4bis.bmp", 7,
            "Decoder error: Decoding bmp: run-length delta leaves the picture.\n"),
    Refuses("b/badrle4ter.bmp", 7,
            "Decoder error: Decoding bmp: run-length delta leaves the picture.\n"),
    Refuses("b/badrlebis.bmp", 7,
            "Decoder error: Decoding bmp: run-length delta leaves the picture.\n"),
    Refuses("b/badrleter.bmp", 7,
            "Decoder error: Decoding bmp: run-length delta leaves the picture.\n"),
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

// The decoded picture with every pixel that is not fully opaque replaced by
// the reference's, so that only its opaque pixels are compared.
const CBmp& OpaquePixelsOver(const CBmp& bmp, const QImage& reference) {
    static CWinBmp copy;
    if (!bmp.HasAlpha() || reference.size() != QSize(bmp.GetWidth(), bmp.GetHeight()))
        return bmp;
    copy.Create(bmp.GetWidth(), bmp.GetHeight(), 32, true);
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x) {
            const uint32_t p =
                Pixel(bmp, x, y) >> 24 == 255 ? Pixel(bmp, x, y) : reference.pixel(x, y);
            std::memcpy(copy.Line(y) + x * 4, &p, 4);
        }
    return copy;
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
        // Pictures with alpha are compared as drawn, alpha included, with
        // Qt's reading of the file itself; with another picture, where they
        // are opaque (their narrower alpha is checked below).
        if (bmp.HasAlpha() && !c.reference)
            EXPECT_TRUE(SameDrawnPixels(bmp, expected, c.tolerance)) << c.file;
        else
            EXPECT_TRUE(SamePixels(OpaquePixelsOver(bmp, expected), expected, false, c.tolerance))
                << c.file;
        // Only files with an alpha mask or skipped run-length pixels have alpha.
        const std::string file = c.file;
        EXPECT_EQ(bmp.HasAlpha(), file.rfind("q/rgba", 0) == 0 ||
                                      file.find("rlecut") != file.npos ||
                                      file.find("rletrns") != file.npos)
            << c.file;
    }
}

TEST(BmpSuiteTest, GoodFilesDecodeAsPilReadsThem) {
    // PIL's readings (ImageMagick's for the two PIL gets wrong), made by
    // make_refs.py. PIL truncates 5- and 6-bit channels where the decoder
    // rounds: one level apart at most.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(SuitePath("g"))) {
        const std::string name = entry.path().filename().string();
        CWinBmp bmp;
        ASSERT_EQ(Decode("g/" + name, &bmp).code, 0) << name;
        const QImage reading(QString::fromStdString(Fixture("bmpsuite/" + name + ".png")));
        const int tolerance = name.rfind("rgb16", 0) == 0 ? 1 : 0;
        EXPECT_TRUE(SamePixels(bmp, reading, false, tolerance)) << name;
        ++files;
    }
    EXPECT_EQ(files, 27);
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

TEST(BmpSuiteTest, AlphaMasksGiveTheLevelsOfTheirWidth) {
    struct AlphaWidth {
        const char* file;
        int bits;
    };
    for (const AlphaWidth& w : {AlphaWidth{"q/rgba16-5551.bmp", 1},
                                {"q/rgba32-1010102.bmp", 2},
                                {"q/rgba16-4444.bmp", 4},
                                {"q/rgba16-1924.bmp", 4},
                                {"q/rgba32-61754.bmp", 4},
                                {"q/rgba32-81284.bmp", 4},
                                {"q/rgba32-1.bmp", 8}}) {
        CWinBmp bmp;
        ASSERT_EQ(Decode(w.file, &bmp).code, 0) << w.file;
        const std::set<int> levels = Levels(w.bits);
        std::set<int> seen;
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x)
                seen.insert(int(Pixel(bmp, x, y) >> 24));
        EXPECT_TRUE(std::includes(levels.begin(), levels.end(), seen.begin(), seen.end()))
            << w.file;
        EXPECT_TRUE(seen.count(0) && seen.count(255)) << w.file;
    }
}

TEST(BmpSuiteTest, PixelsRunLengthCodesSkipAreTransparentInColourZero) {
    // As many as ImageMagick shows in colour 0 of the table (which the
    // written pixels never use), each transparent in that colour.
    struct Skipped {
        const char* file;
        int count;
    };
    for (const Skipped& s : {Skipped{"q/pal8rletrns.bmp", 416},
                             {"q/pal4rletrns.bmp", 416},
                             {"q/pal8rlecut.bmp", 1745},
                             {"q/pal4rlecut.bmp", 1946}}) {
        CWinBmp bmp;
        ASSERT_EQ(Decode(s.file, &bmp).code, 0) << s.file;
        int transparent = 0;
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x) {
                const uint32_t p = Pixel(bmp, x, y);
                if (p >> 24 == 255)
                    continue;
                EXPECT_EQ(p, 0x008000FFu) << s.file << " " << x << ", " << y;
                ++transparent;
            }
        EXPECT_EQ(transparent, s.count) << s.file;
    }
}
