// The page while a layer is dragged (it shows the layer at its new place,
// not only a band), turned layers on the page (their frame, the knob that
// turns them, hit testing of the turned shape) and nudges, through mouse
// events and the commands of the keys and the context menu.

#include "layers/selectionframe.h"
#include "mixertesthost.h"

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

void PressAndRun(CLayerMixer* mixer, int x, int y, const std::function<void()>& script,
                 Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTimer::singleShot(0, script);
    const QPointF local(x, y);
    QMouseEvent press(QEvent::MouseButtonPress, local, mixer->mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, keys);
    QApplication::sendEvent(mixer, &press);
}

void Drag(CLayerMixer* mixer, int x0, int y0, int x1, int y1,
          Qt::KeyboardModifiers keys = Qt::NoModifier) {
    PressAndRun(
        mixer, x0, y0,
        [=] {
            QTest::mouseMove(mixer, QPoint(x1, y1));
            QMouseEvent move(QEvent::MouseMove, QPointF(x1, y1),
                             mixer->mapToGlobal(QPointF(x1, y1)), Qt::NoButton, Qt::LeftButton,
                             keys);
            QApplication::sendEvent(mixer, &move);
            QTest::mouseRelease(mixer, Qt::LeftButton, keys, QPoint(x1, y1));
        },
        keys);
}

int EditsHeard(const MixerHost& host) {
    int edits = 0;
    for (const std::string& line : host.log)
        edits += line == "select " + std::to_string(kMixerId) + " 0";
    return edits;
}

} // namespace

TEST(SelectionFrame, ThePageShowsTheLayerAtItsNewPlaceWhileItIsDragged) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddHalves(40, 30, kRed, kBlue);
    host.Place(layer, 100, 100, 100, 60);
    host.log.clear();
    uint32_t oldPlace = 0, newPlace = 0, screen = 0, mirroredLeft = 0;
    PressAndRun(m, kOx + 150, kOy + 130, [&] {
        QTest::mouseMove(m, QPoint(kOx + 190, kOy + 170));
        // Before the release: page and screen already show the move.
        oldPlace = PagePixel(m->m_pPage, 105, 105);
        newPlace = PagePixel(m->m_pPage, 145, 145);
        screen = ScreenPixel(host.Grab(), kOx + 235, kOy + 195);
        QTest::mouseRelease(m, Qt::LeftButton, {}, QPoint(kOx + 190, kOy + 170));
    });
    EXPECT_EQ(oldPlace, Rgb(kPageGrey));
    EXPECT_EQ(newPlace, kRed);
    EXPECT_EQ(screen, kBlue);
    EXPECT_EQ(CLayerComposer::PageBox(layer), CRect(140, 140, 240, 200));
    EXPECT_EQ(EditsHeard(host), 1) << "one drag, one edit";

    // The right side dragged through the left shows the layer mirrored
    // while it goes, as the release leaves it; Escape puts all back.
    const int rightX = kOx + 240 + 2, midY = kOy + 170;
    PressAndRun(m, rightX, midY, [&] {
        QTest::mouseMove(m, QPoint(rightX - 150, midY));
        mirroredLeft = PagePixel(m->m_pPage, 95, 170);
        QTest::keyClick(m, Qt::Key_Escape);
    });
    EXPECT_EQ(mirroredLeft, kBlue);
    EXPECT_EQ(layer->m_nMirrored, 0);
    EXPECT_EQ(CLayerComposer::PageBox(layer), CRect(140, 140, 240, 200));
    EXPECT_EQ(PagePixel(m->m_pPage, 95, 170), Rgb(kPageGrey));
    EXPECT_EQ(PagePixel(m->m_pPage, 145, 170), kRed);
    EXPECT_EQ(EditsHeard(host), 1) << "a cancelled drag is no edit";
}

TEST(SelectionFrame, NudgesMoveTheSelectedLayerByAPixelOrTen) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, kGreen);
    host.Place(layer, 100, 100, 50, 40);
    host.Notify(ID_LAYER_NUDGE_RIGHT, kNotifySelect);
    EXPECT_EQ(CLayerComposer::PageBox(layer), CRect(101, 100, 151, 140));
    EXPECT_EQ(PagePixel(m->m_pPage, 100, 120), Rgb(kPageGrey));
    EXPECT_EQ(PagePixel(m->m_pPage, 150, 120), kGreen);
    host.Notify(ID_LAYER_NUDGE_UP_FAR, kNotifySelect);
    host.Notify(ID_LAYER_NUDGE_LEFT, kNotifySelect);
    EXPECT_EQ(CLayerComposer::PageBox(layer), CRect(100, 90, 150, 130));
    EXPECT_EQ(PagePixel(m->m_pPage, 120, 135), Rgb(kPageGrey));
    EXPECT_EQ(PagePixel(m->m_pPage, 120, 90), kGreen);
    host.Notify(ID_LAYER_NUDGE_DOWN, kNotifySelect);
    host.Notify(ID_LAYER_NUDGE_RIGHT_FAR, kNotifySelect);
    EXPECT_EQ(CLayerComposer::PageBox(layer), CRect(110, 91, 160, 131));
}

