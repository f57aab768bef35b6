#pragma once
// The objects a drawing context paints with: pens, brushes and fonts. They
// are plain values. A context keeps a copy of what is selected into it and
// answers the object that was selected before, so a caller can put it back
// the way the window system's programs always do:
//     CPen* old = dc.SelectObject(&pen); ... dc.SelectObject(old);

#include "platform/logfont.h"
#include "platform/wintypes.h"

// Pen styles. Dashed and dotted styles apply to pens one pixel wide; a wider
// pen of those styles draws solid, as the window system's pens do.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// What pens, brushes and fonts share: whether they hold anything yet.
class CGdiObject {
public:
    virtual ~CGdiObject() = default;

    // The object's address once it has been created, null before that and
    // after DeleteObject; code tests it as it would test a handle.
    const void* GetSafeHandle() const { return m_bCreated ? this : nullptr; }
    // Empties the object; FALSE when it held nothing.
    BOOL DeleteObject();

protected:
    bool m_bCreated = false;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }

    // A width of 0 or less is one pixel. FALSE for an unknown style.
    BOOL CreatePen(int style, int width, COLORREF colour);
    // WHITE_PEN, BLACK_PEN or NULL_PEN; FALSE for other indexes.
    BOOL CreateStockObject(int index);

    int GetStyle() const { return m_nStyle; }
    int GetWidth() const { return m_nWidth; }
    COLORREF GetColor() const { return m_colour; }

private:
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_colour = RGB(0, 0, 0);
};

class CBrush : public CGdiObject {
public:
    enum class Kind { Solid, Hollow, Halftone };

    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }

    BOOL CreateSolidBrush(COLORREF colour);
    // One of the stock brushes up to NULL_BRUSH; FALSE for other indexes.
    BOOL CreateStockObject(int index);
    // The brush that paints nothing: shapes keep their interior.
    static CBrush Hollow();
    // The 50% grey of rubber bands: a checkerboard of black and white, white
    // where x + y is odd (counted from the painter's origin).
    static CBrush Halftone();

    Kind GetKind() const { return m_kind; }
    bool IsHollow() const { return m_kind == Kind::Hollow; }
    COLORREF GetColor() const { return m_colour; }

    friend bool operator==(const CBrush& a, const CBrush& b) {
        return a.m_bCreated == b.m_bCreated && a.m_kind == b.m_kind && a.m_colour == b.m_colour;
    }

private:
    Kind m_kind = Kind::Solid;
    COLORREF m_colour = RGB(255, 255, 255);
};

class CFont : public CGdiObject {
public:
    CFont() = default;

    BOOL CreateFontIndirect(const LOGFONTA* lf);
    // SYSTEM_FONT or DEFAULT_GUI_FONT: the application's font. Needs a
    // running QGuiApplication.
    BOOL CreateStockObject(int index);
    // Copies the description; answers its size in bytes, 0 when empty.
    int GetLogFont(LOGFONTA* lf) const;
    const LOGFONTA& LogFont() const { return m_logFont; }

private:
    LOGFONTA m_logFont{};
};
