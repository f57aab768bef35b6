#pragma once
// Reading the bytes of metafile records: a bounded little-endian reader and
// the decoder of the device-independent bitmaps that records carry.

#include "platform/wintypes.h"

#include <QImage>

#include <bit>
#include <cstddef>
#include <cstring>
#include <optional>

namespace platform::metafile {

// Metafiles store little-endian values, read here by plain copies.
static_assert(std::endian::native == std::endian::little);

// Largest bitmap a record may unpack to; more is a damaged file.
constexpr long long kMaxDibPixels = 16LL * 1024 * 1024;

// Reads little-endian values from a block; a read past the end answers
// nothing and leaves the reader failed.
class CByteReader {
public:
    CByteReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    size_t Size() const { return m_size; }
    size_t Offset() const { return m_offset; }
    bool Failed() const { return m_failed; }
    bool Has(size_t bytes) const { return !m_failed && bytes <= m_size - m_offset; }
    void Seek(size_t offset) {
        if (offset > m_size)
            m_failed = true;
        else
            m_offset = offset;
    }
    void Skip(size_t bytes) {
        if (!Has(bytes))
            m_failed = true;
        else
            m_offset += bytes;
    }

    std::uint8_t U8() { return Read<std::uint8_t>(); }
    std::uint16_t U16() { return Read<std::uint16_t>(); }
    std::int16_t I16() { return Read<std::int16_t>(); }
    std::uint32_t U32() { return Read<std::uint32_t>(); }
    std::int32_t I32() { return Read<std::int32_t>(); }
    float F32() { return Read<float>(); }
    // The bytes at the current place, when that many remain.
    const BYTE* Bytes(size_t bytes) {
        if (!Has(bytes)) {
            m_failed = true;
            return nullptr;
        }
        const BYTE* p = m_data + m_offset;
        m_offset += bytes;
        return p;
    }

private:
    template <typename T> T Read() {
        T value{};
        if (!Has(sizeof(T))) {
            m_failed = true;
            return value;
        }
        std::memcpy(&value, m_data + m_offset, sizeof(T));
        m_offset += sizeof(T);
        return value;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_failed = false;
};

// Decodes a bitmap whose header and colour table are in info and whose
// pixels are in bits. A null image when the bitmap is damaged, larger than
// kMaxDibPixels, or of a kind not drawn (palette-index colour tables).
// bottomUp tells whether the stored rows ran from the bottom, which is where
// the source rectangles of StretchDIBits count from.
// With sourceAlpha, 32-bit pixels keep their fourth byte as premultiplied
// alpha, as blending records mean it; otherwise it is ignored.
QImage DecodeDib(const BYTE* info, size_t infoSize, const BYTE* bits, size_t bitsSize, DWORD usage,
                 bool* bottomUp = nullptr, bool sourceAlpha = false);

// The same for a packed bitmap: header, colour table and pixels in one block.
QImage DecodePackedDib(const BYTE* data, size_t size, DWORD usage, bool* bottomUp = nullptr);

} // namespace platform::metafile
