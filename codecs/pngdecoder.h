#pragma once
// PNG through libpng: every colour type and bit depth, at 32 bits with the
// alpha flag set for the types that carry alpha.

#include "codecs/picdecoder.h"

class CPNGDecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
