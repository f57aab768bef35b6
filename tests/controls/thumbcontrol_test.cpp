// The thumb itself: loading only the thumbnail part through the cache, the
// picture field, edges and frame as drawn on the window, and moving,
// copying and swapping pictures between thumbs.

#include "buttontestsupport.h"
#include "controls/thumbcontrol.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

using namespace buttontest;

namespace {

constexpr COLORREF kGreen = RGB(20, 200, 40);
constexpr COLORREF kBlue = RGB(30, 60, 220);
constexpr COLORREF kFrame = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Writes a one-colour picture as a .bmp file.
void WritePicture(const std::string& path, int width, int height, COLORREF colour) {
    std::unique_ptr<CDIB> picture(
        MakePicture(width, height, [colour](int, int) { return colour; }));
    ASSERT_TRUE(picture->Save(path)) << path;
}

// A folder with two clip-art pictures: "cat" with a green 40 x 20
// thumbnail and a large image, "dog" with a blue 30 x 30 thumbnail only.
struct Pictures {
    testsupport::TempDir dir;
    std::string catThumb, catImage, dogThumb;
    Pictures() {
        catThumb = (dir.Path() / "tcat.bmp").string();
        catImage = (dir.Path() / "icat.bmp").string();
        dogThumb = (dir.Path() / "tdog.bmp").string();
        WritePicture(catThumb, 40, 20, kGreen);
        WritePicture(catImage, 200, 100, RGB(250, 250, 0));
        WritePicture(dogThumb, 30, 30, kBlue);
    }
};

CThumbControl* AddThumb(LoggingHost& host, int id, CRect rect = CRect(0, 0, 60, 33)) {
    auto* thumb =
        new CThumbControl(&host, host.Widget(), id, &rect, "", BTN_KEEP_ASPECT, 0, 2, 2, kFrame);
    EXPECT_TRUE(host.AddControl(thumb));
    return thumb;
}

// What the pixel (x, y) of an 80 x 50 thumb shows when its picture covers
// the rectangle pic and the field around it is black: the edge on the
// outermost ring (tl on the top and left, br on the bottom and right,
// corners left out), the frame on the next two rings.
struct Expected {
    CRect pic;
    COLORREF picture;
    COLORREF tl, br;
};

void ExpectThumbPixels(const QImage& image, const Expected& e, const char* what) {
    ASSERT_EQ(image.width(), 80) << what;
    ASSERT_EQ(image.height(), 50) << what;
    int failures = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 80; ++x) {
            const int ring = std::min(std::min(x, y), std::min(79 - x, 49 - y));
            const bool corner = (x == 0 || x == 79) && (y == 0 || y == 49);
            COLORREF expected;
            if (ring == 0) {
                if (corner)
                    continue;
                expected = (x == 0 || y == 0) ? e.tl : e.br;
            } else if (ring <= 2) {
                expected = kFrame;
            } else {
                expected = e.pic.PtInRect(POINT{x, y}) ? e.picture : kBlack;
            }
            const COLORREF actual = PixelAt(image, x, y);
            if (actual != expected && failures++ < 5)
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") expected 0x"
                              << std::hex << expected << " got 0x" << actual;
        }
}

} // namespace

