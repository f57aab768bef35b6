#include "controls/colorbutton.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "platform/gdi/dc.h"

#include <QWidget>

namespace {

constexpr COLORREF kBorder = 0x77ECF9;
constexpr COLORREF kDark = 0x154449;
constexpr COLORREF kLight = 0x34B1BF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kFocus = 0x828282;

struct FrameColours {
    COLORREF swatchTopLeft, swatchBottomRight, outerTopLeft, outerBottomRight;
};

FrameColours FramesFor(DWORD flags) {
    if (flags & BTN_DISABLED)
        return {kDark, kLight, kLight, kDark};
    if ((flags & BTN_PRESSED) || ((flags & BTN_TOGGLE) && (flags & BTN_TOGGLED)))
        return {kDark, kBlack, kBlack, kDark};
    return {kBlack, kDark, kDark, kBlack};
}

} // namespace

CColorButtonControl::CColorButtonControl(CControlManager* manager, QWidget* parent, int id,
                                         const CRect* rect, COLORREF color, int, DWORD initialFlags)
    : CButtonControl(manager, parent, id, rect, "", initialFlags, 0), m_crColor(color) {
    m_dwFlags |= CTRL_NATURAL_MIN | CTRL_NEVER_ACTIVE;
}

CColorButtonControl::~CColorButtonControl() {
    m_crColor = 0;
}

void CColorButtonControl::OnClicked() {
    bool confirmed = false;
    if (m_pManager) {
        COLORREF colour = m_crColor;
        // FALSE only while another chooser is open; a cancel answers TRUE
        // with the colour unchanged.
        if (ColorDialog(&colour, m_pManager->m_pHostWnd, &confirmed)) {
            m_crColor = colour;
            if (m_pManager->m_pHostWnd)
                m_pManager->m_pHostWnd->update();
        }
    }
    setFocus();
    Redraw(nullptr, 0);
    // Only a chosen colour is reported: a cancelled chooser changes
    // nothing, also where the colour is handed on (the main button sets
    // all four corners).
    if (confirmed)
        Fire(0);
}

BOOL CColorButtonControl::Fire(int) {
    Notify(m_nId, kNotifyValue, kValueDword, m_crColor, 0);
    return Notify(m_nId, kNotifySelect, 0, 0, 0);
}

const CRect* CColorButtonControl::GetNaturalRect() {
    m_rcNatural = CRect(0, 0, 4 * m_nMarginX, 4 * m_nMarginY);
    return &m_rcNatural;
}

void CColorButtonControl::OnPaint(CDC* dc, const RECT*) {
    if (!m_pManager)
        return;
    const int w = width(), h = height(), mx = m_nMarginX, my = m_nMarginY;
    dc->FillSolidRect(CRect(0, 0, w, my), kBorder);
    dc->FillSolidRect(CRect(0, 0, mx, h), kBorder);
    dc->FillSolidRect(CRect(0, h - my, w, h), kBorder);
    dc->FillSolidRect(CRect(w - mx, mx, w, h), kBorder);
    const CRect swatch(5, 5, w - mx, h - my);
    dc->FillSolidRect(swatch, m_crColor);
    const FrameColours frames = FramesFor(m_dwFlags);
    dc->Draw3dRect(swatch, frames.swatchTopLeft, frames.swatchBottomRight);
    dc->Draw3dRect(CRect(0, 0, w, h), frames.outerTopLeft, frames.outerBottomRight);
    if (hasFocus())
        dc->Draw3dRect(CRect(mx / 2, my / 2, w - mx / 2, h - my / 2), kFocus, kFocus);
}
