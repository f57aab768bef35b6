#include "dctest.h"
#include "platform/logfont.h"

#include <QFontMetrics>
#include <functional>

using namespace dctest;

TEST(DcTest, ContextTurnsAntialiasingOffAndReportsStockState) {
    QImage image = Paper(4, 4, kPaper);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    CDC dc(&painter, &image);
    EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    ASSERT_NE(dc.GetCurrentPen(), nullptr);
    EXPECT_EQ(dc.GetCurrentPen()->GetStyle(), PS_SOLID);
    EXPECT_EQ(dc.GetCurrentPen()->GetColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetCurrentBrush()->GetColor(), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetBkColor(), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), 0xFFFFFFu);
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), 0xE3E3E3u);
    EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), 0xA0A0A0u);
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), 0x696969u);
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), 0xF0F0F0u);
}

TEST(DcTest, FillSolidRectCoversExactlyTheRectangle) {
    Canvas c(12, 8);
    Expected e(12, 8);
    c.dc.FillSolidRect(CRect(2, 3, 7, 5), kRed);
    e.Fill(CRect(2, 3, 7, 5), kRed);
    // Negative sizes count back from the far edge, as Draw3dRect relies on.
    c.dc.FillSolidRect(10, 1, -3, 2, kBlue);
    e.Fill(CRect(7, 1, 10, 3), kBlue);
    EXPECT_EQ(c.dc.GetBkColor(), kBlue);           // the fill colour stays as the background colour
    c.dc.FillSolidRect(CRect(4, 6, 4, 8), kGreen); // no width: no pixels, yet the colour stays
    EXPECT_EQ(c.dc.GetBkColor(), kGreen);
    EXPECT_TRUE(Matches(c, e));
}

TEST(DcTest, Draw3dRectGivesTheSharedCornersToTheBottomRightColour) {
    Canvas c(8, 7);
    c.dc.Draw3dRect(CRect(1, 1, 6, 5), kRed, kBlue);
    Expected e(8, 7);
    e.Fill(CRect(1, 1, 5, 2), kRed);  // top row, x 1..4
    e.Fill(CRect(1, 1, 2, 4), kRed);  // left column, y 1..3
    e.Fill(CRect(5, 1, 6, 5), kBlue); // right column, y 1..4
    e.Fill(CRect(1, 4, 6, 5), kBlue); // bottom row, x 1..5
    EXPECT_TRUE(Matches(c, e));
    EXPECT_EQ(c.At(5, 1), kBlue); // top-right
    EXPECT_EQ(c.At(1, 4), kBlue); // bottom-left
    EXPECT_EQ(c.At(1, 1), kRed);

    Canvas c2(8, 7);
    c2.dc.Draw3dRect(1, 1, 5, 4, kRed, kBlue);
    EXPECT_TRUE(Matches(c2, e));
}

