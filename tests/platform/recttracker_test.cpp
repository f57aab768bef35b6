#include "platform/gdi/dc.h"
#include "platform/overlay.h"
#include "platform/recttracker.h"
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr UINT kStyle =
    CRectTracker::solidLine | CRectTracker::hatchedBorder | CRectTracker::resizeOutside; // 0x15

CRectTracker MakeTracker(const CRect& r, UINT style = kStyle) {
    CRectTracker tracker(&r, style);
    tracker.m_nHandleSize = 5;
    return tracker;
}

constexpr QRgb kGrey = 0xFF808080;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

QImage Render(const CRectTracker& tracker) {
    QImage image(300, 250, QImage::Format_RGB32);
    image.fill(kGrey);
    QPainter painter(&image);
    CDC dc(&painter, &image);
    tracker.Draw(&dc);
    return image;
}

// A window whose presses start tracking, like a control with a selection.
class TrackingWindow : public QWidget {
public:
    explicit TrackingWindow(CRectTracker& tracker) : m_tracker(tracker) {
        resize(320, 260);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    BOOL allowInvert = FALSE;
    int tracks = 0;
    BOOL result = -1;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0x336699)); }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        ++tracks;
        result = m_tracker.Track(this, POINT{p.x(), p.y()}, allowInvert);
    }

private:
    CRectTracker& m_tracker;
};

// Presses the left button at a point and, while the tracking loop runs,
// does what the script says (mouse moves and the release).
void PressAndRun(QWidget& w, QPoint at, const std::function<void()>& script) {
    QTimer::singleShot(0, script);
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, at);
}

// A tracker that records every change it is told of.
class RecordingTracker : public CRectTracker {
public:
    using CRectTracker::CRectTracker;
    void OnChangedRect(const CRect& old) override {
        changes.push_back(old);
        after.push_back(m_rect);
    }
    std::vector<CRect> changes;
    std::vector<CRect> after;
};

} // namespace

TEST(RectTracker, TrueRectHandlesAndMaskOfAnOutsideFrame) {
    CRectTracker tracker = MakeTracker(CRect(100, 100, 200, 160));
    CRect r;
    tracker.GetTrueRect(&r);
    EXPECT_EQ(r, CRect(95, 95, 205, 165)); // line 1 + handle 5 - 1
    tracker.GetHandleRect(CRectTracker::hitTopLeft, &r);
    EXPECT_EQ(r, CRect(95, 95, 100, 100));
    tracker.GetHandleRect(CRectTracker::hitBottomRight, &r);
    EXPECT_EQ(r, CRect(200, 160, 205, 165));
    tracker.GetHandleRect(CRectTracker::hitTop, &r);
    EXPECT_EQ(r, CRect(147, 95, 152, 100)); // 95 + (110 - 5) / 2
    tracker.GetHandleRect(CRectTracker::hitLeft, &r);
    EXPECT_EQ(r, CRect(95, 127, 100, 132)); // 95 + (70 - 5) / 2
    EXPECT_EQ(tracker.GetHandleMask(), 0xFFu);

    // Sides of three handles and less keep only the corners: 15 + 4 is not
    // more than 4 over three handles.
    tracker.m_rect = CRect(100, 100, 119, 200);
    EXPECT_EQ(tracker.GetHandleMask(), 0xAFu);
    tracker.m_rect = CRect(100, 100, 200, 119);
    EXPECT_EQ(tracker.GetHandleMask(), 0x5Fu);

    // Inside handles shrink to half the smaller side.
    CRectTracker inside = MakeTracker(CRect(10, 10, 16, 40), CRectTracker::resizeInside);
    EXPECT_EQ(inside.GetHandleSize(), 3);
    inside.GetTrueRect(&r);
    EXPECT_EQ(r, CRect(10, 10, 16, 40));
}

