#pragma once
// A layer's box turned about its centre: where a rotated layer lies on the
// page and which point of its own box each page pixel shows. Composition
// samples a rotated layer through this mapping (nearest sampling, one look
// per page pixel), and hit testing and the selection frame use the same
// corners, so what is drawn, what is hit and what is framed agree.
//
// The mapping, exactly as composition evaluates it (doubles, in this
// order), for page pixel (x, y) of a box (left, top, width, height) turned
// by the angle a, clockwise on the page:
//   cx = left + width / 2.0, cy = top + height / 2.0
//   c = cos a, s = sin a   (exactly 1, 0, -1 at quarter turns)
//   dx = (x + 0.5) - cx, dy = (y + 0.5) - cy
//   u = cx + (dx * c + dy * s) - left, v = cy + (dy * c - dx * s) - top
// The pixel shows the layer when 0 <= u < width and 0 <= v < height; its
// source column is min(int(u * sourceWidth / width), sourceWidth - 1) and
// its source row likewise, before mirroring and flipping.

#include "platform/wintypes.h"

class CComposeLayer;

struct CPointD {
    double x = 0.0;
    double y = 0.0;
};

// An angle in degrees brought into [0, 360); non-finite angles become 0.
double NormaliseAngle(double degrees);

class CRotatedBox {
public:
    // The layer's integer box (left and top truncated, the magnitudes of
    // the truncated sizes) and its angle.
    explicit CRotatedBox(const CComposeLayer& layer);
    CRotatedBox(int left, int top, int width, int height, double degrees);

    bool IsRotated() const { return m_dAngle != 0.0; }
    double Angle() const { return m_dAngle; }

    // The point of the unturned box, relative to its top-left corner, that
    // page pixel (x, y) shows (see above).
    void BoxPointOf(int x, int y, double* u, double* v) const;
    // Whether page pixel (x, y) shows the layer.
    bool Contains(int x, int y) const;
    // The page pixels the turned box may cover: every pixel that shows the
    // layer lies inside (unturned: the box itself).
    CRect Cover() const;
    // The turned corners top-left, top-right, bottom-right, bottom-left of
    // the box, offset by (ox, oy).
    void Corners(CPointD out[4], double ox = 0.0, double oy = 0.0) const;
    // A point of the unturned box (relative to its centre) turned onto the
    // page, offset by (ox, oy).
    CPointD Turn(double dx, double dy, double ox = 0.0, double oy = 0.0) const;

    int m_nLeft;
    int m_nTop;
    int m_nWidth;
    int m_nHeight;
    double m_dCos;
    double m_dSin;
    double m_dCentreX;
    double m_dCentreY;

private:
    double m_dAngle;
};
