#pragma once
// The headers of a Windows or OS/2 bitmap file, read into one layout that
// the pixel decoding works from: the 12-byte OS/2 1.x header, the OS/2 2.x
// header of 16 to 64 bytes, and the Windows headers of 40, 52, 56, 108 and
// 124 bytes.

#include "platform/bitmapheaders.h"

class CDataSource;

constexpr DWORD kBmpAlphaBitfields = 6; // four masks follow a 40-byte header

struct BmpLayout {
    DWORD headerSize = 0;
    int width = 0;
    int height = 0;       // rows, always positive
    bool topDown = false; // a negative stored height means the first row is the top
    int bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD colours = 0;        // colour table entries
    int colourEntryBytes = 4; // 3 in OS/2 1.x files
    DWORD masks[4] = {};      // red, green, blue, alpha for 16 and 32 bits
    DWORD pixelOffset = 0;    // from the start of the file
    bool Alpha() const { return masks[3] != 0; }
};

// Reads the file header, the information header and, for 16 and 32 bits,
// the colour masks, leaving the source at the colour table. Refuses what
// cannot be decoded with code 1 (not a bitmap), 2 (an unsupported variant)
// or 7 (damage).
BmpLayout ReadBmpHeaders(CDataSource* source);