TEST(DcTest, DrawEdgeColoursEachRingAndSide) {
    const COLORREF hi = 0xFFFFFF, light = 0xE3E3E3, shadow = 0xA0A0A0, dark = 0x696969;
    struct Case {
        UINT edge;
        COLORREF outerTl, outerBr, innerTl, innerBr;
    };
    const Case cases[] = {{EDGE_RAISED, light, dark, hi, shadow},
                          {EDGE_SUNKEN, shadow, hi, dark, light},
                          {EDGE_ETCHED, shadow, hi, hi, shadow},
                          {EDGE_BUMP, light, dark, dark, light}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.edge);
        Canvas c(11, 10);
        CRect r(1, 1, 9, 8);
        EXPECT_TRUE(c.dc.DrawEdge(&r, k.edge, BF_RECT));
        EXPECT_EQ(r, CRect(1, 1, 9, 8)); // no BF_ADJUST: unchanged
        Expected e(11, 10);
        e.Frame3d(CRect(1, 1, 9, 8), k.outerTl, k.outerBr);
        e.Frame3d(CRect(2, 2, 8, 7), k.innerTl, k.innerBr);
        EXPECT_TRUE(Matches(c, e));
        EXPECT_EQ(c.At(8, 1), k.outerBr);
        EXPECT_EQ(c.At(1, 7), k.outerBr);
        EXPECT_EQ(c.At(7, 2), k.innerBr);
        EXPECT_EQ(c.At(2, 2), k.innerTl);
        EXPECT_EQ(c.At(4, 4), kPaper);
    }

    // The middle, the adjusted rectangle and sides left out.
    Canvas c(11, 10);
    CRect r(1, 1, 9, 8);
    c.dc.DrawEdge(&r, EDGE_RAISED, BF_TOP | BF_LEFT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(r, CRect(3, 3, 9, 8));
    Expected e(11, 10);
    e.Fill(CRect(1, 1, 9, 2), light); // whole top row: no right side to take the corner
    e.Fill(CRect(1, 1, 2, 8), light);
    e.Fill(CRect(2, 2, 9, 3), hi);
    e.Fill(CRect(2, 2, 3, 8), hi);
    e.Fill(CRect(3, 3, 9, 8), 0xF0F0F0);
    EXPECT_TRUE(Matches(c, e));

    // A lone inner edge takes the outer ring.
    Canvas lone(6, 6);
    CRect small(0, 0, 5, 5);
    lone.dc.DrawEdge(&small, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    EXPECT_EQ(small, CRect(1, 1, 4, 4));
    Expected el(6, 6);
    el.Frame3d(CRect(0, 0, 5, 5), hi, shadow);
    EXPECT_TRUE(Matches(lone, el));
}

TEST(DcTest, RectangleFramesAndFillsByPenWidth) {
    CBrush hollow = CBrush::Hollow();
    CBrush blue(kBlue);
    struct Case {
        int style, width;
        CBrush* brush;
        std::function<void(Expected&)> expect;
    };
    const Case cases[] = {
        {PS_SOLID, 1, &hollow,
         [](Expected& e) {
             e.Fill(CRect(2, 2, 12, 3), kRed);   // top row
             e.Fill(CRect(2, 10, 12, 11), kRed); // bottom row at bottom - 1
             e.Fill(CRect(2, 2, 3, 11), kRed);
             e.Fill(CRect(11, 2, 12, 11), kRed); // right column at right - 1
         }},
        {PS_SOLID, 1, &blue,
         [](Expected& e) {
             e.Fill(CRect(2, 2, 12, 11), kRed);
             e.Fill(CRect(3, 3, 11, 10), kBlue);
         }},
        {PS_SOLID, 2, &hollow, // both pixels inside the frame
         [](Expected& e) {
             e.Fill(CRect(2, 2, 12, 11), kRed);
             e.Fill(CRect(4, 4, 10, 9), kPaper);
         }},
        {PS_SOLID, 2, &blue,
         [](Expected& e) {
             e.Fill(CRect(2, 2, 12, 11), kRed);
             e.Fill(CRect(4, 4, 10, 9), kBlue);
         }},
        {PS_SOLID, 3, &hollow, // one pixel outside, one inside
         [](Expected& e) {
             e.Fill(CRect(1, 1, 13, 12), kRed);
             e.Fill(CRect(4, 4, 10, 9), kPaper);
         }},
        {PS_INSIDEFRAME, 3, &blue,
         [](Expected& e) {
             e.Fill(CRect(2, 2, 12, 11), kRed);
             e.Fill(CRect(5, 5, 9, 8), kBlue);
         }},
        {PS_NULL, 1, &blue, // one pixel short on the right and bottom
         [](Expected& e) { e.Fill(CRect(2, 2, 11, 10), kBlue); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "style " << k.style << " width " << k.width
                                        << (k.brush->IsHollow() ? " hollow" : " solid"));
        Canvas c(14, 13);
        CPen pen(k.style, k.width, kRed);
        c.dc.SelectObject(&pen);
        c.dc.SelectObject(k.brush);
        EXPECT_TRUE(c.dc.Rectangle(CRect(2, 2, 12, 11)));
        Expected e(14, 13);
        k.expect(e);
        EXPECT_TRUE(Matches(c, e));
    }
}

TEST(DcTest, LinesLeaveOutTheirEndPoint) {
    Canvas c(12, 14);
    CPen red(PS_SOLID, 1, kRed);
    c.dc.SelectObject(&red);
    c.dc.MoveTo(2, 3);
    c.dc.LineTo(8, 3); // x 2..7
    c.dc.LineTo(8, 9); // y 3..8 at x 8
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(4, 4); // the diagonal up to (3, 3)
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(4, 4));
    const POINT path[] = {{10, 1}, {10, 5}, {11, 5}};
    EXPECT_TRUE(c.dc.Polyline(path, 3)); // (11, 5) is not drawn
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(4, 4));
    Expected e(12, 14);
    e.Fill(CRect(2, 3, 8, 4), kRed);
    e.Fill(CRect(8, 3, 9, 9), kRed);
    for (int i = 0; i < 4; ++i)
        e.Set(i, i, kRed);
    e.Fill(CRect(10, 1, 11, 6), kRed);
    // Wide pens paint the square from (x - (w-1)/2, y - (w-1)/2) per pixel.
    CPen two(PS_SOLID, 2, kBlue), three(PS_SOLID, 3, kGreen);
    c.dc.SelectObject(&two);
    c.dc.MoveTo(1, 10);
    c.dc.LineTo(5, 10);
    e.Fill(CRect(1, 10, 6, 12), kBlue);
    c.dc.SelectObject(&three);
    c.dc.MoveTo(8, 12);
    c.dc.LineTo(10, 12);
    e.Fill(CRect(7, 11, 11, 14), kGreen);
    EXPECT_TRUE(Matches(c, e));

    // A diagonal across nearly the whole coordinate range still lands on
    // the exact pixels where it crosses the picture.
    Canvas d(6, 6);
    d.dc.SelectObject(&red);
    d.dc.MoveTo(-2147483000, -2147483000);
    d.dc.LineTo(2147483000, 2147483000);
    Expected ed(6, 6);
    for (int i = 0; i < 6; ++i)
        ed.Set(i, i, kRed);
    EXPECT_TRUE(Matches(d, ed));
}

