#include "controls/button.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "controls/wndcontrol.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/window.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

bool IsCheckBoxType(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

bool IsRadioType(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// The window's own enabled state, whatever its parents are.
bool WindowEnabled(const QWidget* window) {
    return !window->testAttribute(Qt::WA_ForceDisabled);
}

} // namespace

CButtonControl::CButtonControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                               const char* caption, DWORD initialFlags, DWORD extraStyle)
    : QAbstractButton(parent),
      CControlBase(manager, parent, id, rect, WS_CHILD | WS_VISIBLE | WS_TABSTOP),
      m_strCaption(caption ? caption : ""), m_pStrip(nullptr), m_nMarginX(5), m_nMarginY(5),
      m_pPaintDC(nullptr), m_bRedrawing(false), m_bHaveArea(false) {
    m_dwFlags = initialFlags | CTRL_NATURAL_MIN;
    if (extraStyle)
        m_dwStyle |= extraStyle;
    if (m_strCaption.empty())
        m_dwStyle |= BS_OWNERDRAW;

    platform::SetDlgCtrlID(this, id);
    setText(QString::fromStdString(m_strCaption));
    platform::MoveWindow(this, m_rcWindow);
    setMouseTracking(true);
    const DWORD type = ButtonType();
    setCheckable(IsCheckBoxType(type) || IsRadioType(type));
    setAutoExclusive(type == BS_AUTORADIOBUTTON);
    setEnabled(!(m_dwStyle & WS_DISABLED));
    // A child window shows with its parent; a button without one stays hidden.
    setVisible(parent && (m_dwStyle & WS_VISIBLE));
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
    m_pWnd = this;
}

CButtonControl::~CButtonControl() {
    ReleaseBitmap();
}

// Operations -------------------------------------------------------------------------

void CButtonControl::OnClicked() {
    if (m_dwFlags & BTN_TOGGLE)
        m_dwFlags ^= BTN_TOGGLED;
    Fire(0);
}

void CButtonControl::OnDoubleClicked() {
    OnClicked();
}

void CButtonControl::OnCommandHook(UINT, int, void*, void*) {}

void CButtonControl::UpdateState(const DRAWITEMSTRUCT* dis) {
    if (!dis)
        return;
    m_dwFlags &= ~(BTN_DISABLED | BTN_ENABLED | BTN_HOVER | BTN_PRESSED);
    if (!WindowEnabled(this) || (dis->itemState & ODS_DISABLED))
        m_dwFlags |= BTN_DISABLED;
    else
        m_dwFlags |= BTN_ENABLED;
    if (dis->itemState & ODS_SELECTED)
        m_dwFlags |= BTN_PRESSED;
    if (dis->itemState & ODS_HOTLIGHT)
        m_dwFlags |= BTN_HOVER;
    if (m_pManager && m_pManager->IsPaintEnabled())
        Redraw(nullptr, 0);
}

BOOL CButtonControl::SetBitmap(CDIB* image) {
    if (!image || !m_pManager || !m_pManager->Images().Add(image, CDIB::kImage))
        return FALSE;
    TakeStrip(image);
    return TRUE;
}

BOOL CButtonControl::SetBitmapFile(const char* name) {
    if (!m_pManager)
        return FALSE;
    CDIB* image = m_pManager->LoadImage(name, CDIB::kImage, TRUE);
    if (!image)
        return FALSE;
    TakeStrip(image);
    return TRUE;
}

void CButtonControl::TakeStrip(CDIB* image) {
    m_dwFlags |= BTN_STRIP;
    if (image == m_pStrip) {
        // The strip already holds its reference; keep the count as it was.
        m_pManager->ReleaseImage(image);
        return;
    }
    ReleaseBitmap();
    m_pStrip = image;
    Redraw(nullptr, 0);
}

void CButtonControl::ReleaseBitmap() {
    if (m_pStrip && m_pManager)
        m_pManager->ReleaseImage(m_pStrip);
    m_pStrip = nullptr;
}

BOOL CButtonControl::SetCheck(BOOL on) {
    const BOOL previous = (m_dwFlags & BTN_TOGGLED) ? TRUE : FALSE;
    if (on)
        m_dwFlags |= BTN_TOGGLED;
    else
        m_dwFlags &= ~BTN_TOGGLED;
    if (isCheckable()) {
        // Setting a check never unticks the other radio buttons, and
        // clearing it is always allowed, as for the window system's buttons.
        const bool exclusive = autoExclusive();
        setAutoExclusive(false);
        setChecked(on);
        setAutoExclusive(exclusive);
    }
    update();
    return previous;
}

int CButtonControl::GetCheck() const {
    return isCheckable() && isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButtonControl::nextCheckState() {
    const DWORD type = ButtonType();
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON)
        QAbstractButton::nextCheckState();
}

// Control slots --------------------------------------------------------------------------

BOOL CButtonControl::Fire(int) {
    return Notify(m_nId, kNotifySelect, 0, 0, 0);
}

void CButtonControl::Redraw(const RECT* area, int) {
    if (!m_pWnd)
        return;
    if (m_pPaintDC) {
        // Asked from the owner-draw paint itself: draw into it.
        if (IsOwnerDrawn())
            OnPaint(m_pPaintDC, area);
        return;
    }
    m_bHaveArea = area != nullptr;
    if (area)
        m_rcRedrawArea = *area;
    m_bRedrawing = true;
    repaint();
    m_bRedrawing = false;
    m_bHaveArea = false;
}