TEST(ThumbLoading, FileLoadsOnlyTheThumbnailPartThroughTheCache) {
    Pictures pictures;
    LoggingHost host;
    CThumbControl* thumb = AddThumb(host, 7);
    EXPECT_FALSE(thumb->SetBitmapFile(nullptr));
    EXPECT_FALSE(thumb->SetBitmapFile(""));
    EXPECT_EQ(thumb->GetFlags() & THUMB_IMAGE, 0u);

    ASSERT_TRUE(thumb->SetBitmapFile(pictures.catThumb.c_str()));
    CDIB* image = thumb->GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(thumb->GetFlags() & THUMB_IMAGE, THUMB_IMAGE);
    // The picture itself is never read: only the thumbnail part is there.
    EXPECT_EQ(image->GetWidth(), 0);
    EXPECT_EQ(image->GetLoadedParts(), CDIB::kThumbnail);
    EXPECT_EQ(image->GetThumbPath(), pictures.catThumb);
    EXPECT_EQ(image->GetImagePath(), pictures.catImage);
    ASSERT_EQ(thumb->GetThumbnail(), image->GetThumbnail());
    EXPECT_EQ(thumb->GetThumbnail()->GetWidth(), 40);
    EXPECT_EQ(thumb->GetThumbnail()->GetHeight(), 20);
    EXPECT_EQ(host.Images().GetCount(), 1);
    EXPECT_EQ(image->GetRefCount(), 1);

    // A file that does not load leaves the shown picture.
    EXPECT_FALSE(thumb->SetBitmapFile((pictures.dir.Path() / "tnone.bmp").string().c_str()));
    EXPECT_EQ(thumb->GetImage(), image);

    // The cache finds the triple again by its image name: the same object
    // and, as it is shown already, no extra reference kept.
    EXPECT_TRUE(thumb->SetBitmapFile(pictures.catImage.c_str()));
    EXPECT_EQ(thumb->GetImage(), image);
    EXPECT_EQ(image->GetRefCount(), 1);

    // Another picture replaces it; the first goes back to the cache.
    ASSERT_TRUE(thumb->SetBitmapFile(pictures.dogThumb.c_str()));
    EXPECT_EQ(thumb->GetThumbnail()->GetWidth(), 30);
    EXPECT_EQ(host.Images().GetCount(), 1);

    thumb->ClearImage();
    EXPECT_EQ(thumb->GetImage(), nullptr);
    EXPECT_EQ(thumb->GetThumbnail(), nullptr);
    EXPECT_EQ(host.Images().GetCount(), 0);
}

TEST(ThumbLoading, WithoutAManagerOrAThumbnailNothingIsShown) {
    Pictures pictures;
    const CRect rect(0, 0, 60, 33);
    CThumbControl alone(nullptr, nullptr, 1, &rect, "", 0, 0, 2, 2, kFrame);
    EXPECT_FALSE(alone.SetBitmapFile(pictures.catThumb.c_str()));
    EXPECT_EQ(alone.GetImage(), nullptr);

    // An image in memory has no thumbnail file to bring: it is kept, but
    // the placeholder look stays and the call answers FALSE.
    LoggingHost host;
    CThumbControl* thumb = AddThumb(host, 7);
    thumb->m_dwFlags |= THUMB_PLACEHOLDER;
    CDIB* picture = MakePicture(10, 10, [](int, int) { return kBlue; });
    EXPECT_FALSE(thumb->SetBitmap(picture));
    EXPECT_EQ(thumb->GetImage(), picture);
    EXPECT_EQ(thumb->GetThumbnail(), nullptr);
    EXPECT_EQ(thumb->GetFlags() & (THUMB_IMAGE | THUMB_PLACEHOLDER),
              THUMB_IMAGE | THUMB_PLACEHOLDER);
    EXPECT_EQ(host.Images().GetCount(), 1);
}

