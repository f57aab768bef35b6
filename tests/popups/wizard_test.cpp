// The start-up wizard: the heading, the two picture choices and the
// optional show-again check box, the layout group, the size limits, and
// what a run answers and leaves for the opener to read.

#include "../imaging/imagingtest.h"
#include "popuptest.h"
#include "testsupport.h"

#include "controls/button.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "imaging/dib.h"
#include "platform/window.h"
#include "popups/wizardwindow.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using popuptest::ClickCentre;
using popuptest::RunWith;

namespace {

using W = CWizardWindow;

// Picture strips for both choices, in the window's image cache.
std::vector<CDIB*> SeedStrips(W& window, bool second = true) {
    std::vector<CDIB*> strips;
    const char* names[] = {W::kFirstPicture, W::kSecondPicture};
    for (int i = 0; i < (second ? 2 : 1); ++i) {
        CDIB* p = imagingtest::MakePicture(40, 160, [i](int, int y) {
                      return uint32_t(i ? 0x0000FF : 0xFF0000) + uint32_t(y / 40);
                  }).release();
        p->DeriveFileNames(names[i], 0);
        window.Images().Add(p, CDIB::kImage);
        strips.push_back(p);
    }
    return strips;
}

BOOL CreateWizard(W& window, int checkBox, int showAgain, const std::string& caption) {
    return window.Create(5, 6, W::kWidth, W::kHeight, "Pick a card template", checkBox, showAgain,
                         caption, W::kStyle, W::kExStyle);
}

CButtonControl* Button(W& w, int id) {
    return dynamic_cast<CButtonControl*>(w.FindControl(id));
}

std::vector<int> MemberIds(W& w) {
    std::vector<int> ids;
    if (auto* group = dynamic_cast<CLayoutGroup*>(w.FindControl(W::kGroupId)))
        for (CControlBase* m : group->m_members)
            ids.push_back(m->m_nId);
    return ids;
}

} // namespace

TEST(WizardWindowTest, WithTheCheckBoxTickedForShowingAgain) {
    W window;
    EXPECT_EQ(window.GetChoice(), 0);
    EXPECT_EQ(window.GetShowAgain(), 1);
    EXPECT_EQ(window.HasCheckBox(), 0);
    const std::vector<CDIB*> strips = SeedStrips(window);
    ASSERT_TRUE(CreateWizard(window, 1, 1, "Show this window next time"));
    EXPECT_EQ(window.windowTitle().toStdString(), "Pick a card template");
    EXPECT_EQ(window.geometry(), QRect(5, 6, 270, 350));
    EXPECT_EQ(window.minimumSize(), QSize(100, 190));
    EXPECT_EQ(window.maximumSize(), QSize(350, 650));
    EXPECT_EQ(window.m_crBackground, 0x00BFBFBFu);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    auto* heading = dynamic_cast<CEditControl*>(window.FindControl(W::kHeadingId));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->GetWindowText(), "Pick a card template");
    EXPECT_EQ(heading->m_dwStyle & 0x500108C1u, 0x500108C1u);
    ASSERT_NE(heading->GetSingleLineEditor(), nullptr);
    EXPECT_TRUE(heading->GetSingleLineEditor()->isReadOnly());

    for (int i = 0; i < 2; ++i) {
        CButtonControl* choice = Button(window, i ? W::kSecondChoiceId : W::kFirstChoiceId);
        ASSERT_NE(choice, nullptr);
        EXPECT_TRUE(choice->IsOwnerDrawn()) << "a picture without a caption";
        EXPECT_EQ(choice->GetStrip(), strips[size_t(i)]);
    }
    CButtonControl* box = Button(window, W::kCheckBoxId);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCaption(), "Show this window next time");
    EXPECT_EQ(box->m_dwStyle & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_TRUE(box->m_dwFlags & BTN_TOGGLE);
    EXPECT_EQ(box->GetCheck(), BST_CHECKED);
    EXPECT_TRUE(box->m_dwFlags & BTN_TOGGLED);

    EXPECT_EQ(MemberIds(window), (std::vector<int>{W::kHeadingId, W::kFirstChoiceId,
                                                   W::kSecondChoiceId, W::kCheckBoxId}));
    auto* group = dynamic_cast<CLayoutGroup*>(window.FindControl(W::kGroupId));
    EXPECT_TRUE(group->m_dwFlags & GROUP_COLUMN);
    EXPECT_EQ(group->m_nGapX, 4);
    EXPECT_EQ(group->m_nGapY, 4);
    EXPECT_EQ(window.FindControl(W::kHeadingId)->m_dWeight, 0.2);
    EXPECT_EQ(window.FindControl(W::kFirstChoiceId)->m_dWeight, 1.0);
    EXPECT_EQ(window.FindControl(W::kSecondChoiceId)->m_dWeight, 1.0);
    EXPECT_EQ(window.FindControl(W::kCheckBoxId)->m_dWeight, 0.2);
    const QRect first = window.FindControl(W::kFirstChoiceId)->m_pWnd->geometry();
    const QRect second = window.FindControl(W::kSecondChoiceId)->m_pWnd->geometry();
    EXPECT_GT(second.top(), first.bottom()) << "stacked top to bottom";
    EXPECT_GT(window.FindControl(W::kCheckBoxId)->m_pWnd->geometry().top(), second.bottom());
}

