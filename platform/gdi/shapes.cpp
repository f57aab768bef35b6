// Rectangles, edges, rounded shapes and inversion: everything that paints
// whole pixel rectangles or rows of them.

#include "platform/gdi/dc.h"

#include "platform/gdi/dcstate.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

using platform::dcdetail::PenShape;
using platform::dcdetail::ShapeOfPen;
using platform::dcdetail::ToQColor;
using platform::dcdetail::ToQRect;

namespace {

// The halftone pattern, white where x + y is odd.
QBrush HalftoneBrush() {
    QImage pattern(2, 2, QImage::Format_RGB32);
    pattern.setPixel(0, 0, qRgb(0, 0, 0));
    pattern.setPixel(1, 0, qRgb(255, 255, 255));
    pattern.setPixel(0, 1, qRgb(255, 255, 255));
    pattern.setPixel(1, 1, qRgb(0, 0, 0));
    return QBrush(pattern);
}

struct EdgeColours {
    COLORREF topLeft;
    COLORREF bottomRight;
};

bool OuterEdgeColours(UINT edge, EdgeColours* colours) {
    switch (edge & BDR_OUTER) {
    case BDR_RAISEDOUTER:
        *colours = {GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW)};
        return true;
    case BDR_SUNKENOUTER:
        *colours = {GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT)};
        return true;
    default:
        return false;
    }
}

bool InnerEdgeColours(UINT edge, EdgeColours* colours) {
    switch (edge & BDR_INNER) {
    case BDR_RAISEDINNER:
        *colours = {GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DSHADOW)};
        return true;
    case BDR_SUNKENINNER:
        *colours = {GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)};
        return true;
    default:
        return false;
    }
}

// A rectangle with elliptic corners, seen row by row. Pixel x covers x..x+1
// and belongs to the shape when its centre does.
class RoundedShape {
public:
    RoundedShape(const CRect& box, int ellipseWidth, int ellipseHeight)
        : m_box(box), m_a(std::clamp(ellipseWidth, 0, box.Width()) / 2.0),
          m_b(std::clamp(ellipseHeight, 0, box.Height()) / 2.0) {}

    // The pixels x0..x1 (inclusive) of row y; false when the row has none.
    bool Span(int y, int* x0, int* x1) const {
        if (y < m_box.top || y >= m_box.bottom)
            return false;
        const double yc = y + 0.5;
        double dy = 0;
        if (yc < m_box.top + m_b)
            dy = yc - (m_box.top + m_b);
        else if (yc > m_box.bottom - m_b)
            dy = yc - (m_box.bottom - m_b);
        const double t = m_b > 0 ? dy / m_b : 0;
        const double inset = m_a - m_a * std::sqrt(std::max(0.0, 1 - t * t));
        constexpr double kSlack = 1e-9;
        *x0 = int(std::ceil(m_box.left + inset - 0.5 - kSlack));
        *x1 = int(std::floor(m_box.right - inset - 0.5 + kSlack));
        return *x0 <= *x1;
    }

    // The pixels of row y at least `depth` pixels away from the outside
    // along both axes.
    bool InnerSpan(int y, int depth, int* x0, int* x1) const {
        int a0, a1, b0, b1;
        if (!Span(y, x0, x1) || !Span(y - depth, &a0, &a1) || !Span(y + depth, &b0, &b1))
            return false;
        *x0 = std::max({*x0 + depth, a0, b0});
        *x1 = std::min({*x1 - depth, a1, b1});
        return *x0 <= *x1;
    }

private:
    CRect m_box;
    double m_a, m_b; // corner radii
};

} // namespace

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_3DHIGHLIGHT:
        return RGB(0xFF, 0xFF, 0xFF);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
        return RGB(0x00, 0x78, 0xD7);
    case COLOR_GRAYTEXT:
        return RGB(0x6D, 0x6D, 0x6D);
    case COLOR_3DFACE:
        return RGB(0xF0, 0xF0, 0xF0);
    case COLOR_3DSHADOW:
        return RGB(0xA0, 0xA0, 0xA0);
    case COLOR_3DDKSHADOW:
        return RGB(0x69, 0x69, 0x69);
    case COLOR_3DLIGHT:
        return RGB(0xE3, 0xE3, 0xE3);
    default:
        return 0;
    }
}

// Pixel primitives --------------------------------------------------------------

void CDC::FillPixels(const RECT& rect, COLORREF colour) {
    if (!m_pPainter || CRect(rect).IsRectEmpty())
        return;
    m_pPainter->fillRect(ToQRect(rect), ToQColor(colour));
}

