#include "layers/layercomposer.h"

#include "content/fileutil.h"
#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/rotatedbox.h"
#include "layers/layerchannel.h"
#include "layers/layerserver.h"
#include "platform/userservices.h"

#include <cmath>
#include <cstdlib>
#include <new>

namespace {

constexpr COLORREF kDefaultCorner = 0xE8E8E8;
// The margin kept on the tight side of the page, as a fraction of the
// control's side.
constexpr double kTightMargin = 0.016;
constexpr int kExportWidth = 1000;
// Pixels kept of layers whose item went.
constexpr size_t kMaxRetiredBytes = 64u << 20;

int Trunc(double value) {
    return int(std::trunc(value));
}

} // namespace

CLayerComposer::CLayerComposer()
    : m_pLayerServer(nullptr), m_pSelected(nullptr), m_pPage(nullptr),
      m_pAlphaTable(nullptr), m_crCorner{kDefaultCorner, kDefaultCorner, kDefaultCorner,
                                         kDefaultCorner},
      m_dMarginX(0.1), m_dMarginY(0.2), m_dAspect(0.95) {
    m_pAlphaTable = new (std::nothrow) BYTE[65536];
    if (!m_pAlphaTable) {
        AfxMessageBox("Error: could not setup the alphablending 64K lookup table... out of "
                      "memory or something.");
        return;
    }
    FillProductTable(m_pAlphaTable);
}

CLayerComposer::~CLayerComposer() {
    m_pSelected = nullptr;
    for (CLayerChannel* layer : m_layers)
        delete layer;
    for (CLayerChannel* layer : m_retired)
        delete layer;
    delete m_pPage;
    delete[] m_pAlphaTable;
}

// Page frame ------------------------------------------------------------------------------

void CLayerComposer::ComputeMargins() {
    const CSize size = GetControlSize();
    if (size.cx <= 0 || size.cy <= 0)
        return; // a control without area has no page to fit
    const double W = size.cx, H = size.cy;
    const double r = W / H;
    // Written as designs have always computed it: the stored aspect depends
    // on these exact roundings.
    if (r >= m_dAspect) {
        m_dMarginY = kTightMargin;
        m_dMarginX = (W - (1 - 2 * kTightMargin) * m_dAspect * H) / (2 * W);
    } else {
        m_dMarginX = kTightMargin;
        m_dMarginY = (H - (1 - 2 * kTightMargin) * W / m_dAspect) / (2 * H);
    }
}

void CLayerComposer::NormaliseFrame() {
    m_dAspect = (1 - 2 * m_dMarginX) / (1 - 2 * m_dMarginY);
    ComputeMargins();
    double d = (1 - 2 * m_dMarginX) / (1 - 2 * m_dMarginY) - m_dAspect;
    // The page the margins give drifts toward the aspect in small steps;
    // the result after the full count is what design files hold.
    for (int step = 0; step < 9999 && std::fabs(d) > 0; ++step) {
        m_dAspect = m_dAspect - d / 10000;
        ComputeMargins();
        d = (1 - 2 * m_dMarginX) / (1 - 2 * m_dMarginY) - m_dAspect;
    }
}

CRect CLayerComposer::GetPageRect() const {
    const CSize size = GetControlSize();
    const double W = size.cx, H = size.cy;
    return CRect(Trunc(W * m_dMarginX), Trunc(H * m_dMarginY), Trunc(W * (1 - m_dMarginX)),
                 Trunc(H * (1 - m_dMarginY)));
}

// Page image ------------------------------------------------------------------------------

bool CLayerComposer::SetPageSize(int width, int height) {
    if (m_pPage && m_pPage->GetWidth() == width && m_pPage->GetHeight() == height)
        return true;
    delete m_pPage;
    m_pPage = new CMixerDIB;
    if (!m_pPage->Create(width, height, 0, nullptr)) {
        delete m_pPage;
        m_pPage = nullptr;
        return false;
    }
    m_rcDirty.SetRect(0, 0, width, height);
    return true;
}

void CLayerComposer::ResizePage(const RECT& rect) {
    const int newW = rect.right - rect.left, newH = rect.bottom - rect.top;
    // A page without area would scale every box to nothing for good.
    if (newW <= 0 || newH <= 0)
        return;
    int oldW = newW, oldH = newH;
    if (m_pPage) {
        oldW = m_pPage->GetWidth();
        oldH = m_pPage->GetHeight();
        if (oldW == newW && oldH == newH)
            return;
    }
    SetPageSize(newW, newH);
    ScaleBoxes(oldW, oldH, newW, newH);
}

