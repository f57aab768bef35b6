#include "platform/overlay.h"
#include "platform/window.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A window that paints a colour that changes along x and y, so that every
// pixel the band inverts is told apart from its neighbours.
class Painted : public QWidget {
public:
    Painted() : m_image(400, 300, QImage::Format_RGB32) {
        for (int y = 0; y < m_image.height(); ++y)
            for (int x = 0; x < m_image.width(); ++x)
                m_image.setPixel(x, y, ColourAt(x, y));
        resize(200, 150);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    static QRgb ColourAt(int x, int y) { return qRgb(x & 0xFF, y & 0xFF, (x * 3 + y) & 0xFF); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
};

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Inside the frame of (l, t, r, b) grown inwards by the size?
bool InBand(int x, int y, const CRect& r, SIZE s) {
    const bool outer = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    const bool inner =
        x >= r.left + s.cx && x < r.right - s.cx && y >= r.top + s.cy && y < r.bottom - s.cy;
    return outer && !inner;
}

// Every pixel: inverted where the band lies and x + y is odd, as it was
// elsewhere. Answers the first difference.
std::string CompareWithBand(const QImage& image, const CRect* band, SIZE size) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QRgb expected = Painted::ColourAt(x, y) & 0xFFFFFF;
            if (band && InBand(x, y, *band, size) && (x + y) % 2 == 1)
                expected ^= 0xFFFFFF;
            const QRgb actual = image.pixel(x, y) & 0xFFFFFF;
            if (actual != expected) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d, %d): expected %06X, got %06X", x, y,
                              unsigned(expected), unsigned(actual));
                return text;
            }
        }
    return "";
}

} // namespace

TEST(Overlay, BandInvertsWhatTheWindowPaintedAndGoesAwayWithoutTrace) {
    Painted target;
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    platform::COverlay overlay(&target);
    EXPECT_FALSE(overlay.isVisible());
    EXPECT_EQ(CompareWithBand(Grab(target), nullptr, SIZE{0, 0}), "");

    const CRect first(10, 12, 90, 70);
    overlay.SetDragRect(&first, SIZE{3, 2});
    EXPECT_TRUE(overlay.isVisible());
    EXPECT_TRUE(overlay.HasBand());
    EXPECT_EQ(CompareWithBand(Grab(target), &first, SIZE{3, 2}), "");

    // A new band replaces the old one: the old pixels come back.
    const CRect second(40, 30, 150, 140);
    overlay.SetDragRect(&second, SIZE{1, 1});
    EXPECT_EQ(CompareWithBand(Grab(target), &second, SIZE{1, 1}), "");

    // An inverted rectangle shows the band of its normalised form.
    const CRect inverted(150, 140, 40, 30);
    overlay.SetDragRect(&inverted, SIZE{1, 1});
    EXPECT_EQ(overlay.GetBandRect(), second);

    overlay.SetDragRect(nullptr, SIZE{0, 0});
    EXPECT_FALSE(overlay.HasBand());
    EXPECT_FALSE(overlay.isVisible());
    EXPECT_EQ(CompareWithBand(Grab(target), nullptr, SIZE{0, 0}), "");
}

TEST(Overlay, CoversTheWindowAndLetsTheMousePassThrough) {
    Painted target;
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    platform::COverlay overlay(&target);
    const CRect band(5, 5, 50, 50);
    overlay.SetDragRect(&band, SIZE{1, 1});
    EXPECT_EQ(overlay.geometry(), QRect(0, 0, 200, 150));
    target.resize(260, 180);
    EXPECT_EQ(overlay.geometry(), QRect(0, 0, 260, 180));

    // Neither the mouse nor the search for a drop target finds it.
    EXPECT_EQ(target.childAt(20, 20), nullptr);
    EXPECT_EQ(platform::ChildWindowFromPoint(&target, POINT{20, 20}), &target);
    EXPECT_TRUE(overlay.testAttribute(Qt::WA_TransparentForMouseEvents));
}
