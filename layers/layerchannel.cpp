#include "layers/layerchannel.h"

#include "imaging/dib.h"
#include "platform/cursor.h"

#include <cmath>
#include <cstdio>

CLayerChannel::CLayerChannel(int kind, int key, int opacity) : m_nKind(kind), m_nKey(key) {
    m_nOpacity = opacity & 0xFF;
}

CLayerChannel::~CLayerChannel() = default;

bool CLayerChannel::BuildStream() {
    return true;
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

CLayerChannel_Text::CLayerChannel_Text(const std::string& text, int key, int opacity,
                                       const LOGFONTA& font, COLORREF colour, int alignment)
    : CLayerChannel(kText, key, opacity), m_strText(text), m_font(font), m_crText(colour),
      m_nAlignment(alignment) {}

bool CLayerChannel_Text::BuildStream() {
    if (m_stream.IsValid())
        return true;
    platform::CWaitCursor wait;
    std::unique_ptr<CDIB> picture(
        RenderText(m_strText, &m_font, m_crText, m_nAlignment, 1200, 1200));
    if (!picture)
        return true; // an empty stream is never drawn
    m_nBuildResult = m_stream.Build(picture.get(), 1) ? 1 : 0;
    return m_nBuildResult != 0;
}
