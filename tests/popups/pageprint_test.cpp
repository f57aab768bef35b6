// The page print window: its controls and captions, the groups that lay
// them out, the picture of each page mode, which controls can be used in
// which mode, sizes typed into its fields and what the opener reads back.

#include "../imaging/imagingtest.h"
#include "popuptest.h"
#include "testsupport.h"

#include "controls/button.h"
#include "controls/dibviewer.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "imaging/dib.h"
#include "platform/window.h"
#include "popups/pageprintwindow.h"
#include "popups/printdesign.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using popuptest::ClickCentre;
using popuptest::RunWith;

namespace {

using W = CPagePrintWindow;

// The three mode pictures, each one colour, put into the window's image
// cache under their stored names.
std::vector<CDIB*> SeedModePictures(W& window) {
    std::vector<CDIB*> pictures;
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 3; ++i) {
        const uint32_t c = colours[i];
        CDIB* p = imagingtest::MakePicture(30, 20, [c](int, int) { return c; }).release();
        p->DeriveFileNames(W::kModePictures[i], 0);
        window.Images().Add(p, CDIB::kImage);
        pictures.push_back(p);
    }
    return pictures;
}

BOOL CreateWindow(W& window, int keepAspect, int darkFabric = 0, int cutMarks = 0) {
    window.SetPaperChoice({darkFabric, cutMarks, "Light fabric (mirrored)",
                           "Dark fabric (not mirrored)", "Cut marks"});
    return window.Create(10, 20, W::kWidth, W::kHeight, "Please select the page setup",
                         "Keep aspect", keepAspect, W::kStyle, W::kExStyle);
}

CButtonControl* Button(W& w, int id) {
    return dynamic_cast<CButtonControl*>(w.FindControl(id));
}

CEditControl* Field(W& w, int id) {
    return dynamic_cast<CEditControl*>(w.FindControl(id));
}

bool Enabled(W& w, int id) {
    return w.FindControl(id)->m_pWnd->isEnabled();
}

void Click(W& w, int id) {
    ClickCentre(w.FindControl(id)->m_pWnd);
}

// Replaces the text of a size field by typing over it, as the user does.
void Type(W& w, int id, const char* text) {
    QLineEdit* editor = Field(w, id)->GetSingleLineEditor();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
}

std::vector<int> MemberIds(W& w, int groupId) {
    std::vector<int> ids;
    auto* group = dynamic_cast<CLayoutGroup*>(w.FindControl(groupId));
    if (!group)
        return ids;
    for (CControlBase* m : group->m_members)
        ids.push_back(m->m_nId);
    return ids;
}

} // namespace

