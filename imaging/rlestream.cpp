#include "imaging/rlestream.h"

#include "imaging/dib.h"
#include "platform/largeblock.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr DWORD Code(DWORD op, DWORD count) {
    return op | (count << 16);
}
constexpr DWORD OpOf(DWORD word) {
    return word & 0xFF;
}
constexpr DWORD CountOf(DWORD word) {
    return word >> 16;
}
// Counts are 16 bits: rows wider than this cannot be coded.
constexpr int kMaxRowPixels = 0xFFFF;

bool UsableDepth(const CDIB* dib) {
    return dib->GetBitCount() == 24 || dib->GetBitCount() == 8;
}

// What makes a pixel transparent: alpha 0, or the key colour (compared as
// an opaque word) in a keyed picture.
struct Transparency {
    bool keyed;
    DWORD key;
    bool Keyed(DWORD w) const { return keyed && (w | 0xFF) == key; }
    bool operator()(DWORD w) const { return (w & 0xFF) == 0 || Keyed(w); }
};

// The length of the run of paper (key-coloured) words from x on.
int PaperRun(const DWORD* row, int x, int width, DWORD key) {
    int n = x;
#if defined(__SSE2__)
    const __m128i keys = _mm_set1_epi32(int(key)), alpha = _mm_set1_epi32(0xFF);
    while (n + 4 <= width) {
        const __m128i words =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + n)), alpha);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(words, keys)) != 0xFFFF)
            break;
        n += 4;
    }
#endif
    while (n < width && (row[n] | 0xFF) == key)
        ++n;
    return n - x;
}

// A row of text on keyed paper: the paper is transparent and all ink is in
// literal runs (its alpha is 255: a keyed picture has no alpha companion).
// NOTE: ink beside the paper is drawn half transparent, on either side; a
// one-pixel stroke is halved twice. The word after the last column counts
// as a neighbour too (it is 0, which is the key of black paper).
size_t EncodeTextOnPaperRow(const DWORD* row, int width, DWORD key, DWORD* out) {
    DWORD* const first = out;
    const auto paper = [key](DWORD w) { return (w | 0xFF) == key; };
    int x = 0;
    while (x < width) {
        int n = 0;
        if (paper(row[x])) {
            n = PaperRun(row, x, width, key);
            *out++ = Code(CRLEStream::kTransparent, DWORD(n));
        } else {
            DWORD* code = out++;
            bool paperBefore = x > 0; // ink starts a row or follows paper
            bool paperAfter = false;
            while (x + n < width && !paperAfter) {
                const DWORD ink = row[x + n];
                paperAfter = paper(row[x + n + 1]);
                DWORD alpha = ink & 0xFF;
                if (paperBefore)
                    alpha /= 2;
                if (paperAfter)
                    alpha /= 2;
                *out++ = (ink & 0xFFFFFF00u) | alpha;
                paperBefore = false;
                ++n;
            }
            *code = Code(CRLEStream::kLiteral, DWORD(n));
        }
        x += n;
    }
    *out++ = Code(CRLEStream::kEndOfRow, 0);
    return size_t(out - first);
}

// The code words of one row (width words and a 0 after them) written at
// out; answers how many. Runs are as long as they can be: transparent
// pixels in one run, equal opaque words in a repeat run (pictures only),
// everything else in literal runs.
size_t EncodeRow(const DWORD* row, int width, bool text, const Transparency& transparent,
                 DWORD* out) {
    DWORD* const first = out;
    int x = 0;
    while (x < width) {
        const DWORD cur = row[x];
        int n = 1;
        if (transparent(cur)) {
            while (x + n < width && transparent(row[x + n]))
                ++n;
            *out++ = Code(CRLEStream::kTransparent, DWORD(n));
        } else if (!text && cur == row[x + 1]) {
            // An opaque word is never 0, so the 0 after the row ends a run.
            for (n = 2; x + n < width && row[x + n] == cur;)
                ++n;
            *out++ = Code(CRLEStream::kRepeat, DWORD(n));
            *out++ = cur;
        } else {
            DWORD* code = out++;
            *out++ = cur;
            while (x + n < width && !transparent(row[x + n]) &&
                   (text || row[x + n] != row[x + n + 1]))
                *out++ = row[x + n++];
            *code = Code(CRLEStream::kLiteral, DWORD(n));
        }
        x += n;
    }
    *out++ = Code(CRLEStream::kEndOfRow, 0);
    return size_t(out - first);
}

