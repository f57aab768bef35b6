#include "popups/textwindow.h"

#include "controls/button.h"
#include "controls/colorbutton.h"
#include "controls/cyclebutton.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "platform/userservices.h"
#include "platform/window.h"

#include <cstring>

namespace {

constexpr DWORD kEditStyle = 0x508110C4; // multi-line, Enter starts a new line
constexpr DWORD kButtonStyle = 0x5001000B;
constexpr int kGap = 4;

// Label ids of the string server, from the title to Cancel.
constexpr int kFirstLabelId = 1029;

std::string LabelOf(CStringServer& strings, int id) {
    const std::string* text = strings.Find(id);
    return text ? *text : std::string();
}

// Sets the weight and appends the member.
void AddWeighted(CLayoutGroup* group, CControlBase* member, double weight) {
    member->m_dWeight = weight;
    group->AddMember(member);
}

} // namespace

CTextWindow::CTextWindow()
    : m_bFontCreated(FALSE), m_nResult(0), m_logFont{}, m_crColor(0x00FFFFFF), m_nAlignment(0) {}

CTextWindow::~CTextWindow() {
    if (m_bFontCreated)
        m_font.DeleteObject();
    m_bFontCreated = FALSE;
}

// Creation ------------------------------------------------------------------------------

BOOL CTextWindow::Create(int x, int y, int cx, int cy, const std::string& title,
                         const std::string& typeface, const std::string& left,
                         const std::string& centred, const std::string& right,
                         const std::string& ok, const std::string& cancel, DWORD style,
                         DWORD exStyle, CPopupCloseListener* closeListener, UINT id) {
    m_strTitle = title;
    m_strTypeface = typeface;
    m_strLeft = left;
    m_strCentred = centred;
    m_strRight = right;
    m_strOk = ok;
    m_strCancel = cancel;
    return CPopupWindow::Create(x, y, cx, cy, m_strTitle, style, closeListener, exStyle, id);
}

BOOL CTextWindow::CreateCentred(CStringServer& strings) {
    const CSize screen = platform::ScreenSize();
    std::string labels[7];
    for (int i = 0; i < 7; ++i)
        labels[i] = LabelOf(strings, kFirstLabelId + i);
    return Create((screen.cx - kWidth) / 2, (screen.cy - kHeight) / 2, kWidth, kHeight, labels[0],
                  labels[1], labels[2], labels[3], labels[4], labels[5], labels[6], kStyle,
                  kExStyle);
}

BOOL CTextWindow::AddOrDelete(CControlBase* control) {
    if (AddControl(control))
        return TRUE;
    delete control;
    return FALSE;
}

BOOL CTextWindow::CreateControls() {
    SetBackgroundColor(kBackground);
    const CRect start(0, 0, 100, 100);
    // The alignment handed in; building the cycle reports other indexes
    // before it is set.
    const int alignment = m_nAlignment;

    auto* edit = new CEditControl(this, this, kEditId, &start, m_strText.c_str(), 0, kEditStyle);
    if (!AddOrDelete(edit))
        return FALSE;
    ApplyBrightness();
    ApplyFont(m_logFont);

    if (!AddOrDelete(
            new CButtonControl(this, this, kTypefaceId, &start, m_strTypeface.c_str(), 0, 0)))
        return FALSE;
    auto* cycle = new CCycleButtonControl(this, this, kAlignmentId, &start, 0, 0);
    cycle->m_dwStyle |= kButtonStyle;
    if (!AddOrDelete(cycle))
        return FALSE;
    cycle->AddTextItem(m_strLeft.c_str(), nullptr, 0, 0, kPlaceEnd, 0);
    cycle->AddTextItem(m_strCentred.c_str(), nullptr, 0, 0, kPlaceEnd, 0);
    cycle->AddTextItem(m_strRight.c_str(), nullptr, 0, 0, kPlaceEnd, 0);
    if (!cycle->SetCurrent(alignment))
        m_nAlignment = alignment;

    auto* colour = new CColorButtonControl(this, this, kColourId, &start, m_crColor, 0, 0);
    colour->m_dwStyle |= kButtonStyle;
    if (!AddOrDelete(colour))
        return FALSE;
    if (!AddOrDelete(new CButtonControl(this, this, kCancelId, &start, m_strCancel.c_str(), 0, 0)))
        return FALSE;
    if (!AddOrDelete(new CButtonControl(this, this, kOkId, &start, m_strOk.c_str(), 0, 0)))
        return FALSE;
    if (!CreateGroups())
        return FALSE;
    SetMinimumSize(kWidth, kHeight);
    return TRUE;
}

