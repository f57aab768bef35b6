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
class CProgressReceiver;

class CLayerChannel : public CComposeLayer {
public:
    enum : int { kText = 1, kPicture = 2 };

    CLayerChannel(int kind, int key, int opacity);
    ~CLayerChannel() override;

    // Makes the stream from the content; the base has none.
    virtual bool BuildStream();
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

    CDIB* m_pPicture; // owned by the layer-list item
};

class CLayerChannel_Text : public CLayerChannel {
public:
    CLayerChannel_Text(const std::string& text, int key, int opacity, const LOGFONTA& font,
                       COLORREF colour, int alignment);
    bool BuildStream() override;

    std::string m_strText;
    LOGFONTA m_font;
    COLORREF m_crText;
    int m_nAlignment; // 0 left, 1 centred, 2 right
};

// Renders a text as a picture of exactly ink and paper (white paper for
// black ink, black for any other), measured with word wrapping at the wrap
// width and clamped to 1800 x 1500. Null for an empty text or a failure.
CDIB* RenderText(const std::string& text, const LOGFONTA* font, COLORREF ink, int alignment,
                 int wrapWidth, int wrapHeight);

// Long text renders report their progress to a receiver made by the user
// interface (a small popup captioned with the text's first line); without
// one they run quietly.
using TextProgressFactory =
    std::function<std::unique_ptr<CProgressReceiver>(const std::string& caption)>;
void SetTextProgressFactory(TextProgressFactory factory);
