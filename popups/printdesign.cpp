#include "popups/printdesign.h"

#include "content/fileutil.h"
#include "imaging/dib.h"
#include "platform/cursor.h"
#include "platform/gdi/dc.h"
#include "platform/userservices.h"
#include "popups/pageprintwindow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <tuple>

namespace {

constexpr double kCmPerInch = 2.54;
constexpr double kMmPerInch = 25.4;

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

double ScaleToLimit(int dpi) {
    return dpi > kMaxPrintDpi ? double(kMaxPrintDpi) / dpi : 1.0;
}

int MmToPixels(double mm, int dpi) {
    return int(std::lround(mm / kMmPerInch * dpi));
}

bool OverlapsACell(const CRect& mark, const std::vector<CRect>& cells) {
    for (const CRect& cell : cells)
        if (mark.left < cell.right && cell.left < mark.right && mark.top < cell.bottom &&
            cell.top < mark.bottom)
            return true;
    return false;
}

std::string WithNumber(const std::string& text, int number) {
    std::string out = text;
    const size_t at = out.find("%d");
    if (at != std::string::npos)
        out.replace(at, 2, std::to_string(number));
    return out;
}

} // namespace

void CPrintSettings::ReadFrom(const CPagePrintWindow& window) {
    m_nKeepAspect = window.GetKeepAspect();
    m_nFillPage = window.GetFillPage();
    m_nWidth = window.GetWidthCm();
    m_nHeight = window.GetHeightCm();
    m_nDarkFabric = window.GetDarkFabric();
    m_nCutMarks = window.GetCutMarks();
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

CCopyResolution ComputeCopyResolution(CSize target, const CPrintDevice& device) {
    CCopyResolution copy;
    if (target.cx <= 0 || target.cy <= 0)
        return copy;
    double w = target.cx * ScaleToLimit(device.m_nDpiX);
    double h = target.cy * ScaleToLimit(device.m_nDpiY);
    if (w * h > double(kMaxCopyPixels)) {
        const double shrink = std::sqrt(double(kMaxCopyPixels) / (w * h));
        w = std::floor(w * shrink);
        h = std::floor(h * shrink);
        copy.m_bReduced = true;
    }
    copy.m_size = CSize(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h))));
    copy.m_dDpiX = device.m_nDpiX * double(copy.m_size.cx) / target.cx;
    copy.m_dDpiY = device.m_nDpiY * double(copy.m_size.cy) / target.cy;
    return copy;
}

std::vector<CRect> ComputeCutMarks(const CPrintLayout& layout, const CPrintDevice& device) {
    std::vector<CRect> marks;
    const int gapX = MmToPixels(kCutMarkGapMm, device.m_nDpiX);
    const int gapY = MmToPixels(kCutMarkGapMm, device.m_nDpiY);
    const int lengthX = std::max(1, MmToPixels(kCutMarkLengthMm, device.m_nDpiX));
    const int lengthY = std::max(1, MmToPixels(kCutMarkLengthMm, device.m_nDpiY));
    const int widthX = std::max(1, MmToPixels(kCutMarkWidthMm, device.m_nDpiX));
    const int widthY = std::max(1, MmToPixels(kCutMarkWidthMm, device.m_nDpiY));
    std::set<std::tuple<LONG, LONG, LONG, LONG>> seen;
    const auto add = [&](const CRect& mark) {
        if (OverlapsACell(mark, layout.m_cells) ||
            !seen.emplace(mark.left, mark.top, mark.right, mark.bottom).second)
            return;
        marks.push_back(mark);
    };
    for (const CRect& cell : layout.m_cells)
        for (const int cy : {cell.top, cell.bottom})
            for (const int cx : {cell.left, cell.right}) {
                const int dx = cx == cell.left ? -1 : 1, dy = cy == cell.top ? -1 : 1;
                // The vertical edge through the corner, continued above or below.
                const int y0 = cy + dy * gapY, y1 = cy + dy * (gapY + lengthY);
                add(CRect(cx - widthX / 2, std::min(y0, y1), cx - widthX / 2 + widthX,
                          std::max(y0, y1)));
                // The horizontal edge, continued to the left or the right.
                const int x0 = cx + dx * gapX, x1 = cx + dx * (gapX + lengthX);
                add(CRect(std::min(x0, x1), cy - widthY / 2, std::max(x0, x1),
                          cy - widthY / 2 + widthY));
            }
    return marks;
}

// NOTE: pictures on Qt's devices need no palette selected; the parameter
// stays for the palette displays the program was designed for.
BOOL PrintRenderedDesign(CDC* dc, CDIB* rendered, CSize design, const CPrintSettings& settings,
                         const CPalette*) {
    if (!dc || !rendered || !rendered->GetBits())
        return FALSE;
    // Paper for light fabric is ironed face down: the print is its mirror.
    if (!settings.m_nDarkFabric && !rendered->Mirror(0))
        return FALSE;
    const CPrintDevice device = CPrintDevice::FromDC(*dc);
    const CPrintLayout layout = ComputePrintLayout(design, settings, device);
    const std::vector<RECT> cells(layout.m_cells.begin(), layout.m_cells.end());
    const BOOL drawn = rendered->DrawRepeated(dc, cells) ? TRUE : FALSE;
    if (drawn && settings.m_nCutMarks)
        for (const CRect& mark : ComputeCutMarks(layout, device))
            dc->FillSolidRect(mark, RGB(0, 0, 0));
    return drawn;
}

BOOL PrintDesign(CDC* dc, CDesignRenderer* renderer, const CPrintSettings& settings,
                 const CPalette* palette, const std::string& reducedMessage) {
    if (!dc || !renderer)
        return FALSE;
    platform::CWaitCursor wait;
    const CSize design = renderer->GetCompositionSize();
    if (design.cx <= 0 || design.cy <= 0)
        return FALSE;
    const CPrintDevice device = CPrintDevice::FromDC(*dc);
    const CPrintLayout layout = ComputePrintLayout(design, settings, device);
    if (layout.m_cells.empty())
        return FALSE;
    const CCopyResolution copy = ComputeCopyResolution(layout.m_sizeTarget, device);
    if (copy.m_bReduced && !reducedMessage.empty())
        AfxMessageBox(WithNumber(reducedMessage, int(std::lround(copy.m_dDpiX))),
                      MB_OK | MB_ICONINFORMATION);
    CDIB image;
    if (!image.Create(copy.m_size.cx, copy.m_size.cy, 24, nullptr))
        return FALSE;
    std::memset(image.GetBits(), 0, size_t(image.GetRowSize()) * size_t(image.GetHeight()));
    if (!renderer->RenderInto(&image))
        return FALSE;
    return PrintRenderedDesign(dc, &image, design, settings, palette);
}
