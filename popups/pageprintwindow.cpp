#include "popups/pageprintwindow.h"

#include "controls/button.h"
#include "controls/dibviewer.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "platform/window.h"

#include <string>

namespace {

constexpr DWORD kRadioStyle = 0x50010009;
// The paper's radio buttons tick only as the window says: clicking them
// must not untick the page modes, which share their parent.
constexpr DWORD kPaperRadioStyle = 0x50010004;
constexpr DWORD kCheckBoxStyle = 0x50010003;
constexpr DWORD kLabelStyle = 0x500108C1; // centred, read-only
constexpr DWORD kFieldFlags = 0x508100C0; // numeric
constexpr DWORD kFieldStyle = 0x508110C4;
constexpr DWORD kViewerStyle = 0x50000000;
constexpr DWORD kViewerFixed = VIEWER_NO_MOVE | VIEWER_NO_ZOOM;
constexpr int kGap = 4;

// The captions are the same in every language of the program.
constexpr const char* kFullShirtCaption = "Volledig T-shirt";
constexpr const char* kSmallLogoCaption = "Klein logo";
constexpr const char* kOwnSizeCaption = "Zelf instellen";
constexpr const char* kFillPageCaption = "Pagina vullen";
constexpr const char* kWidthCaption = "Breedte (cm)";
constexpr const char* kHeightCaption = "Hoogte  (cm)";
constexpr const char* kOkCaption = "OK";
constexpr const char* kCancelCaption = "Annuleren";

constexpr int kTitleId = 1013;
constexpr int kKeepAspectCaptionId = 1014;

std::string TextOf(CStringServer& strings, int id) {
    const std::string* text = strings.Find(id);
    return text ? *text : std::string();
}

} // namespace

CPagePrintWindow::CPagePrintWindow()
    : m_nPageMode(0), m_nKeepAspect(0), m_nFillPage(0), m_nWidth(10), m_nHeight(10) {}

CPagePrintWindow::~CPagePrintWindow() = default;

// Creation ----------------------------------------------------------------------------------

BOOL CPagePrintWindow::Create(int x, int y, int cx, int cy, const std::string& title,
                              const std::string& keepAspectCaption, int keepAspect, DWORD style,
                              DWORD exStyle, CPopupCloseListener* closeListener, UINT id) {
    m_nKeepAspect = keepAspect;
    m_strKeepAspect = keepAspectCaption;
    m_nFillPage = 0;
    m_strFullShirt = kFullShirtCaption;
    m_strSmallLogo = kSmallLogoCaption;
    m_strOwnSize = kOwnSizeCaption;
    m_strFillPage = kFillPageCaption;
    return CPopupWindow::Create(x, y, cx, cy, title, style, closeListener, exStyle, id);
}

BOOL CPagePrintWindow::CreateCentred(CStringServer& strings, int keepAspect) {
    const CSize screen = platform::ScreenSize();
    return Create((screen.cx - kWidth) / 2, (screen.cy - kHeight) / 2, kWidth, kHeight,
                  TextOf(strings, kTitleId), TextOf(strings, kKeepAspectCaptionId), keepAspect,
                  kStyle, kExStyle);
}

BOOL CPagePrintWindow::AddOrDelete(CControlBase* control) {
    if (AddControl(control))
        return TRUE;
    delete control;
    return FALSE;
}

CButtonControl* CPagePrintWindow::AddButton(int id, const std::string& caption, DWORD flags,
                                            DWORD style) {
    const CRect start(0, 0, 100, 100);
    auto* button = new CButtonControl(this, this, id, &start, caption.c_str(), flags, style);
    return AddOrDelete(button) ? button : nullptr;
}

// NOTE: the keep-aspect box is built ticked whatever flag was handed in;
// the flag changes only when the user clicks the box, and the flag, not
// the box, decides the print.
BOOL CPagePrintWindow::CreateControls() {
    SetBackgroundColor(kBackground);
    CButtonControl* keepAspect =
        AddButton(kKeepAspectId, m_strKeepAspect, BTN_TOGGLE, kCheckBoxStyle);
    if (!keepAspect)
        return FALSE;
    keepAspect->SetCheck(TRUE);
    if (!AddButton(kCancelId, kCancelCaption, 0, 0) || !AddButton(kOkId, kOkCaption, 0, 0))
        return FALSE;
    CButtonControl* fullShirt = AddButton(kFullShirtId, m_strFullShirt, BTN_TOGGLE, kRadioStyle);
    if (!fullShirt || !AddButton(kSmallLogoId, m_strSmallLogo, BTN_TOGGLE, kRadioStyle) ||
        !AddButton(kOwnSizeId, m_strOwnSize, BTN_TOGGLE, kRadioStyle))
        return FALSE;
    fullShirt->SetCheck(TRUE);
    if (!CreateSizeFields())
        return FALSE;

    const CRect start(0, 0, 100, 100);
    auto* viewer = new CDIBViewer(this, this, kViewerId, &start, kViewerStyle);
    viewer->m_dwFlags |= kViewerFixed;
    if (!AddOrDelete(viewer))
        return FALSE;
    viewer->SetImageFile(kModePictures[0]);
    viewer->SetZoom(1.0);

    CButtonControl* fillPage = AddButton(kFillPageId, m_strFillPage, BTN_TOGGLE, kCheckBoxStyle);
    if (!fillPage)
        return FALSE;
    fillPage->SetCheck(FALSE);
    if (!CreatePaperControls() || !CreateGroups())
        return FALSE;
    SetMinimumSize(200, 150);
    SetMaximumSize(800, 600);
    UpdateControls();
    return TRUE;
}

