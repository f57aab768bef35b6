// Editing on the page with the mouse: selecting the layer under a click,
// moving and sizing it with the selection frame (mirroring and flipping it
// when a side passes the other), clearing the selection, and the frame
// handles that set the page's proportions.

#include "layers/selectiontracker.h"
#include "mixertesthost.h"
#include "platform/overlay.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace mixertest;

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
// The page of a 469 x 419 mixer lies at (41, 6) in the control.
constexpr int kOx = 41;
constexpr int kOy = 6;

// Presses the left button at a control point of the mixer and, while the
// frame is tracked in its own loop, does what the script says.
void PressAndRun(CLayerMixer* mixer, int x, int y, const std::function<void()>& script) {
    QTimer::singleShot(0, script);
    SendMouse(mixer, QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton);
}

// A press and release at one point; a tracked frame ends with the release.
void Click(CLayerMixer* mixer, int x, int y) {
    PressAndRun(mixer, x, y, [=] { QTest::mouseRelease(mixer, Qt::LeftButton, {}, QPoint(x, y)); });
    // A press that tracked nothing leaves the release still queued.
    QCoreApplication::processEvents();
}

// A press at one point, a move to another, and the release there.
void Drag(CLayerMixer* mixer, int x0, int y0, int x1, int y1) {
    PressAndRun(mixer, x0, y0, [=] {
        QTest::mouseMove(mixer, QPoint((x0 + x1) / 2, (y0 + y1) / 2));
        QTest::mouseMove(mixer, QPoint(x1, y1));
        QTest::mouseRelease(mixer, Qt::LeftButton, {}, QPoint(x1, y1));
    });
}

CRect BoxOf(const CLayerChannel* layer) {
    return CLayerComposer::PageBox(layer);
}

} // namespace

TEST(SelectionTracker, KeepsTheRectangleAsDraggedWithHandlesOfFive) {
    const CRect r(10, 10, 50, 40);
    CSelectionTracker tracker(&r, 0x15);
    EXPECT_EQ(tracker.m_nHandleSize, 5);
    EXPECT_EQ(tracker.m_nStyle, 0x15u);
    CRect inverted(60, 10, 20, 12); // inverted and one pixel high
    tracker.AdjustRect(CRectTracker::hitRight, &inverted);
    EXPECT_EQ(inverted, CRect(60, 10, 20, 12));
}

TEST(SelectionTracker, AClickSelectsTheSmallestLayerUnderIt) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* large = host.AddPicture(40, 30, kRed);
    host.Place(large, 0, 0, 300, 300);
    CLayerChannel* small = host.AddPicture(40, 30, kBlue); // in front, selected
    host.Place(small, 100, 100, 50, 50);
    ASSERT_EQ(m->m_pSelected, small);

    // On the large one only: it becomes the list's and the page's selection.
    Click(m, kOx + 20, kOy + 20);
    EXPECT_EQ(m->m_pSelected, large);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 1);
    EXPECT_EQ(m->m_tracker.m_rect, CRect(kOx, kOy, kOx + 300, kOy + 300));
    // A click without movement on it keeps it ...
    Click(m, kOx + 20, kOy + 20);
    EXPECT_EQ(m->m_pSelected, large);
    EXPECT_EQ(BoxOf(large), CRect(0, 0, 300, 300));
    // ... unless a smaller layer under the mouse takes the selection.
    Click(m, kOx + 120, kOy + 120);
    EXPECT_EQ(m->m_pSelected, small);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 0);

    // The same with the small one behind the large one.
    MixerHost back;
    CLayerChannel* behind = back.AddPicture(40, 30, kBlue);
    back.Place(behind, 100, 100, 50, 50);
    CLayerChannel* front = back.AddPicture(40, 30, kRed);
    back.Place(front, 0, 0, 300, 300);
    ASSERT_EQ(back.mixer->m_pSelected, front);
    Click(back.mixer, kOx + 120, kOy + 120);
    EXPECT_EQ(back.mixer->m_pSelected, behind);
    EXPECT_EQ(back.layers->GetCurrentLayer(), 1);
}

