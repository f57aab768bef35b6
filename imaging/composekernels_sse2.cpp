// The composition kernels in SSE2, which every x86-64 processor has: four
// pixels at a time, each product in a 16-bit lane.

#include "imaging/composekernels.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstring>

namespace {

inline __m128i Gather4(const uint32_t* words, const int* columns) {
    return _mm_setr_epi32(int(words[columns[0]]), int(words[columns[1]]), int(words[columns[2]]),
                          int(words[columns[3]]));
}

// Blends two pixels held as eight 16-bit lanes with their weights e.
inline __m128i BlendHalf(__m128i source, __m128i page, __m128i e) {
    const __m128i one = _mm_set1_epi16(1), full = _mm_set1_epi16(256);
    const __m128i s = _mm_srli_epi16(_mm_mullo_epi16(source, _mm_add_epi16(e, one)), 8);
    const __m128i d = _mm_srli_epi16(_mm_mullo_epi16(page, _mm_sub_epi16(full, e)), 8);
    return _mm_add_epi16(s, d);
}

// Four words over four page words; transparent and opaque groups are
// decided once for the four.
inline void Blend4(__m128i source, int opacity, uint32_t* work) {
    const __m128i zero = _mm_setzero_si128();
    __m128i e = _mm_and_si128(source, _mm_set1_epi32(0xFF));
    if (opacity != 255) // (alpha * (opacity + 1)) >> 8 in the low half of each lane
        e = _mm_srli_epi32(_mm_mullo_epi16(e, _mm_set1_epi32(opacity + 1)), 8);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(e, zero)) == 0xFFFF)
        return;
    __m128i* at = reinterpret_cast<__m128i*>(work);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(e, _mm_set1_epi32(255))) == 0xFFFF) {
        _mm_storeu_si128(at, source);
        return;
    }
    const __m128i page = _mm_loadu_si128(at);
    const __m128i both = _mm_or_si128(e, _mm_slli_epi32(e, 16)); // e in each half of a lane
    const __m128i low = BlendHalf(_mm_unpacklo_epi8(source, zero), _mm_unpacklo_epi8(page, zero),
                                  _mm_unpacklo_epi32(both, both));
    const __m128i high = BlendHalf(_mm_unpackhi_epi8(source, zero), _mm_unpackhi_epi8(page, zero),
                                   _mm_unpackhi_epi32(both, both));
    _mm_storeu_si128(at, _mm_packus_epi16(low, high));
}

// The last few pixels of a span, one by one with the same arithmetic.
inline void BlendOne(uint32_t word, int opacity, uint32_t* page) {
    const uint32_t e = ((word & 0xFF) * uint32_t(opacity + 1)) >> 8;
    if (!e)
        return;
    uint32_t out = 0;
    for (int shift = 8; shift < 32; shift += 8) {
        const uint32_t s = (word >> shift) & 0xFF, d = (*page >> shift) & 0xFF;
        out |= (((s * (e + 1)) >> 8) + ((d * (256 - e)) >> 8)) << shift;
    }
    *page = out;
}

void BlendSse2(const uint32_t* words, const int* columns, int n, int opacity, uint32_t* work,
               const uint8_t*) {
    int i = 0;
    if (columns) {
        for (; i + 4 <= n; i += 4)
            Blend4(Gather4(words, columns + i), opacity, work + i);
        for (; i < n; ++i)
            BlendOne(words[columns[i]], opacity, work + i);
    } else {
        for (; i + 4 <= n; i += 4)
            Blend4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(words + i)), opacity, work + i);
        for (; i < n; ++i)
            BlendOne(words[i], opacity, work + i);
    }
}

// Each pixel written as four bytes, the fourth overwritten by the next
// pixel; the last pixel as three.
void StoreSse2(const uint32_t* work, int n, uint8_t* out) {
    if (n <= 0)
        return;
    for (int i = 0; i + 1 < n; ++i) {
        const uint32_t bgr = work[i] >> 8;
        std::memcpy(out + 3 * i, &bgr, 4);
    }
    const uint32_t last = work[n - 1];
    uint8_t* p = out + 3 * (n - 1);
    p[0] = uint8_t(last >> 8);
    p[1] = uint8_t(last >> 16);
    p[2] = uint8_t(last >> 24);
}

const CComposeKernels kSse2{BlendSse2, StoreSse2};

} // namespace

const CComposeKernels* Sse2ComposeKernels() {
    return &kSse2;
}

#else

const CComposeKernels* Sse2ComposeKernels() {
    return nullptr;
}

#endif
