#include "dctest.h"
#include "platform/logfont.h"

#include <QFontMetrics>

using namespace dctest;

namespace {

LOGFONTA TestFont() {
    LOGFONTA lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = NONANTIALIASED_QUALITY; // glyph pixels are exactly the text colour
    platform::SetFaceName(lf, "DejaVu Sans");
    return lf;
}

// A canvas with the test font selected and black text.
struct TextCanvas : Canvas {
    TextCanvas(int width, int height) : Canvas(width, height) {
        const LOGFONTA lf = TestFont();
        font.CreateFontIndirect(&lf);
        dc.SelectObject(&font);
        dc.SetTextColor(0);
        dc.SetBkMode(TRANSPARENT);
    }
    CFont font;
};

CRect Shifted(CRect r, int dx, int dy) {
    r.OffsetRect(dx, dy);
    return r;
}

} // namespace

TEST(DcTextTest, SelectedFontReachesThePainterAndComesBack) {
    Canvas c(4, 4);
    const QFont initial = c.painter.font();
    const LOGFONTA lf = TestFont();
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* before = c.dc.SelectFont(&font);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(c.painter.font().pixelSize(), 16);
    EXPECT_EQ(c.dc.SelectObject(before), &font);
    EXPECT_EQ(c.painter.font(), initial);
    LOGFONTA back{};
    EXPECT_EQ(font.GetLogFont(&back), int(sizeof(LOGFONTA)));
    EXPECT_EQ(back.lfHeight, -16);
}

