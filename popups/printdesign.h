#pragma once
// Printing a design: where the picture goes on the sheet for a page mode,
// and the drawing of the design, rendered for one copy at the printer's
// resolution (at most 600 dots per inch), mirrored left to right for
// transfer paper of light fabrics (printed face down) and drawn into every
// place it takes, with cut marks around the copies when asked. The main
// view keeps the print settings and does the rendering; nothing here knows
// the view or the layers.

#include "platform/wintypes.h"

#include <string>
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
    int m_nDarkFabric = 0; // transfer paper for dark fabric: printed face up, not mirrored
    int m_nCutMarks = 0;   // marks at the corners of every copy

    // Takes keep aspect, fill page, width, height, the paper and the cut
    // marks from a window that ran; the page mode is the run's answer and
    // is stored by the caller.
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
    CSize m_sizeImage;  // twice the composition: the proportions kept aspect fits
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

// What one copy is rendered at -----------------------------------------------------------------
constexpr int kMaxPrintDpi = 600;
constexpr long long kMaxCopyPixels = 80'000'000;

struct CCopyResolution {
    CSize m_size;       // pixels of the rendered copy
    double m_dDpiX = 0; // what they make on the sheet
    double m_dDpiY = 0;
    bool m_bReduced = false; // fewer pixels than kMaxPrintDpi asks, for the pixel budget
};

// The copy at the device's resolution, limited to kMaxPrintDpi and, keeping
// its proportions, to kMaxCopyPixels.
CCopyResolution ComputeCopyResolution(CSize target, const CPrintDevice& device);

// Cut marks ----------------------------------------------------------------------------------
// Thin strokes that continue the edges of every copy outward, a little
// apart from its corners, left out where they would fall on another copy.
// In device pixels.
constexpr double kCutMarkGapMm = 2.0;
constexpr double kCutMarkLengthMm = 5.0;
constexpr double kCutMarkWidthMm = 0.2;
std::vector<CRect> ComputeCutMarks(const CPrintLayout& layout, const CPrintDevice& device);

// Drawing ---------------------------------------------------------------------------------------
// Mirrors the rendered copy left to right, in place, unless the paper is
// for dark fabric, and stretches the whole of it into every cell of the
// layout for the context's device values, then draws the cut marks when
// asked. design is the composition size. FALSE when nothing could be drawn.
BOOL PrintRenderedDesign(CDC* dc, CDIB* rendered, CSize design, const CPrintSettings& settings,
                         const CPalette* palette);

// Whatever composes the design: the view's layer mixer behind a small
// adapter.
class CDesignRenderer {
public:
    virtual ~CDesignRenderer() = default;
    // The composition's size in pixels; empty when there is none.
    virtual CSize GetCompositionSize() = 0;
    // Renders the design into a 24-bit image of any size, each layer made
    // for its box at that size.
    virtual BOOL RenderInto(CDIB* image) = 0;
};

// The print routine: with the wait cursor, renders one copy at its
// resolution on the sheet into an image cleared to black and prints it
// with PrintRenderedDesign. When the pixel budget lowers the resolution,
// reducedMessage is shown first with its "%d" replaced by the dots per inch
// the copy gets. FALSE (the page left empty) without a composition, without
// a place on the sheet or when the image cannot be made.
BOOL PrintDesign(CDC* dc, CDesignRenderer* renderer, const CPrintSettings& settings,
                 const CPalette* palette, const std::string& reducedMessage = std::string());
