#include "popups/dragicon.h"

#include "imaging/dib.h"
#include "platform/window.h"

CDragNDropIcon::CDragNDropIcon() : m_pImage(nullptr), m_nDropped(0), m_nDropX(0), m_nDropY(0) {
    m_nRole = 3;
}

CDragNDropIcon::~CDragNDropIcon() = default;

BOOL CDragNDropIcon::Create(const CRect& rect, CDIB* image, const std::string& title, DWORD style,
                            DWORD exStyle) {
    m_pImage = image;
    return CPopupWindow::Create(rect.left, rect.top, rect.Width(), rect.Height(), title, style,
                                nullptr, exStyle);
}

BOOL CDragNDropIcon::CreateAt(POINT point, CDIB* image) {
    const int w = image ? image->GetWidth() : kPlainWidth;
    const int h = image ? image->GetHeight() : kPlainHeight;
    // Halves rounded toward minus infinity, as an arithmetic shift gives them.
    const CRect rect(point.x - (w >> 1), point.y - (h >> 1), point.x - (w >> 1) + w,
                     point.y - (h >> 1) + h);
    return Create(rect, image, kTitle, WS_POPUP | WS_VISIBLE | WS_BORDER,
                  WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
}

BOOL CDragNDropIcon::CreateControls() {
    SetBackgroundColor(kBackground);
    // The image belongs to the dragged control, so it stays out of the cache.
    if (m_pImage)
        SetBackgroundImage(m_pImage, FALSE);
    SetMinimumSize(20, 20);
    SetMaximumSize(80, 70);
    return TRUE;
}

int CDragNDropIcon::RunModal(BOOL restrictToWindow) {
    if (restrictToWindow && !IsCreated())
        return 0;
    // The capture brings every mouse event to the icon, wherever the mouse is.
    SetCapture();
    CPopupWindow::RunModal(restrictToWindow);
    ReleaseCapture();
    return 0;
}

bool CDragNDropIcon::Track(POINT* dropPoint) {
    RunModal(FALSE);
    if (!m_nDropped)
        return false;
    *dropPoint = GetDropPoint();
    return true;
}

void CDragNDropIcon::OnMouseMove(UINT flags, int x, int y) {
    const POINT screen = platform::ClientToScreen(this, POINT{x, y});
    move(screen.x - kMouseOffset, screen.y - kMouseOffset);
    if (!(flags & MK_LBUTTON))
        EndModal();
}

void CDragNDropIcon::OnLButtonUp(UINT, int x, int y) {
    const POINT screen = platform::ClientToScreen(this, POINT{x, y});
    m_nDropped = 1;
    m_nDropX = screen.x;
    m_nDropY = screen.y;
    EndModal();
}
