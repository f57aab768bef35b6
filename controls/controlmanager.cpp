#include "controls/controlmanager.h"

#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/controlbase.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/userservices.h"
#include "platform/window.h"

#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <new>

namespace {
ManagerPopupFactories& Factories() {
    static ManagerPopupFactories factories;
    return factories;
}
} // namespace

void SetManagerPopupFactories(ManagerPopupFactories factories) {
    Factories() = std::move(factories);
}

double SingleScale(int extent, int designExtent) {
    if (designExtent == 0)
        return double(1e-6f);
    return double(float(extent) / float(designExtent));
}

CControlManager::CControlManager()
    : m_nRole(1), m_pHostWnd(nullptr), m_pActive(nullptr), m_pBackgroundImage(nullptr),
      m_crBackground(0x77ECF9), m_dwFlags(0), m_dScaleX(1.0), m_dScaleY(1.0),
      m_bPaintEnabled(FALSE), m_pDragIcon(nullptr), m_bDragging(FALSE) {}

CControlManager::~CControlManager() {
    CControlManager::Clear();
}

void CControlManager::Clear() {
    m_pSplash.reset();
    m_listeners.clear();
    const std::vector<CControlBase*> controls = std::move(m_controls);
    m_controls.clear();
    for (CControlBase* control : controls)
        delete control;
    m_pActive = nullptr;
    m_pBackgroundImage = nullptr;
    m_pDragIcon = nullptr;
    m_bDragging = FALSE;
    m_pHostWnd = nullptr;
    m_dwFlags = 0;
}

// Controls and listeners ------------------------------------------------------------

BOOL CControlManager::AddControl(CControlBase* control) {
    if (!control)
        return FALSE;
    if (FindControl(control->m_nId))
        return TRUE;
    try {
        m_controls.push_back(control);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Error: could not add a control to the manager");
        return FALSE;
    }
    control->m_pManager = this;
    return TRUE;
}

CControlBase* CControlManager::FindControl(int id) const {
    for (CControlBase* control : m_controls)
        if (control->m_nId == id)
            return control;
    return nullptr;
}

BOOL CControlManager::AddListener(CControlBase* control) {
    if (!control)
        return FALSE;
    for (CControlBase* listener : m_listeners)
        if (listener == control || listener->m_nId == control->m_nId)
            return TRUE;
    try {
        m_listeners.push_back(control);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Error: could not add a listener to the notifier listeners collection");
        return FALSE;
    }
    return TRUE;
}

// Notifications -----------------------------------------------------------------------

BOOL CControlManager::Dispatch(CNotifier* r) {
    if (!r)
        return FALSE;
    // Notifications raised while one is handled belong to it: only the
    // outermost one ends a dispatch.
    ++m_nDispatchDepth;
    DispatchRecord(r);
    if (--m_nDispatchDepth == 0)
        OnDispatchFinished(r->m_nKind);
    return TRUE;
}

void CControlManager::DispatchRecord(CNotifier* r) {
    const int kind = r->m_nKind;
    const int sender = r->m_nSender;
    // The listener list is read afresh on every step: listeners added while
    // dispatching are called too.
    auto eachListener = [this](auto&& call) {
        for (size_t i = 0; i < m_listeners.size(); ++i)
            call(m_listeners[i]);
    };
    switch (kind) {
    case 0:
    case 5:
        break;
    case kNotifyActivation:
        OnNotify_Activate(sender, BYTE(r->m_value[0]));
        break;
    case kNotifyDrop: {
        const POINT p{LONG(r->m_value[1]), LONG(r->m_value[2])};
        const int source = int(r->m_value[0]);
        eachListener([&](CControlBase* l) {
            if (l->m_nId == sender)
                l->OnNotify_Drop(source, sender, &p);
        });
        OnNotify_Drop(source, sender, &p);
        break;
    }
    case kNotifySelect: {
        const int value = int(r->m_value[0]);
        OnNotify_Select(sender, value);
        eachListener([&](CControlBase* l) { l->OnNotify_Select(sender, value); });
        break;
    }
    case kNotifyValue: {
        const int64_t type = r->m_value[0], v = r->m_value[1];
        auto deliver = [&](auto* target) {
            if (type == kValueDword)
                target->OnNotify_DWORD(sender, DWORD(v));
            else if (type == kValueInt)
                target->OnNotify_Int(sender, int(v));
            else if (type == kValueDouble)
                target->OnNotify_Double(sender, ToDouble(v));
            else
                target->OnNotify_Generic(sender, type, v);
        };
        deliver(this);
        eachListener([&](CControlBase* l) { deliver(l); });
        break;
    }
    default: {
        const int64_t v0 = r->m_value[0], v1 = r->m_value[1];
        OnNotify_Custom(sender, v0, v1);
        eachListener([&](CControlBase* l) { l->OnNotify_Custom(sender, v0, v1); });
        break;
    }
    }
}

BOOL CControlManager::Notify(int sender, int kind, int64_t value0, int64_t value1, int64_t value2) {
    CNotifier record(sender, kind, value0, value1, value2);
    return Dispatch(&record);
}

void CControlManager::OnMouseMove(UINT, int, int) {
    SetActiveControl(nullptr);
}

