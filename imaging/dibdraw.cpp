// Painting the image, capturing it from a drawing context, and the palette
// operations for 256-colour images.

#include "imaging/dib.h"

#include "content/appsettings.h"
#include "imaging/progress.h"
#include "platform/cursor.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"

#include <QImage>

#include <cstdint>
#include <cstring>
#include <vector>

bool CDIB::Draw(CDC* dc, const RECT* dest, const RECT* src, const CPalette*, bool) {
    if (m_block.empty() || !dc || !dest)
        return false;
    const CRect whole(0, 0, GetWidth(), GetHeight());
    const CRect source = src ? CRect(*src) : whole;
    const CRect target(*dest);
    // On a palette display pictures are smoothed; otherwise the image's own
    // stretch mode applies (0 is refused and the context keeps its mode).
    dc->SetStretchBltMode(
        AppSettings().TestDisplayFlags(CAppSettings::kPaletteDisplay) ? HALFTONE : m_nStretchMode);
    return dc->StretchDIBits(target.left, target.top, target.Width(), target.Height(), source.left,
                             source.top, source.Width(), source.Height(), GetBits(),
                             reinterpret_cast<const BITMAPINFO*>(m_block.data()), DIB_RGB_COLORS,
                             SRCCOPY) != GDI_ERROR;
}

bool CDIB::DrawRepeated(CDC* dc, const std::vector<RECT>& dests) {
    if (m_block.empty() || !dc || dests.empty())
        return false;
    dc->SetStretchBltMode(
        AppSettings().TestDisplayFlags(CAppSettings::kPaletteDisplay) ? HALFTONE : m_nStretchMode);
    return dc->StretchDIBitsRepeated(dests, 0, 0, GetWidth(), GetHeight(), GetBits(),
                                     reinterpret_cast<const BITMAPINFO*>(m_block.data())) !=
           GDI_ERROR;
}

