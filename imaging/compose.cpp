// The composition of the page: a four-corner gradient and, over it, the
// layers from the back-most to the front-most, scaled to their boxes by
// nearest sampling and blended by their alpha and opacity through the
// product table.

#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "imaging/progress.h"

#include <cmath>
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

struct ActiveLayer {
    CComposeLayer* layer;
    int left, top, width, height;
    BYTE opacity;
    bool active;  // on this row
    bool retired; // done for this row
};

// Layers that take part at all, with their integer boxes.
std::vector<ActiveLayer> Participants(const std::vector<CComposeLayer*>& layers) {
    std::vector<ActiveLayer> out;
    out.reserve(layers.size());
    for (CComposeLayer* l : layers) {
        ActiveLayer a{l, 0, 0, 0, 0, 0, false, false};
        if (l && l->m_stream.IsValid() && l->m_nVisible && (l->m_nOpacity & 0xFF)) {
            a.left = int(std::trunc(l->m_dX));
            a.top = int(std::trunc(l->m_dY));
            a.width = std::abs(int(std::trunc(l->m_dWidth)));
            a.height = std::abs(int(std::trunc(l->m_dHeight)));
            a.opacity = BYTE(l->m_nOpacity & 0xFF);
        } else {
            a.layer = nullptr;
        }
        out.push_back(a);
    }
    return out;
}

bool ActivateForRow(std::vector<ActiveLayer>& layers, int y) {
    bool any = false;
    for (ActiveLayer& a : layers) {
        a.active = a.layer && a.top <= y && y < a.top + a.height;
        a.retired = false;
        if (!a.active)
            continue;
        CRLEStream& s = a.layer->m_stream;
        int sr = int(std::trunc(double(y - a.top) * s.GetHeight() / a.height));
        if (a.layer->m_nFlipped)
            sr = s.GetHeight() - 1 - sr;
        s.SeekRow(sr, a.layer->m_nMirrored != 0);
        any = true;
    }
    return any;
}

} // namespace

bool CDIB::Compose(const std::vector<CComposeLayer*>& layers, const void* owner, const BYTE* table,
                   COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3, const RECT* clip,
                   CProgressReceiver* progress) {
    if (!owner || !table)
        return false;
    if (GetBitCount() != 24 || !BeginPixelAccess())
        return true;
    const int W = GetWidth(), H = GetHeight();
    std::vector<ActiveLayer> active;
    std::vector<DWORD> stack;
    std::vector<int> columnIndex;
    try {
        active = Participants(layers);
        stack.reserve(layers.size());
        columnIndex.resize(size_t(W));
    } catch (const std::bad_alloc&) {
        EndPixelAccess();
        return true;
    }
    for (int x = 0; x < W; ++x)
        columnIndex[size_t(x)] = x * 256 / std::max(W, 1);
    const Rgb top0 = Channels(c0), top1 = Channels(c1), bottom0 = Channels(c2),
              bottom1 = Channels(c3);
    const int clipLeft = clip ? std::max<int>(clip->left, 0) : 0;
    const int clipRight = clip ? std::min<int>(clip->right, W) : W;
    if (progress)
        progress->SetRange(0, H - 1);
    for (int y = 0; y < H; ++y) {
        if (progress)
            progress->SetPos(y);
        if (clip && (y < clip->top || y >= clip->bottom))
            continue;
        const bool anyLayer = ActivateForRow(active, y);
        const int iy = y * 256 / std::max(H, 1);
        const Rgb left = Between(table, top0, bottom0, iy);
        const Rgb right = Between(table, top1, bottom1, iy);
        BYTE* out = PixelAddress(0, unsigned(y));
        for (int x = clipLeft; x < clipRight; ++x) {
            const Rgb bg = Between(table, left, right, columnIndex[size_t(x)]);
            int cr = bg.r, cg = bg.g, cb = bg.b;
            if (anyLayer) {
                stack.clear();
                for (ActiveLayer& a : active) {
                    if (!a.active || a.retired || x < a.left)
                        continue;
                    if (x >= a.left + a.width) {
                        a.retired = true;
                        continue;
                    }
                    CRLEStream& s = a.layer->m_stream;
                    const int sc = int(std::trunc(double(x - a.left) * s.GetWidth() / a.width));
                    DWORD p = 0;
                    if (sc >= s.GetWidth() || !s.ReadPixel(sc, &p)) {
                        if (x > a.left)
                            a.retired = true;
                        continue;
                    }
                    const DWORD e = table[(p & 0xFF) * 256 + a.opacity];
                    if (e)
                        stack.push_back((p & 0xFFFFFF00u) | e);
                }
                for (size_t i = stack.size(); i-- > 0;) {
                    const DWORD p = stack[i];
                    const int a = int(p & 0xFF);
                    const int sr = int(p >> 24), sg = int((p >> 16) & 0xFF),
                              sb = int((p >> 8) & 0xFF);
                    if (a == 255) {
                        cr = sr;
                        cg = sg;
                        cb = sb;
                    } else {
                        cr = table[sr * 256 + a] + table[cr * 256 + (255 - a)];
                        cg = table[sg * 256 + a] + table[cg * 256 + (255 - a)];
                        cb = table[sb * 256 + a] + table[cb * 256 + (255 - a)];
                    }
                }
            }
            BYTE* px = out + size_t(x) * 3;
            px[0] = BYTE(cb);
            px[1] = BYTE(cg);
            px[2] = BYTE(cr);
        }
    }
    EndPixelAccess();
    return true;
}
