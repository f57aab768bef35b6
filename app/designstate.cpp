#include "app/designstate.h"

#include "app/morvaneapp.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "controls/colorbutton.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {

bool IsPicture(const multimenu_package& item) {
    return (item.kind == MMP_PICTURE || item.kind == MMP_THUMBNAIL) && item.image;
}

// Boxes come back from a page of another size (an export, a resized
// window) up to the rounding of the scaling there and back.
bool Near(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a));
}

CLayerState StateOf(const multimenu_package& item, const CLayerChannel& layer) {
    CLayerState state;
    state.item = item;
    state.item.changed = 0;
    state.x = layer.m_dX;
    state.y = layer.m_dY;
    state.width = layer.m_dWidth;
    state.height = layer.m_dHeight;
    state.visible = layer.m_nVisible;
    state.mirrored = layer.m_nMirrored;
    state.flipped = layer.m_nFlipped;
    state.angle = layer.m_dAngle;
    state.extensionLines = layer.m_extensionLines;
    return state;
}

int IndexOfKey(CLayerCycle& list, int key) {
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItem(i)->serial == key)
            return i;
    return -1;
}

// The list holds the state's items in its order: items the state does not
// have go, the others move into place, and the missing ones come back.
void RestoreItems(CLayerCycle& list, const std::vector<CLayerState>& layers) {
    std::unordered_set<int> wanted;
    for (const CLayerState& layer : layers)
        wanted.insert(layer.item.serial);
    for (int i = list.GetItemCount() - 1; i >= 0; --i)
        if (!wanted.count(list.GetItem(i)->serial))
            list.RemoveItem(i);
    for (int target = 0; target < int(layers.size()); ++target) {
        const int at = IndexOfKey(list, layers[size_t(target)].item.serial);
        if (at < 0) {
            list.RestoreItem(layers[size_t(target)].item, target);
            continue;
        }
        for (int i = at; i > target; --i)
            list.SwapItems(i - 1, i);
    }
}

bool SamePlacement(const CLayerChannel& layer, const CLayerState& state, const double box[4]) {
    return layer.m_dX == box[0] && layer.m_dY == box[1] && layer.m_dWidth == box[2] &&
           layer.m_dHeight == box[3] && layer.m_nVisible == state.visible &&
           layer.m_nMirrored == state.mirrored && layer.m_nFlipped == state.flipped &&
           layer.m_dAngle == state.angle && (layer.m_nOpacity & 0xFF) == state.item.opacity;
}

} // namespace

std::shared_ptr<CDesignState> CDesignState::Capture(CMorvaneView& view) {
    CLayerCycle* list = view.LayerList();
    CLayerMixer* mixer = view.Mixer();
    CColorButtonControl* buttons[5];
    int width = 0, height = 0;
    if (!list || !mixer || !view.FindColourButtons(buttons) || !mixer->GetPageSize(&width, &height))
        return nullptr;
    // Layers of items added since the last drawing are built now: a state
    // holds the design as the page will show it.
    mixer->SynchroniseLayers();
    std::shared_ptr<CDesignState> state(new CDesignState());
    state->m_pImages = &view;
    for (int i = 0; i < 5; ++i)
        state->m_colours[i] = buttons[i]->m_crColor;
    state->m_dAspect = mixer->m_dAspect;
    state->m_nPageWidth = width;
    state->m_nPageHeight = height;
    state->m_nCurrent = list->m_nCurrent;
    if (view.GetDocument())
        state->m_strPath = view.GetDocument()->GetPathName();
    state->m_layers.reserve(size_t(list->GetItemCount()));
    for (int i = 0; i < list->GetItemCount(); ++i) {
        const multimenu_package& item = *list->GetItem(i);
        const CLayerChannel* layer = mixer->GetLayer(mixer->FindLayerByKey(item.serial));
        if (!layer)
            continue; // an item whose layer failed to build is gone at the next drawing
        state->m_layers.push_back(StateOf(item, *layer));
        if (IsPicture(item))
            view.Images().Add(item.image, item.image->GetLoadedParts());
    }
    return state;
}

CDesignState::~CDesignState() {
    if (!m_pImages)
        return;
    for (const CLayerState& layer : m_layers)
        if (IsPicture(layer.item))
            m_pImages->ReleaseImage(layer.item.image);
}

void CDesignState::ScaledBox(const CLayerState& layer, int pageWidth, int pageHeight,
                             double box[4]) const {
    box[0] = layer.x, box[1] = layer.y, box[2] = layer.width, box[3] = layer.height;
    if (m_nPageWidth <= 0 || m_nPageHeight <= 0 ||
        (pageWidth == m_nPageWidth && pageHeight == m_nPageHeight))
        return;
    // As the page scales its boxes when it changes size.
    const double fromW = m_nPageWidth, fromH = m_nPageHeight;
    box[0] = pageWidth * (layer.x / fromW);
    box[1] = pageHeight * (layer.y / fromH);
    box[2] = pageWidth * (layer.width / fromW);
    box[3] = pageHeight * (layer.height / fromH);
}

