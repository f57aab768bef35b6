#include "platform/wintypes.h"

#include <algorithm>
#include <utility>

void CRect::NormalizeRect() {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

BOOL CRect::IntersectRect(const RECT& a, const RECT& b) {
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom));
    if (r.IsRectEmpty()) {
        SetRectEmpty();
        return FALSE;
    }
    *this = r;
    return TRUE;
}

BOOL CRect::UnionRect(const RECT& a, const RECT& b) {
    const CRect ra(a), rb(b);
    if (ra.IsRectEmpty() && rb.IsRectEmpty()) {
        SetRectEmpty();
        return FALSE;
    }
    if (ra.IsRectEmpty()) {
        *this = rb;
        return TRUE;
    }
    if (rb.IsRectEmpty()) {
        *this = ra;
        return TRUE;
    }
    SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom));
    return TRUE;
}
