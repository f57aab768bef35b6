#include "platform/metafile/playerdc.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QPen>

#include <uemf.h>

#include <algorithm>
#include <cmath>

namespace platform::metafile {

namespace {

// Hostile files may nest SaveDC without end; real clip art stays far below.
constexpr size_t kMaxSavedStates = 256;
// Object tables of WMF files may be too small for what they create; they
// grow up to the largest index a 16-bit record can name.
constexpr size_t kMaxObjectSlots = 65535;

QColor ColorFromRef(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

double SafeRatio(double num, double denom) {
    return denom != 0 ? num / denom : 1.0;
}

} // namespace

CMetafileDC::CMetafileDC(QPainter& painter, const QTransform& base, const DeviceMetrics& metrics,
                         size_t objectSlots)
    : m_painter(painter), m_base(base), m_metrics(metrics),
      m_objects(std::min(objectSlots, kMaxObjectSlots)) {
    const QPaintDevice* device = painter.device();
    if (device)
        m_deviceRect = QRectF(-1, -1, device->width() + 2, device->height() + 2);
}

CMetafileDC::~CMetafileDC() = default;

// Mapping -----------------------------------------------------------------------

QTransform CMetafileDC::PageTransform() const {
    const State& s = m_state;
    const double pxPerMmX = m_metrics.millimetres.width() > 0
                                ? m_metrics.pixels.width() / m_metrics.millimetres.width()
                                : 96.0 / 25.4;
    const double pxPerMmY = m_metrics.millimetres.height() > 0
                                ? m_metrics.pixels.height() / m_metrics.millimetres.height()
                                : 96.0 / 25.4;
    double sx = 1, sy = 1;
    double mmPerUnit = 0;
    switch (s.mapMode) {
    case U_MM_ISOTROPIC:
    case U_MM_ANISOTROPIC:
        sx = SafeRatio(s.vpExt.x(), s.winExt.x());
        sy = SafeRatio(s.vpExt.y(), s.winExt.y());
        if (s.mapMode == U_MM_ISOTROPIC) {
            const double m = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    case U_MM_LOMETRIC:
        mmPerUnit = 0.1;
        break;
    case U_MM_HIMETRIC:
        mmPerUnit = 0.01;
        break;
    case U_MM_LOENGLISH:
        mmPerUnit = 0.254;
        break;
    case U_MM_HIENGLISH:
        mmPerUnit = 0.0254;
        break;
    case U_MM_TWIPS:
        mmPerUnit = 25.4 / 1440;
        break;
    default:
        break;
    }
    if (mmPerUnit > 0) {
        // The fixed modes measure up the page: y grows upwards.
        sx = mmPerUnit * pxPerMmX;
        sy = -mmPerUnit * pxPerMmY;
    }
    return QTransform(sx, 0, 0, sy, s.vpOrg.x() - s.winOrg.x() * sx,
                      s.vpOrg.y() - s.winOrg.y() * sy);
}

QTransform CMetafileDC::Transform() const {
    return m_state.world * PageTransform() * m_base;
}

void CMetafileDC::SetMapMode(int mode) {
    if (mode < U_MM_TEXT || mode > U_MM_ANISOTROPIC)
        return;
    State& s = m_state;
    const bool scalable = mode == U_MM_ISOTROPIC || mode == U_MM_ANISOTROPIC;
    const bool wasScalable = s.mapMode == U_MM_ISOTROPIC || s.mapMode == U_MM_ANISOTROPIC;
    if (scalable && !wasScalable) {
        // Keep the scale the previous mode had, as the window system does.
        const QTransform page = PageTransform();
        s.winExt = {1, 1};
        s.vpExt = {page.m11(), page.m22()};
    } else if (!scalable) {
        s.winExt = {1, 1};
        s.vpExt = {1, 1};
    }
    s.mapMode = mode;
}

void CMetafileDC::SetWindowOrg(double x, double y) {
    m_state.winOrg = {x, y};
}

void CMetafileDC::SetWindowExt(double cx, double cy) {
    const int mode = m_state.mapMode;
    if (cx == 0 || cy == 0 || (mode != U_MM_ISOTROPIC && mode != U_MM_ANISOTROPIC))
        return;
    m_state.winExt = {cx, cy};
}

void CMetafileDC::SetViewportOrg(double x, double y) {
    m_state.vpOrg = {x, y};
}

void CMetafileDC::SetViewportExt(double cx, double cy) {
    const int mode = m_state.mapMode;
    if (cx == 0 || cy == 0 || (mode != U_MM_ISOTROPIC && mode != U_MM_ANISOTROPIC))
        return;
    m_state.vpExt = {cx, cy};
}

void CMetafileDC::OffsetWindowOrg(double dx, double dy) {
    m_state.winOrg += QPointF(dx, dy);
}

void CMetafileDC::OffsetViewportOrg(double dx, double dy) {
    m_state.vpOrg += QPointF(dx, dy);
}

void CMetafileDC::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0)
        return;
    SetWindowExt(m_state.winExt.x() * xNum / xDenom, m_state.winExt.y() * yNum / yDenom);
}

void CMetafileDC::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0)
        return;
    SetViewportExt(m_state.vpExt.x() * xNum / xDenom, m_state.vpExt.y() * yNum / yDenom);
}

