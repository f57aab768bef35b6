// The plain composition kernels, read straight from the product table, and
// the choice of the set that compositions take.

#include "imaging/composekernels.h"

namespace {

// The reference blend of one word, every product a table look-up.
inline void BlendWord(uint32_t word, int opacity, uint32_t* page, const uint8_t* table) {
    const int e = table[(word & 0xFF) * 256 + opacity];
    if (!e)
        return;
    if (e == 255) {
        *page = word;
        return;
    }
    const uint8_t* source = table + e;
    const uint8_t* below = table + (255 - e);
    uint32_t out = 0;
    for (int shift = 8; shift < 32; shift += 8) {
        const uint32_t s = (word >> shift) & 0xFF, d = (*page >> shift) & 0xFF;
        out |= uint32_t((source[s * 256] + below[d * 256]) & 0xFF) << shift;
    }
    *page = out;
}

void BlendScalar(const uint32_t* words, const int* columns, int n, int opacity, uint32_t* work,
                 const uint8_t* table) {
    if (columns) {
        for (int i = 0; i < n; ++i)
            BlendWord(words[columns[i]], opacity, work + i, table);
    } else {
        for (int i = 0; i < n; ++i)
            BlendWord(words[i], opacity, work + i, table);
    }
}

void StoreScalar(const uint32_t* work, int n, uint8_t* out) {
    for (int i = 0; i < n; ++i, out += 3) {
        out[0] = uint8_t(work[i] >> 8);
        out[1] = uint8_t(work[i] >> 16);
        out[2] = uint8_t(work[i] >> 24);
    }
}

const CComposeKernels kScalar{BlendScalar, StoreScalar};

bool g_forced = false;
ComposePath g_forcedPath = ComposePath::kScalar;

ComposePath FastestPath() {
    static const ComposePath fastest = ComposePathAvailable(ComposePath::kAvx2) ? ComposePath::kAvx2
                                       : ComposePathAvailable(ComposePath::kSse2)
                                           ? ComposePath::kSse2
                                           : ComposePath::kScalar;
    return fastest;
}

} // namespace

const CComposeKernels& ScalarComposeKernels() {
    return kScalar;
}

bool ComposePathAvailable(ComposePath path) {
    switch (path) {
    case ComposePath::kScalar:
        return true;
    case ComposePath::kSse2:
        return Sse2ComposeKernels() != nullptr;
    case ComposePath::kAvx2:
#if defined(__x86_64__) || defined(__i386__)
        return Avx2ComposeKernels() != nullptr && __builtin_cpu_supports("avx2");
#else
        return false;
#endif
    }
    return false;
}

ComposePath ActiveComposePath() {
    return g_forced ? g_forcedPath : FastestPath();
}

bool ForceComposePath(ComposePath path) {
    if (!ComposePathAvailable(path))
        return false;
    g_forced = true;
    g_forcedPath = path;
    return true;
}

void ClearForcedComposePath() {
    g_forced = false;
}

const CComposeKernels& ComposeKernelsOf(ComposePath path) {
    if (!ComposePathAvailable(path))
        return kScalar;
    switch (path) {
    case ComposePath::kSse2:
        return *Sse2ComposeKernels();
    case ComposePath::kAvx2:
        return *Avx2ComposeKernels();
    default:
        return kScalar;
    }
}
