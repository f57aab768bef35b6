#pragma once
// The drawing context the program paints through: a thin layer over a
// QPainter on a widget, an image or a printer, with the window system's
// operations and their exact pixel rules. Contexts over an image can also
// read and set single pixels.

#include "platform/bitmapheaders.h"

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

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int GDI_ERROR = -1;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

class CDC {
public:
    // A context over a painter; give the image the painter draws on to make
    // pixels readable.
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
    // COLORONCOLOR samples the nearest pixel; HALFTONE smooths. Answers the
    // previous mode; 0 is refused and keeps the current one.
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_nStretchMode; }

    // Device ---------------------------------------------------------------
    int GetDeviceCaps(int index) const;

private:
    QPainter* m_pPainter;
    QImage* m_pImage;
    int m_nStretchMode;
};