TEST(DcTest, DashedPensFollowTheirPatternAndFillGapsWhenOpaque) {
    struct Case {
        int style;
        std::vector<int> pattern; // on/off lengths
    };
    const Case cases[] = {{PS_DASH, {18, 6}},
                          {PS_DOT, {3, 3}},
                          {PS_DASHDOT, {9, 6, 3, 6}},
                          {PS_DASHDOTDOT, {9, 3, 3, 3, 3, 3}}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.style);
        Canvas c(50, 4);
        CPen pen(k.style, 1, kRed);
        c.dc.SelectObject(&pen);
        c.dc.SetBkColor(kBlue);
        c.dc.SetBkMode(TRANSPARENT);
        c.dc.MoveTo(0, 1);
        c.dc.LineTo(50, 1);
        c.dc.SetBkMode(OPAQUE);
        c.dc.MoveTo(0, 2); // the pattern starts again, continued over joined lines
        c.dc.LineTo(7, 2);
        c.dc.LineTo(50, 2);
        Expected e(50, 4);
        for (int x = 0, i = 0; x < 50; ++i) {
            const int run = k.pattern[size_t(i) % k.pattern.size()];
            const bool on = i % 2 == 0;
            for (int n = 0; n < run && x < 50; ++n, ++x) {
                e.Set(x, 1, on ? kRed : kPaper);
                e.Set(x, 2, on ? kRed : kBlue);
            }
        }
        EXPECT_TRUE(Matches(c, e));
    }
    // Lines from far outside are walked only where visible, in phase.
    Canvas far(50, 4);
    CPen dashDot(PS_DASHDOT, 1, kRed);
    far.dc.SelectObject(&dashDot);
    far.dc.SetBkMode(TRANSPARENT);
    far.dc.MoveTo(-1000000001, 1);
    far.dc.LineTo(1000000000, 1);
    Expected ef(50, 4);
    for (int x = 0; x < 50; ++x) {
        const int pos = int((1000000001LL + x) % 24); // 9 on, 6 off, 3 on, 6 off
        ef.Set(x, 1, pos < 9 || (pos >= 15 && pos < 18) ? kRed : kPaper);
    }
    EXPECT_TRUE(Matches(far, ef));

    // A dashed rectangle frame and a dashed pen wider than a pixel (solid).
    Canvas c(30, 30);
    CPen dashed(PS_DASHDOT, 1, kRed);
    CBrush hollow = CBrush::Hollow();
    c.dc.SelectObject(&dashed);
    c.dc.SelectObject(&hollow);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.Rectangle(0, 0, 30, 20);
    EXPECT_EQ(c.At(8, 0), kRed);
    EXPECT_EQ(c.At(9, 0), kPaper);
    EXPECT_EQ(c.At(15, 0), kRed);
    EXPECT_EQ(c.At(29, 0), kRed);   // 29 pixels along the frame: the second long dash
    EXPECT_EQ(c.At(29, 3), kRed);   // 32: its last pixel
    EXPECT_EQ(c.At(29, 4), kPaper); // 33: the gap after it
    CPen wide(PS_DASH, 2, kBlue);
    c.dc.SelectObject(&wide);
    c.dc.MoveTo(0, 25);
    c.dc.LineTo(30, 25);
    EXPECT_EQ(CountColour(c, CRect(0, 25, 30, 27), kBlue), 60);
}

