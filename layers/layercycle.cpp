#include "layers/layercycle.h"

#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercomposer.h"
#include "platform/userservices.h"

#include <cstring>
#include <string>

namespace {

constexpr int kQuestionRemoveItem = 1010;   // "Remove the item from the drawing?"
constexpr int kQuestionClearDrawing = 1011; // "Clear the drawing?"

bool IsPicture(const multimenu_package& item) {
    return item.kind == MMP_PICTURE || item.kind == MMP_THUMBNAIL;
}

// Design-file lines are written with std::to_string, which never groups
// digits or follows the locale.
void Line(std::string* out, long long value) {
    *out += std::to_string(value);
    *out += '\n';
}

void Line(std::string* out, const std::string& text) {
    *out += text;
    *out += '\n';
}

void TextBlock(const multimenu_package& item, std::string* out) {
    Line(out, item.data1); // the text colour
    Line(out, item.data2); // the alignment
    Line(out, std::string("BEGIN_STRING"));
    Line(out, item.text);
    Line(out, std::string("END_STRING"));
    const LOGFONTA& f = item.font;
    for (long long v : {(long long)f.lfHeight, (long long)f.lfWidth, (long long)f.lfEscapement,
                        (long long)f.lfOrientation, (long long)f.lfWeight})
        Line(out, v);
    for (BYTE b : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                   f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
        Line(out, (long long)b);
    Line(out, std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)));
}

void PictureBlock(const multimenu_package& item, std::string* out) {
    const CDIB* image = item.image;
    Line(out, image ? image->GetLoadMode() : 0);
    Line(out, image ? image->GetImagePath() : std::string());
    Line(out, image ? image->GetAlphaPath() : std::string());
    Line(out, image ? image->GetThumbPath() : std::string());
}

} // namespace

CLayerCycle::CLayerCycle(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                         int reserved1, int reserved2)
    : CCycleButtonControl(manager, parent, id, rect, reserved1, reserved2), m_pMixer(nullptr),
      m_pLowerButton(nullptr), m_pHigherButton(nullptr), m_pDeleteButton(nullptr),
      m_pDeleteAllButton(nullptr), m_pOpacityControl(nullptr), m_nClearedCommand(0) {
    if (manager)
        manager->AddListener(this);
}

CLayerCycle::~CLayerCycle() {
    // As RemoveAllItems, but without selecting and notifying: the manager
    // may be taking its controls down.
    if (m_pManager)
        for (const multimenu_package& item : m_items)
            if (IsPicture(item) && item.image) {
                m_images.Release(item.image, true);
                m_pManager->ReleaseImage(item.image);
            }
    m_items.clear();
}

bool CLayerCycle::PaintEnabled() const {
    return m_pManager && m_pManager->IsPaintEnabled();
}

void CLayerCycle::RedrawMixer(int full) {
    if (m_pMixer && PaintEnabled())
        m_pMixer->Redraw(nullptr, full);
}

// The layer server ---------------------------------------------------------------------

int CLayerCycle::GetLayerCount() {
    return GetItemCount();
}

int CLayerCycle::GetLayerKey(int index, int* changed, BYTE* opacity) {
    if (index < 0 || index >= GetItemCount()) {
        if (changed)
            *changed = 0;
        if (opacity)
            *opacity = 0;
        return 0;
    }
    multimenu_package& item = m_items[size_t(index)];
    if (changed)
        *changed = item.changed;
    item.changed = 0;
    if (opacity)
        *opacity = item.opacity;
    return item.serial;
}

CLayerChannel* CLayerCycle::CreateLayer(int index) {
    const multimenu_package* item = GetItem(index);
    if (!item)
        return nullptr;
    if (item->kind == MMP_TEXT)
        return new CLayerChannel_Text(item->text, item->serial, item->opacity, item->font,
                                      COLORREF(item->data1), item->data2);
    if (IsPicture(*item))
        return new CLayerChannel_DIB(item->image, item->serial, item->opacity);
    return nullptr;
}

BOOL CLayerCycle::RemoveLayer(int index) {
    if (index < 0 || index >= GetItemCount())
        return FALSE;
    const bool selected = index == m_nCurrent;
    RemoveItem(index);
    if (selected)
        Redraw(nullptr, 0);
    return TRUE;
}

