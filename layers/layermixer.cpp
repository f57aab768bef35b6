// The layer mixer's page on screen: layout, composition of what is dirty,
// painting of the frame and the page, colours. The mouse and the context
// menu are in layermixer_edit.cpp.

#include "layers/layermixer.h"

#include "controls/colorbutton.h"
#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobjects.h"
#include "platform/overlay.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kPageBackground = 0xE8E8E8;
constexpr UINT kTrackerStyle =
    CRectTracker::solidLine | CRectTracker::hatchedBorder | CRectTracker::resizeOutside; // 0x15
// The frame handles measure this fraction of the control's sides.
constexpr double kHandleFraction = 0.016;

int Trunc(double value) {
    return int(std::trunc(value));
}

} // namespace

CLayerMixer::CLayerMixer(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                         DWORD style)
    : CWndControl(manager, parent, id, rect, style),
      m_bMenuOpen(FALSE), m_pColourSource{nullptr, nullptr, nullptr, nullptr},
      m_tracker(&m_rcDirty, kTrackerStyle), m_nActiveHandle(0) {
    m_dwFlags |= CTRL_NEVER_ACTIVE;
    SetBackgroundColor(kPageBackground);
    if (manager)
        manager->AddListener(this);
}

CLayerMixer::~CLayerMixer() = default;

bool CLayerMixer::PaintEnabled() const {
    return m_pManager && m_pManager->IsPaintEnabled();
}

CSize CLayerMixer::GetControlSize() const {
    return CSize(m_rcWindow.Width(), m_rcWindow.Height());
}

CPoint CLayerMixer::GetPageOffset() const {
    int w = 0, h = 0;
    GetPageSize(&w, &h);
    return CPoint((m_rcWindow.Width() - w) / 2, (m_rcWindow.Height() - h) / 2);
}

CRect CLayerMixer::TrackerRectOf(const CLayerChannel* layer) const {
    CRect box = PageBox(layer);
    box.OffsetRect(GetPageOffset());
    return box;
}

BOOL CLayerMixer::TakeDropPoint(POINT* out) {
    if (!CWndControl::TakeDropPoint(out))
        return FALSE;
    const CPoint offset = GetPageOffset();
    out->x -= offset.x;
    out->y -= offset.y;
    return TRUE;
}

BOOL CLayerMixer::SelectLayer(CLayerChannel* layer) {
    if (!CLayerComposer::SelectLayer(layer))
        return FALSE;
    if (layer)
        m_tracker.m_rect = TrackerRectOf(layer);
    else
        m_tracker.m_rect.SetRectEmpty();
    return TRUE;
}

void CLayerMixer::OnTextLayerCreated() {
    // The text's progress popup covered part of the host.
    if (m_pManager && m_pManager->m_pHostWnd)
        m_pManager->m_pHostWnd->update();
}

void CLayerMixer::OnNoLayersLeft() {
    m_tracker.m_rect.SetRectEmpty();
}

// Page on screen ------------------------------------------------------------------------

void CLayerMixer::Relayout() {
    CWndControl::Relayout();
    const bool sizing = m_pManager && (m_pManager->GetFlags() & MGR_SIZING);
    if (!sizing)
        ResizePage(GetPageRect());
    ComputeMargins();
    if (PaintEnabled())
        Redraw(nullptr, sizing ? 0 : 1);
}

void CLayerMixer::HoldRedraws(bool hold) {
    m_nRedrawHolds = std::max(0, m_nRedrawHolds + (hold ? 1 : -1));
}

void CLayerMixer::Redraw(const RECT* area, int full) {
    if (full)
        MarkPageDirty();
    if (m_nRedrawHolds > 0) {
        if (area)
            AddDirty(*area);
        return;
    }
    // Without an area the dirty rectangle is composed as the
    // synchronisation leaves it, new layers included.
    const RECT* clip = area ? area : &m_rcDirty;
    if (SynchroniseLayers() && m_pPage && !CRect(*clip).IsRectEmpty())
        ComposePage(clip);
    if (m_pSelected)
        m_tracker.m_rect = TrackerRectOf(m_pSelected);
    m_rcDirty.SetRectEmpty();
    repaint();
}

BOOL CLayerMixer::PaintPage() {
    if (!m_pPage)
        return FALSE;
    repaint();
    return TRUE;
}

void CLayerMixer::OnPaint(CDC* dc) {
    if (!m_pPage) {
        dc->FillSolidRect(CRect(0, 0, m_rcWindow.Width(), m_rcWindow.Height()), m_crBackground);
        return;
    }
    PaintFrame(dc);
    // While a frame handle is dragged the page moves under the selection.
    DrawSelectionFrame(dc);
}

