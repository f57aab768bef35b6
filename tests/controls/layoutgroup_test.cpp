#include "controls/layoutgroup.h"
#include "controls/wndcontrol.h"
#include "testsupport.h"
#include "valuehost.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

using valuetests::LoggingHost;

namespace {

constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;

// A plain window control; with a natural size when one is given.
CWndControl* AddMemberWindow(LoggingHost& host, int id, double weight = 1.0,
                             const CRect* natural = nullptr) {
    const CRect rect(0, 0, 60, 33);
    auto* control = host.Add(new CWndControl(&host, &host.m_widget, id, &rect, kVisible));
    control->m_dWeight = weight;
    if (natural) {
        control->m_rcNatural = *natural;
        control->m_dwFlags |= CTRL_NATURAL_MIN;
    }
    return control;
}

CLayoutGroup* AddGroup(LoggingHost& host, int id, CRect rect, DWORD flags, int gapX, int gapY) {
    return host.Add(new CLayoutGroup(&host, &host.m_widget, id, &rect, flags, gapX, gapY));
}

// Where the member's window is, as (left, top, right, bottom).
CRect Placed(const CControlBase* control) {
    const QRect g = control->m_pWnd->geometry();
    return CRect(g.x(), g.y(), g.x() + g.width(), g.y() + g.height());
}

// A group that counts the redraws that end each placing.
class CountingGroup : public CLayoutGroup {
public:
    using CLayoutGroup::CLayoutGroup;
    void Redraw(const RECT*, int) override { ++redraws; }
    int redraws = 0;
};

} // namespace

TEST(LayoutGroup, ConstructionMarksAWindowlessGroup) {
    LoggingHost host;
    CLayoutGroup* group = AddGroup(host, 11687689, CRect(0, 0, 300, 60), GROUP_COLUMN, 4, 4);
    EXPECT_EQ(group->m_pWnd, nullptr);
    EXPECT_EQ(group->m_dwStyle, 0x50010000u);
    EXPECT_EQ(group->m_dwFlags,
              DWORD(GROUP_COLUMN | CTRL_NEVER_ACTIVE | CTRL_ON_GROUP | CTRL_OWN_BRUSH));
    EXPECT_EQ(group->m_crBackground, 0x77ECF9u);
    EXPECT_EQ(group->m_nGapX, 4);
    EXPECT_EQ(group->m_nGapY, 4);
    EXPECT_TRUE(group->m_members.empty());
    group->Relayout(); // nothing to place
    EXPECT_TRUE(group->m_dwFlags & CTRL_LAID_OUT);
}

TEST(LayoutGroup, RowOfThreeEqualMembers) {
    LoggingHost host;
    std::vector<CWndControl*> members = {AddMemberWindow(host, 1), AddMemberWindow(host, 2),
                                         AddMemberWindow(host, 3)};
    CLayoutGroup* row = AddGroup(host, 10, CRect(50, 20, 350, 80), 0, 10, 10);
    for (CWndControl* member : members)
        EXPECT_TRUE(row->AddMember(member));
    // F = 300 - 4 * 10 = 260, each member 86 (from 86.67).
    EXPECT_EQ(Placed(members[0]), CRect(60, 30, 146, 70));
    EXPECT_EQ(Placed(members[1]), CRect(156, 30, 242, 70));
    EXPECT_EQ(Placed(members[2]), CRect(252, 30, 338, 70));
    for (CWndControl* member : members) {
        EXPECT_EQ(member->m_pGroup, row);
        EXPECT_EQ(member->m_dwFlags & 0x0420u, 0x0420u);
        EXPECT_EQ(member->m_rcWindow, CRect(0, 0, 60, 33)) << "placing moves the window only";
    }
    EXPECT_EQ(row->m_rcWindow, CRect(50, 20, 350, 80));
}

TEST(LayoutGroup, ColumnNaturalHeightOverflows) {
    LoggingHost host;
    const CRect natural(0, 0, 40, 150);
    CWndControl* button = AddMemberWindow(host, 1, 1.0, &natural);
    CWndControl* other = AddMemberWindow(host, 2);
    CLayoutGroup* column = AddGroup(host, 10, CRect(100, 0, 200, 200), GROUP_COLUMN, 0, 0);
    column->AddMember(button);
    column->AddMember(other);
    // F = 200; shortfall 150 - 100 = 50; shares of 150 are 75 each.
    EXPECT_EQ(Placed(button), CRect(100, 0, 200, 150));
    EXPECT_EQ(Placed(other), CRect(100, 150, 200, 225)) << "the total 225 overflows by 25";
}