BOOL CLayerComposer::GetPageSize(int* width, int* height) const {
    if (!m_pPage)
        return FALSE;
    if (width)
        *width = m_pPage->GetWidth();
    if (height)
        *height = m_pPage->GetHeight();
    return TRUE;
}

void CLayerComposer::ScaleBoxes(double fromW, double fromH, double toW, double toH) {
    for (CLayerChannel* layer : m_layers) {
        layer->m_dX = toW * (layer->m_dX / fromW);
        layer->m_dY = toH * (layer->m_dY / fromH);
        layer->m_dWidth = toW * (layer->m_dWidth / fromW);
        layer->m_dHeight = toH * (layer->m_dHeight / fromH);
    }
}

// Layers ----------------------------------------------------------------------------------

int CLayerComposer::SlotOfKey(int key) const {
    for (size_t i = 0; i < m_layers.size(); ++i)
        if (m_layers[i] && m_layers[i]->m_nKey == key)
            return int(i);
    return -1;
}

bool CLayerComposer::SynchroniseLayers() {
    if (!m_pLayerServer)
        return false;
    int n = m_pLayerServer->GetLayerCount();
    for (CLayerChannel* layer : m_layers)
        if (layer->m_nModified)
            AddDirty(PageBox(layer));

    m_next.clear();
    bool touched = false;
    bool textCreated = false;
    for (int i = 0; i < n; ++i) {
        int changed = 0;
        BYTE opacity = 0;
        const int key = m_pLayerServer->GetLayerKey(i, &changed, &opacity);
        CLayerChannel* layer = nullptr;
        const int slot = SlotOfKey(key);
        if (slot >= 0) {
            layer = m_layers[size_t(slot)];
            m_layers[size_t(slot)] = nullptr; // taken over into the new order
            if (changed) {
                layer->m_nOpacity = opacity;
                layer->m_nModified = 1;
                AddDirty(PageBox(layer));
            }
            m_next.push_back(layer);
            touched = true;
        } else if ((layer = TakeRetired(key)) != nullptr) {
            layer->m_nOpacity = opacity;
            layer->m_nModified = 1;
            AddDirty(PageBox(layer));
            m_next.push_back(layer);
            touched = true;
        } else if ((layer = m_pLayerServer->CreateLayer(i)) != nullptr) {
            if (!layer->BuildStream()) {
                delete layer;
                m_pLayerServer->RemoveLayer(i);
                // The next item has moved into this place.
                --i;
                --n;
                continue;
            }
            PlaceNewLayer(layer);
            layer->m_nModified = 1;
            AddDirty(PageBox(layer));
            m_next.push_back(layer);
            touched = true;
            textCreated = textCreated || layer->m_nKind == CLayerChannel::kText;
        }
        if (layer && m_pLayerServer->GetCurrentLayer() == i && layer->m_nKey != m_nFollowedKey) {
            m_nFollowedKey = layer->m_nKey;
            if (layer != m_pSelected)
                SelectLayer(layer);
        }
    }

    if (n == 0 || touched) {
        // What is left of the old order lost its item.
        for (CLayerChannel*& layer : m_layers) {
            if (!layer)
                continue;
            AddDirty(PageBox(layer));
            if (layer == m_pSelected)
                m_pSelected = nullptr;
            Retire(layer);
            layer = nullptr;
        }
        m_layers.swap(m_next);
        m_next.clear();
    }
    for (CLayerChannel* layer : m_layers)
        layer->m_nModified = 0;
    if (m_layers.empty())
        OnNoLayersLeft();
    if (textCreated)
        OnTextLayerCreated();
    return true;
}

namespace {

size_t PixelBytes(const CLayerChannel* layer) {
    return (layer->m_stream.GetCodes().size() + layer->m_stream.GetRowStarts().size()) *
           sizeof(DWORD);
}

} // namespace

void CLayerComposer::Retire(CLayerChannel* layer) {
    layer->m_turnedRows.Clear();
    m_retired.push_back(layer);
    m_nRetiredBytes += PixelBytes(layer);
    while (m_nRetiredBytes > kMaxRetiredBytes && !m_retired.empty()) {
        m_nRetiredBytes -= PixelBytes(m_retired.front());
        delete m_retired.front();
        m_retired.erase(m_retired.begin());
    }
}