void CMetafileDC::SetWorldTransform(const QTransform& world) {
    if (world.isInvertible())
        m_state.world = world;
}

void CMetafileDC::ModifyWorldTransform(const QTransform& xf, DWORD mode) {
    State& s = m_state;
    QTransform result;
    switch (mode) {
    case U_MWT_IDENTITY:
        break;
    case U_MWT_LEFTMULTIPLY:
        result = xf * s.world;
        break;
    case U_MWT_RIGHTMULTIPLY:
        result = s.world * xf;
        break;
    case 4: // MWT_SET
        result = xf;
        break;
    default:
        return;
    }
    if (result.isInvertible())
        s.world = result;
}

// Attributes --------------------------------------------------------------------

void CMetafileDC::SetTextColor(COLORREF c) {
    m_state.textColor = ColorFromRef(c);
}

void CMetafileDC::SetBkColor(COLORREF c) {
    m_state.bkColor = ColorFromRef(c);
}

void CMetafileDC::SetBkMode(int mode) {
    if (mode == U_TRANSPARENT || mode == U_OPAQUE)
        m_state.bkMode = mode;
}

void CMetafileDC::SetPolyFillMode(int mode) {
    if (mode == U_ALTERNATE || mode == U_WINDING)
        m_state.fillMode = mode;
}

void CMetafileDC::SetTextAlign(DWORD align) {
    m_state.textAlign = align;
}

void CMetafileDC::SetArcDirection(int direction) {
    if (direction == U_AD_COUNTERCLOCKWISE || direction == U_AD_CLOCKWISE)
        m_state.arcDirection = direction;
}

void CMetafileDC::SetRop2(int rop) {
    if (rop >= 1 && rop <= 16)
        m_state.rop2 = rop;
}

// Objects -----------------------------------------------------------------------

void CMetafileDC::CreateObjectAt(size_t index, GdiObject object) {
    if (index < m_objects.size())
        m_objects[index] = std::move(object);
}

void CMetafileDC::AddObject(GdiObject object) {
    auto free = std::find_if(m_objects.begin(), m_objects.end(), [](const GdiObject& o) {
        return std::holds_alternative<std::monostate>(o);
    });
    if (free != m_objects.end())
        *free = std::move(object);
    else if (m_objects.size() < kMaxObjectSlots)
        m_objects.push_back(std::move(object));
}

const GdiObject* CMetafileDC::Object(size_t index) const {
    return index < m_objects.size() ? &m_objects[index] : nullptr;
}

void CMetafileDC::SelectObject(size_t index) {
    const GdiObject* object = Object(index);
    if (!object)
        return;
    State& s = m_state;
    if (auto pen = std::get_if<GdiPen>(object))
        s.pen = *pen;
    else if (auto brush = std::get_if<GdiBrush>(object))
        s.brush = *brush;
    else if (auto font = std::get_if<GdiFont>(object))
        s.font = *font;
    else if (auto region = std::get_if<GdiRegion>(object))
        SelectClipLogicalRects(region->rects);
}

void CMetafileDC::SelectStockObject(DWORD id) {
    State& s = m_state;
    const DWORD stock = id & 0x7FFFFFFF;
    static constexpr int kBrushGrey[] = {255, 192, 128, 64, 0};
    if (stock <= 4) {
        const int g = kBrushGrey[stock];
        s.brush = GdiBrush{U_BS_SOLID, QColor(g, g, g), 0, {}};
    } else if (stock == 5) {
        s.brush = GdiBrush{U_BS_NULL, Qt::white, 0, {}};
    } else if (stock == 6 || stock == 7 || stock == 19) {
        s.pen = GdiPen{U_PS_SOLID, 0, stock == 6 ? Qt::white : Qt::black, false};
    } else if (stock == 8) {
        s.pen = GdiPen{U_PS_NULL, 0, Qt::black, false};
    } else if (stock >= 10 && stock <= 17) {
        s.font = GdiFont{};
    } else if (stock == 18) {
        s.brush = GdiBrush{U_BS_SOLID, Qt::white, 0, {}};
    }
}