bool CDesignState::SameDesignAs(const CDesignState& other) const {
    if (!std::equal(std::begin(m_colours), std::end(m_colours), std::begin(other.m_colours)) ||
        m_dAspect != other.m_dAspect || m_layers.size() != other.m_layers.size())
        return false;
    for (size_t i = 0; i < m_layers.size(); ++i) {
        const CLayerState& a = m_layers[i];
        const CLayerState& b = other.m_layers[i];
        double box[4];
        other.ScaledBox(b, m_nPageWidth, m_nPageHeight, box);
        if (a.item.serial != b.item.serial || a.item.opacity != b.item.opacity ||
            !Near(a.x, box[0]) || !Near(a.y, box[1]) || !Near(a.width, box[2]) ||
            !Near(a.height, box[3]) || a.visible != b.visible || a.mirrored != b.mirrored ||
            a.flipped != b.flipped || a.angle != b.angle || a.extensionLines != b.extensionLines)
            return false;
    }
    return true;
}

int CDesignState::FirstChangedKey(const CDesignState& other) const {
    std::unordered_map<int, const CLayerState*> theirs;
    for (const CLayerState& layer : other.m_layers)
        theirs[layer.item.serial] = &layer;
    for (const CLayerState& a : m_layers) {
        const auto found = theirs.find(a.item.serial);
        if (found == theirs.end())
            return a.item.serial;
        const CLayerState& b = *found->second;
        double box[4];
        other.ScaledBox(b, m_nPageWidth, m_nPageHeight, box);
        if (a.item.opacity != b.item.opacity || !Near(a.x, box[0]) || !Near(a.y, box[1]) ||
            !Near(a.width, box[2]) || !Near(a.height, box[3]) || a.visible != b.visible ||
            a.mirrored != b.mirrored || a.flipped != b.flipped || a.angle != b.angle)
            return a.item.serial;
    }
    return 0;
}

namespace {

void RestoreColours(CMorvaneView& view, CLayerMixer& mixer, const COLORREF colours[5]) {
    CColorButtonControl* buttons[5];
    if (!view.FindColourButtons(buttons))
        return;
    bool cornersChanged = false;
    for (int i = 0; i < 5; ++i) {
        if (buttons[i]->m_crColor == colours[i])
            continue;
        cornersChanged = cornersChanged || i > 0;
        buttons[i]->m_crColor = colours[i];
        buttons[i]->Redraw(nullptr, 1);
    }
    if (cornersChanged)
        mixer.SetBackgroundColours(colours[1], colours[2], colours[3], colours[4]);
}

void RestoreTitle(CMorvaneView& view, const std::string& path) {
    CMorvaneDoc* document = view.GetDocument();
    if (!document || document->GetPathName() == path)
        return;
    document->SetPathName(path, FALSE);
    WriteWindowTitle(document->GetTitle() + " - Kavelo");
}

} // namespace

void CDesignState::Restore(CMorvaneView& view, const CDesignState* leaving) const {
    CLayerCycle* list = view.LayerList();
    CLayerMixer* mixer = view.Mixer();
    if (!list || !mixer)
        return;
    RestoreColours(view, *mixer, m_colours);
    if (mixer->m_dAspect != m_dAspect) {
        mixer->m_dAspect = m_dAspect;
        mixer->ComputeMargins();
        mixer->ResizePage(mixer->GetPageRect());
        mixer->MarkPageDirty();
    }
    std::vector<int> orderBefore;
    for (const CLayerChannel* layer : mixer->m_layers)
        orderBefore.push_back(layer->m_nKey);
    RestoreItems(*list, m_layers);
    // The page builds the layers of items that came back and drops those
    // of items that went.
    mixer->SynchroniseLayers();
    int width = 0, height = 0;
    mixer->GetPageSize(&width, &height);
    std::vector<int> survivors;
    for (int key : orderBefore)
        if (mixer->FindLayerByKey(key) >= 0)
            survivors.push_back(key);
    size_t survivor = 0;
    for (size_t i = 0; i < m_layers.size(); ++i) {
        const CLayerState& state = m_layers[i];
        CLayerChannel* layer = mixer->GetLayer(mixer->FindLayerByKey(state.item.serial));
        if (!layer)
            continue;
        double box[4];
        ScaledBox(state, width, height, box);
        // A layer that changed place in the stack is drawn anew too.
        const bool moved = survivor >= survivors.size() || survivors[survivor] != layer->m_nKey;
        if (!moved)
            ++survivor;
        if (list->m_items[i].serial == state.item.serial) {
            list->m_items[i].opacity = state.item.opacity;
            list->m_items[i].changed = 0;
        }
        layer->m_extensionLines = state.extensionLines;
        if (!moved && SamePlacement(*layer, state, box))
            continue;
        mixer->InvalidateLayerBox(layer);
        layer->SetGeometry(box[0], box[1], box[2], box[3]);
        layer->m_nVisible = state.visible;
        layer->m_nMirrored = state.mirrored;
        layer->m_nFlipped = state.flipped;
        layer->m_dAngle = state.angle;
        layer->m_nOpacity = state.item.opacity;
        mixer->InvalidateLayerBox(layer);
    }
    // The selection: the layer of the change undone or redone.
    const int changedKey = leaving ? FirstChangedKey(*leaving) : 0;
    int current = changedKey ? IndexOfKey(*list, changedKey) : -1;
    if (current < 0)
        current = std::clamp(m_nCurrent, 0, std::max(list->GetItemCount() - 1, 0));
    list->m_nCurrent = current;
    list->UpdateLook();
    list->Fire(0);
    list->Redraw(nullptr, 0);
    const multimenu_package* item = list->GetItem(current);
    CLayerChannel* selected = item ? mixer->GetLayer(mixer->FindLayerByKey(item->serial)) : nullptr;
    mixer->SelectLayer(nullptr);
    mixer->SelectLayer(selected);
    mixer->Redraw(nullptr, 0);
    RestoreTitle(view, m_strPath);
}
