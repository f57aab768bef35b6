#include "platform/gdi/palette.h"

#include <algorithm>

BOOL CPalette::CreatePalette(const std::vector<PALETTEENTRY>& entries) {
    if (entries.empty())
        return FALSE;
    m_entries.assign(entries.begin(), entries.begin() + std::min<size_t>(entries.size(), 256));
    return TRUE;
}

UINT CPalette::GetNearestPaletteIndex(COLORREF colour) const {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    UINT best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const int dr = r - m_entries[i].peRed, dg = g - m_entries[i].peGreen,
                  db = b - m_entries[i].peBlue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = UINT(i);
            if (distance == 0)
                break;
        }
    }
    return best;
}
