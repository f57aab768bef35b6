#pragma once
// The inner loops of the composition, one set per instruction set: blending
// a layer's pixel words over a row of the page, and storing that row as
// page pixels. The plain set is the reference; the SSE2 and AVX2 sets give
// the same bytes, since (i * (j + 1)) >> 8 of the product table is exact in
// 16-bit lanes. The fastest set the processor runs is chosen once, at the
// first composition; tests and benchmarks may force another.
//
// NOTE: this header is included by the file compiled for AVX2, so it must
// not pull in inline code that other files share (the linker could keep
// the AVX2 copy for the whole program): plain C types only.

#include <cstdint>

// A row of page pixels while layers are blended over it: one word a pixel
// in the layer word's layout (blue in bits 8-15, green 16-23, red 24-31);
// the low byte means nothing.
struct CComposeKernels {
    // Blends n words over work[0 .. n-1]: word i is words[columns[i]], or
    // words[i] without columns. The effective alpha of a word is
    // (alpha * (opacity + 1)) >> 8 and each channel becomes
    // (source * (e + 1)) >> 8 + (page * (256 - e)) >> 8. The table is the
    // product table; only the plain set reads it.
    void (*blend)(const uint32_t* words, const int* columns, int n, int opacity, uint32_t* work,
                  const uint8_t* table);
    // Writes n work words as page pixels: blue, green, red.
    void (*store)(const uint32_t* work, int n, uint8_t* out);
};

enum class ComposePath { kScalar, kSse2, kAvx2 };

// Whether this processor (and this build) runs the path.
bool ComposePathAvailable(ComposePath path);
// The path compositions take: a forced one, else the fastest available.
ComposePath ActiveComposePath();
// Makes every composition take the path; false, and nothing changes, when
// it is not available here.
bool ForceComposePath(ComposePath path);
// Back to the fastest available path.
void ClearForcedComposePath();
// The kernels of a path (the plain ones for a path not available here).
const CComposeKernels& ComposeKernelsOf(ComposePath path);

// The sets themselves, each in its own file.
const CComposeKernels& ScalarComposeKernels();
const CComposeKernels* Sse2ComposeKernels(); // null where not built
const CComposeKernels* Avx2ComposeKernels(); // null where not built
