#include "platform/metafile/recorddata.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace platform::metafile {

namespace {

constexpr DWORD kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5;
constexpr DWORD kDibRgbColors = 0;
constexpr size_t kCoreHeaderSize = 12, kInfoHeaderSize = 40;
// Widest row accepted, so that row arithmetic stays far from overflow.
constexpr long long kMaxDibWidth = 1 << 20;

struct DibHeader {
    size_t headerSize = 0;
    bool core = false; // a 12-byte header with 3-byte colour entries
    long long width = 0;
    long long height = 0;
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = kBiRgb;
    DWORD colorsUsed = 0;
    std::array<DWORD, 3> masks{};
};

std::optional<DibHeader> ReadHeader(CByteReader& r) {
    DibHeader h;
    h.headerSize = r.U32();
    if (h.headerSize == kCoreHeaderSize) {
        h.core = true;
        h.width = r.U16();
        h.height = r.U16();
        r.U16(); // planes
        h.bitCount = r.U16();
    } else if (h.headerSize >= kInfoHeaderSize && h.headerSize <= r.Size()) {
        h.width = r.I32();
        const long long height = r.I32();
        r.U16(); // planes
        h.bitCount = r.U16();
        h.compression = r.U32();
        r.Skip(12); // image size, resolution
        h.colorsUsed = r.U32();
        r.U32(); // important colours
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        // Channel masks follow a 40-byte header, or sit inside a longer one.
        if (h.compression == kBiBitfields && (h.headerSize > kInfoHeaderSize || r.Has(12)))
            for (DWORD& mask : h.masks)
                mask = r.U32();
    } else {
        return std::nullopt;
    }
    if (r.Failed() || h.width <= 0 || h.height <= 0 || h.width > kMaxDibWidth ||
        h.width * h.height > kMaxDibPixels)
        return std::nullopt;
    return h;
}

bool DepthFitsCompression(const DibHeader& h) {
    switch (h.compression) {
    case kBiRgb:
        return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
               h.bitCount == 24 || h.bitCount == 32;
    case kBiBitfields:
        return (h.bitCount == 16 || h.bitCount == 32) && h.masks[0] && h.masks[1] && h.masks[2];
    case kBiRle8:
        return h.bitCount == 8 && !h.topDown;
    case kBiRle4:
        return h.bitCount == 4 && !h.topDown;
    default:
        return false;
    }
}

// Where the colour table starts and how many entries the header announces.
size_t TableOffset(const DibHeader& h) {
    return h.headerSize +
           (h.compression == kBiBitfields && h.headerSize == kInfoHeaderSize ? 12 : 0);
}

long long TableEntries(const DibHeader& h) {
    if (h.bitCount <= 8)
        return h.colorsUsed ? std::min<long long>(h.colorsUsed, 1LL << h.bitCount)
                            : 1LL << h.bitCount;
    return h.colorsUsed;
}

std::vector<QRgb> ReadColorTable(const DibHeader& h, const BYTE* info, size_t infoSize) {
    std::vector<QRgb> table(256, qRgb(0, 0, 0));
    if (h.bitCount == 1)
        table[1] = qRgb(255, 255, 255);
    if (h.bitCount > 8)
        return table;
    const size_t entrySize = h.core ? 3 : 4;
    const size_t offset = TableOffset(h);
    const size_t available = offset < infoSize ? (infoSize - offset) / entrySize : 0;
    const size_t count = std::min(static_cast<size_t>(TableEntries(h)), available);
    for (size_t i = 0; i < count; ++i) {
        const BYTE* e = info + offset + i * entrySize;
        table[i] = qRgb(e[2], e[1], e[0]);
    }
    return table;
}

// One channel of a bit-field pixel scaled to 8 bits.
int Channel(DWORD pixel, DWORD mask) {
    const int shift = std::countr_zero(mask);
    const unsigned long long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255ULL / max);
}

