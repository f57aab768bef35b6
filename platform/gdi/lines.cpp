// Lines and polygons: the one-pixel path of a line, dash patterns, wide pens
// and the scanline fill of polygons.

#include "platform/gdi/dc.h"

#include "platform/gdi/dcstate.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

using platform::dcdetail::PenShape;

namespace {

// NOTE: the window system's cosmetic pens count their patterns in pixels
// along the line; every pattern fits a cycle of 24 pixels.
constexpr int kDash[] = {18, 6};
constexpr int kDot[] = {3, 3};
constexpr int kDashDot[] = {9, 6, 3, 6};
constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
constexpr int kPatternCycle = 24;

bool DashIsOn(const PenShape& pen, int pos) {
    int total = 0;
    for (int i = 0; i < pen.dashCount; ++i)
        total += pen.dashes[i];
    pos %= total;
    for (int i = 0; i < pen.dashCount; ++i) {
        if (pos < pen.dashes[i])
            return i % 2 == 0;
        pos -= pen.dashes[i];
    }
    return false;
}

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// i * d / steps rounded, halves upward, for 0 <= i < steps and |d| <= steps.
long long RoundedStep(long long i, long long d, long long steps) {
    // Exact while 2 * i * |d| fits; only lines billions of pixels long go
    // through the wide floating-point form.
    if (i == 0 || std::llabs(d) <= (LLONG_MAX - steps) / (2 * i))
        return FloorDiv(2 * i * d + steps, 2 * steps);
    return (long long)std::floor((long double)i * d / steps + 0.5L);
}

// Calls plot(x, y) for every pixel of the line from a to b, b excluded. The
// major axis steps one pixel at a time; the minor axis takes the rounded
// exact position, halves upward. Pixels whose major coordinate lies outside
// the visible area are not walked but counted through skip(n), so a dash
// pattern keeps its phase however far away the line starts.
template <typename Plot, typename Skip>
void WalkLine(POINT a, POINT b, const CRect& visible, Plot&& plot, Skip&& skip) {
    const long long dx = (long long)b.x - a.x, dy = (long long)b.y - a.y;
    const long long steps = std::max(std::llabs(dx), std::llabs(dy));
    if (steps == 0)
        return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long start = xMajor ? a.x : a.y;
    const long long lo = xMajor ? visible.left : visible.top;
    const long long hi = (xMajor ? visible.right : visible.bottom) - 1LL;
    const bool forward = (xMajor ? dx : dy) > 0;
    const long long first = std::max(0LL, forward ? lo - start : start - hi);
    const long long last = std::min(steps - 1, forward ? hi - start : start - lo);
    if (first > last) {
        skip(steps);
        return;
    }
    skip(first);
    for (long long i = first; i <= last; ++i)
        plot(int(a.x + RoundedStep(i, dx, steps)), int(a.y + RoundedStep(i, dy, steps)));
    skip(steps - 1 - last);
}

// Gathers the pixels of a line into horizontal or vertical runs of one
// colour, so a straight line becomes one fill, and paints each run with the
// pen's square.
template <typename Fill> class RunPainter {
public:
    RunPainter(int penWidth, Fill fill) : m_nWidth(penWidth), m_fill(fill) {}
    ~RunPainter() { Flush(); }

    void Add(int x, int y, COLORREF colour) {
        if (m_bOpen && colour == m_colour && Extends(x, y)) {
            m_run.left = std::min<LONG>(m_run.left, x);
            m_run.right = std::max<LONG>(m_run.right, x + 1);
            m_run.top = std::min<LONG>(m_run.top, y);
            m_run.bottom = std::max<LONG>(m_run.bottom, y + 1);
            return;
        }
        Flush();
        m_run = CRect(x, y, x + 1, y + 1);
        m_colour = colour;
        m_bOpen = true;
    }

    void Flush() {
        if (!m_bOpen)
            return;
        m_bOpen = false;
        const int before = (m_nWidth - 1) / 2, after = m_nWidth - 1 - before;
        CRect r = m_run;
        r.InflateRect(before, before, after, after);
        m_fill(r, m_colour);
    }

private:
    bool Extends(int x, int y) const {
        const bool oneRow = m_run.Height() == 1, oneColumn = m_run.Width() == 1;
        if (oneRow && y == m_run.top && (x == m_run.right || x == m_run.left - 1))
            return true;
        return oneColumn && x == m_run.left && (y == m_run.bottom || y == m_run.top - 1);
    }

    int m_nWidth;
    Fill m_fill;
    CRect m_run;
    COLORREF m_colour = 0;
    bool m_bOpen = false;
};

// A crossing of a scanline with a polygon edge, and the edge's direction.
struct Crossing {
    double x;
    int direction;
};

std::vector<Crossing> RowCrossings(const POINT* points, int count, double yc) {
    std::vector<Crossing> crossings;
    for (int i = 0; i < count; ++i) {
        const POINT& a = points[i];
        const POINT& b = points[(i + 1) % count];
        if (a.y == b.y)
            continue;
        const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
        if (yc < y0 || yc >= y1)
            continue;
        const double x = a.x + (yc - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
        crossings.push_back({x, b.y > a.y ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
    return crossings;
}

// The pixels whose centres lie between two crossings.
CRect RowSpan(double x0, double x1, int y) {
    return CRect(int(std::ceil(x0 - 0.5)), y, int(std::ceil(x1 - 0.5)), y + 1);
}

} // namespace

namespace platform::dcdetail {

PenShape ShapeOfPen(const CPen& pen) {
    PenShape shape;
    shape.width = std::max(1, pen.GetWidth());
    shape.colour = pen.GetColor();
    shape.visible = pen.GetSafeHandle() && pen.GetStyle() != PS_NULL;
    shape.insideFrame = pen.GetStyle() == PS_INSIDEFRAME;
    if (shape.width > 1)
        return shape;
    switch (pen.GetStyle()) {
    case PS_DASH:
        shape.dashes = kDash, shape.dashCount = 2;
        break;
    case PS_DOT:
        shape.dashes = kDot, shape.dashCount = 2;
        break;
    case PS_DASHDOT:
        shape.dashes = kDashDot, shape.dashCount = 4;
        break;
    case PS_DASHDOTDOT:
        shape.dashes = kDashDotDot, shape.dashCount = 6;
        break;
    default:
        break;
    }
    return shape;
}

} // namespace platform::dcdetail

void CDC::StrokePath(const POINT* points, int count, bool closed, bool restartPattern) {
    DrawingState& s = m_pInternals->state;
    if (restartPattern)
        s.patternPos = 0;
    const PenShape pen = platform::dcdetail::ShapeOfPen(s.pen);
    if (!m_pPainter || !points || count < 2 || !pen.visible)
        return;
    auto fill = [this](const CRect& r, COLORREF c) { FillPixels(r, c); };
    RunPainter<decltype(fill)> runs(pen.width, fill);
    auto plot = [&](int x, int y) {
        if (!pen.dashes) {
            runs.Add(x, y, pen.colour);
            return;
        }
        const bool on = DashIsOn(pen, s.patternPos);
        s.patternPos = (s.patternPos + 1) % kPatternCycle;
        if (on)
            runs.Add(x, y, pen.colour);
        else if (s.bkMode == OPAQUE)
            runs.Add(x, y, s.bkColor);
        else
            runs.Flush();
    };
    auto skip = [&](long long n) {
        if (n <= 0)
            return;
        runs.Flush();
        s.patternPos = int((s.patternPos + n) % kPatternCycle);
    };
    const CRect visible = VisibleArea(pen.width);
    for (int i = 0; i + 1 < count; ++i)
        WalkLine(points[i], points[i + 1], visible, plot, skip);
    if (closed)
        WalkLine(points[count - 1], points[0], visible, plot, skip);
}

CPoint CDC::MoveTo(int x, int y) {
    DrawingState& s = m_pInternals->state;
    const CPoint previous = s.current;
    s.current = CPoint(x, y);
    s.patternPos = 0;
    return previous;
}

CPoint CDC::GetCurrentPosition() const {
    return m_pInternals->state.current;
}

BOOL CDC::LineTo(int x, int y) {
    DrawingState& s = m_pInternals->state;
    const POINT path[2] = {s.current, {x, y}};
    StrokePath(path, 2, false, false);
    s.current = CPoint(x, y);
    return m_pPainter ? TRUE : FALSE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    if (!m_pPainter || !points || count < 2)
        return FALSE;
    StrokePath(points, count, false, true);
    return TRUE;
}

void CDC::FillPolygonInterior(const POINT* points, int count) {
    const DrawingState& s = m_pInternals->state;
    if (s.brush.IsHollow())
        return;
    int top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min<int>(top, points[i].y);
        bottom = std::max<int>(bottom, points[i].y);
    }
    const CRect visible = VisibleArea(0);
    top = std::max<int>(top, visible.top);
    bottom = std::min<int>(bottom, visible.bottom);
    for (int y = top; y < bottom; ++y) {
        const std::vector<Crossing> crossings = RowCrossings(points, count, y + 0.5);
        if (s.polyFillMode == ALTERNATE) {
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                FillWithBrush(RowSpan(crossings[i].x, crossings[i + 1].x, y), s.brush);
            continue;
        }
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].direction;
            if (winding != 0)
                FillWithBrush(RowSpan(crossings[i].x, crossings[i + 1].x, y), s.brush);
        }
    }
}

BOOL CDC::Polygon(const POINT* points, int count) {
    if (!m_pPainter || !points || count < 2)
        return FALSE;
    FillPolygonInterior(points, count);
    StrokePath(points, count, true, true);
    return TRUE;
}