void CDC::FillWithBrush(const RECT& rect, const CBrush& brush) {
    if (!m_pPainter || CRect(rect).IsRectEmpty() || !brush.GetSafeHandle())
        return;
    switch (brush.GetKind()) {
    case CBrush::Kind::Solid:
        FillPixels(rect, brush.GetColor());
        break;
    case CBrush::Kind::Halftone:
        m_pPainter->setBrushOrigin(0, 0);
        m_pPainter->fillRect(ToQRect(rect), HalftoneBrush());
        break;
    case CBrush::Kind::Hollow:
        break;
    }
}

void CDC::XorWithBrush(const RECT& rect, const CBrush& brush) {
    if (!m_pPainter || CRect(rect).IsRectEmpty() || !brush.GetSafeHandle() || brush.IsHollow())
        return;
    const QPainter::CompositionMode mode = m_pPainter->compositionMode();
    m_pPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    FillWithBrush(rect, brush);
    m_pPainter->setCompositionMode(mode);
}

// Rectangles and edges ------------------------------------------------------------

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    m_pInternals->state.bkColor = colour & 0xFFFFFF;
    CRect r(rect);
    r.NormalizeRect();
    FillPixels(r, colour);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), colour);
}

void CDC::Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    const CRect r(rect);
    Draw3dRect(r.left, r.top, r.Width(), r.Height(), topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    // The bottom and right sides are filled with negative sizes from the
    // far edge, so they always cover the corners they share with the others.
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx, y, -1, cy, bottomRight);
    FillSolidRect(x, y + cy, cx, -1, bottomRight);
}

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) {
    if (!rect || !m_pPainter)
        return FALSE;
    CRect r(*rect);
    EdgeColours rings[2];
    int count = 0;
    if (OuterEdgeColours(edge, &rings[count]))
        ++count;
    if (InnerEdgeColours(edge, &rings[count]))
        ++count;
    for (int i = 0; i < count; ++i) {
        if (flags & BF_TOP)
            FillPixels(CRect(r.left, r.top, r.right, r.top + 1), rings[i].topLeft);
        if (flags & BF_LEFT)
            FillPixels(CRect(r.left, r.top, r.left + 1, r.bottom), rings[i].topLeft);
        if (flags & BF_BOTTOM)
            FillPixels(CRect(r.left, r.bottom - 1, r.right, r.bottom), rings[i].bottomRight);
        if (flags & BF_RIGHT)
            FillPixels(CRect(r.right - 1, r.top, r.right, r.bottom), rings[i].bottomRight);
        r.InflateRect((flags & BF_LEFT) ? -1 : 0, (flags & BF_TOP) ? -1 : 0,
                      (flags & BF_RIGHT) ? -1 : 0, (flags & BF_BOTTOM) ? -1 : 0);
    }
    if (flags & BF_MIDDLE)
        FillPixels(r, GetSysColor(COLOR_3DFACE));
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

void CDC::RectangleFrame(const CRect& rect) {
    const PenShape pen = ShapeOfPen(m_pInternals->state.pen);
    if (pen.dashes) {
        const POINT corners[4] = {{rect.left, rect.top},
                                  {rect.right - 1, rect.top},
                                  {rect.right - 1, rect.bottom - 1},
                                  {rect.left, rect.bottom - 1}};
        StrokePath(corners, 4, true, true);
        return;
    }
    const int w = pen.width;
    const int outside = pen.insideFrame ? 0 : (w - 1) / 2;
    CRect o(rect);
    o.InflateRect(outside, outside);
    FillPixels(CRect(o.left, o.top, o.right, std::min(o.top + w, o.bottom)), pen.colour);
    FillPixels(CRect(o.left, std::max(o.bottom - w, o.top), o.right, o.bottom), pen.colour);
    FillPixels(CRect(o.left, o.top + w, std::min(o.left + w, o.right), o.bottom - w), pen.colour);
    FillPixels(CRect(std::max(o.right - w, o.left), o.top + w, o.right, o.bottom - w), pen.colour);
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    if (!m_pPainter)
        return FALSE;
    CRect rect(left, top, right, bottom);
    rect.NormalizeRect();
    const DrawingState& s = m_pInternals->state;
    if (!ShapeOfPen(s.pen).visible) {
        FillWithBrush(CRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1), s.brush);
        return TRUE;
    }
    if (rect.IsRectEmpty())
        return TRUE;
    FillWithBrush(CRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1), s.brush);
    RectangleFrame(rect);
    return TRUE;
}

BOOL CDC::Rectangle(const RECT& rect) {
    return Rectangle(rect.left, rect.top, rect.right, rect.bottom);
}

// Rounded shapes -------------------------------------------------------------------

