// Drawing and natural size of the cycle button.

#include "controls/cyclebutton.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"

#include <algorithm>

namespace {

constexpr COLORREF kDark = 0x154449;
constexpr COLORREF kLight = 0x34B1BF;
constexpr COLORREF kBlack = 0x000000;

// The check mark shown before a checked text item, 16 x 16: ink '#' on
// paper '.'.
constexpr const char* kCheckPicture[16] = {
    "................", "................", "................", "............##..",
    "...........###..", "..........###...", ".........###....", "..##....###.....",
    "..###..###......", "...#####........", "....####........", ".....##.........",
    "................", "................", "................", "................",
};

// The check picture at (x, y), opaque; greyed for a disabled button.
void DrawCheckPicture(CDC* dc, int x, int y, bool disabled) {
    const COLORREF ink = disabled ? 0x808080 : 0x000000;
    const COLORREF paper = disabled ? 0xC0C0C0 : 0xFFFFFF;
    dc->FillSolidRect(x, y, 16, 16, paper);
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 16; ++col)
            if (kCheckPicture[row][col] == '#')
                dc->FillSolidRect(x + col, y + row, 1, 1, ink);
}

bool IsPicture(const multimenu_package& item) {
    return item.kind == MMP_PICTURE || item.kind == MMP_THUMBNAIL;
}

} // namespace

// Natural size ------------------------------------------------------------------------------

const CRect* CCycleButtonControl::GetNaturalRect() {
    const int s = m_bShowSelector ? 30 : 0, mx = m_nMarginX, my = m_nMarginY;
    if (m_items.empty()) {
        m_rcNatural = CRect(0, 0, s + 2 * mx + 10, std::max(2 * my, s));
        return &m_rcNatural;
    }
    int pw = 0, ph = 0;
    bool haveText = false;
    std::string longestCut;
    for (const multimenu_package& item : m_items) {
        if (IsPicture(item)) {
            pw = std::max(pw, item.cx + 1);
            ph = std::max(ph, item.cy + 1);
        } else if (item.kind == MMP_TEXT) {
            std::string cut = item.text;
            FirstLineCut(&cut, m_nMaxChars);
            if (!haveText || cut.size() > longestCut.size()) {
                haveText = true;
                longestCut = std::move(cut);
            }
        }
    }
    if (!haveText) {
        m_rcNatural = CRect(0, 0, pw + s + 2 * mx + 10, std::max(ph + 2 * my, s));
        return &m_rcNatural;
    }
    const CRect measured = MeasureText(longestCut, CRect(0, 0, width(), height()));
    const int h = std::max(ph, measured.Height()) + 2 * my;
    const int tallest = std::max(h, s);
    m_rcNatural =
        CRect(0, 0, std::max(pw, measured.Width()) + s + 2 * mx + 26, tallest < 16 ? 16 : tallest);
    return &m_rcNatural;
}

// Drawing -------------------------------------------------------------------------------------

void CCycleButtonControl::OnPaint(CDC* dc, const RECT*) {
    if (!m_pManager)
        return;
    const int w = width(), h = height();
    const bool disabled = m_dwFlags & BTN_DISABLED;
    const CRect whole(0, 0, w, h);
    dc->FillSolidRect(whole, disabled ? m_crBackDisabled : m_crBackground);
    if (disabled)
        dc->Draw3dRect(whole, kLight, kDark);
    else if ((m_dwFlags & BTN_PRESSED) || ((m_dwFlags & BTN_TOGGLE) && (m_dwFlags & BTN_TOGGLED)))
        dc->Draw3dRect(whole, kBlack, kDark);
    else
        dc->Draw3dRect(whole, kDark, kBlack);
    if (m_bShowSelector)
        DrawSelector(dc, w, h, disabled);
    const multimenu_package* item = GetCurrentItem();
    if (!item)
        return;
    if (item->kind == MMP_TEXT)
        DrawTextItem(dc, *item, w, h, disabled);
    else if (IsPicture(*item))
        DrawPictureItem(dc, *item, w, h);
}

