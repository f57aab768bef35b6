#pragma once
// TIFF through libtiff, over in-memory streams: every TIFF (and BigTIFF)
// libtiff can show through its RGBA interface is read, stripped or tiled,
// upright whatever its orientation, with colours as the picture's own (not
// multiplied by alpha); bitmaps are written as uncompressed 8-bit RGB with
// rows from the top.

#include "codecs/picdecoder.h"

class CTIFFDecoder : public CPicDecoder {
protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};

class CTIFFEncoder : public CPicEncoder {
protected:
    void EncodeBody(CBmp* bmp, CDataSink* sink) override;
};
