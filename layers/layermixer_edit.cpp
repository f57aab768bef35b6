// The user's edits on the layer mixer: selecting, moving, sizing, mirroring
// and flipping layers with the selection frame, the frame handles that set
// the page's proportions, the double click and the context menu with its
// centring and fitting commands.

#include "layers/layermixer.h"

#include "controls/controlmanager.h"
#include "controls/multimenu.h"
#include "controls/notifier.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layerserver.h"
#include "layers/selectionframe.h"
#include "platform/overlay.h"
#include "platform/window.h"

#include <QThread>

#include <cmath>

namespace {

constexpr double kHandleFraction = 0.016;
constexpr int kMenuMaxChars = 25;
constexpr int kAnimationSteps = 30;

// The command of each context-menu item, by item number less one: the
// eight of the layer menu, then duplicate and the quarter turns.
constexpr int kMenuCommands[11] = {
    ID_LAYER_TO_FOREGROUND,     ID_LAYER_TO_BACKGROUND, ID_LAYER_MOVE_UP,
    ID_LAYER_MOVE_DOWN,         ID_LAYER_DELETE,        ID_LAYER_CENTER_HORIZONTALLY,
    ID_LAYER_CENTER_VERTICALLY, ID_LAYER_FIT_TO_PAGE,   ID_LAYER_DUPLICATE,
    ID_LAYER_ROTATE_LEFT,       ID_LAYER_ROTATE_RIGHT,
};

int Trunc(double value) {
    return int(std::trunc(value));
}

// Each side a / 30 of the way from one rectangle to the other, as two
// separate integer divisions.
CRect Between(const CRect& from, const CRect& to, int a) {
    const int n = kAnimationSteps - a;
    auto mix = [a, n](LONG f, LONG t) {
        return int(a * t / kAnimationSteps + n * f / kAnimationSteps);
    };
    return CRect(mix(from.left, to.left), mix(from.top, to.top), mix(from.right, to.right),
                 mix(from.bottom, to.bottom));
}

} // namespace

// Hit tests -----------------------------------------------------------------------------

int CLayerMixer::HitFrameHandle(int x, int y) const {
    const int W = m_rcWindow.Width(), H = m_rcWindow.Height();
    const CPoint o = GetPageOffset();
    const int hx = Trunc(W * kHandleFraction), hy = Trunc(H * kHandleFraction);
    if (x >= o.x && x <= o.x + hx && y >= 0 && y <= hy)
        return 1;
    if (x >= 0 && x <= hx && y >= o.y && y <= o.y + hy)
        return 2;
    return 0;
}

int CLayerMixer::HitTestLayers(POINT pagePoint) const {
    int best = -1;
    double bestArea = 0;
    for (size_t i = 0; i < m_layers.size(); ++i) {
        const CLayerChannel* layer = m_layers[i];
        if (!CRotatedBox(*layer).Contains(pagePoint.x, pagePoint.y))
            continue;
        const double area = std::fabs(layer->m_dWidth * layer->m_dHeight);
        // Strictly smaller: on equal areas the one nearer the front stays.
        if (best < 0 || area < bestArea) {
            best = int(i);
            bestArea = area;
        }
    }
    return best;
}

BOOL CLayerMixer::OnSetCursorHook(QWidget*, UINT hitTest, UINT) {
    if (!m_pSelected || m_nActiveHandle || hitTest != 1)
        return TRUE;
    const CSelectionFrame frame(*m_pSelected, GetPageOffset(),
                                SIZE{m_rcWindow.Width(), m_rcWindow.Height()});
    const int hit = frame.HitTest(m_ptMouse);
    if (hit == CSelectionFrame::hitRotate) {
        setCursor(QCursor(Qt::CrossCursor));
        return FALSE;
    }
    if (!frame.IsRotated())
        return m_tracker.SetCursor(this, hitTest, m_ptMouse) ? FALSE : TRUE;
    if (hit == CSelectionFrame::hitNothing)
        return TRUE;
    static constexpr Qt::CursorShape kSizes[4] = {Qt::SizeHorCursor, Qt::SizeFDiagCursor,
                                                  Qt::SizeVerCursor, Qt::SizeBDiagCursor};
    const int direction = frame.SizeDirection(hit);
    setCursor(QCursor(direction < 0 ? Qt::SizeAllCursor : kSizes[direction]));
    return FALSE;
}

// Selecting and tracking ------------------------------------------------------------------

