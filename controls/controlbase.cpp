#include "controls/controlbase.h"

#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/window.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cmath>

CControlBase::CControlBase(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                           DWORD style)
    : m_pManager(manager), m_pParentWnd(parent), m_pWnd(nullptr), m_nId(id),
      m_rcWindow(rect ? *rect : CRect()), m_rcDesign(rect ? *rect : CRect()), m_dwStyle(style),
      m_pGroup(nullptr), m_dWeight(1.0), m_dwFlags(0), m_crBackground(0x77ECF9),
      m_pIntSource(nullptr), m_pDoubleSource(nullptr), m_nUserData(0), m_dScaleX(1.0),
      m_dScaleY(1.0),
      m_pDragImage(nullptr), m_ptPrevMouse{0, 0}, m_ptMouse{0, 0}, m_ptPress{0, 0}, m_ptDrop{0, 0},
      m_bDropPending(FALSE) {}

CControlBase::~CControlBase() {
    FreeDragImage();
}

BOOL CControlBase::ModifyStyle(DWORD remove, DWORD add, UINT) {
    if (!m_pWnd)
        return FALSE;
    m_dwStyle = (m_dwStyle & ~remove) | add;
    m_pWnd->setVisible(m_dwStyle & WS_VISIBLE);
    m_pWnd->setEnabled(!(m_dwStyle & WS_DISABLED));
    if (m_pManager && m_pManager->IsPaintEnabled())
        Redraw(nullptr, 0);
    return TRUE;
}

BOOL CControlBase::ModifyStyleEx(DWORD, DWORD, UINT) {
    if (!m_pWnd)
        return FALSE;
    if (m_pManager && m_pManager->IsPaintEnabled())
        Redraw(nullptr, 0);
    return TRUE;
}

BOOL CControlBase::Enable(BOOL enable) {
    if (!m_pWnd)
        return 0;
    // Like EnableWindow: answers whether the window was disabled before.
    const BOOL wasDisabled = !m_pWnd->isEnabled();
    m_pWnd->setEnabled(enable);
    if (enable)
        m_dwStyle &= ~WS_DISABLED;
    else
        m_dwStyle |= WS_DISABLED;
    return wasDisabled;
}

void CControlBase::Relayout() {
    if (!m_pManager)
        return;
    if (m_pGroup && (m_pGroup->GetFlags() & CTRL_ON_GROUP)) {
        if (!(m_pGroup->GetFlags() & CTRL_LAID_OUT))
            m_pGroup->Relayout();
    } else {
        m_pManager->EnablePaint(FALSE);
        CRect design = m_rcDesign;
        design.NormalizeRect();
        m_rcWindow = CRect(
            int(design.left * m_pManager->m_dScaleX), int(design.top * m_pManager->m_dScaleY),
            int(design.right * m_pManager->m_dScaleX), int(design.bottom * m_pManager->m_dScaleY));
        if (m_pWnd)
            platform::MoveWindow(m_pWnd, m_rcWindow);
        if (m_dwFlags & CTRL_SEE_THROUGH)
            m_dwFlags &= ~CTRL_REDRAWN;
    }
    m_dScaleX = SingleScale(m_rcWindow.Width(), m_rcDesign.Width());
    m_dScaleY = SingleScale(m_rcWindow.Height(), m_rcDesign.Height());
    m_dwFlags |= CTRL_LAID_OUT;
    m_pManager->EnablePaint(TRUE);
    if (m_pWnd)
        m_pWnd->update();
}

void CControlBase::OnLButtonDown(UINT, int x, int y) {
    POINT p{x, y};
    RememberPress(&p);
}

void CControlBase::OnRButtonDown(UINT, int x, int y) {
    POINT p{x, y};
    RememberPress(&p);
}

void CControlBase::OnLButtonDblClk(UINT, int x, int y) {
    POINT p{x, y};
    RememberPress(&p);
}

void CControlBase::RememberPress(POINT* point) {
    if (m_pWnd)
        m_ptPress = platform::ClientToScreen(m_pWnd, *point);
}