// The most words a row of this width can take: a literal and a
// transparent run by turns give three words for two pixels.
size_t MostWordsOfRow(int width) {
    return 2 * size_t(width) + 2;
}

} // namespace

// The words of a picture's rows, alpha from the companion or 255.
class CRLEStream::RowWords {
public:
    RowWords(CDIB* picture, CDIB* alpha) : m_picture(picture), m_alpha(alpha) {
        if (picture->GetBitCount() == 8)
            for (int i = 0; i < 256; ++i) {
                BYTE r = 0, g = 0, b = 0;
                picture->GetColourEntry(i, &r, &g, &b);
                m_palette[i] = DWORD(r) << 24 | DWORD(g) << 16 | DWORD(b) << 8;
            }
    }
    void operator()(int y, DWORD* row) const {
        const int width = m_picture->GetWidth();
        const BYTE* p = m_picture->PixelAddress(0, unsigned(y));
        const BYTE* a = m_alpha ? m_alpha->PixelAddress(0, unsigned(y)) : nullptr;
        const int alphaStep = m_alpha ? m_alpha->GetBitCount() / 8 : 0;
        if (m_picture->GetBitCount() == 8) {
            for (int x = 0; x < width; ++x)
                row[x] = m_palette[p[x]] | (a ? a[x * alphaStep] : 255u);
        } else if (a) {
            for (int x = 0; x < width; ++x, p += 3)
                row[x] =
                    DWORD(p[2]) << 24 | DWORD(p[1]) << 16 | DWORD(p[0]) << 8 | a[x * alphaStep];
        } else if (width > 0) {
            // Blue, green and red are the word's upper three bytes: each
            // pixel is read as four bytes (the fourth belongs to the next
            // pixel) and shifted up; the last one is read as three.
            for (int x = 0; x + 1 < width; ++x) {
                uint32_t bytes;
                std::memcpy(&bytes, p + 3 * x, 4);
                row[x] = bytes << 8 | 255u;
            }
            const BYTE* last = p + 3 * (width - 1);
            row[width - 1] =
                DWORD(last[2]) << 24 | DWORD(last[1]) << 16 | DWORD(last[0]) << 8 | 255u;
        }
        row[width] = 0; // the word after the last column
    }

private:
    CDIB* m_picture;
    CDIB* m_alpha;
    DWORD m_palette[256] = {}; // colours beyond the table are black
};

// Code block -------------------------------------------------------------------------

CCodeBlock::~CCodeBlock() {
    Free();
}

CCodeBlock::CCodeBlock(const CCodeBlock& other) {
    *this = other;
}

CCodeBlock& CCodeBlock::operator=(const CCodeBlock& other) {
    if (this == &other)
        return *this;
    m_nSize = 0;
    if (!Reserve(other.m_nSize))
        throw std::bad_alloc();
    if (other.m_nSize)
        std::memcpy(m_pWords, other.m_pWords, other.m_nSize * sizeof(DWORD));
    m_nSize = other.m_nSize;
    return *this;
}

CCodeBlock::CCodeBlock(CCodeBlock&& other) noexcept {
    *this = std::move(other);
}

CCodeBlock& CCodeBlock::operator=(CCodeBlock&& other) noexcept {
    if (this != &other) {
        Free();
        std::swap(m_pWords, other.m_pWords);
        std::swap(m_nSize, other.m_nSize);
        std::swap(m_nCapacity, other.m_nCapacity);
    }
    return *this;
}

bool CCodeBlock::Reserve(size_t n) {
    if (n <= m_nCapacity)
        return true;
    if (n > size_t(-1) / sizeof(DWORD))
        return false;
    void* grown = platform::ReallocateLarge(m_pWords, n * sizeof(DWORD));
    if (!grown)
        return false;
    m_pWords = static_cast<DWORD*>(grown);
    m_nCapacity = n;
    return true;
}

