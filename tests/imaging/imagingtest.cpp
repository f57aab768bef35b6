#include "imagingtest.h"

namespace imagingtest {

std::unique_ptr<CDIB> MakePicture(int width, int height,
                                  const std::function<uint32_t(int, int)>& colour) {
    auto dib = std::make_unique<CDIB>();
    dib->Create(width, height, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
            p[0] = BYTE(c);
            p[1] = BYTE(c >> 8);
            p[2] = BYTE(c >> 16);
        }
    dib->EndPixelAccess();
    return dib;
}

uint32_t PixelOf(CDIB& dib, int x, int y) {
    dib.BeginPixelAccess();
    const BYTE* p = dib.PixelAddress(unsigned(x), unsigned(y));
    const uint32_t c = p ? (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0] : 0xDEADBEEF;
    dib.EndPixelAccess();
    return c;
}

} // namespace imagingtest
