#include "platform/recttracker.h"

#include "platform/gdi/dc.h"
#include "platform/mousetracking.h"
#include "platform/overlay.h"
#include "platform/window.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT kClientArea = 1; // the hit-test code of a window's client area
constexpr int kDefaultHandleSize = 6;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Diagonal hatching: the pixels with (x + y) % 4 == 3 are black, the others
// transparent, counted from the window's origin.
const QBrush& HatchBrush() {
    static const QBrush brush = [] {
        QImage tile(4, 4, QImage::Format_ARGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                tile.setPixel(x, y, (x + y) % 4 == 3 ? qRgba(0, 0, 0, 255) : qRgba(0, 0, 0, 0));
        return QBrush(tile);
    }();
    return brush;
}

void Hatch(QPainter* painter, const QRegion& region) {
    painter->save();
    painter->setBrushOrigin(0, 0);
    painter->setClipRegion(region, Qt::IntersectClip);
    painter->fillRect(region.boundingRect(), HatchBrush());
    painter->restore();
}

// A one-pixel frame on the border pixels of the rectangle; dotted frames
// take every other pixel.
void Frame(CDC* dc, const CRect& r, bool dotted) {
    if (r.IsRectEmpty())
        return;
    if (!dotted) {
        dc->FillSolidRect(CRect(r.left, r.top, r.right, r.top + 1), kBlack);
        dc->FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), kBlack);
        dc->FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom), kBlack);
        dc->FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), kBlack);
        return;
    }
    auto dot = [dc](int x, int y) {
        if ((x + y) % 2 == 0)
            dc->FillSolidRect(CRect(x, y, x + 1, y + 1), kBlack);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        dot(x, r.bottom - 1);
    }
    for (int y = r.top; y < r.bottom; ++y) {
        dot(r.left, y);
        dot(r.right - 1, y);
    }
}

Qt::CursorShape CursorOf(int hit) {
    switch (hit) {
    case CRectTracker::hitTopLeft:
    case CRectTracker::hitBottomRight:
        return Qt::SizeFDiagCursor;
    case CRectTracker::hitTopRight:
    case CRectTracker::hitBottomLeft:
        return Qt::SizeBDiagCursor;
    case CRectTracker::hitTop:
    case CRectTracker::hitBottom:
        return Qt::SizeVerCursor;
    case CRectTracker::hitLeft:
    case CRectTracker::hitRight:
        return Qt::SizeHorCursor;
    default:
        return Qt::SizeAllCursor;
    }
}

} // namespace

CRectTracker::CRectTracker()
    : m_nStyle(0), m_nHandleSize(kDefaultHandleSize),
      m_sizeMin(kDefaultHandleSize * 2, kDefaultHandleSize * 2) {}

CRectTracker::CRectTracker(const RECT* rect, UINT style) : CRectTracker() {
    if (rect)
        m_rect = CRect(*rect);
    m_nStyle = style;
}

CRectTracker::~CRectTracker() = default;

// Drawing ------------------------------------------------------------------------------

void CRectTracker::GetTrueRect(RECT* out) const {
    CRect r(m_rect);
    r.NormalizeRect();
    int grow = 0;
    if (m_nStyle & (resizeOutside | hatchedBorder))
        grow += GetHandleSize(&r) - 1;
    if (m_nStyle & (solidLine | dottedLine))
        ++grow;
    r.InflateRect(grow, grow);
    *out = r;
}

void CRectTracker::GetHandleRect(int hit, RECT* out) const {
    CRect base(m_rect);
    base.NormalizeRect();
    const int size = GetHandleSize(&base);
    if (m_nStyle & (solidLine | dottedLine))
        base.InflateRect(1, 1);
    if (m_nStyle & resizeOutside)
        base.InflateRect(size - 1, size - 1);
    const int left = base.left, right = base.right - size;
    const int midX = base.left + (base.Width() - size) / 2;
    const int top = base.top, bottom = base.bottom - size;
    const int midY = base.top + (base.Height() - size) / 2;
    int x = 0, y = 0;
    switch (hit) {
    case hitTopLeft:
        x = left, y = top;
        break;
    case hitTopRight:
        x = right, y = top;
        break;
    case hitBottomRight:
        x = right, y = bottom;
        break;
    case hitBottomLeft:
        x = left, y = bottom;
        break;
    case hitTop:
        x = midX, y = top;
        break;
    case hitRight:
        x = right, y = midY;
        break;
    case hitBottom:
        x = midX, y = bottom;
        break;
    case hitLeft:
        x = left, y = midY;
        break;
    default:
        *out = CRect();
        return;
    }
    *out = CRect(x, y, x + size, y + size);
}

