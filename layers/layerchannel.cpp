#include "layers/layerchannel.h"

#include "imaging/dib.h"
#include "imaging/sizedpixels.h"
#include "platform/cursor.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdio>

CLayerChannel::CLayerChannel(int kind, int key, int opacity) : m_nKind(kind), m_nKey(key) {
    m_nOpacity = opacity & 0xFF;
}

CLayerChannel::~CLayerChannel() = default;

bool CLayerChannel::BuildStream() {
    return true;
}

std::unique_ptr<CLayerPixels> CLayerChannel::PixelsAtSize(int width, int height) const {
    if (!m_stream.IsValid() || width <= 0 || height <= 0)
        return nullptr;
    const QImage picture = PremultipliedImageOf(m_stream);
    if (picture.isNull())
        return nullptr;
    return std::make_unique<CResampledPixels>(picture, width, height);
}

bool CLayerChannel::WriteText(std::string& out) const {
    char text[256];
    std::snprintf(text, sizeof text, "%d\n%f\n%f\n%f\n%f\n%d\n%d\n%d\n", m_nReserved, m_dX, m_dY,
                  m_dWidth, m_dHeight, m_nVisible, m_nMirrored, m_nFlipped);
    out += text;
    return true;
}

void CLayerChannel::SetBox(const CRect& box) {
    m_dX = box.left;
    m_dY = box.top;
    m_dWidth = box.right - box.left;
    m_dHeight = box.bottom - box.top;
}

void CLayerChannel::SetGeometry(double x, double y, double width, double height) {
    m_dX = x;
    m_dY = y;
    m_dWidth = width;
    m_dHeight = height;
}

CRect CLayerChannel::GetIntBox() const {
    const int left = int(std::trunc(m_dX)), top = int(std::trunc(m_dY));
    return CRect(left, top, left + int(std::trunc(m_dWidth)), top + int(std::trunc(m_dHeight)));
}

CLayerChannel_DIB::CLayerChannel_DIB(CDIB* picture, int key, int opacity)
    : CLayerChannel(kPicture, key, opacity), m_pPicture(picture) {}

bool CLayerChannel_DIB::BuildStream() {
    if (!m_pPicture || m_stream.IsValid())
        return true;
    platform::CWaitCursor wait;
    m_nBuildResult = m_stream.Build(m_pPicture, 0) ? 1 : 0;
    return m_nBuildResult != 0;
}

std::unique_ptr<CLayerPixels> CLayerChannel_DIB::PixelsAtSize(int width, int height) const {
    if (m_pPicture && m_stream.IsValid() && width > 0 && height > 0) {
        const std::string drawing = VectorDrawingOf(*m_pPicture);
        if (!drawing.empty())
            if (auto drawn = DrawnVectorPixels(drawing, width, height))
                return drawn;
    }
    return CLayerChannel::PixelsAtSize(width, height);
}

CLayerChannel_Text::CLayerChannel_Text(const std::string& text, int key, int opacity,
                                       const LOGFONTA& font, COLORREF colour, int alignment)
    : CLayerChannel(kText, key, opacity), m_strText(text), m_font(font), m_crText(colour),
      m_nAlignment(alignment) {}

namespace {

// A text layer is scaled into its box on the page and printed at twice the
// page size: drawn at a screen font's size its letters would show as
// blocks. It is drawn this many pixels per line at least, as long as the
// picture stays within the text picture's limits.
constexpr int kSharpLineHeight = 96;
constexpr int kTextWrap = 1200;
constexpr int kMaxTextWidth = 1800;
constexpr int kMaxTextHeight = 1500;

// The whole factor by which the text can be drawn larger, its lines
// breaking where they broke at the font's own size.
int SharpnessFactor(const LOGFONTA& font, const CSize& picture) {
    const int line = QFontMetrics(platform::FontFromLogFont(font)).height();
    if (line <= 0 || picture.cx <= 0 || picture.cy <= 0)
        return 1;
    const int factor =
        std::min({(kSharpLineHeight + line - 1) / line, kMaxTextWidth / int(picture.cx),
                  kMaxTextHeight / int(picture.cy)});
    return std::max(factor, 1);
}

LOGFONTA ScaledFont(const LOGFONTA& font, int factor) {
    LOGFONTA scaled = font;
    if (font.lfHeight == 0) {
        // The default size, as a pixel height that can be scaled.
        const QFontMetrics metrics(platform::FontFromLogFont(font));
        scaled.lfHeight = -(metrics.ascent() + metrics.descent());
    }
    scaled.lfHeight *= factor;
    scaled.lfWidth *= factor;
    return scaled;
}

} // namespace

bool CLayerChannel_Text::BuildStream() {
    if (m_stream.IsValid())
        return true;
    platform::CWaitCursor wait;
    // Measured at the font's own size, drawn once at the size that keeps
    // the letters sharp (or at its own size when that cannot be drawn).
    const int factor = SharpnessFactor(
        m_font, TextPictureSize(m_strText, &m_font, m_nAlignment, kTextWrap, kTextWrap));
    std::unique_ptr<CDIB> picture;
    if (factor > 1) {
        const LOGFONTA sharp = ScaledFont(m_font, factor);
        picture.reset(RenderText(m_strText, &sharp, m_crText, m_nAlignment, kTextWrap * factor,
                                 kTextWrap * factor));
        if (picture)
            m_nDrawFactor = factor;
    }
    if (!picture)
        picture.reset(RenderText(m_strText, &m_font, m_crText, m_nAlignment, kTextWrap, kTextWrap));
    if (!picture)
        return true; // an empty stream is never drawn
    m_nBuildResult = m_stream.Build(picture.get(), 1) ? 1 : 0;
    return m_nBuildResult != 0;
}

std::unique_ptr<CLayerPixels> CLayerChannel_Text::PixelsAtSize(int width, int height) const {
    if (!m_stream.IsValid() || width <= 0 || height <= 0)
        return nullptr;
    const LOGFONTA font = m_nDrawFactor > 1 ? ScaledFont(m_font, m_nDrawFactor) : m_font;
    return DrawnTextPixels(m_strText, font, m_crText, m_nAlignment,
                           CSize(m_stream.GetWidth(), m_stream.GetHeight()), width, height);
}
