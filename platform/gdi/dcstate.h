#pragma once
// What a drawing context keeps between calls: the selected objects, the
// colours and modes, the current position and the saved copies of all of
// it. Shared by the files that make up CDC; nothing else includes this.

#include "platform/gdi/dc.h"

#include <QColor>
#include <QFont>
#include <QRect>

#include <vector>

struct CDC::DrawingState {
    // Copies of the selected objects, and what to answer as the previous
    // selection when another is selected.
    CPen pen;
    CBrush brush;
    CFont font;
    CPen* pPen = nullptr;
    CBrush* pBrush = nullptr;
    CFont* pFont = nullptr;

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int polyFillMode = ALTERNATE;
    CPoint current;
    // Pixels of the dash pattern already used by the lines since the last
    // MoveTo, so joined LineTo calls continue the pattern.
    int patternPos = 0;
};

struct CDC::Internals {
    DrawingState state;
    std::vector<DrawingState> saved;
    // The context's own stock objects, so previous selections it answers
    // stay valid for as long as the context lives.
    CPen stockPens[3];      // WHITE_PEN, BLACK_PEN, NULL_PEN
    CBrush stockBrushes[6]; // WHITE_BRUSH .. NULL_BRUSH
    CFont defaultFont;      // describes initialFont
    QFont initialFont;      // the painter's font when the context was made
};

namespace platform::dcdetail {

inline QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// Converts at the Qt boundary: QRect keeps a width, not an exclusive edge.
inline QRect ToQRect(const RECT& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// What a pen draws like: dashed styles only at one pixel wide, null pens
// not at all.
struct PenShape {
    bool visible = true;
    int width = 1;
    bool insideFrame = false;
    const int* dashes = nullptr; // on/off lengths in pixels, or null for solid
    int dashCount = 0;
    COLORREF colour = 0;
};
PenShape ShapeOfPen(const CPen& pen);

} // namespace platform::dcdetail
