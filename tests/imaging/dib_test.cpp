#include "content/appsettings.h"
#include "imaging/dib.h"
#include "imagingtest.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <filesystem>

using namespace imagingtest;
namespace fs = std::filesystem;

TEST(DibTest, CreateLaysOutThePackedBlock) {
    CDIB dib;
    EXPECT_EQ(dib.GetWidth(), 0);
    EXPECT_EQ(dib.GetBits(), nullptr);
    EXPECT_FALSE(dib.Create(0, 5, 24, nullptr));
    ASSERT_TRUE(dib.Create(3, 2, 24, nullptr));
    EXPECT_EQ(dib.GetRowSize(), 12);
    EXPECT_EQ(dib.GetHeader()->biSizeImage, 24u);
    EXPECT_EQ(dib.GetHeader()->biHeight, 2);
    EXPECT_EQ(dib.GetBlockSize(), 40u + 24u);
    EXPECT_EQ(dib.GetColourCount(), 0);
    // Pixel access: (0, 0) is the first pixel of the last storage row.
    ASSERT_TRUE(dib.BeginPixelAccess());
    EXPECT_EQ(dib.PixelAddress(0, 0), dib.GetBits() + 12);
    EXPECT_EQ(dib.PixelAddress(2, 1), dib.GetBits() + 6);
    EXPECT_EQ(dib.PixelAddress(3, 0), nullptr);
    EXPECT_EQ(dib.PixelAddress(0, 2), nullptr);
    dib.EndPixelAccess();
    EXPECT_EQ(dib.PixelAddress(0, 0), nullptr);

    // An 8-bit image with a palette of 3 entries.
    CPalette palette({{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}});
    ASSERT_TRUE(dib.Create(5, 1, 8, &palette));
    EXPECT_EQ(dib.GetColourCount(), 3);
    EXPECT_EQ(dib.GetRowSize(), 8);
    BYTE r, g, b;
    EXPECT_TRUE(dib.GetColourEntry(1, &r, &g, &b));
    EXPECT_EQ(r, 40);
    EXPECT_EQ(b, 60);
    EXPECT_FALSE(dib.GetColourEntry(3, &r, &g, &b));
}

TEST(DibTest, ReleaseDeletesWhenTheLastReferenceGoes) {
    struct Counted : CDIB {
        explicit Counted(bool* deleted) : m_deleted(deleted) {}
        ~Counted() override { *m_deleted = true; }
        bool* m_deleted;
    };
    bool deleted = false;
    auto* dib = new Counted(&deleted);
    dib->AddRef();
    dib->AddRef();
    EXPECT_FALSE(dib->Release());
    EXPECT_EQ(dib->GetRefCount(), 1);
    EXPECT_FALSE(deleted);
    EXPECT_TRUE(dib->Release());
    EXPECT_TRUE(deleted);
}

TEST(DibTest, DerivedNamesOfTheClipArtTriple) {
    CDIB dib;
    dib.DeriveFileNames("C:\\clip\\iflower.jpg", 0);
    EXPECT_EQ(dib.GetImagePath(), "C:\\clip\\iflower.jpg");
    EXPECT_EQ(dib.GetAlphaPath(), "C:\\clip\\aflower.jpg");
    EXPECT_EQ(dib.GetThumbPath(), "C:\\clip\\tflower.jpg");
    EXPECT_EQ(dib.GetBaseName(), "C:\\clip\\flower");
    dib.DeriveFileNames("res/Data/i_-rose.bmp", 0);
    EXPECT_EQ(dib.GetBaseName(), "res/Data/rose");
    dib.DeriveFileNames("pics\\holiday.bmp", 1);
    EXPECT_EQ(dib.GetImagePath(), "pics\\iholiday.bmp");
    EXPECT_EQ(dib.GetAlphaPath(), "pics\\aholiday.bmp");
    EXPECT_EQ(dib.GetBaseName(), "pics\\oliday");
    dib.DeriveFileNames("Icat.bmp", 2);
    EXPECT_EQ(dib.GetImagePath(), "Icat.bmp");
    EXPECT_EQ(dib.GetThumbPath(), "tcat.bmp");
    dib.DeriveFileNames("cat.bmp", 2);
    EXPECT_EQ(dib.GetImagePath(), "icat.bmp");
    EXPECT_EQ(dib.GetAlphaPath(), "acat.bmp");
}