TEST(ThumbPaint, FieldEdgeAndFrameFillTheWindowAtItsCurrentSize) {
    Pictures pictures;
    LoggingHost host;
    CThumbControl* thumb = AddThumb(host, 7);
    // A strip moves the window without changing m_rcWindow.
    thumb->MoveWindowTo(10, 10, 80, 50);
    ASSERT_EQ(thumb->m_rcWindow, CRect(0, 0, 60, 33));
    ASSERT_TRUE(thumb->SetBitmapFile(pictures.catThumb.c_str()));

    // Enabled: the etched edge; the 2:1 picture fills the 76 x 46 field's
    // width, centred with black above and below it.
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW), highlight = GetSysColor(COLOR_3DHIGHLIGHT);
    ExpectThumbPixels(Grab(thumb), {CRect(2, 6, 78, 44), kGreen, shadow, highlight}, "enabled");

    // Hover (the mouse made it the active control): the raised edge.
    const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
    Move(thumb, 40, 25);
    ASSERT_EQ(host.GetActiveControl(), thumb);
    ExpectThumbPixels(Grab(thumb), {CRect(2, 6, 78, 44), kGreen, light, dark}, "hover");

    // Pressed, also while hovered: raised outside, and the picture moves one
    // pixel right and down.
    Press(thumb, 40, 25);
    ExpectThumbPixels(Grab(thumb), {CRect(3, 7, 79, 45), kGreen, light, dark}, "pressed");
    Release(thumb, 40, 25);

    // The placeholder look keeps the field black.
    thumb->m_dwFlags |= THUMB_PLACEHOLDER;
    ExpectThumbPixels(Grab(thumb), {CRect(), kGreen, light, dark}, "placeholder");

    // Without keeping proportions the picture fills the whole field.
    thumb->m_dwFlags &= ~(THUMB_PLACEHOLDER | BTN_KEEP_ASPECT);
    ExpectThumbPixels(Grab(thumb), {CRect(2, 2, 78, 48), kGreen, light, dark}, "stretched");

    // No picture at all: the black field inside edge and frame.
    host.SetActiveControl(nullptr);
    thumb->ClearImage();
    ExpectThumbPixels(Grab(thumb), {CRect(), kGreen, shadow, highlight}, "empty");
}

TEST(ThumbPaint, FrameColourIsRepaintedWhenItChanges) {
    Pictures pictures;
    LoggingHost host;
    CThumbControl* thumb = AddThumb(host, 7);
    thumb->MoveWindowTo(0, 0, 80, 50);
    thumb->SetFrameColor(RGB(32, 223, 0));
    const QImage image = Grab(thumb);
    for (const POINT p : {POINT{1, 25}, POINT{2, 25}, POINT{77, 25}, POINT{78, 25}, POINT{40, 1},
                          POINT{40, 2}, POINT{40, 47}, POINT{40, 48}})
        EXPECT_EQ(PixelAt(image, p.x, p.y), RGB(32, 223, 0)) << p;
    EXPECT_EQ(PixelAt(image, 3, 25), kBlack);
}

TEST(ThumbImages, TakeMovesThePictureAndItsLook) {
    Pictures pictures;
    LoggingHost host;
    CThumbControl* a = AddThumb(host, 1);
    CThumbControl* b = AddThumb(host, 2);
    a->MoveWindowTo(0, 0, 80, 50);
    b->MoveWindowTo(100, 0, 80, 50);
    ASSERT_TRUE(a->SetBitmapFile(pictures.catThumb.c_str()));
    ASSERT_TRUE(b->SetBitmapFile(pictures.dogThumb.c_str()));
    CDIB* cat = a->GetImage();
    CDIB* catThumbnail = a->GetThumbnail();

    EXPECT_FALSE(b->TakeImageFrom(nullptr));
    ASSERT_TRUE(b->TakeImageFrom(a));
    EXPECT_EQ(b->GetImage(), cat);
    EXPECT_EQ(b->GetThumbnail(), catThumbnail);
    EXPECT_EQ(a->GetImage(), nullptr);
    EXPECT_EQ(a->GetThumbnail(), nullptr);
    // The dog went back to the cache; the cat moved without a new reference.
    EXPECT_EQ(host.Images().GetCount(), 1);
    EXPECT_EQ(cat->GetRefCount(), 1);
    EXPECT_EQ(PixelAt(Grab(b), 40, 25), kGreen);
    EXPECT_EQ(PixelAt(Grab(a), 40, 25), kBlack);

    // A picture still being replaced keeps its black field where it goes.
    b->m_dwFlags |= THUMB_PLACEHOLDER;
    ASSERT_TRUE(a->TakeImageFrom(b));
    EXPECT_TRUE(a->GetFlags() & THUMB_PLACEHOLDER);
    EXPECT_EQ(PixelAt(Grab(a), 40, 25), kBlack);
    a->m_dwFlags &= ~THUMB_PLACEHOLDER;
    ASSERT_TRUE(b->TakeImageFrom(a));
    EXPECT_FALSE(b->GetFlags() & THUMB_PLACEHOLDER);
    EXPECT_EQ(PixelAt(Grab(b), 40, 25), kGreen);
}

