#include "../imaging/imagingtest.h"
#include "imaging/dib.h"
#include "imaging/progress.h"
#include "layers/layerchannel.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace imagingtest;

namespace {
LOGFONTA Font(int pixelHeight) {
    LOGFONTA lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = FW_NORMAL;
    platform::SetFaceName(lf, "DejaVu Sans");
    return lf;
}

int CountColour(CDIB& dib, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x)
            n += PixelOf(dib, x, y) == colour;
    return n;
}
} // namespace

TEST(LayerChannelTest, NewLayersHaveTheDefaultBoxAndWriteIt) {
    CLayerChannel_DIB layer(nullptr, 7, 0x1FF);
    EXPECT_EQ(layer.m_nKind, CLayerChannel::kPicture);
    EXPECT_EQ(layer.m_nKey, 7);
    EXPECT_EQ(layer.m_nOpacity, 255);
    std::string out = "head\n";
    EXPECT_TRUE(layer.WriteText(out));
    EXPECT_EQ(out, "head\n0\n50.000000\n50.000000\n400.000000\n300.000000\n1\n0\n0\n");
    layer.SetBox(CRect(10, 20, 110, 70));
    EXPECT_EQ(layer.m_dWidth, 100.0);
    EXPECT_EQ(layer.m_dHeight, 50.0);
    layer.SetGeometry(-3.7, 2.9, 10.5, -4.2);
    EXPECT_EQ(layer.GetIntBox(), CRect(-3, 2, 7, -2));
    EXPECT_TRUE(layer.BuildStream()); // no picture: nothing to build
    EXPECT_FALSE(layer.m_stream.IsValid());
}

TEST(LayerChannelTest, PictureLayerBuildsItsStreamOnce) {
    auto pic = MakePicture(6, 4, [](int x, int) { return x == 0 ? 0xFF0000u : 0x00FF00u; });
    CLayerChannel_DIB layer(pic.get(), 1, 255);
    EXPECT_TRUE(layer.BuildStream());
    EXPECT_TRUE(layer.m_stream.IsValid());
    EXPECT_EQ(layer.m_nBuildResult, 1);
    EXPECT_EQ(layer.m_stream.GetWidth(), 6);
}

TEST(RenderTextTest, OneLineIsExactlyItsMeasuredSize) {
    const LOGFONTA font = Font(60);
    std::unique_ptr<CDIB> text(RenderText("Kavelo", &font, RGB(0, 0, 0), 0, 1200, 1200));
    ASSERT_NE(text, nullptr);
    QFont qfont = platform::FontFromLogFont(font);
    qfont.setStyleStrategy(QFont::NoAntialias);
    const QRect measured =
        QFontMetrics(qfont).boundingRect(QRect(0, 0, 1200, 1200), Qt::TextWordWrap, "Kavelo");
    EXPECT_EQ(text->GetWidth(), measured.width());
    EXPECT_EQ(text->GetHeight(), measured.height());
    // Black ink on white paper, nothing else.
    const int ink = CountColour(*text, 0x000000), paper = CountColour(*text, 0xFFFFFF);
    EXPECT_GT(ink, 100);
    EXPECT_GT(paper, ink);
    EXPECT_EQ(ink + paper, text->GetWidth() * text->GetHeight());
}

TEST(RenderTextTest, ColouredInkGoesOnBlackPaper) {
    const LOGFONTA font = Font(40);
    std::unique_ptr<CDIB> text(RenderText("Ab", &font, RGB(255, 0, 0), 1, 1200, 1200));
    ASSERT_NE(text, nullptr);
    const int ink = CountColour(*text, 0xFF0000), paper = CountColour(*text, 0x000000);
    EXPECT_GT(ink, 20);
    EXPECT_EQ(ink + paper, text->GetWidth() * text->GetHeight());
    EXPECT_EQ(RenderText("", &font, 0, 0, 1200, 1200), nullptr);
}

TEST(RenderTextTest, LongTextWrapsAt1200AndIsClampedTo1800By1500) {
    const LOGFONTA font = Font(60);
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "design ";
    std::unique_ptr<CDIB> wrapped(RenderText(words, &font, 0, 0, 1200, 1200));
    ASSERT_NE(wrapped, nullptr);
    EXPECT_LE(wrapped->GetWidth(), 1200);
    EXPECT_GT(wrapped->GetHeight(), 200); // several lines
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += "line\n";
    std::unique_ptr<CDIB> tall(RenderText(lines, &font, 0, 0, 1200, 1200));
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(tall->GetHeight(), 1500);
    const std::string longWord(60, 'W');
    std::unique_ptr<CDIB> wide(RenderText(longWord, &font, 0, 0, 1200, 1200));
    ASSERT_NE(wide, nullptr);
    EXPECT_LE(wide->GetWidth(), 1800);
}

