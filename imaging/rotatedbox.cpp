#include "imaging/rotatedbox.h"

#include "imaging/composelayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

double NormaliseAngle(double degrees) {
    if (!std::isfinite(degrees))
        return 0.0;
    double angle = std::fmod(degrees, 360.0);
    if (angle < 0)
        angle += 360.0;
    // -1e-17 + 360 rounds to 360 itself.
    return angle >= 360.0 ? 0.0 : angle;
}

namespace {

int Trunc(double value) {
    return int(std::trunc(value));
}

} // namespace

CRotatedBox::CRotatedBox(const CComposeLayer& layer)
    : CRotatedBox(Trunc(layer.m_dX), Trunc(layer.m_dY), std::abs(Trunc(layer.m_dWidth)),
                  std::abs(Trunc(layer.m_dHeight)), layer.m_dAngle) {}

CRotatedBox::CRotatedBox(int left, int top, int width, int height, double degrees)
    : m_nLeft(left), m_nTop(top), m_nWidth(width), m_nHeight(height),
      m_dAngle(NormaliseAngle(degrees)) {
    // Quarter turns are exact, so they move whole pixels.
    if (m_dAngle == 0.0) {
        m_dCos = 1.0, m_dSin = 0.0;
    } else if (m_dAngle == 90.0) {
        m_dCos = 0.0, m_dSin = 1.0;
    } else if (m_dAngle == 180.0) {
        m_dCos = -1.0, m_dSin = 0.0;
    } else if (m_dAngle == 270.0) {
        m_dCos = 0.0, m_dSin = -1.0;
    } else {
        const double radians = m_dAngle * std::numbers::pi / 180.0;
        m_dCos = std::cos(radians);
        m_dSin = std::sin(radians);
    }
    m_dCentreX = left + width / 2.0;
    m_dCentreY = top + height / 2.0;
}

void CRotatedBox::BoxPointOf(int x, int y, double* u, double* v) const {
    const double dx = (x + 0.5) - m_dCentreX;
    const double dy = (y + 0.5) - m_dCentreY;
    *u = m_dCentreX + (dx * m_dCos + dy * m_dSin) - m_nLeft;
    *v = m_dCentreY + (dy * m_dCos - dx * m_dSin) - m_nTop;
}

bool CRotatedBox::Contains(int x, int y) const {
    if (!IsRotated())
        return x >= m_nLeft && x < m_nLeft + m_nWidth && y >= m_nTop && y < m_nTop + m_nHeight;
    double u = 0, v = 0;
    BoxPointOf(x, y, &u, &v);
    return u >= 0 && u < m_nWidth && v >= 0 && v < m_nHeight;
}

CPointD CRotatedBox::Turn(double dx, double dy, double ox, double oy) const {
    return CPointD{m_dCentreX + dx * m_dCos - dy * m_dSin + ox,
                   m_dCentreY + dx * m_dSin + dy * m_dCos + oy};
}

void CRotatedBox::Corners(CPointD out[4], double ox, double oy) const {
    const double hw = m_nWidth / 2.0, hh = m_nHeight / 2.0;
    out[0] = Turn(-hw, -hh, ox, oy);
    out[1] = Turn(hw, -hh, ox, oy);
    out[2] = Turn(hw, hh, ox, oy);
    out[3] = Turn(-hw, hh, ox, oy);
}

CRect CRotatedBox::Cover() const {
    if (!IsRotated())
        return CRect(m_nLeft, m_nTop, m_nLeft + m_nWidth, m_nTop + m_nHeight);
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return CRect();
    CPointD corners[4];
    Corners(corners);
    double minX = corners[0].x, maxX = minX, minY = corners[0].y, maxY = minY;
    for (const CPointD& p : corners) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    // A pixel shows the layer when its centre lies inside; one pixel more
    // on each side keeps the rounding of the corners on the safe side.
    return CRect(int(std::floor(minX)) - 1, int(std::floor(minY)) - 1, int(std::ceil(maxX)) + 1,
                 int(std::ceil(maxY)) + 1);
}
