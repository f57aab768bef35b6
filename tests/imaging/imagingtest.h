#pragma once
// Helpers of the imaging tests: pictures made pixel by pixel.

#include "imaging/dib.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace imagingtest {

// A 24-bit picture whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
std::unique_ptr<CDIB> MakePicture(int width, int height,
                                  const std::function<uint32_t(int, int)>& colour);

// Pixel (x, y) of a 24-bit picture as 0xRRGGBB.
uint32_t PixelOf(CDIB& dib, int x, int y);

// A layer pixel word (red, green, blue, alpha) as the run-length stream keeps it.
constexpr uint32_t Word(uint32_t rgb, uint32_t alpha) {
    return (rgb << 8) | alpha;
}

} // namespace imagingtest