int CLayerCycle::GetCurrentLayer() {
    return m_nCurrent;
}

BOOL CLayerCycle::SetCurrentLayer(int index) {
    return SetCurrent(index);
}

// Layers ---------------------------------------------------------------------------------

int CLayerCycle::AddTextItem(const char* text, const LOGFONT* font, int data1, int data2, int where,
                             int index) {
    if (!text)
        return 0;
    const std::string copy(text);
    return AddTextItem(&copy, font, data1, data2, where, index);
}

int CLayerCycle::AddTextItem(const std::string* text, const LOGFONT* font, int data1, int data2,
                             int where, int index) {
    if (!text)
        return 0;
    const int placed = CCycleButtonControl::AddTextItem(text, font, data1, data2, where, index);
    if (placed >= 0)
        SetCurrent(placed);
    return placed;
}

int CLayerCycle::AddPictureItem(CDIB* image, int cx, int cy, int where, int index) {
    const int placed = CCycleButtonControl::AddPictureItem(image, cx, cy, where, index);
    if (placed >= 0)
        SetCurrent(placed);
    return placed;
}

BOOL CLayerCycle::SetLayerOpacity(int index, int opacity) {
    if (index < 0 || index >= GetItemCount())
        return FALSE;
    multimenu_package& item = m_items[size_t(index)];
    if (item.opacity == BYTE(opacity))
        return FALSE;
    // The item whose opacity changes is the one the mixer must recompose.
    item.changed = 1;
    item.opacity = BYTE(opacity);
    Fire(0);
    return TRUE;
}

void CLayerCycle::SetCurrentChanged(int flag) {
    if (multimenu_package* item = GetCurrentItem())
        item->changed = flag;
}

BOOL CLayerCycle::MoveCurrentToEnd() {
    const int last = GetItemCount() - 1;
    if (m_nCurrent < 0 || m_nCurrent >= last)
        return FALSE;
    for (int i = m_nCurrent; i < last; ++i)
        SwapItems(i, i + 1);
    SetCurrent(last);
    SetCurrentChanged(1);
    RedrawMixer(0);
    return TRUE;
}

BOOL CLayerCycle::MoveCurrentToStart() {
    if (m_nCurrent <= 0 || m_nCurrent >= GetItemCount())
        return FALSE;
    for (int i = m_nCurrent; i > 0; --i)
        SwapItems(i, i - 1);
    SetCurrent(0);
    SetCurrentChanged(1);
    RedrawMixer(0);
    return TRUE;
}

BOOL CLayerCycle::RemoveCurrent() {
    const int removed = m_nCurrent;
    if (!RemoveItem(removed))
        return FALSE;
    const int count = GetItemCount();
    if (count == 0)
        SetCurrent(-1); // refused: the index stays
    else if (removed == count)
        SetCurrent(count - 1);
    SetCurrentChanged(1);
    UpdateLook();
    Fire(0);
    Redraw(nullptr, 0);
    return TRUE;
}

BOOL CLayerCycle::RemoveAllLayers() {
    RemoveAllItems();
    return TRUE;
}

int CLayerCycle::RestoreItem(const multimenu_package& item, int index) {
    if (index < 0 || index > GetItemCount())
        return -1;
    multimenu_package copy = item;
    copy.changed = 1;
    if (IsPicture(copy) && copy.image) {
        const int parts = copy.image->GetLoadedParts();
        if (m_pManager)
            m_pManager->Images().Add(copy.image, parts);
        m_images.Add(copy.image, parts);
    }
    m_items.insert(m_items.begin() + index, std::move(copy));
    return index;
}

int CLayerCycle::SerialiseLayer(int index, std::string* out) {
    const multimenu_package* item = GetItem(index);
    if (!item || !out)
        return 0;
    Line(out, item->kind);
    Line(out, item->opacity);
    if (item->kind == MMP_TEXT)
        TextBlock(*item, out);
    else if (IsPicture(*item))
        PictureBlock(*item, out);
    return item->serial;
}

// Look -----------------------------------------------------------------------------------

BOOL CLayerCycle::UpdateLook() {
    CCycleButtonControl::UpdateLook();
    UpdateButtons();
    RedrawMixer(0);
    return TRUE;
}

