#pragma once
// A layer's pixels made for the size its box takes on a print or an export
// at size, so that the composition shows them one to one instead of
// stretching the layer's screen pixels: drawn (a vector picture, a text)
// or resampled from the picture's own pixels. Large pictures are drawn a
// band of rows at a time, when composition first asks for a row of it, so
// a page-sized layer at 600 dots per inch never lives whole in memory.

#include "imaging/layerpixels.h"

#include <QImage>

#include <memory>

class QPainter;

// Rows drawn band by band by a subclass, in premultiplied ARGB, and handed
// to composition as layer words (colours without the alpha multiplied in).
class CDrawnPixels : public CLayerPixels {
public:
    CDrawnPixels(int width, int height);
    ~CDrawnPixels() override;

    int GetWidth() const override { return m_nWidth; }
    int GetHeight() const override { return m_nHeight; }
    int DecodeRow(int row, DWORD* out) const override;

protected:
    // Draws the whole picture (width x height) with its top row at -top, onto
    // a band that starts transparent and shows only the band's rows.
    virtual void DrawBand(QPainter& painter, int top) const = 0;

private:
    int m_nWidth;
    int m_nHeight;
    int m_nBandRows; // rows of one band
    mutable QImage m_band;
    mutable int m_nBandTop = -1;
};

// A picture at its own resolution resampled to width x height: averaged
// over the area each new pixel covers where the picture is reduced,
// bilinear where it is enlarged, colour and transparency together.
class CResampledPixels : public CDrawnPixels {
public:
    // picture: premultiplied ARGB.
    CResampledPixels(const QImage& picture, int width, int height);

    int DecodeRow(int row, DWORD* out) const override;

protected:
    void DrawBand(QPainter& painter, int top) const override;

private:
    QImage m_reduced; // the picture reduced where it is larger, else itself
};

// The same pixels with every colour made white: composed over black they
// give the coverage of the layers, the alpha of a transparent export.
class CWhiteInkPixels : public CLayerPixels {
public:
    explicit CWhiteInkPixels(const CLayerPixels& inner) : m_inner(inner) {}
    int GetWidth() const override { return m_inner.GetWidth(); }
    int GetHeight() const override { return m_inner.GetHeight(); }
    int DecodeRow(int row, DWORD* out) const override;

private:
    const CLayerPixels& m_inner;
};

// Every pixel of the source as one premultiplied ARGB picture; a null image
// when it cannot be made.
QImage PremultipliedImageOf(const CLayerPixels& source);

// Layer word <-> Qt colour (not premultiplied).
inline QRgb RgbOfWord(DWORD word) {
    return QRgb((word >> 8) | (word << 24));
}
inline DWORD WordOfRgb(QRgb rgb) {
    return DWORD((rgb << 8) | (rgb >> 24));
}
