#pragma once
// Following the mouse while the left button is held: the window takes all
// mouse input of the program until the button comes up. Trackers of
// rectangles and of the page's layers use it for their drags.

#include "platform/wintypes.h"

#include <functional>

class QWidget;

namespace platform {

// Key states of a tracked move, as the window system's mouse flags.
enum : UINT {
    kMouseShift = 0x0004,   // MK_SHIFT
    kMouseControl = 0x0008, // MK_CONTROL
};

// Hands every mouse move (and the release) to follow, in the window's
// client coordinates with the key state, until the left button is
// released (TRUE) or Escape or the right button cancels (FALSE). Ends
// (FALSE) when the window goes away.
bool TrackMouse(QWidget* wnd, const std::function<void(POINT point, UINT keys)>& follow);

} // namespace platform
