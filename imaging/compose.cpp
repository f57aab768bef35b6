// The composition of the page: a four-corner gradient and, over it, the
// layers from the back-most to the front-most, scaled to their boxes by
// nearest sampling (a turned layer through its turned pixels, see
// rotatedpixels.h) and blended by their alpha and opacity through the
// product table.

#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/progress.h"
#include "imaging/rotatedbox.h"
#include "imaging/rotatedpixels.h"

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

// A layer that takes part, with everything a row needs worked out once:
// its integer box, the source column of every page column it covers (read
// from the decoded row, mirrored or not) and a buffer for its source row.
// A turned layer takes part as an unturned one over the rectangle it
// covers, reading rows of its turned pixels one to one.
struct Participant {
    const CRLEStream* stream;
    std::unique_ptr<CRotatedPixels> turned;
    int sourceWidth, sourceHeight;
    int left, top, width, height;
    int x0, x1; // page columns the layer covers
    BYTE opacity;
    bool flipped;
    std::vector<int> sourceColumn; // for page columns x0 .. x1 - 1
    std::vector<DWORD> row;        // the decoded source row
    int decodedRow = -1;           // which source row is in row
};

std::vector<Participant> Participants(const std::vector<CComposeLayer*>& layers, int W) {
    std::vector<Participant> out;
    out.reserve(layers.size());
    for (CComposeLayer* l : layers) {
        if (!l || !l->m_stream.IsValid() || !l->m_nVisible || !(l->m_nOpacity & 0xFF))
            continue;
        Participant p;
        p.stream = &l->m_stream;
        p.sourceWidth = p.stream->GetWidth();
        p.sourceHeight = p.stream->GetHeight();
        p.left = int(std::trunc(l->m_dX));
        p.top = int(std::trunc(l->m_dY));
        p.width = std::abs(int(std::trunc(l->m_dWidth)));
        p.height = std::abs(int(std::trunc(l->m_dHeight)));
        p.opacity = BYTE(l->m_nOpacity & 0xFF);
        p.flipped = l->m_nFlipped != 0;
        bool mirrored = l->m_nMirrored != 0;
        if (const CRotatedBox box(*l); box.IsRotated() && p.width > 0 && p.height > 0) {
            l->m_turnedRows.Prepare(l->m_stream);
            p.turned = std::make_unique<CRotatedPixels>(box, p.sourceWidth, p.sourceHeight,
                                                        mirrored, p.flipped, l->m_turnedRows);
            const CRect& cover = p.turned->Cover();
            p.left = cover.left, p.top = cover.top;
            p.width = p.sourceWidth = cover.Width();
            p.height = p.sourceHeight = cover.Height();
            mirrored = p.flipped = false;
        } else {
            l->m_turnedRows.Clear();
        }
        const int sw = p.sourceWidth;
        p.x0 = std::max(p.left, 0);
        p.x1 = int(std::min<long long>((long long)p.left + p.width, W));
        if (p.height <= 0 || p.x1 <= p.x0)
            continue;
        if (p.turned)
            p.turned->LimitColumns(p.x0 - p.left, p.x1 - p.left);
        p.sourceColumn.resize(size_t(p.x1 - p.x0));
        for (int x = p.x0; x < p.x1; ++x) {
            // Nearest sampling, computed in double precision; a mirrored
            // layer reads its decoded row from the other end.
            const int sc = int(std::trunc(double(x - p.left) * sw / p.width));
            p.sourceColumn[size_t(x - p.x0)] = mirrored ? sw - 1 - sc : sc;
        }
        p.row.assign(size_t(sw), 0);
        out.push_back(std::move(p));
    }
    return out;
}

// The four-corner gradient has only 256 distinct rows (the row index is
// y * 256 / H); each is worked out once, when first needed, and kept with
// the page for the next composition with the same colours and width.
class GradientRows {
public:
    GradientRows(const BYTE* table, int W, COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3)
        : m_table(table), m_width(W), m_corners{c0, c1, c2, c3}, m_top0(Channels(c0)),
          m_top1(Channels(c1)), m_bottom0(Channels(c2)), m_bottom1(Channels(c3)),
          m_rows(size_t(256) * W * 3), m_made(256, false), m_columnIndex(size_t(W)) {
        for (int x = 0; x < W; ++x)
            m_columnIndex[size_t(x)] = x * 256 / std::max(W, 1);
    }
    bool Matches(const BYTE* table, int W, COLORREF c0, COLORREF c1, COLORREF c2,
                 COLORREF c3) const {
        return table == m_table && W == m_width && c0 == m_corners[0] && c1 == m_corners[1] &&
               c2 == m_corners[2] && c3 == m_corners[3];
    }
    const BYTE* Row(int iy) {
        BYTE* row = m_rows.data() + size_t(iy) * m_width * 3;
        if (!m_made[size_t(iy)]) {
            const Rgb left = Between(m_table, m_top0, m_bottom0, iy);
            const Rgb right = Between(m_table, m_top1, m_bottom1, iy);
            // Columns share their colour by column index: 256 at most.
            BYTE colours[256][3];
            for (int ix = 0; ix < 256; ++ix) {
                const Rgb c = Between(m_table, left, right, ix);
                colours[ix][0] = BYTE(c.b);
                colours[ix][1] = BYTE(c.g);
                colours[ix][2] = BYTE(c.r);
            }
            for (int x = 0; x < m_width; ++x)
                std::memcpy(row + x * 3, colours[m_columnIndex[size_t(x)]], 3);
            m_made[size_t(iy)] = true;
        }
        return row;
    }

private:
    const BYTE* m_table;
    int m_width;
    COLORREF m_corners[4];
    Rgb m_top0, m_top1, m_bottom0, m_bottom1;
    std::vector<BYTE> m_rows;
    std::vector<bool> m_made;
    std::vector<int> m_columnIndex;
};

