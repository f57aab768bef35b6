#pragma once
// One layer of a design: a box on the page, display options and its pixels
// as a run-length stream. Picture layers show a CDIB; text layers render a
// text with a font, a colour and an alignment.

#include "imaging/composelayer.h"
#include "platform/logfont.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDIB;
class CLayerPixels;
class CProgressReceiver;

class CLayerChannel : public CComposeLayer {
public:
    enum : int { kText = 1, kPicture = 2 };

    CLayerChannel(int kind, int key, int opacity);
    ~CLayerChannel() override;

    // Makes the stream from the content; the base has none.
    virtual bool BuildStream();
    // The layer's pixels made afresh for a box of width x height pixels,
    // for printing and exporting at size: here the stream resampled, in the
    // kinds drawn from their content. Null when the stream is empty.
    virtual std::unique_ptr<CLayerPixels> PixelsAtSize(int width, int height) const;
    // Appends the box record: reserved, x, y, width, height, visible,
    // mirrored, flipped, one per line.
    bool WriteText(std::string& out) const;

    void SetBox(const CRect& box);
    void SetGeometry(double x, double y, double width, double height);
    // The integer box: left and top truncated, plus the truncated sizes.
    CRect GetIntBox() const;

    int m_nKind;
    int m_nReserved = 0;
    int m_nKey;
    int m_nModified = 0;
    int m_nBuildResult = 0;
    // Lines of a design file's extension block that belong to this layer
    // and that this program does not know: written back as they were read.
    std::vector<std::string> m_extensionLines;
};

class CLayerChannel_DIB : public CLayerChannel {
public:
    CLayerChannel_DIB(CDIB* picture, int key, int opacity);
    bool BuildStream() override;
    // Drawn from the picture's vector drawing (an .svg beside its image
    // file) when it has one, else its own pixels resampled.
    std::unique_ptr<CLayerPixels> PixelsAtSize(int width, int height) const override;

    CDIB* m_pPicture; // owned by the layer-list item
};

class CLayerChannel_Text : public CLayerChannel {
public:
    CLayerChannel_Text(const std::string& text, int key, int opacity, const LOGFONTA& font,
                       COLORREF colour, int alignment);
    bool BuildStream() override;
    // The text drawn with its font at the box's size, smoothly, its lines
    // broken where the stream's are.
    std::unique_ptr<CLayerPixels> PixelsAtSize(int width, int height) const override;

    std::string m_strText;
    LOGFONTA m_font;
    COLORREF m_crText;
    int m_nAlignment;      // 0 left, 1 centred, 2 right
    int m_nDrawFactor = 1; // the font's size was multiplied by it for the stream
};

// Renders a text as a picture of exactly ink and paper (white paper for
// black ink, black for any other), measured with word wrapping at the wrap
// width and clamped to 1800 x 1500. Null for an empty text or a failure.
CDIB* RenderText(const std::string& text, const LOGFONTA* font, COLORREF ink, int alignment,
                 int wrapWidth, int wrapHeight);

// The size of the picture RenderText gives for the same arguments, without
// drawing it; 0 x 0 when it gives none.
CSize TextPictureSize(const std::string& text, const LOGFONTA* font, int alignment, int wrapWidth,
                      int wrapHeight);

// The text drawn as RenderText lays it out at the font's size (wrapped at
// the wrap width, in a picture of the layout size), scaled onto a box of
// width x height pixels with smooth edges: ink where the text is,
// transparent elsewhere.
std::unique_ptr<CLayerPixels> DrawnTextPixels(const std::string& text, const LOGFONTA& font,
                                              COLORREF ink, int alignment, CSize layout, int width,
                                              int height);

// The vector drawing staged beside a picture's image file (the same name
// with ".svg"), found as pictures are found; empty when there is none.
std::string VectorDrawingOf(const CDIB& picture);
// The drawing in a box of width x height pixels; null when it cannot be read.
std::unique_ptr<CLayerPixels> DrawnVectorPixels(const std::string& svgPath, int width, int height);

// Long text renders report their progress to a receiver made by the user
// interface (a small popup captioned with the text's first line); without
// one they run quietly.
using TextProgressFactory =
    std::function<std::unique_ptr<CProgressReceiver>(const std::string& caption)>;
void SetTextProgressFactory(TextProgressFactory factory);
TextProgressFactory GetTextProgressFactory();