void CLayerMixer::PaintFrame(CDC* dc) {
    const int W = m_rcWindow.Width(), H = m_rcWindow.Height();
    const CRect p = GetPageRect();
    const int hx = Trunc(W * kHandleFraction), hy = Trunc(H * kHandleFraction);
    dc->FillSolidRect(CRect(0, 0, W, p.top), m_crBackground);
    dc->FillSolidRect(CRect(0, p.top, p.left, p.bottom), m_crBackground);
    dc->FillSolidRect(CRect(0, p.bottom, W, H), m_crBackground);
    dc->FillSolidRect(CRect(p.right, p.top, W, p.bottom), m_crBackground);

    CPen guide(PS_DASHDOT, 1, kGuideColour);
    CPen* old = dc->SelectObject(&guide);
    for (int x : {p.left - 1, p.right}) {
        dc->MoveTo(x, 0);
        dc->LineTo(x, H - 1);
    }
    for (int y : {p.top - 1, p.bottom}) {
        dc->MoveTo(0, y);
        dc->LineTo(W - 1, y);
    }
    dc->SelectObject(old);
    DrawFrameHandles(dc, p, hx, hy);
    DrawPage(dc, &p, nullptr);
}

void CLayerMixer::DrawFrameHandles(CDC* dc, const CRect& p, int hx, int hy) {
    const POINT marginX[4] = {{p.left + hx, 0}, {p.left, hx}, {p.left, 0}, {p.left + hx, 0}};
    const POINT marginY[4] = {
        {0, p.top + hy - 1}, {hy, p.top - 1}, {0, p.top - 1}, {0, p.top + hy - 1}};
    for (int handle : {1, 2}) {
        CPen pen(PS_SOLID, 1, m_nActiveHandle == handle ? kActiveHandleColour : kHandleColour);
        CPen* old = dc->SelectObject(&pen);
        dc->Polyline(handle == 1 ? marginX : marginY, 4);
        dc->SelectObject(old);
    }
}

bool CLayerMixer::DrawPage(CDC* dc, const RECT* dest, const SIZE* size) {
    if (!dc || !m_pWnd || !m_pManager || !m_pPage)
        return false;
    const CRect target = dest ? CRect(*dest) : CRect(0, 0, m_rcWindow.Width(), m_rcWindow.Height());
    if (!size || (size->cx == m_pPage->GetWidth() && size->cy == m_pPage->GetHeight()))
        return m_pPage->Draw(dc, &target, nullptr, m_pManager->GetPalette(), true);
    ResizePage(CRect(0, 0, size->cx, size->cy));
    ComposeWholePage();
    const CRect source(0, 0, size->cx, size->cy);
    const bool drawn =
        m_pPage && m_pPage->Draw(dc, &target, &source, m_pManager->GetPalette(), true);
    ResizePage(GetPageRect());
    ComposeWholePage();
    return drawn;
}

void CLayerMixer::ComposeWholePage() {
    MarkPageDirty();
    ComposePage(nullptr);
}

// Colours -------------------------------------------------------------------------------

void CLayerMixer::SetAllBackgroundColours(COLORREF colour) {
    for (COLORREF& corner : m_crCorner)
        corner = colour;
    if (m_pPage)
        ComposeWholePage();
    Redraw(nullptr, 0);
}

void CLayerMixer::SetColourSource(int corner, CControlBase* control) {
    if (corner < 0 || corner > 3 || m_pColourSource[corner] == control)
        return;
    m_pColourSource[corner] = control;
    if (auto* colour = dynamic_cast<CColorButtonControl*>(control))
        m_crCorner[corner] = colour->m_crColor;
    if (m_pPage)
        ComposeWholePage();
    Redraw(nullptr, 0);
}

void CLayerMixer::OnNotify_DWORD(int sender, DWORD value) {
    bool ours = false;
    for (int i = 0; i < 4; ++i)
        if (m_pColourSource[i] && m_pColourSource[i]->m_nId == sender) {
            m_crCorner[i] = value;
            ours = true;
        }
    if (!ours)
        return;
    if (m_pPage)
        ComposeWholePage();
    Redraw(nullptr, 0);
}

void CLayerMixer::SetMenuTexts(const std::string& toForeground, const std::string& toBackground,
                               const std::string& moveUp, const std::string& moveDown,
                               const std::string& remove, const std::string& centerHorizontally,
                               const std::string& centerVertically, const std::string& fitToPage) {
    const std::string* texts[8] = {&toForeground,     &toBackground, &moveUp,
                                   &moveDown,         &remove,       &centerHorizontally,
                                   &centerVertically, &fitToPage};
    for (int i = 0; i < 8; ++i)
        m_strMenu[i] = *texts[i];
}

void CLayerMixer::SetExtraMenuTexts(const std::string& duplicate, const std::string& rotateLeft,
                                    const std::string& rotateRight) {
    m_strExtraMenu[0] = duplicate;
    m_strExtraMenu[1] = rotateLeft;
    m_strExtraMenu[2] = rotateRight;
}