// Blends one pixel word with effective alpha e over a page pixel: opaque
// words replace it, the rest mix through the table.
inline void BlendPixel(const BYTE* table, DWORD w, int e, BYTE* px) {
    const int sr = int(w >> 24), sg = int((w >> 16) & 0xFF), sb = int((w >> 8) & 0xFF);
    if (e == 255) {
        px[0] = BYTE(sb);
        px[1] = BYTE(sg);
        px[2] = BYTE(sr);
        return;
    }
    const BYTE* src = table + e;
    const BYTE* dst = table + (255 - e);
    px[0] = BYTE(src[sb * 256] + dst[px[0] * 256]);
    px[1] = BYTE(src[sg * 256] + dst[px[1] * 256]);
    px[2] = BYTE(src[sr * 256] + dst[px[2] * 256]);
}

// Blends one layer's row over the page row from xFrom to xTo; transparent
// words leave the pixel.
void BlendSpan(const BYTE* table, const Participant& p, int xFrom, int xTo, BYTE* out) {
    const DWORD* row = p.row.data();
    const int* column = p.sourceColumn.data() - p.x0;
    if (p.opacity == 255) {
        // NOTE: at full opacity the table gives the word's own alpha back:
        // (a * 256) >> 8 = a.
        for (int x = xFrom; x < xTo; ++x) {
            const DWORD w = row[column[x]];
            if (w & 0xFF)
                BlendPixel(table, w, int(w & 0xFF), out + size_t(x) * 3);
        }
        return;
    }
    const BYTE* opacityColumn = table + p.opacity;
    for (int x = xFrom; x < xTo; ++x) {
        const DWORD w = row[column[x]];
        const int e = opacityColumn[(w & 0xFF) * 256];
        if (e)
            BlendPixel(table, w, e, out + size_t(x) * 3);
    }
}

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
    std::vector<Participant> participants;
    try {
        participants = Participants(layers, W);
        if (!m_pGradient || !m_pGradient->rows.Matches(table, W, c0, c1, c2, c3))
            m_pGradient = std::make_shared<CGradientCache>(
                CGradientCache{GradientRows(table, W, c0, c1, c2, c3)});
    } catch (const std::bad_alloc&) {
        EndPixelAccess();
        return true;
    }
    const int clipLeft = clip ? std::max<int>(clip->left, 0) : 0;
    const int clipRight = clip ? std::min<int>(clip->right, W) : W;
    if (progress)
        progress->SetRange(0, H - 1);
    for (int y = 0; y < H; ++y) {
        if (progress)
            progress->SetPos(y);
        if ((clip && (y < clip->top || y >= clip->bottom)) || clipLeft >= clipRight)
            continue;
        BYTE* out = PixelAddress(0, unsigned(y));
        const BYTE* background = m_pGradient->rows.Row(y * 256 / std::max(H, 1));
        std::memcpy(out + size_t(clipLeft) * 3, background + size_t(clipLeft) * 3,
                    size_t(clipRight - clipLeft) * 3);
        // Back-most first, so each pixel sees the same blends in the same
        // order as a stack of its contributions would.
        for (size_t i = participants.size(); i-- > 0;) {
            Participant& p = participants[i];
            if (y < p.top || y >= p.top + p.height)
                continue;
            const int xFrom = std::max(p.x0, clipLeft), xTo = std::min(p.x1, clipRight);
            if (xFrom >= xTo)
                continue;
            const int sh = p.sourceHeight;
            int sr = int(std::trunc(double(y - p.top) * sh / p.height));
            if (p.flipped)
                sr = sh - 1 - sr;
            // Enlarged layers show a source row on several page rows: decode
            // it once. Columns a damaged row does not hold stay clear.
            if (sr != p.decodedRow) {
                const int decoded = p.turned ? p.turned->DecodeRow(sr, p.row.data())
                                             : p.stream->DecodeRow(sr, p.row.data());
                std::fill(p.row.begin() + decoded, p.row.end(), DWORD(0));
                p.decodedRow = sr;
            }
            BlendSpan(table, p, xFrom, xTo, out);
        }
    }
    EndPixelAccess();
    return true;
}