void CLayerCycle::UpdateButtons() {
    const int count = GetItemCount();
    auto enable = [](CControlBase* control, bool on) {
        if (control)
            control->Enable(on ? TRUE : FALSE);
    };
    enable(m_pLowerButton, m_nCurrent > 0 && count > 1);
    enable(m_pHigherButton, m_nCurrent < count - 1 && count > 1);
    enable(m_pDeleteButton, count > 0);
    enable(m_pDeleteAllButton, count > 0);
    enable(m_pOpacityControl, count > 0);
}

// Companions -----------------------------------------------------------------------------

void CLayerCycle::SetLowerButton(CControlBase* button) {
    m_pLowerButton = button;
    UpdateButtons();
}

void CLayerCycle::SetHigherButton(CControlBase* button) {
    m_pHigherButton = button;
    UpdateButtons();
}

void CLayerCycle::SetDeleteButton(CControlBase* button) {
    m_pDeleteButton = button;
    UpdateButtons();
}

void CLayerCycle::SetDeleteAllButton(CControlBase* button) {
    m_pDeleteAllButton = button;
    UpdateButtons();
}

void CLayerCycle::SetOpacityControl(CControlBase* control) {
    m_pOpacityControl = control;
    UpdateButtons();
}

bool CLayerCycle::Confirm(int stringId) {
    return m_pManager->ShowMessage(m_pManager->Strings().Find(stringId),
                                   MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void CLayerCycle::MoveCurrentBy(int step) {
    const int c = m_nCurrent;
    if (!SwapItems(c, c + step))
        return;
    SetCurrent(c + step);
    SetCurrentChanged(1);
    RedrawMixer(0);
}

void CLayerCycle::DeleteCurrent(int value) {
    if (!m_pManager || GetItemCount() == 0)
        return;
    if (value == 0 && !Confirm(kQuestionRemoveItem))
        return;
    RemoveCurrent();
    RedrawMixer(GetItemCount() == 0 ? 1 : 0);
}

void CLayerCycle::DeleteAll(int value) {
    if (!m_pManager || GetItemCount() == 0)
        return;
    if (value == 0 && !Confirm(kQuestionClearDrawing))
        return;
    RemoveAllLayers();
    Notify(m_nClearedCommand, kNotifySelect, 0, 0, 0);
    RedrawMixer(1);
}

// Control slots --------------------------------------------------------------------------

BOOL CLayerCycle::Fire(int) {
    // The select goes first: listeners of the list see the new selection
    // before its opacity.
    Notify(m_nId, kNotifySelect, 0, 0, 0);
    return Notify(m_nId, kNotifyValue, kValueInt, GetIntValue(), 0);
}

void CLayerCycle::OnNotify_Select(int sender, int value) {
    auto from = [sender](const CControlBase* control) {
        return control && control->m_nId == sender;
    };
    if (from(m_pLowerButton))
        MoveCurrentBy(-1);
    else if (from(m_pHigherButton))
        MoveCurrentBy(+1);
    else if (from(m_pDeleteButton))
        DeleteCurrent(value);
    else if (from(m_pDeleteAllButton))
        DeleteAll(value);
}

void CLayerCycle::OnNotify_Int(int sender, int value) {
    CCycleButtonControl::OnNotify_Int(sender, value);
    if (!m_pOpacityControl || sender != m_pOpacityControl->m_nId)
        return;
    multimenu_package* item = GetCurrentItem();
    if (!item || item->opacity == BYTE(value))
        return;
    item->changed = 1;
    item->opacity = BYTE(value);
    Fire(0);
    RedrawMixer(0);
}

int CLayerCycle::GetIntValue() {
    const multimenu_package* item = GetCurrentItem();
    return item ? item->opacity : 0;
}

void CLayerCycle::GetPictureTurn(const multimenu_package& item, bool* mirrored,
                                 bool* flipped) const {
    *mirrored = false;
    *flipped = false;
    const auto* composer = dynamic_cast<const CLayerComposer*>(m_pMixer);
    const CLayerChannel* layer =
        composer ? composer->GetLayer(composer->FindLayerByKey(item.serial)) : nullptr;
    if (!layer)
        return;
    *mirrored = layer->m_nMirrored != 0;
    *flipped = layer->m_nFlipped != 0;
}