TEST(SelectionFrame, ATurnedLayerIsFramedHitAndDrawnAsTurned) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* back = host.AddPicture(40, 30, kBlue);
    host.Place(back, 0, 0, 386, 406);
    CLayerChannel* layer = host.AddHalves(40, 20, kRed, kGreen);
    host.Place(layer, 100, 100, 120, 40); // centre (160, 120)
    host.Notify(ID_LAYER_ROTATE_RIGHT, kNotifySelect);
    EXPECT_EQ(layer->m_dAngle, 90.0);
    // Standing upright now: the red half on top, the green below.
    EXPECT_EQ(CLayerComposer::PageBox(layer), CRect(139, 59, 181, 181));
    EXPECT_EQ(PagePixel(m->m_pPage, 160, 70), kRed);
    EXPECT_EQ(PagePixel(m->m_pPage, 160, 170), kGreen);
    EXPECT_EQ(PagePixel(m->m_pPage, 110, 120), kBlue); // where it lay before
    // The frame's corners and knob turned with it: the knob now right of it.
    const CSelectionFrame frame(*layer, POINT{kOx, kOy}, SIZE{469, 419});
    const CPointD knob = frame.KnobCentre();
    EXPECT_DOUBLE_EQ(knob.x, kOx + 160 + 20 + 20);
    EXPECT_DOUBLE_EQ(knob.y, kOy + 120);
    const QImage screen = host.Grab();
    EXPECT_EQ(ScreenPixel(screen, kOx + 140, kOy + 120), 0u) << "the turned outline";
    EXPECT_EQ(ScreenPixel(screen, kOx + 150, kOy + 80), kRed);
    // A click in the cover beside the turned shape falls through to the back.
    host.Notify(ID_LAYER_ROTATE_LEFT, kNotifySelect);
    host.Notify(ID_LAYER_ROTATE_LEFT, kNotifySelect);
    EXPECT_EQ(layer->m_dAngle, 270.0);
    layer->m_dAngle = 45.0;
    m->InvalidateLayerBox(layer);
    m->Redraw(nullptr, 1);
    EXPECT_EQ(m->HitTestLayers(POINT{160, 120}), 0);
    EXPECT_EQ(m->HitTestLayers(POINT{105, 75}), 1) << "a corner of the cover, outside the shape";
}

TEST(SelectionFrame, TheKnobTurnsTheLayerInFifteenDegreeStepsWithShift) {
    MixerHost host;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.m_widget));
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddHalves(40, 20, kRed, kGreen);
    host.Place(layer, 100, 100, 120, 40); // centre (160, 120), knob at (160, 80)
    host.log.clear();
    const int cx = kOx + 160, cy = kOy + 120;
    // From straight above the centre to the right of it: a quarter turn.
    Drag(m, cx, cy - 40, cx + 50, cy);
    EXPECT_NEAR(layer->m_dAngle, 90.0, 1e-9);
    EXPECT_EQ(EditsHeard(host), 1);
    // With Shift the angle lands on a multiple of 15 degrees: 90 + 128.66
    // becomes 225.
    const CPointD knob = CSelectionFrame(*layer, POINT{kOx, kOy}, SIZE{469, 419}).KnobCentre();
    Drag(m, int(knob.x), int(knob.y), cx - 40, cy + 50, Qt::ShiftModifier);
    EXPECT_EQ(layer->m_dAngle, 225.0);
    EXPECT_EQ(m->m_pSelected, layer);
    // The turned box keeps its size and centre.
    EXPECT_EQ(CLayerComposer::PageBox(layer).CenterPoint(), CPoint(160, 120));
    EXPECT_EQ(layer->m_dWidth, 120.0);
}

TEST(SelectionFrame, ATurnedFrameSizesAlongTheLayersOwnSides) {
    // The right handle of a box turned a quarter moves its bottom on the
    // page; the left side stays where it is.
    CLayerPlacement start{100, 100, 120, 40, 90.0, 0, 0};
    CLayerPlacement sized = CSelectionFrame::Drag(start, 5, 0, 30);
    EXPECT_DOUBLE_EQ(sized.width, 150);
    EXPECT_DOUBLE_EQ(sized.height, 40);
    EXPECT_DOUBLE_EQ(sized.x + sized.width / 2, 160); // centre x
    EXPECT_DOUBLE_EQ(sized.y + sized.height / 2, 135);
    // Through the opposite side it mirrors; the middle only moves.
    CLayerPlacement through = CSelectionFrame::Drag(start, 5, 0, -150);
    EXPECT_EQ(through.mirrored, 1);
    EXPECT_DOUBLE_EQ(through.width, 30);
    CLayerPlacement moved = CSelectionFrame::Drag(start, CSelectionFrame::hitMiddle, 7, -3);
    EXPECT_DOUBLE_EQ(moved.x, 107);
    EXPECT_DOUBLE_EQ(moved.y, 97);
    EXPECT_EQ(moved.angle, 90.0);
    // Turning: a sweep from right to below is a quarter clockwise.
    EXPECT_NEAR(CSelectionFrame::Turn(10, CPointD{5, 0}, CPointD{0, 5}, false), 100, 1e-9);
    EXPECT_EQ(CSelectionFrame::Turn(10, CPointD{5, 0}, CPointD{0, 5}, true), 105.0);
    EXPECT_NEAR(CSelectionFrame::Turn(10, CPointD{5, 0}, CPointD{0, -5}, false), 280, 1e-9);
}
