#include "codecs/pictdecoder_rows.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <cstring>
#include <vector>

namespace pict {

namespace {

// NOTE: a row length up to 250 gives one-byte row counts, from 251 on the
// counts are words.
constexpr int kLongestByteCountRow = 250;
// NOTE: rows shorter than 8 bytes are stored unpacked.
constexpr int kShortestPackedRow = 8;
// The most items one PackBits group yields.
constexpr int kLargestGroup = 128;

void PutPixel(BYTE* out, int x, const RGBQUAD& c) {
    BYTE* p = out + x * 4;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = c.rgbReserved;
}

// Rows of 1, 2, 4 or 8 bits: palette indexes, the leftmost pixel in the
// most significant bits.
void PutIndexedRow(const BYTE* in, BYTE* out, const RowLayout& layout,
                   std::span<const RGBQUAD> palette) {
    const int bpp = layout.bpp;
    if (bpp == 8) {
        for (int x = 0; x < layout.width; ++x)
            PutPixel(out, x, palette[in[x]]);
        return;
    }
    const int perByte = 8 / bpp;
    const int mask = (1 << bpp) - 1;
    for (int x = 0; x < layout.width; ++x) {
        const int shift = 8 - bpp * (x % perByte + 1);
        PutPixel(out, x, palette[size_t((in[x / perByte] >> shift) & mask)]);
    }
}

// 16-bit rows: big-endian words of 5 bits each for red, green and blue.
// NOTE: the top bit of a 16-bit pixel is not alpha; it is ignored.
void PutRow16(const BYTE* in, BYTE* out, const RowLayout& layout, std::span<const RGBQUAD>) {
    for (int x = 0; x < layout.width; ++x) {
        const int word = (in[x * 2] << 8) | in[x * 2 + 1];
        const BYTE blue = BYTE((word & 0x1F) * 8);
        const BYTE green = BYTE(((word >> 5) & 0x1F) * 8);
        const BYTE red = BYTE(((word >> 10) & 0x1F) * 8);
        PutPixel(out, x, {blue, green, red, 255});
    }
}

// 32-bit rows: one plane per component, each width bytes long, in the order
// red, green, blue, or alpha, red, green, blue with four components.
void PutRow32(const BYTE* in, BYTE* out, const RowLayout& layout, std::span<const RGBQUAD>) {
    const int w = layout.width;
    const bool alpha = layout.cmpCount == 4;
    const BYTE* red = in + (alpha ? w : 0);
    const BYTE* green = red + w;
    const BYTE* blue = green + w;
    for (int x = 0; x < w; ++x)
        PutPixel(out, x, {blue[x], green[x], red[x], alpha ? in[x] : BYTE(255)});
}

using PutRowFn = void (*)(const BYTE*, BYTE*, const RowLayout&, std::span<const RGBQUAD>);

PutRowFn RowWriterFor(int bpp) {
    if (bpp == 16)
        return PutRow16;
    if (bpp == 32)
        return PutRow32;
    return PutIndexedRow;
}

// One stored row: the row itself when it is unpacked, else the scratch row
// it was unpacked into.
const BYTE* ReadRow(CDataSource* source, const RowLayout& layout, std::vector<BYTE>* scratch) {
    if (!layout.packed)
        return source->ReadBytes(layout.rowLength);
    const int count = layout.wordCounts ? source->ReadBE16() : source->ReadByte();
    const BYTE* data = source->ReadBytes(count);
    const int produced =
        UnpackBits(data, count, scratch->data(), layout.scratchBytes, layout.itemSize);
    if (produced < layout.neededBytes)
        RaiseErrorF(kErrCorrupt, "Decoding pict: packed row holds %d bytes, %d needed.", produced,
                    layout.neededBytes);
    return scratch->data();
}

} // namespace

RowLayout PlanRows(int bpp, int rowLengthWord, int width, int height, int cmpCount) {
    RowLayout layout;
    layout.bpp = bpp;
    layout.cmpCount = cmpCount;
    layout.width = width;
    layout.height = height;
    switch (bpp) {
    case 1:
    case 2:
    case 4:
    case 8:
        // NOTE: up to 8 bits the top bit of the row length only tells a
        // pixel map from a bit map.
        layout.rowLength = rowLengthWord & 0x7FFF;
        if (layout.rowLength == 0)
            layout.rowLength = width;
        layout.neededBytes = (width * bpp + 7) / 8;
        break;
    case 16:
        // NOTE: a pixel map keeps the top bit here, so its 16-bit rows are
        // always packed and counted in words.
        layout.rowLength = rowLengthWord ? rowLengthWord : 2 * width;
        layout.neededBytes = 2 * width;
        layout.itemSize = 2;
        break;
    case 32:
        if (cmpCount != 3 && cmpCount != 4)
            RaiseErrorF(kErrUnsupported,
                        "Decoding pict: 32-bit pixels of %d components are not supported.",
                        cmpCount);
        layout.rowLength = rowLengthWord ? rowLengthWord : 4 * width;
        layout.neededBytes = cmpCount * width;
        break;
    default:
        RaiseErrorF(kErrUnsupported, "Illegal bpp value in unpackbits: %d\n", bpp);
    }
    // NOTE: 32-bit rows are packed whatever their length.
    layout.packed = bpp == 32 || layout.rowLength >= kShortestPackedRow;
    layout.wordCounts = layout.rowLength > kLongestByteCountRow;
    layout.scratchBytes = bpp == 32 ? layout.neededBytes : layout.rowLength;
    if (layout.scratchBytes < layout.neededBytes)
        RaiseErrorF(kErrCorrupt, "Decoding pict: row length %d is too short for %d pixels.",
                    layout.rowLength, width);
    return layout;
}

long long MinimumRowInput(const RowLayout& layout) {
    long long perRow = layout.rowLength;
    if (layout.packed) {
        const long long items = (layout.neededBytes + layout.itemSize - 1) / layout.itemSize;
        const long long groups = (items + kLargestGroup - 1) / kLargestGroup;
        perRow = (layout.wordCounts ? 2 : 1) + groups * (1 + layout.itemSize);
    }
    return perRow * layout.height;
}

void DecodeRows(CDataSource* source, CBmp* bmp, const RowLayout& layout,
                std::span<const RGBQUAD> palette) {
    if (layout.bpp <= 8 && palette.size() < (size_t(1) << layout.bpp))
        RaiseError(kErrUnsupported, "Decoding pict: indexed pixels without a colour table.");
    std::vector<BYTE> scratch(layout.packed ? size_t(layout.scratchBytes) : 0);
    const PutRowFn putRow = RowWriterFor(layout.bpp);
    for (int y = 0; y < layout.height; ++y)
        putRow(ReadRow(source, layout, &scratch), bmp->Line(y), layout, palette);
}

int UnpackBits(const BYTE* in, int inLength, BYTE* out, int capacity, int itemSize) {
    int read = 0;
    int written = 0;
    while (read < inLength) {
        const int flag = in[read++];
        // NOTE: flag 128 is a group of its own that yields nothing.
        if (flag == 128)
            continue;
        const bool literal = flag < 128;
        const int items = literal ? flag + 1 : 257 - flag;
        const int stored = (literal ? items : 1) * itemSize;
        if (stored > inLength - read)
            RaiseError(kErrCorrupt, "Decoding pict: packed row ends inside a run.");
        if (items * itemSize > capacity - written)
            RaiseError(kErrCorrupt, "Decoding pict: packed row runs past the end of the row.");
        if (literal) {
            std::memcpy(out + written, in + read, size_t(stored));
            written += stored;
        } else {
            for (int i = 0; i < items; ++i, written += itemSize)
                std::memcpy(out + written, in + read, size_t(itemSize));
        }
        read += stored;
    }
    return written;
}

} // namespace pict