void CCodeBlock::ShrinkToFit() {
    if (m_nSize == m_nCapacity)
        return;
    if (m_nSize == 0) {
        Free();
        return;
    }
    if (void* cut = platform::ReallocateLarge(m_pWords, m_nSize * sizeof(DWORD))) {
        m_pWords = static_cast<DWORD*>(cut);
        m_nCapacity = m_nSize;
    }
}

void CCodeBlock::Free() {
    platform::FreeLarge(m_pWords);
    m_pWords = nullptr;
    m_nSize = m_nCapacity = 0;
}

// Building -------------------------------------------------------------------------

CRLEStream::CRLEStream(CDIB* picture)
    : m_bValid(false), m_nWidth(0), m_nHeight(0), m_nReadPos(0), m_nColumn(-1), m_dwPixel(0),
      m_dwOp(0), m_dwCount(0), m_bMirrored(false), m_dwKey(0), m_bKeyed(false) {
    if (picture)
        Build(picture, 0);
}

void CRLEStream::Clear() {
    m_rowStarts.clear();
    m_codes.Free();
    m_bValid = false;
}

bool CRLEStream::Build(CDIB* picture, int mode) {
    if (!picture) {
        Clear();
        return false;
    }
    if (m_bValid)
        return true;
    if (!picture->GetBlock() && !picture->EnsureParts(CDIB::kImage))
        return false;
    CDIB* alpha = picture->EnsureParts(CDIB::kAlpha) ? picture->GetAlpha() : nullptr;
    try {
        m_bValid = Encode(picture, alpha, mode);
    } catch (const std::bad_alloc&) {
        m_bValid = false;
    }
    picture->EndPixelAccess();
    if (alpha)
        alpha->EndPixelAccess();
    if (!m_bValid)
        Clear();
    return m_bValid;
}

bool CRLEStream::BuildFromWords(const DWORD* words, int width, int height, int mode) {
    if (m_bValid)
        return true;
    if (!words || width <= 0 || height <= 0 || width > kMaxRowPixels)
        return false;
    m_bKeyed = false;
    try {
        m_bValid = EncodeRows(width, height, mode, [&](int y, DWORD* row) {
            std::memcpy(row, words + size_t(y) * size_t(width), size_t(width) * sizeof(DWORD));
            row[width] = 0;
        });
    } catch (const std::bad_alloc&) {
        m_bValid = false;
    }
    if (!m_bValid)
        Clear();
    return m_bValid;
}

bool CRLEStream::Encode(CDIB* picture, CDIB* alpha, int mode) {
    const int width = picture->GetWidth(), height = picture->GetHeight();
    if (width <= 0 || height <= 0 || width > kMaxRowPixels || !UsableDepth(picture))
        return false;
    if (alpha &&
        (alpha->GetWidth() != width || alpha->GetHeight() != height || !UsableDepth(alpha)))
        return false;
    if (!picture->BeginPixelAccess() || (alpha && !alpha->BeginPixelAccess()))
        return false;
    const RowWords rowWords(picture, alpha);
    // The colour key: equal top corners, compared as opaque words.
    m_bKeyed = false;
    if (!alpha) {
        std::vector<DWORD> top(size_t(width) + 1);
        rowWords(0, top.data());
        m_bKeyed = (top[0] | 0xFF) == (top[size_t(width - 1)] | 0xFF);
        m_dwKey = top[0] | 0xFF;
    }
    return EncodeRows(width, height, mode, rowWords);
}

template <typename NextRow>
bool CRLEStream::EncodeRows(int width, int height, int mode, NextRow next) {
    m_nWidth = width;
    m_nHeight = height;
    const Transparency transparent{m_bKeyed, m_dwKey};
    const bool text = mode == 1;
    std::vector<DWORD> row(size_t(width) + 1);
    m_rowStarts.assign(size_t(height), 0);
    // Room for every pixel as a literal with a row's worst case to spare:
    // photographs fit at once, and the block is cut to its length after.
    m_codes.Free();
    const size_t most = MostWordsOfRow(width);
    if (!m_codes.Reserve((size_t(width) + 2) * size_t(height) + most))
        return false;
    m_codes.data()[0] = kHeaderWord;
    size_t size = 1;
    for (int y = 0; y < height; ++y) {
        m_rowStarts[size_t(y)] = DWORD(size);
        next(y, row.data());
        // Beyond the room: a quarter more, so that odd pictures grow seldom.
        if (size + most > m_codes.Capacity() &&
            !m_codes.Reserve(std::max(size + most, m_codes.Capacity() + m_codes.Capacity() / 4)) &&
            !m_codes.Reserve(size + most))
            return false;
        size += text && m_bKeyed
                    ? EncodeTextOnPaperRow(row.data(), width, m_dwKey, m_codes.data() + size)
                    : EncodeRow(row.data(), width, text, transparent, m_codes.data() + size);
    }
    m_codes.SetSize(size);
    m_codes.ShrinkToFit();
    return true;
}

