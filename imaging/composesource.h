#pragma once
// How the composition reads one layer: row by row, the page columns the
// layer covers on that row and its pixel words for them. A layer's source
// decides how page pixels map to its pixels; the blending is the same for
// all. The scaled source reads the layer's stream, or the pixels made for
// its box on a print, into its box by nearest sampling, mirrored and
// flipped as the layer says.

#include "imaging/rotatedpixels.h"
#include "platform/wintypes.h"

#include <memory>
#include <vector>

class CComposeLayer;
class CLayerPixels;

// The page as one composition sees it.
struct CComposeFrame {
    int width = 0, height = 0;       // the page
    int clipLeft = 0, clipRight = 0; // the columns composed on each row
};

// Pixel words for a run of page columns: word i is words[columns[i]], or
// words[i] when there are no columns.
struct CSourceSpan {
    const DWORD* words = nullptr;
    const int* columns = nullptr;
};

class CRowSource {
public:
    virtual ~CRowSource() = default;
    // The page columns [*from, *to) the layer covers on page row y, within
    // the frame's clip columns; false when it shows nothing on the row.
    virtual bool Span(int y, int* from, int* to) = 0;
    // The words for page columns from .. to - 1 of row y, a part of the
    // span just given; valid until the next call.
    virtual CSourceSpan Words(int y, int from, int to) = 0;
    // The layer's opacity, 1 to 255.
    virtual int Opacity() const = 0;
};

// A layer's pixels (its stream, or those made at its box's size) scaled
// into the layer's integer box by nearest sampling: the
// source row is trunc((y - top) * stream height / box height) and the
// source column trunc((x - left) * stream width / box width), both in
// double precision, mirrored and flipped from the other end.
class CScaledStreamSource : public CRowSource {
public:
    CScaledStreamSource(const CComposeLayer& layer, const CComposeFrame& frame);
    // Whether the layer shows anything in the frame at all.
    bool Shows() const { return m_nFrom < m_nTo; }

    bool Span(int y, int* from, int* to) override;
    CSourceSpan Words(int y, int from, int to) override;
    int Opacity() const override { return m_nOpacity; }

private:
    const CLayerPixels& m_pixels;
    int m_nLeft, m_nTop, m_nWidth, m_nHeight; // the integer box, sizes positive
    int m_nFrom, m_nTo;                       // page columns shown, clipped
    int m_nOpacity;
    bool m_bFlipped;
    bool m_bIdentity;           // one source column per page column, in order
    std::vector<int> m_columns; // source column of page columns m_nFrom ..
    std::vector<DWORD> m_row;   // the decoded source row
    int m_nDecodedRow = -1;
};

// A turned layer: it takes part as an unturned one over the page rectangle
// its turned box covers, one pixel of its turned pixels per page pixel.
class CTurnedSource : public CRowSource {
public:
    CTurnedSource(const CComposeLayer& layer, const CRotatedBox& box, const CComposeFrame& frame);
    bool Shows() const { return m_nFrom < m_nTo; }

    bool Span(int y, int* from, int* to) override;
    CSourceSpan Words(int y, int from, int to) override;
    int Opacity() const override { return m_nOpacity; }

private:
    // Pixels made for a print have rows of their own, dropped with them; the
    // stream's rows stay with the layer for the next composition.
    std::unique_ptr<CDecodedRows> m_pOwnRows;
    std::unique_ptr<CRotatedPixels> m_pTurned;
    int m_nFrom = 0, m_nTo = 0; // page columns shown, clipped
    int m_nOpacity;
    std::vector<DWORD> m_row;
};