void CLayerMixer::OnLButtonDown(UINT flags, int x, int y) {
    CWndControl::OnLButtonDown(flags, x, y);
    if (const int handle = HitFrameHandle(x, y)) {
        m_nActiveHandle = handle;
        PaintPage();
        return;
    }
    const CPoint offset = GetPageOffset();
    const POINT pagePoint{x - offset.x, y - offset.y};
    bool tracked = false;
    // A press on another layer selects it and, once, drags it at once.
    for (int pass = 0; pass < 2; ++pass) {
        if (FrameHitTest(x, y) != CRectTracker::hitNothing) {
            if (!m_pSelected)
                return;
            if (TrackFrame(x, y))
                return;
            tracked = true;
        }
        const int index = HitTestLayers(pagePoint);
        if (index < 0) {
            ClearSelection();
            return;
        }
        if (m_layers[size_t(index)] == m_pSelected || !m_pLayerServer)
            return;
        FollowListSelection();
        m_pLayerServer->SetCurrentLayer(index);
        if (tracked)
            return;
    }
}

bool CLayerMixer::TrackSelection(int x, int y) {
    CLayerChannel* layer = m_pSelected;
    AddDirty(PageBox(layer));
    const CRect before = m_tracker.m_rect;
    const CLayerPlacement start = CLayerPlacement::Of(*layer);
    // The layer follows the frame as it goes, turned over while a side is
    // through the opposite one, as the release will leave it.
    m_tracker.m_followRect = [&](const CRect& rect) {
        if (m_pSelected != layer)
            return;
        const CRect shownBefore = PageBox(layer);
        CRect box = rect;
        box.NormalizeRect();
        box.OffsetRect(-GetPageOffset().x, -GetPageOffset().y);
        layer->SetBox(box);
        layer->m_nMirrored = start.mirrored ^ (rect.right < rect.left ? 1 : 0);
        layer->m_nFlipped = start.flipped ^ (rect.bottom < rect.top ? 1 : 0);
        ShowSelectedLive(shownBefore);
    };
    m_tracker.Track(this, POINT{x, y}, TRUE);
    m_tracker.m_followRect = nullptr;
    if (m_pSelected != layer)
        return false;
    // The frame's rectangle decides; the layer goes back to where the
    // drag found it, and a cancelled drag leaves it there.
    const CRect shown = PageBox(layer);
    start.ApplyTo(*layer);
    if (m_tracker.m_rect == before) {
        ShowSelectedLive(shown);
        return false;
    }
    AddDirty(shown);
    ApplyTrackedRect(m_tracker.m_rect);
    NotifyEdited();
    return true;
}

void CLayerMixer::ApplyTrackedRect(CRect rect) {
    // A side dragged through the opposite one turns the picture over; the
    // layer list shows the picture turned with it.
    if (rect.right < rect.left)
        m_pSelected->m_nMirrored = !m_pSelected->m_nMirrored;
    if (rect.bottom < rect.top)
        m_pSelected->m_nFlipped = !m_pSelected->m_nFlipped;
    if (rect.right < rect.left || rect.bottom < rect.top)
        if (auto* list = dynamic_cast<CControlBase*>(m_pLayerServer))
            list->Redraw(nullptr, 0);
    rect.NormalizeRect();
    const CPoint offset = GetPageOffset();
    rect.OffsetRect(-offset.x, -offset.y);
    m_pSelected->SetBox(rect);
    m_pSelected->m_nModified = 1;
    AddDirty(PageBox(m_pSelected));
    Redraw(nullptr, 0);
}

void CLayerMixer::ClearSelection() {
    if (m_pSelected)
        AddDirty(PageBox(m_pSelected));
    m_pSelected = nullptr;
    m_tracker.m_rect.SetRectEmpty();
    Redraw(nullptr, 0);
}

void CLayerMixer::OnLButtonDblClk(UINT flags, int x, int y) {
    CWndControl::OnLButtonDblClk(flags, x, y);
    if (FrameHitTest(x, y) != CRectTracker::hitNothing && m_pSelected &&
        m_pSelected->m_nKind == CLayerChannel::kText) {
        Notify(ID_LAYER_EDIT_TEXT, kNotifySelect, 0, 0, 0);
        return;
    }
    OnLButtonDown(flags, x, y);
}

// Frame handles ----------------------------------------------------------------------------