void CRLEStream::SeekRow(int row, bool mirrored) {
    m_bMirrored = false;
    if (!m_bValid || row < 0 || row >= m_nHeight) {
        m_nReadPos = m_codes.size();
        m_nColumn = -1;
        m_dwCount = 0;
        return;
    }
    m_nReadPos = m_rowStarts[size_t(row)];
    m_dwOp = 0;
    m_dwCount = 0;
    m_nColumn = -1;
    DWORD word = 0;
    if (!mirrored) {
        ReadPixel(0, &word);
        return;
    }
    m_rowBuffer.assign(size_t(m_nWidth), 0);
    for (int x = 0; x < m_nWidth; ++x)
        m_rowBuffer[size_t(x)] = ReadPixel(x, &word) ? word : 0;
    m_bMirrored = true;
    m_nColumn = -1;
    ReadPixel(0, &word);
}

bool CRLEStream::ReadPixel(int x, DWORD* out) {
    if (x < m_nColumn || x >= m_nWidth)
        return false;
    if (m_bMirrored) {
        while (m_nColumn < x) {
            ++m_nColumn;
            m_dwPixel = m_rowBuffer[size_t(m_nWidth - 1 - m_nColumn)];
        }
    } else if (!ReadPlain(x)) {
        return false;
    }
    *out = m_dwPixel;
    return true;
}

bool CRLEStream::ReadPlain(int x) {
    while (m_nColumn < x) {
        if (m_dwCount > 0) {
            --m_dwCount;
            ++m_nColumn;
            if (m_dwOp == kLiteral) {
                if (m_nReadPos >= m_codes.size())
                    return false;
                m_dwPixel = m_codes[m_nReadPos++];
            }
            continue;
        }
        if (m_nReadPos >= m_codes.size())
            return false;
        const DWORD word = m_codes[m_nReadPos++];
        m_dwOp = OpOf(word);
        m_dwCount = CountOf(word);
        if (m_dwOp == kLiteral)
            continue;
        if (m_dwOp == kRepeat) {
            if (m_nReadPos >= m_codes.size() || m_dwCount == 0)
                return false;
            m_dwPixel = m_codes[m_nReadPos++];
            ++m_nColumn;
            --m_dwCount;
        } else if (m_dwOp == kTransparent) {
            m_dwPixel = 0;
        } else {
            m_dwCount = 0;
            return false;
        }
    }
    return true;
}

int CRLEStream::DecodeRow(int row, DWORD* out) const {
    if (!m_bValid || row < 0 || row >= m_nHeight)
        return 0;
    size_t pos = m_rowStarts[size_t(row)];
    const size_t end = m_codes.size();
    int x = 0;
    while (x < m_nWidth && pos < end) {
        const DWORD word = m_codes[pos++];
        const int count = int(std::min<DWORD>(CountOf(word), DWORD(m_nWidth - x)));
        switch (OpOf(word)) {
        case kLiteral: {
            const int n = int(std::min<size_t>(size_t(count), end - pos));
            std::copy_n(m_codes.data() + pos, n, out + x);
            pos += CountOf(word);
            x += n;
            if (n < count)
                return x;
            break;
        }
        case kRepeat:
            if (pos >= end || count == 0)
                return x;
            std::fill_n(out + x, count, m_codes[pos++]);
            x += count;
            break;
        case kTransparent:
            std::fill_n(out + x, count, DWORD(0));
            x += count;
            break;
        default: // the end of the row, or a word that does not belong here
            return x;
        }
    }
    return x;
}
