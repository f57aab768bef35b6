#include "platform/dc.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

CDC::CDC(QPainter* painter, QImage* image)
    : m_pPainter(painter), m_pImage(image), m_nStretchMode(COLORONCOLOR) {}

CDC::~CDC() = default;

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
    if (!m_pPainter || !bits || !info || wSrc == 0 || hSrc == 0)
        return GDI_ERROR;
    const QImage view = StorageView(bits, info);
    if (view.isNull())
        return GDI_ERROR;
    const bool topDown = info->bmiHeader.biHeight < 0;
    m_pPainter->save();
    m_pPainter->setRenderHint(QPainter::SmoothPixmapTransform, m_nStretchMode == HALFTONE);
    // Map the source rectangle of the storage rows onto the destination;
    // storage rows run from the bottom, so the vertical axis is turned over.
    QTransform t;
    t.translate(xDest, topDown ? yDest : yDest + hDest);
    t.scale(double(wDest) / wSrc, (topDown ? 1.0 : -1.0) * hDest / hSrc);
    t.translate(-xSrc, -ySrc);
    m_pPainter->setTransform(t, true);
    m_pPainter->drawImage(QRectF(xSrc, ySrc, wSrc, hSrc), view, QRectF(xSrc, ySrc, wSrc, hSrc));
    m_pPainter->restore();
    return std::abs(hSrc);
}

int CDC::GetDeviceCaps(int index) const {
    const QPaintDevice* device = m_pPainter ? m_pPainter->device() : nullptr;
    if (!device)
        return 0;
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
