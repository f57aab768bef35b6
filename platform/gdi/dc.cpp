// The context itself: construction, pixels, pictures, device capabilities,
// the selected objects, colours and modes, saved states and clipping.

#include "platform/gdi/dc.h"

#include "platform/gdi/dcstate.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

CDC::CDC(QPainter* painter, QImage* image)
    : m_pPainter(painter), m_pImage(image), m_nStretchMode(COLORONCOLOR),
      m_pInternals(std::make_unique<Internals>()) {
    Internals& in = *m_pInternals;
    for (int i = 0; i < 3; ++i)
        in.stockPens[i].CreateStockObject(WHITE_PEN + i);
    for (int i = 0; i < 6; ++i)
        in.stockBrushes[i].CreateStockObject(WHITE_BRUSH + i);
    if (m_pPainter) {
        // Every pixel rule of the context assumes hard edges.
        m_pPainter->setRenderHint(QPainter::Antialiasing, false);
        in.initialFont = m_pPainter->font();
    }
    const LOGFONTA initial = platform::LogFontFromFont(in.initialFont);
    in.defaultFont.CreateFontIndirect(&initial);
    DrawingState& s = in.state;
    s.pPen = &in.stockPens[BLACK_PEN - WHITE_PEN];
    s.pen = *s.pPen;
    s.pBrush = &in.stockBrushes[WHITE_BRUSH];
    s.brush = *s.pBrush;
    s.pFont = &in.defaultFont;
    s.font = in.defaultFont;
}

CDC::~CDC() {
    // Levels saved and never restored belong to this context, not to the
    // painter's owner.
    if (m_pPainter && m_pPainter->isActive())
        for (size_t i = 0; i < m_pInternals->saved.size(); ++i)
            m_pPainter->restore();
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (!m_pImage || !m_pImage->valid(x, y))
        return CLR_INVALID;
    const QRgb p = m_pImage->pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    if (!m_pImage || !m_pImage->valid(x, y))
        return CLR_INVALID;
    m_pImage->setPixel(x, y, qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    return GetPixel(x, y);
}

int CDC::SetStretchBltMode(int mode) {
    if (mode != BLACKONWHITE && mode != 2 && mode != COLORONCOLOR && mode != HALFTONE)
        return 0;
    const int previous = m_nStretchMode;
    m_nStretchMode = mode;
    return previous;
}

namespace {

int TableEntries(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8)
        return 0;
    return h.biClrUsed ? int(h.biClrUsed) : 1 << h.biBitCount;
}

QList<QRgb> ColourTable(const BITMAPINFO* info) {
    QList<QRgb> table;
    const int n = std::min(TableEntries(info->bmiHeader), 256);
    for (int i = 0; i < n; ++i) {
        const RGBQUAD& q = info->bmiColors[i];
        table.append(qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
    return table;
}

// A view of the DIB's storage rows as an image: row 0 of the view is the
// bottom row of the picture. 4-bit pictures are widened to 8 bits.
QImage StorageView(const void* bits, const BITMAPINFO* info) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int width = h.biWidth, height = std::abs(h.biHeight);
    const int rowBytes = ((h.biBitCount * width + 31) / 32) * 4;
    const auto* data = static_cast<const uchar*>(bits);
    QImage view;
    switch (h.biBitCount) {
    case 1:
        view = QImage(data, width, height, rowBytes, QImage::Format_Mono);
        view.setColorTable(ColourTable(info));
        break;
    case 4: {
        view = QImage(width, height, QImage::Format_Indexed8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uchar b = data[size_t(y) * rowBytes + x / 2];
                view.scanLine(y)[x] = (x % 2) ? (b & 0x0F) : (b >> 4);
            }
        QList<QRgb> table = ColourTable(info);
        while (table.size() < 16)
            table.append(qRgb(0, 0, 0));
        view.setColorTable(table);
        break;
    }
    case 8: {
        view = QImage(data, width, height, rowBytes, QImage::Format_Indexed8);
        QList<QRgb> table = ColourTable(info);
        while (table.size() < 256)
            table.append(qRgb(0, 0, 0));
        view.setColorTable(table);
        break;
    }
    case 24:
        view = QImage(data, width, height, rowBytes, QImage::Format_BGR888);
        break;
    case 32:
        view = QImage(data, width, height, rowBytes, QImage::Format_RGB32);
        break;
    default:
        break;
    }
    return view;
}

} // namespace

int CDC::StretchDIBits(int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                       int hSrc, const void* bits, const BITMAPINFO* info, UINT, DWORD) {
    RECT dest{xDest, yDest, xDest + wDest, yDest + hDest};
    return StretchDIBitsRepeated({dest}, xSrc, ySrc, wSrc, hSrc, bits, info);
}

int CDC::StretchDIBitsRepeated(const std::vector<RECT>& dests, int xSrc, int ySrc, int wSrc,
                               int hSrc, const void* bits, const BITMAPINFO* info) {
    if (!m_pPainter || !bits || !info || wSrc == 0 || hSrc == 0)
        return GDI_ERROR;
    const QImage view = StorageView(bits, info);
    if (view.isNull())
        return GDI_ERROR;
    const bool topDown = info->bmiHeader.biHeight < 0;
    for (const RECT& dest : dests) {
        const int xDest = dest.left, yDest = dest.top;
        const int wDest = dest.right - dest.left, hDest = dest.bottom - dest.top;
        m_pPainter->save();
        m_pPainter->setRenderHint(QPainter::SmoothPixmapTransform, m_nStretchMode == HALFTONE);
        // A printed picture keeps its exact pixels: printers and PDF files get
        // it without lossy compression.
        m_pPainter->setRenderHint(QPainter::LosslessImageRendering, true);
        // Map the source rectangle of the storage rows onto the destination;
        // storage rows run from the bottom, so the vertical axis is turned over.
        QTransform t;
        t.translate(xDest, topDown ? yDest : yDest + hDest);
        t.scale(double(wDest) / wSrc, (topDown ? 1.0 : -1.0) * hDest / hSrc);
        t.translate(-xSrc, -ySrc);
        m_pPainter->setTransform(t, true);
        m_pPainter->drawImage(QRectF(xSrc, ySrc, wSrc, hSrc), view, QRectF(xSrc, ySrc, wSrc, hSrc));
        m_pPainter->restore();
    }
    return std::abs(hSrc);
}

namespace {

// The sheet of a printer, in its device pixels; the printable area is the
// painter's device.
int PrinterCaps(const QPrinter& printer, int index) {
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return printer.resolution();
    case PHYSICALWIDTH:
        return qRound(paper.width());
    case PHYSICALHEIGHT:
        return qRound(paper.height());
    case PHYSICALOFFSETX:
        return qRound(page.left() - paper.left());
    case PHYSICALOFFSETY:
        return qRound(page.top() - paper.top());
    default:
        return 0;
    }
}

} // namespace

