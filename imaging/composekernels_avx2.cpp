// The composition kernels in AVX2: eight pixels at a time. This file alone
// is compiled for AVX2 and runs only where the processor says it has it.

#include "imaging/composekernels.h"

#if defined(__AVX2__)

#include <immintrin.h>

namespace {

inline __m256i Load8(const uint32_t* words) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words));
}

inline __m256i Gather8(const uint32_t* words, const int* columns) {
    const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns));
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(words), index, 4);
}

inline __m256i BlendHalf(__m256i source, __m256i page, __m256i e) {
    const __m256i one = _mm256_set1_epi16(1), full = _mm256_set1_epi16(256);
    const __m256i s = _mm256_srli_epi16(_mm256_mullo_epi16(source, _mm256_add_epi16(e, one)), 8);
    const __m256i d = _mm256_srli_epi16(_mm256_mullo_epi16(page, _mm256_sub_epi16(full, e)), 8);
    return _mm256_add_epi16(s, d);
}

// Eight words over eight page words; the unpacking and packing stay within
// each 128-bit half, so the pixels come back in their order.
inline void Blend8(__m256i source, int opacity, uint32_t* work) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i e = _mm256_and_si256(source, _mm256_set1_epi32(0xFF));
    if (opacity != 255)
        e = _mm256_srli_epi32(_mm256_mullo_epi16(e, _mm256_set1_epi32(opacity + 1)), 8);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(e, zero)) == -1)
        return;
    __m256i* at = reinterpret_cast<__m256i*>(work);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(e, _mm256_set1_epi32(255))) == -1) {
        _mm256_storeu_si256(at, source);
        return;
    }
    const __m256i page = _mm256_loadu_si256(at);
    const __m256i both = _mm256_or_si256(e, _mm256_slli_epi32(e, 16));
    const __m256i low =
        BlendHalf(_mm256_unpacklo_epi8(source, zero), _mm256_unpacklo_epi8(page, zero),
                  _mm256_unpacklo_epi32(both, both));
    const __m256i high =
        BlendHalf(_mm256_unpackhi_epi8(source, zero), _mm256_unpackhi_epi8(page, zero),
                  _mm256_unpackhi_epi32(both, both));
    _mm256_storeu_si256(at, _mm256_packus_epi16(low, high));
}

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

void BlendAvx2(const uint32_t* words, const int* columns, int n, int opacity, uint32_t* work,
               const uint8_t*) {
    int i = 0;
    if (columns) {
        for (; i + 8 <= n; i += 8)
            Blend8(Gather8(words, columns + i), opacity, work + i);
        for (; i < n; ++i)
            BlendOne(words[columns[i]], opacity, work + i);
    } else {
        for (; i + 8 <= n; i += 8)
            Blend8(Load8(words + i), opacity, work + i);
        for (; i < n; ++i)
            BlendOne(words[i], opacity, work + i);
    }
}

// Eight pixels become 24 bytes: each half keeps bytes 1-3 of its four
// words in its low 12 bytes. Each half is stored as 16 bytes, the last 4
// overwritten by what follows, so the loop stops while 4 bytes remain.
void StoreAvx2(const uint32_t* work, int n, uint8_t* out) {
    const __m256i pick = _mm256_setr_epi8(1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15, -1, -1, -1, -1,
                                          1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15, -1, -1, -1, -1);
    int i = 0;
    for (; i + 10 <= n; i += 8) {
        const __m256i packed = _mm256_shuffle_epi8(Load8(work + i), pick);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * i), _mm256_castsi256_si128(packed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * i + 12),
                         _mm256_extracti128_si256(packed, 1));
    }
    for (; i < n; ++i) {
        out[3 * i] = uint8_t(work[i] >> 8);
        out[3 * i + 1] = uint8_t(work[i] >> 16);
        out[3 * i + 2] = uint8_t(work[i] >> 24);
    }
}

const CComposeKernels kAvx2{BlendAvx2, StoreAvx2};

} // namespace

const CComposeKernels* Avx2ComposeKernels() {
    return &kAvx2;
}

#else

const CComposeKernels* Avx2ComposeKernels() {
    return nullptr;
}

#endif