void CDC::FillShapeRows(const CRect& rect, int ellipseWidth, int ellipseHeight) {
    const DrawingState& s = m_pInternals->state;
    const PenShape pen = ShapeOfPen(s.pen);
    CRect box(rect);
    if (!pen.visible)
        box.InflateRect(0, 0, -1, -1);
    const RoundedShape shape(box, ellipseWidth, ellipseHeight);
    const int depth = pen.visible ? pen.width : 0;
    const CRect visible = VisibleArea(0);
    const int top = std::max<int>(box.top, visible.top);
    const int bottom = std::min<int>(box.bottom, visible.bottom);
    for (int y = top; y < bottom; ++y) {
        int x0, x1, i0, i1;
        if (!shape.Span(y, &x0, &x1))
            continue;
        if (depth == 0) {
            FillWithBrush(CRect(x0, y, x1 + 1, y + 1), s.brush);
        } else if (!shape.InnerSpan(y, depth, &i0, &i1)) {
            FillPixels(CRect(x0, y, x1 + 1, y + 1), pen.colour);
        } else {
            FillPixels(CRect(x0, y, i0, y + 1), pen.colour);
            FillWithBrush(CRect(i0, y, i1 + 1, y + 1), s.brush);
            FillPixels(CRect(i1 + 1, y, x1 + 1, y + 1), pen.colour);
        }
    }
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int width, int height) {
    if (!m_pPainter)
        return FALSE;
    CRect rect(left, top, right, bottom);
    rect.NormalizeRect();
    FillShapeRows(rect, width, height);
    return TRUE;
}

BOOL CDC::RoundRect(const RECT& rect, POINT ellipse) {
    return RoundRect(rect.left, rect.top, rect.right, rect.bottom, ellipse.x, ellipse.y);
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
    CRect rect(left, top, right, bottom);
    rect.NormalizeRect();
    return RoundRect(rect.left, rect.top, rect.right, rect.bottom, rect.Width(), rect.Height());
}

BOOL CDC::Ellipse(const RECT& rect) {
    return Ellipse(rect.left, rect.top, rect.right, rect.bottom);
}

// Inversion ----------------------------------------------------------------------------

BOOL CDC::InvertRect(const RECT& rect) {
    if (!m_pPainter)
        return FALSE;
    CRect r(rect);
    r.NormalizeRect();
    XorWithBrush(r, CBrush(RGB(255, 255, 255)));
    return TRUE;
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    if (!m_pPainter)
        return FALSE;
    CRect r(x, y, x + width, y + height);
    r.NormalizeRect();
    switch (rop) {
    case PATCOPY:
        FillWithBrush(r, m_pInternals->state.brush);
        return TRUE;
    case PATINVERT:
        XorWithBrush(r, m_pInternals->state.brush);
        return TRUE;
    case DSTINVERT:
        XorWithBrush(r, CBrush(RGB(255, 255, 255)));
        return TRUE;
    case BLACKNESS:
        FillPixels(r, RGB(0, 0, 0));
        return TRUE;
    case WHITENESS:
        FillPixels(r, RGB(255, 255, 255));
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

// The band of a drag rectangle: the rectangle less its inside, which may be
// empty when the band is thicker than half the rectangle.
QRegion DragFrame(const RECT& rect, SIZE size) {
    const CRect outer(rect);
    if (outer.IsRectEmpty())
        return QRegion();
    CRect inner(outer);
    inner.InflateRect(-size.cx, -size.cy);
    CRect inside;
    inside.IntersectRect(inner, outer);
    QRegion band(ToQRect(outer));
    if (!inside.IsRectEmpty())
        band -= QRegion(ToQRect(inside));
    return band;
}

} // namespace

void CDC::DrawDragRect(const RECT& rect, SIZE size, const RECT* last, SIZE lastSize, CBrush* brush,
                       CBrush* lastBrush) {
    if (!m_pPainter)
        return;
    const CBrush newBrush = brush ? *brush : CBrush::Halftone();
    const CBrush oldBrush = lastBrush ? *lastBrush : newBrush;
    auto xorRegion = [this](const QRegion& region, const CBrush& with) {
        for (const QRect& q : region)
            XorWithBrush(CRect(q.x(), q.y(), q.x() + q.width(), q.y() + q.height()), with);
    };
    QRegion update = DragFrame(rect, size);
    if (last) {
        // With one brush, pixels in both bands would be inverted twice: leave
        // them alone. With two, take the old band off first.
        const QRegion previous = DragFrame(*last, lastSize);
        if (oldBrush == newBrush)
            update = update.xored(previous);
        else
            xorRegion(previous, oldBrush);
    }
    xorRegion(update, newBrush);
}
