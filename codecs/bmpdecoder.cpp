#include "codecs/bmpdecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr RGBQUAD kBlack = {0, 0, 0, 255};

struct BmpLayout {
    BITMAPINFOHEADER info;
    int height;                 // rows, always positive
    bool topDown;               // a negative stored height means the first row is the top
    DWORD masks[3] = {0, 0, 0}; // red, green, blue for 16 and 32 bits
};

void ReadFileHeader(CDataSource* source) {
    if (source->ReadLE16() != kBitmapFileType)
        RaiseError(kErrWrongFormat, "Bitmap decoder: This isn't a bitmap.");
    source->Skip(12); // file size, reserved words, offset
}

BmpLayout ReadInfoHeader(CDataSource* source) {
    BmpLayout layout{};
    std::memcpy(&layout.info, source->ReadBytes(sizeof(BITMAPINFOHEADER)), sizeof layout.info);
    if (layout.info.biSize != sizeof(BITMAPINFOHEADER))
        RaiseError(kErrUnsupported, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
    const long long height = layout.info.biHeight;
    layout.topDown = height < 0;
    layout.height = int(height < 0 ? -height : height);
    if (height == INT32_MIN)
        RaiseError(kErrCorrupt, "Bitmap decoder: height out of range.");
    return layout;
}

void ReadPalette(CDataSource* source, const BmpLayout& layout, std::vector<RGBQUAD>* palette) {
    const DWORD entries =
        layout.info.biClrUsed ? layout.info.biClrUsed : DWORD(1) << layout.info.biBitCount;
    if (entries > 256)
        RaiseError(kErrUnsupported, "Bitmap decoder: colour table has more than 256 entries.");
    palette->assign(256, kBlack);
    const BYTE* table = source->ReadBytes(int(entries * 4));
    for (DWORD i = 0; i < entries; ++i)
        (*palette)[i] = {table[i * 4], table[i * 4 + 1], table[i * 4 + 2], 255};
}

bool IsPlainRgb32(const DWORD masks[3]) {
    return masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
}

// Reads the colour masks of 16- and 32-bit pictures. Without masks the
// formats' defaults apply: 5-5-5 for 16 bits, blue-green-red bytes for 32.
void ReadMasks(CDataSource* source, BmpLayout* layout) {
    const DWORD compression = layout->info.biCompression;
    const int bpp = layout->info.biBitCount;
    if (compression == BI_BITFIELDS) {
        for (DWORD& mask : layout->masks)
            mask = source->ReadLE32();
        for (DWORD mask : layout->masks)
            if (mask == 0 ||
                (mask >> std::countr_zero(mask)) & ((mask >> std::countr_zero(mask)) + 1))
                RaiseError(kErrUnsupported, "Decoding bmp: unsupported colour masks.");
    } else if (compression == BI_RGB) {
        if (bpp == 16) {
            layout->masks[0] = 0x7C00;
            layout->masks[1] = 0x03E0;
            layout->masks[2] = 0x001F;
        } else {
            layout->masks[0] = 0xFF0000;
            layout->masks[1] = 0x00FF00;
            layout->masks[2] = 0x0000FF;
        }
    } else {
        RaiseError(kErrUnsupported, "Decoding bmp: unsupported compression.");
    }
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

void DecodeMaskedRow(const BYTE* in, BYTE* out, int width, int bpp, const DWORD masks[3]) {
    for (int x = 0; x < width; ++x) {
        DWORD pixel;
        if (bpp == 16) {
            pixel = DWORD(in[x * 2] | (in[x * 2 + 1] << 8));
        } else {
            const BYTE* p = in + x * 4;
            pixel = DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
        }
        PutPixel(
            out, x,
            {Channel(pixel, masks[2]), Channel(pixel, masks[1]), Channel(pixel, masks[0]), 255});
    }
}

void DecodeUncompressed(CDataSource* source, CBmp* bmp, const BmpLayout& layout,
                        const std::vector<RGBQUAD>& palette) {
    const int width = layout.info.biWidth;
    const int bpp = layout.info.biBitCount;
    const int rowBytes = CWinBmp::RowBytes(width, bpp);
    RequireInput(source, (long long)rowBytes * layout.height);
    const BmpRows rows(bmp, layout);
    const bool plain32 = bpp == 32 && IsPlainRgb32(layout.masks);
    for (int r = 0; r < layout.height; ++r) {
        const BYTE* in = source->ReadBytes(rowBytes);
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

// Run-length coded rows, written from the bottom row up. Every run is
// checked against the row so that damaged data never writes past it.
class RleWriter {
public:
    // NOTE: 4-bit rows are assembled two pixels at a time, so a row of odd
    // width may carry one pixel more, which is dropped.
    RleWriter(CBmp* bmp, const BmpLayout& layout, const std::vector<RGBQUAD>& palette)
        : m_bmp(bmp), m_width(layout.info.biWidth), m_height(layout.height),
          m_limit(layout.info.biBitCount == 4 ? (m_width + 1) & ~1 : m_width), m_palette(palette) {}

    void Put(int index) {
        if (m_row >= m_height || m_x >= m_limit)
            RaiseError(kErrCorrupt, "Decoding bmp: run-length data beyond the end of a row.");
        if (m_x < m_width)
            PutPixel(m_bmp->Line(m_height - 1 - m_row), m_x, m_palette[size_t(index)]);
        ++m_x;
    }
    void NextRow() {
        ++m_row;
        m_x = 0;
    }

private:
    CBmp* m_bmp;
    int m_width;
    int m_height;
    int m_limit;
    const std::vector<RGBQUAD>& m_palette;
    int m_row = 0;
    int m_x = 0;
};

void DecodeRle(CDataSource* source, CBmp* bmp, const BmpLayout& layout,
               const std::vector<RGBQUAD>& palette) {
    const bool fourBit = layout.info.biBitCount == 4;
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
            return;
        } else if (escape == 2) {
            RaiseError(kErrNoFeature, "Encountered delta escape.");
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
}

} // namespace

void CBmpDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int*, CDataSource* source) {
    const int start = source->GetBytesConsumed();
    ReadFileHeader(source);
    DWORD offset;
    std::memcpy(&offset, source->CurrentPointer() - 4, 4);
    BmpLayout layout = ReadInfoHeader(source);
    const int bpp = layout.info.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        RaiseError(kErrUnsupported, "Decoding bmp: Illegal bpp value.");
    const bool rle = (bpp == 4 || bpp == 8) && layout.info.biCompression != BI_RGB;
    if (bpp <= 8)
        ReadPalette(source, layout, palette);
    if (bpp == 1 && layout.info.biCompression != BI_RGB)
        RaiseError(kErrUnsupported, "Decoding bmp: unsupported compression.");
    if (bpp == 16 || bpp == 32)
        ReadMasks(source, &layout);
    else if (bpp == 24 && layout.info.biCompression != BI_RGB)
        RaiseError(kErrUnsupported, "Decoding bmp: unsupported compression.");
    if (rle && layout.topDown)
        RaiseError(kErrCorrupt, "Decoding bmp: run-length picture stored top-down.");
    CheckPictureSize(layout.info.biWidth, layout.height, "Bitmap decoder");
    SkipToPixels(source, DWORD(offset + start));
    if (!rle)
        RequireInput(source,
                     (long long)CWinBmp::RowBytes(layout.info.biWidth, bpp) * layout.height);
    bmp->Create(layout.info.biWidth, layout.height, 32, false);
    if (rle)
        DecodeRle(source, bmp, layout, *palette);
    else
        DecodeUncompressed(source, bmp, layout, *palette);
}