TEST(DcTest, PolygonFillsInsideAndOutlinesEveryVertex) {
    Canvas c(14, 12);
    CPen red(PS_SOLID, 1, kRed);
    CBrush blue(kBlue);
    c.dc.SelectObject(&red);
    c.dc.SelectObject(&blue);
    const POINT box[] = {{2, 2}, {10, 2}, {10, 8}, {2, 8}};
    EXPECT_TRUE(c.dc.Polygon(box, 4));
    Expected e(14, 12);
    e.Fill(CRect(2, 2, 11, 9), kRed); // the outline covers x 2..10, y 2..8
    e.Fill(CRect(3, 3, 10, 8), kBlue);
    EXPECT_TRUE(Matches(c, e));

    // Without a pen the fill alone takes the pixels whose centres are inside.
    Canvas f(14, 12);
    f.dc.SelectStockObject(NULL_PEN);
    f.dc.SelectObject(&blue);
    f.dc.Polygon(box, 4);
    Expected ef(14, 12);
    ef.Fill(CRect(2, 2, 10, 8), kBlue);
    EXPECT_TRUE(Matches(f, ef));

    // Rows far outside the picture are not walked.
    Canvas tall(6, 5);
    tall.dc.SelectStockObject(NULL_PEN);
    tall.dc.SelectObject(&blue);
    const POINT huge[] = {{1, -2000000000}, {4, -2000000000}, {4, 2000000000}, {1, 2000000000}};
    tall.dc.Polygon(huge, 4);
    Expected et(6, 5);
    et.Fill(CRect(1, 0, 4, 5), kBlue);
    EXPECT_TRUE(Matches(tall, et));

    // A five-pointed star: its centre is wound twice, so ALTERNATE leaves it.
    const POINT star[] = {{15, 5}, {21, 23}, {5, 12}, {25, 12}, {9, 23}};
    Canvas s(30, 30);
    s.dc.SelectStockObject(NULL_PEN);
    s.dc.SelectObject(&blue);
    EXPECT_EQ(s.dc.GetPolyFillMode(), ALTERNATE);
    s.dc.Polygon(star, 5);
    EXPECT_EQ(s.At(15, 15), kPaper);
    EXPECT_EQ(s.At(15, 8), kBlue); // the top point
    EXPECT_EQ(s.dc.SetPolyFillMode(WINDING), ALTERNATE);
    s.dc.Polygon(star, 5);
    EXPECT_EQ(s.At(15, 15), kBlue);
    EXPECT_EQ(s.At(2, 2), kPaper);
}

TEST(DcTest, RoundedShapesStayInsideTheirRectangle) {
    Canvas c(26, 20);
    CPen red(PS_SOLID, 1, kRed);
    CBrush blue(kBlue);
    c.dc.SelectObject(&red);
    c.dc.SelectObject(&blue);
    EXPECT_TRUE(c.dc.RoundRect(CRect(2, 2, 22, 16), POINT{8, 8}));
    EXPECT_EQ(InkBox(c), CRect(2, 2, 22, 16));
    for (const CPoint corner : {CPoint(2, 2), CPoint(21, 2), CPoint(2, 15), CPoint(21, 15)})
        EXPECT_EQ(c.At(corner.x, corner.y), kPaper) << corner;
    EXPECT_EQ(c.At(12, 2), kRed);
    EXPECT_EQ(c.At(2, 9), kRed);
    EXPECT_EQ(c.At(21, 9), kRed);
    EXPECT_EQ(c.At(12, 15), kRed);
    EXPECT_EQ(c.At(12, 3), kBlue);
    EXPECT_EQ(c.At(12, 9), kBlue);
    // Mirror-symmetric both ways, and every row's ink is one run: outline
    // pixels on its ends, fill between.
    for (int y = 2; y < 16; ++y)
        for (int x = 2; x < 22; ++x) {
            ASSERT_EQ(c.At(x, y), c.At(23 - x, y)) << x << "," << y;
            ASSERT_EQ(c.At(x, y), c.At(x, 17 - y)) << x << "," << y;
        }

    Canvas el(14, 14);
    el.dc.SelectObject(&red);
    el.dc.SelectObject(&blue);
    el.dc.Ellipse(2, 2, 12, 12);
    EXPECT_EQ(InkBox(el), CRect(2, 2, 12, 12));
    EXPECT_EQ(el.At(2, 2), kPaper);
    EXPECT_EQ(el.At(7, 7), kBlue);
    EXPECT_EQ(el.At(7, 2), kRed);
    EXPECT_EQ(el.At(2, 7), kRed);
}

