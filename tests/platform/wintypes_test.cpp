#include "platform/bitmapheaders.h"
#include "platform/wintypes.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cstddef>

TEST(RectTest, EdgesAreExclusiveOnTheRightAndBottom) {
    const CRect r(10, 20, 30, 60);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_TRUE(r.PtInRect(POINT{10, 20}));
    EXPECT_TRUE(r.PtInRect(POINT{29, 59}));
    EXPECT_FALSE(r.PtInRect(POINT{30, 20}));
    EXPECT_FALSE(r.PtInRect(POINT{10, 60}));
    EXPECT_FALSE(r.PtInRect(POINT{9, 20}));
}

TEST(RectTest, EmptinessNormalisationAndMovement) {
    EXPECT_TRUE(CRect(5, 5, 5, 10).IsRectEmpty());
    EXPECT_TRUE(CRect(10, 0, 0, 10).IsRectEmpty());
    EXPECT_FALSE(CRect(0, 0, 1, 1).IsRectEmpty());

    CRect inverted(30, 40, 10, 20);
    inverted.NormalizeRect();
    EXPECT_EQ(inverted, CRect(10, 20, 30, 40));

    CRect r(0, 0, 10, 10);
    r.InflateRect(2, 3);
    EXPECT_EQ(r, CRect(-2, -3, 12, 13));
    r.OffsetRect(5, -1);
    EXPECT_EQ(r, CRect(3, -4, 17, 12));
    r.DeflateRect(1, 1);
    EXPECT_EQ(r, CRect(4, -3, 16, 11));
}

TEST(RectTest, IntersectionAndUnion) {
    CRect i;
    EXPECT_TRUE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
    EXPECT_EQ(i, CRect(5, 5, 10, 10));
    // Touching edges share no pixel.
    EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_TRUE(i.IsRectNull());

    CRect u;
    EXPECT_TRUE(u.UnionRect(CRect(0, 0, 10, 10), CRect(20, 5, 30, 15)));
    EXPECT_EQ(u, CRect(0, 0, 30, 15));
    EXPECT_TRUE(u.UnionRect(CRect(), CRect(1, 2, 3, 4)));
    EXPECT_EQ(u, CRect(1, 2, 3, 4));
}

TEST(ColorTest, ColourWordIsBlueGreenRed) {
    constexpr COLORREF c = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x00563412u);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0x56);
}

TEST(BitmapHeaderTest, LayoutMatchesTheFileFormat) {
    EXPECT_EQ(sizeof(BITMAPFILEHEADER), 14u);
    EXPECT_EQ(offsetof(BITMAPFILEHEADER, bfSize), 2u);
    EXPECT_EQ(offsetof(BITMAPFILEHEADER, bfOffBits), 10u);
    EXPECT_EQ(sizeof(BITMAPINFOHEADER), 40u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biBitCount), 14u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biClrImportant), 36u);
    EXPECT_EQ(sizeof(RGBQUAD), 4u);
    EXPECT_EQ(offsetof(RGBQUAD, rgbRed), 2u);
}
