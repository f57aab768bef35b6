#pragma once
// The frame around the selected layer when the layer is turned, and the
// turning handle every selected layer has: a round knob on a short stem
// above the middle of the box's top side (below the bottom side when the
// top lies too close to the control's edge). A turned layer's frame is its
// turned box with the eight size handles at the turned corners and side
// centres; the unturned frame stays the rectangle tracker's. The frame is
// in the mixer window's coordinates: the layer's page box plus the page's
// offset in the control.
//
// Dragging: the drags of a turned frame work in the box's own axes, so a
// side handle moves that side along the box's direction and the opposite
// side stays where it is on the page; a side dragged through the opposite
// one mirrors or flips the layer, as with the unturned frame. The turning
// handle turns the layer about its centre by the angle the mouse sweeps
// around that centre; with Shift the angle goes in steps of 15 degrees.

#include "imaging/rotatedbox.h"
#include "platform/wintypes.h"

class CDC;
class CLayerChannel;

// Where a layer lies and how it is shown, as a drag changes it.
struct CLayerPlacement {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    double angle = 0.0;
    int mirrored = 0;
    int flipped = 0;

    static CLayerPlacement Of(const CLayerChannel& layer);
    void ApplyTo(CLayerChannel& layer) const;
};

class CSelectionFrame {
public:
    // The parts of the frame: the rectangle tracker's hits (handles 0 to 7
    // by where they appear, 8 the box itself, -1 nothing) and the knob.
    enum : int { hitNothing = -1, hitMiddle = 8, hitRotate = 9 };
    static constexpr int kHandleSize = 5;
    static constexpr int kStemLength = 20;
    static constexpr int kKnobRadius = 4;
    static constexpr double kAngleStep = 15.0;

    // The frame of a layer whose page box starts at the page offset in a
    // control of the given size.
    CSelectionFrame(const CLayerChannel& layer, POINT pageOffset, SIZE control);

    bool IsRotated() const { return m_box.IsRotated(); }
    // The knob's centre and the point of the box side its stem starts at.
    CPointD KnobCentre() const;
    CPointD StemStart() const;
    // The centre of a size handle (0 to 7).
    CPointD HandleCentre(int hit) const;
    // The knob first; then, for a turned frame, its handles and its box.
    // An unturned frame answers only the knob (the tracker does the rest).
    int HitTest(POINT point) const;
    // The cursor shape of a part as a direction: 0 left-right, 1 falling
    // diagonal, 2 up-down, 3 rising diagonal; -1 for the box and the knob.
    int SizeDirection(int hit) const;
    // The turned box's outline and handles (turned frames only) and the knob.
    void Draw(CDC* dc) const;

    // A drag of a turned frame's part by (dx, dy) page pixels from where
    // the layer was placed at the press.
    static CLayerPlacement Drag(const CLayerPlacement& start, int hit, double dx, double dy);
    // The angle after the knob went from one point to another around the
    // centre, each relative to it; in steps of 15 degrees with steps.
    static double Turn(double startAngle, CPointD from, CPointD to, bool steps);

private:
    CRotatedBox m_box;
    CPointD m_offset;
    bool m_bKnobBelow;
};
