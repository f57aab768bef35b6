#include "layers/selectiontracker.h"

CSelectionTracker::CSelectionTracker(const RECT* rect, UINT style) : CRectTracker(rect, style) {
    m_nHandleSize = 5;
}

void CSelectionTracker::AdjustRect(int, RECT*) {}
