#include "controls/thumbstrip.h"

#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/button.h"
#include "controls/controlmanager.h"
#include "controls/thumbcontrol.h"
#include "imaging/dib.h"

#include <QObject>
#include <QWheelEvent>
#include <QWidget>

#include <utility>

namespace {

constexpr COLORREF kStripBackground = 0x323232;

// One channel of a frame gradient: first + i * (last - first) / n,
// truncated toward zero, kept to a byte.
BYTE GradientChannel(int first, int last, int i, int n) {
    return BYTE((first + i * (last - first) / n) & 0xFF);
}

} // namespace

// While the strip lays itself out, its member list is the whole column:
// the up button, the thumbs and the down button. Only the thumbs are
// members otherwise, so scrolling, dragging and enabling leave the buttons
// alone.
class CThumbStrip::ColumnScope {
public:
    explicit ColumnScope(CThumbStrip* strip) : m_pStrip(strip), m_bActive(!strip->m_bInColumn) {
        if (!m_bActive)
            return;
        m_thumbs = strip->m_members;
        strip->m_members = strip->Column();
        strip->m_bInColumn = true;
    }
    ~ColumnScope() {
        if (!m_bActive)
            return;
        m_pStrip->m_members = std::move(m_thumbs);
        m_pStrip->m_bInColumn = false;
    }
    ColumnScope(const ColumnScope&) = delete;
    ColumnScope& operator=(const ColumnScope&) = delete;

private:
    CThumbStrip* m_pStrip;
    bool m_bActive;
    std::vector<CControlBase*> m_thumbs;
};

class CThumbStrip::WheelFilter : public QObject {
public:
    explicit WheelFilter(CThumbStrip* strip) : m_pStrip(strip) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Wheel)
            return false;
        const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
        m_pStrip->ScrollByWheel(delta.y() != 0 ? delta.y() : delta.x());
        event->accept();
        return true;
    }

private:
    CThumbStrip* m_pStrip;
};

CThumbStrip::CThumbStrip(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                         DWORD flags, const char* folder, const char* altFolder,
                         const char* pattern, int gapX, int gapY)
    : CLayoutGroup(manager, parent, id, rect, flags, gapX, gapY), m_nFirst(0), m_pUpButton(nullptr),
      m_pDownButton(nullptr), m_pSelected(nullptr), m_pSource(nullptr), m_pTarget(nullptr),
      m_bInColumn(false), m_pWheelFilter(std::make_unique<WheelFilter>(this)), m_nWheelRest(0) {
    m_dwFlags |= CTRL_ON_GROUP;
    m_directory.SetPattern(pattern ? pattern : "*.*");
    if (folder && altFolder)
        m_directory.SetPaths(folder, altFolder);
    SetBackgroundColor(kStripBackground);
    if (m_pManager)
        m_pManager->AddListener(this);
}

// The thumbs and buttons belong to the manager, which deletes them.
CThumbStrip::~CThumbStrip() = default;

// Listing and thumbs ---------------------------------------------------------------------

std::vector<CThumbControl*> CThumbStrip::Thumbs() const {
    std::vector<CThumbControl*> thumbs;
    for (CControlBase* member : m_members)
        if (auto* thumb = dynamic_cast<CThumbControl*>(member))
            thumbs.push_back(thumb);
    return thumbs;
}

// A listing whose folder was taken away keeps the entries of its last
// scan; they no longer belong to the strip.
int CThumbStrip::FileCount() const {
    return m_directory.GetPath().empty() ? 0 : m_directory.GetCount();
}

BOOL CThumbStrip::EntryPath(int index, std::string* path) const {
    return !m_directory.GetPath().empty() && m_directory.GetAltFullPath(index, path);
}

std::vector<CControlBase*> CThumbStrip::Column() const {
    std::vector<CControlBase*> column;
    if (m_pUpButton)
        column.push_back(m_pUpButton);
    column.insert(column.end(), m_members.begin(), m_members.end());
    if (m_pDownButton)
        column.push_back(m_pDownButton);
    return column;
}

// Scrolling ---------------------------------------------------------------------------------