BOOL CPagePrintWindow::CreateSizeFields() {
    const CRect start(0, 0, 100, 100);
    if (!AddOrDelete(
            new CEditControl(this, this, kWidthLabelId, &start, kWidthCaption, 0, kLabelStyle)) ||
        !AddOrDelete(
            new CEditControl(this, this, kHeightLabelId, &start, kHeightCaption, 0, kLabelStyle)))
        return FALSE;
    const std::string width = std::to_string(m_nWidth);
    const std::string height = std::to_string(m_nHeight);
    return AddOrDelete(new CEditControl(this, this, kWidthFieldId, &start, width.c_str(),
                                        kFieldFlags, kFieldStyle)) &&
           AddOrDelete(new CEditControl(this, this, kHeightFieldId, &start, height.c_str(),
                                        kFieldFlags, kFieldStyle));
}

BOOL CPagePrintWindow::CreatePaperControls() {
    CButtonControl* light =
        AddButton(kLightFabricId, m_paper.m_strLightFabric, BTN_TOGGLE, kPaperRadioStyle);
    CButtonControl* dark =
        AddButton(kDarkFabricId, m_paper.m_strDarkFabric, BTN_TOGGLE, kPaperRadioStyle);
    CButtonControl* marks =
        AddButton(kCutMarksId, m_paper.m_strCutMarks, BTN_TOGGLE, kCheckBoxStyle);
    if (!light || !dark || !marks)
        return FALSE;
    light->SetCheck(!m_paper.m_nDarkFabric);
    dark->SetCheck(m_paper.m_nDarkFabric != 0);
    marks->SetCheck(m_paper.m_nCutMarks != 0);
    return TRUE;
}

void CPagePrintWindow::ChoosePaper(int darkFabric) {
    m_paper.m_nDarkFabric = darkFabric;
    if (auto* light = dynamic_cast<CButtonControl*>(FindControl(kLightFabricId)))
        light->SetCheck(!darkFabric);
    if (auto* dark = dynamic_cast<CButtonControl*>(FindControl(kDarkFabricId)))
        dark->SetCheck(darkFabric != 0);
}

BOOL CPagePrintWindow::CreateGroups() {
    const CRect client = platform::ClientRect(this);
    const CRect whole(0, 0, client.Width(), client.Height());
    struct GroupSpec {
        int id;
        DWORD flags;
        int gap;
    };
    const GroupSpec groups[] = {
        {kOuterGroupId, GROUP_COLUMN, kGap},
        {kUpperGroupId, GROUP_COLUMN, kGap},
        {kChoiceRowId, 0, kGap},
        {kModeColumnId, GROUP_COLUMN, kGap},
        {kSizeGroupId, GROUP_COLUMN, kGap},
        {kWidthRowId, 0, 0},
        {kHeightRowId, 0, 0},
        {kOptionRowId, 0, kGap},
        {kPaperRowId, 0, kGap},
        {kButtonRowId, 0, kGap},
    };
    for (const GroupSpec& g : groups)
        if (!AddOrDelete(new CLayoutGroup(this, this, g.id, &whole, g.flags, g.gap, g.gap)))
            return FALSE;

    const struct {
        int group, member;
        double weight;
    } members[] = {
        {kOuterGroupId, kUpperGroupId, 1.0}, {kOuterGroupId, kOptionRowId, 0.1},
        {kOuterGroupId, kPaperRowId, 0.1},   {kOuterGroupId, kButtonRowId, 0.2},
        {kUpperGroupId, kChoiceRowId, 1.0},  {kChoiceRowId, kModeColumnId, 1.0},
        {kChoiceRowId, kViewerId, 1.6},      {kModeColumnId, kFullShirtId, 1.0},
        {kModeColumnId, kSmallLogoId, 1.0},  {kModeColumnId, kOwnSizeId, 1.0},
        {kModeColumnId, kSizeGroupId, 2.0},  {kSizeGroupId, kWidthRowId, 1.0},
        {kSizeGroupId, kHeightRowId, 1.0},   {kWidthRowId, kWidthLabelId, 2.0},
        {kWidthRowId, kWidthFieldId, 1.0},   {kHeightRowId, kHeightLabelId, 2.0},
        {kHeightRowId, kHeightFieldId, 1.0}, {kOptionRowId, kKeepAspectId, 1.3},
        {kOptionRowId, kFillPageId, 1.0},    {kOptionRowId, kCutMarksId, 0.9},
        {kPaperRowId, kLightFabricId, 1.0},  {kPaperRowId, kDarkFabricId, 1.25},
        {kButtonRowId, kOkId, 1.0},          {kButtonRowId, kCancelId, 1.0},
    };
    for (const auto& m : members) {
        auto* group = dynamic_cast<CLayoutGroup*>(FindControl(m.group));
        CControlBase* member = FindControl(m.member);
        if (!group || !member)
            return FALSE;
        member->m_dWeight = m.weight;
        group->AddMember(member);
    }
    return TRUE;
}