namespace {

// Reads a context's pixels as GetPixel gives them; a context that draws
// into an image of 32-bit pixels is read from its rows directly.
class PixelReader {
public:
    explicit PixelReader(CDC* dc) : m_dc(dc), m_image(dc->GetImage()) {
        if (m_image && m_image->format() != QImage::Format_RGB32 &&
            m_image->format() != QImage::Format_ARGB32)
            m_image = nullptr;
        m_nWidth = m_image ? m_image->width() : 0;
    }
    void SelectRow(int y) {
        m_y = y;
        m_line = m_image && m_image->valid(0, y)
                     ? reinterpret_cast<const QRgb*>(m_image->constScanLine(y))
                     : nullptr;
    }
    COLORREF Get(int x) const {
        if (!m_image)
            return m_dc->GetPixel(x, m_y);
        if (!m_line || unsigned(x) >= unsigned(m_nWidth))
            return CLR_INVALID;
        const QRgb p = m_line[x];
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

private:
    CDC* m_dc;
    const QImage* m_image;
    int m_nWidth;
    int m_y = 0;
    const QRgb* m_line = nullptr;
};

template <typename ColourOf>
bool Capture(CDIB& dib, CDC* dc, int srcWidth, int srcHeight, CProgressReceiver* progress,
             ColourOf colourOf) {
    if (!dc || !dib.BeginPixelAccess())
        return false;
    const int width = dib.GetWidth(), height = dib.GetHeight();
    if (progress)
        progress->SetRange(0, srcHeight - 1);
    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[size_t(x)] = int((long long)x * srcWidth / width);
    PixelReader reader(dc);
    for (int y = 0; y < height; ++y) {
        if (progress)
            progress->SetPos(y);
        reader.SelectRow(int((long long)y * srcHeight / height));
        BYTE* out = dib.PixelAddress(0, unsigned(y));
        // Blue, green, red as four bytes, the fourth overwritten by the next
        // pixel; the last pixel as three.
        for (int x = 0; x + 1 < width; ++x, out += 3) {
            const COLORREF c = colourOf(reader.Get(columns[size_t(x)]));
            const uint32_t bgr =
                GetBValue(c) | uint32_t(GetGValue(c)) << 8 | uint32_t(GetRValue(c)) << 16;
            std::memcpy(out, &bgr, 4);
        }
        const COLORREF last = colourOf(reader.Get(columns[size_t(width - 1)]));
        out[0] = GetBValue(last);
        out[1] = GetGValue(last);
        out[2] = GetRValue(last);
    }
    dib.EndPixelAccess();
    return true;
}

} // namespace

bool CDIB::CaptureFromDC(CDC* dc, int srcWidth, int srcHeight, CProgressReceiver* progress) {
    if (GetBitCount() != 24)
        return false;
    return Capture(*this, dc, srcWidth, srcHeight, progress, [](COLORREF c) { return c; });
}

bool CDIB::CaptureTwoColour(CDC* dc, int srcWidth, int srcHeight, COLORREF ink, COLORREF paper,
                            CProgressReceiver* progress) {
    if (GetBitCount() != 24)
        return false;
    return Capture(*this, dc, srcWidth, srcHeight, progress,
                   [ink, paper](COLORREF c) { return c == paper ? paper : ink; });
}

// Palettes ---------------------------------------------------------------------

bool CDIB::CreatePalette(CPalette* palette) const {
    if (m_block.empty() || !palette)
        return false;
    std::vector<PALETTEENTRY> entries(256, PALETTEENTRY{0, 0, 0, 0});
    const int n = std::min(GetColourCount(), 256);
    for (int i = 0; i < n; ++i)
        GetColourEntry(i, &entries[size_t(i)].peRed, &entries[size_t(i)].peGreen,
                       &entries[size_t(i)].peBlue);
    return palette->CreatePalette(entries);
}

namespace {

// Writes the palette's colours into a colour table of the given entries,
// zeros after the palette's own.
void WriteTable(BYTE* table, const CPalette& palette, size_t tableEntries) {
    std::memset(table, 0, tableEntries * 4);
    const auto& entries = palette.GetEntries();
    for (size_t i = 0; i < entries.size() && i < tableEntries; ++i) {
        table[i * 4] = entries[i].peBlue;
        table[i * 4 + 1] = entries[i].peGreen;
        table[i * 4 + 2] = entries[i].peRed;
    }
}

} // namespace

bool CDIB::MapToPalette(const CPalette* palette) {
    if (!palette || palette->IsEmpty() || m_block.empty())
        return false;
    const int bits = GetBitCount();
    if (bits == 24)
        return ConvertTo8Bit(palette);
    if (bits != 4 && bits != 8)
        return false;
    // Every index through a map of nearest palette entries.
    BYTE map[256] = {};
    for (int i = 0; i < GetColourCount() && i < 256; ++i) {
        BYTE r, g, b;
        GetColourEntry(i, &r, &g, &b);
        map[i] = BYTE(palette->GetNearestPaletteIndex(RGB(r, g, b)));
    }
    BYTE* rows = GetBits();
    const size_t bytes = size_t(GetRowSize()) * size_t(GetHeight());
    for (size_t i = 0; i < bytes; ++i)
        rows[i] =
            bits == 8 ? map[rows[i]] : BYTE((map[rows[i] >> 4] << 4) | (map[rows[i] & 15] & 15));
    // The colour table becomes the palette's entries; the block is rebuilt
    // around the new table size.
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(m_block.data());
    const size_t oldTable = size_t(GetColourTableSize());
    const size_t entries = size_t(palette->GetEntryCount());
    platform::LargeBytes block(h->biSize + entries * 4 + bytes);
    std::memcpy(block.data(), m_block.data(), h->biSize);
    std::memcpy(block.data() + h->biSize + entries * 4, m_block.data() + h->biSize + oldTable,
                bytes);
    WriteTable(block.data() + h->biSize, *palette, entries);
    reinterpret_cast<BITMAPINFOHEADER*>(block.data())->biClrUsed = DWORD(entries);
    m_block = std::move(block);
    m_bAccessValid = false;
    return true;
}

bool CDIB::ConvertTo8Bit(const CPalette* palette) {
    if (!palette || palette->IsEmpty() || m_block.empty() || GetBitCount() != 24 ||
        GetHeader()->biClrUsed != 0)
        return false;
    platform::CWaitCursor wait;
    const int width = GetWidth(), height = GetHeight();
    const int rowSize = DibRowSize(width, 8);
    platform::LargeBytes block(sizeof(BITMAPINFOHEADER) + 256 * 4 + size_t(rowSize) * height, 0);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    *h = *GetHeader();
    h->biBitCount = 8;
    h->biClrUsed = 256;
    h->biSizeImage = DWORD(rowSize) * DWORD(height);
    WriteTable(block.data() + sizeof(BITMAPINFOHEADER), *palette, 256);
    BYTE* out = block.data() + sizeof(BITMAPINFOHEADER) + 256 * 4;
    const BYTE* in = GetBits();
    const int inRow = GetRowSize();
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            const BYTE* p = in + size_t(r) * inRow + size_t(x) * 3;
            out[size_t(r) * rowSize + x] =
                BYTE(palette->GetNearestPaletteIndex(RGB(p[2], p[1], p[0])));
        }
    m_block = std::move(block);
    m_bAccessValid = false;
    return true;
}
