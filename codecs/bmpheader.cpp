#include "codecs/bmpheader.h"

#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kCoreHeaderSize = 12;       // OS/2 1.x
constexpr DWORD kLargestOs2HeaderSize = 64; // OS/2 2.x, cut short at any field
constexpr DWORD kOs2Huffman = 3;            // OS/2 2.x's meaning of compression 3
constexpr DWORD kOs2Rle24 = 4;

DWORD Le32At(const BYTE* p) {
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}
WORD Le16At(const BYTE* p) {
    return WORD(p[0] | (p[1] << 8));
}

bool IsWindowsHeaderSize(DWORD size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool IsKnownHeaderSize(DWORD size) {
    return size == kCoreHeaderSize || (size >= 16 && size <= kLargestOs2HeaderSize) ||
           IsWindowsHeaderSize(size);
}

[[noreturn]] void Unsupported(const char* message) {
    RaiseError(kErrUnsupported, message);
}

// OS/2 1.x: 16-bit width and height, colour table entries of three bytes.
// Its table may hold fewer entries than the depth allows; the pixel offset
// then tells how many.
void ReadCoreHeader(CDataSource* source, BmpLayout* layout) {
    const BYTE* h = source->ReadBytes(8);
    layout->width = Le16At(h);
    layout->height = Le16At(h + 2);
    layout->bitCount = Le16At(h + 6);
    layout->colourEntryBytes = 3;
    if (layout->bitCount <= 8) {
        layout->colours = DWORD(1) << layout->bitCount;
        const DWORD tableStart = 14 + kCoreHeaderSize;
        if (layout->pixelOffset > tableStart &&
            (layout->pixelOffset - tableStart) / 3 < layout->colours)
            layout->colours = (layout->pixelOffset - tableStart) / 3;
    }
}

// Windows and OS/2 2.x headers: every field the file leaves out reads 0.
void ReadInfoHeader(CDataSource* source, BmpLayout* layout) {
    BYTE h[124] = {};
    std::memcpy(h + 4, source->ReadBytes(int(layout->headerSize) - 4), layout->headerSize - 4);
    const int32_t height = int32_t(Le32At(h + 8));
    if (height == INT32_MIN)
        RaiseError(kErrCorrupt, "Bitmap decoder: height out of range.");
    layout->width = int32_t(Le32At(h + 4));
    layout->topDown = height < 0;
    layout->height = height < 0 ? -height : height;
    layout->bitCount = Le16At(h + 14);
    layout->compression = Le32At(h + 16);
    const DWORD used = Le32At(h + 32);
    if (layout->bitCount <= 8)
        layout->colours = used ? used : DWORD(1) << layout->bitCount;
    if (!IsWindowsHeaderSize(layout->headerSize) &&
        (layout->compression == kOs2Huffman || layout->compression == kOs2Rle24))
        Unsupported("Decoding bmp: unsupported compression.");
    // Headers of 52 bytes and more carry the colour masks themselves.
    if (layout->headerSize >= 52 && IsWindowsHeaderSize(layout->headerSize))
        for (int i = 0; i < (layout->headerSize >= 56 ? 4 : 3); ++i)
            layout->masks[i] = Le32At(h + 40 + i * 4);
}

bool Contiguous(DWORD mask) {
    const DWORD shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// The colour masks of 16- and 32-bit pictures. Without masks the formats'
// defaults apply: 5-5-5 for 16 bits, blue-green-red bytes for 32, no alpha.
void ReadMasks(CDataSource* source, BmpLayout* layout) {
    const DWORD compression = layout->compression;
    if (compression == BI_RGB) {
        const bool sixteen = layout->bitCount == 16;
        layout->masks[0] = sixteen ? 0x7C00 : 0xFF0000;
        layout->masks[1] = sixteen ? 0x03E0 : 0x00FF00;
        layout->masks[2] = sixteen ? 0x001F : 0x0000FF;
        layout->masks[3] = 0;
        return;
    }
    if (compression != BI_BITFIELDS && compression != kBmpAlphaBitfields)
        Unsupported("Decoding bmp: unsupported compression.");
    // A 40-byte header is followed by its masks: three, or four with alpha.
    if (layout->headerSize < 52)
        for (int i = 0; i < (compression == kBmpAlphaBitfields ? 4 : 3); ++i)
            layout->masks[i] = source->ReadLE32();
    for (int i = 0; i < 3; ++i)
        if (layout->masks[i] == 0 || !Contiguous(layout->masks[i]))
            Unsupported("Decoding bmp: unsupported colour masks.");
    if (layout->masks[3] != 0 && !Contiguous(layout->masks[3]))
        Unsupported("Decoding bmp: unsupported colour masks.");
}

void CheckDepthAndCompression(const BmpLayout& layout) {
    const int bpp = layout.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Unsupported("Decoding bmp: Illegal bpp value.");
    if (layout.colours > 256)
        Unsupported("Bitmap decoder: colour table has more than 256 entries.");
    if ((bpp == 1 || bpp == 24) && layout.compression != BI_RGB)
        Unsupported("Decoding bmp: unsupported compression.");
}

} // namespace

BmpLayout ReadBmpHeaders(CDataSource* source) {
    if (source->ReadLE16() != kBitmapFileType)
        RaiseError(kErrWrongFormat, "Bitmap decoder: This isn't a bitmap.");
    source->Skip(8); // file size, reserved words
    BmpLayout layout;
    layout.pixelOffset = source->ReadLE32();
    layout.headerSize = source->ReadLE32();
    if (!IsKnownHeaderSize(layout.headerSize))
        Unsupported("Bitmap decoder: BITMAPINFOHEADER has wrong size.");
    if (layout.headerSize == kCoreHeaderSize)
        ReadCoreHeader(source, &layout);
    else
        ReadInfoHeader(source, &layout);
    CheckDepthAndCompression(layout);
    if (layout.bitCount == 16 || layout.bitCount == 32)
        ReadMasks(source, &layout);
    return layout;
}