TEST(LayoutGroup, SharesFollowTheWeights) {
    LoggingHost host;
    CWndControl* a = AddMemberWindow(host, 1, 1.0);
    CWndControl* b = AddMemberWindow(host, 2, 2.0);
    CWndControl* c = AddMemberWindow(host, 3, 0.5);
    CLayoutGroup* row = AddGroup(host, 10, CRect(0, 100, 300, 140), 0, 10, 5);
    for (CControlBase* member : {a, b, c})
        row->AddMember(member);
    // F = 260 over the weight 3.5: 74.29, 148.57 and 37.14.
    EXPECT_EQ(Placed(a), CRect(10, 105, 84, 135));
    EXPECT_EQ(Placed(b), CRect(94, 105, 242, 135));
    EXPECT_EQ(Placed(c), CRect(252, 105, 289, 135));

    // A new weight shows at the next placing.
    b->m_dWeight = 0.5;
    row->Relayout();
    // F = 260 over 2.0: 130, 65, 65.
    EXPECT_EQ(Placed(a), CRect(10, 105, 140, 135));
    EXPECT_EQ(Placed(b), CRect(150, 105, 215, 135));
    EXPECT_EQ(Placed(c), CRect(225, 105, 290, 135));
}

TEST(LayoutGroup, ZeroWeightsLeaveOnlyNaturalLengths) {
    LoggingHost host;
    const CRect natural(0, 0, 20, 30);
    CWndControl* a = AddMemberWindow(host, 1, 0.0);
    CWndControl* b = AddMemberWindow(host, 2, 0.0, &natural);
    CWndControl* c = AddMemberWindow(host, 3, 0.0);
    CLayoutGroup* column = AddGroup(host, 10, CRect(0, 0, 100, 300), GROUP_COLUMN, 5, 5);
    for (CControlBase* member : {a, b, c})
        column->AddMember(member);
    EXPECT_EQ(Placed(a), CRect(5, 5, 95, 5));
    EXPECT_EQ(Placed(b), CRect(5, 10, 95, 40));
    EXPECT_EQ(Placed(c), CRect(5, 45, 95, 45));
}

TEST(LayoutGroup, NaturalMinimumsInARow) {
    LoggingHost host;
    const CRect wide(0, 0, 200, 10);
    const CRect tall(0, 0, 30, 50);
    CWndControl* first = AddMemberWindow(host, 1);
    CWndControl* natural = AddMemberWindow(host, 2, 1.0, &wide);
    CWndControl* highOne = AddMemberWindow(host, 3, 1.0, &tall);
    CWndControl* last = AddMemberWindow(host, 4);
    CLayoutGroup* row = AddGroup(host, 10, CRect(0, 0, 400, 40), 0, 0, 4);
    for (CControlBase* member : {first, natural, highOne, last})
        row->AddMember(member);
    // F = 400, shares 100; the wide one falls 100 short, so the shares
    // become trunc(300 / 4) = 75. The cross size starts at 40 - 8 = 32 and
    // grows to 50 - 8 = 42 from the tall member on.
    EXPECT_EQ(Placed(first), CRect(0, 4, 75, 36));
    EXPECT_EQ(Placed(natural), CRect(75, 4, 275, 36));
    EXPECT_EQ(Placed(highOne), CRect(275, 4, 350, 46));
    EXPECT_EQ(Placed(last), CRect(350, 4, 425, 46));
}

TEST(LayoutGroup, NaturalExtentOfTheMembers) {
    LoggingHost host;
    const CRect big(0, 0, 80, 30);
    const CRect small(0, 0, 60, 20);
    CWndControl* a = AddMemberWindow(host, 1, 1.0, &big);
    CWndControl* plain = AddMemberWindow(host, 2);
    CWndControl* b = AddMemberWindow(host, 3, 1.0, &small);

    CLayoutGroup* column = AddGroup(host, 10, CRect(0, 0, 100, 300), GROUP_COLUMN, 4, 4);
    column->m_rcNatural = CRect(1, 2, 3, 4);
    column->AddMember(plain);
    EXPECT_FALSE(column->GetFlags() & CTRL_NATURAL_MIN);
    EXPECT_EQ(column->m_rcNatural, CRect(1, 2, 3, 4)) << "unchanged without natural members";
    column->AddMember(a);
    column->AddMember(b);
    EXPECT_TRUE(column->GetFlags() & CTRL_NATURAL_MIN);
    EXPECT_EQ(*column->GetNaturalRect(), CRect(0, 0, 80, 4 + 34 + 24));

    CLayoutGroup* row = AddGroup(host, 11, CRect(0, 0, 300, 100), 0, 4, 4);
    row->AddMember(a);
    row->AddMember(b);
    EXPECT_TRUE(row->GetFlags() & CTRL_NATURAL_MIN);
    EXPECT_EQ(*row->GetNaturalRect(), CRect(0, 0, 4 + 84 + 64, 30));

    // A gap wider than every member sets the breadth.
    CLayoutGroup* gapped = AddGroup(host, 12, CRect(0, 0, 300, 100), 0, 2, 45);
    gapped->AddMember(b);
    EXPECT_TRUE(gapped->GetFlags() & CTRL_NATURAL_MIN);
    EXPECT_EQ(*gapped->GetNaturalRect(), CRect(0, 0, 2 + 62, 45));
}