void CLayerMixer::OnMouseMove(UINT flags, int x, int y) {
    CWndControl::OnMouseMove(flags, x, y);
    if (!m_nActiveHandle)
        return;
    if (m_nActiveHandle == 1)
        m_dMarginX = std::min(double(x) / m_rcWindow.Width(), kMaxMargin);
    else
        m_dMarginY = std::min(double(y) / m_rcWindow.Height(), kMaxMargin);
    PaintPage();
}

void CLayerMixer::OnLButtonUp(UINT, int, int) {
    if (!m_nActiveHandle)
        return;
    const CRect from = GetPageRect();
    NormaliseFrame();
    const CRect to = GetPageRect();
    AnimateFrame(from, to);
    m_nActiveHandle = 0;
    ResizePage(to);
    if (PaintEnabled())
        Redraw(nullptr, 1);
    NotifyEdited();
}

void CLayerMixer::AnimateFrame(const CRect& from, const CRect& to) {
    if (!m_pOverlay)
        m_pOverlay = std::make_unique<platform::COverlay>(this);
    for (int a = 0; a < kAnimationSteps; ++a) {
        const CRect step = Between(from, to, a);
        m_pOverlay->SetDragRect(&step, SIZE{1, 1});
        QThread::msleep(1);
    }
    m_pOverlay->SetDragRect(nullptr, SIZE{0, 0});
}

// Context menu ------------------------------------------------------------------------------

void CLayerMixer::OnRButtonDown(UINT flags, int x, int y) {
    CWndControl::OnRButtonDown(flags, x, y);
    if (!m_pSelected || !m_pLayerServer)
        return;
    const int c = m_pLayerServer->GetLayerCount();
    const int d = m_pLayerServer->GetCurrentLayer();
    CMultiMenu menu;
    menu.CreatePopupMenu();
    auto append = [&](int item) {
        multimenu_package text;
        text.kind = MMP_TEXT;
        text.text = m_strMenu[item - 1];
        menu.AppendItem(&text, UINT(item), kMenuMaxChars);
    };
    if (c > 1 && d > 0) {
        append(1);
        append(3);
    }
    if (c > 1 && d < c - 1) {
        append(2);
        append(4);
    }
    for (int item : {5, 6, 7, 8})
        append(item);
    if (!m_strExtraMenu[0].empty()) {
        menu.AppendMenu(MF_SEPARATOR, 0, std::string());
        for (int item : {9, 10, 11}) {
            multimenu_package text;
            text.kind = MMP_TEXT;
            text.text = m_strExtraMenu[item - 9];
            menu.AppendItem(&text, UINT(item), kMenuMaxChars);
        }
    }
    const POINT screen = platform::ClientToScreen(this, POINT{x, y});
    m_bMenuOpen = TRUE;
    TrackCommandMenu(menu, TPM_CENTERALIGN, screen.x, screen.y);
    m_bMenuOpen = FALSE;
}

void CLayerMixer::OnCommandHook(UINT id, int code, void*, void*) {
    if (code != 0 || id < 1 || id > std::size(kMenuCommands) ||
        (id > 8 && m_strExtraMenu[0].empty()))
        return;
    Notify(kMenuCommands[id - 1], kNotifySelect, 0, 0, 0);
}

void CLayerMixer::OnNotify_Select(int sender, int) {
    if (!m_pSelected)
        return;
    if (OnTransformCommand(sender)) {
        // turned or nudged
    } else if (sender == ID_LAYER_CENTER_HORIZONTALLY)
        CentreSelected(true);
    else if (sender == ID_LAYER_CENTER_VERTICALLY)
        CentreSelected(false);
    else if (sender == ID_LAYER_FIT_TO_PAGE)
        FitSelectedToPage();
    else
        return;
    if (PaintEnabled())
        Redraw(nullptr, 0);
}

void CLayerMixer::CentreSelected(bool horizontally) {
    int w = 0, h = 0;
    GetPageSize(&w, &h);
    AddDirty(PageBox(m_pSelected));
    if (horizontally)
        m_pSelected->m_dX = (w - m_pSelected->m_dWidth) / 2;
    else
        m_pSelected->m_dY = (h - m_pSelected->m_dHeight) / 2;
    AddDirty(PageBox(m_pSelected));
}

void CLayerMixer::FitSelectedToPage() {
    int w = 0, h = 0;
    GetPageSize(&w, &h);
    m_pSelected->SetGeometry(0, 0, w, h);
    MarkPageDirty();
}