namespace {

// A folder with a clip-art triple and a plain picture.
class PictureFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.Path() / "clip");
        Write("clip/iflower.bmp", 4, 3, [](int x, int) { return x == 0 ? 0xFF0000u : 0x00FF00u; });
        Write("clip/aflower.bmp", 4, 3, [](int x, int) { return x < 2 ? 0u : 0xFFFFFFu; });
        Write("clip/tflower.bmp", 2, 2, [](int, int) { return 0x0000FFu; });
        Write("holiday.bmp", 5, 5, [](int, int) { return 0x123456u; });
        Write("iholiday2.bmp", 5, 5, [](int, int) { return 0x123456u; });
    }
    void Write(const std::string& name, int w, int h, std::function<uint32_t(int, int)> f) {
        ASSERT_TRUE(MakePicture(w, h, f)->Save((dir.Path() / name).string()));
    }
    std::string Path(const std::string& name) const { return (dir.Path() / name).string(); }
    testsupport::TempDir dir;
};

} // namespace

TEST_F(PictureFolder, LoadingAnImageByNameBringsItsCompanions) {
    CDIB dib;
    ASSERT_TRUE(dib.Load(Path("clip/iflower.bmp"), 0, 0));
    EXPECT_EQ(dib.GetLoadedParts(), CDIB::kImage);
    ASSERT_NE(dib.GetAlpha(), nullptr);
    ASSERT_NE(dib.GetThumbnail(), nullptr);
    EXPECT_EQ(dib.GetThumbnail()->GetWidth(), 2);
    EXPECT_EQ(PixelOf(dib, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelOf(*dib.GetAlpha(), 3, 2), 0xFFFFFFu);
    EXPECT_EQ(dib.GetBaseName(), (dir.Path() / "clip" / "flower").string());

    CDIB plain;
    ASSERT_TRUE(plain.Load(Path("holiday.bmp"), 0, 0));
    EXPECT_EQ(plain.GetAlpha(), nullptr);
    EXPECT_EQ(plain.GetThumbnail(), nullptr);
    // An "i" name without companions still loads.
    CDIB lone;
    EXPECT_TRUE(lone.Load(Path("iholiday2.bmp"), 0, 0));
    EXPECT_EQ(lone.GetAlpha(), nullptr);
}

TEST_F(PictureFolder, TriplePartsLoadOnRequest) {
    CDIB dib;
    EXPECT_TRUE(dib.Load(Path("clip/xflower.bmp"), CDIB::kThumbnail, 1));
    EXPECT_EQ(dib.GetWidth(), 0);
    ASSERT_NE(dib.GetThumbnail(), nullptr);
    EXPECT_TRUE(dib.EnsureParts(CDIB::kImage | CDIB::kAlpha));
    EXPECT_EQ(dib.GetWidth(), 4);
    EXPECT_NE(dib.GetAlpha(), nullptr);
    EXPECT_EQ(dib.GetLoadedParts(), CDIB::kImage | CDIB::kAlpha);
    // The alpha file itself as the picture.
    CDIB alpha;
    EXPECT_TRUE(alpha.Load(Path("clip/iflower.bmp"), 0, 2));
    EXPECT_EQ(PixelOf(alpha, 0, 0), 0u);
    EXPECT_EQ(alpha.GetAlphaPath(), "");
    // A missing file fails quietly.
    CDIB missing;
    EXPECT_FALSE(missing.Load(Path("clip/inothing.bmp"), 0, 0));
}

TEST_F(PictureFolder, RelativePathsAreFoundUnderTheProgramThenTheContentFolder) {
    CAppSettings saved = AppSettings();
    AppSettings().SetProgramFolder(dir.Str() + "/clip");
    AppSettings().SetContentFolder(dir.Str());
    CDIB fromProgram;
    EXPECT_TRUE(fromProgram.Load("tflower.bmp", 0, 0));
    EXPECT_EQ(fromProgram.GetWidth(), 2);
    CDIB fromContent;
    EXPECT_TRUE(fromContent.Load("holiday.bmp", 0, 0));
    EXPECT_EQ(fromContent.GetWidth(), 5);
    AppSettings() = saved;
}

TEST_F(PictureFolder, SaveWritesByExtensionAndRefusesOthers) {
    auto pic =
        MakePicture(7, 5, [](int x, int y) { return uint32_t(x * 30) << 16 | uint32_t(y * 50); });
    {
        platform::ScopedScriptedServices script;
        EXPECT_FALSE(pic->Save(Path("page.gif")));
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_EQ(script.messages[0].text, "Error: unknown file format");
        EXPECT_FALSE(fs::exists(Path("page.gif")));
    }
    for (const char* name : {"page.bmp", "page.JPG", "page.tif"}) {
        ASSERT_TRUE(pic->Save(Path(name))) << name;
        CDIB back;
        ASSERT_TRUE(back.Load(Path(name), 0, 0)) << name;
        ASSERT_EQ(back.GetWidth(), 7);
        ASSERT_EQ(back.GetHeight(), 5);
        const int tolerance = std::string(name) == "page.JPG" ? 40 : 0;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const uint32_t a = PixelOf(*pic, x, y), b = PixelOf(back, x, y);
                for (int shift = 0; shift < 24; shift += 8)
                    EXPECT_NEAR(int((a >> shift) & 0xFF), int((b >> shift) & 0xFF), tolerance)
                        << name << " at " << x << "," << y;
            }
    }
    // The JPEG is a JPEG whatever the case of its extension.
    EXPECT_EQ(testsupport::ReadFile(Path("page.JPG")).substr(0, 2), "\xFF\xD8");
    // A BMP file as written: header, 40-byte info, rows of 24 bytes.
    const std::string bmp = testsupport::ReadFile(Path("page.bmp"));
    EXPECT_EQ(bmp.size(), 14u + 40u + 24u * 5u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
}

TEST_F(PictureFolder, APngWithTransparencyLoadsOpaque) {
    QImage png(3, 1, QImage::Format_ARGB32);
    png.setPixel(0, 0, qRgba(255, 0, 0, 0));
    png.setPixel(1, 0, qRgba(0, 255, 0, 128));
    png.setPixel(2, 0, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(png.save(QString::fromStdString(Path("t.png"))));
    CDIB dib;
    ASSERT_TRUE(dib.Load(Path("t.png"), 0, 0));
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(PixelOf(dib, 2, 0), 0x0000FFu);
}

TEST_F(PictureFolder, ADecoderErrorIsShownOnceAndTheFileRefused) {
    platform::ScopedScriptedServices script;
    dir.Write("broken.png", "\x89PNG\r\n\x1a\nbroken");
    CDIB dib;
    EXPECT_FALSE(dib.Load(Path("broken.png"), 0, 0));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(
        script.messages[0].text.rfind("Error 11 decoding file <" + Path("broken.png") + ">: ", 0),
        0u);
}

TEST_F(PictureFolder, FailedWritesKeepThePreviousFile) {
    platform::ScopedScriptedServices script;
    const std::string target = dir.Write("keep.bmp", "previous");
    CDIB empty;
    EXPECT_FALSE(empty.Save(target)); // nothing to save: silent
    EXPECT_TRUE(script.messages.empty());
    auto pic = MakePicture(2, 2, [](int, int) { return 0u; });
    EXPECT_FALSE(pic->Save(dir.Str() + "/missing/x.bmp"));
    EXPECT_FALSE(pic->Save(dir.Str() + "/missing/x.jpg"));
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0].text,
              "Error: failed to open file <" + dir.Str() + "/missing/x.bmp> for writing");
    EXPECT_EQ(script.messages[1].text.rfind("Error -1 encoding file <", 0), 0u);
    EXPECT_EQ(testsupport::ReadFile(target), "previous");
}

