#include "controls/progresscontrol.h"

#include "platform/window.h"

#include <algorithm>

CProgressControl::CProgressControl(CControlManager* manager, QWidget* parent, int id,
                                   const CRect* rect, DWORD initialFlags, DWORD style)
    : QProgressBar(parent), CControlBase(manager, parent, id, rect, style), m_nLower(0),
      m_nUpper(100), m_nPos(0) {
    m_dwFlags = initialFlags;
    platform::SetDlgCtrlID(this, id);
    platform::MoveWindow(this, m_rcWindow);
    setOrientation((style & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
    // A progress bar of the window system shows no percentage.
    setTextVisible(false);
    setVisible(style & WS_VISIBLE);
    setEnabled(!(style & WS_DISABLED));
    ShowOnBar();
    m_pWnd = this;
}

CProgressControl::~CProgressControl() = default;

void CProgressControl::SetRange(int lower, int upper) {
    m_nLower = lower;
    m_nUpper = upper;
    SetPos(m_nPos);
}

void CProgressControl::GetRange(int* lower, int* upper) const {
    if (lower)
        *lower = m_nLower;
    if (upper)
        *upper = m_nUpper;
}

void CProgressControl::SetPos(int position) {
    // Pulled up to the lower end first, so an inverted range ends on its
    // upper end, as the common control does.
    m_nPos = std::min(std::max(position, m_nLower), m_nUpper);
    ShowOnBar();
}

void CProgressControl::Redraw(const RECT*, int) {
    repaint();
}

void CProgressControl::ShowOnBar() {
    if (m_nUpper > m_nLower) {
        setRange(m_nLower, m_nUpper);
        setValue(m_nPos);
    } else {
        // Qt would show a busy indicator for 0..0; nothing to show instead.
        setRange(0, 1);
        setValue(0);
    }
}
