#include "controls/dibviewer.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"

#include <algorithm>
#include <cmath>

namespace {

double ClampZoom(double zoom) {
    if (zoom < CDIBViewer::kMinZoom)
        return CDIBViewer::kMinZoom;
    if (zoom >= CDIBViewer::kMaxZoom)
        return CDIBViewer::kMaxZoom;
    return zoom;
}

// Truncation toward zero, held inside the int range.
int Truncate(double value) {
    return int(std::clamp(value, -1e9, 1e9));
}

// Along one axis: a displayed extent smaller than the window stays inside
// it; a larger one covers it without a gap.
int PlaceAxis(int position, int extent, int window) {
    if (extent < window)
        return std::clamp(position, 0, window - extent);
    return std::clamp(position, window - extent, 0);
}

// How far the pan may move the image either way along one axis.
double PanLimit(int extent, int window) {
    const int n = (extent - window) >> 1;
    return extent < window ? -n : n;
}

} // namespace

CDIBViewer::CDIBViewer(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                       DWORD style)
    : CWndControl(manager, parent, id, rect, style), m_dZoom(1.0), m_dZoomSpeed(0.0), m_dPanX(0.0),
      m_dPanY(0.0), m_pImage(nullptr) {
    SetBackgroundColor(0x000000);
    m_dwFlags |= CTRL_NEVER_ACTIVE;
}

CDIBViewer::~CDIBViewer() {
    ReleaseShownImage();
}

// Images ----------------------------------------------------------------------------

void CDIBViewer::ReleaseShownImage() {
    if (m_pImage && m_pManager)
        m_pManager->ReleaseImage(m_pImage);
    m_pImage = nullptr;
}

BOOL CDIBViewer::SetImageFile(const std::string& path) {
    if (!m_pManager)
        return FALSE;
    CDIB* image = m_pManager->LoadImage(path.c_str(), CDIB::kImage, FALSE);
    if (image && image == m_pImage) {
        // The cache counted the picture once more; the viewer holds it already.
        m_pManager->ReleaseImage(image);
        return FALSE;
    }
    return TakeImage(image);
}

BOOL CDIBViewer::SetImage(CDIB* image) {
    if (!m_pManager || (image && image == m_pImage))
        return FALSE;
    if (image && !m_pManager->Images().Add(image, CDIB::kImage))
        image = nullptr;
    return TakeImage(image);
}

BOOL CDIBViewer::TakeImage(CDIB* image) {
    ReleaseShownImage();
    if (!image || (!image->GetBlock() && !image->EnsureParts(CDIB::kImage))) {
        if (image)
            m_pManager->ReleaseImage(image);
        m_dwFlags &= ~VIEWER_HAS_IMAGE;
        if (m_pManager->IsPaintEnabled())
            Redraw(nullptr, 0);
        return FALSE;
    }
    m_pImage = image;
    m_dwFlags |= VIEWER_HAS_IMAGE;
    m_dZoom = 1.0;
    m_dZoomSpeed = 0.0;
    m_dPanX = 0.0;
    m_dPanY = 0.0;
    if (m_pManager->IsPaintEnabled())
        Redraw(nullptr, 0);
    return TRUE;
}

// Zoom and pan ----------------------------------------------------------------------------

void CDIBViewer::SetZoom(double zoom) {
    if (zoom == m_dZoom || std::isnan(zoom))
        return;
    m_dZoom = ClampZoom(zoom);
    Redraw(nullptr, 0);
}

void CDIBViewer::RememberPress(POINT* point) {
    CWndControl::RememberPress(point);
    m_dZoomSpeed = 0.0;
}

void CDIBViewer::OnMouseMove(UINT flags, int x, int y) {
    CWndControl::OnMouseMove(flags, x, y);
    const int dx = m_ptMouse.x - m_ptPrevMouse.x;
    const int dy = m_ptMouse.y - m_ptPrevMouse.y;
    if ((flags & MK_LBUTTON) && !(m_dwFlags & VIEWER_NO_MOVE)) {
        m_dPanX += dx;
        m_dPanY += dy;
        Redraw(nullptr, 0);
    } else if ((flags & MK_RBUTTON) && !(m_dwFlags & VIEWER_NO_ZOOM)) {
        // The further in, the faster: the velocity grows with ln(zoom + e),
        // and each move keeps four fifths of the previous one.
        const double distance = std::sqrt(double(dx) * dx + double(dy) * dy);
        double velocity = std::log(m_dZoom + 2.718282) * distance;
        if (dx < 0)
            velocity = -velocity;
        m_dZoomSpeed = velocity * 0.03 * 0.2 + m_dZoomSpeed * 0.8;
        const double zoom = m_dZoom + m_dZoomSpeed;
        if (zoom == m_dZoom)
            return;
        m_dZoom = ClampZoom(zoom);
        Redraw(nullptr, 0);
    }
}

// Display ------------------------------------------------------------------------------------

bool CDIBViewer::PlaceImage() {
    if (!m_pImage || !(m_dwFlags & VIEWER_HAS_IMAGE))
        return false;
    const int w = width(), h = height();
    const int iw = m_pImage->GetWidth(), ih = m_pImage->GetHeight();
    if (w <= 0 || h <= 0 || iw <= 0 || ih <= 0)
        return false;
    m_dZoom = ClampZoom(m_dZoom);
    // The zoomed window, widened or heightened to the image's proportions
    // so that it covers its own size.
    int rw = int(w * m_dZoom), rh = int(h * m_dZoom);
    if (rw <= 0 || rh <= 0)
        return false;
    const double aspect = double(iw) / double(ih);
    if (aspect > double(rw) / double(rh))
        rw = int(aspect * rh);
    else
        rh = int(rw / aspect);
    if (rw <= 0 || rh <= 0)
        return false;
    const int left = PlaceAxis(((w - rw) >> 1) + Truncate(m_dPanX), rw, w);
    const int top = PlaceAxis(((h - rh) >> 1) + Truncate(m_dPanY), rh, h);
    m_rcDisplay = CRect(left, top, left + rw, top + rh);
    const double limitX = PanLimit(rw, w), limitY = PanLimit(rh, h);
    m_dPanX = std::clamp(m_dPanX, -limitX, limitX);
    m_dPanY = std::clamp(m_dPanY, -limitY, limitY);
    return true;
}

void CDIBViewer::Redraw(const RECT* area, int full) {
    PlaceImage();
    CWndControl::Redraw(area, full);
}

void CDIBViewer::OnPaint(CDC* dc) {
    if (!PlaceImage()) {
        CWndControl::OnPaint(dc);
        return;
    }
    FillAround(dc, width(), height(), m_rcDisplay, m_crBackground);
    // Drawn whole into its rectangle; the window clips what lies outside.
    dc->SaveDC();
    dc->IntersectClipRect(0, 0, width(), height());
    m_pImage->Draw(dc, &m_rcDisplay, nullptr, m_pManager ? m_pManager->GetPalette() : nullptr,
                   true);
    dc->RestoreDC(-1);
}
