#include "imaging/rlestream.h"

#include "imaging/dib.h"

#include <algorithm>
#include <new>

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

DWORD WithAlpha(DWORD word, DWORD alpha) {
    return (word & 0xFFFFFF00u) | (alpha & 0xFF);
}

// The words of one picture row, alpha from the companion or 255.
void ReadRowWords(CDIB* picture, CDIB* alpha, int y, std::vector<DWORD>* row) {
    const int width = picture->GetWidth();
    const bool indexed = picture->GetBitCount() == 8;
    const BYTE* p = picture->PixelAddress(0, unsigned(y));
    const BYTE* a = alpha ? alpha->PixelAddress(0, unsigned(y)) : nullptr;
    const int alphaStep = alpha ? alpha->GetBitCount() / 8 : 0;
    for (int x = 0; x < width; ++x) {
        BYTE r, g, b;
        if (indexed) {
            if (!picture->GetColourEntry(p[x], &r, &g, &b))
                r = g = b = 0;
        } else {
            b = p[x * 3];
            g = p[x * 3 + 1];
            r = p[x * 3 + 2];
        }
        const DWORD alphaValue = a ? a[x * alphaStep] : 255;
        (*row)[size_t(x)] = (DWORD(r) << 24) | (DWORD(g) << 16) | (DWORD(b) << 8) | alphaValue;
    }
    (*row)[size_t(width)] = 0; // the word after the last column
}

bool UsableDepth(const CDIB* dib) {
    return dib->GetBitCount() == 24 || dib->GetBitCount() == 8;
}

// Appends code words for one row, keeping the open runs as the encoder walks
// the columns.
class RowEncoder {
public:
    explicit RowEncoder(std::vector<DWORD>* codes) : m_codes(*codes) {}

    void Transparent() {
        CloseLiteral();
        CloseRepeat();
        if (m_transparent != kNone)
            m_codes[m_transparent] += 1u << 16;
        else
            m_transparent = Open(kTransparentRun, Code(CRLEStream::kTransparent, 1));
    }
    // cur equals the next pixel: the repeat run covers both.
    void Repeat(DWORD cur) {
        CloseLiteral();
        CloseTransparent();
        if (m_repeat != kNone) {
            m_codes[m_repeat] += 1u << 16;
            return;
        }
        m_repeat = Open(kRepeatRun, Code(CRLEStream::kRepeat, 2));
        m_codes.push_back(cur);
    }
    // cur differs from the next pixel. A repeat run created last has
    // already counted it as its last pixel.
    void EndOfRepeatOrLiteral(DWORD cur) {
        if (m_last == kRepeatRun) {
            CloseAll();
            m_last = kNoRun;
            return;
        }
        Literal(cur);
    }
    void Literal(DWORD cur) {
        CloseRepeat();
        CloseTransparent();
        if (m_literal != kNone)
            m_codes[m_literal] += 1u << 16;
        else
            m_literal = Open(kLiteralRun, Code(CRLEStream::kLiteral, 1));
        m_codes.push_back(cur);
    }
    void EndRow() {
        m_codes.push_back(Code(CRLEStream::kEndOfRow, 0));
        CloseAll();
        m_last = kNoRun;
    }

private:
    enum Run { kNoRun, kLiteralRun, kRepeatRun, kTransparentRun };
    static constexpr size_t kNone = size_t(-1);

    size_t Open(Run run, DWORD word) {
        m_codes.push_back(word);
        m_last = run;
        return m_codes.size() - 1;
    }
    void CloseLiteral() { m_literal = kNone; }
    void CloseRepeat() { m_repeat = kNone; }
    void CloseTransparent() { m_transparent = kNone; }
    void CloseAll() {
        CloseLiteral();
        CloseRepeat();
        CloseTransparent();
    }

    std::vector<DWORD>& m_codes;
    size_t m_literal = kNone;
    size_t m_repeat = kNone;
    size_t m_transparent = kNone;
    Run m_last = kNoRun;
};

} // namespace

CRLEStream::CRLEStream(CDIB* picture)
    : m_bValid(false), m_nWidth(0), m_nHeight(0), m_nReadPos(0), m_nColumn(-1), m_dwPixel(0),
      m_dwOp(0), m_dwCount(0), m_bMirrored(false), m_dwKey(0), m_bKeyed(false) {
    if (picture)
        Build(picture, 0);
}

void CRLEStream::Clear() {
    m_rowStarts.clear();
    m_codes.clear();
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

bool CRLEStream::Encode(CDIB* picture, CDIB* alpha, int mode) {
    const int width = picture->GetWidth(), height = picture->GetHeight();
    if (width <= 0 || height <= 0 || width > kMaxRowPixels || !UsableDepth(picture))
        return false;
    if (alpha &&
        (alpha->GetWidth() != width || alpha->GetHeight() != height || !UsableDepth(alpha)))
        return false;
    if (!picture->BeginPixelAccess() || (alpha && !alpha->BeginPixelAccess()))
        return false;
    m_nWidth = width;
    m_nHeight = height;
    std::vector<DWORD> row(size_t(width) + 1);
    // The colour key: equal top corners, compared as opaque words.
    m_bKeyed = false;
    if (!alpha) {
        ReadRowWords(picture, nullptr, 0, &row);
        m_bKeyed = (row[0] | 0xFF) == (row[size_t(width - 1)] | 0xFF);
        m_dwKey = row[0] | 0xFF;
    }
    const bool keyed = m_bKeyed && !alpha;
    const auto matchesKey = [&](DWORD w) { return keyed && (w | 0xFF) == m_dwKey; };
    m_rowStarts.assign(size_t(height), 0);
    m_codes.clear();
    m_codes.reserve(size_t(width) * size_t(height));
    m_codes.push_back(kHeaderWord);
    RowEncoder encoder(&m_codes);
    for (int y = 0; y < height; ++y) {
        m_rowStarts[size_t(y)] = DWORD(m_codes.size());
        ReadRowWords(picture, alpha, y, &row);
        for (int x = 0; x < width; ++x) {
            DWORD& cur = row[size_t(x)];
            DWORD& next = row[size_t(x) + 1];
            if (mode == 1 && keyed) {
                // NOTE: ink beside the paper is drawn half transparent, on
                // either side; a one-pixel stroke is halved twice.
                if (matchesKey(cur) && !matchesKey(next))
                    next = WithAlpha(next, (next & 0xFF) / 2);
                else if (!matchesKey(cur) && matchesKey(next))
                    cur = WithAlpha(cur, (cur & 0xFF) / 2);
            }
            if (matchesKey(cur) || (cur & 0xFF) == 0)
                encoder.Transparent();
            else if (mode == 1)
                encoder.Literal(cur);
            else if (cur == next)
                encoder.Repeat(cur);
            else
                encoder.EndOfRepeatOrLiteral(cur);
        }
        encoder.EndRow();
    }
    m_codes.shrink_to_fit();
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
            std::copy_n(m_codes.begin() + std::ptrdiff_t(pos), n, out + x);
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
