#include "codecs/bmp.h"

#include <cstring>

CBmp::CBmp()
    : m_nWidth(0), m_nHeight(0), m_wBitsPerPixel(8), m_pPalette(nullptr), m_pBits(nullptr),
      m_bAlpha(false) {}

CBmp::~CBmp() = default;

void CBmp::Create(int width, int height, int depth, bool alpha) {
    FreeMembers();
    AllocMembers(width, height, depth, alpha);
}

void CBmp::InitLocals(int width, int height, int depth, bool alpha) {
    m_nWidth = width;
    m_nHeight = height;
    m_wBitsPerPixel = WORD(depth);
    m_bAlpha = alpha;
    InitLineArray();
    if (depth <= 15) {
        const int entries = 1 << depth;
        const int step = 255 / (entries - 1);
        for (int i = 0; i < entries; ++i) {
            const BYTE v = BYTE(i * step);
            m_pPalette[i] = {v, v, v, 255};
        }
    }
}

CWinBmp::CWinBmp() {
    Create(16, 16, 8, false);
}

CWinBmp::~CWinBmp() = default;

int CWinBmp::RowBytes(int width, int depth) {
    long long bytes = (long long)width * depth / 8;
    if (depth == 1 && width % 8 != 0)
        ++bytes;
    return int((bytes + 3) & ~3LL);
}

int CWinBmp::BytesPerLine() const {
    return RowBytes(m_nWidth, m_wBitsPerPixel);
}

int CWinBmp::MemoryUsed() const {
    const int table = m_wBitsPerPixel > 15 ? 40 : (1 << m_wBitsPerPixel) * 4 + 40;
    return BytesPerLine() * m_nHeight + table + 36;
}

void CWinBmp::AllocMembers(int width, int height, int depth, bool alpha) {
    const size_t table = depth <= 15 ? (size_t(1) << depth) * sizeof(RGBQUAD) : 0;
    const size_t pixels = size_t(RowBytes(width, depth)) * size_t(height);
    // Zero-filled, so pixels a damaged file never reaches stay black.
    m_block.assign(sizeof(BITMAPINFOHEADER) + table + pixels, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(m_block.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = WORD(depth);
    header->biCompression = BI_RGB;
    m_pPalette =
        table ? reinterpret_cast<RGBQUAD*>(m_block.data() + sizeof(BITMAPINFOHEADER)) : nullptr;
    m_pBits = m_block.data() + sizeof(BITMAPINFOHEADER) + table;
    InitLocals(width, height, depth, alpha);
}

void CWinBmp::FreeMembers() {
    platform::LargeBytes().swap(m_block);
    m_lines.clear();
    m_pPalette = nullptr;
    m_pBits = nullptr;
}

platform::LargeBytes CWinBmp::TakeBlock() {
    platform::LargeBytes block;
    block.swap(m_block);
    FreeMembers();
    m_nWidth = m_nHeight = 0;
    return block;
}

void CWinBmp::InitLineArray() {
    const size_t rowBytes = size_t(BytesPerLine());
    m_lines.resize(size_t(m_nHeight));
    for (int i = 0; i < m_nHeight; ++i)
        m_lines[size_t(i)] = m_pBits + size_t(m_nHeight - 1 - i) * rowBytes;
}