namespace {
// A BMP with an information header of 100 bytes, a size no bitmap format
// has, which the decoders refuse and the plain bitmap reader takes as it
// stands: 2 x 2 pixels at 24 bits.
std::string OddHeaderBitmap(uint32_t fileSizeField, int32_t height, size_t rowsPresent) {
    std::string b = "BM";
    auto u32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&b](int v) {
        b.push_back(char(v & 0xFF));
        b.push_back(char((v >> 8) & 0xFF));
    };
    u32(fileSizeField);
    u32(0);
    u32(14 + 100);
    u32(100);
    u32(2);
    u32(uint32_t(height));
    u16(1);
    u16(24);
    u32(0);
    b.append(100 - 20, '\0');
    for (size_t r = 0; r < rowsPresent; ++r)
        b += std::string("\x01\x02\x03\x04\x05\x06\0\0", 8);
    return b;
}
} // namespace

TEST_F(PictureFolder, PlainBitmapFilesAreCheckedBeforeUse) {
    platform::ScopedScriptedServices script;
    dir.Write("odd.bmp", OddHeaderBitmap(14 + 100 + 16, 2, 2));
    CDIB ok;
    EXPECT_TRUE(ok.Load(Path("odd.bmp"), 0, 0)); // after the decoder's refusal
    EXPECT_EQ(ok.GetHeader()->biSize, 100u);
    EXPECT_EQ(PixelOf(ok, 1, 1), 0x060504u);
    // The size field claims more than the file holds.
    dir.Write("bigsize.bmp", OddHeaderBitmap(100000, 2, 2));
    CDIB a;
    EXPECT_FALSE(a.Load(Path("bigsize.bmp"), 0, 0));
    EXPECT_EQ(a.GetBits(), nullptr);
    // The rows reach past the block.
    dir.Write("tall.bmp", OddHeaderBitmap(14 + 100 + 16, 90, 2));
    CDIB b;
    EXPECT_FALSE(b.Load(Path("tall.bmp"), 0, 0));
    // A negative height is refused too.
    dir.Write("negative.bmp", OddHeaderBitmap(14 + 100 + 16, -2, 2));
    CDIB c;
    EXPECT_FALSE(c.Load(Path("negative.bmp"), 0, 0));
    // Each file got exactly one message: the decoder's.
    EXPECT_EQ(script.messages.size(), 4u);
}

