#include "codecs/bmpdecoder.h"

#include "codecs/bmp.h"
#include "codecs/bmpheader.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr RGBQUAD kBlack = {0, 0, 0, 255};
// The densest run-length code: a count and a value write 255 pixels.
constexpr long long kRlePixelsPerByte = 128;

// A colour table of blue, green, red (and, in Windows files, one unused
// byte) entries, padded with black to 256 entries.
void ReadPalette(CDataSource* source, const BmpLayout& layout, std::vector<RGBQUAD>* palette) {
    palette->assign(256, kBlack);
    const int step = layout.colourEntryBytes;
    const BYTE* table = source->ReadBytes(int(layout.colours) * step);
    for (DWORD i = 0; i < layout.colours; ++i)
        (*palette)[i] = {table[i * step], table[i * step + 1], table[i * step + 2], 255};
}

bool IsPlainRgb32(const DWORD masks[4]) {
    return masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
           (masks[3] == 0 || masks[3] == 0xFF000000);
}

// One colour channel of a masked pixel, widened to 8 bits.
BYTE Channel(DWORD pixel, DWORD mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const DWORD value = (pixel & mask) >> shift;
    if (bits >= 8)
        return BYTE(value >> (bits - 8));
    return BYTE((value * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
}

// Pixel data normally follows the colour table; files that leave a gap say
// so in the offset field, which is honoured when it points further on.
void SkipToPixels(CDataSource* source, DWORD offset) {
    const long long gap = (long long)offset - source->GetBytesConsumed();
    if (gap > 0 && gap < source->GetRemaining())
        source->Skip(int(gap));
}

class BmpRows {
public:
    BmpRows(CBmp* bmp, const BmpLayout& layout) : m_bmp(bmp), m_layout(layout) {}
    // Row r of the file, counted in storage order.
    BYTE* StoredRow(int r) const {
        return m_bmp->Line(m_layout.topDown ? r : m_layout.height - 1 - r);
    }

private:
    CBmp* m_bmp;
    const BmpLayout& m_layout;
};

void PutPixel(BYTE* row, int x, const RGBQUAD& c) {
    BYTE* p = row + x * 4;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = c.rgbReserved;
}

// 24-bit rows widened to 32 bits. Four pixels at a time are read as three
// words; the last pixels one by one, so no byte past the row is read.
void WidenBgrRow(const BYTE* in, BYTE* out, int width) {
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= width; x += 4, in += 12, out += 16) {
            uint32_t w[3];
            std::memcpy(w, in, 12);
            const uint32_t p[4] = {w[0] | 0xFF000000u, (w[0] >> 24) | (w[1] << 8) | 0xFF000000u,
                                   (w[1] >> 16) | (w[2] << 16) | 0xFF000000u,
                                   (w[2] >> 8) | 0xFF000000u};
            std::memcpy(out, p, 16);
        }
    }
    for (; x < width; ++x, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 255;
    }
}

void DecodeIndexedRow(const BYTE* in, BYTE* out, int width, int bpp,
                      const std::vector<RGBQUAD>& palette) {
    const int perByte = 8 / bpp;
    const int mask = (1 << bpp) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bpp * (x % perByte + 1);
        PutPixel(out, x, palette[(in[x / perByte] >> shift) & mask]);
    }
}

void DecodeMaskedRow(const BYTE* in, BYTE* out, int width, int bpp, const DWORD masks[4]) {
    for (int x = 0; x < width; ++x) {
        DWORD pixel;
        if (bpp == 16) {
            pixel = DWORD(in[x * 2] | (in[x * 2 + 1] << 8));
        } else {
            const BYTE* p = in + x * 4;
            pixel = DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
        }
        const BYTE alpha = masks[3] ? Channel(pixel, masks[3]) : 255;
        PutPixel(
            out, x,
            {Channel(pixel, masks[2]), Channel(pixel, masks[1]), Channel(pixel, masks[0]), alpha});
    }
}

// Bytes of uncompressed pixel data a picture needs: every row padded to a
// multiple of 4 bytes, except the last, whose padding some writers leave
// out at the end of the file.
long long NeededPixelBytes(const BmpLayout& layout) {
    const long long rowBytes = CWinBmp::RowBytes(layout.width, layout.bitCount);
    const long long lastRow = ((long long)layout.width * layout.bitCount + 7) / 8;
    return rowBytes * (layout.height - 1) + lastRow;
}

void DecodeUncompressed(CDataSource* source, CBmp* bmp, const BmpLayout& layout,
                        const std::vector<RGBQUAD>& palette) {
    const int width = layout.width;
    const int bpp = layout.bitCount;
    const int rowBytes = CWinBmp::RowBytes(width, bpp);
    RequireInput(source, NeededPixelBytes(layout));
    const BmpRows rows(bmp, layout);
    const bool plain32 = bpp == 32 && IsPlainRgb32(layout.masks);
    for (int r = 0; r < layout.height; ++r) {
        const BYTE* in = source->ReadBytes(std::min(rowBytes, source->GetRemaining()));
        BYTE* out = rows.StoredRow(r);
        if (bpp <= 8) {
            DecodeIndexedRow(in, out, width, bpp, palette);
        } else if (bpp == 24) {
            WidenBgrRow(in, out, width);
        } else if (plain32) {
            std::memcpy(out, in, size_t(width) * 4);
        } else {
            DecodeMaskedRow(in, out, width, bpp, layout.masks);
        }
    }
}