BOOL CDC::IsPrinting() const {
    return m_pPainter && dynamic_cast<const QPrinter*>(m_pPainter->device()) ? TRUE : FALSE;
}

int CDC::GetDeviceCaps(int index) const {
    const QPaintDevice* device = m_pPainter ? m_pPainter->device() : nullptr;
    if (!device)
        return 0;
    if (const auto* printer = dynamic_cast<const QPrinter*>(device)) {
        switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
        case PHYSICALWIDTH:
        case PHYSICALHEIGHT:
        case PHYSICALOFFSETX:
        case PHYSICALOFFSETY:
            return PrinterCaps(*printer, index);
        default:
            break;
        }
    }
    switch (index) {
    case HORZSIZE:
        return device->widthMM();
    case VERTSIZE:
        return device->heightMM();
    case HORZRES:
        return device->width();
    case VERTRES:
        return device->height();
    case BITSPIXEL:
        return device->depth();
    case PLANES:
        return 1;
    case NUMCOLORS:
        return device->depth() <= 8 ? 1 << device->depth() : -1;
    case LOGPIXELSX:
        return device->logicalDpiX();
    case LOGPIXELSY:
        return device->logicalDpiY();
    default:
        return 0;
    }
}

// Selected objects ---------------------------------------------------------------

CPen* CDC::SelectObject(CPen* pen) {
    if (!pen || !pen->GetSafeHandle())
        return nullptr;
    DrawingState& s = m_pInternals->state;
    CPen* previous = s.pPen;
    s.pPen = pen;
    s.pen = *pen;
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (!brush || !brush->GetSafeHandle())
        return nullptr;
    DrawingState& s = m_pInternals->state;
    CBrush* previous = s.pBrush;
    s.pBrush = brush;
    s.brush = *brush;
    return previous;
}

