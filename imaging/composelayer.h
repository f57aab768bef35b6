#pragma once
// What composition reads of a layer: its box in page pixels, its display
// options and its run-length coded pixels. Layers of the design derive
// from it.

#include "imaging/rlestream.h"
#include "imaging/rotatedpixels.h"

class CComposeLayer {
public:
    CComposeLayer() = default;
    virtual ~CComposeLayer() = default;

    double m_dX = 50.0;
    double m_dY = 50.0;
    double m_dWidth = 400.0; // used by magnitude: negative boxes draw as positive
    double m_dHeight = 300.0;
    int m_nOpacity = 255; // low byte: 0 hides, otherwise scales the alpha
    int m_nVisible = 1;
    int m_nMirrored = 0;
    int m_nFlipped = 0;
    // Degrees clockwise about the box's centre; see rotatedbox.h.
    double m_dAngle = 0.0;
    CRLEStream m_stream;
    // The stream decoded, kept while the layer is turned.
    CDecodedRows m_turnedRows;
};

// The product table of the composition: entry [i * 256 + j] is
// (i * (j + 1)) >> 8, so every blend is a table look-up.
void FillProductTable(BYTE table[65536]);
