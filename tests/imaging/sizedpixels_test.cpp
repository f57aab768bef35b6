// Layer pixels made for a box's size: area averaging when a picture is
// reduced, bilinear when it is enlarged, transparency resampled with the
// colours, large boxes drawn band by band in either direction, and the
// composition showing such pixels one to one in place of the stream.

#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/sizedpixels.h"
#include "imagingtest.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <vector>

using namespace imagingtest;

namespace {

QImage Premultiplied(int w, int h, const std::function<QRgb(int, int)>& colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, colour(x, y));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::vector<DWORD> Row(const CLayerPixels& pixels, int row) {
    std::vector<DWORD> out(size_t(pixels.GetWidth()), 0xDEADBEEF);
    EXPECT_EQ(pixels.DecodeRow(row, out.data()), pixels.GetWidth()) << "row " << row;
    return out;
}

// Rows told apart by their blue byte, drawn as one picture.
class RowNumbers : public CDrawnPixels {
public:
    RowNumbers(int w, int h) : CDrawnPixels(w, h) {}
    mutable int bands = 0;

protected:
    void DrawBand(QPainter& painter, int top) const override {
        ++bands;
        for (int y = 0; y < GetHeight(); ++y)
            painter.fillRect(0, y - top, GetWidth(), 1, QColor(0, 0, y % 256));
    }
};

} // namespace

TEST(SizedPixelsTest, ReducingAveragesTheAreaWithItsTransparency) {
    // 2 x 2 blocks: red, green / blue, and half transparent white.
    const QImage picture = Premultiplied(4, 4, [](int x, int y) {
        if (y < 2)
            return x < 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 255, 0, 255);
        return x < 2         ? qRgba(0, 0, 255, 255)
               : (x + y) % 2 ? qRgba(0, 0, 0, 0)
                             : qRgba(255, 255, 255, 255);
    });
    CResampledPixels half(picture, 2, 2);
    EXPECT_EQ(Row(half, 0), (std::vector<DWORD>{Word(0xFF0000, 255), Word(0x00FF00, 255)}));
    const std::vector<DWORD> lower = Row(half, 1);
    EXPECT_EQ(lower[0], Word(0x0000FF, 255));
    // Two white pixels and two transparent ones: white, half covered, not
    // a grey darkened by the transparent pixels' colour.
    EXPECT_EQ(lower[1] >> 8, 0xFFFFFFu);
    EXPECT_NEAR(int(lower[1] & 0xFF), 128, 1);
}

TEST(SizedPixelsTest, EnlargingInterpolatesBetweenNeighbours) {
    // Black and white columns enlarged eight times across.
    const QImage picture =
        Premultiplied(2, 1, [](int x, int) { return x ? qRgb(255, 255, 255) : qRgb(0, 0, 0); });
    CResampledPixels wide(picture, 16, 4);
    for (int row = 0; row < 4; ++row) {
        const std::vector<DWORD> words = Row(wide, row);
        EXPECT_EQ(words.front(), Word(0x000000, 255));
        EXPECT_EQ(words.back(), Word(0xFFFFFF, 255));
        int greys = 0;
        for (size_t x = 1; x < words.size(); ++x) {
            EXPECT_GE(words[x] >> 24, words[x - 1] >> 24) << "ramps up at " << x;
            greys += (words[x] >> 24) > 20 && (words[x] >> 24) < 235;
        }
        EXPECT_GE(greys, 4) << "a ramp, not a step from one nearest pixel to the other";
    }
}

TEST(SizedPixelsTest, TallPicturesAreDrawnBandByBandInEitherDirection) {
    // 4096 wide: a band holds 1024 rows, so 2500 rows make three bands.
    RowNumbers pixels(4096, 2500);
    for (int row : {0, 1023, 1024, 2499})
        EXPECT_EQ(Row(pixels, row)[4000], Word(DWORD(row % 256), 255)) << row;
    EXPECT_EQ(pixels.bands, 3);
    // A flipped layer reads upwards: each band is drawn once more.
    RowNumbers flipped(4096, 2500);
    for (int row = 2499; row >= 0; row -= 7)
        ASSERT_EQ(Row(flipped, row)[0], Word(DWORD(row % 256), 255)) << row;
    EXPECT_EQ(flipped.bands, 3);
    std::vector<DWORD> out(4096);
    EXPECT_EQ(flipped.DecodeRow(2500, out.data()), 0) << "no row below the picture";
}

TEST(SizedPixelsTest, CompositionShowsSizedPixelsOneToOneAndMirrored) {
    static BYTE table[65536];
    FillProductTable(table);
    // A 2 x 2 stream decides that the layer takes part; its 40 x 10 sized
    // pixels are what shows: red rising across, opaque.
    auto picture =
        MakePicture(2, 2, [](int x, int y) { return x + y == 1 ? 0x102030u : 0x405060u; });
    CComposeLayer layer;
    ASSERT_TRUE(layer.m_stream.Build(picture.get(), 0));
    const QImage ramp = Premultiplied(40, 10, [](int x, int) { return qRgb(x * 6, 0, 0); });
    CResampledPixels sized(ramp, 40, 10);
    layer.m_pSizedPixels = &sized;
    layer.m_dX = 5, layer.m_dY = 3, layer.m_dWidth = 40, layer.m_dHeight = 10;
    CDIB page;
    ASSERT_TRUE(page.Create(50, 20, 24, nullptr));
    const int owner = 1;
    std::vector<CComposeLayer*> layers{&layer};
    ASSERT_TRUE(page.Compose(layers, &owner, table, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, nullptr,
                             nullptr));
    for (int x = 0; x < 40; ++x)
        ASSERT_EQ(PixelOf(page, 5 + x, 7), uint32_t(x * 6) << 16) << x;
    EXPECT_EQ(PixelOf(page, 4, 7), 0xFFFFFFu);
    layer.m_nMirrored = 1;
    ASSERT_TRUE(page.Compose(layers, &owner, table, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, nullptr,
                             nullptr));
    for (int x = 0; x < 40; ++x)
        ASSERT_EQ(PixelOf(page, 5 + x, 3), uint32_t((39 - x) * 6) << 16) << x;
    // White ink keeps the coverage and whitens the colour.
    CWhiteInkPixels white(sized);
    EXPECT_EQ(Row(white, 0)[3], Word(0xFFFFFF, 255));
}
