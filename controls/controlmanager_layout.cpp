// Layout, background painting, images and the palette of the control
// manager.

#include "controls/controlbase.h"
#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/window.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

void CControlManager::InitLayout(int cx, int cy) {
    if (m_dwFlags & MGR_LAYOUT_INIT)
        return;
    const int w = m_pHostWnd ? m_pHostWnd->width() : 0;
    const int h = m_pHostWnd ? m_pHostWnd->height() : 0;
    m_sizeDesign = (cx && cy) ? CSize(cx, cy) : CSize(w, h);
    m_dwFlags |= MGR_LAYOUT_INIT;
    OnSize(0, w, h);
    for (CControlBase* control : m_controls) {
        control->SetDesignRect(&control->m_rcWindow);
        control->m_dwFlags &= ~CTRL_LAID_OUT;
    }
}

void CControlManager::OnSize(UINT, int cx, int cy) {
    if (!(m_dwFlags & MGR_LAYOUT_INIT))
        return;
    m_dwFlags &= ~MGR_SIZING;
    m_bPaintEnabled = FALSE;
    if (cx != -1 && cy != -1) {
        const CSize screen = platform::ScreenSize();
        cx = std::min(cx, int(screen.cx));
        cy = std::min(cy, int(screen.cy));
        m_dScaleX = SingleScale(cx, m_sizeDesign.cx);
        m_dScaleY = SingleScale(cy, m_sizeDesign.cy);
    }
    for (size_t i = 0; i < m_controls.size(); ++i)
        m_controls[i]->Relayout();
    m_bPaintEnabled = TRUE;
}

void CControlManager::SetMinimumSize(int cx, int cy) {
    m_sizeMin = CSize(cx, cy);
    m_dwFlags |= MGR_MIN_SIZE;
    OnSizeLimitsChanged();
}

void CControlManager::SetMaximumSize(int cx, int cy) {
    m_sizeMax = CSize(cx, cy);
    m_dwFlags |= MGR_MAX_SIZE;
    OnSizeLimitsChanged();
}

void CControlManager::GetMinMaxInfo(MINMAXINFO* info) const {
    if (!info)
        return;
    if (m_dwFlags & MGR_MAX_SIZE) {
        const CSize screen = platform::ScreenSize();
        info->ptMaxSize = POINT{m_sizeMax.cx, m_sizeMax.cy};
        info->ptMaxTrackSize = info->ptMaxSize;
        info->ptMaxPosition = POINT{(screen.cx - m_sizeMax.cx) / 2, (screen.cy - m_sizeMax.cy) / 2};
    }
    if (m_dwFlags & MGR_MIN_SIZE)
        info->ptMinTrackSize = POINT{m_sizeMin.cx, m_sizeMin.cy};
}

CSize CControlManager::ClampSize(CSize size) const {
    if (m_dwFlags & MGR_MIN_SIZE) {
        size.cx = std::max(size.cx, m_sizeMin.cx);
        size.cy = std::max(size.cy, m_sizeMin.cy);
    }
    if (m_dwFlags & MGR_MAX_SIZE) {
        size.cx = std::min(size.cx, m_sizeMax.cx);
        size.cy = std::min(size.cy, m_sizeMax.cy);
    }
    return size;
}

void CControlManager::OnHScroll(UINT, UINT, QWidget* bar) {
    if (!bar)
        return;
    const int id = platform::GetDlgCtrlID(bar);
    for (CControlBase* control : m_controls)
        if (control->m_pWnd == bar || (id && control->m_nId == id)) {
            control->Fire(0);
            return;
        }
}

// Background -------------------------------------------------------------------------

BOOL CControlManager::EraseBackground(CDC* dc) {
    if (!m_pHostWnd)
        return FALSE;
    const CRect client = platform::ClientRect(m_pHostWnd);
    if (m_dwFlags & MGR_BACKGROUND_COLOUR) {
        if (m_bPaintEnabled && dc)
            dc->GetPainter()->fillRect(0, 0, client.Width(), client.Height(),
                                       QColor(GetRValue(m_crBackground), GetGValue(m_crBackground),
                                              GetBValue(m_crBackground)));
        return TRUE;
    }
    if ((m_dwFlags & MGR_BACKGROUND_IMAGE) && m_pBackgroundImage && dc) {
        if (m_bPaintEnabled && !m_pBackgroundImage->Draw(dc, &client, nullptr, GetPalette(), true))
            return FALSE;
        for (CControlBase* control : m_controls)
            if ((control->m_dwFlags & CTRL_SEE_THROUGH) && !(control->m_dwFlags & CTRL_REDRAWN)) {
                if (m_bPaintEnabled)
                    control->Redraw(nullptr, 0);
                control->m_dwFlags |= CTRL_REDRAWN;
            }
        return TRUE;
    }
    return FALSE;
}

BOOL CControlManager::SetBackgroundImageFile(const char* name) {
    if (!name) {
        m_dwFlags = (m_dwFlags & ~MGR_BACKGROUND_IMAGE) | MGR_BACKGROUND_COLOUR;
        return TRUE;
    }
    CDIB* image = LoadImage(name, CDIB::kImage, TRUE);
    if (!image)
        return FALSE;
    m_pBackgroundImage = image;
    m_dwFlags = (m_dwFlags & ~MGR_BACKGROUND_COLOUR) | MGR_BACKGROUND_IMAGE;
    return TRUE;
}

BOOL CControlManager::SetBackgroundImage(CDIB* image, BOOL addToCache) {
    if (!image) {
        m_dwFlags = (m_dwFlags & ~MGR_BACKGROUND_IMAGE) | MGR_BACKGROUND_COLOUR;
        return TRUE;
    }
    if (addToCache && !m_dibManager.Add(image, CDIB::kImage))
        return FALSE;
    if (m_dwFlags & MGR_PALETTE)
        image->MapToPalette(&m_palette);
    m_pBackgroundImage = image;
    m_dwFlags = (m_dwFlags & ~MGR_BACKGROUND_COLOUR) | MGR_BACKGROUND_IMAGE;
    return TRUE;
}

void CControlManager::SetBackgroundColor(COLORREF colour) {
    m_crBackground = colour;
    m_dwFlags = (m_dwFlags & ~MGR_BACKGROUND_IMAGE) | MGR_BACKGROUND_COLOUR;
}

CDIB* CControlManager::LoadImage(const char* name, int parts, BOOL matchPalette) {
    CDIB* image = m_dibManager.Load(name, parts);
    if (image && (m_dwFlags & MGR_PALETTE) && matchPalette)
        image->MapToPalette(&m_palette);
    return image;
}

void CControlManager::ReleaseImage(CDIB* image) {
    m_dibManager.Release(image, false);
}

CPalette* CControlManager::GetPalette() {
    return (m_dwFlags & MGR_PALETTE) ? &m_palette : nullptr;
}

void CControlManager::RealizePalette(QWidget* focus) {
    if (!m_pHostWnd || focus == m_pHostWnd)
        return;
    for (CControlBase* control : m_controls)
        if (focus && control->m_pWnd == focus)
            return;
    // Qt draws in full colour; a palette in force needs no realising.
}