TEST(ThumbImages, CopySharesTheImageAndCopiesTheThumbnail) {
    Pictures pictures;
    LoggingHost host;
    CThumbControl* a = AddThumb(host, 1);
    CThumbControl* b = AddThumb(host, 2);
    b->MoveWindowTo(100, 0, 80, 50);
    EXPECT_FALSE(b->CopyImageFrom(nullptr));
    EXPECT_FALSE(b->CopyImageFrom(a)); // a has no image
    ASSERT_TRUE(a->SetBitmapFile(pictures.catThumb.c_str()));
    CDIB* cat = a->GetImage();

    ASSERT_TRUE(b->CopyImageFrom(a));
    EXPECT_EQ(b->GetImage(), cat);
    EXPECT_EQ(cat->GetRefCount(), 2);
    EXPECT_EQ(host.Images().GetCount(), 1);
    ASSERT_NE(b->GetThumbnail(), nullptr);
    EXPECT_NE(b->GetThumbnail(), a->GetThumbnail());
    ASSERT_EQ(b->GetThumbnail()->GetBlockSize(), a->GetThumbnail()->GetBlockSize());
    EXPECT_TRUE(std::equal(a->GetThumbnail()->GetBlock(),
                           a->GetThumbnail()->GetBlock() + a->GetThumbnail()->GetBlockSize(),
                           b->GetThumbnail()->GetBlock()));
    EXPECT_EQ(b->GetFlags() & THUMB_IMAGE, THUMB_IMAGE);

    // The copy outlives the original's thumb.
    a->ClearImage();
    EXPECT_EQ(cat->GetRefCount(), 1);
    EXPECT_EQ(PixelAt(Grab(b), 40, 25), kGreen);
    b->ClearImage();
    EXPECT_EQ(host.Images().GetCount(), 0);
}

TEST(ThumbImages, SwapExchangesPicturesAndTheWholeStateWord) {
    Pictures pictures;
    LoggingHost host;
    CThumbControl* a = AddThumb(host, 1);
    CThumbControl* b = AddThumb(host, 2);
    a->MoveWindowTo(0, 0, 80, 50);
    b->MoveWindowTo(100, 0, 80, 50);
    ASSERT_TRUE(a->SetBitmapFile(pictures.catThumb.c_str()));
    ASSERT_TRUE(b->SetBitmapFile(pictures.dogThumb.c_str()));
    a->m_dwFlags |= 0x8000000;
    const DWORD flagsA = a->m_dwFlags, flagsB = b->m_dwFlags;
    CDIB* cat = a->GetImage();
    CDIB* dog = b->GetImage();

    EXPECT_FALSE(a->SwapImagesWith(nullptr));
    ASSERT_TRUE(a->SwapImagesWith(b));
    EXPECT_EQ(a->GetImage(), dog);
    EXPECT_EQ(b->GetImage(), cat);
    EXPECT_EQ(a->GetThumbnail(), dog->GetThumbnail());
    EXPECT_EQ(a->m_dwFlags, flagsB);
    EXPECT_EQ(b->m_dwFlags, flagsA);
    EXPECT_EQ(PixelAt(Grab(a), 40, 25), kBlue);
    EXPECT_EQ(PixelAt(Grab(b), 40, 25), kGreen);
}
