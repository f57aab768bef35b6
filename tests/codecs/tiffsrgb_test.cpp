// The sRGB encoding of CIELab pictures, looked up instead of computed: the
// byte of every linear value is the byte the sRGB formula rounds it to, at
// each step's very edge too.

#include "codecs/tiffputs.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int FormulaByte(double c) {
    const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return int(std::lround(v * 255));
}

// The least value in [0, 1] whose byte reaches k, to the last bit.
double StepEdge(int k) {
    double low = 0, high = 1;
    while (std::nextafter(low, 2.0) < high) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high)
            break;
        (FormulaByte(middle) >= k ? high : low) = middle;
    }
    return FormulaByte(low) >= k ? low : high;
}

} // namespace

TEST(TiffSrgbTest, EveryStepEdgeAndValueBetweenGivesTheFormulasByte) {
    for (int k = 1; k < 256; ++k) {
        const double edge = StepEdge(k);
        ASSERT_EQ(int(SrgbByte(edge)), FormulaByte(edge)) << k;
        const double below = std::nextafter(edge, 0.0);
        ASSERT_EQ(int(SrgbByte(below)), FormulaByte(below)) << k;
    }
    for (int i = 0; i <= 100000; ++i) {
        const double c = i / 100000.0;
        ASSERT_EQ(int(SrgbByte(c)), FormulaByte(c)) << c;
    }
    // The ends of the lookup's buckets, and the values just below them.
    for (int i = 1; i <= 4096; ++i) {
        const double end = i / 4096.0, below = std::nextafter(end, 0.0);
        ASSERT_EQ(int(SrgbByte(end)), FormulaByte(end)) << end;
        ASSERT_EQ(int(SrgbByte(below)), FormulaByte(below)) << below;
    }
    EXPECT_EQ(SrgbByte(-0.25), 0u);
    EXPECT_EQ(SrgbByte(std::nan("")), 0u);
    EXPECT_EQ(SrgbByte(7.5), 255u);
}
