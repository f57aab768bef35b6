#include "codecs/orientation.h"

#include "codecs/bmp.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

int PixelBytes(const CBmp* bmp) {
    return bmp->GetBitsPerPixel() / 8;
}

void MirrorRows(CBmp* bmp) {
    const int n = PixelBytes(bmp), width = bmp->GetWidth();
    BYTE swap[4];
    for (int y = 0; y < bmp->GetHeight(); ++y) {
        BYTE* row = bmp->Line(y);
        for (int left = 0, right = width - 1; left < right; ++left, --right) {
            std::memcpy(swap, row + left * n, size_t(n));
            std::memcpy(row + left * n, row + right * n, size_t(n));
            std::memcpy(row + right * n, swap, size_t(n));
        }
    }
}

void FlipRows(CBmp* bmp) {
    const size_t bytes = size_t(bmp->GetWidth()) * size_t(PixelBytes(bmp));
    std::vector<BYTE> row(bytes);
    for (int top = 0, bottom = bmp->GetHeight() - 1; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), bmp->Line(top), bytes);
        std::memcpy(bmp->Line(top), bmp->Line(bottom), bytes);
        std::memcpy(bmp->Line(bottom), row.data(), bytes);
    }
}

// Orientations 5 to 8: the upright picture's column x is the stored row
// (x, or counted from the bottom for 6 and 7) and its row y the stored
// column (y, or counted from the right for 7 and 8). N bytes a pixel.
template <int n> void SwapAxes(CBmp* bmp, int orientation) {
    const int width = bmp->GetWidth(), height = bmp->GetHeight();
    const size_t rowBytes = size_t(width) * size_t(n);
    platform::LargeBytes stored(rowBytes * size_t(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(stored.data() + size_t(y) * rowBytes, bmp->Line(y), rowBytes);
    const bool rowFromBottom = orientation == 6 || orientation == 7;
    const bool columnFromRight = orientation == 7 || orientation == 8;
    bmp->Create(height, width, bmp->GetBitsPerPixel(), bmp->HasAlpha());
    for (int y = 0; y < width; ++y) {
        BYTE* out = bmp->Line(y);
        const BYTE* column =
            stored.data() + size_t(columnFromRight ? width - 1 - y : y) * size_t(n);
        for (int x = 0; x < height; ++x, out += n) {
            const int row = rowFromBottom ? height - 1 - x : x;
            std::memcpy(out, column + size_t(row) * rowBytes, n);
        }
    }
}

void SwapAxes(CBmp* bmp, int orientation) {
    if (PixelBytes(bmp) == 3)
        SwapAxes<3>(bmp, orientation);
    else
        SwapAxes<4>(bmp, orientation);
}

// Bounded reads of the TIFF structure inside an EXIF block.
class TiffBytes {
public:
    TiffBytes(const BYTE* data, size_t size, bool bigEndian)
        : m_data(data), m_size(size), m_big(bigEndian) {}
    bool Has(size_t at, size_t n) const { return at <= m_size && n <= m_size - at; }
    uint32_t U16(size_t at) const {
        const BYTE* p = m_data + at;
        return m_big ? uint32_t(p[0] << 8 | p[1]) : uint32_t(p[1] << 8 | p[0]);
    }
    uint32_t U32(size_t at) const {
        return m_big ? U16(at) << 16 | U16(at + 2) : U16(at + 2) << 16 | U16(at);
    }

private:
    const BYTE* m_data;
    size_t m_size;
    bool m_big;
};

constexpr uint32_t kOrientationTag = 0x0112;
constexpr uint32_t kShortType = 3;

} // namespace

void ApplyOrientation(CBmp* bmp, int orientation) {
    switch (orientation) {
    case 2:
        MirrorRows(bmp);
        break;
    case 3:
        MirrorRows(bmp);
        FlipRows(bmp);
        break;
    case 4:
        FlipRows(bmp);
        break;
    case 5:
    case 6:
    case 7:
    case 8:
        SwapAxes(bmp, orientation);
        break;
    default:
        break;
    }
}

int ExifOrientation(const BYTE* data, size_t size) {
    static const BYTE kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!data || size < 6 + 8 || std::memcmp(data, kExif, 6) != 0)
        return 1;
    const BYTE* tiff = data + 6;
    const size_t tiffSize = size - 6;
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!big && !(tiff[0] == 'I' && tiff[1] == 'I'))
        return 1;
    const TiffBytes t(tiff, tiffSize, big);
    if (t.U16(2) != 42)
        return 1;
    const size_t directory = t.U32(4);
    if (!t.Has(directory, 2))
        return 1;
    const uint32_t entries = t.U16(directory);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + size_t(i) * 12;
        if (!t.Has(entry, 12))
            return 1;
        if (t.U16(entry) != kOrientationTag)
            continue;
        if (t.U16(entry + 2) != kShortType || t.U32(entry + 4) < 1)
            return 1;
        const uint32_t value = t.U16(entry + 8);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}