TEST(SelectionTracker, DraggingTheFrameMovesTheLayerWithARubberBand) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, kGreen);
    host.Place(layer, 100, 100, 100, 60);
    bool band = false;
    CRect bandRect;
    PressAndRun(m, kOx + 150, kOy + 130, [&] {
        QTest::mouseMove(m, QPoint(kOx + 160, kOy + 135));
        QTest::mouseMove(m, QPoint(kOx + 170, kOy + 140));
        auto* overlay = m->findChild<platform::COverlay*>();
        band = overlay && overlay->HasBand();
        if (band)
            bandRect = overlay->GetBandRect();
        QTest::mouseRelease(m, Qt::LeftButton, {}, QPoint(kOx + 170, kOy + 140));
    });
    ASSERT_TRUE(band);
    // The band is the frame grown by the hatched border (4 pixels).
    EXPECT_EQ(bandRect, CRect(kOx + 116, kOy + 106, kOx + 224, kOy + 174));
    EXPECT_EQ(BoxOf(layer), CRect(120, 110, 220, 170));
    EXPECT_EQ(layer->m_nMirrored, 0);
    EXPECT_EQ(layer->m_nFlipped, 0);
    EXPECT_EQ(m->m_tracker.m_rect, CRect(kOx + 120, kOy + 110, kOx + 220, kOy + 170));
    // The old place shows the page again, the new one the layer.
    EXPECT_EQ(PagePixel(m->m_pPage, 105, 105), Rgb(kPageGrey));
    EXPECT_EQ(PagePixel(m->m_pPage, 215, 165), kGreen);
    EXPECT_EQ(ScreenPixel(host.Grab(), kOx + 215, kOy + 165), kGreen);
}

TEST(SelectionTracker, ASidePastTheOppositeOneMirrorsOrFlipsAndBackAgain) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddHalves(40, 30, kRed, kBlue);
    host.Place(layer, 100, 100, 100, 60);
    EXPECT_EQ(PagePixel(m->m_pPage, 110, 150), kRed);

    // The right handle sits on the true rectangle's right edge, centred.
    const int rightX = kOx + 200 + 2, midY = kOy + 130;
    Drag(m, rightX, midY, rightX - 150, midY);
    EXPECT_EQ(layer->m_nMirrored, 1);
    EXPECT_EQ(layer->m_nFlipped, 0);
    EXPECT_EQ(BoxOf(layer), CRect(50, 100, 100, 160));
    EXPECT_EQ(PagePixel(m->m_pPage, 55, 150), kBlue); // shown mirrored
    EXPECT_EQ(PagePixel(m->m_pPage, 95, 150), kRed);
    // The layer list shows its picture mirrored too.
    const QImage list = host.layers->grab().toImage();
    const int cx = list.width() / 2, cy = list.height() / 2;
    EXPECT_EQ(ScreenPixel(list, cx - 6, cy), kBlue);
    EXPECT_EQ(ScreenPixel(list, cx + 6, cy), kRed);

    // Again: the picture turns back.
    Drag(m, kOx + 100 + 2, midY, kOx + 100 + 2 - 100, midY);
    EXPECT_EQ(layer->m_nMirrored, 0);
    EXPECT_EQ(BoxOf(layer), CRect(0, 100, 50, 160));
    EXPECT_EQ(PagePixel(m->m_pPage, 5, 150), kRed);

    // The bottom handle dragged above the top flips it.
    const int bottomY = kOy + 160 + 2, midX = kOx + 25;
    Drag(m, midX, bottomY, midX, bottomY - 100);
    EXPECT_EQ(layer->m_nFlipped, 1);
    EXPECT_EQ(layer->m_nMirrored, 0);
    EXPECT_EQ(BoxOf(layer), CRect(0, 60, 50, 100));
    const QImage back = host.layers->grab().toImage();
    EXPECT_EQ(ScreenPixel(back, cx - 6, cy), kRed);
    EXPECT_EQ(ScreenPixel(back, cx + 6, cy), kBlue);
}

TEST(SelectionTracker, APressOnAnotherLayerSelectsAndDragsIt) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* a = host.AddPicture(40, 30, kRed);
    host.Place(a, 10, 10, 60, 60);
    CLayerChannel* b = host.AddPicture(40, 30, kBlue);
    host.Place(b, 200, 200, 60, 60);
    ASSERT_EQ(m->m_pSelected, b);
    Drag(m, kOx + 30, kOy + 30, kOx + 50, kOy + 40);
    EXPECT_EQ(m->m_pSelected, a);
    EXPECT_EQ(BoxOf(a), CRect(30, 20, 90, 80));
    EXPECT_EQ(BoxOf(b), CRect(200, 200, 260, 260));
}