TEST(RectTracker, HitTestFindsHandlesBorderAndInside) {
    CRectTracker tracker = MakeTracker(CRect(100, 100, 200, 160));
    EXPECT_EQ(tracker.HitTest(POINT{97, 97}), CRectTracker::hitTopLeft);
    EXPECT_EQ(tracker.HitTest(POINT{204, 97}), CRectTracker::hitTopRight);
    EXPECT_EQ(tracker.HitTest(POINT{202, 162}), CRectTracker::hitBottomRight);
    EXPECT_EQ(tracker.HitTest(POINT{96, 164}), CRectTracker::hitBottomLeft);
    EXPECT_EQ(tracker.HitTest(POINT{150, 96}), CRectTracker::hitTop);
    EXPECT_EQ(tracker.HitTest(POINT{203, 130}), CRectTracker::hitRight);
    EXPECT_EQ(tracker.HitTest(POINT{149, 163}), CRectTracker::hitBottom);
    EXPECT_EQ(tracker.HitTest(POINT{95, 129}), CRectTracker::hitLeft);
    EXPECT_EQ(tracker.HitTest(POINT{150, 130}), CRectTracker::hitMiddle);
    EXPECT_EQ(tracker.HitTest(POINT{120, 97}), CRectTracker::hitMiddle); // the hatched border
    EXPECT_EQ(tracker.HitTest(POINT{94, 130}), CRectTracker::hitNothing);
    EXPECT_EQ(tracker.HitTest(POINT{205, 130}), CRectTracker::hitNothing);

    // Without a border the gaps between the handles are outside.
    CRectTracker bare = MakeTracker(CRect(100, 100, 200, 160),
                                    CRectTracker::solidLine | CRectTracker::resizeOutside);
    EXPECT_EQ(bare.HitTest(POINT{120, 97}), CRectTracker::hitNothing);
    EXPECT_EQ(bare.HitTest(POINT{120, 99}), CRectTracker::hitMiddle); // the line
    EXPECT_EQ(bare.HitTest(POINT{97, 97}), CRectTracker::hitTopLeft);

    // An inverted rectangle shows its handles where the normalised one
    // would; the shown top-left handle moves its top and right sides.
    CRectTracker inverted = MakeTracker(CRect(200, 100, 100, 160));
    EXPECT_EQ(inverted.HitTest(POINT{97, 97}), CRectTracker::hitTopLeft);
    EXPECT_EQ(inverted.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitTopRight);
    EXPECT_EQ(inverted.NormalizeHit(CRectTracker::hitLeft), CRectTracker::hitRight);
    EXPECT_EQ(inverted.NormalizeHit(CRectTracker::hitTop), CRectTracker::hitTop);
    inverted.m_rect = CRect(200, 160, 100, 100);
    EXPECT_EQ(inverted.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitBottomRight);
    EXPECT_EQ(inverted.NormalizeHit(CRectTracker::hitMiddle), CRectTracker::hitMiddle);
}

TEST(RectTracker, DrawPaintsLineHatchedBorderAndHandles) {
    const QImage image = Render(MakeTracker(CRect(100, 100, 200, 160)));
    // The line one pixel outside the rectangle.
    EXPECT_EQ(image.pixel(99, 110), kBlack);
    EXPECT_EQ(image.pixel(200, 110), kBlack);
    EXPECT_EQ(image.pixel(120, 99), kBlack);
    EXPECT_EQ(image.pixel(120, 160), kBlack);
    // Inside and outside untouched.
    EXPECT_EQ(image.pixel(100, 100), kGrey);
    EXPECT_EQ(image.pixel(199, 159), kGrey);
    EXPECT_EQ(image.pixel(94, 110), kGrey);
    EXPECT_EQ(image.pixel(205, 110), kGrey);
    // The hatched border between line and true edge: black where
    // (x + y) % 4 == 3, white elsewhere.
    for (int x = 95; x <= 98; ++x)
        for (int y = 110; y < 120; ++y)
            EXPECT_EQ(image.pixel(x, y), (x + y) % 4 == 3 ? kBlack : kWhite) << x << ", " << y;
    for (int y = 95; y <= 98; ++y)
        for (int x = 110; x < 120; ++x)
            EXPECT_EQ(image.pixel(x, y), (x + y) % 4 == 3 ? kBlack : kWhite) << x << ", " << y;
    // Handles are solid black squares, the side ones too.
    for (int y = 95; y < 100; ++y)
        for (int x = 95; x < 100; ++x)
            EXPECT_EQ(image.pixel(x, y), kBlack);
    for (int y = 127; y < 132; ++y)
        for (int x = 200; x < 205; ++x)
            EXPECT_EQ(image.pixel(x, y), kBlack);

    // A dotted line takes every other pixel; hatching inside keeps the
    // pixels between its lines.
    const QImage dotted = Render(
        MakeTracker(CRect(20, 20, 60, 50), CRectTracker::dottedLine | CRectTracker::hatchInside));
    EXPECT_EQ(dotted.pixel(19, 21), kBlack); // 40 even
    EXPECT_EQ(dotted.pixel(19, 22), kGrey);
    EXPECT_EQ(dotted.pixel(20, 23), kBlack); // 43 % 4 == 3
    EXPECT_EQ(dotted.pixel(21, 23), kGrey);
}