TEST(PagePrintWindowTest, BuildsItsControlsWithTheFixedCaptions) {
    W window;
    EXPECT_EQ(window.m_nPageMode, 0);
    EXPECT_EQ(window.m_nKeepAspect, 0);
    EXPECT_EQ(window.m_nWidth, 10);
    EXPECT_EQ(window.m_nHeight, 10);
    const std::vector<CDIB*> pictures = SeedModePictures(window);
    ASSERT_TRUE(CreateWindow(window, 0));
    EXPECT_EQ(window.windowTitle().toStdString(), "Please select the page setup");
    EXPECT_EQ(window.geometry(), QRect(10, 20, 450, 300));
    EXPECT_EQ(window.minimumSize(), QSize(200, 150));
    EXPECT_EQ(window.maximumSize(), QSize(800, 600));
    EXPECT_EQ(window.m_crBackground, 0x00BFBFBFu);

    const struct {
        int id;
        const char* caption;
        DWORD type;
    } buttons[] = {{W::kFullShirtId, "Volledig T-shirt", BS_AUTORADIOBUTTON},
                   {W::kSmallLogoId, "Klein logo", BS_AUTORADIOBUTTON},
                   {W::kOwnSizeId, "Zelf instellen", BS_AUTORADIOBUTTON},
                   {W::kKeepAspectId, "Keep aspect", BS_AUTOCHECKBOX},
                   {W::kFillPageId, "Pagina vullen", BS_AUTOCHECKBOX},
                   {W::kOkId, "OK", BS_PUSHBUTTON},
                   {W::kCancelId, "Annuleren", BS_PUSHBUTTON}};
    for (const auto& b : buttons) {
        CButtonControl* button = Button(window, b.id);
        ASSERT_NE(button, nullptr) << b.caption;
        EXPECT_EQ(button->GetCaption(), b.caption);
        EXPECT_EQ(button->m_dwStyle & BS_TYPEMASK, b.type) << b.caption;
        EXPECT_EQ(bool(button->m_dwFlags & BTN_TOGGLE), b.type != BS_PUSHBUTTON) << b.caption;
    }
    EXPECT_EQ(Button(window, W::kFullShirtId)->GetCheck(), BST_CHECKED);
    EXPECT_EQ(Button(window, W::kSmallLogoId)->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(Button(window, W::kOwnSizeId)->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(Button(window, W::kKeepAspectId)->GetCheck(), BST_CHECKED)
        << "the box is built ticked whatever the flag";
    EXPECT_EQ(window.GetKeepAspect(), 0) << "the flag stays as handed in";
    EXPECT_EQ(Button(window, W::kFillPageId)->GetCheck(), BST_UNCHECKED);

    EXPECT_EQ(Field(window, W::kWidthLabelId)->GetWindowText(), "Breedte (cm)");
    EXPECT_EQ(Field(window, W::kHeightLabelId)->GetWindowText(), "Hoogte  (cm)");
    EXPECT_TRUE(Field(window, W::kWidthLabelId)->GetSingleLineEditor()->isReadOnly());
    EXPECT_EQ(Field(window, W::kWidthFieldId)->GetWindowText(), "10");
    EXPECT_EQ(Field(window, W::kHeightFieldId)->GetWindowText(), "10");
    EXPECT_EQ(Field(window, W::kWidthFieldId)->GetIntValue(), 10) << "a numeric field";

    auto* viewer = dynamic_cast<CDIBViewer*>(window.FindControl(W::kViewerId));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetImage(), pictures[0]);
    EXPECT_EQ(viewer->GetZoom(), 1.0);
    EXPECT_EQ(viewer->m_dwFlags & (VIEWER_NO_MOVE | VIEWER_NO_ZOOM),
              DWORD(VIEWER_NO_MOVE | VIEWER_NO_ZOOM));

    // Mode 1 at opening: the size group is unusable, everything else is.
    EXPECT_EQ(window.GetPageMode(), 1);
    for (int id : {W::kWidthLabelId, W::kHeightLabelId, W::kWidthFieldId, W::kHeightFieldId})
        EXPECT_FALSE(Enabled(window, id)) << id;
    for (int id : {W::kKeepAspectId, W::kFillPageId, W::kOkId, W::kCancelId})
        EXPECT_TRUE(Enabled(window, id)) << id;
}

TEST(PagePrintWindowTest, GroupsHoldTheirMembersInOrder) {
    W window;
    SeedModePictures(window);
    ASSERT_TRUE(CreateWindow(window, 1));
    EXPECT_EQ(
        MemberIds(window, W::kOuterGroupId),
        (std::vector<int>{W::kUpperGroupId, W::kOptionRowId, W::kPaperRowId, W::kButtonRowId}));
    EXPECT_EQ(MemberIds(window, W::kUpperGroupId), (std::vector<int>{W::kChoiceRowId}));
    EXPECT_EQ(MemberIds(window, W::kChoiceRowId),
              (std::vector<int>{W::kModeColumnId, W::kViewerId}));
    EXPECT_EQ(MemberIds(window, W::kModeColumnId),
              (std::vector<int>{W::kFullShirtId, W::kSmallLogoId, W::kOwnSizeId, W::kSizeGroupId}));
    EXPECT_EQ(MemberIds(window, W::kSizeGroupId),
              (std::vector<int>{W::kWidthRowId, W::kHeightRowId}));
    EXPECT_EQ(MemberIds(window, W::kWidthRowId),
              (std::vector<int>{W::kWidthLabelId, W::kWidthFieldId}));
    EXPECT_EQ(MemberIds(window, W::kHeightRowId),
              (std::vector<int>{W::kHeightLabelId, W::kHeightFieldId}));
    EXPECT_EQ(MemberIds(window, W::kOptionRowId),
              (std::vector<int>{W::kKeepAspectId, W::kFillPageId, W::kCutMarksId}));
    EXPECT_EQ(MemberIds(window, W::kButtonRowId), (std::vector<int>{W::kOkId, W::kCancelId}));
    EXPECT_EQ(MemberIds(window, W::kPaperRowId),
              (std::vector<int>{W::kLightFabricId, W::kDarkFabricId}));

    const struct {
        int id;
        double weight;
    } weights[] = {{W::kUpperGroupId, 1.0}, {W::kOptionRowId, 0.1},  {W::kButtonRowId, 0.2},
                   {W::kPaperRowId, 0.1},   {W::kViewerId, 1.6},     {W::kSizeGroupId, 2.0},
                   {W::kWidthLabelId, 2.0}, {W::kWidthFieldId, 1.0}, {W::kOwnSizeId, 1.0}};
    for (const auto& w : weights)
        EXPECT_EQ(window.FindControl(w.id)->m_dWeight, w.weight) << w.id;
    auto* widthRow = dynamic_cast<CLayoutGroup*>(window.FindControl(W::kWidthRowId));
    EXPECT_EQ(widthRow->m_nGapX, 0);
    EXPECT_EQ(widthRow->m_nGapY, 0);
    auto* outer = dynamic_cast<CLayoutGroup*>(window.FindControl(W::kOuterGroupId));
    EXPECT_EQ(outer->m_nGapX, 4);
    EXPECT_TRUE(outer->m_dwFlags & GROUP_COLUMN);
    EXPECT_FALSE(window.FindControl(W::kChoiceRowId)->m_dwFlags & GROUP_COLUMN);

    // Laid out: the viewer right of the mode column, the buttons side by
    // side at the bottom.
    const auto placed = [&window](int id) { return window.FindControl(id)->m_pWnd->geometry(); };
    const QRect viewer = placed(W::kViewerId), shirt = placed(W::kFullShirtId);
    const QRect ok = placed(W::kOkId), cancel = placed(W::kCancelId);
    EXPECT_GT(viewer.left(), shirt.right());
    EXPECT_GT(viewer.width(), shirt.width());
    EXPECT_EQ(ok.top(), cancel.top());
    EXPECT_LT(ok.right(), cancel.left());
    EXPECT_LE(cancel.bottom(), 300);
    EXPECT_GT(ok.top(), viewer.bottom());
    EXPECT_GT(placed(W::kWidthFieldId).left(), placed(W::kWidthLabelId).right());
    EXPECT_GT(placed(W::kHeightFieldId).top(), placed(W::kWidthFieldId).bottom());
}

TEST(PagePrintWindowTest, EachModeShowsItsPictureAndEnablesItsControls) {
    W window;
    const std::vector<CDIB*> pictures = SeedModePictures(window);
    ASSERT_TRUE(CreateWindow(window, 1));
    auto* viewer = dynamic_cast<CDIBViewer*>(window.FindControl(W::kViewerId));

    Click(window, W::kSmallLogoId);
    EXPECT_EQ(window.GetPageMode(), 2);
    EXPECT_EQ(viewer->GetImage(), pictures[1]);
    EXPECT_EQ(Button(window, W::kFullShirtId)->GetCheck(), BST_UNCHECKED) << "radio buttons";
    EXPECT_TRUE(Enabled(window, W::kKeepAspectId));
    EXPECT_FALSE(Enabled(window, W::kWidthFieldId));

    Click(window, W::kOwnSizeId);
    EXPECT_EQ(window.GetPageMode(), 3);
    EXPECT_EQ(viewer->GetImage(), pictures[2]);
    EXPECT_FALSE(Enabled(window, W::kKeepAspectId)) << "keep aspect has no meaning here";
    EXPECT_TRUE(Enabled(window, W::kFillPageId));
    for (int id : {W::kWidthLabelId, W::kHeightLabelId, W::kWidthFieldId, W::kHeightFieldId})
        EXPECT_TRUE(Enabled(window, id)) << id;
    EXPECT_TRUE(Enabled(window, W::kOkId));

    Click(window, W::kFullShirtId);
    EXPECT_EQ(window.GetPageMode(), 1);
    EXPECT_EQ(viewer->GetImage(), pictures[0]);
    EXPECT_TRUE(Enabled(window, W::kKeepAspectId));
    EXPECT_FALSE(Enabled(window, W::kHeightFieldId));
}

TEST(PagePrintWindowTest, TypedSizesNeverGoNegativeAndZeroBlocksOk) {
    W window;
    SeedModePictures(window);
    ASSERT_TRUE(CreateWindow(window, 1));
    Click(window, W::kOwnSizeId);

    Type(window, W::kWidthFieldId, "-5");
    EXPECT_EQ(Field(window, W::kWidthFieldId)->GetWindowText(), "0") << "negative becomes 0";
    // An emptied field reads as -1, so it shows 0 at once too.
    QLineEdit* height = Field(window, W::kHeightFieldId)->GetSingleLineEditor();
    QTest::keyClick(height, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(height, Qt::Key_Delete);
    EXPECT_EQ(Field(window, W::kHeightFieldId)->GetWindowText(), "0");
    Type(window, W::kHeightFieldId, "10");
    EXPECT_EQ(window.GetWidthCm(), 0);
    EXPECT_FALSE(Enabled(window, W::kOkId)) << "own size of zero width";

    Type(window, W::kWidthFieldId, "25");
    EXPECT_EQ(window.GetWidthCm(), 25);
    EXPECT_TRUE(Enabled(window, W::kOkId));

    Type(window, W::kHeightFieldId, "0");
    EXPECT_EQ(window.GetHeightCm(), 0);
    EXPECT_FALSE(Enabled(window, W::kOkId)) << "zero height";

    // Other modes print without the size.
    Click(window, W::kSmallLogoId);
    EXPECT_TRUE(Enabled(window, W::kOkId));
    Click(window, W::kOwnSizeId);
    EXPECT_FALSE(Enabled(window, W::kOkId));
    Type(window, W::kHeightFieldId, "12");
    EXPECT_TRUE(Enabled(window, W::kOkId));
    EXPECT_EQ(window.GetHeightCm(), 12);
}

TEST(PagePrintWindowTest, ThePaperAndTheCutMarksAreChosenBesideTheMode) {
    W window;
    SeedModePictures(window);
    // The opener remembered dark fabric and cut marks.
    ASSERT_TRUE(CreateWindow(window, 1, 1, 1));
    EXPECT_EQ(Button(window, W::kLightFabricId)->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(Button(window, W::kDarkFabricId)->GetCheck(), BST_CHECKED);
    EXPECT_EQ(Button(window, W::kCutMarksId)->GetCheck(), BST_CHECKED);
    EXPECT_EQ(Button(window, W::kLightFabricId)->text(), "Light fabric (mirrored)");
    EXPECT_EQ(Button(window, W::kCutMarksId)->text(), "Cut marks");
    const int mode = RunWith(window, [&window] {
        Click(window, W::kOwnSizeId);
        Click(window, W::kLightFabricId);
        // The paper's buttons leave the page mode's alone, and the reverse.
        EXPECT_EQ(Button(window, W::kOwnSizeId)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(Button(window, W::kDarkFabricId)->GetCheck(), BST_UNCHECKED);
        Click(window, W::kSmallLogoId);
        EXPECT_EQ(Button(window, W::kLightFabricId)->GetCheck(), BST_CHECKED);
        Click(window, W::kLightFabricId); // clicking the chosen one keeps it
        EXPECT_EQ(Button(window, W::kLightFabricId)->GetCheck(), BST_CHECKED);
        Click(window, W::kCutMarksId);
        Click(window, W::kOkId);
    });
    EXPECT_EQ(mode, 2);
    CPrintSettings settings;
    settings.m_nDarkFabric = settings.m_nCutMarks = 1;
    settings.ReadFrom(window);
    EXPECT_EQ(settings.m_nDarkFabric, 0);
    EXPECT_EQ(settings.m_nCutMarks, 0);

    // Both back on, shown as the user sees the window.
    W again;
    SeedModePictures(again);
    ASSERT_TRUE(CreateWindow(again, 1));
    RunWith(again, [&again] {
        Click(again, W::kDarkFabricId);
        Click(again, W::kCutMarksId);
        EXPECT_EQ(Button(again, W::kLightFabricId)->GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(Button(again, W::kFullShirtId)->GetCheck(), BST_CHECKED);
        popuptest::Grab(&again).save("/tmp/w24out/pageprint.png");
        Click(again, W::kOkId);
    });
    EXPECT_EQ(again.GetDarkFabric(), 1);
    EXPECT_EQ(again.GetCutMarks(), 1);
}

TEST(PagePrintWindowTest, RunAnswersTheModeAndTheOpenerReadsTheSettings) {
    {
        W window;
        SeedModePictures(window);
        ASSERT_TRUE(CreateWindow(window, 1));
        const int mode = RunWith(window, [&window] {
            Click(window, W::kSmallLogoId);
            Click(window, W::kCancelId);
        });
        EXPECT_EQ(mode, 0) << "Annuleren";
        EXPECT_EQ(window.GetPageMode(), 0);
    }
    {
        W window;
        SeedModePictures(window);
        ASSERT_TRUE(CreateWindow(window, 1));
        const int mode = RunWith(window, [&window] {
            Click(window, W::kSmallLogoId);
            Click(window, W::kKeepAspectId);
            Click(window, W::kFillPageId);
            Click(window, W::kOkId);
        });
        EXPECT_EQ(mode, 2);
        EXPECT_EQ(Button(window, W::kKeepAspectId)->GetCheck(), BST_UNCHECKED);
        CPrintSettings settings;
        settings.m_nPageMode = mode;
        settings.ReadFrom(window);
        EXPECT_EQ(settings.m_nPageMode, 2);
        EXPECT_EQ(settings.m_nKeepAspect, 0) << "the click cleared the flag";
        EXPECT_EQ(settings.m_nFillPage, 1);
        EXPECT_EQ(settings.m_nWidth, 10);
        EXPECT_EQ(settings.m_nHeight, 10);
    }
    {
        // A zero own size cannot be confirmed: the click on OK does nothing.
        W window;
        SeedModePictures(window);
        ASSERT_TRUE(CreateWindow(window, 0));
        const int mode = RunWith(window, [&window] {
            Click(window, W::kOwnSizeId);
            Type(window, W::kHeightFieldId, "0");
            Click(window, W::kOkId);
            EXPECT_TRUE(window.IsRunning()) << "OK is disabled";
            Type(window, W::kHeightFieldId, "7");
            Click(window, W::kOkId);
        });
        EXPECT_EQ(mode, 3);
        EXPECT_EQ(window.GetHeightCm(), 7);
        EXPECT_EQ(window.GetKeepAspect(), 0);
    }
}

TEST(PagePrintWindowTest, CentredWithTheTextsOfTheStringServer) {
    W window;
    SeedModePictures(window);
    window.Strings().Add(1013, 3, "Please select the page setup");
    window.Strings().Add(1014, 3, "Keep aspect");
    window.Strings().Add(1013, 1, "Kies de pagina-instelling");
    window.Strings().m_nLanguage = 3;
    ASSERT_TRUE(window.CreateCentred(window.Strings(), 1));
    const CSize screen = platform::ScreenSize();
    EXPECT_EQ(window.geometry().topLeft(), QPoint((screen.cx - 450) / 2, (screen.cy - 300) / 2));
    EXPECT_EQ(window.windowTitle().toStdString(), "Please select the page setup");
    EXPECT_EQ(Button(window, W::kKeepAspectId)->GetCaption(), "Keep aspect");
    EXPECT_EQ(Button(window, W::kCancelId)->GetCaption(), "Annuleren") << "fixed in every language";
    EXPECT_EQ(window.GetKeepAspect(), 1);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
}
