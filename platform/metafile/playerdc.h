#pragma once
// The drawing state a metafile is played into: the window system's device
// context (pens, brushes, fonts, colours, mapping, clipping, paths and the
// object table) kept for both metafile kinds, drawing through a QPainter.
// Every coordinate that reaches the painter has been mapped to the target's
// pixels here, so pen widths, text and images follow the same mapping.

#include "platform/wintypes.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <optional>
#include <variant>
#include <vector>

class QPainter;
class QPen;

namespace platform::metafile {

// Drawing objects --------------------------------------------------------------

struct GdiPen {
    DWORD style = 0;  // the window system's PS_ bits (style, cap, join, type)
    double width = 0; // logical units; 0 is one device pixel
    QColor color = Qt::black;
    bool extended = false; // made by ExtCreatePen: keeps its style at any width
};

struct GdiBrush {
    DWORD style = 0; // BS_SOLID, BS_NULL, BS_HATCHED or a pattern
    QColor color = Qt::white;
    DWORD hatch = 0;
    QImage pattern; // for pattern brushes
};

struct GdiFont {
    LONG height = 0;     // logical units; < 0 character height, > 0 cell height
    LONG escapement = 0; // tenths of a degree, counter-clockwise
    LONG weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    BYTE charSet = 0;
    QString face;
};

// A region object of a WMF, kept as rectangles in logical units.
struct GdiRegion {
    std::vector<QRectF> rects;
};

// Slots of objects the player does not draw with (palettes, colour spaces)
// still take their place in the table.
struct GdiOther {};

using GdiObject = std::variant<std::monostate, GdiPen, GdiBrush, GdiFont, GdiRegion, GdiOther>;

// The reference device the coordinates of a file were made for.
struct DeviceMetrics {
    QSizeF pixels;      // reference device size in pixels
    QSizeF millimetres; // and in millimetres
};

// How text is passed to TextOut.
struct TextRun {
    QPointF reference; // logical
    QString text;
    std::vector<double> dx;     // logical advance of each character; empty for none
    DWORD options = 0;          // ETO_ flags
    std::optional<QRectF> rect; // logical opaque/clip rectangle
};

class CMetafileDC {
public:
    // base maps the reference device's pixels onto the painter's pixels.
    CMetafileDC(QPainter& painter, const QTransform& base, const DeviceMetrics& metrics,
                size_t objectSlots);
    ~CMetafileDC();
    CMetafileDC(const CMetafileDC&) = delete;
    CMetafileDC& operator=(const CMetafileDC&) = delete;

    // Mapping: window, viewport, map mode and world transform.
    void SetMapMode(int mode);
    void SetWindowOrg(double x, double y);
    void SetWindowExt(double cx, double cy);
    void SetViewportOrg(double x, double y);
    void SetViewportExt(double cx, double cy);
    void OffsetWindowOrg(double dx, double dy);
    void OffsetViewportOrg(double dx, double dy);
    void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void SetWorldTransform(const QTransform& world);
    void ModifyWorldTransform(const QTransform& xf, DWORD mode);

    // Attributes.
    void SetTextColor(COLORREF c);
    void SetBkColor(COLORREF c);
    void SetBkMode(int mode);
    void SetPolyFillMode(int mode);
    void SetTextAlign(DWORD align);
    void SetArcDirection(int direction);
    void SetRop2(int rop);

    // Object table: EMF files name the slot, WMF files take the lowest free one.
    void CreateObjectAt(size_t index, GdiObject object);
    void AddObject(GdiObject object);
    void SelectObject(size_t index);
    void SelectStockObject(DWORD id);
    void DeleteObject(size_t index);
    const GdiObject* Object(size_t index) const;
    const GdiBrush& CurrentBrush() const { return m_state.brush; }

    // Saved states.
    void SaveDC();
    void RestoreDC(int which);

    // Lines and shapes, in logical units.
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void PolyBezier(const QPolygonF& points);
    void PolyBezierTo(const QPolygonF& points);
    void PolyDraw(const QPolygonF& points, const std::vector<BYTE>& types);
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const std::vector<QPolygonF>& polygons);
    void PolyPolyline(const std::vector<QPolygonF>& polylines);
    void Rectangle(const QRectF& r);
    void RoundRect(const QRectF& r, double cornerW, double cornerH);
    void Ellipse(const QRectF& r);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void ArcShape(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void AngleArc(QPointF centre, double radius, double startDeg, double sweepDeg);
    void SetPixel(QPointF p, COLORREF c);
    void FillRects(const std::vector<QRectF>& rects, const GdiBrush& brush);

    // Text.
    void TextOut(const TextRun& run);

    // Images: src is in the image's pixels, top row first.
    void StretchImage(const QImage& image, const QRectF& src, const QRectF& dst, DWORD rop,
                      double opacity = 1.0);
    void PatBlt(const QRectF& dst, DWORD rop);

    // Paths.
    void BeginPath();
    void EndPath();
    void AbortPath();
    void CloseFigure();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void WidenPath();
    void SelectClipPath(int mode);

    // Clipping.
    void IntersectClipRect(const QRectF& r);
    void ExcludeClipRect(const QRectF& r);
    // Rectangles in the reference device's pixels, combined by RGN_ mode;
    // an empty list with RGN_COPY removes the clip.
    void SelectClipDeviceRects(const std::vector<QRectF>& rects, int mode);
    void SelectClipLogicalRects(const std::vector<QRectF>& rects);
    void ResetClip();
    void OffsetClip(double dx, double dy);

    // The full mapping in force, logical units to painter pixels.
    QTransform Transform() const;

private:
    struct State {
        GdiPen pen;
        GdiBrush brush{0, Qt::white, 0, {}}; // white solid brush
        GdiFont font;
        QColor textColor = Qt::black;
        QColor bkColor = Qt::white;
        int bkMode = 2;   // OPAQUE
        int fillMode = 1; // ALTERNATE
        DWORD textAlign = 0;
        int arcDirection = 1; // counter-clockwise
        int rop2 = 13;        // R2_COPYPEN
        int mapMode = 1;      // MM_TEXT
        QPointF winOrg{0, 0}, winExt{1, 1}, vpOrg{0, 0}, vpExt{1, 1};
        QTransform world;
        QPointF current;
        std::optional<QPainterPath> clip; // painter pixels; none is no clip
        bool inPath = false;
        bool figureOpen = false;
        QPainterPath path; // painter pixels
    };

    QTransform PageTransform() const;
    QPainterPath ToDevice(const QPainterPath& logical) const;
    QPainterPath DeviceRectPath(const QRectF& logical) const;
    void AddToPathOrDraw(const QPainterPath& logical, bool closed);
    void DrawDevicePath(const QPainterPath& device, bool fill, bool stroke);
    void AppendLine(const QPainterPath& logicalLine);
    QPen DevicePen() const;
    void FillWithBrush(const QPainterPath& device, const GdiBrush& brush);
    void ApplyClip();
    QPainterPath TakePath();
    void CombineClip(const QPainterPath& device, int mode);
    QPainterPath ArcPath(ArcKind kind, const QRectF& box, QPointF start, QPointF end) const;
    QFont DeviceFont(double* angleDeg) const;

    QPainter& m_painter;
    QTransform m_base;
    DeviceMetrics m_metrics;
    QRectF m_deviceRect;
    std::vector<GdiObject> m_objects;
    State m_state;
    std::vector<State> m_saved;
};

} // namespace platform::metafile