// Run-length coded rows, written from the bottom row up. Pixels the codes
// never reach (jumped over by a delta or left by an early end of row) keep
// colour 0 of the table and are transparent, as writers that skip them
// mean. Every run is checked against the row so that damaged data never
// writes past it.
class RleWriter {
public:
    // NOTE: 4-bit rows are assembled two pixels at a time, so a row of odd
    // width may carry one pixel more, which is dropped.
    RleWriter(CBmp* bmp, const BmpLayout& layout, const std::vector<RGBQUAD>& palette)
        : m_bmp(bmp), m_width(layout.width), m_height(layout.height),
          m_limit(layout.bitCount == 4 ? (m_width + 1) & ~1 : m_width), m_palette(palette) {
        RGBQUAD skipped = m_palette[0];
        skipped.rgbReserved = 0;
        // One row filled pixel by pixel, the others copied from it.
        for (int x = 0; x < m_width; ++x)
            PutPixel(m_bmp->Line(0), x, skipped);
        for (int y = 1; y < m_height; ++y)
            std::memcpy(m_bmp->Line(y), m_bmp->Line(0), size_t(m_width) * 4);
    }

    void Put(int index) {
        if (m_row >= m_height || m_x >= m_limit)
            RaiseError(kErrCorrupt, "Decoding bmp: run-length data beyond the end of a row.");
        if (m_x < m_width) {
            PutPixel(m_bmp->Line(m_height - 1 - m_row), m_x, m_palette[size_t(index)]);
            ++m_written;
        }
        ++m_x;
    }
    void NextRow() {
        ++m_row;
        m_x = 0;
    }
    // A delta moves right and up; a move out of the picture is damage.
    void Move(int right, int up) {
        m_x += right;
        m_row += up;
        if (m_x > m_limit || m_row > m_height)
            RaiseError(kErrCorrupt, "Decoding bmp: run-length delta leaves the picture.");
    }
    // Every pixel is written at most once: rows and columns only advance.
    bool SkippedAny() const { return m_written < (long long)m_width * m_height; }

private:
    CBmp* m_bmp;
    int m_width;
    int m_height;
    int m_limit;
    const std::vector<RGBQUAD>& m_palette;
    int m_row = 0;
    int m_x = 0;
    long long m_written = 0;
};

void DecodeRle(CDataSource* source, CBmp* bmp, const BmpLayout& layout,
               const std::vector<RGBQUAD>& palette) {
    const bool fourBit = layout.bitCount == 4;
    RleWriter out(bmp, layout, palette);
    for (;;) {
        const int count = source->ReadByte();
        if (count > 0) {
            const BYTE value = source->ReadByte();
            for (int i = 0; i < count; ++i)
                out.Put(fourBit ? ((i % 2) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        const int escape = source->ReadByte();
        if (escape == 0) {
            out.NextRow();
        } else if (escape == 1) {
            break;
        } else if (escape == 2) {
            const int right = source->ReadByte();
            out.Move(right, source->ReadByte());
        } else if (fourBit) {
            // NOTE: a literal run of n pixels holds two per byte, and the run
            // is padded to an even number of bytes.
            const int bytes = (escape + 1) / 2;
            const BYTE* data = source->ReadBytes(bytes);
            for (int i = 0; i < escape; ++i)
                out.Put((i % 2) ? data[i / 2] & 0x0F : data[i / 2] >> 4);
            if (bytes % 2)
                source->Skip(1);
        } else {
            const BYTE* data = source->ReadBytes(escape);
            for (int i = 0; i < escape; ++i)
                out.Put(data[i]);
            if (escape % 2)
                source->Skip(1);
        }
    }
    bmp->SetHasAlpha(out.SkippedAny());
}

// Some writers declare an alpha mask and leave every alpha value 0; such a
// picture is meant to be opaque, not invisible.
void DropEmptyAlpha(CBmp* bmp) {
    for (int y = 0; y < bmp->GetHeight(); ++y) {
        const BYTE* row = bmp->Line(y);
        for (int x = 0; x < bmp->GetWidth(); ++x)
            if (row[x * 4 + 3] != 0)
                return;
    }
    for (int y = 0; y < bmp->GetHeight(); ++y) {
        BYTE* row = bmp->Line(y);
        for (int x = 0; x < bmp->GetWidth(); ++x)
            row[x * 4 + 3] = 255;
    }
    bmp->SetHasAlpha(false);
}

} // namespace

void CBmpDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int*, CDataSource* source) {
    const int start = source->GetBytesConsumed();
    const BmpLayout layout = ReadBmpHeaders(source);
    const int bpp = layout.bitCount;
    const bool rle = (bpp == 4 || bpp == 8) && layout.compression != BI_RGB;
    if (bpp <= 8)
        ReadPalette(source, layout, palette);
    if (rle && layout.topDown)
        RaiseError(kErrCorrupt, "Decoding bmp: run-length picture stored top-down.");
    CheckPictureSize(layout.width, layout.height, "Bitmap decoder");
    SkipToPixels(source, DWORD(layout.pixelOffset + start));
    if (rle)
        CheckPictureCost(layout.width, layout.height, source->GetRemaining(), kRlePixelsPerByte,
                         "Bitmap decoder");
    if (!rle)
        RequireInput(source, NeededPixelBytes(layout));
    bmp->Create(layout.width, layout.height, 32, layout.Alpha());
    if (rle)
        DecodeRle(source, bmp, layout, *palette);
    else
        DecodeUncompressed(source, bmp, layout, *palette);
    if (layout.Alpha())
        DropEmptyAlpha(bmp);
}
