#pragma once
// Printing a design: where the picture goes on the sheet for a page mode,
// and the drawing of the design, rendered at twice its composition size,
// mirrored left to right (the print is an iron-on transfer) and stretched
// into every place it takes. The main view keeps the print settings and
// does the rendering; nothing here knows the view or the layers.

#include "platform/wintypes.h"

#include <vector>

class CDC;
class CDIB;
class CPagePrintWindow;
class CPalette;

// Print settings -------------------------------------------------------------------------
// What the page print window answered; the view keeps them for its life.
struct CPrintSettings {
    int m_nPageMode = 0;   // 0 none (cancelled), 1 full T-shirt, 2 small logo, 3 own size
    int m_nKeepAspect = 1; // keep the design's proportions (modes 1 and 2)
    int m_nFillPage = 0;   // repeat the picture over the whole sheet
    int m_nWidth = 0;      // centimetres, mode 3
    int m_nHeight = 0;

    // Takes keep aspect, fill page, width and height from a window that
    // ran; the page mode is the run's answer and is stored by the caller.
    void ReadFrom(const CPagePrintWindow& window);
};

// The device values printing needs, as the drawing context answers them.
struct CPrintDevice {
    int m_nDpiX = 0;    // LOGPIXELSX
    int m_nDpiY = 0;    // LOGPIXELSY
    int m_nHorzRes = 0; // printable area in device pixels
    int m_nVertRes = 0;

    static CPrintDevice FromDC(const CDC& dc);
};

// Where the picture goes --------------------------------------------------------------------
struct CPrintLayout {
    CSize m_sizeImage;  // the rendered design: twice the composition
    CSize m_sizeTarget; // one copy on the sheet, in device pixels
    int m_nColumns = 0; // the grid when the page is filled, else 1 by 1
    int m_nRows = 0;
    std::vector<CRect> m_cells; // row by row from the top, each row from the left
};

// The target by page mode (1 the printable area, 2 a third of its width by
// a quarter of its height, 3 the size in centimetres at the device's
// resolution, limited to the printable area), fitted to the design's
// proportions in modes 1 and 2 with keep aspect, and the cells it is drawn
// into. No cell for mode 0, an empty target or a fill without a whole row.
CPrintLayout ComputePrintLayout(CSize design, const CPrintSettings& settings,
                                const CPrintDevice& device);

// Drawing ---------------------------------------------------------------------------------------
// Mirrors the rendered design left to right, in place, and stretches the
// whole of it into every cell of the layout for the context's device
// values. design is the composition size the image was rendered at twice.
// FALSE when nothing could be drawn.
BOOL PrintRenderedDesign(CDC* dc, CDIB* rendered, CSize design, const CPrintSettings& settings,
                         const CPalette* palette);

// Whatever composes the design: the view's layer mixer behind a small
// adapter.
class CDesignRenderer {
public:
    virtual ~CDesignRenderer() = default;
    // The composition's size in pixels; empty when there is none.
    virtual CSize GetCompositionSize() = 0;
    // Renders the design into a 24-bit image of any size.
    virtual BOOL RenderInto(CDIB* image) = 0;
};

// The print routine: with the wait cursor, renders the design at 2W x 2H
// into an image cleared to black and prints it with PrintRenderedDesign.
// FALSE (the page left empty) without a composition or when the image
// cannot be made.
BOOL PrintDesign(CDC* dc, CDesignRenderer* renderer, const CPrintSettings& settings,
                 const CPalette* palette);
