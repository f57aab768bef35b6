// The composition of the page: a four-corner gradient and, over it, the
// layers from the back-most to the front-most, each read through its row
// source (a turned layer through its turned pixels, see rotatedpixels.h)
// and blended by its alpha and opacity. A row is composed in words (see
// composekernels.h) over the part the layers cover and stored as page
// pixels once; the rest of the row is the gradient, copied.

#include "imaging/composekernels.h"
#include "imaging/composelayer.h"
#include "imaging/composesource.h"
#include "imaging/dib.h"
#include "imaging/progress.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

void FillProductTable(BYTE table[65536]) {
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            table[i * 256 + j] = BYTE((i * (j + 1)) >> 8);
}

namespace {

// d * (i + 1) / 256 truncated toward zero, through the table.
inline int Scaled(const BYTE* table, int d, int i) {
    return d >= 0 ? table[d * 256 + i] : -table[(-d) * 256 + i];
}

struct Rgb {
    int r, g, b;
};

Rgb Channels(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

Rgb Between(const BYTE* table, const Rgb& from, const Rgb& to, int index) {
    return {from.r + Scaled(table, to.r - from.r, index),
            from.g + Scaled(table, to.g - from.g, index),
            from.b + Scaled(table, to.b - from.b, index)};
}

// The four-corner gradient has only 256 distinct rows (the row index is
// y * 256 / H); each is worked out once, when first needed, and kept with
// the page for the next composition with the same colours and width: as
// page pixels for the parts of rows no layer covers, and as words for the
// parts the layers are blended over.
class GradientRows {
public:
    GradientRows(const BYTE* table, int W, COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3)
        : m_table(table), m_width(W), m_corners{c0, c1, c2, c3}, m_top0(Channels(c0)),
          m_top1(Channels(c1)), m_bottom0(Channels(c2)), m_bottom1(Channels(c3)),
          m_pixels(size_t(256) * W * 3), m_words(size_t(256) * W), m_made(256, false),
          m_columnIndex(size_t(W)) {
        for (int x = 0; x < W; ++x)
            m_columnIndex[size_t(x)] = x * 256 / std::max(W, 1);
    }
    bool Matches(const BYTE* table, int W, COLORREF c0, COLORREF c1, COLORREF c2,
                 COLORREF c3) const {
        return table == m_table && W == m_width && c0 == m_corners[0] && c1 == m_corners[1] &&
               c2 == m_corners[2] && c3 == m_corners[3];
    }
    // Row iy as page pixels.
    const BYTE* Pixels(int iy) {
        Make(iy);
        return m_pixels.data() + size_t(iy) * m_width * 3;
    }
    // Row iy as words.
    const DWORD* Words(int iy) {
        Make(iy);
        return m_words.data() + size_t(iy) * m_width;
    }

private:
    void Make(int iy) {
        if (m_made[size_t(iy)])
            return;
        const Rgb left = Between(m_table, m_top0, m_bottom0, iy);
        const Rgb right = Between(m_table, m_top1, m_bottom1, iy);
        // Columns share their colour by column index: 256 at most.
        DWORD colours[256];
        for (int ix = 0; ix < 256; ++ix) {
            const Rgb c = Between(m_table, left, right, ix);
            colours[ix] = DWORD(c.r) << 24 | DWORD(c.g) << 16 | DWORD(c.b) << 8;
        }
        BYTE* pixels = m_pixels.data() + size_t(iy) * m_width * 3;
        DWORD* words = m_words.data() + size_t(iy) * m_width;
        for (int x = 0; x < m_width; ++x)
            words[x] = colours[m_columnIndex[size_t(x)]];
        ScalarComposeKernels().store(words, m_width, pixels);
        m_made[size_t(iy)] = true;
    }

    const BYTE* m_table;
    int m_width;
    COLORREF m_corners[4];
    Rgb m_top0, m_top1, m_bottom0, m_bottom1;
    std::vector<BYTE> m_pixels;
    std::vector<DWORD> m_words;
    std::vector<bool> m_made;
    std::vector<int> m_columnIndex;
};

// The kernels for this table: the arithmetic of the fast sets equals the
// product table, so any other table is read by the plain set.
const CComposeKernels& KernelsFor(const BYTE* table) {
    static const std::vector<BYTE> product = [] {
        std::vector<BYTE> t(65536);
        FillProductTable(t.data());
        return t;
    }();
    if (table != product.data() && std::memcmp(table, product.data(), product.size()) != 0)
        return ScalarComposeKernels();
    return ComposeKernelsOf(ActiveComposePath());
}

// The layers taking part, back-most first, as composition blends them.
std::vector<std::unique_ptr<CRowSource>> Sources(const std::vector<CComposeLayer*>& layers,
                                                 const CComposeFrame& frame) {
    std::vector<std::unique_ptr<CRowSource>> sources;
    sources.reserve(layers.size());
    for (size_t i = layers.size(); i-- > 0;)
        if (layers[i])
            if (auto source = layers[i]->MakeRowSource(frame))
                sources.push_back(std::move(source));
    return sources;
}

// One page row: the layers' spans, then the covered part in words.
class RowComposer {
public:
    RowComposer(std::vector<std::unique_ptr<CRowSource>>& sources, const CComposeKernels& kernels,
                const BYTE* table, const CComposeFrame& frame)
        : m_sources(sources), m_kernels(kernels), m_table(table), m_frame(frame),
          m_spans(sources.size()), m_work(size_t(std::max(frame.clipRight - frame.clipLeft, 0))) {}

    void Compose(int y, GradientRows& gradient, int iy, BYTE* out) {
        int from = m_frame.clipRight, to = m_frame.clipLeft;
        m_active.clear();
        for (size_t i = 0; i < m_sources.size(); ++i) {
            Span& span = m_spans[i];
            if (!m_sources[i]->Span(y, &span.from, &span.to))
                continue;
            m_active.push_back(i);
            from = std::min(from, span.from);
            to = std::max(to, span.to);
        }
        const BYTE* background = gradient.Pixels(iy);
        if (m_active.empty()) {
            CopyPixels(background, m_frame.clipLeft, m_frame.clipRight, out);
            return;
        }
        CopyPixels(background, m_frame.clipLeft, from, out);
        CopyPixels(background, to, m_frame.clipRight, out);
        DWORD* work = m_work.data() - from; // indexed by page column
        std::memcpy(work + from, gradient.Words(iy) + from, size_t(to - from) * sizeof(DWORD));
        // Back-most first, so each pixel sees the same blends in the same
        // order as a stack of its contributions would.
        for (size_t i : m_active) {
            const Span& span = m_spans[i];
            const CSourceSpan words = m_sources[i]->Words(y, span.from, span.to);
            m_kernels.blend(words.words, words.columns, span.to - span.from,
                            m_sources[i]->Opacity(), work + span.from, m_table);
        }
        m_kernels.store(work + from, to - from, out + size_t(from) * 3);
    }

private:
    struct Span {
        int from = 0, to = 0;
    };
    static void CopyPixels(const BYTE* background, int from, int to, BYTE* out) {
        if (from < to)
            std::memcpy(out + size_t(from) * 3, background + size_t(from) * 3,
                        size_t(to - from) * 3);
    }

    std::vector<std::unique_ptr<CRowSource>>& m_sources;
    const CComposeKernels& m_kernels;
    const BYTE* m_table;
    CComposeFrame m_frame;
    std::vector<Span> m_spans;
    std::vector<size_t> m_active;
    std::vector<DWORD> m_work;
};

} // namespace

struct CGradientCache {
    GradientRows rows;
};

bool CDIB::Compose(const std::vector<CComposeLayer*>& layers, const void* owner, const BYTE* table,
                   COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3, const RECT* clip,
                   CProgressReceiver* progress) {
    if (!owner || !table)
        return false;
    if (GetBitCount() != 24 || !BeginPixelAccess())
        return true;
    const int W = GetWidth(), H = GetHeight();
    CComposeFrame frame;
    frame.width = W;
    frame.height = H;
    frame.clipLeft = clip ? std::max<int>(clip->left, 0) : 0;
    frame.clipRight = clip ? std::min<int>(clip->right, W) : W;
    std::vector<std::unique_ptr<CRowSource>> sources;
    std::unique_ptr<RowComposer> rows;
    try {
        if (frame.clipLeft < frame.clipRight)
            sources = Sources(layers, frame);
        if (!m_pGradient || !m_pGradient->rows.Matches(table, W, c0, c1, c2, c3))
            m_pGradient = std::make_shared<CGradientCache>(
                CGradientCache{GradientRows(table, W, c0, c1, c2, c3)});
        rows = std::make_unique<RowComposer>(sources, KernelsFor(table), table, frame);
    } catch (const std::bad_alloc&) {
        EndPixelAccess();
        return true;
    }
    if (progress)
        progress->SetRange(0, H - 1);
    for (int y = 0; y < H; ++y) {
        if (progress)
            progress->SetPos(y);
        if ((clip && (y < clip->top || y >= clip->bottom)) || frame.clipLeft >= frame.clipRight)
            continue;
        rows->Compose(y, m_pGradient->rows, y * 256 / std::max(H, 1), PixelAddress(0, unsigned(y)));
    }
    EndPixelAccess();
    return true;
}