QRgb PixelAt(const DibHeader& h, const BYTE* row, long long x, const std::vector<QRgb>& table) {
    switch (h.bitCount) {
    case 1:
        return table[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4:
        return table[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
    case 8:
        return table[row[x]];
    case 24:
        return qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    default:
        break;
    }
    const DWORD pixel = h.bitCount == 16
                            ? DWORD(row[x * 2] | (row[x * 2 + 1] << 8))
                            : DWORD(row[x * 4] | (row[x * 4 + 1] << 8) | (row[x * 4 + 2] << 16) |
                                    (DWORD(row[x * 4 + 3]) << 24));
    return qRgb(Channel(pixel, h.masks[0]), Channel(pixel, h.masks[1]), Channel(pixel, h.masks[2]));
}

QImage DecodeRows(const DibHeader& h, const BYTE* bits, size_t bitsSize,
                  const std::vector<QRgb>& table) {
    const long long stride = ((h.width * h.bitCount + 31) / 32) * 4;
    if (stride * h.height > static_cast<long long>(bitsSize))
        return {};
    QImage image(static_cast<int>(h.width), static_cast<int>(h.height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (long long y = 0; y < h.height; ++y) {
        const long long source = h.topDown ? y : h.height - 1 - y;
        const BYTE* row = bits + source * stride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (long long x = 0; x < h.width; ++x)
            out[x] = PixelAt(h, row, x, table);
    }
    return image;
}

// Premultiplied alpha from the fourth byte of each 32-bit pixel; colours
// above their alpha are clamped so the image stays valid.
void ApplyAlpha(const DibHeader& h, const BYTE* bits, QImage& image) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const long long stride = h.width * 4;
    for (long long y = 0; y < h.height; ++y) {
        const BYTE* row = bits + (h.topDown ? y : h.height - 1 - y) * stride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (long long x = 0; x < h.width; ++x) {
            const int a = row[x * 4 + 3];
            const QRgb c = out[x];
            out[x] = qRgba(std::min(qRed(c), a), std::min(qGreen(c), a), std::min(qBlue(c), a), a);
        }
    }
}

// Run-length bitmaps: rows from the bottom, runs clamped to the picture.
// NOTE: pixels a delta skips keep colour 0, which the window system would
// leave untouched.
QImage DecodeRle(const DibHeader& h, const BYTE* bits, size_t bitsSize,
                 const std::vector<QRgb>& table) {
    std::vector<BYTE> index(static_cast<size_t>(h.width * h.height), 0);
    long long x = 0, y = 0;
    auto put = [&](BYTE v) {
        if (x < h.width && y < h.height)
            index[static_cast<size_t>(y * h.width + x)] = v;
        ++x;
    };
    const bool four = h.compression == kBiRle4;
    size_t i = 0;
    while (i + 1 < bitsSize && y < h.height) {
        const BYTE count = bits[i], value = bits[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < h.width; ++k)
                put(four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= bitsSize)
                break;
            x += bits[i];
            y += bits[i + 1];
            i += 2;
        } else {
            const size_t bytes = four ? (value + 1u) / 2 : value;
            if (bytes > bitsSize - i)
                break;
            for (int k = 0; k < value; ++k)
                put(four ? ((k & 1) ? bits[i + k / 2] & 0x0F : bits[i + k / 2] >> 4) : bits[i + k]);
            i += (bytes + 1) & ~size_t(1); // absolute runs end on a word boundary
        }
    }
    QImage image(static_cast<int>(h.width), static_cast<int>(h.height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (long long row = 0; row < h.height; ++row) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(h.height - 1 - row)));
        for (long long col = 0; col < h.width; ++col)
            out[col] = table[index[static_cast<size_t>(row * h.width + col)]];
    }
    return image;
}

// Compressed pictures inside a bitmap record go to Qt's own readers.
QImage DecodeEmbedded(const DibHeader& h, const BYTE* bits, size_t bitsSize) {
    if (h.compression != kBiJpeg && h.compression != kBiPng)
        return {};
    QImage image = QImage::fromData(bits, static_cast<int>(std::min<size_t>(bitsSize, INT_MAX)));
    if (image.isNull() || static_cast<long long>(image.width()) * image.height() > kMaxDibPixels)
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage DecodeDib(const BYTE* info, size_t infoSize, const BYTE* bits, size_t bitsSize, DWORD usage,
                 bool* bottomUp, bool sourceAlpha) {
    if (!info || !bits || usage != kDibRgbColors)
        return {};
    CByteReader r(info, infoSize);
    const auto header = ReadHeader(r);
    if (!header)
        return {};
    if (bottomUp)
        *bottomUp = !header->topDown;
    if (header->compression == kBiJpeg || header->compression == kBiPng)
        return DecodeEmbedded(*header, bits, bitsSize);
    DibHeader h = *header;
    if (h.compression == kBiRgb && h.bitCount == 16)
        h.masks = {0x7C00, 0x03E0, 0x001F};
    else if (h.compression == kBiRgb && h.bitCount == 32)
        h.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    if (!DepthFitsCompression(h))
        return {};
    const std::vector<QRgb> table = ReadColorTable(h, info, infoSize);
    if (h.compression == kBiRle8 || h.compression == kBiRle4)
        return DecodeRle(h, bits, bitsSize, table);
    QImage image = DecodeRows(h, bits, bitsSize, table);
    if (sourceAlpha && h.bitCount == 32 && !image.isNull())
        ApplyAlpha(h, bits, image);
    return image;
}

QImage DecodePackedDib(const BYTE* data, size_t size, DWORD usage, bool* bottomUp) {
    if (!data)
        return {};
    CByteReader r(data, size);
    const auto header = ReadHeader(r);
    if (!header)
        return {};
    const unsigned long long entrySize = header->core ? 3 : 4;
    const unsigned long long bitsOffset =
        TableOffset(*header) + static_cast<unsigned long long>(TableEntries(*header)) * entrySize;
    if (bitsOffset > size)
        return {};
    const auto offset = static_cast<size_t>(bitsOffset);
    return DecodeDib(data, offset, data + offset, size - offset, usage, bottomUp);
}

} // namespace platform::metafile