void CRectTracker::Draw(CDC* dc) const {
    QPainter* painter = dc ? dc->GetPainter() : nullptr;
    if (!painter)
        return;
    CRect r(m_rect);
    r.NormalizeRect();
    const bool line = m_nStyle & (solidLine | dottedLine);
    CRect lineRect(r);
    if (line)
        lineRect.InflateRect(1, 1);
    if (m_nStyle & hatchInside)
        Hatch(painter, QRegion(ToQRect(r)));
    if (m_nStyle & hatchedBorder) {
        CRect trueRect;
        GetTrueRect(&trueRect);
        const QRegion band = QRegion(ToQRect(trueRect)) - QRegion(ToQRect(lineRect));
        for (const QRect& q : band)
            dc->FillSolidRect(CRect(q.x(), q.y(), q.x() + q.width(), q.y() + q.height()), kWhite);
        Hatch(painter, band);
    }
    if (line)
        Frame(dc, lineRect, (m_nStyle & solidLine) == 0);
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i)
            if (mask & (1u << i)) {
                CRect handle;
                GetHandleRect(i, &handle);
                dc->FillSolidRect(handle, kBlack);
            }
    }
}

// Hit testing and cursors ------------------------------------------------------------

int CRectTracker::HitTest(POINT point) const {
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (!trueRect.PtInRect(point))
        return hitNothing;
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect handle;
            GetHandleRect(i, &handle);
            if (handle.PtInRect(point))
                return i;
        }
    }
    if (!(m_nStyle & hatchedBorder)) {
        // Without a border to take hold of, the gaps between the handles
        // are outside.
        CRect r(m_rect);
        r.NormalizeRect();
        if (m_nStyle & (solidLine | dottedLine))
            r.InflateRect(1, 1);
        if (!r.PtInRect(point))
            return hitNothing;
    }
    return hitMiddle;
}

int CRectTracker::NormalizeHit(int hit) const {
    if (hit < hitTopLeft || hit > hitLeft)
        return hit;
    if (m_rect.right < m_rect.left) {
        static constexpr int kMirror[8] = {hitTopRight, hitTopLeft, hitBottomLeft, hitBottomRight,
                                           hitTop,      hitLeft,    hitBottom,     hitRight};
        hit = kMirror[hit];
    }
    if (m_rect.bottom < m_rect.top) {
        static constexpr int kFlip[8] = {hitBottomLeft, hitBottomRight, hitTopRight, hitTopLeft,
                                         hitBottom,     hitRight,       hitTop,      hitLeft};
        hit = kFlip[hit];
    }
    return hit;
}

BOOL CRectTracker::SetCursor(QWidget* wnd, UINT hitTest) const {
    if (!wnd)
        return FALSE;
    return SetCursor(wnd, hitTest, platform::ScreenToClient(wnd, platform::CursorPos()));
}

BOOL CRectTracker::SetCursor(QWidget* wnd, UINT hitTest, POINT point) const {
    if (!wnd || hitTest != kClientArea)
        return FALSE;
    const int hit = HitTest(point);
    if (hit == hitNothing)
        return FALSE;
    wnd->setCursor(QCursor(CursorOf(hit)));
    return TRUE;
}

// Tracking ---------------------------------------------------------------------------

void CRectTracker::MoveSides(int hit, const CRect& start, int dx, int dy, CRect* out) const {
    CRect r(start);
    switch (hit) {
    case hitTopLeft:
        r.left += dx, r.top += dy;
        break;
    case hitTopRight:
        r.right += dx, r.top += dy;
        break;
    case hitBottomRight:
        r.right += dx, r.bottom += dy;
        break;
    case hitBottomLeft:
        r.left += dx, r.bottom += dy;
        break;
    case hitTop:
        r.top += dy;
        break;
    case hitRight:
        r.right += dx;
        break;
    case hitBottom:
        r.bottom += dy;
        break;
    case hitLeft:
        r.left += dx;
        break;
    default:
        r.OffsetRect(dx, dy);
        break;
    }
    *out = r;
}