TEST(RenderTextTest, ProgressIsReportedThroughTheFactory) {
    struct Recorder : CProgressReceiver {
        explicit Recorder(std::vector<std::string>* log) : m_log(log) {}
        void SetRange(int lo, int hi) override {
            m_log->push_back("range " + std::to_string(lo) + " " + std::to_string(hi));
        }
        void SetPos(int) override { ++positions; }
        ~Recorder() override { m_log->push_back("positions " + std::to_string(positions)); }
        std::vector<std::string>* m_log;
        int positions = 0;
    };
    std::vector<std::string> log;
    SetTextProgressFactory([&log](const std::string& caption) {
        log.push_back("caption " + caption);
        return std::make_unique<Recorder>(&log);
    });
    const LOGFONTA font = Font(30);
    std::unique_ptr<CDIB> text(RenderText("Hallo\tdaar\nwereld", &font, 0, 0, 1200, 1200));
    SetTextProgressFactory(nullptr);
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "caption Hallo");
    EXPECT_EQ(log[1], "range 0 " + std::to_string(text->GetHeight() - 2));
    EXPECT_EQ(log[2], "positions " + std::to_string(text->GetHeight()));
}

TEST(TextLayerTest, PaperBecomesTransparentAndInkEdgesHalf) {
    const LOGFONTA font = Font(50);
    CLayerChannel_Text layer("I", 3, 255, font, RGB(0, 0, 0), 0);
    ASSERT_TRUE(layer.BuildStream());
    ASSERT_TRUE(layer.m_stream.IsValid());
    EXPECT_TRUE(layer.m_stream.IsKeyed());
    // Some pixel of the stem is opaque and its left neighbour half.
    CRLEStream& s = layer.m_stream;
    bool sawOpaque = false, sawHalf = false, sawClear = false;
    for (int y = 0; y < s.GetHeight(); ++y) {
        s.SeekRow(y, false);
        for (int x = 0; x < s.GetWidth(); ++x) {
            DWORD w = 0;
            ASSERT_TRUE(s.ReadPixel(x, &w));
            sawOpaque |= (w & 0xFF) == 255;
            sawHalf |= (w & 0xFF) == 127;
            sawClear |= w == 0;
        }
    }
    EXPECT_TRUE(sawOpaque);
    EXPECT_TRUE(sawHalf);
    EXPECT_TRUE(sawClear);
    CLayerChannel_Text empty("", 4, 255, font, 0, 0);
    EXPECT_TRUE(empty.BuildStream());
    EXPECT_FALSE(empty.m_stream.IsValid());
}

TEST(TextLayerTest, SmallFontsAreDrawnLargeEnoughToStaySharp) {
    // The default font and a 16-pixel one: drawn a whole number of times
    // larger, at least 96 pixels per line, in the proportions of the text
    // at its own size.
    for (const LOGFONTA font : {LOGFONTA{}, Font(16)}) {
        std::unique_ptr<CDIB> plain(RenderText("Hallo wereld", &font, RGB(0, 0, 0), 0, 1200, 1200));
        ASSERT_NE(plain, nullptr);
        CLayerChannel_Text layer("Hallo wereld", 3, 255, font, RGB(0, 0, 0), 0);
        ASSERT_TRUE(layer.BuildStream());
        const int width = layer.m_stream.GetWidth(), height = layer.m_stream.GetHeight();
        EXPECT_GE(height, 96) << "font height " << font.lfHeight;
        EXPECT_LE(width, 1800);
        const double factor = double(height) / plain->GetHeight();
        EXPECT_GE(factor, 2.0);
        EXPECT_NEAR(double(width) / plain->GetWidth(), factor, factor * 0.15);
    }
    // A font that is large already is drawn as it is.
    const LOGFONTA large = Font(120);
    std::unique_ptr<CDIB> plain(RenderText("Ab", &large, RGB(0, 0, 0), 0, 1200, 1200));
    CLayerChannel_Text layer("Ab", 3, 255, large, RGB(0, 0, 0), 0);
    ASSERT_TRUE(layer.BuildStream());
    EXPECT_EQ(layer.m_stream.GetWidth(), plain->GetWidth());
    EXPECT_EQ(layer.m_stream.GetHeight(), plain->GetHeight());
}
