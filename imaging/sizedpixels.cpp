#include "imaging/sizedpixels.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

// A band holds about 4 million pixels (16 MB).
constexpr long long kBandPixels = 1 << 22;

void WordsOfPremultipliedRow(const QRgb* in, int count, DWORD* out) {
    for (int x = 0; x < count; ++x) {
        const QRgb p = in[x];
        const int alpha = qAlpha(p);
        // Most pixels are clear or opaque: no division for them.
        out[x] = alpha == 0 ? 0 : alpha == 255 ? WordOfRgb(p) : WordOfRgb(qUnpremultiply(p));
    }
}

} // namespace

CDrawnPixels::CDrawnPixels(int width, int height)
    : m_nWidth(std::max(width, 0)), m_nHeight(std::max(height, 0)),
      m_nBandRows(
          int(std::clamp<long long>(kBandPixels / std::max(width, 1), 1, std::max(height, 1)))) {}

CDrawnPixels::~CDrawnPixels() = default;

int CDrawnPixels::DecodeRow(int row, DWORD* out) const {
    if (row < 0 || row >= m_nHeight || m_nWidth <= 0)
        return 0;
    if (m_nBandTop < 0 || row < m_nBandTop || row >= m_nBandTop + m_band.height()) {
        const int top = row / m_nBandRows * m_nBandRows;
        const int rows = std::min(m_nBandRows, m_nHeight - top);
        if (m_band.width() != m_nWidth || m_band.height() != rows)
            m_band = QImage(m_nWidth, rows, QImage::Format_ARGB32_Premultiplied);
        if (m_band.isNull()) {
            m_nBandTop = -1;
            return 0;
        }
        m_band.fill(Qt::transparent);
        QPainter painter(&m_band);
        DrawBand(painter, top);
        painter.end();
        m_nBandTop = top;
    }
    WordsOfPremultipliedRow(reinterpret_cast<const QRgb*>(m_band.constScanLine(row - m_nBandTop)),
                            m_nWidth, out);
    return m_nWidth;
}

CResampledPixels::CResampledPixels(const QImage& picture, int width, int height)
    : CDrawnPixels(width, height) {
    // Qt's smooth scaling averages the area of every new pixel when it
    // reduces; only the sides that shrink are reduced here.
    const int w = std::min(width, picture.width()), h = std::min(height, picture.height());
    m_reduced = w == picture.width() && h == picture.height()
                    ? picture
                    : picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int CResampledPixels::DecodeRow(int row, DWORD* out) const {
    if (m_reduced.width() != GetWidth() || m_reduced.height() != GetHeight())
        return CDrawnPixels::DecodeRow(row, out);
    // Nothing is enlarged: the reduced picture's rows are the pixels.
    if (row < 0 || row >= GetHeight())
        return 0;
    WordsOfPremultipliedRow(reinterpret_cast<const QRgb*>(m_reduced.constScanLine(row)), GetWidth(),
                            out);
    return GetWidth();
}

void CResampledPixels::DrawBand(QPainter& painter, int top) const {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, -top, GetWidth(), GetHeight()), m_reduced);
}

int CWhiteInkPixels::DecodeRow(int row, DWORD* out) const {
    const int n = m_inner.DecodeRow(row, out);
    for (int x = 0; x < n; ++x)
        out[x] = (out[x] & 0xFF) | 0xFFFFFF00u;
    return n;
}

QImage PremultipliedImageOf(const CLayerPixels& source) {
    const int w = source.GetWidth(), h = source.GetHeight();
    if (w <= 0 || h <= 0)
        return QImage();
    QImage image(w, h, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    std::vector<DWORD> row(size_t(w), 0);
    for (int y = 0; y < h; ++y) {
        const int n = source.DecodeRow(y, row.data());
        std::fill(row.begin() + std::max(n, 0), row.end(), DWORD(0));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = RgbOfWord(row[size_t(x)]);
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}
