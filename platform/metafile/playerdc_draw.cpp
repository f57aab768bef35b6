// Drawing operations of the metafile device context: pens, brushes, lines
// and shapes, all mapped to the painter's pixels before they are drawn.

#include "platform/metafile/playerdc.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QPen>

#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::metafile {

namespace {

double MappedLength(const QTransform& t, double dx, double dy) {
    return std::hypot(t.m11() * dx + t.m21() * dy, t.m12() * dx + t.m22() * dy);
}

Qt::BrushStyle HatchPattern(DWORD hatch) {
    static constexpr Qt::BrushStyle kStyles[] = {Qt::HorPattern,   Qt::VerPattern,
                                                 Qt::FDiagPattern, Qt::BDiagPattern,
                                                 Qt::CrossPattern, Qt::DiagCrossPattern};
    return hatch < 6 ? kStyles[hatch] : Qt::SolidPattern;
}

QList<qreal> CosmeticDashes(int style) {
    switch (style) {
    case U_PS_DASH:
        return {18, 6};
    case U_PS_DOT:
        return {3, 3};
    case U_PS_DASHDOT:
        return {9, 6, 3, 6};
    case U_PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    case U_PS_ALTERNATE:
        return {1, 1};
    default:
        return {};
    }
}

QPainter::CompositionMode Rop2Mode(int rop2) {
    switch (rop2) {
    case 6: // R2_NOT
        return QPainter::RasterOp_NotDestination;
    case 7: // R2_XORPEN
        return QPainter::RasterOp_SourceXorDestination;
    case 9: // R2_MASKPEN
        return QPainter::RasterOp_SourceAndDestination;
    case 15: // R2_MERGEPEN
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// Angle of a point on an ellipse, as QPainterPath::arcTo counts it.
double EllipseAngle(const QRectF& box, QPointF p) {
    const QPointF c = box.center();
    const double a = box.width() / 2, b = box.height() / 2;
    return std::atan2(-(p.y() - c.y()) / b, (p.x() - c.x()) / a) * 180 / std::numbers::pi;
}

} // namespace

// Pens and brushes ------------------------------------------------------------------

QPen CMetafileDC::DevicePen() const {
    const GdiPen& p = m_state.pen;
    const int style = static_cast<int>(p.style & U_PS_STYLE_MASK);
    if (style == U_PS_NULL)
        return QPen(Qt::NoPen);
    const bool cosmetic = p.extended && (p.style & U_PS_TYPE_MASK) != U_PS_GEOMETRIC;
    double width = 1;
    if (!cosmetic && p.width > 0)
        width = std::max(1.0, MappedLength(Transform(), p.width, 0));
    QPen pen(p.color, width);
    const bool thin = width < 1.5;
    // Plain pens are round-ended and round-joined when wide; thin lines end
    // on their last pixel.
    pen.setCapStyle(thin ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (p.extended && !cosmetic) {
        const DWORD cap = p.style & U_PS_ENDCAP_MASK, join = p.style & U_PS_JOIN_MASK;
        pen.setCapStyle(cap == U_PS_ENDCAP_SQUARE ? Qt::SquareCap
                        : cap == U_PS_ENDCAP_FLAT ? Qt::FlatCap
                                                  : Qt::RoundCap);
        pen.setJoinStyle(join == U_PS_JOIN_BEVEL   ? Qt::BevelJoin
                         : join == U_PS_JOIN_MITER ? Qt::MiterJoin
                                                   : Qt::RoundJoin);
    }
    const QList<qreal> dashes = CosmeticDashes(style);
    // Styled plain pens wider than a pixel draw solid, as the window system
    // draws them.
    if (!dashes.isEmpty() && (thin || p.extended)) {
        QList<qreal> pattern;
        for (qreal d : dashes)
            pattern.append(thin ? d : d * 3 / 9);
        pen.setDashPattern(pattern);
        pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

void CMetafileDC::FillWithBrush(const QPainterPath& device, const GdiBrush& brush) {
    switch (brush.style) {
    case U_BS_NULL:
        return;
    case U_BS_HATCHED:
        if (m_state.bkMode == U_OPAQUE)
            m_painter.fillPath(device, m_state.bkColor);
        m_painter.fillPath(device, QBrush(brush.color, HatchPattern(brush.hatch)));
        return;
    case U_BS_PATTERN:
    case U_BS_DIBPATTERN:
    case U_BS_DIBPATTERNPT:
        if (!brush.pattern.isNull()) {
            m_painter.fillPath(device, QBrush(brush.pattern));
            return;
        }
        [[fallthrough]];
    default:
        m_painter.fillPath(device, brush.color);
        return;
    }
}

void CMetafileDC::DrawDevicePath(const QPainterPath& device, bool fill, bool stroke) {
    if (m_state.rop2 == U_R2_NOP || device.isEmpty())
        return;
    m_painter.save();
    ApplyClip();
    m_painter.setCompositionMode(Rop2Mode(m_state.rop2));
    QPainterPath path = device;
    path.setFillRule(m_state.fillMode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill) {
        GdiBrush brush = m_state.brush;
        if (m_state.rop2 == 1 || m_state.rop2 == 16) // R2_BLACK, R2_WHITE
            brush = GdiBrush{U_BS_SOLID, m_state.rop2 == 1 ? Qt::black : Qt::white, 0, {}};
        FillWithBrush(path, brush);
    }
    if (stroke) {
        QPen pen = DevicePen();
        if (pen.style() != Qt::NoPen) {
            if (m_state.rop2 == 1 || m_state.rop2 == 16)
                pen.setColor(m_state.rop2 == 1 ? Qt::black : Qt::white);
            m_painter.strokePath(path, pen);
        }
    }
    m_painter.restore();
}

void CMetafileDC::AddToPathOrDraw(const QPainterPath& logical, bool closed) {
    const QPainterPath device = ToDevice(logical);
    if (m_state.inPath) {
        m_state.path.addPath(device);
        m_state.figureOpen = !closed;
        return;
    }
    DrawDevicePath(device, closed, true);
}

// A line that starts at the current position continues the figure of an
// open path.
void CMetafileDC::AppendLine(const QPainterPath& logicalLine) {
    const QPainterPath device = ToDevice(logicalLine);
    if (!m_state.inPath) {
        DrawDevicePath(device, false, true);
        return;
    }
    QPainterPath& path = m_state.path;
    const bool joins = m_state.figureOpen && !path.isEmpty() && device.elementCount() > 0 &&
                       QLineF(path.currentPosition(), device.elementAt(0)).length() < 1e-6;
    if (joins)
        path.connectPath(device);
    else
        path.addPath(device);
    m_state.figureOpen = true;
}

// Lines and shapes ------------------------------------------------------------------

void CMetafileDC::MoveTo(QPointF p) {
    m_state.current = p;
    m_state.figureOpen = false;
}

void CMetafileDC::LineTo(QPointF p) {
    QPainterPath line(m_state.current);
    line.lineTo(p);
    AppendLine(line);
    m_state.current = p;
}

void CMetafileDC::Polyline(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    AddToPathOrDraw(path, false);
    if (m_state.inPath)
        m_state.figureOpen = false;
}

void CMetafileDC::PolylineTo(const QPolygonF& points) {
    if (points.isEmpty())
        return;
    QPainterPath path(m_state.current);
    for (const QPointF& p : points)
        path.lineTo(p);
    AppendLine(path);
    m_state.current = points.back();
}

void CMetafileDC::PolyBezier(const QPolygonF& points) {
    if (points.size() < 4)
        return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    AddToPathOrDraw(path, false);
    if (m_state.inPath)
        m_state.figureOpen = false;
}

void CMetafileDC::PolyBezierTo(const QPolygonF& points) {
    if (points.size() < 3)
        return;
    QPainterPath path(m_state.current);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    AppendLine(path);
    m_state.current = points[i - 1];
}

void CMetafileDC::PolyDraw(const QPolygonF& points, const std::vector<BYTE>& types) {
    QPainterPath path(m_state.current);
    const size_t n = std::min(static_cast<size_t>(points.size()), types.size());
    for (size_t i = 0; i < n; ++i) {
        const BYTE type = types[i] & ~U_PT_CLOSEFIGURE;
        if (type == U_PT_MOVETO) {
            path.moveTo(points[i]);
        } else if (type == U_PT_BEZIERTO && i + 2 < n) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            path.lineTo(points[i]);
        }
        if (types[i] & U_PT_CLOSEFIGURE)
            path.closeSubpath();
        m_state.current = points[i];
    }
    AppendLine(path);
}

void CMetafileDC::Polygon(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    AddToPathOrDraw(path, true);
}

void CMetafileDC::PolyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2)
            continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    AddToPathOrDraw(path, true);
}

void CMetafileDC::PolyPolyline(const std::vector<QPolygonF>& polylines) {
    for (const QPolygonF& line : polylines)
        Polyline(line);
}

void CMetafileDC::Rectangle(const QRectF& r) {
    QPainterPath path;
    path.addRect(r.normalized());
    AddToPathOrDraw(path, true);
}

void CMetafileDC::RoundRect(const QRectF& r, double cornerW, double cornerH) {
    QPainterPath path;
    path.addRoundedRect(r.normalized(), std::fabs(cornerW) / 2, std::fabs(cornerH) / 2);
    AddToPathOrDraw(path, true);
}

void CMetafileDC::Ellipse(const QRectF& r) {
    QPainterPath path;
    path.addEllipse(r.normalized());
    AddToPathOrDraw(path, true);
}

QPainterPath CMetafileDC::ArcPath(ArcKind kind, const QRectF& box, QPointF start,
                                  QPointF end) const {
    QPainterPath path;
    if (box.width() <= 0 || box.height() <= 0)
        return path;
    // The window system turns counter-clockwise as seen on the page; a
    // mapping that mirrors the logical space turns the other way there.
    bool ccw = m_state.arcDirection == U_AD_COUNTERCLOCKWISE;
    if (Transform().determinant() < 0)
        ccw = !ccw;
    const double a = EllipseAngle(box, start), b = EllipseAngle(box, end);
    double sweep = ccw ? std::fmod(b - a + 720, 360) : -std::fmod(a - b + 720, 360);
    if (sweep == 0)
        sweep = ccw ? 360 : -360;
    if (kind == ArcKind::Pie)
        path.moveTo(box.center());
    else if (kind == ArcKind::ArcTo)
        path.moveTo(m_state.current);
    else
        path.arcMoveTo(box, a);
    path.arcTo(box, a, sweep);
    if (kind == ArcKind::Pie || kind == ArcKind::Chord)
        path.closeSubpath();
    return path;
}

void CMetafileDC::ArcShape(ArcKind kind, const QRectF& box, QPointF start, QPointF end) {
    const QRectF r = box.normalized();
    const QPainterPath path = ArcPath(kind, r, start, end);
    if (path.isEmpty())
        return;
    if (kind == ArcKind::ArcTo) {
        AppendLine(path);
        m_state.current = path.currentPosition();
    } else {
        AddToPathOrDraw(path, kind != ArcKind::Arc);
    }
}

void CMetafileDC::AngleArc(QPointF centre, double radius, double startDeg, double sweepDeg) {
    if (radius <= 0)
        return;
    const double flip = Transform().determinant() < 0 ? -1 : 1;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(m_state.current);
    path.arcTo(box, flip * startDeg, flip * std::clamp(sweepDeg, -360.0, 360.0));
    AppendLine(path);
    m_state.current = path.currentPosition();
}

void CMetafileDC::SetPixel(QPointF p, COLORREF c) {
    const QPointF d = Transform().map(p);
    m_painter.save();
    ApplyClip();
    m_painter.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1),
                       QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    m_painter.restore();
}

void CMetafileDC::FillRects(const std::vector<QRectF>& rects, const GdiBrush& brush) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    m_painter.save();
    ApplyClip();
    FillWithBrush(ToDevice(path), brush);
    m_painter.restore();
}

} // namespace platform::metafile