BOOL CTextWindow::CreateGroups() {
    const CRect client = platform::ClientRect(this);
    const CRect whole(0, 0, client.Width(), client.Height());
    const CRect empty(0, 0, 0, 0);
    auto* outer = new CLayoutGroup(this, this, kOuterGroupId, &whole, GROUP_COLUMN, kGap, kGap);
    if (!AddOrDelete(outer))
        return FALSE;
    auto* tools = new CLayoutGroup(this, this, kToolRowId, &empty, 0, kGap, kGap);
    if (!AddOrDelete(tools))
        return FALSE;
    auto* buttons = new CLayoutGroup(this, this, kButtonRowId, &empty, 0, kGap, kGap);
    if (!AddOrDelete(buttons))
        return FALSE;
    AddWeighted(outer, FindControl(kEditId), 5.0);
    AddWeighted(outer, tools, 1.0);
    AddWeighted(outer, buttons, 0.8);
    AddWeighted(tools, FindControl(kTypefaceId), 1.0);
    AddWeighted(tools, FindControl(kAlignmentId), 2.0);
    AddWeighted(tools, FindControl(kColourId), 0.7);
    AddWeighted(buttons, FindControl(kOkId), 1.0);
    AddWeighted(buttons, FindControl(kCancelId), 1.0);
    return TRUE;
}

// Running ---------------------------------------------------------------------------------

int CTextWindow::RunModal(BOOL restrictToWindow) {
    m_nResult = 0;
    CPopupWindow::RunModal(restrictToWindow);
    return m_nResult;
}

// Values shown ------------------------------------------------------------------------------

COLORREF CTextWindow::GroundForColor(COLORREF colour) {
    const int average = (GetRValue(colour) + GetGValue(colour) + GetBValue(colour)) / 3;
    return average > 128 ? kDarkGround : kLightGround;
}

CEditControl* CTextWindow::EditField() const {
    return dynamic_cast<CEditControl*>(FindControl(kEditId));
}

void CTextWindow::ApplyBrightness() {
    CEditControl* edit = EditField();
    if (!edit)
        return;
    edit->SetBackgroundColor(GroundForColor(m_crColor));
    edit->m_crText = m_crColor;
    edit->Redraw(nullptr, 0);
}

void CTextWindow::ApplyFont(const LOGFONTA& font) {
    std::memcpy(&m_logFont, &font, sizeof(LOGFONTA));
    if (m_bFontCreated) {
        m_font.DeleteObject();
        m_bFontCreated = FALSE;
    }
    // A font that cannot be made leaves the field's old one.
    if (!m_font.CreateFontIndirect(&m_logFont))
        return;
    m_bFontCreated = TRUE;
    if (CEditControl* edit = EditField())
        edit->SetFont(platform::FontFromLogFont(m_font.LogFont()), TRUE);
}

void CTextWindow::ApplyAlignment(int alignment) {
    CEditControl* edit = EditField();
    if (!edit)
        return;
    switch (alignment) {
    case 0:
        edit->ModifyStyle(ES_CENTER | ES_RIGHT, 0, 0);
        break;
    case 1:
        edit->ModifyStyle(ES_RIGHT, ES_CENTER, 0);
        break;
    case 2:
        edit->ModifyStyle(ES_CENTER, ES_RIGHT, 0);
        break;
    default:
        break;
    }
}

// NOTE: the chooser writes the description only when the user confirms;
// the font is applied again either way, as the description stands.
void CTextWindow::ChooseTypeface() {
    LOGFONTA chosen = m_logFont;
    platform::Services().FontDialog(this, &chosen, kFontDialogFlags);
    ApplyFont(chosen);
}

// Handlers ----------------------------------------------------------------------------------

void CTextWindow::OnNotify_Select(int sender, int value) {
    switch (sender) {
    case kOkId:
        m_nResult = 1;
        EndModal();
        break;
    case kCancelId:
        m_nResult = 0;
        EndModal();
        break;
    case kEditId:
        if (CEditControl* edit = EditField())
            m_strText = edit->GetWindowText();
        break;
    case kColourId:
        if (auto* colour = dynamic_cast<CColorButtonControl*>(FindControl(kColourId))) {
            m_crColor = colour->m_crColor;
            ApplyBrightness();
        }
        break;
    case kAlignmentId:
        // The cycle also reports while it is being built, before the
        // window knows it.
        if (auto* cycle = dynamic_cast<CCycleButtonControl*>(FindControl(kAlignmentId))) {
            m_nAlignment = cycle->m_nCurrent;
            ApplyAlignment(m_nAlignment);
        }
        break;
    case kTypefaceId:
        ChooseTypeface();
        break;
    default:
        CPopupWindow::OnNotify_Select(sender, value);
        break;
    }
}
