#include "platform/gdi/gdiobjects.h"

#include <QFont>
#include <QGuiApplication>

BOOL CGdiObject::DeleteObject() {
    const bool had = m_bCreated;
    m_bCreated = false;
    return had ? TRUE : FALSE;
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        return FALSE;
    m_nStyle = style;
    m_nWidth = width < 1 ? 1 : width;
    m_colour = colour;
    m_bCreated = true;
    return TRUE;
}

BOOL CPen::CreateStockObject(int index) {
    switch (index) {
    case WHITE_PEN:
        return CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    case BLACK_PEN:
        return CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    case NULL_PEN:
        return CreatePen(PS_NULL, 1, RGB(0, 0, 0));
    default:
        return FALSE;
    }
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    m_kind = Kind::Solid;
    m_colour = colour & 0xFFFFFF;
    m_bCreated = true;
    return TRUE;
}

BOOL CBrush::CreateStockObject(int index) {
    switch (index) {
    case WHITE_BRUSH:
        return CreateSolidBrush(RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return CreateSolidBrush(RGB(192, 192, 192));
    case GRAY_BRUSH:
        return CreateSolidBrush(RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return CreateSolidBrush(RGB(64, 64, 64));
    case BLACK_BRUSH:
        return CreateSolidBrush(RGB(0, 0, 0));
    case NULL_BRUSH:
        *this = Hollow();
        return TRUE;
    default:
        return FALSE;
    }
}

CBrush CBrush::Hollow() {
    CBrush brush;
    brush.m_kind = Kind::Hollow;
    brush.m_colour = 0;
    brush.m_bCreated = true;
    return brush;
}

CBrush CBrush::Halftone() {
    CBrush brush;
    brush.m_kind = Kind::Halftone;
    brush.m_colour = 0;
    brush.m_bCreated = true;
    return brush;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lf) {
    if (!lf)
        return FALSE;
    m_logFont = *lf;
    m_bCreated = true;
    return TRUE;
}

BOOL CFont::CreateStockObject(int index) {
    if (index != SYSTEM_FONT && index != DEFAULT_GUI_FONT)
        return FALSE;
    m_logFont = platform::LogFontFromFont(QGuiApplication::font());
    m_bCreated = true;
    return TRUE;
}

int CFont::GetLogFont(LOGFONTA* lf) const {
    if (!m_bCreated || !lf)
        return 0;
    *lf = m_logFont;
    return int(sizeof(LOGFONTA));
}
