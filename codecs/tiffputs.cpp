#include "codecs/tiffputs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace {

static_assert(std::is_standard_layout_v<CTiffImage>);

bool Premultiplied(TIFFRGBAImage* image) {
    return reinterpret_cast<const CTiffImage*>(image)->premultiplied;
}

uint32_t Pack(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return r | g << 8 | b << 16 | a << 24;
}

// 16-bit samples, read without assuming the buffer is aligned for them.
uint16_t Sample16(const unsigned char* p, size_t index) {
    uint16_t v;
    std::memcpy(&v, p + index * 2, 2);
    return v;
}

// CIELab to sRGB ------------------------------------------------------------------

constexpr double kWhiteX = 0.95047, kWhiteZ = 1.08883; // D65, Y = 1

double LabInverse(double t) {
    constexpr double d = 6.0 / 29.0;
    return t > d ? t * t * t : 3 * d * d * (t - 4.0 / 29.0);
}

uint32_t DirectSrgbByte(double c) {
    const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return uint32_t(std::lround(v * 255));
}

// The byte steps up at 255 linear values; each is found once, as the least
// double in [0, 1] whose byte reaches the step (positive doubles order as
// their bits do), so that a lookup answers as the power does. A lookup
// starts at the byte of the lower end of its value's bucket and steps over
// the edges inside the bucket, fewer than two anywhere for this many
// buckets: a search over all 255 edges per channel was most of the decoding
// time of a CIELab picture.
constexpr int kSrgbBuckets = 4096;

struct SrgbSteps {
    double at[256];
    uint8_t bucketStart[kSrgbBuckets + 1];
    SrgbSteps() {
        at[0] = 0;
        for (uint32_t k = 1; k < 256; ++k) {
            uint64_t low = Bits(0.0), high = Bits(1.0);
            while (low < high) {
                const uint64_t middle = low + (high - low) / 2;
                if (DirectSrgbByte(Double(middle)) >= k)
                    high = middle;
                else
                    low = middle + 1;
            }
            at[k] = Double(low);
        }
        uint32_t k = 0;
        for (int i = 0; i <= kSrgbBuckets; ++i) {
            while (k < 255 && at[k + 1] <= double(i) / kSrgbBuckets)
                ++k;
            bucketStart[i] = uint8_t(k);
        }
    }
    static uint64_t Bits(double d) {
        uint64_t u;
        std::memcpy(&u, &d, sizeof u);
        return u;
    }
    static double Double(uint64_t u) {
        double d;
        std::memcpy(&d, &u, sizeof d);
        return d;
    }
};

// The colour of the last Lab value converted.
struct LastLabColour {
    template <typename Convert> uint32_t Of(uint64_t lab, Convert convert) {
        if (!known || lab != key) {
            key = lab;
            colour = convert();
            known = true;
        }
        return colour;
    }
    bool known = false;
    uint64_t key = 0;
    uint32_t colour = 0;
};

void PutLab8(TIFFRGBAImage* image, uint32_t* cp, uint32_t, uint32_t, uint32_t w, uint32_t h,
             int32_t fromskew, int32_t toskew, unsigned char* pp) {
    const int spp = image->samplesperpixel;
    // Neighbouring pixels often share a colour; the conversion is dear.
    LastLabColour last;
    for (; h > 0; --h) {
        for (uint32_t x = 0; x < w; ++x, pp += spp) {
            const uint64_t lab = uint64_t(pp[0]) | uint64_t(pp[1]) << 8 | uint64_t(pp[2]) << 16;
            *cp++ = last.Of(lab, [pp] {
                return PackedLabColour(pp[0] * 100.0 / 255, int8_t(pp[1]), int8_t(pp[2]));
            });
        }
        cp += toskew;
        pp += fromskew * spp;
    }
}

void PutLab16(TIFFRGBAImage* image, uint32_t* cp, uint32_t, uint32_t, uint32_t w, uint32_t h,
              int32_t fromskew, int32_t toskew, unsigned char* pp) {
    const int spp = image->samplesperpixel;
    LastLabColour last;
    for (; h > 0; --h) {
        for (uint32_t x = 0; x < w; ++x, pp += spp * 2) {
            const uint64_t lab = uint64_t(Sample16(pp, 0)) | uint64_t(Sample16(pp, 1)) << 16 |
                                 uint64_t(Sample16(pp, 2)) << 32;
            *cp++ = last.Of(lab, [pp] {
                return PackedLabColour(Sample16(pp, 0) * 100.0 / 65535,
                                       int16_t(Sample16(pp, 1)) / 256.0,
                                       int16_t(Sample16(pp, 2)) / 256.0);
            });
        }
        cp += toskew;
        pp += fromskew * spp * 2;
    }
}

