#pragma once
// Targa pictures: colour-mapped, true-colour and grey (with alpha at 16
// bits), uncompressed or run-length coded (packets may run across rows), at
// 8, 15, 16, 24 and 32 bits per pixel, in any of the four row orders.

#include "codecs/picdecoder.h"

class CTGADecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
