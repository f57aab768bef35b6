#pragma once
// A control without a window that places a row or a column of member
// controls inside its own rectangle. Each member gets a share of the free
// length in proportion to its weight (m_dWeight); a member with a natural
// size (CTRL_NATURAL_MIN) never gets less than that size. The group is laid
// out like any other control and then places its members; the manager
// owns the members, the group only points to them.

#include "controls/controlbase.h"

#include <vector>

// Group bits, besides the framework's.
constexpr DWORD CTRL_GROUP_MEMBER = 0x0020; // set on a member: a group places it
constexpr DWORD GROUP_COLUMN = 0x10000;     // members stacked top to bottom; else a row

class CLayoutGroup : public CControlBase {
public:
    // flags may hold GROUP_COLUMN. The gaps go before, between and after the
    // members along the group, and on both sides across it.
    CLayoutGroup(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD flags,
                 int gapX, int gapY);
    ~CLayoutGroup() override;

    // Members ----------------------------------------------------------------------------
    // Appends a member and places the members again. The control must also
    // be added to the manager, which owns it.
    virtual BOOL AddMember(CControlBase* control);
    // Takes a member out (it lays itself out again from then on) and places
    // the others; FALSE for a control that is not a member.
    virtual BOOL RemoveMember(CControlBase* control);
    // Empties the member list without touching the members.
    virtual void RemoveAllMembers();
    // The group's design rectangle, then each member's from its own window
    // rectangle.
    virtual void SetDesignRectAll(const CRect* rect);
    // The first member with the identifier (and its index), or null.
    CControlBase* FindMember(int id, int* index = nullptr) const;
    BOOL IndexOfMember(const CControlBase* control, int* index = nullptr) const;

    // Control operations --------------------------------------------------------------------
    // Enables or disables every member; answers 0.
    BOOL Enable(BOOL enable) override;
    // Lays out the group's own rectangle, repaints the host behind it and
    // places the members.
    void Relayout() override;
    void Redraw(const RECT*, int) override {}
    void SetDraggable(BOOL draggable) override;
    // Recomputes the natural extent from the members that have one.
    DWORD GetFlags() override;

    std::vector<CControlBase*> m_members; // in placing order; not owned
    int m_nGapX;
    int m_nGapY;

protected:
    // Places the members inside the group's window rectangle, then redraws
    // the group.
    void PlaceMembers();

private:
    void PlaceMember(CControlBase* member, const CRect& rect);

    bool m_bPlacing; // members that defer to the group while it places them
};
