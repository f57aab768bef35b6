#pragma once
// The selection frame of the layer mixer: a rectangle tracker in the
// mixer window's client coordinates, with handles of 5 pixels, that leaves
// the rectangle exactly as the user drags it: no minimum size, no snapping,
// no fixed proportions, so a side may be dragged through the opposite one
// (the mixer then mirrors or flips the layer).

#include "platform/recttracker.h"

#include <functional>

class CSelectionTracker : public CRectTracker {
public:
    CSelectionTracker(const RECT* rect, UINT style);

    // Leaves the rectangle as it is.
    void AdjustRect(int hit, RECT* rect) override;
    // Tells the follower, when there is one, of each new rectangle.
    void OnChangedRect(const CRect& oldRect) override;

    // Set while a drag wants to show the layer at the frame's place.
    std::function<void(const CRect& rect)> m_followRect;
};
