#pragma once
// Helpers of the popup tests: synthetic mouse events, the display flags
// put back after a test, and a guard that ends a modal loop which a test
// failed to end.

#include "content/appsettings.h"

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <Qt>

#include <functional>

#include <gtest/gtest.h>

class QWidget;

namespace popuptest {

// Sends a mouse event to the widget at a point of its client area; the
// screen point is mapped from the widget's current place.
void SendMouse(QWidget* widget, int type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons);

// What the widget paints, and one of its pixels as 0xRRGGBB.
QImage Grab(QWidget* widget);
unsigned PixelOf(const QImage& image, int x, int y);

// Sets the display flags for one test and restores them afterwards.
class DisplayFlags {
public:
    explicit DisplayFlags(DWORD flags) : m_saved(AppSettings().GetDisplayFlags()) {
        AppSettings().SetDisplayFlags(flags);
    }
    ~DisplayFlags() { AppSettings().SetDisplayFlags(m_saved); }
    DisplayFlags(const DisplayFlags&) = delete;
    DisplayFlags& operator=(const DisplayFlags&) = delete;

private:
    DWORD m_saved;
};

// Calls end after five seconds unless destroyed first, and remembers that
// it had to: a loop the test should have ended is a failure, not a hang.
class LoopGuard {
public:
    explicit LoopGuard(std::function<void()> end);
    bool Fired() const { return m_bFired; }

private:
    QTimer m_timer;
    bool m_bFired = false;
};

} // namespace popuptest

namespace popuptest {

// A left click in the middle of a widget, through Qt's event system.
void ClickCentre(QWidget* widget);

// Runs the popup's modal loop (restricted to the window) and, once it
// runs, the user's actions; answers the run's result. A loop the actions
// did not end fails the test after five seconds instead of hanging.
template <class Popup> int RunWith(Popup& popup, std::function<void()> actions) {
    QTimer::singleShot(0, &popup, std::move(actions));
    LoopGuard guard([&popup] { popup.EndModal(); });
    const int result = popup.RunModal(TRUE);
    EXPECT_FALSE(guard.Fired()) << "the popup's loop had to be ended by the test";
    return result;
}

} // namespace popuptest
