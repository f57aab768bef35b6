#include "imaging/composesource.h"

#include "imaging/composelayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::unique_ptr<CRowSource> CComposeLayer::MakeRowSource(const CComposeFrame& frame) const {
    if (!m_stream.IsValid() || !m_nVisible || !(m_nOpacity & 0xFF))
        return nullptr;
    if (const CRotatedBox box(*this); box.IsRotated()) {
        auto turned = std::make_unique<CTurnedSource>(*this, box, frame);
        if (!turned->Shows())
            return nullptr;
        return turned;
    }
    m_turnedRows.Clear();
    auto source = std::make_unique<CScaledStreamSource>(*this, frame);
    if (!source->Shows())
        return nullptr;
    return source;
}

CScaledStreamSource::CScaledStreamSource(const CComposeLayer& layer, const CComposeFrame& frame)
    : m_pixels(layer.m_pSizedPixels ? *layer.m_pSizedPixels : layer.m_stream),
      m_nLeft(int(std::trunc(layer.m_dX))), m_nTop(int(std::trunc(layer.m_dY))),
      m_nWidth(std::abs(int(std::trunc(layer.m_dWidth)))),
      m_nHeight(std::abs(int(std::trunc(layer.m_dHeight)))), m_nFrom(0), m_nTo(0),
      m_nOpacity(layer.m_nOpacity & 0xFF), m_bFlipped(layer.m_nFlipped != 0), m_bIdentity(false) {
    if (m_nHeight <= 0 || m_nWidth <= 0)
        return;
    m_nFrom = std::max({m_nLeft, frame.clipLeft, 0});
    m_nTo = int(std::min<long long>({(long long)m_nLeft + m_nWidth, frame.clipRight, frame.width}));
    if (m_nFrom >= m_nTo)
        return;
    const int sw = m_pixels.GetWidth();
    const bool mirrored = layer.m_nMirrored != 0;
    // A box as wide as the stream shows each column once, in order: the
    // decoded row is read as it is.
    m_bIdentity = !mirrored && m_nWidth == sw;
    if (!m_bIdentity) {
        m_columns.resize(size_t(m_nTo - m_nFrom));
        for (int x = m_nFrom; x < m_nTo; ++x) {
            const int sc = int(std::trunc(double(x - m_nLeft) * sw / m_nWidth));
            m_columns[size_t(x - m_nFrom)] = mirrored ? sw - 1 - sc : sc;
        }
    }
    m_row.resize(size_t(sw));
}

bool CScaledStreamSource::Span(int y, int* from, int* to) {
    if (y < m_nTop || y - m_nTop >= m_nHeight || m_nFrom >= m_nTo)
        return false;
    *from = m_nFrom;
    *to = m_nTo;
    return true;
}

CSourceSpan CScaledStreamSource::Words(int y, int from, int) {
    const int sh = m_pixels.GetHeight();
    int sr = int(std::trunc(double(y - m_nTop) * sh / m_nHeight));
    if (m_bFlipped)
        sr = sh - 1 - sr;
    // Enlarged layers show a source row on several page rows: it is decoded
    // once. Columns a damaged row does not hold stay transparent.
    if (sr != m_nDecodedRow) {
        const int decoded = m_pixels.DecodeRow(sr, m_row.data());
        std::fill(m_row.begin() + decoded, m_row.end(), DWORD(0));
        m_nDecodedRow = sr;
    }
    if (m_bIdentity)
        return {m_row.data() + (from - m_nLeft), nullptr};
    return {m_row.data(), m_columns.data() + (from - m_nFrom)};
}

CTurnedSource::CTurnedSource(const CComposeLayer& layer, const CRotatedBox& box,
                             const CComposeFrame& frame)
    : m_nOpacity(layer.m_nOpacity & 0xFF) {
    const int width = std::abs(int(std::trunc(layer.m_dWidth)));
    const int height = std::abs(int(std::trunc(layer.m_dHeight)));
    if (width <= 0 || height <= 0)
        return;
    const CLayerPixels& pixels = layer.m_pSizedPixels ? *layer.m_pSizedPixels : layer.m_stream;
    CDecodedRows* rows = &layer.m_turnedRows;
    if (layer.m_pSizedPixels) {
        m_pOwnRows = std::make_unique<CDecodedRows>();
        rows = m_pOwnRows.get();
    }
    rows->Prepare(pixels);
    m_pTurned =
        std::make_unique<CRotatedPixels>(box, pixels.GetWidth(), pixels.GetHeight(),
                                         layer.m_nMirrored != 0, layer.m_nFlipped != 0, *rows);
    const CRect& cover = m_pTurned->Cover();
    m_nFrom = std::max({int(cover.left), frame.clipLeft, 0});
    m_nTo = std::min({int(cover.right), frame.clipRight, frame.width});
    if (m_nFrom >= m_nTo)
        return;
    m_pTurned->LimitColumns(m_nFrom - cover.left, m_nTo - cover.left);
    m_row.assign(size_t(cover.Width()), 0);
}

bool CTurnedSource::Span(int y, int* from, int* to) {
    const CRect& cover = m_pTurned->Cover();
    if (m_nFrom >= m_nTo || y < cover.top || y >= cover.bottom)
        return false;
    *from = m_nFrom;
    *to = m_nTo;
    return true;
}

CSourceSpan CTurnedSource::Words(int y, int from, int) {
    const CRect& cover = m_pTurned->Cover();
    m_pTurned->DecodeRow(y - cover.top, m_row.data());
    return {m_row.data() + (from - cover.left), nullptr};
}
