#pragma once
// The bitmap container the decoders fill and the encoders read: one packed
// Windows DIB block (header, colour table, bottom-up rows) with a table of
// row pointers whose first entry is the top row.

#include "platform/bitmapheaders.h"
#include "platform/largeblock.h"

#include <cstddef>
#include <vector>

class CBmp {
public:
    CBmp();
    virtual ~CBmp();
    CBmp(const CBmp&) = delete;
    CBmp& operator=(const CBmp&) = delete;

    // Makes the bitmap anew; the old contents are lost. Throws std::bad_alloc
    // when the block cannot be allocated.
    virtual void Create(int width, int height, int depth, bool alpha);
    // Bytes the bitmap takes, as the encoders size their output buffer.
    virtual int MemoryUsed() const = 0;
    virtual int BytesPerLine() const = 0;

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBitsPerPixel() const { return m_wBitsPerPixel; }
    bool HasAlpha() const { return m_bAlpha; }
    void SetHasAlpha(bool alpha) { m_bAlpha = alpha; }
    // Dots per inch the picture is meant to be printed at, across and
    // down; 0 when nobody said. Encoders write it into the file.
    void SetResolution(double dpiX, double dpiY) {
        m_dDpiX = dpiX;
        m_dDpiY = dpiY;
    }
    double GetResolutionX() const { return m_dDpiX; }
    double GetResolutionY() const { return m_dDpiY; }
    RGBQUAD* GetPalette() const { return m_pPalette; }
    BYTE* GetBits() const { return m_pBits; }
    // Row pointers, index 0 the top row.
    BYTE** GetLineArray() { return m_lines.data(); }
    BYTE* Line(int y) const { return m_lines[size_t(y)]; }

protected:
    virtual void AllocMembers(int width, int height, int depth, bool alpha) = 0;
    virtual void FreeMembers() = 0;
    virtual void InitLineArray() = 0;
    // Stores the size, builds the row table and gives palettes a grey ramp.
    void InitLocals(int width, int height, int depth, bool alpha);

    int m_nWidth;
    int m_nHeight;
    WORD m_wBitsPerPixel;
    RGBQUAD* m_pPalette; // 2^depth entries for depths up to 15, else null
    BYTE* m_pBits;
    bool m_bAlpha; // the fourth byte of 32-bit pixels is meaningful
    double m_dDpiX = 0;
    double m_dDpiY = 0;
    std::vector<BYTE*> m_lines;
};

class CWinBmp : public CBmp {
public:
    // A new bitmap is 16 by 16 pixels at 8 bits per pixel.
    CWinBmp();
    ~CWinBmp() override;

    int MemoryUsed() const override;
    int BytesPerLine() const override;

    // The packed block: BITMAPINFOHEADER, colour table, rows bottom-up.
    const BYTE* GetBlock() const { return m_block.data(); }
    size_t GetBlockSize() const { return m_block.size(); }
    const BITMAPINFOHEADER* GetInfoHeader() const {
        return reinterpret_cast<const BITMAPINFOHEADER*>(m_block.data());
    }

    // Row bytes for a width and depth: padded to a multiple of 4.
    static int RowBytes(int width, int depth);

    // Hands the packed block over whole (a picture of a megabyte and more
    // need not be copied to become an image); the bitmap is empty after.
    platform::LargeBytes TakeBlock();

protected:
    void AllocMembers(int width, int height, int depth, bool alpha) override;
    void FreeMembers() override;
    void InitLineArray() override;

private:
    platform::LargeBytes m_block;
};
