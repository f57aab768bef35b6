#include "controls/slidercontrol.h"
#include "platform/window.h"
#include "testsupport.h"
#include "valuehost.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <cmath>

using valuetests::Log;
using valuetests::LoggingHost;

namespace {

constexpr int kSliderId = 458941191;
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

CSliderControl* MakeSlider(LoggingHost& host, int id = kSliderId, bool add = true) {
    const CRect rect(279, 122, 520, 153);
    auto* slider = new CSliderControl(&host, &host.m_widget, id, &rect, 0, kStyle);
    if (add)
        host.AddControl(slider);
    return slider;
}

} // namespace

TEST(SliderControl, StartsAsATrackbarFrom0To100) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    EXPECT_EQ(slider->GetRangeMin(), 0);
    EXPECT_EQ(slider->GetRangeMax(), 100);
    EXPECT_EQ(slider->GetPos(), 0);
    EXPECT_EQ(slider->m_nLastPos, -999999);
    EXPECT_EQ(slider->m_crBackground, 0xEFEEEBu);
    EXPECT_EQ(slider->m_dwFlags, DWORD(CTRL_OWN_BRUSH));
    EXPECT_EQ(slider->m_pWnd, slider);
    EXPECT_EQ(platform::GetDlgCtrlID(slider), kSliderId);
    EXPECT_EQ(slider->geometry(), QRect(279, 122, 241, 31));
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_EQ(slider->pageStep(), 20);
    EXPECT_TRUE(host.log.empty());

    const CRect rect(0, 0, 30, 200);
    CSliderControl vertical(&host, &host.m_widget, 7, &rect, 0x40, kStyle | TBS_VERT);
    EXPECT_EQ(vertical.orientation(), Qt::Vertical);
    EXPECT_TRUE(vertical.invertedAppearance()) << "minimum at the top";
    EXPECT_EQ(vertical.m_dwFlags, DWORD(0x40 | CTRL_OWN_BRUSH));
}

TEST(SliderControl, QtValueChangeIsNotifiedOnceIntBeforeDouble) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    slider->SetRange(0, 255);
    EXPECT_TRUE(host.log.empty()) << "a range change is not a scroll";

    slider->setValue(51);
    EXPECT_EQ(host.log, (Log{"int 458941191 51", "double 458941191 0.200000"}));
    EXPECT_EQ(slider->m_nLastPos, 51);

    host.log.clear();
    slider->setValue(51);
    EXPECT_TRUE(host.log.empty()) << "no change, no notification";

    slider->setValue(255);
    EXPECT_EQ(host.log, (Log{"int 458941191 255", "double 458941191 1.000000"}));
}

TEST(SliderControl, UserKeyPressMovesAndNotifies) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    slider->SetRange(0, 255);
    slider->SetPos(100);
    EXPECT_TRUE(host.log.empty());
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(slider, &right);
    EXPECT_EQ(slider->GetPos(), 101);
    char fraction[64];
    std::snprintf(fraction, sizeof fraction, "double 458941191 %.6f", 101.0 / 255.0);
    EXPECT_EQ(host.log, (Log{"int 458941191 101", fraction}));
    QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(slider, &pageUp);
    EXPECT_EQ(slider->GetPos(), 152) << "a page is a fifth of the range";
}

TEST(SliderControl, ScrollOfASliderOutsideTheManagerIsNotNotified) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host, 5, false);
    slider->setValue(40);
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(slider->m_nLastPos, -999999);
    // Its own value operation still fires.
    slider->SetIntValue(41);
    EXPECT_EQ(host.log, (Log{"int 5 41", "double 5 0.410000"}));
    delete slider;
}

TEST(SliderControl, SetIntValueAndFire) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    slider->SetIntValue(0); // the position already
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(slider->m_nLastPos, -999999);

    slider->SetIntValue(30);
    EXPECT_EQ(host.log, (Log{"int 458941191 30", "double 458941191 0.300000"}));
    host.log.clear();

    EXPECT_EQ(slider->Fire(0), 0) << "nothing changed since the last notification";
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(slider->Fire(1), TRUE);
    EXPECT_EQ(host.log, (Log{"int 458941191 30", "double 458941191 0.300000"}));

    // Out of range: the trackbar clamps, and only a real change notifies.
    host.log.clear();
    slider->SetIntValue(500);
    EXPECT_EQ(slider->GetPos(), 100);
    EXPECT_EQ(host.log, (Log{"int 458941191 100", "double 458941191 1.000000"}));
    host.log.clear();
    slider->SetIntValue(600);
    EXPECT_TRUE(host.log.empty());
}

