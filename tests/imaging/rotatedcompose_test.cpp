// Turned layers in the one composition routine, against an independent
// inverse mapping of every page pixel: the pixel's centre turned back into
// the layer's box, sampled nearest from the layer's decoded rows, mirrored
// or flipped, and blended over a flat page through the product formula.

#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/rotatedbox.h"
#include "imagingtest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using namespace imagingtest;

namespace {

const BYTE* Table() {
    static BYTE table[65536];
    static const bool filled = (FillProductTable(table), true);
    (void)filled;
    return table;
}

const int kOwner = 1;
constexpr uint32_t kPage = 0x3060A0;                    // the flat page under the layer
constexpr COLORREF kPageColour = RGB(0x30, 0x60, 0xA0); // the same as the page's corners

// The page pixel as the mapping of the layer defines it.
uint32_t Expected(const CComposeLayer& l, const std::vector<std::vector<DWORD>>& rows, int x,
                  int y) {
    const int left = int(std::trunc(l.m_dX)), top = int(std::trunc(l.m_dY));
    const int width = std::abs(int(std::trunc(l.m_dWidth)));
    const int height = std::abs(int(std::trunc(l.m_dHeight)));
    double c = std::cos(l.m_dAngle * std::numbers::pi / 180.0);
    double s = std::sin(l.m_dAngle * std::numbers::pi / 180.0);
    if (std::fmod(l.m_dAngle, 90.0) == 0.0) { // quarter turns are exact
        c = std::round(c);
        s = std::round(s);
    }
    const double cx = left + width / 2.0, cy = top + height / 2.0;
    const double dx = (x + 0.5) - cx, dy = (y + 0.5) - cy;
    const double u = cx + (dx * c + dy * s) - left;
    const double v = cy + (dy * c - dx * s) - top;
    if (!(u >= 0 && u < width && v >= 0 && v < height))
        return kPage;
    const int sw = int(rows[0].size()), sh = int(rows.size());
    int sc = std::min(int(u * sw / width), sw - 1);
    int sr = std::min(int(v * sh / height), sh - 1);
    if (l.m_nMirrored)
        sc = sw - 1 - sc;
    if (l.m_nFlipped)
        sr = sh - 1 - sr;
    const DWORD w = rows[size_t(sr)][size_t(sc)];
    const int e = int(((w & 0xFF) * ((l.m_nOpacity & 0xFF) + 1)) >> 8);
    if (e == 0)
        return kPage;
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) { // red, green, blue
        const int src = int((w >> (shift + 8)) & 0xFF), dst = int((kPage >> shift) & 0xFF);
        const int mixed = e == 255 ? src : ((src * (e + 1)) >> 8) + ((dst * (256 - e)) >> 8);
        out |= uint32_t(mixed) << shift;
    }
    return out;
}

std::vector<std::vector<DWORD>> Decoded(const CRLEStream& stream) {
    std::vector<std::vector<DWORD>> rows(size_t(stream.GetHeight()),
                                         std::vector<DWORD>(size_t(stream.GetWidth())));
    for (int y = 0; y < stream.GetHeight(); ++y)
        stream.DecodeRow(y, rows[size_t(y)].data());
    return rows;
}

// Composes the one layer on a flat page and compares every pixel.
void ExpectMapping(CComposeLayer& layer, const char* what) {
    CDIB page;
    ASSERT_TRUE(page.Create(160, 120, 24, nullptr));
    ASSERT_TRUE(page.Compose({&layer}, &kOwner, Table(), kPageColour, kPageColour, kPageColour,
                             kPageColour, nullptr, nullptr));
    const auto rows = Decoded(layer.m_stream);
    int wrong = 0, shown = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const uint32_t expected = Expected(layer, rows, x, y);
            shown += expected != kPage;
            if (PixelOf(page, x, y) != expected && ++wrong <= 3)
                ADD_FAILURE() << what << " angle " << layer.m_dAngle << " mirrored "
                              << layer.m_nMirrored << " flipped " << layer.m_nFlipped << ": pixel ("
                              << x << ", " << y << ") expected " << std::hex << expected
                              << ", composed " << PixelOf(page, x, y);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(shown, 200) << what << " angle " << layer.m_dAngle << " shows almost nothing";
}

} // namespace