// Running -------------------------------------------------------------------------------------

int CPagePrintWindow::RunModal(BOOL restrictToWindow) {
    UpdateControls();
    CPopupWindow::RunModal(restrictToWindow);
    return m_nPageMode;
}

// The update rule ------------------------------------------------------------------------------

bool CPagePrintWindow::IsTicked(int id) const {
    auto* button = dynamic_cast<CButtonControl*>(FindControl(id));
    return button && button->GetCheck() == BST_CHECKED;
}

void CPagePrintWindow::EnableControl(int id, BOOL enable) {
    if (CControlBase* control = FindControl(id))
        control->Enable(enable);
}

void CPagePrintWindow::ShowModePicture(int mode) {
    if (auto* viewer = dynamic_cast<CDIBViewer*>(FindControl(kViewerId)))
        viewer->SetImageFile(kModePictures[mode - 1]);
}

void CPagePrintWindow::UpdateControls() {
    const struct {
        int id, mode;
        BOOL keepAspect;
    } modes[] = {{kFullShirtId, 1, TRUE}, {kSmallLogoId, 2, TRUE}, {kOwnSizeId, 3, FALSE}};
    for (const auto& m : modes) {
        if (!IsTicked(m.id))
            continue;
        m_nPageMode = m.mode;
        ShowModePicture(m.mode);
        EnableControl(kKeepAspectId, m.keepAspect);
        break;
    }
    EnableControl(kFillPageId, TRUE);
    if (CControlBase* width = FindControl(kWidthFieldId))
        m_nWidth = width->GetIntValue();
    if (CControlBase* height = FindControl(kHeightFieldId))
        m_nHeight = height->GetIntValue();
    EnableControl(kSizeGroupId, m_nPageMode == 3);
    EnableControl(kOkId, !(m_nPageMode == 3 && (m_nWidth == 0 || m_nHeight == 0)));
}

// Handlers -------------------------------------------------------------------------------------

void CPagePrintWindow::OnClose() {
    if (IsRunning())
        m_nPageMode = 0;
}

void CPagePrintWindow::OnNotify_Select(int sender, int value) {
    switch (sender) {
    case kCancelId:
        m_nPageMode = 0;
        EndModal();
        break;
    case kOkId:
        EndModal();
        break;
    case kKeepAspectId:
        if (CControlBase* box = FindControl(kKeepAspectId))
            m_nKeepAspect = (box->GetFlags() & BTN_TOGGLED) ? 1 : 0;
        break;
    case kFillPageId:
        if (CControlBase* box = FindControl(kFillPageId))
            m_nFillPage = (box->GetFlags() & BTN_TOGGLED) ? 1 : 0;
        break;
    case kLightFabricId:
        ChoosePaper(0);
        break;
    case kDarkFabricId:
        ChoosePaper(1);
        break;
    case kCutMarksId:
        if (CControlBase* box = FindControl(kCutMarksId))
            m_paper.m_nCutMarks = (box->GetFlags() & BTN_TOGGLED) ? 1 : 0;
        break;
    case kFullShirtId:
    case kSmallLogoId:
    case kOwnSizeId:
        UpdateControls();
        break;
    default:
        CPopupWindow::OnNotify_Select(sender, value);
        break;
    }
}

void CPagePrintWindow::OnNotify_Int(int sender, int value) {
    if (sender != kWidthFieldId && sender != kHeightFieldId)
        return;
    if (value < 0) {
        if (CControlBase* field = FindControl(sender))
            field->SetIntValue(0);
    }
    UpdateControls();
}
