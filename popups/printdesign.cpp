#include "popups/printdesign.h"

#include "content/fileutil.h"
#include "imaging/dib.h"
#include "platform/cursor.h"
#include "platform/gdi/dc.h"
#include "popups/pageprintwindow.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr double kCmPerInch = 2.54;

// A length in centimetres at a resolution, limited to what the device
// prints, then truncated.
int DevicePixels(int centimetres, int dpi, int limit) {
    return int(std::min(centimetres / kCmPerInch * dpi, double(limit)));
}

CSize TargetOf(CSize image, const CPrintSettings& settings, const CPrintDevice& device) {
    CSize target(0, 0);
    switch (settings.m_nPageMode) {
    case 1:
        target = CSize(device.m_nHorzRes, device.m_nVertRes);
        break;
    case 2:
        target = CSize(device.m_nHorzRes / 3, device.m_nVertRes / 4);
        break;
    case 3:
        // Keep aspect does not apply to a size the user gave.
        return CSize(DevicePixels(settings.m_nWidth, device.m_nDpiX, device.m_nHorzRes),
                     DevicePixels(settings.m_nHeight, device.m_nDpiY, device.m_nVertRes));
    default:
        return target;
    }
    if (settings.m_nKeepAspect && image.cx > 0 && image.cy > 0) {
        // Only the fitted size counts; the copy stays at the cell's corner.
        CRect fitted(0, 0, target.cx, target.cy);
        AspectFit(CRect(0, 0, image.cx, image.cy), &fitted);
        target = CSize(fitted.Width(), fitted.Height());
    }
    return target;
}

} // namespace

void CPrintSettings::ReadFrom(const CPagePrintWindow& window) {
    m_nKeepAspect = window.GetKeepAspect();
    m_nFillPage = window.GetFillPage();
    m_nWidth = window.GetWidthCm();
    m_nHeight = window.GetHeightCm();
}

CPrintDevice CPrintDevice::FromDC(const CDC& dc) {
    CPrintDevice device;
    device.m_nDpiX = dc.GetDeviceCaps(LOGPIXELSX);
    device.m_nDpiY = dc.GetDeviceCaps(LOGPIXELSY);
    device.m_nHorzRes = dc.GetDeviceCaps(HORZRES);
    device.m_nVertRes = dc.GetDeviceCaps(VERTRES);
    return device;
}

CPrintLayout ComputePrintLayout(CSize design, const CPrintSettings& settings,
                                const CPrintDevice& device) {
    CPrintLayout layout;
    layout.m_sizeImage = CSize(2 * design.cx, 2 * design.cy);
    layout.m_sizeTarget = TargetOf(layout.m_sizeImage, settings, device);
    const int w = layout.m_sizeTarget.cx, h = layout.m_sizeTarget.cy;
    if (w <= 0 || h <= 0)
        return layout;
    if (!settings.m_nFillPage) {
        layout.m_nColumns = layout.m_nRows = 1;
        layout.m_cells.emplace_back(0, 0, w, h);
        return layout;
    }
    layout.m_nColumns = device.m_nHorzRes / w;
    layout.m_nRows = device.m_nVertRes / h;
    for (int r = 0; r < layout.m_nRows; ++r)
        for (int c = 0; c < layout.m_nColumns; ++c)
            layout.m_cells.emplace_back(c * w, r * h, (c + 1) * w, (r + 1) * h);
    return layout;
}

BOOL PrintRenderedDesign(CDC* dc, CDIB* rendered, CSize design, const CPrintSettings& settings,
                         const CPalette* palette) {
    if (!dc || !rendered || !rendered->GetBits())
        return FALSE;
    if (!rendered->Mirror(0))
        return FALSE;
    const CPrintLayout layout = ComputePrintLayout(design, settings, CPrintDevice::FromDC(*dc));
    BOOL drawn = FALSE;
    for (const CRect& cell : layout.m_cells)
        if (rendered->Draw(dc, &cell, nullptr, palette, false))
            drawn = TRUE;
    return drawn;
}

BOOL PrintDesign(CDC* dc, CDesignRenderer* renderer, const CPrintSettings& settings,
                 const CPalette* palette) {
    if (!dc || !renderer)
        return FALSE;
    platform::CWaitCursor wait;
    const CSize design = renderer->GetCompositionSize();
    if (design.cx <= 0 || design.cy <= 0)
        return FALSE;
    CDIB image;
    if (!image.Create(2 * design.cx, 2 * design.cy, 24, nullptr))
        return FALSE;
    std::memset(image.GetBits(), 0, size_t(image.GetRowSize()) * size_t(image.GetHeight()));
    if (!renderer->RenderInto(&image))
        return FALSE;
    return PrintRenderedDesign(dc, &image, design, settings, palette);
}
