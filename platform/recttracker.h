#pragma once
// The frame around a rectangle on a window that lets the user move and
// size it: a line, a hatched border and eight resize handles drawn around
// the rectangle; hit testing of those parts, the cursor of each part, and
// tracking: the user drags the rectangle or one of its handles with the left
// button while a rubber band follows the mouse on an overlay.
//
// Geometry (R is m_rect normalised, s the handle size):
// - solidLine / dottedLine: a one-pixel black line just outside R.
// - The true rectangle, everything that is drawn: R grown by one pixel for
//   the line and by s - 1 more with resizeOutside or hatchedBorder.
// - hatchedBorder: black diagonal hatching on white between the line and
//   the true rectangle's edge.
// - resizeOutside: the handles are s x s squares in the corners of the true
//   rectangle and centred on its sides; resizeInside puts them just inside
//   the line instead.
// - hatchInside: black diagonal hatching over the inside of R.
// Handles are numbered by where they appear, whatever the orientation of
// m_rect; tracking moves the sides of m_rect that are shown there.

#include "platform/wintypes.h"

class CDC;
class QWidget;

namespace platform {
class COverlay;
}

class CRectTracker {
public:
    enum StyleFlags : UINT {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };
    enum TrackerHit : int {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker();
    CRectTracker(const RECT* rect, UINT style);
    virtual ~CRectTracker();

    // Drawing --------------------------------------------------------------------
    // Hatching, line and handles as the style asks.
    void Draw(CDC* dc) const;
    // Everything Draw paints lies inside this rectangle.
    void GetTrueRect(RECT* out) const;
    // The square of a handle (by where it appears).
    void GetHandleRect(int hit, RECT* out) const;

    // Hit testing and cursors ----------------------------------------------------------
    // The part under a point of the window: a handle, hitMiddle for the
    // rectangle and its border, hitNothing elsewhere (also between the
    // handles when there is no hatched border).
    int HitTest(POINT point) const;
    // The handle of m_rect's own sides that appears where the given handle
    // appears: left and right change places when m_rect is inverted
    // horizontally, top and bottom when it is inverted vertically.
    int NormalizeHit(int hit) const;
    // For the client area (hit-test code 1 only): the cursor of the part
    // under the point, set on the window; FALSE, changing nothing, over no
    // part. Without a point the mouse's position is taken.
    BOOL SetCursor(QWidget* wnd, UINT hitTest) const;
    BOOL SetCursor(QWidget* wnd, UINT hitTest, POINT point) const;

    // Tracking ------------------------------------------------------------------------
    // Follows the mouse from a press at the point until the left button is
    // released, moving the part under the point (nothing there: FALSE at
    // once). A rubber band shows the rectangle as it goes, on an overlay
    // over the window. With allowInvert a side may pass the opposite one
    // and m_rect stays inverted; otherwise it is kept normalised. TRUE when
    // the release ended it (m_rect holds the result, which may equal the
    // start); FALSE when Escape or the right button cancelled it (m_rect
    // restored).
    BOOL Track(QWidget* wnd, POINT point, BOOL allowInvert = FALSE);

    // Overridables ----------------------------------------------------------------------
    // Shows the rubber band of a rectangle (null: none) on the overlay: the
    // rectangle's border, grown by the handle size less one with a hatched
    // border.
    virtual void DrawTrackerRect(const RECT* rect, platform::COverlay* overlay);
    // Adjusts the rectangle while the given handle (of m_rect's sides) is
    // dragged: here each side keeps at least m_sizeMin.
    virtual void AdjustRect(int hit, RECT* rect);
    // After every change while tracking, with the rectangle before it.
    virtual void OnChangedRect(const CRect& oldRect);
    // Bit i for handle i: corners always, the side handles once the
    // rectangle is more than three handles long on that side.
    virtual UINT GetHandleMask() const;
    // m_nHandleSize; handles inside a rectangle shrink to half its smaller
    // side.
    virtual int GetHandleSize(const RECT* rect = nullptr) const;

    CRect m_rect;
    UINT m_nStyle;
    int m_nHandleSize;
    CSize m_sizeMin;

private:
    // The sides of m_rect that a handle (of m_rect's sides) moves.
    void MoveSides(int hit, const CRect& start, int dx, int dy, CRect* out) const;
};
