#pragma once
// A layer's pixels as run-length coded 32-bit words with 8-bit alpha:
// alpha in bits 0-7, blue 8-15, green 16-23, red 24-31. Built once from a
// picture, read row by row strictly forward, plain or mirrored.

#include "imaging/layerpixels.h"
#include "platform/wintypes.h"

#include <cstddef>
#include <span>
#include <vector>

class CDIB;

// A block of code words that grows and shrinks in place where it can (a
// large block is remapped rather than copied), never cleared first, in the
// memory of platform/largeblock.h. A stream's block is sized for its
// picture before it is written and cut to its length after.
class CCodeBlock {
public:
    CCodeBlock() = default;
    ~CCodeBlock();
    CCodeBlock(const CCodeBlock& other);
    CCodeBlock& operator=(const CCodeBlock& other);
    CCodeBlock(CCodeBlock&& other) noexcept;
    CCodeBlock& operator=(CCodeBlock&& other) noexcept;

    const DWORD* data() const { return m_pWords; }
    DWORD* data() { return m_pWords; }
    size_t size() const { return m_nSize; }
    size_t Capacity() const { return m_nCapacity; }
    bool empty() const { return m_nSize == 0; }
    DWORD operator[](size_t i) const { return m_pWords[i]; }
    // Room for n words in all; false (and nothing changed) without memory.
    bool Reserve(size_t n);
    // The words up to n are kept (n within the room reserved).
    void SetSize(size_t n) { m_nSize = n; }
    void ShrinkToFit();
    void Free();

private:
    DWORD* m_pWords = nullptr;
    size_t m_nSize = 0;
    size_t m_nCapacity = 0;
};

class CRLEStream : public CLayerPixels {
public:
    // Code word operations (bits 0-7); the count sits in bits 16-31.
    enum : DWORD { kHeader = 1, kLiteral = 2, kRepeat = 3, kTransparent = 4, kEndOfRow = 5 };
    static constexpr DWORD kHeaderWord = 0x00010101;

    explicit CRLEStream(CDIB* picture = nullptr);

    // Encodes the picture; mode 0 for pictures, 1 for rendered text (the ink
    // next to the paper is made half transparent). A valid stream is kept.
    bool Build(CDIB* picture, int mode = 0);
    // Encodes pixel words given row by row (top row first, alpha included,
    // no colour key) the same way.
    bool BuildFromWords(const DWORD* words, int width, int height, int mode = 0);
    void Clear();

    // Places the reader on a row so that it holds the row's column 0.
    void SeekRow(int row, bool mirrored);
    // Moves forward to column x (never back) and gives its pixel word.
    bool ReadPixel(int x, DWORD* out);
    // Decodes a whole row at once into out (GetWidth() words); answers how
    // many columns the row's codes hold (the width for a sound stream).
    int DecodeRow(int row, DWORD* out) const override;

    bool IsValid() const { return m_bValid; }
    int GetWidth() const override { return m_nWidth; }
    int GetHeight() const override { return m_nHeight; }
    std::span<const DWORD> GetCodes() const { return {m_codes.data(), m_codes.size()}; }
    const std::vector<DWORD>& GetRowStarts() const { return m_rowStarts; }
    bool IsKeyed() const { return m_bKeyed; }
    DWORD GetKeyColour() const { return m_dwKey; }

private:
    class RowWords;
    bool Encode(CDIB* picture, CDIB* alpha, int mode);
    // Codes the rows that next(y, row) fills (width words and a 0 after).
    template <typename NextRow> bool EncodeRows(int width, int height, int mode, NextRow next);
    bool ReadPlain(int x);

    bool m_bValid;
    int m_nWidth;
    int m_nHeight;
    std::vector<DWORD> m_rowStarts;
    CCodeBlock m_codes;
    std::vector<DWORD> m_rowBuffer;
    // Reader state.
    size_t m_nReadPos;
    int m_nColumn;
    DWORD m_dwPixel;
    DWORD m_dwOp;
    DWORD m_dwCount;
    bool m_bMirrored;
    // Colour key taken from the top corners.
    DWORD m_dwKey;
    bool m_bKeyed;
};
