#include "popups/progresspopup.h"

#include "controls/layoutgroup.h"
#include "controls/progresscontrol.h"
#include "platform/window.h"

#include <cstdio>

namespace {

constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;

// The renderer's popup before its minimum size widens it.
constexpr int kRendererWidth = 200;
constexpr int kRendererHeight = 20;

// The bar never gets smaller than this in its group.
constexpr int kBarNaturalWidth = 280;
constexpr int kBarNaturalHeight = 33;

// Whole percents of the range: the bar repaints only when this changes.
int Percent(CProgressControl* bar) {
    int lower = 0, upper = 0;
    bar->GetRange(&lower, &upper);
    if (upper <= lower)
        return 0;
    return int((long long)(bar->GetPos() - lower) * 100 / (upper - lower));
}

} // namespace

CProgressPopUpWindow::CProgressPopUpWindow() = default;

CProgressPopUpWindow::~CProgressPopUpWindow() = default;

BOOL CProgressPopUpWindow::CreateCentred(const std::string& caption) {
    const CSize screen = platform::ScreenSize();
    return Create((screen.cx - kRendererWidth) / 2, (screen.cy - kRendererHeight) / 2,
                  kRendererWidth, kRendererHeight, caption,
                  WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, nullptr,
                  WS_EX_CONTROLPARENT | WS_EX_TOPMOST);
}

BOOL CProgressPopUpWindow::CreateControls() {
    SetBackgroundColor(kBackground);
    const CRect barRect(385, 10, 585, 30);
    auto* bar = new CProgressControl(this, this, kProgressId, &barRect, 0,
                                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | PBS_SMOOTH);
    bar->SetRange(0, 255);
    if (!AddControl(bar)) {
        delete bar;
        return FALSE;
    }
    const CRect client = platform::ClientRect(this);
    auto* group = new CLayoutGroup(this, this, kGroupId, &client, 0, 4, 4);
    if (!AddControl(group)) {
        delete group;
        return FALSE;
    }
    bar->m_dWeight = 1.0;
    group->AddMember(bar);
    SetMinimumSize(300, 60);
    bar->m_rcNatural = CRect(0, 0, kBarNaturalWidth, kBarNaturalHeight);
    bar->m_dwFlags |= CTRL_NATURAL_MIN;
    return TRUE;
}

CProgressControl* CProgressPopUpWindow::GetProgressControl() {
    return dynamic_cast<CProgressControl*>(FindControl(kProgressId));
}

void CProgressPopUpWindow::SetRange(int lower, int upper) {
    if (CProgressControl* bar = GetProgressControl()) {
        bar->SetRange(lower, upper);
        bar->Redraw(nullptr, 0);
    }
}

// NOTE: the work that reports here runs without an event loop, so the bar
// is repainted at once, but only when it has moved by a whole percent:
// a tall text reports every one of its rows.
void CProgressPopUpWindow::SetPos(int position) {
    CProgressControl* bar = GetProgressControl();
    if (!bar)
        return;
    const int before = Percent(bar);
    bar->SetPos(position);
    if (Percent(bar) != before)
        bar->Redraw(nullptr, 0);
}

void CProgressPopUpWindow::OnNotify_Int(int sender, int value) {
    std::printf("window: integer %d received from control %d\n", value, sender);
}
