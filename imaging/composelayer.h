#pragma once
// What composition reads of a layer: its box in page pixels, its display
// options and its run-length coded pixels. Layers of the design derive
// from it.

#include "imaging/rlestream.h"
#include "imaging/rotatedpixels.h"

#include <memory>

class CRowSource;
struct CComposeFrame;

class CComposeLayer {
public:
    CComposeLayer() = default;
    virtual ~CComposeLayer() = default;

    // How composition reads the layer on the frame's rows, or null when it
    // takes no part (no valid stream, hidden, opacity 0, outside the clip).
    // The stream scaled into the box by nearest sampling unless a kind of
    // layer maps its pixels otherwise.
    virtual std::unique_ptr<CRowSource> MakeRowSource(const CComposeFrame& frame) const;

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
    // While set, the layer's pixels drawn for its box at the resolution of
    // a print or an export at size, read instead of the stream (which still
    // decides whether the layer takes part). Not owned.
    const CLayerPixels* m_pSizedPixels = nullptr;
    // The stream decoded, kept while the layer is turned.
    mutable CDecodedRows m_turnedRows;
};

// The product table of the composition: entry [i * 256 + j] is
// (i * (j + 1)) >> 8, so every blend is a table look-up.
void FillProductTable(BYTE table[65536]);