TEST(SelectionTracker, AClickOnEmptyPageClearsTheSelectionForGood) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, kRed);
    host.Place(layer, 10, 10, 60, 60);
    Click(m, kOx + 300, kOy + 300);
    EXPECT_EQ(m->m_pSelected, nullptr);
    EXPECT_TRUE(m->m_tracker.m_rect.IsRectNull());
    m->Redraw(nullptr, 1);
    EXPECT_EQ(m->m_pSelected, nullptr);
    // No frame is drawn around the layer any more.
    EXPECT_EQ(ScreenPixel(host.Grab(), kOx + 9, kOy + 30), Rgb(kPageGrey));
    // A click on it selects it again.
    Click(m, kOx + 30, kOy + 30);
    EXPECT_EQ(m->m_pSelected, layer);
}

TEST(SelectionTracker, FrameHandlesSetTheMarginsUpToTheLimitAndNormaliseOnRelease) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, kRed);
    host.Place(layer, 193, 0, 193, 406); // the right half of the 386 x 406 page
    EXPECT_EQ(m->HitFrameHandle(41, 0), 1);
    EXPECT_EQ(m->HitFrameHandle(48, 6), 1);
    EXPECT_EQ(m->HitFrameHandle(49, 6), 0);
    EXPECT_EQ(m->HitFrameHandle(0, 6), 2);
    EXPECT_EQ(m->HitFrameHandle(7, 12), 2);
    EXPECT_EQ(m->HitFrameHandle(7, 13), 0);

    SendMouse(m, QEvent::MouseButtonPress, 43, 2, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(m->m_nActiveHandle, 1);
    EXPECT_EQ(ScreenPixel(host.Grab(), 44, 0), 0x14FF14u); // green while active
    SendMouse(m, QEvent::MouseMove, 400, 2, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m->m_dMarginX, 0.484);
    SendMouse(m, QEvent::MouseMove, 100, 2, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m->m_dMarginX, 100.0 / 469);
    const double marginY = m->m_dMarginY;
    SendMouse(m, QEvent::MouseButtonRelease, 100, 2, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(m->m_nActiveHandle, 0);

    // The page started from the proportions of the dragged margins and
    // drifted from there in the normalising steps (a wide control lets it
    // grow by about 11 %), fitted with the tight margin; the layer kept its
    // share of the page.
    const double dragged = (1 - 2 * (100.0 / 469)) / (1 - 2 * marginY);
    EXPECT_GT(m->m_dAspect, 1.10 * dragged);
    EXPECT_LT(m->m_dAspect, 1.12 * dragged);
    const CRect page = m->GetPageRect();
    int w = 0, h = 0;
    ASSERT_TRUE(m->GetPageSize(&w, &h));
    EXPECT_EQ(w, page.Width());
    EXPECT_EQ(h, page.Height());
    EXPECT_EQ(m->m_dMarginY, 0.016);
    EXPECT_NEAR(layer->m_dX / w, 0.5, 1e-12);
    EXPECT_NEAR(layer->m_dHeight / h, 1.0, 1e-12);
    EXPECT_EQ(PagePixel(m->m_pPage, w - 2, h - 2), kRed);
    EXPECT_EQ(PagePixel(m->m_pPage, 2, h - 2), Rgb(kPageGrey));
    // The animation's band is gone.
    auto* overlay = m->findChild<platform::COverlay*>();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(overlay->HasBand());

    // The vertical handle stops at the same limit.
    const CPoint o = m->GetPageOffset();
    SendMouse(m, QEvent::MouseButtonPress, 1, o.y + 1, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(m->m_nActiveHandle, 2);
    SendMouse(m, QEvent::MouseMove, 1, 418, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m->m_dMarginY, 0.484);
    SendMouse(m, QEvent::MouseButtonRelease, 1, 418, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(m->m_nActiveHandle, 0);
    EXPECT_TRUE(m->m_dMarginX == 0.016 || m->m_dMarginY == 0.016);
}