TEST(LayoutGroup, TextWindowGroupsNestAndScale) {
    LoggingHost host;
    host.m_widget.resize(450, 350);
    CWndControl* edit = AddMemberWindow(host, 65465445, 5.0);
    CWndControl* typeface = AddMemberWindow(host, 65468416, 1.0);
    CWndControl* alignment = AddMemberWindow(host, 45544065, 2.0);
    CWndControl* colour = AddMemberWindow(host, 5644715, 0.7);
    CWndControl* cancel = AddMemberWindow(host, 100000, 1.0);
    CWndControl* ok = AddMemberWindow(host, 619887564, 1.0);
    CLayoutGroup* outer = AddGroup(host, 3815214, CRect(0, 0, 450, 350), GROUP_COLUMN, 4, 4);
    CLayoutGroup* tools = AddGroup(host, 45577897, CRect(), 0, 4, 4);
    CLayoutGroup* buttons = AddGroup(host, 45615644, CRect(), 0, 4, 4);
    outer->AddMember(edit);
    outer->AddMember(tools);
    tools->m_dWeight = 1.0;
    outer->AddMember(buttons);
    buttons->m_dWeight = 0.8;
    tools->AddMember(typeface);
    tools->AddMember(alignment);
    tools->AddMember(colour);
    buttons->AddMember(ok);
    buttons->AddMember(cancel);
    host.InitLayout(0, 0);
    host.OnSize(0, 450, 350);

    // Column F = 350 - 16 = 334 over 6.8: 245, 49, 39.
    EXPECT_EQ(Placed(edit), CRect(4, 4, 446, 249));
    EXPECT_EQ(tools->m_rcWindow, CRect(4, 253, 446, 302));
    EXPECT_EQ(buttons->m_rcWindow, CRect(4, 306, 446, 345));
    // Tool row F = 442 - 16 = 426 over 3.7: 115, 230, 80.
    EXPECT_EQ(Placed(typeface), CRect(8, 257, 123, 298));
    EXPECT_EQ(Placed(alignment), CRect(127, 257, 357, 298));
    EXPECT_EQ(Placed(colour), CRect(361, 257, 441, 298));
    // Button row F = 430: 215 each.
    EXPECT_EQ(Placed(ok), CRect(8, 310, 223, 341));
    EXPECT_EQ(Placed(cancel), CRect(227, 310, 442, 341));

    // A larger window scales the outer group and every group in it.
    host.m_widget.resize(600, 500);
    host.OnSize(0, 600, 500);
    EXPECT_EQ(outer->m_rcWindow, CRect(0, 0, 600, 500));
    // F = 484 over 6.8: 355, 71, 56.
    EXPECT_EQ(Placed(edit), CRect(4, 4, 596, 359));
    EXPECT_EQ(tools->m_rcWindow, CRect(4, 363, 596, 434));
    EXPECT_EQ(buttons->m_rcWindow, CRect(4, 438, 596, 494));
    // F = 576 over 3.7: 155, 311, 108.
    EXPECT_EQ(Placed(typeface), CRect(8, 367, 163, 430));
    EXPECT_EQ(Placed(alignment), CRect(167, 367, 478, 430));
    EXPECT_EQ(Placed(colour), CRect(482, 367, 590, 430));
    // F = 592 - 12 = 580: 290 each.
    EXPECT_EQ(Placed(ok), CRect(8, 442, 298, 490));
    EXPECT_EQ(Placed(cancel), CRect(302, 442, 592, 490));
}