TEST(RectTracker, CursorOfEachPartOnlyForTheClientArea) {
    QWidget w;
    w.resize(300, 250);
    CRectTracker tracker = MakeTracker(CRect(100, 100, 200, 160));
    struct Case {
        POINT p;
        Qt::CursorShape shape;
    } cases[] = {{{97, 97}, Qt::SizeFDiagCursor},  {{202, 162}, Qt::SizeFDiagCursor},
                 {{204, 97}, Qt::SizeBDiagCursor}, {{96, 164}, Qt::SizeBDiagCursor},
                 {{150, 96}, Qt::SizeVerCursor},   {{149, 163}, Qt::SizeVerCursor},
                 {{203, 130}, Qt::SizeHorCursor},  {{95, 129}, Qt::SizeHorCursor},
                 {{150, 130}, Qt::SizeAllCursor}};
    for (const Case& c : cases) {
        w.setCursor(Qt::ArrowCursor);
        EXPECT_TRUE(tracker.SetCursor(&w, 1, c.p)) << c.p;
        EXPECT_EQ(w.cursor().shape(), c.shape) << c.p;
    }
    w.setCursor(Qt::ArrowCursor);
    EXPECT_FALSE(tracker.SetCursor(&w, 1, POINT{10, 10}));
    EXPECT_FALSE(tracker.SetCursor(&w, 2, POINT{150, 130})); // not the client area
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

    // Without a point the mouse's own position counts.
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QCursor::setPos(w.mapToGlobal(QPoint(203, 130)));
    EXPECT_TRUE(tracker.SetCursor(&w, 1));
    EXPECT_EQ(w.cursor().shape(), Qt::SizeHorCursor);
}

TEST(RectTracker, TrackMovesTheRectangleWithARubberBandUntilRelease) {
    RecordingTracker tracker(nullptr, kStyle);
    tracker.m_rect = CRect(100, 100, 200, 160);
    tracker.m_nHandleSize = 5;
    TrackingWindow w(tracker);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    CRect bandDuring;
    bool bandShown = false;
    QImage during;
    PressAndRun(w, QPoint(150, 130), [&] {
        QTest::mouseMove(&w, QPoint(170, 145));
        auto* overlay = w.findChild<platform::COverlay*>();
        bandShown = overlay && overlay->HasBand();
        if (overlay)
            bandDuring = overlay->GetBandRect();
        during = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(171, 147));
    });
    EXPECT_EQ(w.tracks, 1);
    EXPECT_EQ(w.result, TRUE);
    EXPECT_EQ(tracker.m_rect, CRect(121, 117, 221, 177));
    // The band: the rectangle grown by the border (handle size less one).
    ASSERT_TRUE(bandShown);
    EXPECT_EQ(bandDuring, CRect(116, 111, 224, 179));
    // It inverts the window's pixels with x + y odd, over a band 4 wide.
    EXPECT_EQ(during.pixel(117, 120) & 0xFFFFFF, 0xCC9966u); // 237 odd, in the band
    EXPECT_EQ(during.pixel(118, 120) & 0xFFFFFF, 0x336699u); // even
    EXPECT_EQ(during.pixel(121, 121) & 0xFFFFFF, 0x336699u); // inside
    // The band goes with the tracking.
    EXPECT_EQ(w.findChild<platform::COverlay*>(), nullptr);
    EXPECT_EQ(w.grab().toImage().pixel(117, 120) & 0xFFFFFF, 0x336699u);
    // Two changes, each told with the rectangle before it.
    ASSERT_EQ(tracker.changes.size(), 2u);
    EXPECT_EQ(tracker.changes[0], CRect(100, 100, 200, 160));
    EXPECT_EQ(tracker.after[0], CRect(120, 115, 220, 175));
    EXPECT_EQ(tracker.changes[1], CRect(120, 115, 220, 175));
}