BOOL CControlManager::SetActiveControl(CControlBase* control) {
    for (size_t i = 0; i < m_controls.size(); ++i) {
        CControlBase* c = m_controls[i];
        // The active control may have lost its bit to a press (a button held
        // down shows its pressed look); it is still told that it is left.
        if (c == control || (!(c->m_dwFlags & CTRL_ACTIVE) && c != m_pActive))
            continue;
        c->m_dwFlags &= ~CTRL_ACTIVE;
        c->Redraw(nullptr, 0);
        Notify(c->m_nId, kNotifyActivation, 0);
    }
    m_pActive = control;
    if (!control)
        return FALSE;
    control->m_dwFlags |= CTRL_ACTIVE;
    control->Redraw(nullptr, 0);
    return Notify(control->m_nId, kNotifyActivation, 1);
}

int CControlManager::StartDrag(CDIB* image, POINT* point, int sourceId) {
    if (m_bDragging)
        return 0;
    m_bDragging = TRUE;
    const auto end = [this](int result) {
        m_bDragging = FALSE;
        m_pDragIcon = nullptr;
        return result;
    };
    if (!Factories().dragIcon)
        return end(0);
    std::unique_ptr<CDragIconPopup> icon = Factories().dragIcon(image, *point);
    if (!icon)
        return end(0);
    m_pDragIcon = icon.get();
    POINT drop{0, 0};
    const bool dropped = icon->Track(&drop);
    icon.reset();
    m_pDragIcon = nullptr;
    if (!dropped || !m_pHostWnd)
        return end(0);
    *point = platform::ScreenToClient(m_pHostWnd, drop);
    QWidget* target = platform::ChildWindowFromPoint(m_pHostWnd, *point);
    if (target) {
        const POINT local = platform::ScreenToClient(target, drop);
        Notify(platform::GetDlgCtrlID(target), kNotifyDrop, sourceId, local.x, local.y);
    }
    return end(0);
}

// Messages and defaults -----------------------------------------------------------------

int CControlManager::ShowMessage(const std::string& text, UINT type) {
    return MessageBox(m_pHostWnd, text, "", type);
}

int CControlManager::ShowMessage(const std::string* text, UINT type) {
    return text ? ShowMessage(*text, type) : 0;
}

void CControlManager::DestroyHost() {
    if (m_pHostWnd)
        platform::DestroyWindow(m_pHostWnd->window());
}

void CControlManager::OnNotify_Select(int sender, int) {
    if (sender == ID_HELP_INDEX) {
        const std::string* help = m_strings.Find(1018);
        if (!help || help->empty())
            return;
        const std::string program = AppSettings().MakeProgramPath(*help);
        if (ShellOpen(program, "open"))
            return;
        const std::string content = AppSettings().MakeContentPath(*help);
        if (ShellOpen(content, "open"))
            return;
        if (const std::string* failure = m_strings.Find(1019))
            AfxMessageBox(*failure);
        return;
    }
    if (sender == ID_QUIT) {
        const std::string* question = m_strings.Find(1000);
        if (question && ShowMessage(*question, MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            DestroyHost();
        return;
    }
    std::printf("OnNotify_Select() unknown control %d\n", sender);
}

// Create sequence ------------------------------------------------------------------------

void CControlManager::SetUpPalette() {
    CAppSettings& settings = AppSettings();
    if (!m_pHostWnd || settings.TestDisplayFlags(CAppSettings::kDisplayExamined))
        return;
    // A screen of 256 colours or fewer reports a colour count.
    const bool palette = m_pHostWnd->depth() <= 8;
    if (palette)
        settings.AddDisplayFlags(CAppSettings::kPaletteDisplay);
    else
        settings.RemoveDisplayFlags(CAppSettings::kPaletteDisplay);
    if (palette) {
        CDIB defaultPalette;
        if (defaultPalette.Load("res\\kv\\idefpal.bmp", CDIB::kImage, 0) &&
            defaultPalette.CreatePalette(&m_palette))
            m_dwFlags |= MGR_PALETTE;
    }
    settings.AddDisplayFlags(CAppSettings::kDisplayExamined);
}

bool CControlManager::AnotherInstanceRuns() const {
    std::string title;
    if (ReadRegistryString(&title, HKEY_CURRENT_USER, kRegistryKey, "wintitle") && !title.empty() &&
        platform::FindTopLevelWindow(title))
        return true;
    return platform::FindTopLevelWindow("Popup window");
}

BOOL CControlManager::Initialise() {
    SetUpPalette();
    BeforeCreate();
    if (m_nRole == 0) {
        if (AnotherInstanceRuns()) {
            AppSettings().SetStartupAbort(1);
            return FALSE;
        }
        ShowSplash(FALSE);
    }
    if (!CreateControls()) {
        if (m_nRole == 0)
            CloseSplash();
        AppSettings().SetStartupAbort(1);
        return FALSE;
    }
    InitLayout(0, 0);
    if (m_pHostWnd) {
        const CSize current(m_pHostWnd->width(), m_pHostWnd->height());
        const CSize wanted = ClampSize(current);
        if (!(wanted == current))
            m_pHostWnd->resize(wanted.cx, wanted.cy);
    }
    if (m_nRole == 0)
        CloseSplash();
    AfterCreate();
    return TRUE;
}

void CControlManager::ShowSplash(BOOL modal) {
    m_pSplash = Factories().splash ? Factories().splash() : nullptr;
    if (m_pSplash && !modal)
        m_pSplash->ShowNow();
    if (m_pSplash && modal) {
        m_pSplash->RunModal();
        CloseSplash();
    }
}

void CControlManager::CloseSplash() {
    m_pSplash.reset();
}