CFont* CDC::SelectObject(CFont* font) {
    if (!font || !font->GetSafeHandle())
        return nullptr;
    Internals& in = *m_pInternals;
    CFont* previous = in.state.pFont;
    in.state.pFont = font;
    in.state.font = *font;
    // The context's own font goes back to the painter exactly as it was,
    // not through its description.
    if (m_pPainter)
        m_pPainter->setFont(font == &in.defaultFont ? in.initialFont
                                                    : platform::FontFromLogFont(font->LogFont()));
    return previous;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (auto* pen = dynamic_cast<CPen*>(object))
        return SelectObject(pen);
    if (auto* brush = dynamic_cast<CBrush*>(object))
        return SelectObject(brush);
    if (auto* font = dynamic_cast<CFont*>(object))
        return SelectObject(font);
    return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) {
    Internals& in = *m_pInternals;
    if (index >= WHITE_BRUSH && index <= NULL_BRUSH)
        return SelectObject(&in.stockBrushes[index - WHITE_BRUSH]);
    if (index >= WHITE_PEN && index <= NULL_PEN)
        return SelectObject(&in.stockPens[index - WHITE_PEN]);
    if (index == SYSTEM_FONT || index == DEFAULT_GUI_FONT)
        return SelectObject(&in.defaultFont);
    return nullptr;
}

CPen* CDC::GetCurrentPen() const {
    return m_pInternals->state.pPen;
}
CBrush* CDC::GetCurrentBrush() const {
    return m_pInternals->state.pBrush;
}
CFont* CDC::GetCurrentFont() const {
    return m_pInternals->state.pFont;
}

// Colours and modes --------------------------------------------------------------

COLORREF CDC::SetTextColor(COLORREF colour) {
    return std::exchange(m_pInternals->state.textColor, colour & 0xFFFFFF);
}
COLORREF CDC::GetTextColor() const {
    return m_pInternals->state.textColor;
}
COLORREF CDC::SetBkColor(COLORREF colour) {
    return std::exchange(m_pInternals->state.bkColor, colour & 0xFFFFFF);
}
COLORREF CDC::GetBkColor() const {
    return m_pInternals->state.bkColor;
}

int CDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_pInternals->state.bkMode, mode);
}
int CDC::GetBkMode() const {
    return m_pInternals->state.bkMode;
}

int CDC::SetPolyFillMode(int mode) {
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(m_pInternals->state.polyFillMode, mode);
}
int CDC::GetPolyFillMode() const {
    return m_pInternals->state.polyFillMode;
}

// Saved states and clipping ---------------------------------------------------------

int CDC::SaveDC() {
    if (!m_pPainter)
        return 0;
    m_pPainter->save();
    m_pInternals->saved.push_back(m_pInternals->state);
    return int(m_pInternals->saved.size());
}

BOOL CDC::RestoreDC(int savedDC) {
    std::vector<DrawingState>& saved = m_pInternals->saved;
    const int levels = int(saved.size());
    // A negative level counts back from the latest save.
    const int level = savedDC < 0 ? levels + 1 + savedDC : savedDC;
    if (!m_pPainter || level < 1 || level > levels)
        return FALSE;
    for (int i = levels; i >= level; --i)
        m_pPainter->restore();
    m_pInternals->state = saved[size_t(level - 1)];
    saved.resize(size_t(level - 1));
    return TRUE;
}

int CDC::ClipResult() const {
    if (!m_pPainter->hasClipping())
        return SIMPLEREGION;
    const QRegion clip = m_pPainter->clipRegion();
    if (clip.isEmpty())
        return NULLREGION;
    return clip.rectCount() > 1 ? COMPLEXREGION : SIMPLEREGION;
}

CRect CDC::VisibleArea(int margin) const {
    constexpr int kFar = 1 << 29; // when nothing better is known
    const QPaintDevice* device = m_pPainter ? m_pPainter->device() : nullptr;
    bool invertible = false;
    const QTransform back =
        m_pPainter ? m_pPainter->combinedTransform().inverted(&invertible) : QTransform();
    if (!device || !invertible)
        return CRect(-kFar, -kFar, kFar, kFar);
    const QRect area = back.mapRect(QRect(0, 0, device->width(), device->height()));
    CRect visible(area.x(), area.y(), area.x() + area.width(), area.y() + area.height());
    visible.InflateRect(margin + 1, margin + 1);
    return visible;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    if (!m_pPainter)
        return 0;
    CRect r(left, top, right, bottom);
    r.NormalizeRect();
    m_pPainter->setClipRect(QRect(r.left, r.top, r.Width(), r.Height()), Qt::IntersectClip);
    return ClipResult();
}

int CDC::IntersectClipRect(const RECT& rect) {
    return IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom);
}

int CDC::SelectClipRgn(std::nullptr_t) {
    if (!m_pPainter)
        return 0;
    m_pPainter->setClipping(false);
    return SIMPLEREGION;
}
