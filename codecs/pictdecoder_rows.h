#pragma once
// The pixel rows of PICT bit maps, pixel maps and direct pixels: how they are
// stored for each pixel size, and their decoding into a 32-bit bitmap.
// Shared by the files of the PICT decoder only.

#include "platform/bitmapheaders.h"

#include <span>

class CBmp;
class CDataSource;

namespace pict {

// How the rows of one image are stored.
struct RowLayout {
    int bpp = 0;             // 1, 2, 4, 8, 16 or 32 bits per pixel
    int cmpCount = 0;        // planes of a 32-bit row: 3 (red, green, blue) or 4 (alpha first)
    int width = 0;           // pixels per row that go into the bitmap
    int height = 0;          // rows
    int rowLength = 0;       // stored row length: decides packing and the count size
    int scratchBytes = 0;    // bytes one row decodes into
    int neededBytes = 0;     // bytes that hold the first width pixels of a row
    int itemSize = 1;        // bytes of a PackBits item: 2 at 16 bits, else 1
    bool packed = false;     // rows are PackBits data with a byte count in front
    bool wordCounts = false; // the byte counts are 16-bit words
};

// The layout of rows of the given pixel size. rowLengthWord is the word that
// precedes a bit map or pixel map, or 0 for direct pixels (the length is
// then derived from the width). Refuses pixel sizes other than 1, 2, 4, 8,
// 16 and 32 and 32-bit rows of other than 3 or 4 components (code 2), and
// row lengths too short for the width (code 7).
RowLayout PlanRows(int bpp, int rowLengthWord, int width, int height, int cmpCount);

// The fewest input bytes the rows can take, to check the input before the
// bitmap is allocated.
long long MinimumRowInput(const RowLayout& layout);

// Reads the rows into the bitmap, created at 32 bits and the layout's size.
// Indexed pixels take their colours from the palette, which must hold an
// entry for every value the pixel size allows.
void DecodeRows(CDataSource* source, CBmp* bmp, const RowLayout& layout,
                std::span<const RGBQUAD> palette);

// Unpacks PackBits data of items of itemSize bytes into out, which holds
// capacity bytes; returns the bytes produced. Data that would write past
// out or ends inside a group is refused with code 7.
int UnpackBits(const BYTE* in, int inLength, BYTE* out, int capacity, int itemSize);

} // namespace pict
