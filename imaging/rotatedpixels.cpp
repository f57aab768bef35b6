#include "imaging/rotatedpixels.h"

#include "imaging/rlestream.h"

#include <algorithm>

void CDecodedRows::Prepare(const CRLEStream& source) {
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
      m_bMirrored(mirrored), m_bFlipped(flipped), m_pRows(&rows) {}

int CRotatedPixels::DecodeRow(int row, DWORD* out) const {
    const int width = GetWidth();
    const double cx = m_box.m_dCentreX, cy = m_box.m_dCentreY;
    const double c = m_box.m_dCos, s = m_box.m_dSin;
    const double boxW = m_box.m_nWidth, boxH = m_box.m_nHeight;
    const double sw = m_nSourceWidth, sh = m_nSourceHeight;
    // The terms of the row's y, as CRotatedBox::BoxPointOf groups them.
    const double dy = (m_cover.top + row + 0.5) - cy;
    const double rowU = dy * s, rowV = dy * c;
    for (int i = 0; i < width; ++i) {
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
    return width;
}
