#pragma once
// JPEG through libjpeg: a decoder that reads from memory, tolerates a file
// that ends early, turns the picture upright as its EXIF orientation says
// and gives three bytes a pixel when asked for 24 bits, and an encoder at
// the library's default quality.

#include "codecs/picdecoder.h"

#include <memory>

class CJPEGDecoder : public CPicDecoder {
public:
    CJPEGDecoder();
    ~CJPEGDecoder() override;

protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class CJPEGEncoder : public CPicEncoder {
public:
    CJPEGEncoder();
    ~CJPEGEncoder() override;

protected:
    void EncodeBody(CBmp* bmp, CDataSink* sink) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