TEST(DibTest, MirrorReversesRowsAndTheAlphaCompanion) {
    auto pic = MakePicture(3, 2, [](int x, int y) { return uint32_t(x + 10 * y); });
    ASSERT_TRUE(pic->Mirror(1)); // non-zero flag: nothing happens
    EXPECT_EQ(PixelOf(*pic, 0, 0), 0u);
    ASSERT_TRUE(pic->Mirror(0));
    EXPECT_EQ(PixelOf(*pic, 0, 0), 2u);
    EXPECT_EQ(PixelOf(*pic, 2, 0), 0u);
    EXPECT_EQ(PixelOf(*pic, 0, 1), 12u);
}

TEST(DibTest, CloneCopiesPixelsAndCompanionsDeeply) {
    auto pic = MakePicture(2, 2, [](int x, int) { return x ? 0xFFFFFFu : 0u; });
    std::unique_ptr<CDIB> copy(pic->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->GetBits(), pic->GetBits());
    EXPECT_EQ(PixelOf(*copy, 1, 1), 0xFFFFFFu);
    pic->Mirror(0);
    EXPECT_EQ(PixelOf(*copy, 1, 1), 0xFFFFFFu);
}

TEST(DibTest, DrawStretchesTheSourceCountedFromTheBottom) {
    // A 2 x 2 picture: top row red, green; bottom row blue, white.
    auto pic = MakePicture(2, 2, [](int x, int y) {
        static const uint32_t c[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
        return c[y][x];
    });
    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        CDC dc(&painter, &canvas);
        const CRect dest(0, 0, 4, 4);
        ASSERT_TRUE(pic->Draw(&dc, &dest, nullptr, nullptr, false));
    }
    EXPECT_EQ(canvas.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(canvas.pixel(3, 1) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(canvas.pixel(1, 3) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(canvas.pixel(3, 3) & 0xFFFFFF, 0xFFFFFFu);
    // Source (0, 0, 2, 1) is the bottom row.
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        CDC dc(&painter, &canvas);
        const CRect dest(0, 0, 4, 2), src(0, 0, 2, 1);
        ASSERT_TRUE(pic->Draw(&dc, &dest, &src, nullptr, false));
    }
    EXPECT_EQ(canvas.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(canvas.pixel(3, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(canvas.pixel(0, 2) & 0xFFFFFF, 0u);
}

TEST(DibTest, CaptureSamplesTheContext) {
    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
        canvas.setPixel(2, y, qRgb(10, 20, 30));
    QPainter painter(&canvas);
    CDC dc(&painter, &canvas);
    CDIB full;
    full.Create(10, 10, 24, nullptr);
    ASSERT_TRUE(full.CaptureFromDC(&dc, 10, 10, nullptr));
    EXPECT_EQ(PixelOf(full, 2, 5), 0x0A141Eu);
    EXPECT_EQ(PixelOf(full, 3, 5), 0xFFFFFFu);
    CDIB two;
    two.Create(5, 5, 24, nullptr);
    ASSERT_TRUE(two.CaptureTwoColour(&dc, 10, 10, RGB(200, 0, 0), RGB(255, 255, 255), nullptr));
    EXPECT_EQ(PixelOf(two, 1, 0), 0xC80000u); // samples column 2: not paper, so ink
    EXPECT_EQ(PixelOf(two, 0, 0), 0xFFFFFFu);
}

TEST(DibTest, CaptureReadsImageRowsAsThePixelQueryWouldAnswer) {
    // A 32-bit image is read from its rows; a 24-bit one through the pixel
    // query. Both give the same picture, also where the sampled columns and
    // rows run past the image (no colour there: ink, or white in full).
    QImage wide(13, 7, QImage::Format_RGB32);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            wide.setPixel(x, y, (x + y) % 3 ? qRgb(255, 255, 255) : qRgb(x * 19, y * 30, 7));
    QImage narrow = wide.convertToFormat(QImage::Format_RGB888);
    QPainter wp(&wide), np(&narrow);
    CDC direct(&wp, &wide), queried(&np, &narrow);
    for (int kind = 0; kind < 2; ++kind) {
        CDIB a, b;
        a.Create(11, 9, 24, nullptr);
        b.Create(11, 9, 24, nullptr);
        if (kind == 0) {
            ASSERT_TRUE(a.CaptureFromDC(&direct, 17, 9, nullptr));
            ASSERT_TRUE(b.CaptureFromDC(&queried, 17, 9, nullptr));
        } else {
            ASSERT_TRUE(
                a.CaptureTwoColour(&direct, 17, 9, RGB(1, 2, 3), RGB(255, 255, 255), nullptr));
            ASSERT_TRUE(
                b.CaptureTwoColour(&queried, 17, 9, RGB(1, 2, 3), RGB(255, 255, 255), nullptr));
        }
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(PixelOf(a, x, y), PixelOf(b, x, y)) << kind << ": " << x << "," << y;
        // Column 10 samples column 15, beyond the image.
        EXPECT_EQ(PixelOf(a, 10, 0), kind == 0 ? 0xFFFFFFu : 0x010203u);
    }
}

TEST(DibTest, PaletteConversions) {
    CPalette palette({{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}});
    auto pic = MakePicture(3, 1, [](int x, int) {
        return x == 0 ? 0xF01010u : x == 1 ? 0x0000E0u : 0x101010u;
    });
    ASSERT_TRUE(pic->MapToPalette(&palette));
    EXPECT_EQ(pic->GetBitCount(), 8);
    pic->BeginPixelAccess();
    EXPECT_EQ(*pic->PixelAddress(0, 0), 1);
    EXPECT_EQ(*pic->PixelAddress(1, 0), 2);
    EXPECT_EQ(*pic->PixelAddress(2, 0), 0);
    pic->EndPixelAccess();
    CPalette back;
    ASSERT_TRUE(pic->CreatePalette(&back));
    EXPECT_EQ(back.GetEntryCount(), 256);
    EXPECT_EQ(back.GetEntries()[1].peRed, 255);
    EXPECT_FALSE(pic->ConvertTo8Bit(&palette)); // already has a table
}