// 16-bit colours with alpha ----------------------------------------------------------

uint32_t Reduced(uint32_t v) {
    return (v + 128) / 257;
}

uint32_t Divided(uint32_t colour, uint32_t alpha) {
    if (alpha == 0)
        return 0;
    return std::min<uint32_t>(65535, uint32_t((uint64_t(colour) * 65535 + alpha / 2) / alpha));
}

uint32_t PackedRgba16(uint32_t r, uint32_t g, uint32_t b, uint32_t a, bool divide) {
    if (divide) {
        r = Divided(r, a);
        g = Divided(g, a);
        b = Divided(b, a);
    }
    return Pack(Reduced(r), Reduced(g), Reduced(b), Reduced(a));
}

void PutRgba16(TIFFRGBAImage* image, uint32_t* cp, uint32_t, uint32_t, uint32_t w, uint32_t h,
               int32_t fromskew, int32_t toskew, unsigned char* pp) {
    const bool divide = Premultiplied(image);
    const int spp = image->samplesperpixel;
    for (; h > 0; --h) {
        for (uint32_t x = 0; x < w; ++x, pp += spp * 2)
            *cp++ = PackedRgba16(Sample16(pp, 0), Sample16(pp, 1), Sample16(pp, 2), Sample16(pp, 3),
                                 divide);
        cp += toskew;
        pp += fromskew * spp * 2;
    }
}

void PutRgba16Separate(TIFFRGBAImage* image, uint32_t* cp, uint32_t, uint32_t, uint32_t w,
                       uint32_t h, int32_t fromskew, int32_t toskew, unsigned char* r,
                       unsigned char* g, unsigned char* b, unsigned char* a) {
    const bool divide = Premultiplied(image);
    for (; h > 0; --h) {
        for (uint32_t x = 0; x < w; ++x)
            *cp++ = PackedRgba16(Sample16(r, x), Sample16(g, x), Sample16(b, x), Sample16(a, x),
                                 divide);
        const size_t row = (size_t(w) + size_t(fromskew)) * 2;
        r += row;
        g += row;
        b += row;
        a += row;
        cp += toskew;
    }
}

} // namespace

uint32_t SrgbByte(double linear) {
    static const SrgbSteps steps;
    if (!(linear > 0)) // and not a number
        return 0;
    const double c = std::min(linear, 1.0);
    // c times the bucket count is exact, so the bucket's lower end is at most c.
    uint32_t k = steps.bucketStart[size_t(c * kSrgbBuckets)];
    while (k < 255 && steps.at[k + 1] <= c)
        ++k;
    return k;
}

uint32_t PackedLabColour(double lightness, double a, double b) {
    const double fy = (lightness + 16) / 116;
    const double x = kWhiteX * LabInverse(fy + a / 500);
    const double y = LabInverse(fy);
    const double z = kWhiteZ * LabInverse(fy - b / 200);
    return Pack(SrgbByte(3.2404542 * x - 1.5371385 * y - 0.4985314 * z),
                SrgbByte(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z),
                SrgbByte(0.0556434 * x - 0.2040259 * y + 1.0572252 * z), 255);
}

bool InstallOwnPuts(CTiffImage* reader) {
    TIFFRGBAImage& image = reader->image;
    const int bits = image.bitspersample;
    if (image.photometric == PHOTOMETRIC_CIELAB && image.isContig && image.samplesperpixel == 3 &&
        (bits == 8 || bits == 16)) {
        image.put.contig = bits == 8 ? PutLab8 : PutLab16;
        return true;
    }
    if (image.photometric == PHOTOMETRIC_RGB && bits == 16 && image.samplesperpixel >= 4 &&
        image.alpha == EXTRASAMPLE_ASSOCALPHA) {
        if (image.isContig)
            image.put.contig = PutRgba16;
        else
            image.put.separate = PutRgba16Separate;
        return true;
    }
    return false;
}