void CCycleButtonControl::DrawSelector(CDC* dc, int w, int h, bool disabled) {
    const COLORREF colour = disabled ? m_crPenDisabled : m_crPen;
    const int p = std::max(int(h * 0.08), 2);
    const int b = std::min(int(w * 0.17), h - 2 * m_nMarginY);
    const int left = int(w * 0.05);
    const int cy = h >> 1, t = int(b * 0.16666), d = int(w * 0.025);
    CPen thick(PS_SOLID, p, colour);
    CPen thin(PS_SOLID, 1, colour);
    CPen* oldPen = dc->SelectObject(&thick);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    dc->RoundRect(left, (h - b) >> 1, left + b, (h + b) >> 1, 7, 7);
    // The arrow: a closed triangle standing on the box's right side.
    const int x1 = left + b - 1;
    const POINT arrow[4] = {{x1, cy - t}, {x1 - d, cy + t}, {x1 + d, cy + t}, {x1, cy - t}};
    dc->Polyline(arrow, 4);
    dc->SelectObject(&thin);
    const int divider = x1 + d + p + 3;
    dc->MoveTo(divider, 3);
    dc->LineTo(divider, h - 3);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}

void CCycleButtonControl::DrawTextItem(CDC* dc, const multimenu_package& item, int w, int h,
                                       bool disabled) {
    const double textStart = m_bShowSelector ? 0.3 : 0.05;
    const CRect band(int(w * textStart), int(h * 0.1), int(w * 0.95), int(h * 0.9));
    if (m_bMenuOpen)
        dc->FillSolidRect(band, m_crTextBack);
    if (item.flags & MF_CHECKED)
        DrawCheckPicture(dc, band.left, (h - 16) / 2, disabled);
    if (hasFocus())
        dc->Draw3dRect(band, m_crFocus, m_crFocus);
    std::string text = item.text;
    FirstLineCut(&text, m_nMaxChars);
    CRect measured = band;
    dc->DrawText(text, &measured, DT_CALCRECT);
    const int top = (h - measured.Height()) >> 1;
    CRect place(int(w * (textStart + 0.1)), top, band.right, top + measured.Height());
    dc->SetTextColor(((item.flags & MF_GRAYED) || disabled) ? m_crTextGrey : m_crText);
    dc->SetBkMode(TRANSPARENT);
    dc->DrawText(text, &place, DT_CENTER | DT_VCENTER);
}

void CCycleButtonControl::GetPictureTurn(const multimenu_package&, bool* mirrored,
                                         bool* flipped) const {
    *mirrored = false;
    *flipped = false;
}

void CCycleButtonControl::DrawPictureItem(CDC* dc, const multimenu_package& item, int w, int h) {
    CDIB* picture = ItemPicture(item);
    // A picture without a height cannot be scaled to the button.
    if (!picture || item.cy <= 0)
        return;
    const double scale = h * 0.82 / item.cy;
    const int sw = int(item.cx * scale), sh = int(item.cy * scale);
    const double ratio = m_bShowSelector ? 0.625 : 0.5;
    const int x = int(w * ratio - (sw >> 1));
    const int y = (h - sh) >> 1;
    CRect box(x, y, x + sw, y + sh);
    // A destination with its sides swapped draws the picture turned over.
    bool mirrored = false, flipped = false;
    GetPictureTurn(item, &mirrored, &flipped);
    CRect shown = box;
    if (mirrored)
        std::swap(shown.left, shown.right);
    if (flipped)
        std::swap(shown.top, shown.bottom);
    picture->Draw(dc, &shown, nullptr, item.palette, false);
    dc->Draw3dRect(box, kDark, kBlack);
    if (hasFocus()) {
        box.InflateRect(5, 3);
        dc->Draw3dRect(box, m_crFocus, m_crFocus);
    }
}
