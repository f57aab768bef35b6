#pragma once
// The drawing context the program paints through: a thin layer over a
// QPainter on a widget, an image or a printer, with the window system's
// operations and their exact pixel rules. Contexts over an image can also
// read and set single pixels.
//
// Pixel rules (logical pixels of the painter; antialiasing is always off):
// - A RECT covers left..right-1 and top..bottom-1. FillSolidRect, PatBlt,
//   InvertRect, Rectangle, RoundRect and Ellipse normalise inverted
//   rectangles first.
// - FillSolidRect leaves the background colour set to its fill colour, as
//   the window system's helper does (it fills through opaque text output).
// - Draw3dRect(x, y, cx, cy, tl, br): top row x..x+cx-2 and left column
//   y..y+cy-2 in tl; right column x+cx-1 (all rows) and bottom row y+cy-1
//   (all columns) in br, so the top-right and bottom-left corners are br.
// - DrawEdge draws the outer ring on the rectangle's border pixels and the
//   inner ring one pixel further in, each like Draw3dRect on the sides that
//   are asked for (top and left first, then bottom and right over them):
//     raised outer: top/left COLOR_3DLIGHT,     bottom/right COLOR_3DDKSHADOW
//     sunken outer: top/left COLOR_3DSHADOW,    bottom/right COLOR_3DHIGHLIGHT
//     raised inner: top/left COLOR_3DHIGHLIGHT, bottom/right COLOR_3DSHADOW
//     sunken inner: top/left COLOR_3DDKSHADOW,  bottom/right COLOR_3DLIGHT
//   A lone inner edge takes the outer ring. BF_MIDDLE fills what is left
//   with COLOR_3DFACE; BF_ADJUST moves the rectangle onto it.
// - Lines (LineTo, Polyline, polygon outlines) cover the pixels from the
//   start point up to but not including the end point; along the minor axis
//   the exact position is rounded, halves upward. A pen w pixels wide paints
//   the w x w square from (x - (w-1)/2, y - (w-1)/2) for each of those
//   pixels. Dash patterns (pixels on/off) are PS_DASH 18/6, PS_DOT 3/3,
//   PS_DASHDOT 9/6/3/6, PS_DASHDOTDOT 9/3/3/3/3/3; they start afresh at
//   MoveTo and at every Polyline, Polygon or Rectangle, and their gaps are
//   painted with the background colour in OPAQUE mode.
// - Rectangle(l, t, r, b): a one-pixel pen draws the frame on columns l and
//   r-1 and rows t and b-1. A pen w wide draws each side as a band w pixels
//   thick centred on that frame: (w-1)/2 pixels outside it, w/2 inside (a
//   width-2 pen stays inside the rectangle). PS_INSIDEFRAME keeps the whole
//   band inside. The brush fills l+1..r-2 x t+1..b-2; with a null pen it
//   fills l..r-2 x t..b-2, one pixel short on the right and bottom.
// - RoundRect and Ellipse: the shape is the set of pixels of the rectangle
//   whose centres lie in the rounded outline; the pen (solid, whatever its
//   style) is the outermost w pixels of the shape, so it always stays inside
//   the rectangle; the brush fills the rest. A null pen makes the shape one
//   pixel shorter on the right and bottom, as for Rectangle.
// - Polygon: the brush fills the pixels whose centres are inside
//   (ALTERNATE or WINDING), then the pen draws the closed outline, which
//   covers every vertex.
// - Text: a line is ascent + descent high; tab stops every 8 average
//   character widths; centred lines start at left + (width - text) / 2
//   (integer division), right-aligned ones at right - text. DT_SINGLELINE
//   drops line breaks; otherwise "\n", "\r\n" and "\r" break lines (a final
//   break adds no line). With OPAQUE mode each line's box (its advance by
//   the line height) is filled with the background colour first.
// - DrawDragRect and PATINVERT exclusive-or the pixels with the brush; the
//   halftone brush inverts exactly the pixels with x + y odd, so drawing
//   the same band twice restores the picture.

#include "platform/bitmapheaders.h"
#include "platform/gdi/gdiobjects.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QImage;
class QPainter;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Device capabilities.
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int GDI_ERROR = -1;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Raster operations of PatBlt.
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Background modes and polygon fill modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Clip results.
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// DrawEdge: edges and the sides they go on.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_ADJUST = 0x2000;

// DrawText formats.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// System colours: the classic 3D look of the window system.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_3DFACE = 15;
constexpr int COLOR_BTNFACE = COLOR_3DFACE;
constexpr int COLOR_3DSHADOW = 16;
constexpr int COLOR_BTNSHADOW = COLOR_3DSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_3DHIGHLIGHT = 20;
constexpr int COLOR_BTNHIGHLIGHT = COLOR_3DHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;

// The colour of a system colour index; 0 (black) for an unknown index.
COLORREF GetSysColor(int index);

class CDC {
public:
    // A context over a painter; give the image the painter draws on to make
    // pixels readable. Turns the painter's antialiasing off.
    explicit CDC(QPainter* painter, QImage* image = nullptr);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    QPainter* GetPainter() const { return m_pPainter; }
    QImage* GetImage() const { return m_pImage; }