CLayerChannel* CLayerComposer::TakeRetired(int key) {
    for (auto it = m_retired.begin(); it != m_retired.end(); ++it) {
        if ((*it)->m_nKey != key)
            continue;
        CLayerChannel* layer = *it;
        m_retired.erase(it);
        m_nRetiredBytes -= PixelBytes(layer);
        return layer;
    }
    return nullptr;
}

void CLayerComposer::PlaceNewLayer(CLayerChannel* layer) {
    if (!layer)
        return;
    int W = 0, H = 0;
    GetPageSize(&W, &H);
    const int bw = Trunc(Trunc(W * 0.7) * 0.7);
    const int bh = Trunc(Trunc(H * 0.7) * 0.7);
    CRect box(0, 0, bw, bh);
    const CRect pageShape(0, 0, Trunc(bw / (1 - 2 * m_dMarginX)), Trunc(bh / (1 - 2 * m_dMarginY)));
    const CRect streamShape(0, 0, layer->m_stream.GetWidth(), layer->m_stream.GetHeight());
    for (const CRect& shape : {pageShape, streamShape})
        if (shape.Height() != 0)
            AspectFit(shape, &box);

    POINT centre{W / 2, H / 2};
    POINT drop{0, 0};
    if (TakeDropPoint(&drop))
        centre = drop;
    const int width = box.Width(), height = box.Height();
    layer->SetGeometry(centre.x - width / 2, centre.y - height / 2, width, height);
}

int CLayerComposer::FindLayerByKey(int key) const {
    for (size_t i = 0; i < m_layers.size(); ++i)
        if (m_layers[i]->m_nKey == key)
            return int(i);
    return -1;
}

CLayerChannel* CLayerComposer::GetLayer(int index) const {
    if (index < 0 || size_t(index) >= m_layers.size())
        return nullptr;
    return m_layers[size_t(index)];
}

BOOL CLayerComposer::SelectLayer(CLayerChannel* layer) {
    if (layer == m_pSelected)
        return FALSE;
    m_pSelected = layer;
    return TRUE;
}

void CLayerComposer::InvalidateLayerBox(CLayerChannel* layer) {
    if (layer)
        AddDirty(PageBox(layer));
}

CRect CLayerComposer::PageBox(const CLayerChannel* layer) {
    return CRotatedBox(*layer).Cover();
}

void CLayerComposer::AddDirty(const CRect& box) {
    CRect normal(box);
    normal.NormalizeRect();
    m_rcDirty.UnionRect(m_rcDirty, normal);
}

// Composition -----------------------------------------------------------------------------

bool CLayerComposer::ComposePage(const RECT* clip, CProgressReceiver* progress) {
    if (!m_pPage || !m_pAlphaTable)
        return false;
    m_composeList.assign(m_layers.begin(), m_layers.end());
    return m_pPage->Compose(m_composeList, this, m_pAlphaTable, m_crCorner[0], m_crCorner[1],
                            m_crCorner[2], m_crCorner[3], clip, progress);
}

bool CLayerComposer::ExportPage(const std::string& path) {
    if (!m_pPage)
        return false;
    ResizePage(CRect(0, 0, kExportWidth, Trunc(kExportWidth / m_dAspect)));
    ComposePage(nullptr);
    const bool saved = m_pPage && m_pPage->Save(path);
    ResizePage(GetPageRect());
    ComposePage(nullptr);
    return saved;
}

bool CLayerComposer::RenderInto(CDIB* target, CProgressReceiver* progress) {
    if (!target || !m_pPage || !m_pAlphaTable)
        return false;
    const double pageW = m_pPage->GetWidth(), pageH = m_pPage->GetHeight();
    const double targetW = target->GetWidth(), targetH = target->GetHeight();
    if (targetW <= 0 || targetH <= 0)
        return false;
    ScaleBoxes(pageW, pageH, targetW, targetH);
    m_composeList.assign(m_layers.begin(), m_layers.end());
    const bool composed =
        target->Compose(m_composeList, this, m_pAlphaTable, m_crCorner[0], m_crCorner[1],
                        m_crCorner[2], m_crCorner[3], nullptr, progress);
    ScaleBoxes(targetW, targetH, pageW, pageH);
    return composed;
}

void CLayerComposer::SetBackgroundColours(COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3) {
    m_crCorner[0] = c0;
    m_crCorner[1] = c1;
    m_crCorner[2] = c2;
    m_crCorner[3] = c3;
    MarkPageDirty();
}

void CLayerComposer::MarkPageDirty() {
    if (m_pPage)
        m_rcDirty.SetRect(0, 0, m_pPage->GetWidth(), m_pPage->GetHeight());
}