BOOL CRectTracker::Track(QWidget* wnd, POINT point, BOOL allowInvert) {
    if (!wnd)
        return FALSE;
    const int shown = HitTest(point);
    if (shown == hitNothing)
        return FALSE;
    const int hit = NormalizeHit(shown);
    const CRect start = m_rect;
    platform::COverlay overlay(wnd);
    DrawTrackerRect(&m_rect, &overlay);
    const bool released = platform::TrackMouse(wnd, [&](POINT p, UINT) {
        CRect next;
        MoveSides(hit, start, p.x - point.x, p.y - point.y, &next);
        AdjustRect(hit, &next);
        if (!allowInvert)
            next.NormalizeRect();
        if (next == m_rect)
            return;
        const CRect old = m_rect;
        m_rect = next;
        DrawTrackerRect(&m_rect, &overlay);
        OnChangedRect(old);
    });
    DrawTrackerRect(nullptr, &overlay);
    if (!released) {
        m_rect = start;
        return FALSE;
    }
    return TRUE;
}

// Overridables ---------------------------------------------------------------------------

void CRectTracker::DrawTrackerRect(const RECT* rect, platform::COverlay* overlay) {
    if (!overlay)
        return;
    if (!rect) {
        overlay->SetDragRect(nullptr, SIZE{0, 0});
        return;
    }
    CRect r(*rect);
    r.NormalizeRect();
    SIZE size{1, 1};
    if (m_nStyle & hatchedBorder) {
        const int s = std::max(1, GetHandleSize(&r) - 1);
        size = SIZE{s, s};
        r.InflateRect(s, s);
    }
    overlay->SetDragRect(&r, size);
}

void CRectTracker::AdjustRect(int hit, RECT* rect) {
    // The moved side keeps its distance to the opposite one, on whichever
    // side of it it is.
    auto keep = [](LONG& moved, LONG fixed, int minimum, bool lowSide) {
        int extent = moved - fixed;
        if (extent == 0)
            extent = lowSide ? -1 : 1; // sides that meet count as not inverted
        if (extent > 0 && extent < minimum)
            moved = fixed + minimum;
        else if (extent < 0 && extent > -minimum)
            moved = fixed - minimum;
    };
    switch (hit) {
    case hitTopLeft:
    case hitBottomLeft:
    case hitLeft:
        keep(rect->left, rect->right, m_sizeMin.cx, true);
        break;
    case hitTopRight:
    case hitBottomRight:
    case hitRight:
        keep(rect->right, rect->left, m_sizeMin.cx, false);
        break;
    default:
        break;
    }
    switch (hit) {
    case hitTopLeft:
    case hitTopRight:
    case hitTop:
        keep(rect->top, rect->bottom, m_sizeMin.cy, true);
        break;
    case hitBottomLeft:
    case hitBottomRight:
    case hitBottom:
        keep(rect->bottom, rect->top, m_sizeMin.cy, false);
        break;
    default:
        break;
    }
}

void CRectTracker::OnChangedRect(const CRect&) {}

UINT CRectTracker::GetHandleMask() const {
    UINT mask = 0x0F; // the corners
    const int size = m_nHandleSize * 3;
    if (std::abs(m_rect.Width()) - size > 4)
        mask |= 0x50; // top and bottom
    if (std::abs(m_rect.Height()) - size > 4)
        mask |= 0xA0; // right and left
    return mask;
}

int CRectTracker::GetHandleSize(const RECT* rect) const {
    int size = m_nHandleSize;
    if (!(m_nStyle & resizeOutside)) {
        const CRect r = rect ? CRect(*rect) : m_rect;
        const int smaller = std::min(std::abs(r.Width()), std::abs(r.Height()));
        if (size * 2 > smaller)
            size = smaller / 2;
    }
    return size;
}
