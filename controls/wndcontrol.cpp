#include "controls/wndcontrol.h"

#include "platform/gdi/dc.h"
#include "platform/userservices.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

UINT MouseFlags(const QMouseEvent* event) {
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

// CWndControl ----------------------------------------------------------------------------

CWndControl::CWndControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                         DWORD style)
    : QWidget(parent), CControlBase(manager, parent, id, rect, style) {
    platform::SetDlgCtrlID(this, id);
    platform::MoveWindow(this, m_rcWindow);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setVisible(style & WS_VISIBLE);
    setEnabled(!(style & WS_DISABLED));
    m_pWnd = this;
    SetBackgroundColor(0);
}

CWndControl::~CWndControl() = default;

void CWndControl::Redraw(const RECT*, int) {
    repaint();
}

void CWndControl::OnPaint(CDC* dc) {
    if (m_dwFlags & CTRL_OWN_BRUSH)
        dc->GetPainter()->fillRect(rect(),
                                   QColor(GetRValue(m_crBackground), GetGValue(m_crBackground),
                                          GetBValue(m_crBackground)));
}

void CWndControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CDC dc(&painter);
    if (!m_pManager || m_pManager->IsPaintEnabled())
        OnPaint(&dc);
}

void CWndControl::TrackMouse(const QMouseEvent* event) {
    m_ptPrevMouse = m_ptMouse;
    const QPoint p = event->position().toPoint();
    m_ptMouse = POINT{p.x(), p.y()};
}

void CWndControl::mouseMoveEvent(QMouseEvent* event) {
    TrackMouse(event);
    OnMouseMove(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
}

void CWndControl::mousePressEvent(QMouseEvent* event) {
    TrackMouse(event);
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
}

void CWndControl::mouseReleaseEvent(QMouseEvent* event) {
    TrackMouse(event);
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
    else if (event->button() == Qt::RightButton)
        OnRButtonUp(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
}

void CWndControl::mouseDoubleClickEvent(QMouseEvent* event) {
    TrackMouse(event);
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
}

// CPopupWindow -----------------------------------------------------------------------------

CPopupWindow::CPopupWindow()
    : QWidget(nullptr), m_pCloseListener(nullptr), m_bRunning(FALSE), m_bCreated(false) {
    m_nRole = 1;
    m_pHostWnd = this;
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CPopupWindow::~CPopupWindow() {
    EndModal();
    CPopupWindow::Clear();
}

namespace {
Qt::WindowFlags FlagsOf(DWORD style, DWORD exStyle) {
    Qt::WindowFlags flags = (exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    if ((style & WS_POPUP) && !((style & WS_CAPTION) == WS_CAPTION))
        flags |= Qt::FramelessWindowHint;
    if (exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
        if (style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}
} // namespace

BOOL CPopupWindow::Create(int x, int y, int cx, int cy, const std::string& title, DWORD style,
                          void* closeListener, DWORD exStyle, UINT id) {
    m_pCloseListener = closeListener;
    setWindowFlags(FlagsOf(style, exStyle));
    setWindowTitle(QString::fromStdString(title));
    platform::SetDlgCtrlID(this, int(id));
    setGeometry(x, y, cx, cy);
    if (!(style & WS_THICKFRAME) && (style & WS_CAPTION) == WS_CAPTION)
        setFixedSize(cx, cy);
    if (!Initialise())
        return FALSE;
    if (m_dwFlags & MGR_MIN_SIZE)
        setMinimumSize(m_sizeMin.cx, m_sizeMin.cy);
    if (m_dwFlags & MGR_MAX_SIZE)
        setMaximumSize(m_sizeMax.cx, m_sizeMax.cy);
    m_bCreated = true;
    if (style & WS_VISIBLE)
        show();
    return TRUE;
}

int CPopupWindow::RunModal(BOOL restrictToWindow) {
    m_bRunning = TRUE;
    if (restrictToWindow && !m_bCreated) {
        m_bRunning = FALSE;
        return 0;
    }
    m_loop.Run(restrictToWindow ? this : nullptr);
    m_bRunning = FALSE;
    return 0;
}

void CPopupWindow::EndModal() {
    m_bRunning = FALSE;
    m_loop.End(0);
}

void CPopupWindow::Close() {
    close();
}

BOOL CPopupWindow::CreateControls() {
    SetBackgroundColor(0x1E1414);
    return TRUE;
}

void CPopupWindow::Clear() {
    CControlManager::Clear();
    // The window itself stays the host until the object goes.
    m_pHostWnd = this;
}

void CPopupWindow::DestroyHost() {
    close();
}

void CPopupWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CDC dc(&painter);
    if (!EraseBackground(&dc))
        painter.fillRect(rect(), palette().window());
}

void CPopupWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(0, width(), height());
}

void CPopupWindow::closeEvent(QCloseEvent* event) {
    OnClose();
    QWidget::closeEvent(event);
    // A closed popup ends its modal loop, as the loop's window is gone.
    EndModal();
}

void CPopupWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    OnMouseMove(MouseFlags(event), p.x(), p.y());
}

void CPopupWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), p.x(), p.y());
}

void CPopupWindow::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(MouseFlags(event), p.x(), p.y());
}