void CControlBase::OnMouseMove(UINT flags, int x, int y) {
    if ((m_dwFlags & CTRL_DRAGGABLE) && (flags & MK_LBUTTON) && m_pWnd) {
        POINT screen = platform::ClientToScreen(m_pWnd, POINT{x, y});
        const long long dx = screen.x - m_ptPress.x, dy = screen.y - m_ptPress.y;
        if (std::sqrt(double(dx * dx + dy * dy)) > 4.0) {
            CDIB* image = CreateDragImage();
            if (m_pManager && image)
                m_pManager->StartDrag(image, &screen, m_nId);
            FreeDragImage();
        }
    }
    // A button held down drops its hover look but stays the active control;
    // moving over it then must not make it active again.
    if (!(m_dwFlags & CTRL_ACTIVE) && m_pManager && m_pManager->GetActiveControl() != this)
        m_pManager->SetActiveControl((m_dwFlags & CTRL_NEVER_ACTIVE) ? nullptr : this);
}

void CControlBase::FreeDragImage() {
    delete m_pDragImage;
    m_pDragImage = nullptr;
}

CDIB* CControlBase::CreateDragImage() {
    FreeDragImage();
    // The window's current size: a layout group sizes member windows
    // without touching m_rcWindow.
    const int width = m_pWnd ? m_pWnd->width() : 0, height = m_pWnd ? m_pWnd->height() : 0;
    if (!m_pWnd || width <= 0 || height <= 0)
        return nullptr;
    m_pDragImage = new CDIB;
    QImage snapshot = m_pWnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (snapshot.isNull() || !m_pDragImage->Create(width, height, 24, nullptr)) {
        FreeDragImage();
        return nullptr;
    }
    QPainter painter(&snapshot);
    CDC dc(&painter, &snapshot);
    if (!m_pDragImage->CaptureFromDC(&dc, snapshot.width(), snapshot.height(), nullptr)) {
        FreeDragImage();
        return nullptr;
    }
    return m_pDragImage;
}

void CControlBase::OnNotify_Drop(int, int, const POINT* point) {
    m_ptDrop = *point;
    m_bDropPending = TRUE;
}

void CControlBase::OnNotify_Int(int sender, int) {
    if (m_pIntSource && m_pManager && sender == m_pIntSource->m_nId)
        SetIntValue(m_pIntSource->GetIntValue());
}

void CControlBase::OnNotify_Double(int sender, double) {
    if (m_pDoubleSource && m_pManager && sender == m_pDoubleSource->m_nId)
        SetDoubleValue(m_pDoubleSource->GetDoubleValue());
}

void CControlBase::SetDraggable(BOOL draggable) {
    if (draggable)
        m_dwFlags |= CTRL_DRAGGABLE;
    else
        m_dwFlags &= ~CTRL_DRAGGABLE;
}

BOOL CControlBase::TakeDropPoint(POINT* out) {
    if (!m_bDropPending)
        return FALSE;
    *out = m_ptDrop;
    m_bDropPending = FALSE;
    return TRUE;
}

void CControlBase::SetDesignRect(const CRect* rect) {
    if (m_dwFlags & CTRL_DESIGN_FIXED)
        return;
    m_rcDesign = *rect;
    m_dwFlags |= CTRL_DESIGN_FIXED;
}

void CControlBase::SetIntSource(CControlBase* source) {
    m_pIntSource = source;
    if (!source)
        return;
    if (m_pManager)
        m_pManager->AddListener(this);
    SetIntValue(source->GetIntValue());
}

void CControlBase::SetDoubleSource(CControlBase* source) {
    m_pDoubleSource = source;
    if (!source)
        return;
    if (m_pManager)
        m_pManager->AddListener(this);
    SetDoubleValue(source->GetDoubleValue());
}

void CControlBase::SetBackgroundColor(COLORREF colour) {
    m_crBackground = colour;
    m_dwFlags |= CTRL_OWN_BRUSH;
}

BOOL CControlBase::Notify(int sender, int kind, int64_t value0, int64_t value1, int64_t value2) {
    if (!m_pManager)
        return FALSE;
    CNotifier record(sender, kind, value0, value1, value2);
    return m_pManager->Dispatch(&record);
}

void CControlBase::MoveWindowTo(int x, int y, int cx, int cy) {
    if (m_pWnd)
        platform::MoveWindow(m_pWnd, CRect(x, y, x + cx, y + cy));
}

BOOL CControlBase::GetMouseDelta(double* dx, double* dy) const {
    if (!m_pManager)
        return FALSE;
    *dx = (m_ptMouse.x - m_ptPrevMouse.x) / m_dScaleX;
    *dy = (m_ptMouse.y - m_ptPrevMouse.y) / m_dScaleY;
    return TRUE;
}
