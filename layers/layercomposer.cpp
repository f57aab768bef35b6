#include "layers/layercomposer.h"

#include "content/fileutil.h"
#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/rotatedbox.h"
#include "imaging/sizedpixels.h"
#include "layers/layerchannel.h"
#include "layers/layerserver.h"
#include "platform/userservices.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
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

// Beyond this many pixels a side, a layer's pixels are made smaller and
// stretched by the composition: such a layer reaches far outside the page.
constexpr int kMaxSizedSide = 32768;

// The layers that take part in a rendering, each with its pixels made for
// its box, read by the composition instead of its stream until this ends.
class SizedLayers {
public:
    SizedLayers(const std::vector<CLayerChannel*>& layers, bool coverage) : m_layers(layers) {
        for (CLayerChannel* layer : m_layers) {
            if (!layer->m_stream.IsValid() || !layer->m_nVisible || !(layer->m_nOpacity & 0xFF))
                continue;
            const CRect box = CLayerComposer::PageBox(layer);
            double w = box.Width(), h = box.Height();
            const double side = std::max(w, h);
            if (side > kMaxSizedSide) {
                w = w * kMaxSizedSide / side;
                h = h * kMaxSizedSide / side;
            }
            std::unique_ptr<CLayerPixels> pixels = layer->PixelsAtSize(Trunc(w), Trunc(h));
            if (!pixels)
                continue;
            if (coverage)
                m_wrappers.push_back(std::make_unique<CWhiteInkPixels>(*pixels));
            layer->m_pSizedPixels = coverage ? m_wrappers.back().get() : pixels.get();
            m_pixels.push_back(std::move(pixels));
        }
    }
    ~SizedLayers() {
        for (CLayerChannel* layer : m_layers)
            layer->m_pSizedPixels = nullptr;
    }
    SizedLayers(const SizedLayers&) = delete;
    SizedLayers& operator=(const SizedLayers&) = delete;

private:
    const std::vector<CLayerChannel*>& m_layers;
    std::vector<std::unique_ptr<CLayerPixels>> m_pixels;
    std::vector<std::unique_ptr<CLayerPixels>> m_wrappers;
};

// Colours composed over black hold the layers' colours multiplied by their
// coverage; divided by it they are the colours of a transparent picture.
bool SeparateTransparency(CDIB* colours, CDIB* coverage) {
    const int w = colours->GetWidth(), h = colours->GetHeight();
    auto alpha = std::make_unique<CDIB>();
    if (!alpha->Create(w, h, 8, nullptr) || !colours->BeginPixelAccess() ||
        !coverage->BeginPixelAccess() || !alpha->BeginPixelAccess())
        return false;
    for (int y = 0; y < h; ++y) {
        BYTE* c = colours->PixelAddress(0, unsigned(y));
        const BYTE* k = coverage->PixelAddress(0, unsigned(y));
        BYTE* a = alpha->PixelAddress(0, unsigned(y));
        for (int x = 0; x < w; ++x, c += 3, k += 3) {
            const int cover = k[0];
            a[x] = BYTE(cover);
            for (int i = 0; i < 3; ++i)
                c[i] = cover == 0 ? 0 : BYTE(std::min(255, (c[i] * 255 + cover / 2) / cover));
        }
    }
    colours->EndPixelAccess();
    coverage->EndPixelAccess();
    alpha->EndPixelAccess();
    colours->SetAlpha(std::move(alpha));
    return true;
}

} // namespace

