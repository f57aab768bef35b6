#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/progress.h"
#include "imagingtest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

using namespace imagingtest;

namespace {

const BYTE* Table() {
    static BYTE table[65536];
    static const bool filled = (FillProductTable(table), true);
    (void)filled;
    return table;
}

const int kOwner = 1; // composition only tests the owner for null

std::unique_ptr<CComposeLayer> LayerOf(CDIB* picture, double x, double y, double w, double h,
                                       int opacity = 255) {
    auto layer = std::make_unique<CComposeLayer>();
    EXPECT_TRUE(layer->m_stream.Build(picture, 0));
    layer->m_dX = x;
    layer->m_dY = y;
    layer->m_dWidth = w;
    layer->m_dHeight = h;
    layer->m_nOpacity = opacity;
    return layer;
}

bool Compose(CDIB& page, const std::vector<CComposeLayer*>& layers, COLORREF c0 = 0xFFFFFF,
             COLORREF c1 = 0xFFFFFF, COLORREF c2 = 0xFFFFFF, COLORREF c3 = 0xFFFFFF,
             const RECT* clip = nullptr, CProgressReceiver* progress = nullptr) {
    return page.Compose(layers, &kOwner, Table(), c0, c1, c2, c3, clip, progress);
}

// A layer showing one opaque colour. Its picture's top row holds one
// off-colour pixel so that the top corners differ and nothing is keyed; the
// layer is flipped so that boxes up to 32 rows tall never show that row.
struct Solid {
    Solid(uint32_t colour, double x, double y, double w, double h, int opacity = 255)
        : picture(MakePicture(2, 64,
                              [colour](int px, int py) {
                                  return (px == 1 && py == 0) ? colour ^ 0x010101u : colour;
                              })),
          layer(LayerOf(picture.get(), x, y, w, h, opacity)) {
        layer->m_nFlipped = 1;
    }
    std::unique_ptr<CDIB> picture;
    std::unique_ptr<CComposeLayer> layer;
};

// Columns of a 100-pixel-wide test stream are told apart by their blue byte;
// the corners differ so that nothing is keyed.
std::unique_ptr<CDIB> ColumnPicture(int w, int h) {
    return MakePicture(w, h,
                       [](int x, int y) { return 0x800000u | uint32_t(y) << 8 | uint32_t(x); });
}

} // namespace

