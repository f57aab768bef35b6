#include "controls/layoutgroup.h"

#include "controls/controlmanager.h"
#include "platform/userservices.h"

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

// The window style a group is made with, although it has no window.
constexpr DWORD kGroupStyle = 0x50010000;

// Truncation toward zero that stays defined for values beyond an int.
int TruncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(std::clamp(value, lowest, highest));
}

bool HasNaturalSize(CControlBase* control) {
    return control->GetFlags() & CTRL_NATURAL_MIN;
}

// The member's natural length along the group and across it.
int NaturalAlong(CControlBase* control, bool column) {
    const CRect* natural = control->GetNaturalRect();
    return column ? natural->Height() : natural->Width();
}

int NaturalAcross(CControlBase* control, bool column) {
    const CRect* natural = control->GetNaturalRect();
    return column ? natural->Width() : natural->Height();
}

} // namespace

CLayoutGroup::CLayoutGroup(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                           DWORD flags, int gapX, int gapY)
    : CControlBase(manager, parent, id, rect, kGroupStyle), m_nGapX(gapX), m_nGapY(gapY),
      m_bPlacing(false) {
    m_dwFlags = flags | CTRL_NEVER_ACTIVE | CTRL_ON_GROUP;
    SetBackgroundColor(0x77ECF9);
}

// The members may already be gone when the manager deletes its controls, so
// the group forgets them without touching them.
CLayoutGroup::~CLayoutGroup() {
    m_members.clear();
}

// Members ------------------------------------------------------------------------------

BOOL CLayoutGroup::AddMember(CControlBase* control) {
    if (!control)
        return FALSE;
    try {
        m_members.push_back(control);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Error: could not add a control to the CLayoutGroup");
        return FALSE;
    }
    control->m_pGroup = this;
    control->m_dwFlags |= CTRL_GROUP_MEMBER | CTRL_ON_GROUP;
    Relayout();
    return TRUE;
}

BOOL CLayoutGroup::RemoveMember(CControlBase* control) {
    int index = 0;
    if (!control || !IndexOfMember(control, &index))
        return FALSE;
    m_members.erase(m_members.begin() + index);
    // A control left pointing at a group that no longer places it would
    // never be laid out again.
    if (control->m_pGroup == this) {
        control->m_pGroup = nullptr;
        control->m_dwFlags &= ~CTRL_GROUP_MEMBER;
    }
    Relayout();
    return TRUE;
}

void CLayoutGroup::RemoveAllMembers() {
    m_members.clear();
}

void CLayoutGroup::SetDesignRectAll(const CRect* rect) {
    SetDesignRect(rect);
    for (CControlBase* member : m_members)
        member->SetDesignRect(&member->m_rcWindow);
}

CControlBase* CLayoutGroup::FindMember(int id, int* index) const {
    for (size_t i = 0; i < m_members.size(); ++i)
        if (m_members[i]->m_nId == id) {
            if (index)
                *index = int(i);
            return m_members[i];
        }
    return nullptr;
}

BOOL CLayoutGroup::IndexOfMember(const CControlBase* control, int* index) const {
    const auto found = std::find(m_members.begin(), m_members.end(), control);
    if (found == m_members.end())
        return FALSE;
    if (index)
        *index = int(found - m_members.begin());
    return TRUE;
}

// Control operations ----------------------------------------------------------------------

BOOL CLayoutGroup::Enable(BOOL enable) {
    for (CControlBase* member : m_members)
        member->Enable(enable);
    return 0;
}

void CLayoutGroup::SetDraggable(BOOL draggable) {
    CControlBase::SetDraggable(draggable);
    for (CControlBase* member : m_members)
        member->SetDraggable(draggable);
}

void CLayoutGroup::Relayout() {
    // A windowless member placed by this group defers back to it.
    if (m_bPlacing)
        return;
    CControlBase::Relayout();
    if (m_pManager && m_pManager->m_pHostWnd)
        m_pManager->m_pHostWnd->update(m_rcWindow.left, m_rcWindow.top, m_rcWindow.Width(),
                                       m_rcWindow.Height());
    PlaceMembers();
}

DWORD CLayoutGroup::GetFlags() {
    const bool column = m_dwFlags & GROUP_COLUMN;
    const int gapAlong = column ? m_nGapY : m_nGapX;
    const int gapAcross = column ? m_nGapX : m_nGapY;
    int along = gapAlong, across = gapAcross;
    bool counted = false;
    for (CControlBase* member : m_members) {
        if (!HasNaturalSize(member))
            continue;
        counted = true;
        across = std::max(across, NaturalAcross(member, column));
        along += NaturalAlong(member, column) + gapAlong;
    }
    if (counted) {
        m_rcNatural = column ? CRect(0, 0, across, along) : CRect(0, 0, along, across);
        m_dwFlags |= CTRL_NATURAL_MIN;
    }
    return m_dwFlags;
}

// Placing ----------------------------------------------------------------------------------

void CLayoutGroup::PlaceMembers() {
    const int n = int(m_members.size());
    if (n == 0)
        return;
    const bool column = m_dwFlags & GROUP_COLUMN;
    const int gapAlong = column ? m_nGapY : m_nGapX;
    const int gapAcross = column ? m_nGapX : m_nGapY;
    const int length = column ? m_rcWindow.Height() : m_rcWindow.Width();
    const int breadth = column ? m_rcWindow.Width() : m_rcWindow.Height();

    double weights = 0.0;
    for (CControlBase* member : m_members)
        weights += member->m_dWeight;
    if (weights == 0.0)
        weights = n;

    // What the natural sizes take beyond their shares comes off every share.
    const int free = length - gapAlong * (n + 1);
    double shortfall = 0.0;
    for (CControlBase* member : m_members) {
        if (!HasNaturalSize(member))
            continue;
        const int share = TruncateToInt(free * member->m_dWeight / weights);
        const int natural = NaturalAlong(member, column);
        if (share < natural)
            shortfall += double(natural) - share;
    }

    int across = breadth - 2 * gapAcross;
    int position = (column ? m_rcWindow.top : m_rcWindow.left) + gapAlong;
    const int side = (column ? m_rcWindow.left : m_rcWindow.top) + gapAcross;
    const bool wasPlacing = m_bPlacing;
    m_bPlacing = true;
    for (CControlBase* member : m_members) {
        int along = TruncateToInt((free - shortfall) * member->m_dWeight / weights);
        if (HasNaturalSize(member)) {
            along = std::max(along, NaturalAlong(member, column));
            // A wider member widens the ones after it too.
            across = std::max(across, NaturalAcross(member, column) - 2 * gapAcross);
        }
        const CRect rect = column ? CRect(side, position, side + across, position + along)
                                  : CRect(position, side, position + along, side + across);
        PlaceMember(member, rect);
        position += along + gapAlong;
    }
    m_bPlacing = wasPlacing;
    Redraw(nullptr, 0);
}

void CLayoutGroup::PlaceMember(CControlBase* member, const CRect& rect) {
    if (member->m_pWnd) {
        // Only the window moves; the member's m_rcWindow keeps its own value.
        member->MoveWindowTo(rect.left, rect.top, rect.Width(), rect.Height());
        return;
    }
    // A member without a window (a group in the group) has nothing to move:
    // it takes the rectangle as its own and places its members in it.
    member->m_rcWindow = rect;
    member->Relayout();
}