const CRect* CButtonControl::GetNaturalRect() {
    if (IsOwnerDrawn() || (m_dwFlags & BTN_STRIP_NATURAL)) {
        m_rcNatural = CRect(0, 0, 2 * m_nMarginX + 16, 2 * m_nMarginY + 16);
        return &m_rcNatural;
    }
    const int w = m_rcWindow.Width(), h = m_rcWindow.Height();
    const CRect measured = MeasureText(m_strCaption, CRect(int(0.35 * w), 0, int(0.95 * w), h));
    m_rcNatural =
        CRect(0, 0, 2 * m_nMarginX + measured.Width(), 2 * m_nMarginY + measured.Height());
    return &m_rcNatural;
}

CRect CButtonControl::MeasureText(const std::string& text, const CRect& start) const {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    painter.setFont(font());
    CDC dc(&painter, &scratch);
    CRect measured = start;
    dc.DrawText(text, &measured, DT_CALCRECT);
    return measured;
}

// Drawing ------------------------------------------------------------------------------

int CButtonControl::LookIndex() const {
    if (m_dwFlags & BTN_DISABLED)
        return kLookDisabled;
    if (m_dwFlags & BTN_HOVER)
        return kLookHover;
    if (m_dwFlags & BTN_PRESSED)
        return kLookPressed;
    if ((m_dwFlags & BTN_TOGGLE) && (m_dwFlags & BTN_TOGGLED))
        return kLookPressed;
    return kLookNormal;
}

CRect CButtonControl::StripBand(int k) const {
    if (!m_pStrip)
        return CRect();
    // NOTE: the bands are counted upward from the bottom row, as source
    // rows of a bottom-up picture are; picture 3 is the top quarter.
    const int q = m_pStrip->GetHeight() / 4;
    return CRect(0, k * q, m_pStrip->GetWidth(), (k + 1) * q);
}

void CButtonControl::OnPaint(CDC* dc, const RECT* area) {
    // Text buttons are the style's to draw; they never show a strip.
    if (!IsOwnerDrawn() || !m_pStrip || !m_pManager)
        return;
    const CRect source = StripBand(LookIndex());
    // The window's current size: a layout group moves and sizes the window
    // without touching m_rcWindow.
    const CRect size = area ? CRect(*area) : CRect(0, 0, width(), height());
    CRect dest(0, 0, size.Width(), size.Height());
    if (m_dwFlags & BTN_KEEP_ASPECT)
        AspectFit(CRect(0, 0, source.Width(), source.Height()), &dest);
    m_pStrip->Draw(dc, &dest, &source, m_pManager->GetPalette(), false);
}

void CButtonControl::DrawItem(const DRAWITEMSTRUCT* dis) {
    UpdateState(dis);
}

// Window events ---------------------------------------------------------------------------

void CButtonControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!IsOwnerDrawn()) {
        PaintTextButton(painter);
        return;
    }
    CDC dc(&painter);
    m_pPaintDC = &dc;
    if (m_bRedrawing) {
        OnPaint(&dc, m_bHaveArea ? &m_rcRedrawArea : nullptr);
    } else {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = UINT(m_nId);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (isDown() ? ODS_SELECTED : 0) | (WindowEnabled(this) ? 0 : ODS_DISABLED) |
                        (hasFocus() ? ODS_FOCUS : 0) | (IsHotLight() ? ODS_HOTLIGHT : 0);
        dis.hwndItem = this;
        dis.pDC = &dc;
        dis.rcItem = RECT{0, 0, width(), height()};
        DrawItem(&dis);
    }
    m_pPaintDC = nullptr;
}

void CButtonControl::PaintTextButton(QPainter& painter) {
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    const DWORD type = ButtonType();
    if (IsCheckBoxType(type) || IsRadioType(type)) {
        painter.fillRect(rect(), (m_dwFlags & CTRL_OWN_BRUSH)
                                     ? QColor(GetRValue(m_crBackground), GetGValue(m_crBackground),
                                              GetBValue(m_crBackground))
                                     : palette().color(QPalette::Button));
        option.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
        if (isDown())
            option.state |= QStyle::State_Sunken;
        style()->drawControl(IsRadioType(type) ? QStyle::CE_RadioButton : QStyle::CE_CheckBox,
                             &option, &painter, this);
        return;
    }
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (type == BS_DEFPUSHBUTTON)
        option.features |= QStyleOptionButton::DefaultButton;
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

void CButtonControl::TrackMouse(const QMouseEvent* event) {
    m_ptPrevMouse = m_ptMouse;
    const QPoint p = event->position().toPoint();
    m_ptMouse = POINT{p.x(), p.y()};
}

void CButtonControl::mouseMoveEvent(QMouseEvent* event) {
    TrackMouse(event);
    OnMouseMove(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
    QAbstractButton::mouseMoveEvent(event);
    // Qt's button ignores moves without a held button, which would pass
    // them on to the host background and clear the active control.
    event->accept();
}

bool CButtonControl::IsHotLight() const {
    return m_pManager && m_pManager->GetActiveControl() == this && !isDown();
}

void CButtonControl::mousePressEvent(QMouseEvent* event) {
    TrackMouse(event);
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), m_ptMouse.x, m_ptMouse.y);
}

void CButtonControl::mouseDoubleClickEvent(QMouseEvent* event) {
    const DWORD type = ButtonType();
    if (event->button() == Qt::LeftButton && (IsOwnerDrawn() || IsRadioType(type))) {
        // Picture buttons and radio buttons report the second press as a
        // double click, without pressing again.
        TrackMouse(event);
        OnDoubleClicked();
        return;
    }
    QAbstractButton::mouseDoubleClickEvent(event);
}
