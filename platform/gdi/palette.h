#pragma once
// A logical palette of up to 256 colours with nearest-colour search, as
// 256-colour displays use. On today's screens the program draws in full
// colour; the palette operations still serve images that carry one.

#include "platform/wintypes.h"

#include <vector>

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

class CPalette {
public:
    CPalette() = default;
    explicit CPalette(std::vector<PALETTEENTRY> entries) : m_entries(std::move(entries)) {}

    // Replaces the entries (at most 256 are kept). FALSE for an empty list.
    BOOL CreatePalette(const std::vector<PALETTEENTRY>& entries);
    bool IsEmpty() const { return m_entries.empty(); }
    int GetEntryCount() const { return int(m_entries.size()); }
    const std::vector<PALETTEENTRY>& GetEntries() const { return m_entries; }
    // Index of the entry closest to the colour (squared RGB distance; the
    // first of equally close entries).
    UINT GetNearestPaletteIndex(COLORREF colour) const;

private:
    std::vector<PALETTEENTRY> m_entries;
};
