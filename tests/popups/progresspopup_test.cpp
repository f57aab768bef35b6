#include "popups/progresspopup.h"
#include "popuptest.h"
#include "testsupport.h"

#include "controls/progresscontrol.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <cstdio>

using popuptest::DisplayFlags;
using popuptest::Grab;
using popuptest::PixelOf;

namespace {
constexpr DWORD kExamined = CAppSettings::kDisplayExamined;
}

TEST(ProgressPopupTest, RendererPopupIs300By60WithItsBarFillingIt) {
    DisplayFlags flags(kExamined);
    CProgressPopUpWindow popup;
    ASSERT_TRUE(popup.CreateCentred("Hallo"));
    const CSize screen = platform::ScreenSize();
    // Made 200 x 20 centred, then widened by its minimum size about its corner.
    EXPECT_EQ(popup.geometry(), QRect((screen.cx - 200) / 2, (screen.cy - 20) / 2, 300, 60));
    EXPECT_EQ(popup.windowTitle().toStdString(), "Hallo");
    EXPECT_TRUE(popup.isVisible());
    EXPECT_FALSE(popup.windowFlags() & Qt::FramelessWindowHint); // it has a caption
    EXPECT_TRUE(popup.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(popup.minimumSize(), QSize(300, 60));

    CProgressControl* bar = popup.GetProgressControl();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->m_nId, 1654564774);
    EXPECT_EQ(bar->parentWidget(), &popup);
    int lower = -1, upper = -1;
    bar->GetRange(&lower, &upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 255);
    EXPECT_EQ(bar->GetPos(), 0);
    EXPECT_TRUE(bar->GetFlags() & CTRL_NATURAL_MIN);
    EXPECT_EQ(*bar->GetNaturalRect(), CRect(0, 0, 280, 33));
    ASSERT_NE(popup.FindControl(11687689), nullptr);
    EXPECT_EQ(bar->m_pGroup, popup.FindControl(11687689));
    // The row group leaves 4 pixels around the bar.
    EXPECT_EQ(bar->geometry(), QRect(4, 4, 292, 52));

    // The background shows around the bar: 0x003C1E14 is red 14, green 1E, blue 3C.
    const QImage shown = Grab(&popup);
    for (const QPoint p : {QPoint(0, 0), QPoint(3, 30), QPoint(299, 59), QPoint(150, 57)})
        EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0x141E3Cu) << "at " << p.x() << ", " << p.y();
}

TEST(ProgressPopupTest, RangeAndPositionGoToTheBar) {
    DisplayFlags flags(kExamined);
    CProgressPopUpWindow popup;
    ASSERT_TRUE(popup.CreateCentred("Tekst"));
    CProgressReceiver* receiver = &popup;
    CProgressControl* bar = popup.GetProgressControl();
    ASSERT_NE(bar, nullptr);
    receiver->SetRange(10, 109);
    int lower = -1, upper = -1;
    bar->GetRange(&lower, &upper);
    EXPECT_EQ(lower, 10);
    EXPECT_EQ(upper, 109);
    EXPECT_EQ(bar->GetPos(), 10);
    receiver->SetPos(40);
    EXPECT_EQ(bar->GetPos(), 40);
    EXPECT_EQ(bar->value(), 40);
    EXPECT_EQ(bar->minimum(), 10);
    EXPECT_EQ(bar->maximum(), 109);
    receiver->SetPos(41); // less than a percent further: the bar still takes it
    EXPECT_EQ(bar->value(), 41);
    receiver->SetPos(500); // clamped by the bar to its range
    EXPECT_EQ(bar->GetPos(), 109);
    EXPECT_EQ(bar->value(), 109);
}

TEST(ProgressPopupTest, IntegerNotificationsAreOnlyPrinted) {
    DisplayFlags flags(kExamined);
    CProgressPopUpWindow popup;
    ASSERT_TRUE(popup.CreateCentred("Tekst"));
    testing::internal::CaptureStdout();
    popup.Notify(77, kNotifyValue, kValueInt, 42);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "window: integer 42 received from control 77\n");
    EXPECT_EQ(popup.GetProgressControl()->GetPos(), 0);
}
