#pragma once
// Helpers of the codec tests: decoding files and byte strings, comparing
// bitmaps with pictures read by Qt, and building small files byte by byte.

#include "codecs/bmp.h"
#include "codecs/textexception.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace codectest {

std::string Fixture(const std::string& name);

// Decodes a file or bytes through the recognising decoder.
void DecodeFile(const std::string& path, CWinBmp* bmp);
void DecodeBytes(const std::string& bytes, CWinBmp* bmp, const std::string& name = "memory");

// The code of the CTextException decoding throws, or 0 when it succeeds.
int DecodeError(const std::string& bytes, std::string* text = nullptr,
                const std::string& name = "memory");

// Pixel (x, y) of a 32-bit bitmap as 0xAARRGGBB.
uint32_t Pixel(const CBmp& bmp, int x, int y);

// Compares the colours (and the alpha when withAlpha) of every pixel; the
// result names the first differing pixel. tolerance is per channel.
testing::AssertionResult SamePixels(const CBmp& bmp, const QImage& expected, bool withAlpha,
                                    int tolerance = 0);

// The same for pictures with alpha, as they would be drawn: colours
// multiplied by alpha, so the colour of a transparent pixel does not count.
testing::AssertionResult SameDrawnPixels(const CBmp& bmp, const QImage& expected,
                                         int tolerance = 0);

// Little-endian byte writer for building test files.
class Bytes {
public:
    Bytes& u8(int v);
    Bytes& u16(int v);
    Bytes& u32(uint32_t v);
    Bytes& be16(int v);
    Bytes& be32(uint32_t v);
    Bytes& raw(const std::string& s);
    Bytes& fill(int count, int value);
    const std::string& str() const { return m_s; }
    size_t size() const { return m_s.size(); }

private:
    std::string m_s;
};

// A BMP file: file header, information header, palette, pixels.
std::string MakeBmp(int width, int height, int bpp, uint32_t compression,
                    const std::vector<uint32_t>& palette, const std::string& pixels,
                    int headerSize = 40);

} // namespace codectest
