#pragma once
// Helpers of the drawing-context tests: a canvas (an image with a painter
// and a context on it), the picture a test expects, and pixel comparisons.

#include "platform/gdi/dc.h"
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <vector>

namespace dctest {

// A colour none of the tests draws with.
constexpr COLORREF kPaper = RGB(0x20, 0x40, 0x60);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

inline QImage Paper(int width, int height, COLORREF paper) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(GetRValue(paper), GetGValue(paper), GetBValue(paper)));
    return image;
}

// An image with a painter and a context on it.
struct Canvas {
    Canvas(int width, int height, COLORREF paper = kPaper)
        : image(Paper(width, height, paper)), painter(&image), dc(&painter, &image) {}

    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }

    QImage image;
    QPainter painter;
    CDC dc;
};

// The picture a test expects, built from plain pixel statements.
struct Expected {
    Expected(int w, int h, COLORREF paper = kPaper) : width(w), pixels(size_t(w * h), paper) {}

    void Fill(const CRect& r, COLORREF c) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                Set(x, y, c);
    }
    void Set(int x, int y, COLORREF c) {
        if (x >= 0 && x < width && y >= 0 && y < int(pixels.size()) / width)
            pixels[size_t(y * width + x)] = c;
    }
    // A one-pixel frame with the corner rule of Draw3dRect.
    void Frame3d(const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
        Fill(CRect(r.left, r.top, r.right - 1, r.top + 1), topLeft);
        Fill(CRect(r.left, r.top, r.left + 1, r.bottom - 1), topLeft);
        Fill(CRect(r.right - 1, r.top, r.right, r.bottom), bottomRight);
        Fill(CRect(r.left, r.bottom - 1, r.right, r.bottom), bottomRight);
    }

    int width;
    std::vector<COLORREF> pixels;
};

// Compares every pixel and names the first ones that differ.
inline ::testing::AssertionResult Matches(const Canvas& canvas, const Expected& expected) {
    std::ostringstream diffs;
    int count = 0;
    for (size_t i = 0; i < expected.pixels.size(); ++i) {
        const int x = int(i) % expected.width, y = int(i) / expected.width;
        const COLORREF actual = canvas.At(x, y);
        if (actual == expected.pixels[i])
            continue;
        if (++count <= 6)
            diffs << " (" << x << ", " << y << ") expected " << std::hex << expected.pixels[i]
                  << " got " << actual << std::dec << ";";
    }
    if (count == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " pixels differ:" << diffs.str();
}

// The smallest rectangle holding every pixel that is not the paper colour.
inline CRect InkBox(const Canvas& canvas, COLORREF paper = kPaper) {
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < canvas.image.height(); ++y)
        for (int x = 0; x < canvas.image.width(); ++x)
            if (canvas.At(x, y) != paper)
                box.SetRect(std::min<int>(box.left, x), std::min<int>(box.top, y),
                            std::max<int>(box.right, x + 1), std::max<int>(box.bottom, y + 1));
    return box;
}

inline int CountColour(const Canvas& canvas, const CRect& area, COLORREF colour) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += canvas.At(x, y) == colour;
    return n;
}

} // namespace dctest