TEST(RectTracker, SidesMayPassEachOtherOnlyWhenInvertingIsAllowed) {
    CRectTracker tracker = MakeTracker(CRect(100, 100, 200, 160));
    TrackingWindow w(tracker);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.allowInvert = TRUE;
    // The right handle dragged 150 to the left.
    PressAndRun(w, QPoint(202, 130), [&] {
        QTest::mouseMove(&w, QPoint(52, 130));
        QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(52, 130));
    });
    EXPECT_EQ(w.result, TRUE);
    EXPECT_EQ(tracker.m_rect, CRect(100, 100, 50, 160));

    // The handle now shown on the right is the rectangle's left side.
    PressAndRun(w, QPoint(102, 130), [&] {
        QTest::mouseMove(&w, QPoint(22, 130));
        QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(22, 130));
    });
    EXPECT_EQ(tracker.m_rect, CRect(20, 100, 50, 160));

    w.allowInvert = FALSE;
    tracker.m_rect = CRect(100, 100, 200, 160);
    PressAndRun(w, QPoint(150, 162), [&] { // the bottom handle, above the top
        QTest::mouseMove(&w, QPoint(150, 42));
        QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(150, 42));
    });
    EXPECT_EQ(tracker.m_rect, CRect(100, 40, 200, 100));
}

TEST(RectTracker, EscapeAndTheRightButtonCancelAndRestore) {
    CRectTracker tracker = MakeTracker(CRect(100, 100, 200, 160));
    TrackingWindow w(tracker);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    PressAndRun(w, QPoint(150, 130), [&] {
        QTest::mouseMove(&w, QPoint(180, 150));
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    EXPECT_EQ(w.result, FALSE);
    EXPECT_EQ(tracker.m_rect, CRect(100, 100, 200, 160));
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(180, 150));

    PressAndRun(w, QPoint(150, 130), [&] {
        QTest::mouseMove(&w, QPoint(180, 150));
        QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, QPoint(180, 150));
    });
    EXPECT_EQ(w.result, FALSE);
    EXPECT_EQ(tracker.m_rect, CRect(100, 100, 200, 160));
    QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, QPoint(180, 150));
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(180, 150));

    // A press on no part tracks nothing and answers at once.
    PressAndRun(w, QPoint(10, 10), [] {});
    EXPECT_EQ(w.result, FALSE);
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
}

TEST(RectTracker, ASideKeepsTheMinimumSizeOnEitherSide) {
    CRectTracker tracker = MakeTracker(CRect(100, 100, 200, 160));
    tracker.m_sizeMin = CSize(12, 12);
    TrackingWindow w(tracker);
    w.allowInvert = TRUE;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    PressAndRun(w, QPoint(202, 130), [&] {
        QTest::mouseMove(&w, QPoint(107, 130)); // width 5
        QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(107, 130));
    });
    EXPECT_EQ(tracker.m_rect, CRect(100, 100, 112, 160));
    tracker.m_rect = CRect(100, 100, 200, 160);
    PressAndRun(w, QPoint(202, 130), [&] {
        QTest::mouseMove(&w, QPoint(97, 130)); // width -5
        QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(97, 130));
    });
    EXPECT_EQ(tracker.m_rect, CRect(100, 100, 88, 160));
}