TEST(LayoutGroup, MemberRelayoutPlacesTheGroupOnlyWhenNotLaidOut) {
    LoggingHost host;
    CWndControl* a = AddMemberWindow(host, 1);
    CWndControl* b = AddMemberWindow(host, 2);
    CLayoutGroup* row = AddGroup(host, 10, CRect(0, 0, 200, 50), 0, 0, 0);
    row->AddMember(a);
    row->AddMember(b);
    host.InitLayout(800, 600);
    EXPECT_FALSE(row->m_dwFlags & CTRL_LAID_OUT);

    a->m_pWnd->setGeometry(500, 500, 5, 5);
    b->m_pWnd->setGeometry(500, 500, 5, 5);
    a->Relayout();
    EXPECT_TRUE(row->m_dwFlags & CTRL_LAID_OUT);
    EXPECT_EQ(Placed(a), CRect(0, 0, 100, 50));
    EXPECT_EQ(Placed(b), CRect(100, 0, 200, 50));
    EXPECT_EQ(a->m_rcWindow, CRect(0, 0, 60, 33)) << "a member does not lay itself out";

    // Once the group is laid out, a member's relayout leaves it alone.
    b->m_pWnd->setGeometry(500, 500, 5, 5);
    b->Relayout();
    EXPECT_EQ(Placed(b), CRect(500, 500, 505, 505));
}

TEST(LayoutGroup, RemovingAMemberPlacesTheRest) {
    LoggingHost host;
    CWndControl* a = AddMemberWindow(host, 1);
    CWndControl* b = AddMemberWindow(host, 2);
    CWndControl* c = AddMemberWindow(host, 3);
    const CRect rowRect(0, 0, 300, 40);
    CountingGroup* row = host.Add(new CountingGroup(&host, &host.m_widget, 10, &rowRect, 0, 10, 0));
    for (CControlBase* member : {a, b, c})
        row->AddMember(member);
    EXPECT_EQ(row->redraws, 3) << "every placing ends with the group's redraw";
    EXPECT_FALSE(row->AddMember(nullptr));
    EXPECT_FALSE(row->RemoveMember(nullptr));
    CWndControl* stranger = AddMemberWindow(host, 4);
    EXPECT_FALSE(row->RemoveMember(stranger));

    int index = -1;
    EXPECT_EQ(row->FindMember(2, &index), b);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(row->FindMember(4), nullptr);
    EXPECT_TRUE(row->IndexOfMember(c, &index));
    EXPECT_EQ(index, 2);

    EXPECT_TRUE(row->RemoveMember(b));
    EXPECT_EQ(row->m_members, (std::vector<CControlBase*>{a, c}));
    // F = 300 - 30 = 270: 135 each.
    EXPECT_EQ(Placed(a), CRect(10, 0, 145, 40));
    EXPECT_EQ(Placed(c), CRect(155, 0, 290, 40));
    EXPECT_FALSE(row->IndexOfMember(b));
    // The removed control lays itself out from its own design again.
    EXPECT_EQ(b->m_pGroup, nullptr);
    EXPECT_FALSE(b->m_dwFlags & CTRL_GROUP_MEMBER);
    b->m_rcDesign = CRect(20, 300, 70, 330);
    b->Relayout();
    EXPECT_EQ(Placed(b), CRect(20, 300, 70, 330));

    row->RemoveAllMembers();
    EXPECT_TRUE(row->m_members.empty());
    EXPECT_EQ(a->m_pGroup, row) << "the members are not touched";
}

TEST(LayoutGroup, EnableDraggableAndDesignReachEveryMember) {
    LoggingHost host;
    CWndControl* a = AddMemberWindow(host, 1);
    CWndControl* b = AddMemberWindow(host, 2);
    CLayoutGroup* row = AddGroup(host, 10, CRect(0, 0, 200, 40), 0, 0, 0);
    row->AddMember(a);
    row->AddMember(b);

    EXPECT_EQ(row->Enable(FALSE), 0);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(row->Enable(TRUE), 0);
    EXPECT_TRUE(a->isEnabled());

    row->SetDraggable(TRUE);
    EXPECT_TRUE(row->m_dwFlags & CTRL_DRAGGABLE);
    EXPECT_TRUE(a->m_dwFlags & CTRL_DRAGGABLE);
    EXPECT_TRUE(b->m_dwFlags & CTRL_DRAGGABLE);
    row->SetDraggable(FALSE);
    EXPECT_FALSE(b->m_dwFlags & CTRL_DRAGGABLE);

    a->m_rcWindow = CRect(1, 2, 3, 4);
    const CRect design(0, 0, 400, 80);
    row->SetDesignRectAll(&design);
    EXPECT_EQ(row->m_rcDesign, design);
    EXPECT_EQ(a->m_rcDesign, CRect(1, 2, 3, 4));
    EXPECT_EQ(b->m_rcDesign, CRect(0, 0, 60, 33));
    EXPECT_TRUE(a->m_dwFlags & CTRL_DESIGN_FIXED);
}