TEST(RotatedComposeTest, EveryPagePixelShowsTheLayerPointItTurnsBackTo) {
    // A picture of distinct colours, enlarged into its box, and a two-colour
    // text-like picture reduced into its box with half-transparent edges.
    auto colours = MakePicture(
        23, 17, [](int x, int y) { return 0x400000u | uint32_t(y * 9) << 8 | uint32_t(x * 11); });
    auto ink = MakePicture(
        90, 60, [](int x, int y) { return ((x / 6 + y / 5) % 3 == 0) ? 0x000000u : 0xFFFFFFu; });
    struct Case {
        CDIB* picture;
        int mode;
        double x, y, w, h;
        int opacity;
    } cases[] = {{colours.get(), 0, 40.3, 25.8, 70.9, 50.2, 255},
                 {ink.get(), 1, 60.0, 30.0, 45.0, 31.0, 255},
                 {colours.get(), 0, -20.0, 70.0, 64.0, 64.0, 140}};
    for (const Case& test : cases)
        for (double angle : {17.5, 90.0, 180.0, 233.0, 270.0, 321.25})
            for (int flags = 0; flags < 4; ++flags) {
                CComposeLayer layer;
                ASSERT_TRUE(layer.m_stream.Build(test.picture, test.mode));
                layer.m_dX = test.x, layer.m_dY = test.y;
                layer.m_dWidth = test.w, layer.m_dHeight = test.h;
                layer.m_nOpacity = test.opacity;
                layer.m_dAngle = angle;
                layer.m_nMirrored = flags & 1;
                layer.m_nFlipped = (flags >> 1) & 1;
                ExpectMapping(layer, test.mode ? "reduced ink" : "enlarged colours");
            }
}

TEST(RotatedComposeTest, ATurnedLayerStaysInsideTheAreaItCovers) {
    auto picture = MakePicture(10, 10, [](int x, int) { return 0x102030u + uint32_t(x); });
    CComposeLayer layer;
    ASSERT_TRUE(layer.m_stream.Build(picture.get(), 0));
    layer.m_dX = 50, layer.m_dY = 40, layer.m_dWidth = 41, layer.m_dHeight = 23;
    layer.m_dAngle = 30;
    const CRect cover = CRotatedBox(layer).Cover();
    EXPECT_EQ(cover, CRect(45, 30, 96, 73));
    // Composing only the covered area draws all of the layer; the page
    // outside it keeps what it had.
    CDIB whole, clipped;
    ASSERT_TRUE(whole.Create(160, 120, 24, nullptr) && clipped.Create(160, 120, 24, nullptr));
    ASSERT_TRUE(whole.Compose({&layer}, &kOwner, Table(), kPageColour, kPageColour, kPageColour,
                              kPageColour, nullptr, nullptr));
    ASSERT_TRUE(clipped.Compose({}, &kOwner, Table(), kPageColour, kPageColour, kPageColour,
                                kPageColour, nullptr, nullptr));
    ASSERT_TRUE(clipped.Compose({&layer}, &kOwner, Table(), kPageColour, kPageColour, kPageColour,
                                kPageColour, &cover, nullptr));
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(PixelOf(whole, x, y), PixelOf(clipped, x, y)) << x << ", " << y;
    // Angles come into [0, 360); a full turn is no turn.
    EXPECT_EQ(NormaliseAngle(-90), 270.0);
    EXPECT_EQ(NormaliseAngle(720), 0.0);
    EXPECT_EQ(NormaliseAngle(std::nan("")), 0.0);
    EXPECT_FALSE(CRotatedBox(0, 0, 5, 5, 360.0).IsRotated());
}