    // Pixels --------------------------------------------------------------
    // CLR_INVALID outside the image or on contexts that are not images.
    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, COLORREF colour);

    // Pictures ----------------------------------------------------------------
    // Draws the source part of a packed DIB into the destination. The source
    // rectangle is counted from the bottom row, as for any bottom-up DIB;
    // negative sizes mirror. Answers the rows drawn, or GDI_ERROR.
    int StretchDIBits(int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                      int hSrc, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
    // The same source stretched into every destination through one image,
    // so that a printer's file holds the picture once. GDI_ERROR when a
    // destination could not be drawn.
    int StretchDIBitsRepeated(const std::vector<RECT>& dests, int xSrc, int ySrc, int wSrc,
                              int hSrc, const void* bits, const BITMAPINFO* info);
    // COLORONCOLOR samples the nearest pixel; HALFTONE smooths. Answers the
    // previous mode; 0 is refused and keeps the current one.
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_nStretchMode; }

    // Device ---------------------------------------------------------------
    // On a printer (or its preview): LOGPIXELSX/Y its resolution,
    // HORZRES/VERTRES the printable area in device pixels and HORZSIZE/
    // VERTSIZE in millimetres, PHYSICALWIDTH/HEIGHT the sheet and
    // PHYSICALOFFSETX/Y the printable area's corner on it, in device
    // pixels. Other devices have no sheet: the PHYSICAL values are 0.
    int GetDeviceCaps(int index) const;
    // TRUE when the context paints on a printer or a print preview.
    BOOL IsPrinting() const;

    // Selected objects ------------------------------------------------------
    // Each answers the object selected before, or null (changing nothing)
    // for a null or empty object. The context draws with a copy, so the
    // object may change afterwards without effect until selected again.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectObject(CGdiObject* object);
    CFont* SelectFont(CFont* font) { return SelectObject(font); }
    // Selects one of the context's own stock pens, brushes or fonts (the
    // fonts are the painter's font at the start); answers the previous
    // object of that kind.
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;

    // Colours and modes -------------------------------------------------------
    // Each setter answers the previous value.
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const;
    // TRANSPARENT or OPAQUE; 0 (and no change) for anything else.
    int SetBkMode(int mode);
    int GetBkMode() const;
    // ALTERNATE or WINDING; 0 (and no change) for anything else.
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const;

    // Saved states and clipping -------------------------------------------------
    // Saves the selected objects, colours, modes, position and the painter's
    // state (clip included); answers the new save level, 0 on failure.
    // Levels still saved when the context goes are restored on the painter.
    int SaveDC();
    // Restores a level answered by SaveDC, or -n for the n-th latest.
    BOOL RestoreDC(int savedDC);
    // Answer NULLREGION, SIMPLEREGION or COMPLEXREGION for the clip left.
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const RECT& rect);
    // Only null is accepted: it removes the clip.
    int SelectClipRgn(std::nullptr_t);

    // Rectangles and edges -------------------------------------------------------
    void FillSolidRect(const RECT& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    // Outlined with the pen, filled with the brush.
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT& rect);
    BOOL RoundRect(int left, int top, int right, int bottom, int width, int height);
    BOOL RoundRect(const RECT& rect, POINT ellipse);
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(const RECT& rect);
    // Inverts every pixel (exclusive-or with white).
    BOOL InvertRect(const RECT& rect);
    // PATCOPY, PATINVERT (with the selected brush), DSTINVERT, BLACKNESS or
    // WHITENESS; FALSE for other operations.
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    // The rubber band of a tracker: a frame of the given thickness inside
    // the rectangle, exclusive-ored with the brush (the halftone brush when
    // none is given). With a last rectangle, only the difference between
    // the old and the new frames changes, so the old one disappears.
    void DrawDragRect(const RECT& rect, SIZE size, const RECT* last, SIZE lastSize,
                      CBrush* brush = nullptr, CBrush* lastBrush = nullptr);

    // Lines and polygons ----------------------------------------------------------
    // Answers the previous position.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    CPoint GetCurrentPosition() const;
    // Draws to the point (not including it) and moves there.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    // Joined lines through the points; the last point is not drawn. The
    // current position is neither used nor changed.
    BOOL Polyline(const POINT* points, int count);
    BOOL Polygon(const POINT* points, int count);

    // Text ------------------------------------------------------------------------
    // The size of UTF-8 text in the selected font, without prefix or tab
    // handling.
    CSize GetTextExtent(const std::string& text) const;
    // Draws UTF-8 text from its top-left corner.
    BOOL TextOut(int x, int y, const std::string& text);
    // Lays out and draws UTF-8 text in the rectangle by the DT_ format.
    // Answers the height of the text; with DT_VCENTER or DT_BOTTOM (single
    // line) the distance from the top of the rectangle to the bottom of the
    // text. DT_CALCRECT draws nothing and sets the right edge to the widest
    // line and the bottom edge to the text's height.
    int DrawText(const std::string& text, RECT* rect, UINT format);

private:
    struct DrawingState;
    struct Internals;

    // Fills the pixels of a normalised rectangle with a colour or a brush.
    void FillPixels(const RECT& rect, COLORREF colour);
    void FillWithBrush(const RECT& rect, const CBrush& brush);
    void XorWithBrush(const RECT& rect, const CBrush& brush);
    // Draws joined lines with the selected pen, starting the dash pattern
    // afresh when asked.
    void StrokePath(const POINT* points, int count, bool closed, bool restartPattern);
    void RectangleFrame(const CRect& rect);
    void FillShapeRows(const CRect& rect, int ellipseWidth, int ellipseHeight);
    void FillPolygonInterior(const POINT* points, int count);
    int ClipResult() const;
    // The painter's device in logical pixels, grown by a margin: the part
    // worth walking pixel by pixel.
    CRect VisibleArea(int margin) const;

    QPainter* m_pPainter;
    QImage* m_pImage;
    int m_nStretchMode;
    std::unique_ptr<Internals> m_pInternals;
};
