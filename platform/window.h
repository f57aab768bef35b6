#pragma once
// Window services over Qt widgets: screen metrics, child identifiers and
// hit testing, window placement, and nested modal loops.

#include "platform/wintypes.h"

#include <string>

class QWidget;
class QEventLoop;

namespace platform {

// Size of the primary screen in pixels.
CSize ScreenSize();

// Paints a shown window at once, before the program goes on without an
// event loop (the splash while the surface is built): waits briefly for
// the window system to show it, then paints it.
void PaintNow(QWidget* window);

// The identifier of a child window (the control identifier for a control's
// window); 0 when none was set.
int GetDlgCtrlID(const QWidget* window);
void SetDlgCtrlID(QWidget* window, int id);

// The visible, enabled child of the host under a point in the host's client
// coordinates; the host itself when no child is there, null outside it.
QWidget* ChildWindowFromPoint(QWidget* host, POINT clientPoint);

// Coordinates between a window's client area and the screen.
POINT ClientToScreen(const QWidget* window, POINT point);
POINT ScreenToClient(const QWidget* window, POINT point);
POINT CursorPos();

// Moves and sizes a window (client-relative to its parent for children).
void MoveWindow(QWidget* window, const CRect& rect);
CRect WindowRect(const QWidget* window); // in screen coordinates
CRect ClientRect(const QWidget* window); // (0, 0, width, height)

// True when a visible top-level window of this process, or of another
// running copy of the program (the per-user instance registry), has
// exactly this title.
bool FindTopLevelWindow(const std::string& title);

// Closes a window as destroyed: its close handling can tell this from a
// request to close (the user's close box, Alt+F4) and must not refuse it.
// Called while the window's own close is being handled (a close box that
// asked the quit question), it only marks the window: that handler then
// accepts its close.
void DestroyWindow(QWidget* window);
bool IsBeingDestroyed(const QWidget* window);

// A nested event loop that runs until End is called. Restricted to a
// window, the loop makes that window application-modal while it runs.
class CModalLoop {
public:
    CModalLoop();
    ~CModalLoop();
    CModalLoop(const CModalLoop&) = delete;
    CModalLoop& operator=(const CModalLoop&) = delete;

    int Run(QWidget* restrictTo);
    void End(int result = 0);
    bool IsRunning() const { return m_pLoop != nullptr; }

private:
    QEventLoop* m_pLoop;
    int m_nResult;
};

} // namespace platform