void CMetafileDC::DeleteObject(size_t index) {
    if (index < m_objects.size())
        m_objects[index] = std::monostate{};
}

// Saved states ----------------------------------------------------------------------

void CMetafileDC::SaveDC() {
    if (m_saved.size() < kMaxSavedStates)
        m_saved.push_back(m_state);
}

void CMetafileDC::RestoreDC(int which) {
    // Negative counts back from the latest save; positive names a save by
    // its number, the first being 1.
    const long long depth = static_cast<long long>(m_saved.size());
    long long index = which < 0 ? depth + which : static_cast<long long>(which) - 1;
    if (which == 0 || index < 0 || index >= depth)
        return;
    m_state = m_saved[static_cast<size_t>(index)];
    m_saved.resize(static_cast<size_t>(index));
}

// Paths -----------------------------------------------------------------------------

void CMetafileDC::BeginPath() {
    m_state.path = QPainterPath();
    m_state.inPath = true;
    m_state.figureOpen = false;
}

void CMetafileDC::EndPath() {
    m_state.inPath = false;
}

void CMetafileDC::AbortPath() {
    m_state.path = QPainterPath();
    m_state.inPath = false;
}

void CMetafileDC::CloseFigure() {
    if (m_state.inPath && !m_state.path.isEmpty())
        m_state.path.closeSubpath();
    m_state.figureOpen = false;
}

// The path is used up by filling, stroking or clipping with it.
QPainterPath CMetafileDC::TakePath() {
    QPainterPath path = m_state.path;
    path.setFillRule(m_state.fillMode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    m_state.path = QPainterPath();
    m_state.inPath = false;
    m_state.figureOpen = false;
    return path;
}

void CMetafileDC::FillPath() {
    DrawDevicePath(TakePath(), true, false);
}

void CMetafileDC::StrokePath() {
    DrawDevicePath(TakePath(), false, true);
}

void CMetafileDC::StrokeAndFillPath() {
    DrawDevicePath(TakePath(), true, true);
}

void CMetafileDC::WidenPath() {
    const QPen pen = DevicePen();
    if (pen.style() == Qt::NoPen || m_state.path.isEmpty())
        return;
    QPainterPathStroker stroker(pen);
    m_state.path = stroker.createStroke(m_state.path);
}

void CMetafileDC::SelectClipPath(int mode) {
    CombineClip(TakePath(), mode);
}

// Clipping --------------------------------------------------------------------------

QPainterPath CMetafileDC::DeviceRectPath(const QRectF& logical) const {
    QPainterPath path;
    path.addRect(logical.normalized());
    return ToDevice(path);
}

void CMetafileDC::CombineClip(const QPainterPath& device, int mode) {
    QPainterPath current;
    if (m_state.clip)
        current = *m_state.clip;
    else
        current.addRect(m_deviceRect);
    QPainterPath result;
    switch (mode) {
    case U_RGN_AND:
        result = current.intersected(device);
        break;
    case U_RGN_OR:
        result = current.united(device);
        break;
    case U_RGN_XOR:
        result = current.united(device).subtracted(current.intersected(device));
        break;
    case U_RGN_DIFF:
        result = current.subtracted(device);
        break;
    case U_RGN_COPY:
        result = device;
        break;
    default:
        return;
    }
    m_state.clip = result;
}

void CMetafileDC::IntersectClipRect(const QRectF& r) {
    CombineClip(DeviceRectPath(r), U_RGN_AND);
}

void CMetafileDC::ExcludeClipRect(const QRectF& r) {
    CombineClip(DeviceRectPath(r), U_RGN_DIFF);
}

void CMetafileDC::SelectClipDeviceRects(const std::vector<QRectF>& rects, int mode) {
    if (rects.empty()) {
        if (mode == U_RGN_COPY)
            ResetClip();
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    CombineClip(m_base.map(path), mode);
}

void CMetafileDC::SelectClipLogicalRects(const std::vector<QRectF>& rects) {
    if (rects.empty()) {
        ResetClip();
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    CombineClip(ToDevice(path), U_RGN_COPY);
}

void CMetafileDC::ResetClip() {
    m_state.clip.reset();
}

void CMetafileDC::OffsetClip(double dx, double dy) {
    if (!m_state.clip)
        return;
    const QTransform t = Transform();
    const QPointF d = t.map(QPointF(dx, dy)) - t.map(QPointF(0, 0));
    m_state.clip->translate(d);
}

void CMetafileDC::ApplyClip() {
    if (m_state.clip)
        m_painter.setClipPath(*m_state.clip);
    else
        m_painter.setClipping(false);
}

QPainterPath CMetafileDC::ToDevice(const QPainterPath& logical) const {
    return Transform().map(logical);
}

} // namespace platform::metafile
