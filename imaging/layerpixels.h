#pragma once
// Where composition reads a layer's pixels from, row by row: 32-bit words
// with alpha in bits 0-7, blue 8-15, green 16-23 and red 24-31. A layer's
// run-length stream is one source; pictures and texts drawn afresh at the
// size of their box on a print or an export at size are others.

#include "platform/wintypes.h"

class CLayerPixels {
public:
    virtual ~CLayerPixels() = default;

    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Writes row (counted from the top) into out, GetWidth() words; answers
    // how many columns it wrote (fewer only for a damaged source).
    virtual int DecodeRow(int row, DWORD* out) const = 0;
};
