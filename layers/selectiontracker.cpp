#include "layers/selectiontracker.h"

CSelectionTracker::CSelectionTracker(const RECT* rect, UINT style) : CRectTracker(rect, style) {
    m_nHandleSize = 5;
}

void CSelectionTracker::AdjustRect(int, RECT*) {}

void CSelectionTracker::OnChangedRect(const CRect&) {
    if (m_followRect)
        m_followRect(m_rect);
}
