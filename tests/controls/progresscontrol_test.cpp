#include "controls/progresscontrol.h"
#include "platform/window.h"
#include "testsupport.h"
#include "valuehost.h"

#include <QImage>
#include <gtest/gtest.h>

using valuetests::LoggingHost;

namespace {

CProgressControl* MakeBar(LoggingHost& host, DWORD style = WS_CHILD | WS_VISIBLE | PBS_SMOOTH) {
    const CRect rect(10, 10, 210, 30);
    return host.Add(new CProgressControl(&host, &host.m_widget, 1654564774, &rect, 0x0800, style));
}

// Whether the bar's fill reaches the column x, judged by the pixel on the
// middle row against the empty end of the bar.
bool FilledAt(const QImage& image, int x, QRgb emptyColour) {
    return image.pixel(x, image.height() / 2) != emptyColour;
}

} // namespace

TEST(ProgressControl, StartsAsTheWindowSystemsBar) {
    LoggingHost host;
    CProgressControl* bar = MakeBar(host);
    int lower = -1, upper = -1;
    bar->GetRange(&lower, &upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 100);
    EXPECT_EQ(bar->GetPos(), 0);
    EXPECT_EQ(bar->m_dwFlags, 0x0800u);
    EXPECT_EQ(bar->m_pWnd, bar);
    EXPECT_EQ(platform::GetDlgCtrlID(bar), 1654564774);
    EXPECT_EQ(bar->geometry(), QRect(10, 10, 200, 20));
    EXPECT_FALSE(bar->isTextVisible());
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    // No background colour of its own.
    EXPECT_FALSE(bar->m_dwFlags & CTRL_OWN_BRUSH);
    EXPECT_EQ(host.FindControl(1654564774), bar);
}

TEST(ProgressControl, PositionStaysInsideTheRange) {
    LoggingHost host;
    CProgressControl* bar = MakeBar(host);
    bar->SetRange(0, 255);
    bar->SetPos(127);
    EXPECT_EQ(bar->GetPos(), 127);
    EXPECT_EQ(bar->value(), 127);
    EXPECT_EQ(bar->maximum(), 255);
    bar->SetPos(300);
    EXPECT_EQ(bar->GetPos(), 255);
    EXPECT_EQ(bar->value(), 255);
    bar->SetPos(-4);
    EXPECT_EQ(bar->GetPos(), 0);
    EXPECT_EQ(bar->value(), 0);

    // A narrower range pulls the position in.
    bar->SetPos(200);
    bar->SetRange(10, 99);
    EXPECT_EQ(bar->GetPos(), 99);
    bar->SetRange(150, 400);
    EXPECT_EQ(bar->GetPos(), 150);
    int lower = 0, upper = 0;
    bar->GetRange(&lower, &upper);
    EXPECT_EQ(lower, 150);
    EXPECT_EQ(upper, 400);

    // Ranges beyond 16 bits are kept whole: a picture 70000 rows high
    // still fills the bar only at its last row.
    bar->SetRange(0, 69999);
    bar->SetPos(65536);
    EXPECT_EQ(bar->GetPos(), 65536);
    EXPECT_EQ(bar->maximum(), 69999);
}

TEST(ProgressControl, EmptyRangeShowsNoBusyIndicator) {
    LoggingHost host;
    CProgressControl* bar = MakeBar(host);
    // A picture one row high reports the range 0 .. 0.
    bar->SetRange(0, 0);
    bar->SetPos(0);
    EXPECT_EQ(bar->GetPos(), 0);
    EXPECT_NE(bar->minimum(), bar->maximum()) << "Qt shows 0..0 as a busy bar";
    EXPECT_EQ(bar->value(), bar->minimum());
    // An inverted range ends on its upper end.
    bar->SetRange(50, 20);
    bar->SetPos(35);
    EXPECT_EQ(bar->GetPos(), 20);
}

TEST(ProgressControl, ReceivesTheProgressOfRowWork) {
    LoggingHost host;
    CProgressControl* bar = MakeBar(host);
    CProgressReceiver* receiver = bar;
    receiver->SetRange(0, 9);
    for (int row = 0; row < 10; ++row) {
        receiver->SetPos(row);
        ASSERT_EQ(bar->GetPos(), row);
    }
    EXPECT_TRUE(host.log.empty()) << "a progress bar raises no notification";
}

TEST(ProgressControl, PaintsTheFillUpToThePosition) {
    LoggingHost host;
    CProgressControl* bar = MakeBar(host);
    host.m_widget.show();
    bar->SetRange(0, 100);
    bar->SetPos(0);
    bar->Redraw(nullptr, 0);
    const QImage empty = bar->grab().toImage();
    const QRgb emptyColour = empty.pixel(100, 10);
    EXPECT_EQ(empty.pixel(50, 10), emptyColour);

    bar->SetPos(50);
    bar->Redraw(nullptr, 0);
    const QImage half = bar->grab().toImage();
    EXPECT_TRUE(FilledAt(half, 50, emptyColour)) << "a quarter of the way is filled";
    EXPECT_FALSE(FilledAt(half, 150, emptyColour)) << "three quarters of the way is not";

    // Past the end: full, not ignored as Qt alone would.
    bar->SetPos(1000);
    bar->Redraw(nullptr, 0);
    const QImage full = bar->grab().toImage();
    EXPECT_TRUE(FilledAt(full, 150, emptyColour));
}
