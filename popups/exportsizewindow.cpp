#include "popups/exportsizewindow.h"

#include "controls/button.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "platform/window.h"
#include "popups/pageprintwindow.h"
#include "popups/printdesign.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr DWORD kCheckBoxStyle = 0x50010003;
constexpr DWORD kLabelStyle = 0x500108C1; // centred, read-only
constexpr DWORD kFieldFlags = 0x508100C0; // numeric
constexpr DWORD kFieldStyle = 0x508110C4;
constexpr int kGap = 4;
constexpr double kCmPerInch = 2.54;

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string PixelsText(const std::string& format, CSize size) {
    std::string out = format;
    for (const long value : {size.cx, size.cy}) {
        const size_t at = out.find("%d");
        if (at == std::string::npos)
            break;
        out.replace(at, 2, std::to_string(value));
    }
    return out;
}

} // namespace

CExportSizeWindow::CExportSizeWindow()
    : m_dWidthCm(25), m_nDpi(300), m_nTransparent(1), m_dAspect(1), m_nResult(0) {}

CExportSizeWindow::~CExportSizeWindow() = default;

void CExportSizeWindow::SetValues(double widthCm, int dpi, int transparent, double aspect) {
    m_dWidthCm = widthCm;
    m_nDpi = dpi;
    m_nTransparent = transparent ? 1 : 0;
    m_dAspect = aspect > 0 ? aspect : 1;
}

CSize CExportSizeWindow::PixelSize(double widthCm, int dpi, double aspect) {
    if (!(widthCm > 0) || dpi <= 0 || !(aspect > 0))
        return CSize(0, 0);
    const double width = std::round(widthCm * dpi / kCmPerInch);
    const double height = std::round(width / aspect);
    if (width > 1e9 || height > 1e9)
        return CSize(0, 0);
    return CSize(LONG(width), LONG(height));
}

BOOL CExportSizeWindow::CreateCentred() {
    const CSize screen = platform::ScreenSize();
    return Create((screen.cx - kWidth) / 2, (screen.cy - kHeight) / 2, kWidth, kHeight,
                  m_texts.m_strTitle, CPagePrintWindow::kStyle, nullptr,
                  CPagePrintWindow::kExStyle);
}

BOOL CExportSizeWindow::AddOrDelete(CControlBase* control) {
    if (AddControl(control))
        return TRUE;
    delete control;
    return FALSE;
}

BOOL CExportSizeWindow::CreateControls() {
    SetBackgroundColor(CPagePrintWindow::kBackground);
    const CRect start(0, 0, 100, 100);
    const auto label = [&](int id, const std::string& text, DWORD style) {
        return AddOrDelete(new CEditControl(this, this, id, &start, text.c_str(), 0, style));
    };
    const auto field = [&](int id, const std::string& text) {
        return AddOrDelete(
            new CEditControl(this, this, id, &start, text.c_str(), kFieldFlags, kFieldStyle));
    };
    const auto button = [&](int id, const std::string& caption, DWORD flags, DWORD style) {
        auto* b = new CButtonControl(this, this, id, &start, caption.c_str(), flags, style);
        return AddOrDelete(b) ? b : nullptr;
    };
    if (!label(kWidthLabelId, m_texts.m_strWidth, kLabelStyle) ||
        !field(kWidthFieldId, NumberText(m_dWidthCm)) ||
        !label(kResolutionLabelId, m_texts.m_strResolution, kLabelStyle) ||
        !field(kResolutionFieldId, std::to_string(m_nDpi)))
        return FALSE;
    CButtonControl* transparent =
        button(kTransparentId, m_texts.m_strTransparent, BTN_TOGGLE, kCheckBoxStyle);
    if (!transparent || !label(kPixelsLabelId, " ", kLabelStyle) ||
        !button(kOkId, m_texts.m_strOk, 0, 0) || !button(kCancelId, m_texts.m_strCancel, 0, 0))
        return FALSE;
    transparent->SetCheck(m_nTransparent != 0);
    if (!CreateGroups())
        return FALSE;
    SetMinimumSize(240, 160);
    SetMaximumSize(800, 600);
    UpdateControls();
    return TRUE;
}

BOOL CExportSizeWindow::CreateGroups() {
    const CRect client = platform::ClientRect(this);
    const CRect whole(0, 0, client.Width(), client.Height());
    for (const int id : {kColumnId, kWidthRowId, kResolutionRowId, kButtonRowId}) {
        const DWORD flags = id == kColumnId ? GROUP_COLUMN : 0;
        if (!AddOrDelete(new CLayoutGroup(this, this, id, &whole, flags, kGap, kGap)))
            return FALSE;
    }
    const struct {
        int group, member;
        double weight;
    } members[] = {
        {kColumnId, kWidthRowId, 1.0},
        {kColumnId, kResolutionRowId, 1.0},
        {kColumnId, kTransparentId, 1.0},
        {kColumnId, kPixelsLabelId, 1.0},
        {kColumnId, kButtonRowId, 1.2},
        {kWidthRowId, kWidthLabelId, 2.0},
        {kWidthRowId, kWidthFieldId, 1.0},
        {kResolutionRowId, kResolutionLabelId, 2.0},
        {kResolutionRowId, kResolutionFieldId, 1.0},
        {kButtonRowId, kOkId, 1.0},
        {kButtonRowId, kCancelId, 1.0},
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

int CExportSizeWindow::RunModal(BOOL restrictToWindow) {
    m_nResult = 0;
    UpdateControls();
    CPopupWindow::RunModal(restrictToWindow);
    return m_nResult;
}

void CExportSizeWindow::UpdateControls() {
    if (CControlBase* width = FindControl(kWidthFieldId))
        m_dWidthCm = width->GetDoubleValue();
    if (CControlBase* dpi = FindControl(kResolutionFieldId))
        m_nDpi = dpi->GetIntValue();
    const CSize size = GetPixelSize();
    const bool possible = size.cx > 0 && size.cy > 0 && m_nDpi <= kMaxDpi &&
                          (long long)size.cx * size.cy <= kMaxCopyPixels;
    if (auto* pixels = dynamic_cast<CEditControl*>(FindControl(kPixelsLabelId)))
        pixels->SetWindowText(possible ? PixelsText(m_texts.m_strPixels, size) : "-");
    if (CControlBase* ok = FindControl(kOkId))
        ok->Enable(possible);
}

void CExportSizeWindow::OnNotify_Select(int sender, int value) {
    switch (sender) {
    case kOkId:
        UpdateControls();
        m_nResult = 1;
        EndModal();
        break;
    case kCancelId:
        m_nResult = 0;
        EndModal();
        break;
    case kTransparentId:
        if (CControlBase* box = FindControl(kTransparentId))
            m_nTransparent = (box->GetFlags() & BTN_TOGGLED) ? 1 : 0;
        break;
    default:
        CPopupWindow::OnNotify_Select(sender, value);
        break;
    }
}

void CExportSizeWindow::OnNotify_Int(int sender, int) {
    if (sender == kResolutionFieldId)
        UpdateControls();
}

void CExportSizeWindow::OnNotify_Double(int sender, double) {
    if (sender == kWidthFieldId)
        UpdateControls();
}
