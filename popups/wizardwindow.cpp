#include "popups/wizardwindow.h"

#include "controls/button.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "platform/window.h"

namespace {

constexpr DWORD kLabelStyle = 0x500108C1; // centred, read-only
constexpr DWORD kCheckBoxStyle = 0x50010003;
constexpr int kGap = 4;

} // namespace

CWizardWindow::CWizardWindow() : m_nChoice(0), m_nShowAgain(1), m_nCheckBox(0) {}

CWizardWindow::~CWizardWindow() = default;

BOOL CWizardWindow::Create(int x, int y, int cx, int cy, const std::string& heading, int checkBox,
                           int showAgain, const std::string& checkBoxCaption, DWORD style,
                           DWORD exStyle, CPopupCloseListener* closeListener, UINT id) {
    m_strHeading = heading;
    m_nCheckBox = checkBox;
    m_nShowAgain = showAgain;
    m_strCheckBoxCaption = checkBoxCaption;
    return CPopupWindow::Create(x, y, cx, cy, m_strHeading, style, closeListener, exStyle, id);
}

BOOL CWizardWindow::CreateCentred(const std::string& heading, int checkBox, int showAgain,
                                  const std::string& checkBoxCaption) {
    const CSize screen = platform::ScreenSize();
    return Create((screen.cx - kWidth) / 2, (screen.cy - kHeight) / 2, kWidth, kHeight, heading,
                  checkBox, showAgain, checkBoxCaption, kStyle, kExStyle);
}

BOOL CWizardWindow::AddOrDelete(CControlBase* control) {
    if (AddControl(control))
        return TRUE;
    delete control;
    return FALSE;
}

BOOL CWizardWindow::CreatePictureButton(int id, const char* strip) {
    const CRect start(0, 0, 100, 100);
    auto* button = new CButtonControl(this, this, id, &start, nullptr, 0, 0);
    if (!AddOrDelete(button))
        return FALSE;
    return button->SetBitmapFile(strip);
}

BOOL CWizardWindow::CreateControls() {
    SetBackgroundColor(kBackground);
    const CRect labelRect(0, 0, 100, 160);
    if (!AddOrDelete(new CEditControl(this, this, kHeadingId, &labelRect, m_strHeading.c_str(), 0,
                                      kLabelStyle)))
        return FALSE;
    if (!CreatePictureButton(kFirstChoiceId, kFirstPicture) ||
        !CreatePictureButton(kSecondChoiceId, kSecondPicture))
        return FALSE;
    CButtonControl* checkBox = nullptr;
    if (m_nCheckBox) {
        const CRect boxRect(0, 0, 60, 30);
        checkBox = new CButtonControl(this, this, kCheckBoxId, &boxRect,
                                      m_strCheckBoxCaption.c_str(), BTN_TOGGLE, kCheckBoxStyle);
        if (!AddOrDelete(checkBox))
            return FALSE;
        checkBox->SetCheck(m_nShowAgain ? TRUE : FALSE);
    }

    const CRect client = platform::ClientRect(this);
    const CRect whole(0, 0, client.Width(), client.Height());
    auto* group = new CLayoutGroup(this, this, kGroupId, &whole, GROUP_COLUMN, kGap, kGap);
    if (!AddOrDelete(group))
        return FALSE;
    const struct {
        CControlBase* member;
        double weight;
    } members[] = {{FindControl(kHeadingId), 0.2},
                   {FindControl(kFirstChoiceId), 1.0},
                   {FindControl(kSecondChoiceId), 1.0},
                   {checkBox, 0.2}};
    for (const auto& m : members) {
        if (!m.member)
            continue;
        m.member->m_dWeight = m.weight;
        group->AddMember(m.member);
    }
    SetMinimumSize(100, 190);
    SetMaximumSize(350, 650);
    return TRUE;
}

int CWizardWindow::RunModal(BOOL restrictToWindow) {
    m_nChoice = 0;
    CPopupWindow::RunModal(restrictToWindow);
    return m_nChoice;
}

void CWizardWindow::OnClose() {
    if (IsRunning())
        m_nChoice = kCancelled;
}

void CWizardWindow::OnNotify_Select(int sender, int value) {
    switch (sender) {
    case kCheckBoxId:
        if (CControlBase* box = FindControl(kCheckBoxId))
            m_nShowAgain = (box->GetFlags() & BTN_TOGGLED) ? 1 : 0;
        break;
    case kFirstChoiceId:
        m_nChoice = 0;
        EndModal();
        break;
    case kSecondChoiceId:
        m_nChoice = 1;
        EndModal();
        break;
    default:
        CPopupWindow::OnNotify_Select(sender, value);
        break;
    }
}
