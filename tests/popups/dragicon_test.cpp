#include "../imaging/imagingtest.h"
#include "popups/dragicon.h"
#include "popuptest.h"
#include "testsupport.h"

#include "imaging/dib.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using popuptest::DisplayFlags;
using popuptest::Grab;
using popuptest::LoopGuard;
using popuptest::PixelOf;
using popuptest::SendMouse;

namespace {

constexpr DWORD kExamined = CAppSettings::kDisplayExamined;

// Left half red, right half blue.
std::unique_ptr<CDIB> HalvesPicture(int width, int height) {
    return imagingtest::MakePicture(width, height, [width](int x, int) -> uint32_t {
        return x < width / 2 ? 0xFF0000 : 0x0000FF;
    });
}

} // namespace

TEST(DragIconTest, IconIsTheImageShrunkIntoAtMost80By70) {
    DisplayFlags flags(kExamined);
    const std::unique_ptr<CDIB> wide = HalvesPicture(200, 100);
    CDragNDropIcon icon;
    ASSERT_TRUE(icon.CreateAt(POINT{300, 250}, wide.get()));
    // Centred on the point at the image's size, then shrunk keeping its corner.
    EXPECT_EQ(icon.geometry(), QRect(200, 200, 80, 70));
    EXPECT_EQ(icon.windowTitle().toStdString(), "Drag'n'Drop");
    EXPECT_EQ(icon.m_nRole, 3);
    EXPECT_TRUE(icon.isVisible());
    EXPECT_TRUE(icon.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(icon.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(icon.windowType(), Qt::Tool);
    EXPECT_EQ(icon.m_pImage, wide.get());
    EXPECT_EQ(icon.Images().GetCount(), 0); // the dragged control keeps its image
    EXPECT_EQ(icon.GetDropFlag(), 0);
    EXPECT_EQ(CPoint(icon.GetDropPoint()), CPoint(0, 0));
    // The whole image is stretched into the icon, inside a one-pixel black
    // frame (a bordered popup without a caption).
    const QImage shown = Grab(&icon);
    ASSERT_EQ(shown.size(), QSize(80, 70));
    for (const QPoint p : {QPoint(1, 1), QPoint(39, 68), QPoint(20, 35)})
        EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0xFF0000u) << "at " << p.x() << ", " << p.y();
    for (const QPoint p : {QPoint(40, 1), QPoint(78, 68), QPoint(60, 35)})
        EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0x0000FFu) << "at " << p.x() << ", " << p.y();
    for (const QPoint p :
         {QPoint(0, 0), QPoint(79, 0), QPoint(0, 69), QPoint(79, 69), QPoint(40, 0), QPoint(0, 35)})
        EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0x000000u) << "at " << p.x() << ", " << p.y();
}

TEST(DragIconTest, SmallImagesGrowTo20By20AndNoImageShowsTheColour) {
    DisplayFlags flags(kExamined);
    const std::unique_ptr<CDIB> tiny = HalvesPicture(11, 7);
    CDragNDropIcon small;
    ASSERT_TRUE(small.CreateAt(POINT{100, 100}, tiny.get()));
    // Halves of 11 and 7 are 5 and 3.
    EXPECT_EQ(small.geometry(), QRect(95, 97, 20, 20));

    CDragNDropIcon plain;
    ASSERT_TRUE(plain.CreateAt(POINT{101, 100}, nullptr));
    EXPECT_EQ(plain.geometry(), QRect(81, 83, 40, 35));
    EXPECT_EQ(plain.m_pBackgroundImage, nullptr);
    const QImage shown = Grab(&plain);
    for (const QPoint p : {QPoint(1, 1), QPoint(38, 33)})
        EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0xC8D9F7u) << "at " << p.x() << ", " << p.y();
    for (const QPoint p : {QPoint(0, 0), QPoint(39, 34)})
        EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0x000000u) << "at " << p.x() << ", " << p.y();
}

TEST(DragIconTest, FollowsTheMouseAndReportsTheDropOnTheScreen) {
    DisplayFlags flags(kExamined);
    const std::unique_ptr<CDIB> image = HalvesPicture(60, 50);
    CDragNDropIcon icon;
    ASSERT_TRUE(icon.CreateAt(POINT{300, 200}, image.get()));
    ASSERT_EQ(icon.pos(), QPoint(270, 175));
    std::vector<std::string> seen;
    LoopGuard guard([&icon] { icon.EndModal(); });
    QTimer::singleShot(0, &icon, [&] {
        seen.push_back(icon.IsRunning() ? "tracking" : "idle");
        // The mouse at (275, 180) on the screen: the icon's corner goes 20 up and left.
        SendMouse(&icon, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::LeftButton);
        seen.push_back("moved to " + std::to_string(icon.x()) + "," + std::to_string(icon.y()));
        SendMouse(&icon, QEvent::MouseMove, {30, 25}, Qt::NoButton, Qt::LeftButton);
        seen.push_back("moved to " + std::to_string(icon.x()) + "," + std::to_string(icon.y()));
        // Released at (65, 465), far outside the icon and any window of the program.
        SendMouse(&icon, QEvent::MouseButtonRelease, {-200, 300}, Qt::LeftButton, Qt::NoButton);
        seen.push_back(icon.IsRunning() ? "tracking" : "ended");
    });
    POINT drop{-1, -1};
    EXPECT_TRUE(icon.Track(&drop));
    EXPECT_FALSE(guard.Fired()) << "the drag did not end";
    EXPECT_EQ(seen, (std::vector<std::string>{"tracking", "moved to 255,160", "moved to 265,165",
                                              "ended"}));
    EXPECT_EQ(CPoint(drop), CPoint(65, 465));
    EXPECT_EQ(icon.GetDropFlag(), 1);
    EXPECT_EQ(icon.size(), QSize(60, 50)); // moving keeps the size
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(DragIconTest, MoveWithTheButtonUpEndsWithoutADrop) {
    DisplayFlags flags(kExamined);
    CDragNDropIcon icon;
    ASSERT_TRUE(icon.CreateAt(POINT{300, 200}, nullptr));
    bool grabbed = false;
    LoopGuard guard([&icon] { icon.EndModal(); });
    QTimer::singleShot(0, &icon, [&] {
        grabbed = QWidget::mouseGrabber() == &icon;
        SendMouse(&icon, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    });
    POINT drop{-1, -1};
    EXPECT_FALSE(icon.Track(&drop));
    EXPECT_FALSE(guard.Fired()) << "the drag did not end";
    EXPECT_TRUE(grabbed) << "the icon did not capture the mouse while tracking";
    EXPECT_EQ(CPoint(drop), CPoint(-1, -1));
    EXPECT_EQ(icon.GetDropFlag(), 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}
