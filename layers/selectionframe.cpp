#include "layers/selectionframe.h"

#include "layers/layerchannel.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobjects.h"

#include <cmath>
#include <numbers>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The handle's place in the unturned box, in halves of its sides from the
// centre, by hit number.
constexpr int kHandleX[8] = {-1, 1, 1, -1, 0, 1, 0, -1};
constexpr int kHandleY[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
// The direction a handle sizes in, degrees, before the box is turned.
constexpr int kHandleDirection[8] = {45, 135, 45, 135, 90, 0, 90, 0};

int Round(double value) {
    return int(std::lround(value));
}

} // namespace

CLayerPlacement CLayerPlacement::Of(const CLayerChannel& layer) {
    return CLayerPlacement{layer.m_dX,     layer.m_dY,        layer.m_dWidth,  layer.m_dHeight,
                           layer.m_dAngle, layer.m_nMirrored, layer.m_nFlipped};
}

void CLayerPlacement::ApplyTo(CLayerChannel& layer) const {
    layer.SetGeometry(x, y, width, height);
    layer.m_dAngle = angle;
    layer.m_nMirrored = mirrored;
    layer.m_nFlipped = flipped;
}

CSelectionFrame::CSelectionFrame(const CLayerChannel& layer, POINT pageOffset, SIZE control)
    : m_box(layer), m_offset{double(pageOffset.x), double(pageOffset.y)}, m_bKnobBelow(false) {
    // A knob outside the control could not be taken hold of.
    const CPointD above = KnobCentre();
    m_bKnobBelow = above.x < kKnobRadius || above.y < kKnobRadius ||
                   above.x > control.cx - kKnobRadius || above.y > control.cy - kKnobRadius;
}

CPointD CSelectionFrame::StemStart() const {
    const double hh = m_box.m_nHeight / 2.0;
    return m_box.Turn(0, m_bKnobBelow ? hh : -hh, m_offset.x, m_offset.y);
}

CPointD CSelectionFrame::KnobCentre() const {
    const double reach = m_box.m_nHeight / 2.0 + kStemLength;
    return m_box.Turn(0, m_bKnobBelow ? reach : -reach, m_offset.x, m_offset.y);
}

CPointD CSelectionFrame::HandleCentre(int hit) const {
    if (hit < 0 || hit > 7)
        return CPointD{};
    return m_box.Turn(kHandleX[hit] * m_box.m_nWidth / 2.0, kHandleY[hit] * m_box.m_nHeight / 2.0,
                      m_offset.x, m_offset.y);
}

int CSelectionFrame::HitTest(POINT point) const {
    const CPointD knob = KnobCentre();
    const double kx = point.x - knob.x, ky = point.y - knob.y;
    if (kx * kx + ky * ky <= (kKnobRadius + 1) * (kKnobRadius + 1))
        return hitRotate;
    if (!IsRotated())
        return hitNothing;
    const double reach = kHandleSize / 2.0 + 0.5;
    for (int hit = 0; hit < 8; ++hit) {
        const CPointD handle = HandleCentre(hit);
        if (std::fabs(point.x - handle.x) <= reach && std::fabs(point.y - handle.y) <= reach)
            return hit;
    }
    // The box itself, with a pixel of the outline around it.
    const double dx = point.x + 0.5 - (m_box.m_dCentreX + m_offset.x);
    const double dy = point.y + 0.5 - (m_box.m_dCentreY + m_offset.y);
    const double u = dx * m_box.m_dCos + dy * m_box.m_dSin;
    const double v = dy * m_box.m_dCos - dx * m_box.m_dSin;
    if (std::fabs(u) <= m_box.m_nWidth / 2.0 + 1 && std::fabs(v) <= m_box.m_nHeight / 2.0 + 1)
        return hitMiddle;
    return hitNothing;
}

int CSelectionFrame::SizeDirection(int hit) const {
    if (hit < 0 || hit > 7)
        return -1;
    const double degrees = kHandleDirection[hit] + m_box.Angle();
    const long steps = std::lround(degrees / 45.0);
    return int(((steps % 4) + 4) % 4);
}

void CSelectionFrame::Draw(CDC* dc) const {
    if (!dc)
        return;
    CPen line(PS_SOLID, 1, kBlack);
    CPen* oldPen = dc->SelectObject(&line);
    if (IsRotated()) {
        CPointD corners[4];
        m_box.Corners(corners, m_offset.x, m_offset.y);
        POINT outline[5];
        for (int i = 0; i < 5; ++i)
            outline[i] = POINT{Round(corners[i % 4].x), Round(corners[i % 4].y)};
        dc->Polyline(outline, 5);
        for (int hit = 0; hit < 8; ++hit) {
            const CPointD c = HandleCentre(hit);
            const int left = Round(c.x) - kHandleSize / 2, top = Round(c.y) - kHandleSize / 2;
            dc->FillSolidRect(CRect(left, top, left + kHandleSize, top + kHandleSize), kBlack);
        }
    }
    const CPointD from = StemStart(), knob = KnobCentre();
    dc->MoveTo(Round(from.x), Round(from.y));
    dc->LineTo(Round(knob.x), Round(knob.y));
    CBrush fill(kWhite);
    CBrush* oldBrush = dc->SelectObject(&fill);
    const int kx = Round(knob.x), ky = Round(knob.y);
    dc->Ellipse(kx - kKnobRadius, ky - kKnobRadius, kx + kKnobRadius + 1, ky + kKnobRadius + 1);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

CLayerPlacement CSelectionFrame::Drag(const CLayerPlacement& start, int hit, double dx, double dy) {
    CLayerPlacement next = start;
    if (hit == hitMiddle) {
        next.x += dx;
        next.y += dy;
        return next;
    }
    if (hit < 0 || hit > 7)
        return next;
    const CRotatedBox turn(0, 0, 0, 0, start.angle);
    const double c = turn.m_dCos, s = turn.m_dSin;
    const double width = std::fabs(start.width), height = std::fabs(start.height);
    const double cx = start.x + width / 2, cy = start.y + height / 2;
    // The mouse's way in the box's own axes moves the handle's sides.
    const double du = dx * c + dy * s, dv = dy * c - dx * s;
    double l = -width / 2, t = -height / 2, r = width / 2, b = height / 2;
    if (kHandleX[hit] < 0)
        l += du;
    else if (kHandleX[hit] > 0)
        r += du;
    if (kHandleY[hit] < 0)
        t += dv;
    else if (kHandleY[hit] > 0)
        b += dv;
    if (r < l) {
        next.mirrored = !next.mirrored;
        std::swap(l, r);
    }
    if (b < t) {
        next.flipped = !next.flipped;
        std::swap(t, b);
    }
    // The sides that stayed keep their place on the page: the centre moves
    // by the turned middle of the new sides.
    const double mu = (l + r) / 2, mv = (t + b) / 2;
    const double ncx = cx + mu * c - mv * s, ncy = cy + mu * s + mv * c;
    next.width = r - l;
    next.height = b - t;
    next.x = ncx - next.width / 2;
    next.y = ncy - next.height / 2;
    return next;
}

double CSelectionFrame::Turn(double startAngle, CPointD from, CPointD to, bool steps) {
    if ((from.x == 0 && from.y == 0) || (to.x == 0 && to.y == 0))
        return NormaliseAngle(startAngle);
    const double swept =
        (std::atan2(to.y, to.x) - std::atan2(from.y, from.x)) * 180.0 / std::numbers::pi;
    double angle = NormaliseAngle(startAngle + swept);
    if (steps)
        angle = NormaliseAngle(std::round(angle / kAngleStep) * kAngleStep);
    return angle;
}