int CThumbStrip::ClampFirst(int first) const {
    const int last = FileCount() - int(Thumbs().size());
    if (first >= 0 && first <= last)
        return first;
    return last < first ? last : 0;
}

void CThumbStrip::UpdateScrollButtons() {
    const int last = FileCount() - int(Thumbs().size());
    if (m_pDownButton)
        m_pDownButton->Enable(m_nFirst < last);
    if (m_pUpButton)
        m_pUpButton->Enable(m_nFirst > 0);
}

void CThumbStrip::ScrollByWheel(int delta) {
    constexpr int kNotch = 120;
    m_nWheelRest += delta;
    for (; m_nWheelRest >= kNotch; m_nWheelRest -= kNotch)
        ScrollBack();
    for (; m_nWheelRest <= -kNotch; m_nWheelRest += kNotch)
        ScrollForward();
}

void CThumbStrip::FollowWheelOf(CControlBase* control) {
    if (auto* window = dynamic_cast<QWidget*>(control))
        window->installEventFilter(m_pWheelFilter.get());
}

void CThumbStrip::ScrollBack() {
    const int wanted = m_nFirst - 1;
    m_nFirst = ClampFirst(wanted);
    UpdateScrollButtons();
    const std::vector<CThumbControl*> thumbs = Thumbs();
    if (m_nFirst != wanted || thumbs.empty())
        return;
    for (size_t i = thumbs.size() - 1; i > 0; --i)
        thumbs[i]->TakeImageFrom(thumbs[i - 1]);
    CThumbControl* first = thumbs.front();
    first->m_dwFlags |= THUMB_PLACEHOLDER;
    first->Redraw(nullptr, 0);
    std::string path;
    if (EntryPath(m_nFirst, &path))
        first->SetBitmapFile(path.c_str());
}

void CThumbStrip::ScrollForward() {
    const int wanted = m_nFirst + 1;
    m_nFirst = ClampFirst(wanted);
    UpdateScrollButtons();
    const std::vector<CThumbControl*> thumbs = Thumbs();
    if (m_nFirst != wanted || thumbs.empty())
        return;
    for (size_t i = 0; i + 1 < thumbs.size(); ++i)
        thumbs[i]->TakeImageFrom(thumbs[i + 1]);
    CThumbControl* last = thumbs.back();
    last->m_dwFlags |= THUMB_PLACEHOLDER;
    last->Redraw(nullptr, 0);
    std::string path;
    if (EntryPath(m_nFirst + int(thumbs.size()) - 1, &path))
        last->SetBitmapFile(path.c_str());
}

int CThumbStrip::Refresh() {
    const std::vector<CThumbControl*> thumbs = Thumbs();
    if (m_pSource && m_pSource->m_pSelected)
        for (CThumbControl* thumb : thumbs)
            thumb->SetFrameColor(m_pSource->m_pSelected->m_crFrame);
    int shown = 0;
    for (size_t i = 0; i < thumbs.size(); ++i) {
        CThumbControl* thumb = thumbs[i];
        std::string path;
        if (!EntryPath(m_nFirst + int(i), &path)) {
            thumb->ClearImage();
            continue;
        }
        const CDIB* image = thumb->GetImage();
        if (!image || image->GetThumbPath() != path)
            thumb->SetBitmapFile(path.c_str());
        ++shown;
    }
    UpdateScrollButtons();
    return shown;
}

// Set-up -------------------------------------------------------------------------------------

void CThumbStrip::SetUpButton(CButtonControl* button) {
    m_pUpButton = button;
    if (button) {
        button->m_pGroup = this;
        button->m_dwFlags |= CTRL_GROUP_MEMBER;
    }
    UpdateScrollButtons();
}

void CThumbStrip::SetDownButton(CButtonControl* button) {
    m_pDownButton = button;
    if (button) {
        button->m_pGroup = this;
        button->m_dwFlags |= CTRL_GROUP_MEMBER;
    }
    UpdateScrollButtons();
}