TEST(SliderControl, FireWithoutManagerAnswersZeroButRemembers) {
    const CRect rect(0, 0, 100, 20);
    CSliderControl slider(nullptr, nullptr, 9, &rect, 0, kStyle);
    slider.SetPos(12);
    EXPECT_EQ(slider.Fire(1), 0);
    EXPECT_EQ(slider.m_nLastPos, 12);
}

TEST(SliderControl, FractionsOfTheRange) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    slider->SetRange(0, 255);
    slider->SetDoubleValue(0.5);
    EXPECT_EQ(slider->GetPos(), 127) << "0.5 * 255 truncated";
    EXPECT_DOUBLE_EQ(slider->GetDoubleValue(), 127.0 / 255.0);
    char fraction[64];
    std::snprintf(fraction, sizeof fraction, "double 458941191 %.6f", 127.0 / 255.0);
    EXPECT_EQ(host.log, (Log{"int 458941191 127", fraction}));

    host.log.clear();
    slider->SetDoubleValue(127.0 / 255.0); // the fraction already
    EXPECT_TRUE(host.log.empty());

    slider->SetRange(-100, 100);
    slider->SetDoubleValue(0.25);
    EXPECT_EQ(slider->GetPos(), -50);
    EXPECT_DOUBLE_EQ(slider->GetDoubleValue(), 0.25);

    // Fractions beyond 0..1 are clamped by the trackbar, not overflowed.
    slider->SetDoubleValue(1e300);
    EXPECT_EQ(slider->GetPos(), 100);
    slider->SetDoubleValue(-1e300);
    EXPECT_EQ(slider->GetPos(), -100);

    // An empty range divides by 1.
    slider->SetRange(10, 10);
    EXPECT_EQ(slider->GetPos(), 10);
    EXPECT_EQ(slider->GetDoubleValue(), 0.0);
    EXPECT_FALSE(std::isnan(slider->GetDoubleValue()));
}

TEST(SliderControl, UserDataIsTheRangeMaximum) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    EXPECT_EQ(slider->GetUserData(), 100);
    EXPECT_EQ(slider->m_nUserData, 100);
    slider->SetIntValue(80);
    host.log.clear();

    slider->SetUserData(255);
    EXPECT_EQ(slider->GetRangeMax(), 255);
    EXPECT_EQ(slider->m_nUserData, 255);
    EXPECT_EQ(slider->GetPos(), 80);

    // A smaller maximum pulls the position in without a notification; the
    // next fire reports it.
    slider->SetUserData(50);
    EXPECT_EQ(slider->GetPos(), 50);
    EXPECT_TRUE(host.log.empty());
    slider->Fire(0);
    EXPECT_EQ(host.log, (Log{"int 458941191 50", "double 458941191 1.000000"}));
}

TEST(SliderControl, MirrorsItsIntSource) {
    LoggingHost host;
    CSliderControl* source = MakeSlider(host, 1);
    CSliderControl* mirror = MakeSlider(host, 2);
    source->SetIntValue(20);
    host.log.clear();

    mirror->SetIntSource(source);
    EXPECT_EQ(mirror->GetPos(), 20) << "takes the source's value at once";
    EXPECT_EQ(host.log, (Log{"int 2 20", "double 2 0.200000"}));

    host.log.clear();
    source->setValue(30);
    // The mirror follows inside the source's int notification, before the
    // source's double one.
    EXPECT_EQ(host.log, (Log{"int 1 30", "int 2 30", "double 2 0.300000", "double 1 0.300000"}));
    EXPECT_EQ(mirror->GetPos(), 30);

    host.log.clear();
    host.Notify(3, kNotifyValue, kValueInt, 77);
    EXPECT_EQ(mirror->GetPos(), 30) << "another sender leaves it unchanged";
}

TEST(SliderControl, PaintsItsBackgroundColour) {
    LoggingHost host;
    CSliderControl* slider = MakeSlider(host);
    host.m_widget.show();
    const QImage image = slider->grab().toImage();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0xEB, 0xEE, 0xEF));
    EXPECT_EQ(image.pixel(image.width() - 1, 0), qRgb(0xEB, 0xEE, 0xEF));
}