TEST(DcTest, InversionIsUndoneByRepeatingIt) {
    Canvas c(24, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            c.dc.SetPixel(x, y, RGB(x * 10, y * 12, (x + y) * 5));
    const QImage original = c.image.copy();
    auto pixelOf = [&](int x, int y) {
        const QRgb p = original.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    };
    // The expected picture after one halftone drag band, or solid inversion.
    auto banded = [&](const CRect& outer, const CRect& inner, bool halftone) {
        Expected e(24, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 24; ++x) {
                const bool band = outer.PtInRect({x, y}) && !inner.PtInRect({x, y});
                const bool flip = band && (!halftone || (x + y) % 2 == 1);
                e.Set(x, y, flip ? pixelOf(x, y) ^ 0xFFFFFF : pixelOf(x, y));
            }
        return e;
    };
    const Expected untouched = banded(CRect(), CRect(), false);

    const CRect r1(2, 2, 20, 16), r2(4, 3, 22, 18);
    const SIZE size{3, 2};
    c.dc.DrawDragRect(r1, size, nullptr, size);
    EXPECT_TRUE(Matches(c, banded(r1, CRect(5, 4, 17, 14), true)));
    c.dc.DrawDragRect(r1, size, nullptr, size);
    EXPECT_TRUE(Matches(c, untouched));

    // Moving the band erases the old one; an empty rectangle erases the last.
    c.dc.DrawDragRect(r1, size, nullptr, size);
    c.dc.DrawDragRect(r2, size, &r1, size);
    EXPECT_TRUE(Matches(c, banded(r2, CRect(7, 5, 19, 16), true)));
    c.dc.DrawDragRect(CRect(), size, &r2, size);
    EXPECT_TRUE(Matches(c, untouched));

    // A white brush inverts the whole band.
    CBrush white(RGB(255, 255, 255));
    c.dc.DrawDragRect(r1, size, nullptr, size, &white);
    EXPECT_TRUE(Matches(c, banded(r1, CRect(5, 4, 17, 14), false)));
    c.dc.DrawDragRect(r1, size, nullptr, size, &white);
    EXPECT_TRUE(Matches(c, untouched));

    EXPECT_TRUE(c.dc.InvertRect(CRect(3, 4, 9, 7)));
    EXPECT_TRUE(Matches(c, banded(CRect(3, 4, 9, 7), CRect(), false)));
    EXPECT_TRUE(c.dc.PatBlt(3, 4, 6, 3, DSTINVERT));
    EXPECT_TRUE(Matches(c, untouched));
    CBrush halftone = CBrush::Halftone();
    c.dc.SelectObject(&halftone);
    EXPECT_TRUE(c.dc.PatBlt(9, 7, -6, -3, PATINVERT)); // negative sizes count back
    EXPECT_TRUE(Matches(c, banded(CRect(3, 4, 9, 7), CRect(), true)));
    EXPECT_FALSE(c.dc.PatBlt(0, 0, 2, 2, SRCCOPY));
}

TEST(DcTest, PatBltPaintsWithTheBrushOrAFixedColour) {
    Canvas c(10, 4);
    CBrush blue(kBlue);
    c.dc.SelectObject(&blue);
    c.dc.PatBlt(0, 0, 3, 2, PATCOPY);
    c.dc.PatBlt(3, 0, 2, 2, BLACKNESS);
    c.dc.PatBlt(5, 0, 2, 2, WHITENESS);
    CBrush halftone = CBrush::Halftone();
    c.dc.SelectObject(&halftone);
    c.dc.PatBlt(7, 0, 3, 2, PATCOPY);
    Expected e(10, 4);
    e.Fill(CRect(0, 0, 3, 2), kBlue);
    e.Fill(CRect(3, 0, 5, 2), 0);
    e.Fill(CRect(5, 0, 7, 2), 0xFFFFFF);
    for (int y = 0; y < 2; ++y)
        for (int x = 7; x < 10; ++x)
            e.Set(x, y, (x + y) % 2 ? 0xFFFFFF : 0);
    EXPECT_TRUE(Matches(c, e));
}

TEST(DcTest, SelectionsAnswerThePreviousObjectAndSaveDcRestoresThem) {
    Canvas c(10, 10);
    CPen red(PS_SOLID, 1, kRed), blue(PS_SOLID, 1, kBlue), empty;
    CPen* stock = c.dc.SelectObject(&red);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(stock->GetColor(), RGB(0, 0, 0));
    EXPECT_EQ(c.dc.SelectObject(&empty), nullptr); // nothing to select: no change
    EXPECT_EQ(c.dc.GetCurrentPen(), &red);
    EXPECT_EQ(c.dc.SetBkMode(7), 0);
    EXPECT_EQ(c.dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(c.dc.SetTextColor(kGreen), RGB(0, 0, 0));

    EXPECT_EQ(c.dc.SaveDC(), 1);
    EXPECT_EQ(c.dc.SelectObject(static_cast<CGdiObject*>(&blue)), &red);
    CBrush* whiteBrush = c.dc.GetCurrentBrush();
    CGdiObject* previous = c.dc.SelectStockObject(NULL_BRUSH);
    EXPECT_EQ(previous, whiteBrush);
    EXPECT_TRUE(c.dc.GetCurrentBrush()->IsHollow());
    EXPECT_EQ(c.dc.SetTextColor(kBlue), kGreen);
    EXPECT_EQ(c.dc.IntersectClipRect(0, 0, 5, 5), SIMPLEREGION);
    EXPECT_EQ(c.dc.SaveDC(), 2);
    EXPECT_EQ(c.dc.IntersectClipRect(CRect(6, 6, 9, 9)), NULLREGION);
    c.dc.FillSolidRect(CRect(0, 0, 10, 10), kRed); // clipped away entirely
    EXPECT_TRUE(c.dc.RestoreDC(-1));
    c.dc.Rectangle(0, 0, 8, 8); // blue frame, hollow, clipped to (0, 0, 5, 5)
    Expected e(10, 10);
    e.Fill(CRect(0, 0, 5, 1), kBlue);
    e.Fill(CRect(0, 0, 1, 5), kBlue);
    EXPECT_TRUE(Matches(c, e));

    EXPECT_TRUE(c.dc.RestoreDC(1));
    EXPECT_FALSE(c.dc.RestoreDC(1)); // nothing saved any more
    EXPECT_EQ(c.dc.GetCurrentPen(), &red);
    EXPECT_EQ(c.dc.GetCurrentBrush(), whiteBrush);
    EXPECT_EQ(c.dc.GetTextColor(), kGreen);
    c.dc.Rectangle(6, 6, 10, 10); // the clip went with the restore
    e.Fill(CRect(6, 6, 10, 10), kRed);
    e.Fill(CRect(7, 7, 9, 9), 0xFFFFFF);
    EXPECT_TRUE(Matches(c, e));
    // Selecting through the common base answers the previous of the same kind.
    EXPECT_EQ(c.dc.SelectObject(previous), static_cast<CGdiObject*>(whiteBrush));

    EXPECT_EQ(c.dc.IntersectClipRect(0, 0, 2, 2), SIMPLEREGION);
    EXPECT_EQ(c.dc.SelectClipRgn(nullptr), SIMPLEREGION);
    c.dc.FillSolidRect(CRect(0, 9, 10, 10), kGreen);
    EXPECT_EQ(CountColour(c, CRect(0, 9, 10, 10), kGreen), 10);

    // A level left saved is given back to the painter with the context.
    QImage image = Paper(4, 4, kPaper);
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 4, 2));
    {
        CDC dc(&painter, &image);
        dc.SaveDC();
        dc.IntersectClipRect(0, 0, 1, 1);
    }
    EXPECT_EQ(painter.clipBoundingRect(), QRectF(0, 0, 4, 2));
}

// Text ------------------------------------------------------------------------------
