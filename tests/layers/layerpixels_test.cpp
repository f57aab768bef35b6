// Layers made afresh at the size of their box: a picture resampled from its
// full resolution, a picture with a drawing beside it drawn from that, and
// a text drawn with its font, its lines where the stream's picture had them.

#include "../imaging/imagingtest.h"
#include "imaging/dib.h"
#include "imaging/layerpixels.h"
#include "imaging/sizedpixels.h"
#include "layers/layerchannel.h"
#include "testsupport.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <vector>

using namespace imagingtest;

namespace {

std::vector<DWORD> Row(const CLayerPixels& pixels, int row) {
    std::vector<DWORD> out(size_t(pixels.GetWidth()));
    EXPECT_EQ(pixels.DecodeRow(row, out.data()), pixels.GetWidth());
    return out;
}

// The ink's columns of a band of rows: first and last.
std::pair<int, int> InkColumns(const CLayerPixels& pixels, int fromRow, int toRow) {
    int first = pixels.GetWidth(), last = -1;
    for (int y = fromRow; y < toRow; ++y) {
        const std::vector<DWORD> words = Row(pixels, y);
        for (int x = 0; x < pixels.GetWidth(); ++x)
            if ((words[size_t(x)] & 0xFF) > 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    }
    return {first, last};
}

} // namespace

TEST(LayerPixelsTest, APictureIsResampledFromItsFullResolution) {
    // Stripes a pixel wide: nearest sampling at half the size would keep one
    // colour of each pair, averaging mixes them.
    auto picture = MakePicture(64, 32, [](int x, int y) {
        return y == 0 && x == 63 ? 0x000001u : x % 2 ? 0xFF0000u : 0x0000FFu;
    });
    CLayerChannel_DIB layer(picture.get(), 1, 255);
    ASSERT_TRUE(layer.BuildStream());
    const auto half = layer.PixelsAtSize(32, 16);
    ASSERT_NE(half, nullptr);
    ASSERT_EQ(half->GetWidth(), 32);
    const std::vector<DWORD> row = Row(*half, 8);
    for (int x = 2; x < 30; ++x) {
        EXPECT_NEAR(int(row[size_t(x)] >> 24), 128, 1) << x;         // red
        EXPECT_NEAR(int((row[size_t(x)] >> 8) & 0xFF), 128, 1) << x; // blue
        EXPECT_EQ(row[size_t(x)] & 0xFF, 255u);
    }
}

TEST(LayerPixelsTest, APictureWithADrawingBesideItIsDrawnFromTheDrawing) {
    testsupport::TempDir dir;
    // The bitmap is blue; its drawing is a red left half on nothing.
    auto blue =
        MakePicture(40, 20, [](int x, int y) { return x == 39 && y == 0 ? 1u : 0x0000FFu; });
    const std::string image = dir.Str() + "/istripe.bmp";
    ASSERT_TRUE(blue->Save(image));
    QFile svg(QString::fromStdString(dir.Str() + "/istripe.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\" "
              "viewBox=\"0 0 40 20\"><rect x=\"0\" y=\"0\" width=\"20\" height=\"20\" "
              "fill=\"#ff0000\"/></svg>");
    svg.close();
    CDIB picture;
    ASSERT_TRUE(picture.Load(image, 1, 0));
    EXPECT_EQ(VectorDrawingOf(picture), dir.Str() + "/istripe.svg");
    CLayerChannel_DIB layer(&picture, 1, 255);
    ASSERT_TRUE(layer.BuildStream());
    const auto drawn = layer.PixelsAtSize(400, 200);
    ASSERT_NE(drawn, nullptr);
    const std::vector<DWORD> row = Row(*drawn, 100);
    EXPECT_EQ(row[10], Word(0xFF0000, 255)) << "the drawing's red";
    EXPECT_EQ(row[199], Word(0xFF0000, 255));
    EXPECT_EQ(row[201] & 0xFF, 0u) << "the drawing's nothing, not the bitmap's blue";
    // Without the drawing the bitmap itself is enlarged.
    QFile::remove(QString::fromStdString(dir.Str() + "/istripe.svg"));
    EXPECT_EQ(VectorDrawingOf(picture), "");
    const auto enlarged = layer.PixelsAtSize(400, 200);
    EXPECT_EQ(Row(*enlarged, 100)[300], Word(0x0000FF, 255));
}

TEST(LayerPixelsTest, TextLinesStayWhereTheStreamHadThem) {
    LOGFONTA font{};
    font.lfHeight = -20;
    font.lfWeight = FW_NORMAL;
    platform::SetFaceName(font, "DejaVu Sans");
    // A long first line over a short one, centred.
    CLayerChannel_Text text("WWWWWWWW\nI", 1, 255, font, 0x000000, 1);
    ASSERT_TRUE(text.BuildStream());
    const int w = text.m_stream.GetWidth() * 3, h = text.m_stream.GetHeight() * 3;
    const auto drawn = text.PixelsAtSize(w, h);
    ASSERT_NE(drawn, nullptr);
    const auto [firstLeft, firstRight] = InkColumns(*drawn, 0, h / 2);
    const auto [secondLeft, secondRight] = InkColumns(*drawn, h / 2, h);
    EXPECT_LT(firstLeft, w / 20) << "the long line fills the box";
    EXPECT_GT(firstRight, w - w / 20);
    EXPECT_NEAR((secondLeft + secondRight) / 2.0, w / 2.0, w / 50.0) << "the short line centred";
    EXPECT_LT(secondRight - secondLeft, w / 10);
    // Smooth edges: coverage between paper and ink at the letters' sides.
    int partial = 0;
    for (DWORD word : Row(*drawn, h / 4))
        partial += (word & 0xFF) > 20 && (word & 0xFF) < 235;
    EXPECT_GT(partial, 8);
}
