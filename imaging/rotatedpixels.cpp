#include "imaging/rotatedpixels.h"

#include "imaging/layerpixels.h"

#include <algorithm>
#include <cmath>

void CDecodedRows::Prepare(const CLayerPixels& source) {
    if (m_pSource == &source && m_nWidth == source.GetWidth() && m_nHeight == source.GetHeight())
        return;
    Clear();
    m_pixels.assign(size_t(source.GetWidth()) * size_t(source.GetHeight()), 0);
    m_decoded.assign(size_t(source.GetHeight()), false);
    m_pSource = &source;
    m_nWidth = source.GetWidth();
    m_nHeight = source.GetHeight();
}

const DWORD* CDecodedRows::Row(int row) {
    DWORD* out = m_pixels.data() + size_t(row) * size_t(m_nWidth);
    if (!m_decoded[size_t(row)]) {
        const int decoded = m_pSource->DecodeRow(row, out);
        std::fill(out + std::max(decoded, 0), out + m_nWidth, DWORD(0));
        m_decoded[size_t(row)] = true;
    }
    return out;
}

void CDecodedRows::Clear() {
    m_pSource = nullptr;
    m_nWidth = m_nHeight = 0;
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_decoded.clear();
    m_decoded.shrink_to_fit();
}

CRotatedPixels::CRotatedPixels(const CRotatedBox& box, int sourceWidth, int sourceHeight,
                               bool mirrored, bool flipped, CDecodedRows& rows)
    : m_box(box), m_cover(box.Cover()), m_nSourceWidth(sourceWidth), m_nSourceHeight(sourceHeight),
      m_bMirrored(mirrored), m_bFlipped(flipped), m_pRows(&rows), m_nFirstColumn(0),
      m_nLastColumn(m_cover.Width()) {}

void CRotatedPixels::LimitColumns(int first, int last) {
    m_nFirstColumn = std::clamp(first, 0, GetWidth());
    m_nLastColumn = std::clamp(last, m_nFirstColumn, GetWidth());
}

namespace {

// Narrows [first, last) to the columns i where k + i * step may lie in
// [0, size), with a column more on either side; a step of 0 keeps all
// columns or none.
void Narrow(double k, double step, double size, double* first, double* last) {
    if (step == 0.0) {
        if (k < -1.0 || k > size + 1.0)
            *last = *first;
        return;
    }
    double a = -k / step, b = (size - k) / step;
    if (a > b)
        std::swap(a, b);
    *first = std::max(*first, std::floor(a) - 1);
    *last = std::min(*last, std::ceil(b) + 1);
}

} // namespace

void CRotatedPixels::RowSpan(double rowU, double rowV, int* first, int* last) const {
    // Along the row u grows by c and v by -s a column.
    const double c = m_box.m_dCos, s = m_box.m_dSin;
    const double dx0 = (m_cover.left + 0.5) - m_box.m_dCentreX;
    const double u0 = m_box.m_dCentreX + (dx0 * c + rowU) - m_box.m_nLeft;
    const double v0 = m_box.m_dCentreY + (rowV - dx0 * s) - m_box.m_nTop;
    double a = m_nFirstColumn, b = m_nLastColumn;
    Narrow(u0, c, m_box.m_nWidth, &a, &b);
    Narrow(v0, -s, m_box.m_nHeight, &a, &b);
    *first = int(std::clamp(a, double(m_nFirstColumn), double(m_nLastColumn)));
    *last = int(std::clamp(b, double(*first), double(m_nLastColumn)));
}

int CRotatedPixels::DecodeRow(int row, DWORD* out) const {
    const double cx = m_box.m_dCentreX, cy = m_box.m_dCentreY;
    const double c = m_box.m_dCos, s = m_box.m_dSin;
    const double boxW = m_box.m_nWidth, boxH = m_box.m_nHeight;
    const double sw = m_nSourceWidth, sh = m_nSourceHeight;
    // The terms of the row's y, as CRotatedBox::BoxPointOf groups them.
    const double dy = (m_cover.top + row + 0.5) - cy;
    const double rowU = dy * s, rowV = dy * c;
    int first = 0, last = 0;
    RowSpan(rowU, rowV, &first, &last);
    std::fill(out + m_nFirstColumn, out + first, DWORD(0));
    std::fill(out + last, out + m_nLastColumn, DWORD(0));
    for (int i = first; i < last; ++i) {
        const double dx = (m_cover.left + i + 0.5) - cx;
        const double u = cx + (dx * c + rowU) - m_box.m_nLeft;
        const double v = cy + (rowV - dx * s) - m_box.m_nTop;
        if (!(u >= 0 && u < boxW && v >= 0 && v < boxH)) {
            out[i] = 0;
            continue;
        }
        int sc = std::min(int(u * sw / boxW), m_nSourceWidth - 1);
        int sr = std::min(int(v * sh / boxH), m_nSourceHeight - 1);
        if (m_bMirrored)
            sc = m_nSourceWidth - 1 - sc;
        if (m_bFlipped)
            sr = m_nSourceHeight - 1 - sr;
        out[i] = m_pRows->Row(sr)[sc];
    }
    return GetWidth();
}
