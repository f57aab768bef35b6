#pragma once
// Windows and OS/2 bitmaps (every header from OS/2 1.x to Windows V5): 1,
// 4, 8, 16, 24 and 32 bits per pixel, uncompressed, run-length coded (4 and
// 8 bits, with delta escapes) or with colour masks (16 and 32 bits, alpha
// where the file has an alpha mask); bottom-up or top-down rows.

#include "codecs/picdecoder.h"

class CBmpDecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