TEST(WizardWindowTest, WithoutTheCheckBox) {
    W window;
    SeedStrips(window);
    ASSERT_TRUE(CreateWizard(window, 0, 1, "unused"));
    EXPECT_EQ(window.FindControl(W::kCheckBoxId), nullptr);
    EXPECT_EQ(MemberIds(window),
              (std::vector<int>{W::kHeadingId, W::kFirstChoiceId, W::kSecondChoiceId}));
    const int choice = RunWith(window, [&] { ClickCentre(Button(window, W::kSecondChoiceId)); });
    EXPECT_EQ(choice, 1);
    EXPECT_EQ(window.GetShowAgain(), 1) << "untouched without the box";
}

TEST(WizardWindowTest, RunAnswersThePicturePressedAndTheBoxState) {
    {
        W window;
        SeedStrips(window);
        ASSERT_TRUE(CreateWizard(window, 1, 1, "Show this window next time"));
        const int choice = RunWith(window, [&] {
            ClickCentre(Button(window, W::kCheckBoxId));
            ClickCentre(Button(window, W::kFirstChoiceId));
        });
        EXPECT_EQ(choice, 0);
        EXPECT_EQ(window.GetShowAgain(), 0) << "unticked";
    }
    {
        // From the menu while the wizard is off at start: the box is unticked.
        W window;
        SeedStrips(window);
        ASSERT_TRUE(CreateWizard(window, 1, 0, "Show this window at program start"));
        EXPECT_EQ(Button(window, W::kCheckBoxId)->GetCheck(), BST_UNCHECKED);
        const int choice = RunWith(window, [&] {
            ClickCentre(Button(window, W::kCheckBoxId));
            ClickCentre(Button(window, W::kSecondChoiceId));
        });
        EXPECT_EQ(choice, 1);
        EXPECT_EQ(window.GetShowAgain(), 1) << "ticked";
    }
    {
        // A second run starts from choice 0 again.
        W window;
        SeedStrips(window);
        ASSERT_TRUE(CreateWizard(window, 0, 1, ""));
        EXPECT_EQ(RunWith(window, [&] { ClickCentre(Button(window, W::kSecondChoiceId)); }), 1);
        EXPECT_EQ(RunWith(window, [&] { ClickCentre(Button(window, W::kFirstChoiceId)); }), 0);
    }
}

TEST(WizardWindowTest, AMissingPictureMakesCreationFail) {
    W window;
    SeedStrips(window, false);
    EXPECT_FALSE(CreateWizard(window, 1, 1, "Show this window next time"));
    EXPECT_FALSE(window.IsCreated());
}

TEST(WizardWindowTest, SizeLimitsAndTheCentredPlace) {
    W window;
    SeedStrips(window);
    ASSERT_TRUE(window.CreateCentred("Pick a card template", 1, 1, "Show this window next time"));
    const CSize screen = platform::ScreenSize();
    EXPECT_EQ(window.geometry().topLeft(), QPoint((screen.cx - 270) / 2, (screen.cy - 350) / 2));
    window.resize(50, 50);
    EXPECT_EQ(window.size(), QSize(100, 190));
    window.resize(1000, 1000);
    EXPECT_EQ(window.size(), QSize(350, 650));
}
