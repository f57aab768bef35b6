// The cycle button's items, stepping and item menu; its drawing and
// natural size are in cyclebutton_paint.cpp.

#include "controls/cyclebutton.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "platform/userservices.h"
#include "platform/window.h"

#include <new>
#include <utility>

namespace {

bool IsPicture(const multimenu_package& item) {
    return item.kind == MMP_PICTURE || item.kind == MMP_THUMBNAIL;
}

} // namespace

CCycleButtonControl::CCycleButtonControl(CControlManager* manager, QWidget* parent, int id,
                                         const CRect* rect, int, int)
    : CButtonControl(manager, parent, id, rect, "", 0x5001000B, 0), m_nCurrent(-1), m_nMaxChars(25),
      m_bStepPending(FALSE), m_bMenuOpen(FALSE), m_bBackwards(FALSE), m_bPressed(FALSE),
      m_bShowSelector(TRUE), m_bForce(FALSE), m_crText(0x000000), m_crTextGrey(0x6E6E6E),
      m_crPen(0x323232), m_crPenDisabled(0x828282), m_crBackDisabled(0x28645A), m_crFocus(0x828282),
      m_crTextBack(0xAAAAAA) {
    m_dwFlags |= CTRL_NATURAL_MIN | CTRL_NEVER_ACTIVE;
    SetBackgroundColor(0x77ECF9);
    MakeCurrent(0);
}

CCycleButtonControl::~CCycleButtonControl() {
    m_items.clear();
}

// Items ------------------------------------------------------------------------------------

int CCycleButtonControl::PlaceItem(multimenu_package item, int where, int index) {
    const int count = GetItemCount();
    int at = 0;
    switch (where) {
    case kPlaceFront:
        at = 0;
        break;
    case kPlaceEnd:
        at = count;
        break;
    case kPlaceAt:
        // An index past the end would leave empty items in between.
        if (index < 0 || index > count)
            return -1;
        at = index;
        break;
    default:
        return -1;
    }
    const bool picture = IsPicture(item);
    try {
        m_items.insert(m_items.begin() + at, std::move(item));
    } catch (const std::bad_alloc&) {
        if (picture)
            AfxMessageBox("Error: could not add a cdib to the cyclebutton");
        return -1;
    }
    return at;
}

void CCycleButtonControl::RelayoutGroupIfGrown(const CRect& before) {
    const CRect after = *GetNaturalRect();
    if (!m_pGroup || (after.Width() <= before.Width() && after.Height() <= before.Height()))
        return;
    m_pGroup->Relayout();
    if (m_pGroup->m_pManager && m_pGroup->m_pManager->IsPaintEnabled())
        m_pGroup->Redraw(nullptr, 0);
}

int CCycleButtonControl::AddTextItem(const char* text, const LOGFONT* font, int data1, int data2,
                                     int where, int index) {
    if (!text)
        return 0;
    const std::string copy(text);
    return AddTextItem(&copy, font, data1, data2, where, index);
}

int CCycleButtonControl::AddTextItem(const std::string* text, const LOGFONT* font, int data1,
                                     int data2, int where, int index) {
    if (!text)
        return 0;
    multimenu_package item;
    item.kind = MMP_TEXT;
    item.serial = NextSerial();
    item.text = *text;
    item.opacity = 255;
    if (font)
        item.font = *font;
    item.data1 = data1;
    item.data2 = data2;
    const CRect before = *GetNaturalRect();
    const int placed = PlaceItem(std::move(item), where, index);
    if (placed < 0)
        return -1;
    m_bForce = TRUE;
    RelayoutGroupIfGrown(before);
    return placed;
}

int CCycleButtonControl::AddPictureItem(CDIB* image, int cx, int cy, int where, int index) {
    const int parts = image ? image->GetLoadedParts() : 0;
    multimenu_package item;
    // A picture loaded as its thumbnail alone is shown by that thumbnail.
    item.kind =
        ((parts & CDIB::kThumbnail) && !(parts & CDIB::kImage)) ? MMP_THUMBNAIL : MMP_PICTURE;
    item.serial = NextSerial();
    item.image = image;
    item.palette = m_pManager ? m_pManager->GetPalette() : nullptr;
    item.opacity = 255;
    item.cx = cx;
    item.cy = cy;
    const CRect before = *GetNaturalRect();
    const int placed = PlaceItem(std::move(item), where, index);
    if (placed < 0)
        return -1;
    if (m_pManager)
        m_pManager->Images().Add(image, parts);
    m_images.Add(image, parts);
    m_bForce = TRUE;
    RelayoutGroupIfGrown(before);
    return placed;
}

BOOL CCycleButtonControl::RemoveItem(int index) {
    if (index < 0 || index >= GetItemCount())
        return FALSE;
    const multimenu_package& item = m_items[size_t(index)];
    if (m_pManager && IsPicture(item) && item.image) {
        m_images.Release(item.image, true);
        m_pManager->ReleaseImage(item.image);
    }
    m_items.erase(m_items.begin() + index);
    return TRUE;
}

