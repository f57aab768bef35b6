// The page written as a picture: the program's 1000-pixel export for BMP,
// JPEG and TIFF, and for PNG a picture made for printing at a size in
// centimetres and a resolution, with its background left out if asked.
// Every picture says the resolution it prints at.

#include "app/extratexts.h"
#include "app/morvaneview.h"
#include "layers/layermixer.h"
#include "popups/exportsizewindow.h"

#include <strings.h>

namespace {

constexpr double kCmPerInch = 2.54;
constexpr double kDefaultPrintWidthCm = 25;
constexpr int kExportWidth = 1000;

} // namespace

bool IsPrintPicturePath(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t separator = path.find_last_of("/\\");
    return dot != std::string::npos && (separator == std::string::npos || dot > separator) &&
           strcasecmp(path.c_str() + dot, ".png") == 0;
}

double CMorvaneView::DefaultPrintWidthCm() const {
    return m_print.m_nPageMode == 3 && m_print.m_nWidth > 0 ? m_print.m_nWidth
                                                            : kDefaultPrintWidthCm;
}

bool CMorvaneView::AskExportSize() {
    CLayerMixer* mixer = Mixer();
    if (!mixer)
        return false;
    CExportSizeWindow window;
    window.SetTexts({Text(kTextExportTitle), Text(kTextExportWidth), Text(kTextExportResolution),
                     Text(kTextExportTransparent), Text(kTextExportPixels), Text(kTextOk),
                     Text(kTextCancel)});
    const double width = m_export.m_dWidthCm > 0 ? m_export.m_dWidthCm : DefaultPrintWidthCm();
    window.SetValues(width, m_export.m_nDpi, m_export.m_nTransparent, mixer->m_dAspect);
    if (!window.CreateCentred() || window.RunModal(TRUE) != 1)
        return false;
    m_export.m_dWidthCm = window.GetWidthCm();
    m_export.m_nDpi = window.GetDpi();
    m_export.m_nTransparent = window.GetTransparent();
    return true;
}

bool CMorvaneView::ExportDesign(const std::string& path) {
    CLayerMixer* mixer = Mixer();
    if (!IsPrintPicturePath(path))
        return mixer->ExportPage(path, kExportWidth / (DefaultPrintWidthCm() / kCmPerInch));
    const double width = m_export.m_dWidthCm > 0 ? m_export.m_dWidthCm : DefaultPrintWidthCm();
    const CSize size = CExportSizeWindow::PixelSize(width, m_export.m_nDpi, mixer->m_dAspect);
    mixer->SynchroniseLayers();
    return mixer->ExportAtSize(path, size.cx, size.cy, m_export.m_nDpi,
                               m_export.m_nTransparent != 0);
}