void CThumbStrip::LinkStrips(CThumbStrip* category, CThumbStrip* files) {
    if (category)
        category->m_pTarget = files;
    if (files)
        files->m_pSource = category;
}

void CThumbStrip::SetFrameGradient(COLORREF first, COLORREF last) {
    const std::vector<CThumbControl*> thumbs = Thumbs();
    const int n = int(thumbs.size());
    for (int i = 0; i < n; ++i)
        thumbs[size_t(i)]->SetFrameColor(
            RGB(GradientChannel(GetRValue(first), GetRValue(last), i, n),
                GradientChannel(GetGValue(first), GetGValue(last), i, n),
                GradientChannel(GetBValue(first), GetBValue(last), i, n)));
}

// Control operations --------------------------------------------------------------------------

BOOL CThumbStrip::Fire(int) {
    return Notify(m_nId, kNotifySelect, 0, 0, 0);
}

void CThumbStrip::Relayout() {
    {
        ColumnScope column(this);
        CLayoutGroup::Relayout();
        // Installing a filter again moves it, never doubles it.
        for (CControlBase* control : m_members)
            FollowWheelOf(control);
    }
    Redraw(nullptr, 0);
}

void CThumbStrip::Redraw(const RECT*, int) {
    // Placing the column ends in a redraw; the thumbs are refreshed once the
    // member list holds only them again.
    if (m_bInColumn)
        return;
    Refresh();
}

DWORD CThumbStrip::GetFlags() {
    ColumnScope column(this);
    return CLayoutGroup::GetFlags();
}

void CThumbStrip::OnNotify_Select(int sender, int value) {
    if (m_pUpButton && sender == m_pUpButton->m_nId) {
        ScrollBack();
        return;
    }
    if (m_pDownButton && sender == m_pDownButton->m_nId) {
        ScrollForward();
        return;
    }
    if (auto* thumb = dynamic_cast<CThumbControl*>(FindMember(sender))) {
        m_pSelected = thumb;
        Notify(m_nId, kNotifySelect, value, 0, 0);
        return;
    }
    if (m_pTarget && sender == m_nId)
        FillTarget();
}

BOOL CThumbStrip::ChooseEntry(const std::string& baseName) {
    const int count = FileCount();
    for (int i = 0; i < count; ++i) {
        std::string path;
        CDIB names;
        if (!EntryPath(i, &path) || !names.DeriveFileNames(path, 0) ||
            (!baseName.empty() && names.GetBaseName() != baseName))
            continue;
        m_nFirst = ClampFirst(i);
        Refresh();
        const std::vector<CThumbControl*> thumbs = Thumbs();
        const int slot = i - m_nFirst;
        if (slot < 0 || slot >= int(thumbs.size()))
            return FALSE;
        m_pSelected = thumbs[size_t(slot)];
        if (m_pTarget)
            FillTarget();
        return TRUE;
    }
    return FALSE;
}

void CThumbStrip::FillTarget() {
    CThumbStrip* target = m_pTarget;
    std::string label;
    if (m_pSelected) {
        const CDIB* image = m_pSelected->GetImage();
        if (!image || image->GetBaseName().empty())
            return;
        label = image->GetBaseName();
    }
    CImageDirectory& listing = target->m_directory;
    WriteRegistryDword(DWORD(target->m_nFirst), HKEY_CURRENT_USER, kRegistryKey, listing.GetPath());
    listing.SetAltPath(label);
    // The composed path is shared by every caller; keep a copy of it.
    const std::string folder = label.empty() ? std::string() : AppSettings().MakeContentPath(label);
    listing.SetPath(folder);
    // The reset counts the new folder's files: counted against the folder
    // left behind, a category with fewer pictures than thumbs would start
    // outside its own listing.
    const int last = target->FileCount() - int(target->Thumbs().size());
    target->m_nFirst = last < 0 ? last : 0;
    DWORD stored = 0;
    if (ReadRegistryDword(&stored, HKEY_CURRENT_USER, kRegistryKey, folder) &&
        int(stored) != target->m_nFirst)
        target->m_nFirst = target->ClampFirst(int(stored));
    target->Refresh();
}
