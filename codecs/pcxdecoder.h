#pragma once
// PCX pictures: 1 to 4 planes of 1 bit, 2, 4 or 8 bits in one plane, and
// 24-bit colour in three planes of 8 bits.

#include "codecs/picdecoder.h"

class CPCXDecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