CLayerComposer::CLayerComposer()
    : m_pLayerServer(nullptr), m_pSelected(nullptr), m_pPage(nullptr),
      m_pAlphaTable(nullptr), m_crCorner{kDefaultCorner, kDefaultCorner, kDefaultCorner,
                                         kDefaultCorner},
      m_dMarginX(0.1), m_dMarginY(0.2), m_dAspect(0.95), m_szDesignFrame(0, 0) {
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
    // The page takes new proportions: the boxes of a file no longer fit it.
    m_szDesignFrame = CSize(0, 0);
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

// Design frame ----------------------------------------------------------------------------

void CLayerComposer::SetDesignFrame(int width, int height) {
    m_szDesignFrame = width > 0 && height > 0 ? CSize(width, height) : CSize(0, 0);
}

BOOL CLayerComposer::GetDesignFrame(int* width, int* height) const {
    if (m_szDesignFrame.cx > 0 && m_pPage) {
        *width = m_szDesignFrame.cx;
        *height = m_szDesignFrame.cy;
        return TRUE;
    }
    return GetPageSize(width, height);
}

void CLayerComposer::GetDesignBox(const CLayerChannel* layer, double* x, double* y, double* width,
                                  double* height) const {
    *x = layer->m_dX;
    *y = layer->m_dY;
    *width = layer->m_dWidth;
    *height = layer->m_dHeight;
    int pageW = 0, pageH = 0, frameW = 0, frameH = 0;
    if (!GetPageSize(&pageW, &pageH) || !GetDesignFrame(&frameW, &frameH) ||
        (pageW == frameW && pageH == frameH))
        return;
    // The inverse of the scaling the boxes got when the design was read.
    *x = frameW * (*x / pageW);
    *y = frameH * (*y / pageH);
    *width = frameW * (*width / pageW);
    *height = frameH * (*height / pageH);
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

namespace {

// The slot from the hint on, then before it; -1 when none.
template <typename Matches> int SearchFrom(size_t count, size_t hint, Matches matches) {
    for (size_t i = std::min(hint, count); i < count; ++i)
        if (matches(i))
            return int(i);
    for (size_t i = 0; i < std::min(hint, count); ++i)
        if (matches(i))
            return int(i);
    return -1;
}

} // namespace

int CLayerComposer::SlotOfKey(int key, size_t hint) const {
    return SearchFrom(m_layers.size(), hint,
                      [&](size_t i) { return m_layers[i] && m_layers[i]->m_nKey == key; });
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
    size_t hint = 0;
    for (int i = 0; i < n; ++i) {
        int changed = 0;
        BYTE opacity = 0;
        const int key = m_pLayerServer->GetLayerKey(i, &changed, &opacity);
        CLayerChannel* layer = nullptr;
        const int slot = SlotOfKey(key, hint);
        if (slot >= 0) {
            hint = size_t(slot) + 1;
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
    const int index = SearchFrom(m_layers.size(), m_nLastFound,
                                 [&](size_t i) { return m_layers[i]->m_nKey == key; });
    if (index >= 0)
        m_nLastFound = size_t(index);
    return index;
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

bool CLayerComposer::ExportPage(const std::string& path, double dpi) {
    if (!m_pPage)
        return false;
    // The design is composed once, into a picture of the export size, with
    // the boxes scaled to it and back as a resized page would scale them;
    // the page on screen keeps its image and needs no second composition.
    CMixerDIB picture;
    if (!picture.Create(kExportWidth, Trunc(kExportWidth / m_dAspect), 0, nullptr) ||
        !RenderInto(&picture, nullptr))
        return false;
    if (dpi > 0)
        picture.SetResolution(dpi, dpi);
    return picture.Save(path);
}

bool CLayerComposer::ComposeInto(CDIB* target, const COLORREF corners[4], LayerSource source,
                                 CProgressReceiver* progress) {
    if (!target || !m_pPage || !m_pAlphaTable)
        return false;
    const double pageW = m_pPage->GetWidth(), pageH = m_pPage->GetHeight();
    const double targetW = target->GetWidth(), targetH = target->GetHeight();
    if (targetW <= 0 || targetH <= 0)
        return false;
    ScaleBoxes(pageW, pageH, targetW, targetH);
    bool composed = false;
    {
        std::unique_ptr<SizedLayers> sized;
        if (source != LayerSource::kStream)
            sized = std::make_unique<SizedLayers>(m_layers, source == LayerSource::kSizedCoverage);
        m_composeList.assign(m_layers.begin(), m_layers.end());
        composed = target->Compose(m_composeList, this, m_pAlphaTable, corners[0], corners[1],
                                   corners[2], corners[3], nullptr, progress);
    }
    ScaleBoxes(targetW, targetH, pageW, pageH);
    return composed;
}

bool CLayerComposer::RenderInto(CDIB* target, CProgressReceiver* progress) {
    return ComposeInto(target, m_crCorner, LayerSource::kStream, progress);
}

bool CLayerComposer::RenderAtSize(CDIB* target, CProgressReceiver* progress) {
    return ComposeInto(target, m_crCorner, LayerSource::kSized, progress);
}

bool CLayerComposer::ExportAtSize(const std::string& path, int width, int height, double dpi,
                                  bool transparent) {
    CMixerDIB image;
    if (!m_pPage || width <= 0 || height <= 0 || !image.Create(width, height, 24, nullptr))
        return false;
    if (!transparent) {
        if (!RenderAtSize(&image, nullptr))
            return false;
    } else {
        const COLORREF black[4] = {0, 0, 0, 0};
        CMixerDIB coverage;
        if (!coverage.Create(width, height, 24, nullptr) ||
            !ComposeInto(&image, black, LayerSource::kSized, nullptr) ||
            !ComposeInto(&coverage, black, LayerSource::kSizedCoverage, nullptr) ||
            !SeparateTransparency(&image, &coverage))
            return false;
    }
    image.SetResolution(dpi, dpi);
    return image.Save(path);
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
