#pragma once
// Targa pictures: colour-mapped, true-colour and grey, uncompressed or
// run-length coded, at 8, 15, 16, 24 and 32 bits per pixel.

#include "codecs/picdecoder.h"

class CTGADecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