void CCycleButtonControl::RemoveAllItems() {
    if (m_pManager) {
        for (const multimenu_package& item : m_items)
            if (IsPicture(item) && item.image)
                m_images.Release(item.image, true);
        // Text items have no image; the cache ignores null.
        for (const multimenu_package& item : m_items)
            m_pManager->ReleaseImage(item.image);
    }
    m_items.clear();
    if (m_nCurrent != 0 || m_bForce)
        MakeCurrent(0);
}

BOOL CCycleButtonControl::UpdateLook() {
    Enable(GetItemCount() > 0);
    m_bShowSelector = GetItemCount() > 1;
    return TRUE;
}

BOOL CCycleButtonControl::SetCurrent(int index) {
    // Index 0 is accepted on an empty list.
    if (index < 0 || (index >= GetItemCount() && index != 0))
        return FALSE;
    if (index == m_nCurrent && !m_bForce)
        return TRUE;
    MakeCurrent(index);
    return TRUE;
}

multimenu_package* CCycleButtonControl::GetCurrentItem() {
    if (m_nCurrent < 0 || m_nCurrent >= GetItemCount())
        return nullptr;
    return &m_items[size_t(m_nCurrent)];
}

const multimenu_package* CCycleButtonControl::GetItem(int index) const {
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return &m_items[size_t(index)];
}

BOOL CCycleButtonControl::SwapItems(int a, int b) {
    const int count = GetItemCount();
    if (a < 0 || a >= count || b < 0 || b >= count || a == b)
        return FALSE;
    std::swap(m_items[size_t(a)], m_items[size_t(b)]);
    return TRUE;
}

void CCycleButtonControl::MakeCurrent(int index) {
    m_nCurrent = index;
    UpdateLook();
    Fire(0);
    Redraw(nullptr, 0);
}

// Button operations ---------------------------------------------------------------------

BOOL CCycleButtonControl::Fire(int) {
    Notify(m_nId, kNotifyValue, kValueInt, m_nCurrent, 0);
    return Notify(m_nId, kNotifySelect, 0, 0, 0);
}

void CCycleButtonControl::OnLButtonDown(UINT flags, int x, int y) {
    CControlBase::OnLButtonDown(flags, x, y);
    m_bPressed = TRUE;
    m_bBackwards = (flags & MK_SHIFT) ? TRUE : FALSE;
    m_bStepPending = x < (width() >> 2) ? TRUE : FALSE;
    if (m_bStepPending && (flags & MK_CONTROL)) {
        m_bShowSelector = !m_bShowSelector;
        m_bStepPending = FALSE;
        return;
    }
    if (m_items.empty() || (m_bStepPending && m_bShowSelector))
        return;
    OpenItemMenu();
}

void CCycleButtonControl::OpenItemMenu() {
    CMultiMenu menu;
    menu.CreatePopupMenu();
    for (size_t i = 0; i < m_items.size(); ++i)
        menu.AppendItem(&m_items[i], UINT(i + 1), m_nMaxChars);
    m_bMenuOpen = TRUE;
    const multimenu_package* current = GetCurrentItem();
    if (current && current->kind == MMP_TEXT)
        Redraw(nullptr, 0);
    const int w = width(), h = height();
    const POINT origin = platform::ClientToScreen(this, POINT{0, 0});
    const int x = origin.x + int(w * (m_bShowSelector ? 0.625 : 0.5));
    const int y = origin.y + int(h * 0.95);
    const UINT chosen = menu.TrackPopupMenu(TPM_CENTERALIGN, x, y, this);
    m_bMenuOpen = FALSE;
    menu.DestroyMenu();
    // The menu took the press: the button comes up without a click.
    setDown(false);
    if (chosen)
        OnCommandHook(chosen, 0, nullptr, nullptr);
}

void CCycleButtonControl::OnCommandHook(UINT id, int code, void*, void*) {
    if (code != 0)
        return;
    const int n = int(id);
    const int i = n - 1;
    // Identifier 1 is accepted on an empty list.
    if (i < 0 || (i >= GetItemCount() && n != 1) || (i == m_nCurrent && !m_bForce))
        return;
    MakeCurrent(i);
}

void CCycleButtonControl::OnClicked() {
    const int c = m_nCurrent;
    const int count = GetItemCount();
    int next = c;
    // A click without a press comes from the keyboard and steps as well.
    if (m_bStepPending || !m_bPressed) {
        if (m_bBackwards) {
            next = c - 1;
            if (next < 0)
                next = count - 1;
        } else {
            next = c + 1;
            if (next >= count)
                next = 0;
        }
        m_bStepPending = FALSE;
    }
    m_bPressed = FALSE;
    if (next != c && next >= 0 && next < count)
        MakeCurrent(next);
}