TEST(ComposeTest, GradientThroughTheProductTable) {
    CDIB page;
    page.Create(256, 256, 24, nullptr);
    ASSERT_TRUE(Compose(page, {}, RGB(255, 0, 0), 0, 0, 0));
    EXPECT_EQ(PixelOf(page, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelOf(page, 128, 0), 0x7F0000u);
    EXPECT_EQ(PixelOf(page, 255, 0), 0u);
    EXPECT_EQ(PixelOf(page, 0, 255), 0u);
    // Without an owner or a table nothing happens.
    EXPECT_FALSE(page.Compose({}, nullptr, Table(), 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_FALSE(page.Compose({}, &kOwner, nullptr, 0, 0, 0, 0, nullptr, nullptr));
}

TEST(ComposeTest, ANewGradientOrSizeIsNeverTakenFromThePreviousComposition) {
    // The page keeps its gradient between compositions: other colours or a
    // new size must still give exactly what a fresh page gives.
    CDIB page, fresh;
    page.Create(64, 32, 24, nullptr);
    ASSERT_TRUE(Compose(page, {}, RGB(255, 0, 0), 0, 0, 0));
    ASSERT_TRUE(Compose(page, {}, 0, RGB(0, 0, 255), 0, RGB(0, 255, 0)));
    fresh.Create(64, 32, 24, nullptr);
    ASSERT_TRUE(Compose(fresh, {}, 0, RGB(0, 0, 255), 0, RGB(0, 255, 0)));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(PixelOf(page, x, y), PixelOf(fresh, x, y)) << x << "," << y;
    page.Create(100, 10, 24, nullptr);
    fresh.Create(100, 10, 24, nullptr);
    ASSERT_TRUE(Compose(page, {}, 0, RGB(0, 0, 255), 0, RGB(0, 255, 0)));
    ASSERT_TRUE(Compose(fresh, {}, 0, RGB(0, 0, 255), 0, RGB(0, 255, 0)));
    EXPECT_EQ(PixelOf(page, 99, 9), PixelOf(fresh, 99, 9));
    EXPECT_EQ(PixelOf(page, 50, 0), PixelOf(fresh, 50, 0));
}

TEST(ComposeTest, OpacityAlphaAndVisibility) {
    CDIB page;
    page.Create(4, 1, 24, nullptr);
    // Black with alpha 128 over white gives 127 in every channel.
    Solid black(0x000000, 0, 0, 4, 1);
    CComposeLayer* layer = black.layer.get();
    // Opacity 128 over an opaque pixel gives the effective alpha
    // (255 * (128 + 1)) >> 8 = 128.
    layer->m_nOpacity = 128;
    ASSERT_TRUE(Compose(page, {layer}));
    EXPECT_EQ(PixelOf(page, 0, 0), 0x7F7F7Fu);
    layer->m_nOpacity = 255;
    ASSERT_TRUE(Compose(page, {layer}));
    EXPECT_EQ(PixelOf(page, 3, 0), 0u);
    layer->m_nOpacity = 0x100; // low byte 0 hides
    ASSERT_TRUE(Compose(page, {layer}));
    EXPECT_EQ(PixelOf(page, 0, 0), 0xFFFFFFu);
    layer->m_nOpacity = 255;
    layer->m_nVisible = 0;
    ASSERT_TRUE(Compose(page, {layer}));
    EXPECT_EQ(PixelOf(page, 0, 0), 0xFFFFFFu);
}

TEST(ComposeTest, FrontLayerHidesTheOnesBehind) {
    CDIB page;
    page.Create(10, 1, 24, nullptr);
    Solid red(0xFF0000, 0, 0, 5, 1);
    Solid blue(0x0000FF, 3, 0, 5, 1);
    CComposeLayer* front = red.layer.get();
    CComposeLayer* back = blue.layer.get();
    ASSERT_TRUE(Compose(page, {front, back, nullptr}));
    EXPECT_EQ(PixelOf(page, 4, 0), 0xFF0000u);
    EXPECT_EQ(PixelOf(page, 5, 0), 0x0000FFu);
    EXPECT_EQ(PixelOf(page, 8, 0), 0xFFFFFFu);
    // Reversed order: blue is in front.
    ASSERT_TRUE(Compose(page, {back, front}));
    EXPECT_EQ(PixelOf(page, 4, 0), 0x0000FFu);
}

TEST(ComposeTest, NearestSamplingAcrossScales) {
    auto pic = ColumnPicture(100, 1);
    CDIB page;
    page.Create(200, 1, 24, nullptr);
    auto narrow = LayerOf(pic.get(), 0, 0, 50, 1);
    ASSERT_TRUE(Compose(page, {narrow.get()}));
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(PixelOf(page, x, 0) & 0xFF, uint32_t(2 * x)) << x;
    EXPECT_EQ(PixelOf(page, 50, 0), 0xFFFFFFu);
    auto wide = LayerOf(pic.get(), 0, 0, 200, 1);
    ASSERT_TRUE(Compose(page, {wide.get()}));
    for (int x = 0; x < 200; ++x)
        EXPECT_EQ(PixelOf(page, x, 0) & 0xFF, uint32_t(x / 2)) << x;
}

TEST(ComposeTest, MirroredFlippedAndNegativeBoxes) {
    auto pic = ColumnPicture(4, 2);
    CDIB page;
    page.Create(4, 2, 24, nullptr);
    auto layer = LayerOf(pic.get(), 0, 0, 4, 2);
    layer->m_nMirrored = 1;
    ASSERT_TRUE(Compose(page, {layer.get()}));
    EXPECT_EQ(PixelOf(page, 0, 0), 0x800003u);
    EXPECT_EQ(PixelOf(page, 3, 1), 0x800100u);
    layer->m_nMirrored = 0;
    layer->m_nFlipped = 1;
    ASSERT_TRUE(Compose(page, {layer.get()}));
    EXPECT_EQ(PixelOf(page, 0, 0), 0x800100u);
    layer->m_nFlipped = 0;
    layer->m_dWidth = -4;
    layer->m_dHeight = -2;
    ASSERT_TRUE(Compose(page, {layer.get()}));
    EXPECT_EQ(PixelOf(page, 3, 1), 0x800103u);
}

TEST(ComposeTest, ClipLimitsTheChangedPixels) {
    CDIB page;
    page.Create(30, 30, 24, nullptr);
    ASSERT_TRUE(Compose(page, {}, 0x000000, 0x000000, 0x000000, 0x000000));
    Solid red(0xFF0000, 0, 0, 30, 30);
    const CRect clip(10, 10, 20, 20);
    ASSERT_TRUE(Compose(page, {red.layer.get()}, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, &clip));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(PixelOf(page, x, y), inside ? 0xFF0000u : 0u) << x << "," << y;
        }
}

TEST(ComposeTest, ProgressCoversEveryRowEvenOutsideTheClip) {
    struct Recorder : CProgressReceiver {
        void SetRange(int lo, int hi) override { calls.push_back(-1000 - lo - hi); }
        void SetPos(int p) override { calls.push_back(p); }
        std::vector<int> calls;
    } recorder;
    CDIB page;
    page.Create(5, 4, 24, nullptr);
    const CRect clip(0, 1, 5, 2);
    ASSERT_TRUE(Compose(page, {}, 0, 0, 0, 0, &clip, &recorder));
    EXPECT_EQ(recorder.calls, (std::vector<int>{-1003, 0, 1, 2, 3}));
}

// A straightforward per-pixel reading of the composition rules, written
// independently of the production loop, for comparing whole scenes.
namespace {

struct RefLayer {
    std::vector<DWORD> words; // row-major source words
    int sw, sh;
    double x, y, w, h;
    int opacity;
    bool mirrored, flipped;
};

int S(int d, int i) {
    const int m = (std::abs(d) * (i + 1)) >> 8;
    return d >= 0 ? m : -m;
}

uint32_t Reference(const std::vector<RefLayer>& layers, int W, int H, int px, int py,
                   const COLORREF c[4]) {
    int rgb[3];
    for (int ch = 0; ch < 3; ++ch) {
        auto v = [&](int k) { return int((c[k] >> (8 * ch)) & 0xFF); };
        const int iy = py * 256 / H, ix = px * 256 / W;
        const int l = v(0) + S(v(2) - v(0), iy), r = v(1) + S(v(3) - v(1), iy);
        rgb[ch] = l + S(r - l, ix);
    }
    for (size_t i = layers.size(); i-- > 0;) {
        const RefLayer& L = layers[i];
        const int left = int(std::trunc(L.x)), top = int(std::trunc(L.y));
        const int bw = std::abs(int(std::trunc(L.w))), bh = std::abs(int(std::trunc(L.h)));
        if (px < left || px >= left + bw || py < top || py >= top + bh)
            continue;
        int sr = int(std::trunc(double(py - top) * L.sh / bh));
        if (L.flipped)
            sr = L.sh - 1 - sr;
        int sc = int(std::trunc(double(px - left) * L.sw / bw));
        if (L.mirrored)
            sc = L.sw - 1 - sc;
        const DWORD p = L.words[size_t(sr) * L.sw + sc];
        const int a = ((p & 0xFF) * ((L.opacity & 0xFF) + 1)) >> 8;
        if (!a)
            continue;
        const int src[3] = {int(p >> 24), int((p >> 16) & 0xFF), int((p >> 8) & 0xFF)};
        for (int ch = 0; ch < 3; ++ch)
            rgb[ch] =
                a == 255 ? src[ch] : ((src[ch] * (a + 1)) >> 8) + ((rgb[ch] * (256 - a)) >> 8);
    }
    return uint32_t(rgb[0]) | uint32_t(rgb[1]) << 8 | uint32_t(rgb[2]) << 16; // COLORREF order
}

} // namespace

TEST(ComposeTest, SceneMatchesAnIndependentReading) {
    std::mt19937 rng(7);
    const int W = 120, H = 90;
    std::vector<std::unique_ptr<CDIB>> pictures;
    std::vector<std::unique_ptr<CComposeLayer>> layers;
    std::vector<RefLayer> reference;
    for (int i = 0; i < 6; ++i) {
        const int sw = 5 + int(rng() % 40), sh = 5 + int(rng() % 30);
        // White top corners key white as transparent in half the pictures.
        const bool keyed = i % 2 == 0;
        pictures.push_back(MakePicture(sw, sh, [&](int x, int y) -> uint32_t {
            if (keyed && ((x + y) % 3 == 0 || (y == 0 && (x == 0 || x == sw - 1))))
                return 0xFFFFFF;
            return (uint32_t(x * 37 + i * 50) & 0xFF) << 16 | (uint32_t(y * 11) & 0xFF) << 8 |
                   uint32_t(i * 40);
        }));
        if (!keyed) { // make sure the corners differ
            CDIB& p = *pictures.back();
            p.BeginPixelAccess();
            p.PixelAddress(unsigned(sw - 1), 0)[0] ^= 0x55;
            p.EndPixelAccess();
        }
        const double x = double(int(rng() % 100)) - 20.5, y = double(int(rng() % 70)) - 10.25;
        double w = 10 + double(rng() % 120), h = 10 + double(rng() % 80);
        if (i == 3)
            w = -w;
        auto layer = LayerOf(pictures.back().get(), x, y, w, h, i == 4 ? 140 : 255);
        layer->m_nMirrored = i == 1 || i == 5;
        layer->m_nFlipped = i == 2 || i == 5;
        RefLayer r{{},
                   sw,
                   sh,
                   x,
                   y,
                   w,
                   h,
                   layer->m_nOpacity,
                   bool(layer->m_nMirrored),
                   bool(layer->m_nFlipped)};
        CRLEStream& s = layer->m_stream;
        for (int row = 0; row < sh; ++row) {
            s.SeekRow(row, false);
            for (int col = 0; col < sw; ++col) {
                DWORD wd = 0;
                ASSERT_TRUE(s.ReadPixel(col, &wd));
                r.words.push_back(wd);
            }
        }
        reference.push_back(r);
        layers.push_back(std::move(layer));
    }
    std::vector<CComposeLayer*> raw;
    for (auto& l : layers)
        raw.push_back(l.get());
    const COLORREF corners[4] = {RGB(200, 30, 60), RGB(10, 250, 90), RGB(0, 0, 0),
                                 RGB(255, 255, 255)};
    CDIB page;
    page.Create(W, H, 24, nullptr);
    ASSERT_TRUE(Compose(page, raw, corners[0], corners[1], corners[2], corners[3]));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint32_t want = Reference(reference, W, H, x, y, corners);
            const uint32_t got = PixelOf(page, x, y); // 0xRRGGBB
            const uint32_t gotRef = (got >> 16) | (got & 0xFF00) | ((got & 0xFF) << 16);
            ASSERT_EQ(gotRef, want) << "pixel " << x << "," << y;
        }
}
