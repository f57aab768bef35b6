#pragma once
// A turned layer's pixels as composition reads them. Composition draws a
// turned layer as an unturned one over the page rectangle its turned box
// covers, one source pixel per page pixel; its rows come from here, each
// pixel sampled from the layer's own pixels through the inverse mapping of
// rotatedbox.h (nearest sampling, mirroring and flipping included), clear
// outside the turned box. So there is one composition routine, and a turned
// layer looks the same on the screen, in an export and on paper.

#include "imaging/rotatedbox.h"
#include "platform/wintypes.h"

#include <vector>

class CLayerPixels;

// A layer's own pixels decoded, each row once when first asked for; kept
// with the layer from one composition to the next (a turned layer dragged
// over the page samples the same rows again and again).
class CDecodedRows {
public:
    // Makes room for the source's rows (throws std::bad_alloc); rows of a
    // source decoded before stay when it is the same source.
    void Prepare(const CLayerPixels& source);
    // The row, decoded now if it was not; columns a damaged row lacks are clear.
    const DWORD* Row(int row);
    void Clear();

private:
    const CLayerPixels* m_pSource = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<DWORD> m_pixels;
    std::vector<bool> m_decoded;
};

class CRotatedPixels {
public:
    // The source's rows must have been prepared.
    CRotatedPixels(const CRotatedBox& box, int sourceWidth, int sourceHeight, bool mirrored,
                   bool flipped, CDecodedRows& rows);

    // Only these columns of the covered rectangle are read (the part on
    // the page); the others are left as they are.
    void LimitColumns(int first, int last);

    // The covered page rectangle (CRotatedBox::Cover) and its size.
    const CRect& Cover() const { return m_cover; }
    int GetWidth() const { return m_cover.Width(); }
    int GetHeight() const { return m_cover.Height(); }
    // Row `row` of the covered rectangle, GetWidth() words; answers GetWidth().
    int DecodeRow(int row, DWORD* out) const;

private:
    // The columns of the row, within the limits, whose pixels may lie in
    // the turned box (a pixel more on either side than the sides' lines).
    void RowSpan(double rowU, double rowV, int* first, int* last) const;

    CRotatedBox m_box;
    CRect m_cover;
    int m_nSourceWidth;
    int m_nSourceHeight;
    bool m_bMirrored;
    bool m_bFlipped;
    CDecodedRows* m_pRows;
    int m_nFirstColumn;
    int m_nLastColumn;
};
