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

UINT CWndControl::TrackCommandMenu(CMenu& menu, UINT flags, int x, int y) {
    const UINT chosen = menu.TrackPopupMenu(flags, x, y, this);
    if (chosen)
        OnCommandHook(chosen, 0, nullptr, nullptr);
    return chosen;
}

void CWndControl::mouseMoveEvent(QMouseEvent* event) {
    TrackMouse(event);
    if (OnSetCursorHook(this, HTCLIENT, WM_MOUSEMOVE))
        unsetCursor();
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
    : QWidget(nullptr), m_pCloseListener(nullptr), m_bRunning(FALSE), m_bCreated(false),
      m_bBorder(false), m_bCapture(false) {
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
bool HasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

// A popup without a caption has no frame of the window system, unless it
// can be sized: then it keeps the frame the window manager sizes it by.
bool IsFrameless(DWORD style) {
    return (style & WS_POPUP) && !HasCaption(style) && !(style & WS_THICKFRAME);
}

Qt::WindowFlags FlagsOf(DWORD style, DWORD exStyle) {
    Qt::WindowFlags flags = (exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    if (IsFrameless(style))
        flags |= Qt::FramelessWindowHint;
    if (exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    if (HasCaption(style) || (style & WS_THICKFRAME)) {
        flags |= Qt::WindowTitleHint;
        if (style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}
} // namespace

BOOL CPopupWindow::Create(int x, int y, int cx, int cy, const std::string& title, DWORD style,
                          CPopupCloseListener* closeListener, DWORD exStyle, UINT id) {
    m_pCloseListener = closeListener;
    m_bBorder = IsFrameless(style) && (style & WS_BORDER);
    setWindowFlags(FlagsOf(style, exStyle));
    setWindowTitle(QString::fromStdString(title));
    platform::SetDlgCtrlID(this, int(id));
    setGeometry(x, y, cx, cy);
    if (!(style & WS_THICKFRAME) && (style & WS_CAPTION) == WS_CAPTION)
        setFixedSize(cx, cy);
    if (!Initialise())
        return FALSE;
    OnSizeLimitsChanged();
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
    platform::DestroyWindow(this);
}

void CPopupWindow::OnSizeLimitsChanged() {
    // Qt grows a window to a new minimum at once; before the layout knows
    // its design size that would become the design size. The create step
    // applies the limits once the layout stands.
    if (!(m_dwFlags & MGR_LAYOUT_INIT))
        return;
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{0, 0};
    info.ptMaxTrackSize = POINT{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    GetMinMaxInfo(&info);
    setMinimumSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y);
    setMaximumSize(info.ptMaxTrackSize.x, info.ptMaxTrackSize.y);
}

void CPopupWindow::SetCapture() {
    grabMouse();
    m_bCapture = true;
}

void CPopupWindow::ReleaseCapture() {
    if (!m_bCapture)
        return;
    releaseMouse();
    m_bCapture = false;
    OnCaptureChanged(nullptr);
}

bool CPopupWindow::event(QEvent* event) {
    // Hiding or deactivating the window takes the mouse away from it.
    if (m_bCapture && (event->type() == QEvent::Hide || event->type() == QEvent::WindowDeactivate))
        ReleaseCapture();
    return QWidget::event(event);
}

void CPopupWindow::HitTest(const QMouseEvent* event) {
    const QPoint p = event->globalPosition().toPoint();
    OnNcHitTest(p.x(), p.y());
}

void CPopupWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CDC dc(&painter);
    if (!EraseBackground(&dc))
        painter.fillRect(rect(), palette().window());
    if (m_bBorder) {
        // The window frame of a bordered popup without a caption.
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, width() - 1, height() - 1);
    }
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
    if (m_pCloseListener && event->isAccepted())
        m_pCloseListener->OnPopupClosed(this);
}

void CPopupWindow::mouseMoveEvent(QMouseEvent* event) {
    HitTest(event);
    const QPoint p = event->position().toPoint();
    OnMouseMove(MouseFlags(event), p.x(), p.y());
}

void CPopupWindow::mousePressEvent(QMouseEvent* event) {
    HitTest(event);
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), p.x(), p.y());
}

void CPopupWindow::mouseReleaseEvent(QMouseEvent* event) {
    HitTest(event);
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(MouseFlags(event), p.x(), p.y());
}