TEST(DcTextTest, CalcRectMeasuresLinesAndWordBreaks) {
    TextCanvas c(10, 10);
    const CSize two = c.dc.GetTextExtent("Two"), words = c.dc.GetTextExtent("words");
    const CSize both = c.dc.GetTextExtent("Two words");
    const QFontMetrics fm(platform::FontFromLogFont(TestFont()), &c.image);
    const int lineHeight = fm.ascent() + fm.descent();
    ASSERT_GT(two.cx, 0);
    EXPECT_EQ(both.cy, lineHeight);

    CRect r(10, 20, 12, 22);
    EXPECT_EQ(c.dc.DrawText("Two words", &r, DT_SINGLELINE | DT_CALCRECT), lineHeight);
    EXPECT_EQ(r, CRect(10, 20, 10 + both.cx, 20 + lineHeight));

    // Too narrow for both words: two lines, as wide as the wider word.
    const int narrow = std::max(two.cx, words.cx) + 1;
    ASSERT_LT(narrow, both.cx);
    r = CRect(0, 0, narrow, 0);
    EXPECT_EQ(c.dc.DrawText("Two words", &r, DT_WORDBREAK | DT_CALCRECT), 2 * lineHeight);
    EXPECT_EQ(r, CRect(0, 0, words.cx, 2 * lineHeight));
    // Without word breaks the line stays whole; line feeds always break.
    r = CRect(0, 0, narrow, 0);
    EXPECT_EQ(c.dc.DrawText("Two words", &r, DT_CALCRECT), lineHeight);
    EXPECT_EQ(r.Width(), both.cx);
    r = CRect(0, 0, 100, 0);
    EXPECT_EQ(c.dc.DrawText("Two\r\nwords\n", &r, DT_CALCRECT), 2 * lineHeight);
    EXPECT_EQ(r.Width(), words.cx);

    // Prefixes: a single '&' disappears, "&&" shows one.
    r = CRect(0, 0, 100, 0);
    c.dc.DrawText("&File", &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.Width(), c.dc.GetTextExtent("File").cx);
    r = CRect(0, 0, 100, 0);
    c.dc.DrawText("&File", &r, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(r.Width(), c.dc.GetTextExtent("&File").cx);

    // Tabs stop every eight average character widths.
    r = CRect(0, 0, 200, 0);
    c.dc.DrawText("a\tb", &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.Width(), 8 * fm.averageCharWidth() + c.dc.GetTextExtent("b").cx);

    // An ellipsis keeps a long line within the width.
    r = CRect(0, 0, 60, 0);
    c.dc.DrawText("Extraordinarily long words", &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(r.Width(), 60);
    EXPECT_GE(r.Width(), c.dc.GetTextExtent("E...").cx);
}

TEST(DcTextTest, AlignmentPlacesTheInk) {
    TextCanvas left(130, 60);
    // Odd room on both axes, so the halving for centring is checked too.
    const CSize size = left.dc.GetTextExtent("Hi");
    const CRect box(4, 3, 4 + size.cx + 41, 3 + size.cy + 21);
    ASSERT_LE(box.right, 130);
    CRect r = box;
    EXPECT_EQ(left.dc.DrawText("Hi", &r, DT_SINGLELINE), size.cy);
    const CRect ink = InkBox(left);
    ASSERT_FALSE(ink.IsRectEmpty());
    EXPECT_GE(ink.left, box.left);
    EXPECT_LE(ink.left, box.left + 3);
    EXPECT_GE(ink.top, box.top);

    const int dx = box.Width() - size.cx, dy = box.Height() - size.cy;
    struct Case {
        UINT format;
        CRect expected;
        int answer;
    };
    const Case cases[] = {
        {DT_RIGHT, Shifted(ink, dx, 0), size.cy},
        {DT_CENTER, Shifted(ink, dx / 2, 0), size.cy},
        {DT_CENTER | DT_VCENTER, Shifted(ink, dx / 2, dy / 2), dy / 2 + size.cy},
        {DT_RIGHT | DT_BOTTOM, Shifted(ink, dx, dy), dy + size.cy},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.format);
        TextCanvas c(130, 60);
        r = box;
        EXPECT_EQ(c.dc.DrawText("Hi", &r, DT_SINGLELINE | k.format), k.answer);
        EXPECT_EQ(InkBox(c), k.expected);
    }
}

TEST(DcTextTest, OpaqueModeFillsTheTextBoxTransparentModeDoesNot) {
    for (const int mode : {OPAQUE, TRANSPARENT}) {
        SCOPED_TRACE(mode);
        TextCanvas c(80, 30);
        c.dc.SetTextColor(kRed);
        c.dc.SetBkColor(kBlue);
        c.dc.SetBkMode(mode);
        CRect r(5, 5, 75, 28);
        c.dc.DrawText("Hi", &r, DT_SINGLELINE);
        const CSize size = c.dc.GetTextExtent("Hi");
        const CRect textBox(5, 5, 5 + size.cx, 5 + size.cy);
        const CRect whole(0, 0, 80, 30);
        const int red = CountColour(c, textBox, kRed), blue = CountColour(c, textBox, kBlue);
        EXPECT_GT(red, 0);
        EXPECT_EQ(CountColour(c, whole, kRed), red); // no ink outside the box
        if (mode == OPAQUE) {
            EXPECT_EQ(red + blue, textBox.Width() * textBox.Height());
            EXPECT_EQ(CountColour(c, whole, kPaper), 80 * 30 - red - blue);
        } else {
            EXPECT_EQ(CountColour(c, whole, kBlue), 0);
            EXPECT_EQ(CountColour(c, whole, kPaper), 80 * 30 - red);
        }
    }
}

TEST(DcTextTest, ClippingUnderlineAndTextOut) {
    // Clipped to the rectangle unless DT_NOCLIP.
    TextCanvas clipped(120, 30), unclipped(120, 30);
    CRect r(2, 2, 20, 28);
    clipped.dc.DrawText("Wide text", &r, DT_SINGLELINE);
    unclipped.dc.DrawText("Wide text", &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_LE(InkBox(clipped).right, 20);
    EXPECT_GT(InkBox(unclipped).right, 20);

    // The prefixed character gets a line under it, and only it.
    TextCanvas plain(60, 30), marked(60, 30);
    r = CRect(2, 2, 60, 30);
    plain.dc.DrawText("ab", &r, DT_SINGLELINE | DT_NOPREFIX);
    marked.dc.DrawText("a&b", &r, DT_SINGLELINE);
    const int a = plain.dc.GetTextExtent("a").cx, ab = plain.dc.GetTextExtent("ab").cx;
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (plain.At(x, y) != marked.At(x, y)) {
                ++changed;
                EXPECT_EQ(marked.At(x, y), 0u) << x << "," << y;
                EXPECT_GE(x, 2 + a);
                EXPECT_LT(x, 2 + ab);
                EXPECT_GT(y, 2 + QFontMetrics(marked.painter.font()).ascent() - 1);
            }
    EXPECT_GT(changed, 0);

    // "&&" is a plain '&' with nothing underlined.
    TextCanvas doubled(60, 30), literal(60, 30);
    CRect wide(0, 0, 60, 0);
    EXPECT_EQ(doubled.dc.DrawText("A&&B", &wide, DT_SINGLELINE | DT_CALCRECT),
              doubled.dc.GetTextExtent("A&B").cy);
    EXPECT_EQ(wide.Width(), doubled.dc.GetTextExtent("A&B").cx);
    doubled.dc.DrawText("A&&B", &r, DT_SINGLELINE);
    literal.dc.DrawText("A&B", &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_TRUE(doubled.image == literal.image);
    EXPECT_FALSE(InkBox(literal).IsRectEmpty());

    // TextOut draws from its top-left corner like a left-aligned line.
    TextCanvas out(60, 30), drawn(60, 30);
    EXPECT_TRUE(out.dc.TextOut(2, 2, "ab"));
    drawn.dc.DrawText("ab", &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(InkBox(out), InkBox(drawn));
}
