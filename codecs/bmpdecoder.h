#pragma once
// Windows bitmaps with the 40-byte information header: 1, 4, 8, 16, 24 and
// 32 bits per pixel, uncompressed, run-length coded (4 and 8 bits) or with
// colour masks (16 and 32 bits); bottom-up or top-down rows.

#include "codecs/picdecoder.h"

class CBmpDecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
