#include "codectest.h"

#include "codecs/anypicdecoder.h"
#include "codecs/datasource.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace codectest {

std::string Fixture(const std::string& name) {
    return std::string(MORVANE_TESTS_DIR) + "/data/codecs/" + name;
}

void DecodeFile(const std::string& path, CWinBmp* bmp) {
    CAnyPicDecoder decoder;
    decoder.DecodeFile(path, bmp, 32);
}

void DecodeBytes(const std::string& bytes, CWinBmp* bmp, const std::string& name) {
    CMemorySource source(reinterpret_cast<const BYTE*>(bytes.data()), int(bytes.size()), name);
    CAnyPicDecoder decoder;
    decoder.DecodeSource(&source, bmp, 32);
}

int DecodeError(const std::string& bytes, std::string* text, const std::string& name) {
    CWinBmp bmp;
    try {
        DecodeBytes(bytes, &bmp, name);
    } catch (const CTextException& e) {
        if (text)
            *text = e.Text();
        return e.Code();
    }
    return 0;
}

uint32_t Pixel(const CBmp& bmp, int x, int y) {
    const BYTE* p = bmp.Line(y) + x * 4;
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

testing::AssertionResult SamePixels(const CBmp& bmp, const QImage& expected, bool withAlpha,
                                    int tolerance) {
    if (expected.isNull())
        return testing::AssertionFailure() << "expected picture could not be read";
    if (bmp.GetWidth() != expected.width() || bmp.GetHeight() != expected.height())
        return testing::AssertionFailure()
               << "size " << bmp.GetWidth() << "x" << bmp.GetHeight() << ", expected "
               << expected.width() << "x" << expected.height();
    const QImage ref = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const uint32_t got = Pixel(bmp, x, y);
            const uint32_t want = ref.pixel(x, y);
            for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
                const int a = int((got >> shift) & 0xFF), b = int((want >> shift) & 0xFF);
                if (std::abs(a - b) > tolerance) {
                    std::ostringstream s;
                    s << std::hex << "pixel (" << std::dec << x << ", " << y << std::hex
                      << "): got 0x" << got << ", expected 0x" << want;
                    return testing::AssertionFailure() << s.str();
                }
            }
        }
    return testing::AssertionSuccess();
}

testing::AssertionResult SameDrawnPixels(const CBmp& bmp, const QImage& expected, int tolerance) {
    if (expected.isNull() || bmp.GetWidth() != expected.width() ||
        bmp.GetHeight() != expected.height())
        return testing::AssertionFailure() << "no expected picture of the same size";
    QImage decoded(bmp.GetWidth(), bmp.GetHeight(), QImage::Format_ARGB32);
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x)
            decoded.setPixel(x, y, Pixel(bmp, x, y));
    const QImage got = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage want = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < got.height(); ++y) {
        const QRgb* g = reinterpret_cast<const QRgb*>(got.constScanLine(y));
        const QRgb* w = reinterpret_cast<const QRgb*>(want.constScanLine(y));
        for (int x = 0; x < got.width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                if (std::abs(int((g[x] >> shift) & 0xFF) - int((w[x] >> shift) & 0xFF)) > tolerance)
                    return testing::AssertionFailure()
                           << "drawn pixel (" << x << ", " << y << "): got 0x" << std::hex << g[x]
                           << ", expected 0x" << w[x];
    }
    return testing::AssertionSuccess();
}

Bytes& Bytes::u8(int v) {
    m_s.push_back(char(v & 0xFF));
    return *this;
}
Bytes& Bytes::u16(int v) {
    return u8(v).u8(v >> 8);
}
Bytes& Bytes::u32(uint32_t v) {
    return u16(int(v & 0xFFFF)).u16(int(v >> 16));
}
Bytes& Bytes::be16(int v) {
    return u8(v >> 8).u8(v);
}
Bytes& Bytes::be32(uint32_t v) {
    return be16(int(v >> 16)).be16(int(v & 0xFFFF));
}
Bytes& Bytes::raw(const std::string& s) {
    m_s += s;
    return *this;
}
Bytes& Bytes::fill(int count, int value) {
    m_s.append(size_t(count), char(value));
    return *this;
}

std::string MakeBmp(int width, int height, int bpp, uint32_t compression,
                    const std::vector<uint32_t>& palette, const std::string& pixels,
                    int headerSize) {
    Bytes b;
    const uint32_t offset = 14 + uint32_t(headerSize) + uint32_t(palette.size()) * 4;
    b.raw("BM").u32(offset + uint32_t(pixels.size())).u16(0).u16(0).u32(offset);
    b.u32(uint32_t(headerSize)).u32(uint32_t(width)).u32(uint32_t(height)).u16(1).u16(bpp);
    b.u32(compression).u32(uint32_t(pixels.size())).u32(2835).u32(2835);
    b.u32(uint32_t(palette.size())).u32(0);
    b.fill(headerSize - 40, 0);
    for (uint32_t c : palette)
        b.u32(c);
    b.raw(pixels);
    return b.str();
}

} // namespace codectest
